// A web server of the gallery's own on 127.0.0.1, so that pages that probe or browse contact
// nothing else.
#pragma once

#include <atomic>
#include <string>
#include <thread>

namespace gallery {

// Answers every request with 200 and the given HTML body (empty by default), on a thread of its
// own: the connectivity probe blocks the GUI thread while it waits.
class LocalResponder
{
public:
    explicit LocalResponder(std::string body = std::string());
    ~LocalResponder();
    LocalResponder(const LocalResponder &) = delete;
    LocalResponder &operator=(const LocalResponder &) = delete;
    int port() const { return m_port; }

private:
    void Serve();

    std::string m_body;
    int m_socket = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

} // namespace gallery
