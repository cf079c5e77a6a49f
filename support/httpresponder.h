// A web server on 127.0.0.1 with a free port, for the tests and the gallery, so that what probes
// or browses contacts nothing else.
#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
}

namespace tssupport {

// Serves on threads of its own (the probes block the caller's thread). Answers every request, of
// any method and to any address (so it also serves as a proxy, seeing absolute addresses and
// CONNECT), with a fixed status, an optional Location and a body; or, when silent, reads the
// request and never answers until destroyed. Records the head of every request and the
// application's override cursor at that moment.
class HttpResponder
{
public:
    enum Mode { Answer, Silent };

    explicit HttpResponder(Mode mode = Answer, int status = 200);
    ~HttpResponder();
    HttpResponder(const HttpResponder &) = delete;
    HttpResponder &operator=(const HttpResponder &) = delete;

    // 0 when no port could be had.
    int port() const { return m_port; }
    // "127.0.0.1:<port>".
    std::u16string base() const;

    // The body of the answers and its type; "hello" as text/plain unless set.
    void setBody(const std::string &body, const std::string &contentType);
    // Where the answer sends the client (a Location header), e.g. with a 3xx status; none when empty.
    void setLocation(const std::string &location);

    // The heads of the requests received so far: request line and header lines as read, each
    // ending in CRLF, then an empty line.
    std::vector<std::string> requests() const;
    // The override cursor's shape when each request arrived, -1 for none (read while the caller's
    // thread is blocked in its request).
    std::vector<int> cursors() const;
    // Requests received, answered or not (the library shows no connection before its request).
    int connections() const { return m_connections.load(); }

private:
    void Record(const std::string &head);

    Mode m_mode;
    int m_status;
    int m_port = 0;
    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    std::atomic<int> m_connections{0};
    std::atomic<bool> m_listenEnded{false};
    mutable std::mutex m_mutex;
    std::condition_variable m_released; // silent answers wait on it until destruction
    bool m_stopping = false;
    std::string m_body = "hello";
    std::string m_contentType = "text/plain";
    std::string m_location;
    std::vector<std::string> m_requests;
    std::vector<int> m_cursors;
};

} // namespace tssupport
