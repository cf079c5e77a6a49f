// The connectivity probe against web servers of the test on 127.0.0.1: the address it opens, the
// answers that count, the time-out, no connection, and the wait cursor.
#include "help/networkprobe.h"
#include "httpresponder.h"
#include "testenv.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>
#include <cstring>
#include <memory>
#include <net/if.h>
#include <sys/ioctl.h>

namespace {

std::string FirstLine(const std::string &head) { return head.substr(0, head.find("\r\n")); }

bool Connected() { return InternetGetConnectedState(nullptr, 0) != FALSE; }

#define SKIP_WITHOUT_CONNECTION()                                                                  \
    if (!Connected())                                                                              \
    GTEST_SKIP() << "no network interface other than loopback is up: the probe would not try"

bool NoOverrideCursor() { return QApplication::overrideCursor() == nullptr; }

// Every request goes to the test's server acting as proxy, which shows the address that was opened
// without anything leaving 127.0.0.1.
TEST(NetworkProbe, AddressSchemes)
{
    SKIP_WITHOUT_CONNECTION();
    tssupport::HttpResponder proxy;
    const std::string proxyUrl = "http://127.0.0.1:" + std::to_string(proxy.port());
    tstest::ProxyEnvironment env(proxyUrl.c_str());
    struct Case {
        const char *name;
        std::u16string address;
        const char *request;  // first line the proxy sees, or null for no request
        bool expected;
    };
    const Case cases[] = {
        {"no scheme: http:// goes in front", u"www.example.com/start", "GET http://www.example.com/start HTTP/1.1", true},
        {"http: unchanged", u"http://www.example.com/a", "GET http://www.example.com/a HTTP/1.1", true},
        {"https: unchanged (a tunnel)", u"https://www.example.com/", "CONNECT www.example.com:443 HTTP/1.1", false},
        {"ftp: unchanged", u"ftp://files.example.com/pub/x", "GET ftp://files.example.com/pub/x HTTP/1.1", true},
        {"http: only in the query: unchanged, so no scheme", u"www.example.com/?next=http://b", nullptr, false},
        {"https: only in the query", u"www.example.com/?to=https:b", nullptr, false},
        {"gopher: only in the path", u"www.example.com/gopher:b", nullptr, false},
        {"scheme text in capitals is not one", u"www.example.com/HTTP://b",
         "GET http://www.example.com/HTTP://b HTTP/1.1", true},
        {"Https: in capitals is not one either", u"www.example.com/Https:x",
         "GET http://www.example.com/Https:x HTTP/1.1", true},
    };
    for (const Case &c : cases) {
        const std::size_t before = proxy.requests().size();
        EXPECT_EQ(IsNetwokConnectedUrl(c.address), c.expected) << c.name;
        const std::vector<std::string> requests = proxy.requests();
        if (c.request) {
            ASSERT_EQ(requests.size(), before + 1) << c.name;
            EXPECT_EQ(FirstLine(requests.back()), c.request) << c.name;
        } else {
            EXPECT_EQ(requests.size(), before) << c.name;
        }
        EXPECT_TRUE(NoOverrideCursor()) << c.name;
    }
}

// Any answer counts; the request carries the agent; the wait cursor shows while it waits.
TEST(NetworkProbe, AnyStatusIsAnAnswer)
{
    SKIP_WITHOUT_CONNECTION();
    tstest::ProxyEnvironment env;
    for (int status : {200, 302, 404, 500}) {
        tssupport::HttpResponder server(tssupport::HttpResponder::Answer, status);
        const unsigned long sessions = TswInternetSessionsOpened();
        EXPECT_TRUE(IsNetwokConnectedUrl(server.base() + u"/page")) << status;
        EXPECT_EQ(TswInternetSessionsOpened(), sessions + 1);
        const std::vector<std::string> requests = server.requests();
        ASSERT_EQ(requests.size(), 1u) << status;
        EXPECT_EQ(FirstLine(requests[0]), "GET /page HTTP/1.1");
        EXPECT_NE(requests[0].find("\r\nUser-Agent: Tessaro\r\n"), std::string::npos) << requests[0];
        EXPECT_EQ(server.cursors(), std::vector<int>{int(Qt::WaitCursor)});
        EXPECT_TRUE(NoOverrideCursor());
    }
}

// A redirect counts only when its chain ends in an answer, as WinINet follows redirects.
TEST(NetworkProbe, RedirectsFollowed)
{
    SKIP_WITHOUT_CONNECTION();
    tstest::ProxyEnvironment env;
    int closedPort = 0;
    {
        tssupport::HttpResponder gone;
        closedPort = gone.port();
    }
    const auto url = [](int port, const char *path) {
        return "http://127.0.0.1:" + std::to_string(port) + path;
    };
    tssupport::HttpResponder target(tssupport::HttpResponder::Answer, 200);
    tssupport::HttpResponder middle(tssupport::HttpResponder::Answer, 307);
    middle.setLocation(url(target.port(), "/end"));
    struct Row { int status; std::string location; bool expected; int requests; };
    const Row rows[] = {
        {302, url(target.port(), "/end"), true, 1},   // to an answer
        {301, url(middle.port(), "/hop"), true, 1},   // two hops to an answer
        {302, "/self", false, 6},                     // to itself for ever: the chain's limit
        {302, url(closedPort, "/"), false, 1},        // to a closed port
        {303, "", true, 1},                           // no Location: the redirect is the answer
    };
    for (const Row &row : rows) {
        tssupport::HttpResponder first(tssupport::HttpResponder::Answer, row.status);
        first.setLocation(row.location);
        QElapsedTimer timer;
        timer.start();
        EXPECT_EQ(IsNetwokConnectedUrl(first.base() + u"/start"), row.expected) << row.location;
        EXPECT_LT(timer.elapsed(), TSW_INTERNET_TOTAL_TIMEOUT_MS) << row.location;
        EXPECT_EQ(int(first.requests().size()), row.requests) << row.location;
        EXPECT_TRUE(NoOverrideCursor());
    }
    EXPECT_GE(target.requests().size(), 2u);
}

TEST(NetworkProbe, NobodyListening)
{
    SKIP_WITHOUT_CONNECTION();
    tstest::ProxyEnvironment env;
    int port = 0;
    {
        tssupport::HttpResponder gone;
        port = gone.port();
    }
    QElapsedTimer timer;
    timer.start();
    const std::string address = "127.0.0.1:" + std::to_string(port) + "/";
    EXPECT_FALSE(IsNetwokConnectedUrl(std::u16string(address.begin(), address.end())));
    EXPECT_LT(timer.elapsed(), 2000);
    EXPECT_TRUE(NoOverrideCursor());
}

// A server that accepts and never answers: the probe gives up within the total time-out.
TEST(NetworkProbe, SilentServerTimesOut)
{
    SKIP_WITHOUT_CONNECTION();
    tstest::ProxyEnvironment env;
    tssupport::HttpResponder silent(tssupport::HttpResponder::Silent);
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(IsNetwokConnectedUrl(silent.base() + u"/"));
    const qint64 elapsed = timer.elapsed();
    EXPECT_GE(elapsed, TSW_INTERNET_TOTAL_TIMEOUT_MS - 100);
    EXPECT_LT(elapsed, TSW_INTERNET_TOTAL_TIMEOUT_MS + 2000);
    EXPECT_EQ(silent.connections(), 1);
    EXPECT_EQ(silent.cursors(), std::vector<int>{int(Qt::WaitCursor)});
    EXPECT_TRUE(NoOverrideCursor());
}

// The caller's own override cursor is back afterwards, on the failing ways out as well.
TEST(NetworkProbe, CallersCursorRestored)
{
    tstest::ProxyEnvironment env;
    tssupport::HttpResponder server;
    QApplication::setOverrideCursor(Qt::CrossCursor);
    for (const std::u16string &address : {server.base() + u"/", std::u16string(u"host/?a=http:b"),
                                          std::u16string(u"127.0.0.1:1/")}) {
        IsNetwokConnectedUrl(address);
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::CrossCursor);
    }
    QApplication::restoreOverrideCursor();
    EXPECT_TRUE(NoOverrideCursor());
}

// Runs inside a network namespace of its own with only loopback (started by NoConnection.Probe).
TEST(NoConnection, DISABLED_InsideNamespace)
{
    ASSERT_TRUE(qEnvironmentVariableIsSet("TS_TEST_OWN_NETNS")) << "only inside its own network namespace";
    // Loopback starts down in a new namespace; up, it is still no connection.
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ifreq request{};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    ASSERT_EQ(::ioctl(fd, SIOCGIFFLAGS, &request), 0);
    request.ifr_flags = short(request.ifr_flags | IFF_UP);
    ASSERT_EQ(::ioctl(fd, SIOCSIFFLAGS, &request), 0);
    ::close(fd);

    tstest::ProxyEnvironment env;
    tssupport::HttpResponder server;
    DWORD flags = 0xFF;
    EXPECT_FALSE(InternetGetConnectedState(&flags, 0));
    EXPECT_EQ(flags, 0u);
    const unsigned long sessions = TswInternetSessionsOpened();
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(IsNetwokConnectedUrl(server.base() + u"/"));
    EXPECT_LT(timer.elapsed(), 500);
    EXPECT_EQ(TswInternetSessionsOpened(), sessions);
    EXPECT_EQ(server.connections(), 0);
    EXPECT_TRUE(NoOverrideCursor());
    // The server was there to be reached: it was the connection state that said no.
    HINTERNET session = InternetOpenW(u"Tessaro", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    const std::u16string url = u"http://" + server.base() + u"/";
    HINTERNET opened = InternetOpenUrlW(session, url.c_str(), nullptr, 0, 0, 0);
    EXPECT_NE(opened, nullptr);
    InternetCloseHandle(opened);
    InternetCloseHandle(session);
}

TEST(NoConnection, Probe)
{
    const QString unshare = QStandardPaths::findExecutable(QStringLiteral("unshare"));
    if (unshare.isEmpty())
        GTEST_SKIP() << "unshare (util-linux) is not installed: the no-connection case is not tested";
    // As root a network namespace is enough; otherwise a user namespace makes us root inside it.
    QStringList prefix;
    for (const QStringList &candidate : {QStringList{QStringLiteral("--net")},
                                         QStringList{QStringLiteral("--user"), QStringLiteral("--map-root-user"),
                                                     QStringLiteral("--net")}}) {
        if (QProcess::execute(unshare, candidate + QStringList{QStringLiteral("true")}) == 0) {
            prefix = candidate;
            break;
        }
    }
    if (prefix.isEmpty())
        GTEST_SKIP() << "unshare --net is not permitted here (no privileges, no user namespaces): "
                        "the no-connection case is not tested";
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TS_TEST_OWN_NETNS"), QStringLiteral("1"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(unshare, prefix + QStringList{QCoreApplication::applicationFilePath(),
                                              QStringLiteral("--gtest_filter=NoConnection.DISABLED_InsideNamespace"),
                                              QStringLiteral("--gtest_also_run_disabled_tests")});
    ASSERT_TRUE(child.waitForFinished(60000));
    const QString output = QString::fromLocal8Bit(child.readAll());
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 1 test"))) << output.toStdString();
}

} // namespace
