// A web server of the tests on 127.0.0.1 with a free port, on a thread of its own (the probes block
// the test's thread). It records the head of every request and answers with a fixed status, or,
// when silent, accepts and never answers. And the proxy variables of the environment, held still.
#pragma once

#include <QCursor>
#include <QGuiApplication>

#include "testenv.h"

#include <arpa/inet.h>
#include <atomic>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <memory>
#include <thread>
#include <unistd.h>
#include <vector>

namespace tstest {

class HttpTestServer
{
public:
    enum Mode { Answer, Silent };

    explicit HttpTestServer(Mode mode = Answer, int status = 200) : m_mode(mode), m_status(status)
    {
        m_socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof addr;
        if (m_socket < 0 || ::bind(m_socket, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0
            || ::listen(m_socket, 16) != 0
            || ::getsockname(m_socket, reinterpret_cast<sockaddr *>(&addr), &size) != 0)
            return;
        m_port = ntohs(addr.sin_port);
        m_thread = std::thread(&HttpTestServer::Serve, this);
    }
    ~HttpTestServer()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        for (int fd : m_held)
            ::close(fd);
        if (m_socket >= 0)
            ::close(m_socket);
    }
    HttpTestServer(const HttpTestServer &) = delete;
    HttpTestServer &operator=(const HttpTestServer &) = delete;

    int port() const { return m_port; }
    std::u16string base() const
    {
        const std::string text = "127.0.0.1:" + std::to_string(m_port);
        return std::u16string(text.begin(), text.end());
    }

    // The heads of the requests received so far (up to the blank line, or what arrived in 2 s).
    std::vector<std::string> requests() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_requests;
    }
    // The override cursor's shape when each request arrived, -1 for none. (Read while the caller's
    // thread is blocked in the probe.)
    std::vector<int> cursors() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_cursors;
    }
    int connections() const { return m_connections.load(); }
    // Where the answer sends the client (a Location header), e.g. with a 3xx status; none when empty.
    void setLocation(const std::string &location)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_location = location;
    }

private:
    void Serve()
    {
        while (!m_stop) {
            pollfd p{m_socket, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0)
                continue;
            const int client = ::accept4(m_socket, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0)
                continue;
            ++m_connections;
            const QCursor *cursor = QGuiApplication::overrideCursor();
            const int shape = cursor ? int(cursor->shape()) : -1;
            if (m_mode == Silent) {
                m_held.push_back(client);  // open, never answered
                std::lock_guard<std::mutex> lock(m_mutex);
                m_cursors.push_back(shape);
                continue;
            }
            std::string head;
            char buffer[4096];
            while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
                pollfd c{client, POLLIN, 0};
                if (::poll(&c, 1, 2000) <= 0)
                    break;
                const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
                if (got <= 0)
                    break;
                head.append(buffer, std::size_t(got));
            }
            std::string location;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_requests.push_back(head);
                m_cursors.push_back(shape);
                location = m_location;
            }
            const std::string reply = "HTTP/1.1 " + std::to_string(m_status) + " Status\r\n"
                                      + (location.empty() ? "" : "Location: " + location + "\r\n")
                                      + "Content-Length: 5\r\nConnection: close\r\n\r\nhello";
            (void)!::send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
            ::close(client);
        }
    }

    Mode m_mode;
    int m_status;
    int m_socket = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_connections{0};
    mutable std::mutex m_mutex;
    std::vector<std::string> m_requests;
    std::vector<int> m_cursors;
    std::vector<int> m_held;
    std::string m_location;
    std::thread m_thread;
};

// The proxy variables that libcurl reads, all unset (or all set to `proxy`) while the object lives,
// so that a test's requests go where the test says and nowhere else.
class ProxyEnvironment
{
public:
    explicit ProxyEnvironment(const char *proxy = nullptr)
    {
        for (const char *name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "ftp_proxy",
                                 "FTP_PROXY", "gopher_proxy", "GOPHER_PROXY", "all_proxy", "ALL_PROXY",
                                 "no_proxy", "NO_PROXY"}) {
            const bool isNoProxy = std::string(name) == "no_proxy" || std::string(name) == "NO_PROXY";
            m_vars.push_back(std::make_unique<ScopedEnv>(name, isNoProxy ? nullptr : proxy));
        }
    }

private:
    std::vector<std::unique_ptr<ScopedEnv>> m_vars;
};

} // namespace tstest
