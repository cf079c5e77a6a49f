#include "localresponder.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace gallery {

LocalResponder::LocalResponder(std::string body) : m_body(std::move(body))
{
    m_socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof addr;
    if (m_socket < 0 || ::bind(m_socket, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0
        || ::listen(m_socket, 8) != 0
        || ::getsockname(m_socket, reinterpret_cast<sockaddr *>(&addr), &size) != 0)
        return;
    m_port = ntohs(addr.sin_port);
    m_thread = std::thread(&LocalResponder::Serve, this);
}

LocalResponder::~LocalResponder()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_socket >= 0)
        ::close(m_socket);
}

void LocalResponder::Serve()
{
    const std::string reply = "HTTP/1.0 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: "
                              + std::to_string(m_body.size()) + "\r\n\r\n" + m_body;
    while (!m_stop) {
        pollfd p{m_socket, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0)
            continue;
        const int client = ::accept4(m_socket, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            continue;
        char buffer[4096];
        pollfd c{client, POLLIN, 0};
        if (::poll(&c, 1, 1000) > 0 && ::recv(client, buffer, sizeof buffer, 0) > 0)
            (void)!::send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
        ::close(client);
    }
}

} // namespace gallery
