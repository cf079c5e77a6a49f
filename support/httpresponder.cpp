#include "httpresponder.h"

#include <QCursor>
#include <QGuiApplication>

#include <httplib.h>

#include <chrono>
#include <csignal>

namespace tssupport {
namespace {

// Headers the library adds to a request of its own; they were not sent.
bool AddedByServer(const std::string &name)
{
    return name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" || name == "LOCAL_PORT";
}

} // namespace

HttpResponder::HttpResponder(Mode mode, int status)
    : m_mode(mode), m_status(status), m_server(std::make_unique<httplib::Server>())
{
    // The library writes answers without MSG_NOSIGNAL: a client that gave up (the silent case,
    // a probe's time-out) must not end the process.
    std::signal(SIGPIPE, SIG_IGN);
    // Every method and target: a proxy request (absolute address, CONNECT) is answered like any.
    m_server->set_pre_routing_handler([this](const httplib::Request &req, httplib::Response &res) {
        std::string head = req.method + ' ' + req.target + ' ' + req.version + "\r\n";
        for (const auto &h : req.headers)
            if (!AddedByServer(h.first))
                head += h.first + ": " + h.second + "\r\n";
        Record(head + "\r\n");
        std::unique_lock<std::mutex> lock(m_mutex);
        if (m_mode == Silent) {
            m_released.wait(lock, [this] { return m_stopping; });
            return httplib::Server::HandlerResponse::Handled;
        }
        res.status = m_status;
        if (!m_location.empty())
            res.set_header("Location", m_location);
        res.set_content(m_body, m_contentType.c_str());
        return httplib::Server::HandlerResponse::Handled;
    });
    const int port = m_server->bind_to_any_port("127.0.0.1");
    if (port <= 0)
        return;
    m_port = port;
    m_thread = std::thread([this] {
        m_server->listen_after_bind();
        m_listenEnded = true;
    });
    // stop() does nothing to a server not yet running: wait, so that destruction cannot hang.
    while (!m_server->is_running() && !m_listenEnded)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

HttpResponder::~HttpResponder()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_released.notify_all();
    m_server->stop();
    if (m_thread.joinable())
        m_thread.join();
}

std::u16string HttpResponder::base() const
{
    const std::string text = "127.0.0.1:" + std::to_string(m_port);
    return std::u16string(text.begin(), text.end());
}

void HttpResponder::setBody(const std::string &body, const std::string &contentType)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_body = body;
    m_contentType = contentType;
}

void HttpResponder::setLocation(const std::string &location)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_location = location;
}

std::vector<std::string> HttpResponder::requests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

std::vector<int> HttpResponder::cursors() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_cursors;
}

void HttpResponder::Record(const std::string &head)
{
    const QCursor *cursor = QGuiApplication::overrideCursor();
    const int shape = cursor ? int(cursor->shape()) : -1;
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_connections;
    m_requests.push_back(head);
    m_cursors.push_back(shape);
}

} // namespace tssupport
