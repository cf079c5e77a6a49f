// What a help page may not do, tried by pages built for it; how long help files stay open; what a
// page may take of the process's memory.
#include "helpviewertest.h"

#include "httpresponder.h"
#include "testenv.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <gtest/gtest.h>

namespace {

using namespace helpviewertest;


// Waits until `script` gives true in the page, at most `ms`.
bool WaitTrue(QWebEnginePage *page, const QString &script, int ms = 10000)
{
    for (int waited = 0; waited < ms; waited += 50) {
        if (Evaluate(page, script).toBool())
            return true;
        QTest::qWait(50);
    }
    return false;
}

// Open descriptors on `path` of this process and of its children (each open help file is read by a
// process of its own, which holds the file open).
int OpenDescriptors(const QString &path)
{
    const QString wanted = QFileInfo(path).canonicalFilePath();
    QStringList processes{QStringLiteral("self")};
    const QStringList tasks = QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &task : tasks) {
        QFile children(QStringLiteral("/proc/self/task/%1/children").arg(task));
        if (children.open(QIODevice::ReadOnly))
            processes << QString::fromLatin1(children.readAll()).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    }
    int count = 0;
    for (const QString &process : processes) {
        const QString folder = QStringLiteral("/proc/%1/fd").arg(process.trimmed());
        const QStringList fds = QDir(folder).entryList(QDir::System | QDir::Files);
        for (const QString &fd : fds) {
            if (QFile::symLinkTarget(folder + QLatin1Char('/') + fd) == wanted)
                ++count;
        }
    }
    return count;
}

// Peak resident memory of this process, in bytes.
qint64 PeakResident()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong() * 1024;
    }
    return -1;
}

// The hostile pages' own clicks end in refused navigations, which report failed loads: wait for the
// page's document itself.
bool WaitDocument(HelpViewer *viewer, const QString &page)
{
    for (int waited = 0; waited < 20000; waited += 50) {
        if (View(viewer)->url().path().endsWith(page)
            && Evaluate(View(viewer)->page(), QStringLiteral("document.readyState == 'complete'")).toBool())
            return true;
        QTest::qWait(50);
    }
    return false;
}

class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

class HelpIsolationTest : public ::testing::Test
{
protected:
    void TearDown() override { CloseAll(); }
};

// A page's script tries to open a local file and a web page, reach a server, and frame a local page
// that would read the user's files: none of it gets anywhere. Only the user's own click on a web link
// leaves the viewer, for the browser.
TEST_F(HelpIsolationTest, PagesReachNeitherLocalFilesNorTheNetwork)
{
    QTemporaryDir dir;
    QFile local(dir.filePath(QStringLiteral("local.html")));
    ASSERT_TRUE(local.open(QIODevice::WriteOnly));
    local.write("<html><body><script>parent.postMessage('local page ran', '*');</script></body></html>");
    local.close();
    tstest::ProxyEnvironment env;
    tssupport::HttpResponder server;
    UrlCatcher catcher;
    for (const char *scheme : {"http", "https", "file", "mailto"})
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &catcher, "open");

    HelpViewer *viewer = Open(QStringLiteral(TS_CHM_FIXTURE_HOSTILE "::/hostile.htm#port=%1&dir=%2")
                                  .arg(server.port())
                                  .arg(dir.path()));
    ASSERT_NE(viewer, nullptr);
    ASSERT_TRUE(WaitDocument(viewer, QStringLiteral("/hostile.htm")));
    QWebEnginePage *page = View(viewer)->page();
    EXPECT_TRUE(WaitTrue(page, QStringLiteral("results.fetch != 'pending' && results.image != 'pending'")));
    QTest::qWait(500); // time for a frame that would load, and for a message it would post
    EXPECT_EQ(Evaluate(page, QStringLiteral("results.fetch")).toString(), QStringLiteral("refused"));
    EXPECT_EQ(Evaluate(page, QStringLiteral("results.image")).toString(), QStringLiteral("refused"));
    EXPECT_EQ(Evaluate(page, QStringLiteral("results.messages.length")).toInt(), 0);
    EXPECT_EQ(server.connections(), 0);
    EXPECT_TRUE(catcher.urls.isEmpty()) << catcher.urls.first().toString().toStdString();
    EXPECT_TRUE(View(viewer)->url().path().endsWith(QStringLiteral("/hostile.htm")));

    // The user clicks the page's web link: that one goes to the browser, once.
    QWidget *surface = View(viewer)->focusProxy();
    ASSERT_NE(surface, nullptr);
    QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(40, 30));
    for (int i = 0; i < 300 && catcher.urls.isEmpty(); ++i)
        QTest::qWait(10);
    for (const char *scheme : {"http", "https", "file", "mailto"})
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls.first(), QUrl(QStringLiteral("https://www.example.com/user")));
}

// The help schemes exist only in the help pages' own profile: any other web view of the process (an
// HTML view's browser control, say) cannot read help files through them.
TEST_F(HelpIsolationTest, OtherViewsCannotReadHelpFiles)
{
    HelpViewer *viewer = Open(QStringLiteral(TS_CHM_FIXTURE_HOSTILE));
    ASSERT_NE(viewer, nullptr);
    ASSERT_TRUE(WaitDocument(viewer, QStringLiteral("/hostile.htm")));
    const QString helpAddress = View(viewer)->url().toString();
    ASSERT_TRUE(helpAddress.startsWith(QStringLiteral("tshelp://")));
    EXPECT_NE(View(viewer)->page()->profile(), QWebEngineProfile::defaultProfile());
    EXPECT_TRUE(View(viewer)->page()->profile()->isOffTheRecord());

    QWebEngineView plain;
    for (const QString &address :
         {helpAddress, QStringLiteral("ms-its:" TS_CHM_FIXTURE_HOSTILE "::/hostile.htm")}) {
        QSignalSpy loaded(&plain, &QWebEngineView::loadFinished);
        plain.setUrl(QUrl(address));
        ASSERT_TRUE(loaded.wait(20000)) << address.toStdString();
        bool done = false;
        QString text;
        plain.page()->toPlainText([&](const QString &t) {
            text = t;
            done = true;
        });
        for (int i = 0; i < 200 && !done; ++i)
            QTest::qWait(10);
        EXPECT_FALSE(text.contains(QStringLiteral("a link for the user"))) << address.toStdString();
    }
}

// A help file reached through a link stays open while a viewer shows its page, and no longer; the
// viewer's own file goes with the viewer. Back to a closed file's page opens it again.
TEST_F(HelpIsolationTest, LinkedFilesCloseWhenNoViewerShowsThem)
{
    const QString main = QStringLiteral(TS_DATA_DIR "/TsHelpEN.chm");
    const QString linked = QStringLiteral(TS_DATA_DIR "/TsCCHelpEN.chm");
    ASSERT_EQ(OpenDescriptors(linked), 0);
    HelpViewer *viewer = Open(main);
    ASSERT_NE(viewer, nullptr);
    ASSERT_TRUE(WaitLoaded(viewer));
    EXPECT_EQ(OpenDescriptors(main), 1);
    QWebEnginePage *page = View(viewer)->page();

    ASSERT_TRUE(Loads(viewer, [&] {
        Evaluate(page, QStringLiteral("document.querySelector('a[href^=\"ms-its:\"]').click()"));
    }));
    EXPECT_TRUE(View(viewer)->url().path().endsWith(QStringLiteral("/console.htm")));
    EXPECT_EQ(OpenDescriptors(linked), 1);

    ASSERT_TRUE(Loads(viewer, [&] { View(viewer)->history()->back(); }));
    QTest::qWait(200); // (the last reply from the linked file lets go of it)
    EXPECT_EQ(OpenDescriptors(linked), 0);
    // One entry per page: the redirect from the link did not add one of its own.
    EXPECT_EQ(View(viewer)->history()->count(), 2);

    ASSERT_TRUE(Loads(viewer, [&] { View(viewer)->history()->forward(); }));
    EXPECT_TRUE(View(viewer)->url().path().endsWith(QStringLiteral("/console.htm")));
    EXPECT_EQ(OpenDescriptors(linked), 1);

    CloseAll();
    QTest::qWait(500); // (the reading processes end)
    EXPECT_EQ(OpenDescriptors(linked), 0);
    EXPECT_EQ(OpenDescriptors(main), 0);
}

// An entry larger than a reply may be is refused; one within it, asked for ten times, is read once
// and the process's memory stays within the budget's bound.
TEST_F(HelpIsolationTest, LargeEntriesStayWithinTheBudget)
{
    const qint64 before = PeakResident();
    HelpViewer *viewer = Open(QStringLiteral(TS_CHM_FIXTURE_BUDGET));
    ASSERT_NE(viewer, nullptr);
    ASSERT_TRUE(WaitLoaded(viewer));
    QWebEnginePage *page = View(viewer)->page();
    ASSERT_TRUE(WaitTrue(page, QStringLiteral("results.large != 'pending' && results.repeated.length == 10"),
                         30000));
    EXPECT_EQ(Evaluate(page, QStringLiteral("results.large")).toString(), QStringLiteral("refused"));
    const QVariantList repeated = Evaluate(page, QStringLiteral("results.repeated")).toList();
    int served = 0;
    for (const QVariant &answer : repeated) {
        if (answer.toString() != QLatin1String("refused")) {
            EXPECT_EQ(answer.toLongLong(), 20 * 1024 * 1024);
            ++served;
        }
    }
    EXPECT_GE(served, 1);
    // Cache (32 MiB) and replies held (128 MiB), with room for the engine's own buffers.
    EXPECT_LT(PeakResident() - before, qint64(256) * 1024 * 1024);
}

} // namespace

#include "tst_helpisolation.moc"
