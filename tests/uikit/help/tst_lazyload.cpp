// What a process maps: the frame and the widgets need none of the large libraries behind help, the
// embedded browser, the connectivity probe and the shutdown; each is loaded by its first use and
// only then; a back-end that cannot be loaded gives the failure answer of its call. Every test case
// runs in a process of its own, so "first use" is the test's own.
#include "foundation/valueformat.h"
#include "help/buildnumbers.h"
#include "help/helpfiles.h"
#include "help/helpview.h"
#include "help/htmlaxwidget.h"
#include "help/networkprobe.h"
#include "help/systemshutdown.h"
#include "messageboxwatch.h"
#include "network/networkview.h"
#include "schedule/datepickerwidget.h"
#include "sheet/tspropertypage.h"
#include "sheet/tspropertysheet.h"
#include "testenv.h"
#include "tsw/backend.h"
#include "widgets/categorieswidget.h"
#include "widgets/collapsiblepanel.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using tstest::ScopedEnv;

namespace {

// The libraries that only the back-ends may bring, by the start of their file names.
const char *const kWebEngine[] = {"libQt5WebEngineCore", "libQt5WebEngineWidgets", "libQt5Quick",
                                  "libQt5Qml", "libnss3"};
const char *const kChm[] = {"libchm"};
const char *const kCurl[] = {"libcurl"};
const char *const kDBus[] = {"libQt5DBus", "libdbus-1"};
const char *const kBackEnds[] = {"TsHtmlHelpViewer", "TsWebBrowser", "TsInternet", "TsLoginManager"};

// The file names mapped into this process that start with one of `prefixes`.
template <size_t N>
QStringList Mapped(const char *const (&prefixes)[N])
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        return {QStringLiteral("(/proc/self/maps unreadable)")};
    QStringList found;
    for (const QByteArray &line : maps.readAll().split('\n')) {
        const int slash = line.indexOf('/');
        if (slash < 0)
            continue;
        const QString name = QFileInfo(QString::fromLocal8Bit(line.mid(slash))).fileName();
        for (const char *prefix : prefixes) {
            if (name.startsWith(QLatin1String(prefix)) && !found.contains(name))
                found << name;
        }
    }
    return found;
}

QStringList HeavyMapped()
{
    return Mapped(kWebEngine) + Mapped(kChm) + Mapped(kCurl) + Mapped(kDBus);
}

QWidget *PageView(HWND viewer)
{
    return reinterpret_cast<QWidget *>(viewer)->findChild<QWidget *>(QStringLiteral("HelpPageView"));
}

void CloseViewers()
{
    HtmlHelpW(nullptr, nullptr, HH_CLOSE_ALL, 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

LPCWSTR Wide(const std::u16string &text) { return reinterpret_cast<LPCWSTR>(text.c_str()); }

const std::u16string kTestHelp = QStringLiteral(TS_TEST_CHM).toStdU16String();

TEST(LazyLoad, FrameAndWidgetsMapNoneOfTheBackEnds)
{
    ASSERT_EQ(Mapped({"libQt5Widgets"}).size(), 1) << "the maps cannot be read";
    // Values, paths and registry reads of the help family, and one of each kind of widget, shown.
    EXPECT_GT(ByteConvert(123456789ULL).Length(), 0u);
    EXPECT_FALSE(GetPathHelpFile().empty());
    IsNetwokOverrideLocal();
    long build = 0;
    GetTessaroBuildNumber(build);
    QWidget window;
    auto *sheet = new CTsPropertySheet(&window);
    sheet->AddPage(new CTsPropertyPage);
    sheet->CreateSheet();
    auto *help = new CHelpView(&window);
    help->SetHelpPage(u"<h1>Help</h1>");
    new CCollapsiblePanel(&window);
    new CCategoriesWidget(&window);
    new CNetworkView(&window);
    new CDatePickerWidget({}, {}, QDate(2008, 1, 4), &window);
    window.show();
    sheet->show();
    QCoreApplication::processEvents();

    EXPECT_EQ(HeavyMapped(), QStringList());
    for (const char *backEnd : kBackEnds)
        EXPECT_FALSE(TswBackEndLoaded(backEnd)) << backEnd;
    // Closing viewers when none was ever opened loads nothing either.
    HtmlHelpW(nullptr, nullptr, HH_CLOSE_ALL, 0);
    EXPECT_FALSE(TswBackEndLoaded("TsHtmlHelpViewer"));
}

TEST(LazyLoad, FirstHelpCallLoadsTheViewerAndShowsThePage)
{
    ASSERT_EQ(Mapped(kWebEngine), QStringList());
    const HWND viewer = HtmlHelpW(nullptr, Wide(kTestHelp), HH_DISPLAY_TOPIC, 0);
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(TswBackEndLoaded("TsHtmlHelpViewer"));
    EXPECT_EQ(Mapped({"libQt5WebEngineCore"}).size(), 1);
    EXPECT_EQ(Mapped(kChm).size(), 1);
    // Help needs neither the probe's nor the shutdown's libraries (the engine maps the D-Bus
    // library of its own accord).
    EXPECT_EQ(Mapped(kCurl) + Mapped({"libQt5DBus"}), QStringList());

    QWidget *page = PageView(viewer);
    ASSERT_NE(page, nullptr);
    QSignalSpy loaded(page, SIGNAL(loadFinished(bool)));
    ASSERT_TRUE(loaded.wait(30000));
    EXPECT_TRUE(loaded.last().first().toBool());
    EXPECT_EQ(page->property("title").toString(), QStringLiteral("Start"));
    EXPECT_TRUE(page->property("url").toUrl().path().endsWith(QLatin1String("/index.htm")));
    CloseViewers();
}

// The browser first, then help: the help schemes reach the engine although the browser started it.
TEST(LazyLoad, FirstBrowserLoadsTheEngineAndHelpStillWorks)
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("page.htm")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<html><head><title>Local page</title></head><body>page</body></html>");
    file.close();

    ASSERT_EQ(Mapped(kWebEngine), QStringList());
    auto browser = std::make_unique<CHtmlAxWidget>();
    ASSERT_FALSE(browser->isNull());
    EXPECT_FALSE(Mapped(kWebEngine).isEmpty());
    EXPECT_EQ(Mapped(kChm), QStringList()); // the viewer is not loaded with the browser
    QSignalSpy complete(browser.get(), &QAxWidget::documentComplete);
    browser->dynamicCall("Navigate(const QString&)", file.fileName());
    ASSERT_TRUE(complete.wait(30000));
    EXPECT_EQ(browser->dynamicCall("LocationName").toString(), QStringLiteral("Local page"));

    const HWND viewer = HtmlHelpW(nullptr, Wide(kTestHelp), HH_DISPLAY_TOPIC, 0);
    ASSERT_NE(viewer, nullptr);
    QWidget *page = PageView(viewer);
    ASSERT_NE(page, nullptr);
    QSignalSpy loaded(page, SIGNAL(loadFinished(bool)));
    ASSERT_TRUE(loaded.wait(30000));
    EXPECT_EQ(page->property("title").toString(), QStringLiteral("Start"));
    CloseViewers();
}

// The probe's and the shutdown's libraries come with their first call, and nothing else with them.
TEST(LazyLoad, ProbeAndShutdownLoadOnlyTheirOwnLibraries)
{
    ASSERT_EQ(HeavyMapped(), QStringList());
    const HINTERNET session = InternetOpenW(u"Tessaro", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    ASSERT_NE(session, nullptr);
    InternetCloseHandle(session);
    EXPECT_EQ(Mapped(kCurl).size(), 1);
    EXPECT_EQ(Mapped(kDBus) + Mapped(kWebEngine), QStringList());

    // (a bus that leads nowhere: the shutdown is refused)
    ScopedEnv bus("TS_LOGIN_BUS_ADDRESS", "unix:path=/nonexistent/tessaro-test-bus");
    EXPECT_EQ(DoShutDown(false), E_ACCESSDENIED);
    EXPECT_FALSE(Mapped(kDBus).isEmpty());
    EXPECT_EQ(Mapped(kWebEngine) + Mapped(kChm), QStringList());
}

// A back-end folder in which every back-end is missing, damaged, or another library under its name.
struct BrokenRow {
    const char *name;
    std::function<void(const QDir &folder, const QString &file)> make;
};

TEST(LazyLoad, BackEndThatCannotBeLoadedGivesTheFailureAnswer)
{
    const QString real = QFileInfo(QString::fromLocal8Bit(TS_BACKEND_FOLDER)).absoluteFilePath();
    const BrokenRow rows[] = {
        {"missing", [](const QDir &, const QString &) {}},
        {"damaged",
         [](const QDir &folder, const QString &file) {
             QFile broken(folder.filePath(file));
             broken.open(QIODevice::WriteOnly);
             broken.write("\x7f" "ELF but nothing more");
         }},
        {"without its entry point",
         [real](const QDir &folder, const QString &file) {
             const QString other = file == QLatin1String("libTsLoginManager.so")
                 ? QStringLiteral("libTsInternet.so") : QStringLiteral("libTsLoginManager.so");
             QFile::copy(QDir(real).filePath(other), folder.filePath(file));
         }},
    };
    QTemporaryDir install;
    QFile::copy(QStringLiteral(TS_TEST_CHM), install.filePath(QStringLiteral("TsHelpEN.chm")));
    ScopedEnv installDir("TS_INSTALL_DIR", QFile::encodeName(install.path()).constData());
    ScopedEnv bus("TS_LOGIN_BUS_ADDRESS", "unix:path=/nonexistent/tessaro-test-bus");
    for (const BrokenRow &row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir folder;
        for (const char *backEnd : kBackEnds)
            row.make(QDir(folder.path()), QStringLiteral("lib%1.so").arg(QLatin1String(backEnd)));
        ScopedEnv backEnds("TSW_BACKEND_DIR", QFile::encodeName(folder.path()).constData());

        // Help: no window, and the error box of the help functions.
        EXPECT_EQ(HtmlHelpW(nullptr, Wide(kTestHelp), HH_DISPLAY_TOPIC, 0), nullptr);
        int boxes = 0;
        tstest::OnNextBox([&boxes](QMessageBox *) { ++boxes; }, QMessageBox::Ok);
        DisplayLocalHelp(nullptr, u"");
        EXPECT_EQ(boxes, 1);
        // The browser stays empty and navigation does nothing.
        CHtmlAxWidget browser;
        EXPECT_TRUE(browser.isNull());
        EXPECT_FALSE(browser.dynamicCall("LocationURL").isValid());
        // No session, so no address answers; the shutdown is refused.
        EXPECT_EQ(InternetOpenW(u"Tessaro", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0), nullptr);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INTERNET_INTERNAL_ERROR));
        EXPECT_FALSE(IsNetwokConnectedUrl(u"http://127.0.0.1:9/"));
        EXPECT_EQ(DoShutDown(true), E_ACCESSDENIED);
    }
    // Only the libraries copied in as impostors were loaded; the web engine and chmlib never were.
    EXPECT_EQ(Mapped(kWebEngine) + Mapped(kChm), QStringList());
}

} // namespace
