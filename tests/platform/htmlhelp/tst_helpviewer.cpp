// The help viewer on the shipped help files: topics, links, pictures, index, search, languages.
#include "helpviewertest.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QWebEnginePage>
#include <QWebEngineHistory>
#include <QWebEngineView>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

using namespace helpviewertest;

QString HelpFile(const char *name)
{
    return QStringLiteral(TS_DATA_DIR "/") + QString::fromLatin1(name);
}

// Every test closes the viewers it opened; the test main checks no window is left.
class HelpViewerTest : public ::testing::Test
{
protected:
    void TearDown() override { CloseAll(); }
};

TEST_F(HelpViewerTest, OpensTheDefaultTopicOrATopicByPath)
{
    struct Row
    {
        QString file;
        QString topic;
        const char *title;
        const char *contentsItem;
    } rows[] = {
        {HelpFile("TsHelpEN.chm"), QStringLiteral("/welcome.htm"), "Welcome to Tessaro", nullptr},
        {HelpFile("TsHelpEN.chm::/defrag.htm"), QStringLiteral("/defrag.htm"),
         "Defragmenting a volume", nullptr},
        // A backslash separates folders, names are found regardless of case, the window is ignored.
        {HelpFile("TsHelpEN.chm::/SCHEDULE\\Schedule.HTM>main"), QStringLiteral("/schedule/schedule.htm"),
         nullptr, nullptr},
        {HelpFile("TsCCHelpEN.chm"), QStringLiteral("/console.htm"), nullptr, nullptr},
    };
    for (const Row &row : rows) {
        HelpViewer *viewer = Open(row.file);
        ASSERT_NE(viewer, nullptr) << row.file.toStdString();
        ASSERT_TRUE(WaitLoaded(viewer)) << row.file.toStdString();
        EXPECT_EQ(viewer->property("topic").toString(), row.topic) << row.file.toStdString();
        EXPECT_EQ(viewer->property("file").toString(), row.file);
        if (row.title) {
            EXPECT_EQ(View(viewer)->title().toStdString(), row.title);
        }
        // The contents follow the page shown.
        auto *contents = viewer->findChild<QTreeView *>(QStringLiteral("HelpContents"));
        ASSERT_TRUE(contents->currentIndex().isValid()) << row.file.toStdString();
        EXPECT_GT(contents->model()->rowCount(), 1);
        HtmlHelpW(nullptr, nullptr, HH_CLOSE_ALL, 0);
    }
}

TEST_F(HelpViewerTest, MissingOrDamagedFilesGiveNoViewer)
{
    QTemporaryDir dir;
    QFile damaged(dir.filePath(QStringLiteral("damaged.chm")));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("ITSF\x03\0\0\0garbage", 16);
    damaged.close();
    QFile original(HelpFile("TsHelpEN.chm"));
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    QFile truncated(dir.filePath(QStringLiteral("truncated.chm")));
    ASSERT_TRUE(truncated.open(QIODevice::WriteOnly));
    truncated.write(original.read(original.size() / 3));
    truncated.close();

    EXPECT_EQ(Open(HelpFile("TsHelpXX.chm")), nullptr);
    EXPECT_EQ(Open(QString()), nullptr);
    EXPECT_EQ(Open(dir.path()), nullptr) << "a folder";
    EXPECT_EQ(Open(damaged.fileName()), nullptr);
    // A truncated file may open from its header; whatever it shows, it must not crash.
    if (HelpViewer *viewer = Open(truncated.fileName()))
        WaitLoaded(viewer);
    const std::u16string en = HelpFile("TsHelpEN.chm").toStdU16String();
    EXPECT_EQ(HtmlHelpW(nullptr, en.c_str(), 0x1234, 0), nullptr) << "an unknown command";
}

TEST_F(HelpViewerTest, FollowsLinksLoadsPicturesAndGoesBack)
{
    HelpViewer *viewer = Open(HelpFile("TsHelpEN.chm"));
    ASSERT_NE(viewer, nullptr);
    ASSERT_TRUE(WaitLoaded(viewer));
    auto *back = viewer->findChild<QAction *>(QStringLiteral("HelpBack"));
    EXPECT_FALSE(back->isEnabled());

    ASSERT_TRUE(Loads(viewer, [&] { Evaluate(viewer, QStringLiteral("document.querySelector('a[href=\"defrag.htm\"]').click()")); }));
    EXPECT_EQ(Topic(viewer), QStringLiteral("/defrag.htm"));
    // The picture and the style sheet come from the help file.
    EXPECT_GT(Evaluate(viewer, QStringLiteral("document.images[0].naturalWidth")).toInt(), 0);
    EXPECT_GT(Evaluate(viewer, QStringLiteral("document.styleSheets[0].cssRules.length")).toInt(), 0);
    EXPECT_TRUE(back->isEnabled());

    ASSERT_TRUE(Loads(viewer, [&] { back->trigger(); }));
    EXPECT_EQ(Topic(viewer), QStringLiteral("/welcome.htm"));

    // A link into the console help opens that file's page in the same viewer.
    ASSERT_TRUE(Loads(viewer, [&] { Evaluate(viewer, QStringLiteral("document.querySelector('a[href^=\"ms-its:\"]').click()")); }));
    EXPECT_TRUE(View(viewer)->url().path().endsWith(QStringLiteral("/console.htm")))
        << View(viewer)->url().toString().toStdString();
        // The same link written relatively, "file.chm::/page", from a page of the main help.
    ASSERT_TRUE(Loads(viewer, [&] { View(viewer)->history()->back(); }));
    const QString mainHost = View(viewer)->url().host();
    ASSERT_TRUE(Loads(viewer, [&] {
        Evaluate(viewer, QStringLiteral("var a = document.createElement('a');"
                                        "a.href = 'TsCCHelpEN.chm::/jobs/jobs.htm';"
                                        "document.body.appendChild(a); a.click();"));
    }));
    EXPECT_TRUE(View(viewer)->url().path().endsWith(QStringLiteral("/jobs/jobs.htm")))
        << View(viewer)->url().toString().toStdString();
    EXPECT_NE(View(viewer)->url().host(), mainHost);
    ASSERT_TRUE(Loads(viewer, [&] { viewer->findChild<QAction *>(QStringLiteral("HelpHome"))->trigger(); }));
    EXPECT_EQ(Topic(viewer), QStringLiteral("/welcome.htm"));
}

TEST_F(HelpViewerTest, FindsInThePageAndZooms)
{
    HelpViewer *viewer = Open(HelpFile("TsHelpEN.chm::/defrag.htm"));
    ASSERT_NE(viewer, nullptr);
    ASSERT_TRUE(WaitLoaded(viewer));
    auto *field = viewer->findChild<QLineEdit *>(QStringLiteral("HelpFindField"));
    auto *next = viewer->findChild<QAction *>(QStringLiteral("HelpFindNext"));
    const struct
    {
        QString text;
        bool found;
    } rows[] = {{QStringLiteral("volume map"), true}, {QStringLiteral("zebra crossing"), false}};
    for (const auto &row : rows) {
        field->setText(row.text);
        field->setProperty("found", QVariant());
        next->trigger();
        for (int i = 0; i < 500 && !field->property("found").isValid(); ++i)
            QTest::qWait(10);
        EXPECT_EQ(field->property("found"), QVariant(row.found)) << row.text.toStdString();
    }
    const qreal before = View(viewer)->zoomFactor();
    viewer->findChild<QAction *>(QStringLiteral("HelpZoomIn"))->trigger();
    EXPECT_GT(View(viewer)->zoomFactor(), before);
    viewer->findChild<QAction *>(QStringLiteral("HelpZoomReset"))->trigger();
    EXPECT_DOUBLE_EQ(View(viewer)->zoomFactor(), 1.0);
}

// A help file is outside input: its pages may run scripts, but not read the user's files.
TEST_F(HelpViewerTest, PagesCannotReadLocalFiles)
{
    QTemporaryDir dir;
    QFile secret(dir.filePath(QStringLiteral("secret.txt")));
    ASSERT_TRUE(secret.open(QIODevice::WriteOnly));
    secret.write("secret");
    secret.close();
    HelpViewer *viewer = Open(HelpFile("TsHelpEN.chm"));
    ASSERT_NE(viewer, nullptr);
    ASSERT_TRUE(WaitLoaded(viewer));
    const QString script = QStringLiteral(
        "(function() { try { var x = new XMLHttpRequest(); x.open('GET', '%1', false); x.send();"
        " return x.responseText; } catch (e) { return 'refused'; } })()")
        .arg(QUrl::fromLocalFile(secret.fileName()).toString());
    EXPECT_EQ(Evaluate(viewer, script).toString(), QStringLiteral("refused"));
}

class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

TEST_F(HelpViewerTest, OutsideAddressesGoToTheBrowser)
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
    HelpViewer *viewer = Open(HelpFile("TsHelpEN.chm::/trouble.htm"));
    ASSERT_NE(viewer, nullptr);
    ASSERT_TRUE(WaitLoaded(viewer));
    // The user clicks the link (a script's click would go nowhere).
    const QVariantList rect = Evaluate(viewer, QStringLiteral(
        "(function() { var a = document.querySelector('a[href^=\"https:\"]'); a.scrollIntoView();"
        " var r = a.getBoundingClientRect(); return [r.left + r.width / 2, r.top + r.height / 2]; })()"))
                                  .toList();
    ASSERT_EQ(rect.size(), 2);
    QTest::mouseClick(View(viewer)->focusProxy(), Qt::LeftButton, {},
                      QPoint(int(rect.at(0).toDouble()), int(rect.at(1).toDouble())));
    for (int i = 0; i < 200 && catcher.urls.isEmpty(); ++i)
        QTest::qWait(10);
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls.first().host(), QStringLiteral("www.example.com"));
    EXPECT_EQ(Topic(viewer), QStringLiteral("/trouble.htm")) << "the viewer stays on its page";
}

TEST_F(HelpViewerTest, IndexKeywordsOpenTheirPages)
{
    HelpViewer *viewer = Open(HelpFile("TsHelpEN.chm"));
    ASSERT_NE(viewer, nullptr);
    ASSERT_TRUE(WaitLoaded(viewer));
    auto *tabs = viewer->findChild<QTabWidget *>(QStringLiteral("HelpNavigation"));
    tabs->setCurrentIndex(1);
    auto *filter = viewer->findChild<QLineEdit *>(QStringLiteral("HelpIndexFilter"));
    auto *list = viewer->findChild<QListView *>(QStringLiteral("HelpIndexList"));
    const int all = list->model()->rowCount();
    ASSERT_GT(all, 3);

    // Typing narrows the list; Enter opens the keyword's only page.
    QTest::keyClicks(filter, QStringLiteral("volume map"));
    const int shown = list->model()->rowCount();
    EXPECT_GE(shown, 1);
    EXPECT_LT(shown, all);
    ASSERT_TRUE(list->currentIndex().isValid());
    EXPECT_TRUE(list->currentIndex().data().toString().contains(QStringLiteral("volume map"),
                                                                Qt::CaseInsensitive));
    ASSERT_TRUE(Loads(viewer, [&] { QTest::keyClick(filter, Qt::Key_Return); }));
    EXPECT_EQ(Topic(viewer), QStringLiteral("/volmap.htm"));

    // A keyword with two pages offers the choice.
    filter->clear();
    QTest::keyClicks(filter, QStringLiteral("fragmentation"));
    QTest::keyClick(filter, Qt::Key_Return);
    auto *choice = viewer->findChild<QDialog *>(QStringLiteral("HelpTopicsFound"));
    ASSERT_NE(choice, nullptr);
    auto *topics = choice->findChild<QListWidget *>(QStringLiteral("HelpTopicsList"));
    ASSERT_EQ(topics->count(), 2);
    topics->setCurrentRow(0);
    ASSERT_TRUE(Loads(viewer, [&] {
        QTest::mouseClick(choice->findChild<QAbstractButton *>(QStringLiteral("HelpTopicsDisplay")),
                          Qt::LeftButton);
    }));
    EXPECT_EQ(Topic(viewer), QStringLiteral("/defrag.htm"));
}

TEST_F(HelpViewerTest, SearchFindsDecodedTextAndOpensTheHit)
{
    struct Row
    {
        const char *file;
        QString query;
        QString page;
    } rows[] = {
        {"TsHelpEN.chm", QStringLiteral("café"), QStringLiteral("/trouble.htm")}, // written &eacute;
        {"TsHelpJP.chm", QStringLiteral("空き領域"), QStringLiteral("/defrag.htm")},
    };
    for (const Row &row : rows) {
        HelpViewer *viewer = Open(HelpFile(row.file));
        ASSERT_NE(viewer, nullptr);
        ASSERT_TRUE(WaitLoaded(viewer));
        viewer->findChild<QTabWidget *>(QStringLiteral("HelpNavigation"))->setCurrentIndex(2);
        auto *field = viewer->findChild<QLineEdit *>(QStringLiteral("HelpSearchField"));
        field->setText(row.query);
        QTest::mouseClick(viewer->findChild<QAbstractButton *>(QStringLiteral("HelpSearchButton")),
                          Qt::LeftButton);
        auto *results = viewer->findChild<QTreeView *>(QStringLiteral("HelpSearchResults"));
        QModelIndex hit;
        // (the first search builds the index on a reading thread)
        for (int wait = 0; wait < 1000 && !hit.isValid(); ++wait) {
            for (int i = 0; i < results->model()->rowCount(); ++i) {
                if (results->model()->index(i, 0).data(Qt::ToolTipRole) == row.page)
                    hit = results->model()->index(i, 0);
            }
            if (!hit.isValid())
                QTest::qWait(10);
        }
        ASSERT_TRUE(hit.isValid()) << row.file;
        ASSERT_TRUE(Loads(viewer, [&] { emit results->activated(hit); }));
        EXPECT_EQ(Topic(viewer), row.page);
        EXPECT_TRUE(PageText(viewer).contains(row.query)) << row.file;
        HtmlHelpW(nullptr, nullptr, HH_CLOSE_ALL, 0);
    }
}

// The Japanese pages are Shift_JIS and declare no character set: the file's language decides.
TEST_F(HelpViewerTest, JapanesePagesShowJapaneseText)
{
    HelpViewer *viewer = Open(HelpFile("TsHelpJP.chm::/defrag.htm"));
    ASSERT_NE(viewer, nullptr);
    ASSERT_TRUE(WaitLoaded(viewer));
    EXPECT_EQ(View(viewer)->title(), QStringLiteral("ボリュームの最適化"));
    EXPECT_TRUE(PageText(viewer).contains(QStringLiteral("断片化した状態")));
    EXPECT_TRUE(viewer->windowTitle().contains(QStringLiteral("ヘルプ")));
}

TEST_F(HelpViewerTest, OneViewerPerOwnerAndFileGoesWithItsOwner)
{
    auto owner = std::make_unique<QWidget>();
    HelpViewer *first = Open(HelpFile("TsHelpEN.chm"), owner.get());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->parentWidget(), owner.get());
    EXPECT_TRUE(first->isWindow());
    HelpViewer *again = Open(HelpFile("TsHelpEN.chm::/volmap.htm"), owner.get());
    EXPECT_EQ(again, first);
    ASSERT_TRUE(WaitLoaded(first));
    HelpViewer *other = Open(HelpFile("TsCCHelpEN.chm"), owner.get());
    EXPECT_NE(other, first);
    QPointer<QWidget> watch = first;
    owner.reset();
    EXPECT_TRUE(watch.isNull());
    // A window that no longer exists owns nothing.
    EXPECT_EQ(Open(HelpFile("TsHelpEN.chm"), reinterpret_cast<QWidget *>(first)), nullptr);
}

QString TraitFixture(const char *name)
{
    return QStringLiteral(TS_CHM_FIXTURES "/%1/%1.chm").arg(QLatin1String(name));
}

QStringList SearchLocations(HelpViewer *viewer, const QString &words)
{
    viewer->findChild<QTabWidget *>(QStringLiteral("HelpNavigation"))->setCurrentIndex(2);
    viewer->findChild<QLineEdit *>(QStringLiteral("HelpSearchField"))->setText(words);
    QTest::mouseClick(viewer->findChild<QAbstractButton *>(QStringLiteral("HelpSearchButton")),
                      Qt::LeftButton);
    auto *results = viewer->findChild<QTreeView *>(QStringLiteral("HelpSearchResults"));
    // (the first search builds the index on a reading thread)
    for (int wait = 0; wait < 1000 && results->model()->rowCount() == 0; ++wait)
        QTest::qWait(10);
    QStringList rows;
    for (int i = 0; i < results->model()->rowCount(); ++i) {
        rows << results->model()->index(i, 0).data().toString() + QLatin1Char('|')
                    + results->model()->index(i, 1).data().toString();
    }
    rows.sort();
    return rows;
}

// Help files as other authors write them, each shown as its author saw it: the page it opens on, its
// title and look, the navigation tabs offered, and what the trait needs beyond that.
TEST_F(HelpViewerTest, OtherAuthorsFilesShowAsWritten)
{
    struct Row
    {
        const char *fixture;
        const char *topic;        // opened on
        const char *title;        // of that page
        const char *script;       // evaluated on it
        const char *value;        // what it gives
        bool contentsTab;
        std::function<void(HelpViewer *)> more;
    } rows[] = {
        {"percent", "/page%201.html", "First Page", "document.body.innerText.trim().length > 0",
         "true", true,
         [](HelpViewer *viewer) {
             // A link written as stored, and the contents entry written "../page%202.html".
             ASSERT_TRUE(Loads(viewer, [&] {
                 Evaluate(viewer, QStringLiteral("document.getElementById('next').click()"));
             }));
             EXPECT_EQ(Topic(viewer), QStringLiteral("/page%202.html"));
             EXPECT_EQ(View(viewer)->title(), QStringLiteral("Second Page"));
             auto *contents = viewer->findChild<QTreeView *>(QStringLiteral("HelpContents"));
             EXPECT_EQ(contents->currentIndex().data().toString(), QStringLiteral("Second page"));
             ASSERT_TRUE(Loads(viewer, [&] {
                 const QModelIndex first = contents->model()->index(0, 0);
                 QTest::mouseClick(contents->viewport(), Qt::LeftButton, {},
                                   contents->visualRect(first).center());
             }));
             EXPECT_EQ(View(viewer)->title(), QStringLiteral("First Page"));
         }},
        // The sheet is served as one: the XHTML page in standards mode takes its colours.
        {"stylesheet", "/start.htm", "Styled Page",
         "getComputedStyle(document.body).backgroundColor + ' ' + getComputedStyle(document.body).color",
         "rgb(32, 48, 64) rgb(255, 255, 255)", true, nullptr},
        {"nodefault", "/overview.htm", "Overview", "document.querySelector('h1').textContent",
         "Overview", true,
         [](HelpViewer *viewer) {
             auto *contents = viewer->findChild<QTreeView *>(QStringLiteral("HelpContents"));
             EXPECT_EQ(contents->currentIndex().data().toString(), QStringLiteral("Overview"));
         }},
        {"indexonly", "/welcome.htm", "Welcome", "document.querySelector('h1').textContent",
         "Welcome", false,
         [](HelpViewer *viewer) {
             auto *tabs = viewer->findChild<QTabWidget *>(QStringLiteral("HelpNavigation"));
             EXPECT_EQ(tabs->currentIndex(), 1);
             EXPECT_EQ(viewer->findChild<QListView *>(QStringLiteral("HelpIndexList"))->model()->rowCount(), 3);
         }},
        {"gbk", "/start.htm", "碎片整理", "document.querySelector('p').textContent",
         "整理磁盘上的碎片文件，以提高读取速度。", true, nullptr},
        {"cp1251", "/start.htm", "Дефрагментация", "document.querySelector('p').textContent",
         "Фрагментированные файлы собираются в одно место на диске.", true, nullptr},
        {"untitled", "/engine/oil.htm", "Untitled", "document.title", "Untitled", true,
         [](HelpViewer *viewer) {
             EXPECT_EQ(SearchLocations(viewer, QStringLiteral("oil")),
                       QStringList({QStringLiteral("Untitled|/loose.htm"),
                                    QStringLiteral("Untitled|Engine \u203a Oil"),
                                    QStringLiteral("Untitled|Gearbox \u203a Oil")}));
         }},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.fixture);
        HelpViewer *viewer = Open(TraitFixture(row.fixture));
        ASSERT_NE(viewer, nullptr);
        ASSERT_TRUE(WaitLoaded(viewer));
        EXPECT_EQ(Topic(viewer).toStdString(), row.topic);
        EXPECT_EQ(View(viewer)->title().toStdString(), row.title);
        EXPECT_EQ(Evaluate(viewer, QString::fromUtf8(row.script)).toString().toStdString(), row.value);
        auto *tabs = viewer->findChild<QTabWidget *>(QStringLiteral("HelpNavigation"));
        EXPECT_EQ(tabs->isTabVisible(0), row.contentsTab);
        if (row.more)
            row.more(viewer);
        HtmlHelpW(nullptr, nullptr, HH_CLOSE_ALL, 0);
    }
}

} // namespace

#include "tst_helpviewer.moc"
