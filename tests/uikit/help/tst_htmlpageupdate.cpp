// The embedded browser and the choice of page: the address when the network may be used and
// answers, the local page (the console's with ccPage) otherwise, and no network access at all under
// the LocalHelp switch.
#include "help/htmlaxwidget.h"
#include "help/htmlpageupdate.h"
#include "httpresponder.h"
#include "regtestutil.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUrl>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include <memory>

using tstest::ScopedEnv;

namespace {

const char kLocalHelp[] = "[HKEY_LOCAL_MACHINE\\Software\\Morlen\\Tessaro\\8.0]\r\n"
                          "\"LocalHelp\"=dword:00000000\r\n";

bool Connected() { return InternetGetConnectedState(nullptr, 0) != FALSE; }

// The installation folder with both local pages, below `subfolder` of a fresh folder.
class LocalPages
{
public:
    explicit LocalPages(const QString &subfolder = QString())
        : m_root(QDir(m_dir.path()).filePath(subfolder))
    {
        for (const char *page : {"local", "localcc"}) {
            QDir(m_root).mkpath(QString::fromLatin1(page));
            QFile file(QDir(m_root).filePath(QString::fromLatin1(page) + QStringLiteral("/index.htm")));
            file.open(QIODevice::WriteOnly);
            file.write(QByteArray("<html><body><h1>") + page + "</h1></body></html>");
        }
    }
    QString root() const { return QDir::cleanPath(m_root); }

private:
    QTemporaryDir m_dir;
    QString m_root;
};

// Calls HtmlPageUpdate and waits for the page to load; the address shown, or empty on time-out.
QString Navigate(CHtmlAxWidget &view, const std::u16string &address, bool ccPage)
{
    QSignalSpy loaded(&view, &QAxWidget::documentComplete);
    HtmlPageUpdate(&view, address, ccPage);
    if (!loaded.wait(20000))
        return QString();
    return view.dynamicCall("LocationURL").toString();
}

QString LocalFile(const QString &url) { return QUrl(url).toLocalFile(); }

TEST(HtmlAxWidget, MakeUp)
{
    CHtmlAxWidget view;
    EXPECT_TRUE(view.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(view.contentsMargins(), QMargins(0, 0, 0, 0));
    EXPECT_EQ(view.control().toUpper(), QStringLiteral("{8856F961-340A-11D0-A96B-00C04FD705A2}"));
    EXPECT_FALSE(view.isNull());
    EXPECT_NE(view.findChild<QWebEngineView *>(), nullptr);
}

struct LocalRow {
    const char *name;
    const char *subfolder;  // installation folder below the test's folder
    const char *trailing;   // appended to TS_INSTALL_DIR
    bool ccPage;
    const char *expected;   // page below the installation folder
};

// Under LocalHelp the local page is shown even for an address that answers, and nothing is asked
// of the network: no session, no request.
TEST(HtmlPageUpdate, LocalHelpShowsTheLocalPageWithoutNetwork)
{
    regtest::RegistryFile registry(kLocalHelp);
    tstest::ProxyEnvironment proxies;
    tssupport::HttpResponder server;
    const std::u16string address = u"http://" + server.base() + u"/start.htm";
    const LocalRow rows[] = {
        {"main page", "", "", false, "local/index.htm"},
        {"console page", "", "", true, "localcc/index.htm"},
        {"trailing backslash", "", "\\", false, "local/index.htm"},
        {"trailing backslash, console page", "", "\\", true, "localcc/index.htm"},
        // "local" twice: only the last one names the console's folder
        {"folder named local, main page", "local", "", false, "local/index.htm"},
        {"folder named local, console page", "local", "", true, "localcc/index.htm"},
        {"folder named local, trailing backslash, console page", "local", "\\", true, "localcc/index.htm"},
    };
    for (const LocalRow &row : rows) {
        SCOPED_TRACE(row.name);
        LocalPages pages(QString::fromLatin1(row.subfolder));
        const QByteArray install = QFile::encodeName(pages.root()) + row.trailing;
        ScopedEnv dir("TS_INSTALL_DIR", install.constData());
        CHtmlAxWidget view;
        view.resize(400, 300);
        view.show();
        const unsigned long sessions = TswInternetSessionsOpened();
        const QString shown = Navigate(view, address, row.ccPage);
        EXPECT_EQ(LocalFile(shown), pages.root() + QLatin1Char('/') + QLatin1String(row.expected)) << shown.toStdString();
        EXPECT_EQ(TswInternetSessionsOpened(), sessions);
        EXPECT_EQ(server.connections(), 0);
    }
}

// Without the switch: an address that answers is shown as given; one that does not gives the
// local page.
TEST(HtmlPageUpdate, AddressThatAnswersOrLocalPage)
{
    if (!Connected())
        GTEST_SKIP() << "no network interface other than loopback is up: the probe would not try";
    regtest::RegistryFile registry("");
    tstest::ProxyEnvironment proxies;
    tssupport::HttpResponder server;
    int gonePort = 0;
    {
        tssupport::HttpResponder gone;
        gonePort = gone.port();
    }
    const std::u16string gone = u"http://127.0.0.1:" + std::u16string(QString::number(gonePort).toStdU16String());
    LocalPages pages;
    const QByteArray install = QFile::encodeName(pages.root());
    ScopedEnv dir("TS_INSTALL_DIR", install.constData());
    const QString base = QString::fromStdU16String(server.base());
    struct Row {
        const char *name;
        std::u16string address;
        bool ccPage;
        QString expectedUrl;   // web address shown, or empty for a local page
        QString expectedFile;  // local page shown
    };
    const Row rows[] = {
        {"address with scheme", u"http://" + server.base() + u"/start.htm", false,
         QStringLiteral("http://") + base + QStringLiteral("/start.htm"), QString()},
        {"ccPage changes nothing for an address", u"http://" + server.base() + u"/start.htm", true,
         QStringLiteral("http://") + base + QStringLiteral("/start.htm"), QString()},
        {"nobody listening: local page", gone + u"/start.htm", false, QString(),
         pages.root() + QStringLiteral("/local/index.htm")},
        {"nobody listening: console's local page", gone + u"/start.htm", true, QString(),
         pages.root() + QStringLiteral("/localcc/index.htm")},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        CHtmlAxWidget view;
        view.resize(400, 300);
        view.show();
        const QString shown = Navigate(view, row.address, row.ccPage);
        if (row.expectedUrl.isEmpty())
            EXPECT_EQ(LocalFile(shown), row.expectedFile) << shown.toStdString();
        else
            EXPECT_EQ(shown, row.expectedUrl);
    }
}

TEST(HtmlPageUpdate, NullViewDoesNothing)
{
    regtest::RegistryFile registry(kLocalHelp);
    HtmlPageUpdate(nullptr, u"http://127.0.0.1:1/", true);
}

} // namespace
