// The help viewer's tools: printing and PDF, favorites, the choice of character set, and the
// navigation pane, each as remembered across runs (a run ends with HH_CLOSE_ALL here).
#include "helpviewertest.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QSplitter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <gtest/gtest.h>

namespace {

using namespace helpviewertest;


// The text of a PDF as pdftotext reads it, in compatibility form (the CJK fonts map some characters
// to their radicals, "⽚" for "片").
QString PdfText(const QString &path)
{
    QProcess process;
    process.start(QStringLiteral(TS_PDFTOTEXT), {path, QStringLiteral("-")});
    if (!process.waitForFinished(30000))
        return {};
    return QString::fromUtf8(process.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

// The number of pages of a PDF, as pdfinfo reads it (pages drawn by the printer path are pictures: no
// text to read).
int PdfPages(const QString &path)
{
    QProcess process;
    process.start(QStringLiteral(TS_PDFINFO), {path});
    if (!process.waitForFinished(30000))
        return -1;
    static const QRegularExpression pages(QStringLiteral("^Pages:\\s*(\\d+)"),
                                          QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = pages.match(QString::fromUtf8(process.readAllStandardOutput()));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

bool WritePdf(HelpViewer *viewer, const QString &path, bool heading, bool printed)
{
    QSignalSpy saved(viewer, SIGNAL(pdfSaved(QString, bool)));
    QMetaObject::invokeMethod(viewer, "writePdf", Q_ARG(QString, path), Q_ARG(bool, heading),
                              Q_ARG(bool, printed));
    return (!saved.isEmpty() || saved.wait(60000)) && saved.last().at(1).toBool();
}

class HelpViewerToolsTest : public ::testing::Test
{
protected:
    void SetUp() override { QSettings(QStringLiteral("Morlen"), QStringLiteral("Tessaro Help")).clear(); }
    void TearDown() override
    {
        CloseAll();
        QSettings(QStringLiteral("Morlen"), QStringLiteral("Tessaro Help")).clear();
    }
    QTemporaryDir m_dir;
};

// A topic prints as it renders, through the printer and through the engine's PDF writer; a contents
// heading prints with all its subtopics.
TEST_F(HelpViewerToolsTest, PrintedTopicsHoldTheirText)
{
    struct Row
    {
        const char *file;
        bool heading;
        bool printed;
        QStringList expected; // (the printer's path draws pictures: its pages are counted instead)
    } rows[] = {
        {"TsHelpJP.chm::/defrag.htm", false, true, {}},
        {"TsHelpJP.chm::/defrag.htm", false, false, {QStringLiteral("断片化した状態")}},
        {"TsHelpEN.chm::/defrag.htm", false, false, {QStringLiteral("Defragmenting a volume")}},
        // The heading "Defragmenting": its own page, the volume map and the legend.
        {"TsHelpEN.chm::/defrag.htm", true, false,
         {QStringLiteral("Defragmenting a volume"), QStringLiteral("The volume map"),
          QStringLiteral("Legend")}},
        {"TsHelpEN.chm::/defrag.htm", true, true, {}},
    };
    int n = 0;
    for (const Row &row : rows) {
        HelpViewer *viewer = Open(QStringLiteral(TS_DATA_DIR "/") + QString::fromLatin1(row.file));
        ASSERT_NE(viewer, nullptr);
        QSignalSpy loaded(viewer, SIGNAL(pageLoaded(bool)));
        ASSERT_TRUE(loaded.wait(20000));
        if (row.heading) {
            auto *contents = viewer->findChild<QTreeView *>(QStringLiteral("HelpContents"));
            ASSERT_TRUE(contents->currentIndex().isValid());
            contents->setCurrentIndex(contents->currentIndex().parent());
        }
        const QString pdf = m_dir.filePath(QStringLiteral("topic%1.pdf").arg(n++));
        ASSERT_TRUE(WritePdf(viewer, pdf, row.heading, row.printed)) << row.file;
        if (row.printed) {
            EXPECT_GE(PdfPages(pdf), row.heading ? 3 : 1) << row.file;
        }
        const QString text = PdfText(pdf).simplified();
        for (const QString &expected : row.expected)
            EXPECT_TRUE(text.contains(expected)) << row.file << ": " << expected.toStdString() << " in "
                                                 << text.left(300).toStdString();
        CloseAll();
    }
}

// Favorites are kept per help file across runs, renamed and removed; another file put at the same
// path does not show them; one whose page is gone opens the viewer's not-found page.
TEST_F(HelpViewerToolsTest, FavoritesStayWithTheirFile)
{
    const QString file = m_dir.filePath(QStringLiteral("help.chm"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(TS_DATA_DIR "/TsHelpEN.chm"), file));
    HelpViewer *viewer = Open(file + QStringLiteral("::/defrag.htm"));
    ASSERT_NE(viewer, nullptr);
    ASSERT_TRUE(Loads(viewer, [] {}));
    auto *title = viewer->findChild<QLineEdit *>(QStringLiteral("HelpFavoritesTitle"));
    auto *add = viewer->findChild<QAbstractButton *>(QStringLiteral("HelpFavoritesAdd"));
    auto *list = viewer->findChild<QListWidget *>(QStringLiteral("HelpFavoritesList"));
    ASSERT_TRUE(title && add && list);
    EXPECT_EQ(title->text(), QStringLiteral("Defragmenting a volume"));
    title->setText(QStringLiteral("How to defragment"));
    QTest::mouseClick(add, Qt::LeftButton);
    ASSERT_TRUE(Loads(viewer, [&] { viewer->findChild<QAction *>(QStringLiteral("HelpHome"))->trigger(); }));
    QTest::mouseClick(add, Qt::LeftButton);
    QTest::mouseClick(add, Qt::LeftButton); // the same topic again: still one entry
    ASSERT_EQ(list->count(), 2);
    list->item(1)->setText(QStringLiteral("Start page")); // renamed in place
    CloseAll();

    viewer = Open(file);
    ASSERT_NE(viewer, nullptr);
    ASSERT_TRUE(Loads(viewer, [] {}));
    list = viewer->findChild<QListWidget *>(QStringLiteral("HelpFavoritesList"));
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("How to defragment"));
    EXPECT_EQ(list->item(1)->text(), QStringLiteral("Start page"));
    // Opened by Enter on the entry.
    list->setCurrentRow(0);
    ASSERT_TRUE(Loads(viewer, [&] { emit list->itemActivated(list->item(0)); }));
    EXPECT_EQ(viewer->property("topic").toString(), QStringLiteral("/defrag.htm"));
    list->setCurrentRow(1);
    QTest::mouseClick(viewer->findChild<QAbstractButton *>(QStringLiteral("HelpFavoritesRemove")),
                      Qt::LeftButton);
    EXPECT_EQ(list->count(), 1);
    CloseAll();

    // A favorite of a page the file no longer holds.
    {
        QSettings settings(QStringLiteral("Morlen"), QStringLiteral("Tessaro Help"));
        const QStringList groups = [&] {
            settings.beginGroup(QStringLiteral("files"));
            const QStringList g = settings.childGroups();
            settings.endGroup();
            return g;
        }();
        ASSERT_EQ(groups.size(), 1);
        settings.setValue(QStringLiteral("files/") + groups.first() + QStringLiteral("/favorites/1/topic"),
                          QStringLiteral("/removed.htm"));
        settings.setValue(QStringLiteral("files/") + groups.first() + QStringLiteral("/favorites/size"), 1);
    }
    viewer = Open(file);
    ASSERT_TRUE(Loads(viewer, [] {}));
    list = viewer->findChild<QListWidget *>(QStringLiteral("HelpFavoritesList"));
    ASSERT_EQ(list->count(), 1);
    ASSERT_TRUE(Loads(viewer, [&] { emit list->itemActivated(list->item(0)); }));
    EXPECT_TRUE(PageText(viewer).contains(QStringLiteral("Page not found")));
    CloseAll();

    // Another help file at the same path.
    ASSERT_TRUE(QFile::remove(file));
    ASSERT_TRUE(QFile::copy(QStringLiteral(TS_DATA_DIR "/TsCCHelpEN.chm"), file));
    viewer = Open(file);
    ASSERT_TRUE(Loads(viewer, [] {}));
    EXPECT_EQ(viewer->findChild<QListWidget *>(QStringLiteral("HelpFavoritesList"))->count(), 0);
}

// A file whose language record says English but whose pages are Windows-1251: the user's choice of
// character set decodes pages, contents and search, and is kept for the file.
TEST_F(HelpViewerToolsTest, CharacterSetChoiceDecodesTheFile)
{
    const QString file = QStringLiteral(TS_CHM_FIXTURES "/wrongcs/wrongcs.chm");
    const QString word = QStringLiteral("Дефрагментация");
    HelpViewer *viewer = Open(file);
    ASSERT_NE(viewer, nullptr);
    ASSERT_TRUE(Loads(viewer, [] {}));
    auto *contents = viewer->findChild<QTreeView *>(QStringLiteral("HelpContents"));
    EXPECT_FALSE(PageText(viewer).contains(word));
    EXPECT_NE(contents->model()->index(0, 0).data().toString(), word);

    auto *choice = viewer->findChild<QAction *>(QStringLiteral("HelpEncoding-windows-1251"));
    ASSERT_NE(choice, nullptr);
    ASSERT_TRUE(Loads(viewer, [&] { choice->trigger(); }));
    EXPECT_TRUE(PageText(viewer).contains(word));
    EXPECT_EQ(contents->model()->index(0, 0).data().toString(), word);
    CloseAll();

    viewer = Open(file);
    ASSERT_TRUE(Loads(viewer, [] {}));
    EXPECT_TRUE(viewer->findChild<QAction *>(QStringLiteral("HelpEncoding-windows-1251"))->isChecked());
    EXPECT_TRUE(PageText(viewer).contains(word));
    // Back to the file's own.
    ASSERT_TRUE(Loads(viewer, [&] {
        viewer->findChild<QAction *>(QStringLiteral("HelpEncoding-auto"))->trigger();
    }));
    EXPECT_FALSE(PageText(viewer).contains(word));
}

// The navigation pane hidden and the splitter moved stay so in the next run.
TEST_F(HelpViewerToolsTest, NavigationPaneAndSplitterRemembered)
{
    const QString file = QStringLiteral(TS_DATA_DIR "/TsHelpEN.chm");
    HelpViewer *viewer = Open(file);
    ASSERT_NE(viewer, nullptr);
    ASSERT_TRUE(Loads(viewer, [] {}));
    auto *splitter = viewer->findChild<QSplitter *>(QStringLiteral("HelpSplitter"));
    splitter->setSizes({400, 500});
    const QList<int> sizes = splitter->sizes();
    CloseAll();

    viewer = Open(file);
    ASSERT_TRUE(Loads(viewer, [] {}));
    splitter = viewer->findChild<QSplitter *>(QStringLiteral("HelpSplitter"));
    EXPECT_EQ(splitter->sizes(), sizes);
    auto *toggle = viewer->findChild<QAction *>(QStringLiteral("HelpToggleNavigation"));
    auto *tabs = viewer->findChild<QTabWidget *>(QStringLiteral("HelpNavigation"));
    EXPECT_TRUE(toggle->isChecked());
    toggle->trigger();
    EXPECT_FALSE(tabs->isVisible());
    EXPECT_EQ(toggle->text(), QStringLiteral("Show"));
    CloseAll();

    viewer = Open(file);
    ASSERT_TRUE(Loads(viewer, [] {}));
    tabs = viewer->findChild<QTabWidget *>(QStringLiteral("HelpNavigation"));
    toggle = viewer->findChild<QAction *>(QStringLiteral("HelpToggleNavigation"));
    EXPECT_FALSE(tabs->isVisible());
    EXPECT_FALSE(toggle->isChecked());
    toggle->trigger();
    EXPECT_TRUE(tabs->isVisible());
}

} // namespace
