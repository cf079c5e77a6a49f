// The WinINet calls over libcurl against web servers of the test on 127.0.0.1: handles, what
// cannot be opened, and both time-outs.
#include "httpresponder.h"
#include "testenv.h"
#include "tswin.h"

#include <QElapsedTimer>
#include <QString>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

// The platform calls directly: the time-out's status, handles, what cannot be opened.
TEST(InternetCalls, HandlesAndFailures)
{
    tstest::ProxyEnvironment env;
    tssupport::HttpResponder server;
    HINTERNET session = InternetOpenW(u"Tessaro", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    ASSERT_NE(session, nullptr);
    const std::u16string good = u"http://" + server.base() + u"/";
    HINTERNET opened = InternetOpenUrlW(session, good.c_str(), nullptr, 0, 0, 0);
    ASSERT_NE(opened, nullptr);
    // An address handle is no session.
    EXPECT_EQ(InternetOpenUrlW(opened, good.c_str(), nullptr, 0, 0, 0), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    struct Case {
        std::u16string url;
        DWORD error;
    };
    const Case cases[] = {
        {u"file:///etc/passwd", ERROR_INTERNET_UNRECOGNIZED_SCHEME},
        {u"127.0.0.1/", ERROR_INTERNET_UNRECOGNIZED_SCHEME},
        {u"http:/" + server.base(), ERROR_INTERNET_INVALID_URL},
        {u"ftp:" + server.base(), ERROR_INTERNET_INVALID_URL},
        {u"HTTPS://" + server.base() + u"/", ERROR_INTERNET_SECURITY_CHANNEL_ERROR},
        {u"http://127.0.0.1:99999/", ERROR_INTERNET_INVALID_URL},
        {u"http://127.0.0.1:1/", ERROR_INTERNET_CANNOT_CONNECT},
        {u"https://" + server.base() + u"/", ERROR_INTERNET_SECURITY_CHANNEL_ERROR},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(InternetOpenUrlW(session, c.url.c_str(), nullptr, 0, 0, 0), nullptr)
            << QString::fromStdU16String(c.url).toStdString();
        EXPECT_EQ(GetLastError(), c.error) << QString::fromStdU16String(c.url).toStdString();
    }
    EXPECT_TRUE(InternetCloseHandle(opened));
    EXPECT_TRUE(InternetCloseHandle(session));
    EXPECT_FALSE(InternetCloseHandle(session));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_EQ(InternetOpenUrlW(session, good.c_str(), nullptr, 0, 0, 0), nullptr);
    EXPECT_EQ(InternetOpenW(u"x", INTERNET_OPEN_TYPE_PROXY, u"127.0.0.1:1", nullptr, 0), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST(InternetCalls, SilentServerStatus)
{
    tstest::ProxyEnvironment env;
    tssupport::HttpResponder silent(tssupport::HttpResponder::Silent);
    HINTERNET session = InternetOpenW(u"Tessaro", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    const std::u16string url = u"http://" + silent.base() + u"/";
    EXPECT_EQ(InternetOpenUrlW(session, url.c_str(), nullptr, 0, 0, 0), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INTERNET_TIMEOUT));
    InternetCloseHandle(session);
}

// A listener whose queue is full: the handshake of one more connection never completes, so the
// connection time-out ends the wait. A socket of our own: the HTTP library accepts every connection
// at once and never lets its queue fill.
TEST(InternetCalls, ConnectTimesOut)
{
    tstest::ProxyEnvironment env;
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof addr;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr *>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr *>(&addr), &size), 0);
    std::vector<int> queued;
    for (int i = 0; i < 8; ++i) {
        const int client = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        ::connect(client, reinterpret_cast<sockaddr *>(&addr), sizeof addr);
        pollfd p{client, POLLOUT, 0};
        queued.push_back(client);
        if (::poll(&p, 1, 300) == 0)
            break;  // this one hangs: the queue is full
    }
    HINTERNET session = InternetOpenW(u"Tessaro", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    const std::string url = "http://127.0.0.1:" + std::to_string(ntohs(addr.sin_port)) + "/";
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(InternetOpenUrlW(session, std::u16string(url.begin(), url.end()).c_str(), nullptr, 0, 0, 0), nullptr);
    const qint64 elapsed = timer.elapsed();
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INTERNET_TIMEOUT));
    EXPECT_GE(elapsed, TSW_INTERNET_CONNECT_TIMEOUT_MS - 100);
    EXPECT_LT(elapsed, TSW_INTERNET_CONNECT_TIMEOUT_MS + 2000);
    InternetCloseHandle(session);
    for (int fd : queued)
        ::close(fd);
    ::close(listener);
}

} // namespace
