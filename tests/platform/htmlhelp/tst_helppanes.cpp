// The help viewer's Contents, Index and Search panes, by what the user does with them: clicks, keys,
// typed text; without the web engine.
#include "contentsmodel.h"
#include "contentspane.h"
#include "favoritespane.h"
#include "helpicons.h"
#include "indexmodel.h"
#include "indexpane.h"
#include "searchindex.h"
#include "searchpane.h"
#include "searchresultsmodel.h"

#include <QAbstractButton>
#include <QDialog>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

using namespace tshelp;

namespace {

SitemapEntry Entry(const QString &name, const QString &local = {},
                   QVector<SitemapEntry> children = {})
{
    SitemapEntry e;
    e.name = name;
    if (!local.isEmpty())
        e.targets.append({name, local});
    e.children = std::move(children);
    return e;
}

// A book "Start" (with a page) holding two pages, a book without a page holding one, a lone page.
QVector<SitemapEntry> Contents()
{
    return {
        Entry(QStringLiteral("Start"), QStringLiteral("start.htm"),
              {Entry(QStringLiteral("Install"), QStringLiteral("setup/Install.htm#top")),
               Entry(QStringLiteral("Page one"), QStringLiteral("../page%201.htm"))}),
        Entry(QStringLiteral("Reference"), {},
              {Entry(QStringLiteral("Options"), QStringLiteral("ref\\options.htm"))}),
        Entry(QStringLiteral("Other file"), QStringLiteral("other.chm::/x.htm")),
        Entry(QStringLiteral("Legal"), QStringLiteral("legal.htm")),
    };
}

qint64 IconKey(const QModelIndex &index)
{
    return index.data(Qt::DecorationRole).value<QIcon>().cacheKey();
}

void ClickRow(QAbstractItemView *view, const QModelIndex &index)
{
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
}

template<typename Pane>
void Show(Pane &pane)
{
    pane.resize(300, 400);
    pane.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pane));
}

} // namespace

TEST(ContentsPane, BooksAndPagesShareOneIconPerKind)
{
    ContentsPane pane;
    pane.setEntries(Contents());
    Show(pane);
    auto *view = pane.findChild<QTreeView *>(QStringLiteral("HelpContents"));
    ASSERT_EQ(view, pane.view());
    QAbstractItemModel *model = view->model();
    const QModelIndex start = model->index(0, 0);
    const QModelIndex reference = model->index(1, 0);
    struct Row
    {
        QModelIndex index;
        const QIcon &icon;
    } rows[] = {
        {start, ClosedBookIcon()},
        {reference, ClosedBookIcon()},
        {model->index(0, 0, start), PageIcon()},
        {model->index(1, 0, start), PageIcon()},
        {model->index(2, 0), PageIcon()},
        {model->index(3, 0), PageIcon()},
    };
    for (const Row &row : rows)
        EXPECT_EQ(IconKey(row.index), row.icon.cacheKey()) << row.index.data().toString().toStdString();
    EXPECT_NE(ClosedBookIcon().cacheKey(), OpenBookIcon().cacheKey());
    EXPECT_NE(ClosedBookIcon().pixmap(16).toImage(), OpenBookIcon().pixmap(16).toImage());
    EXPECT_NE(PageIcon().pixmap(16).toImage(), ClosedBookIcon().pixmap(16).toImage());

    // A book opens with its branch and shows as open; folded again, as closed.
    view->expand(reference);
    EXPECT_EQ(IconKey(reference), OpenBookIcon().cacheKey());
    EXPECT_EQ(IconKey(start), ClosedBookIcon().cacheKey());
    view->collapse(reference);
    EXPECT_EQ(IconKey(reference), ClosedBookIcon().cacheKey());
}

TEST(ContentsPane, ClicksAndEnterOpenTheEntrysPage)
{
    ContentsPane pane;
    pane.setEntries(Contents());
    Show(pane);
    QTreeView *view = pane.view();
    QAbstractItemModel *model = view->model();
    QSignalSpy opened(&pane, &ContentsPane::topicActivated);

    // A book with a page opens it and unfolds; a book without one only unfolds.
    ClickRow(view, model->index(0, 0));
    EXPECT_TRUE(view->isExpanded(model->index(0, 0)));
    ClickRow(view, model->index(1, 0));
    EXPECT_TRUE(view->isExpanded(model->index(1, 0)));
    ClickRow(view, model->index(0, 0, model->index(1, 0)));
    // Enter on the current entry; a double click opens once.
    view->setCurrentIndex(model->index(3, 0));
    QTest::keyClick(view, Qt::Key_Return);
    const QModelIndex install = model->index(0, 0, model->index(0, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(install).center());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(install).center());
    QStringList locals;
    for (const QList<QVariant> &signal : opened)
        locals << signal.at(0).toString();
    EXPECT_EQ(locals, QStringList({"start.htm", "ref\\options.htm", "legal.htm",
                                   "setup/Install.htm#top"}));
}

TEST(ContentsPane, FollowsThePageShownAndTellsWhereItStands)
{
    ContentsPane pane;
    pane.setEntries(Contents());
    Show(pane);
    QSignalSpy opened(&pane, &ContentsPane::topicActivated);
    struct Row
    {
        const char *shown;
        const char *current;  // the entry made current, empty for none
        const char *location;
    } rows[] = {
        {"/setup/install.htm", "Install", "Start \u203a Install"},
        {"/SETUP/INSTALL.HTM", "Install", "Start \u203a Install"},
        {"/page 1.htm", "Page one", "Start \u203a Page one"},
        {"/page%201.htm", "Page one", "Start \u203a Page one"},
        {"/ref/options.htm", "Options", "Reference \u203a Options"},
        {"/legal.htm", "Legal", "Legal"},
        {"/x.htm", "", ""}, // the entry names another file's page
        {"/missing.htm", "", ""},
        {"", "", ""},
    };
    for (const Row &row : rows) {
        const QString shown = QString::fromUtf8(row.shown);
        pane.showTopic(shown);
        const QModelIndex current = pane.view()->currentIndex();
        EXPECT_EQ(current.data().toString(), QString::fromUtf8(row.current)) << row.shown;
        for (QModelIndex p = current.parent(); p.isValid(); p = p.parent())
            EXPECT_TRUE(pane.view()->isExpanded(p)) << row.shown;
        EXPECT_EQ(pane.locationOf(shown), QString::fromUtf8(row.location)) << row.shown;
    }
    EXPECT_EQ(opened.count(), 0) << "following the page opens nothing";
    // The books opened on the way show as open.
    EXPECT_EQ(IconKey(pane.model()->index(1, 0)), OpenBookIcon().cacheKey());
}

TEST(ContentsPane, HundredThousandEntriesMakeOnlyTheItemsSeen)
{
    QVector<SitemapEntry> entries;
    entries.reserve(100000);
    for (int i = 0; i < 100000; ++i) {
        entries.append(Entry(QStringLiteral("Book %1").arg(i), QStringLiteral("b%1.htm").arg(i),
                             {Entry(QStringLiteral("Page %1").arg(i), QStringLiteral("p%1.htm").arg(i))}));
    }
    ContentsPane pane;
    pane.setEntries(entries);
    Show(pane);
    ContentsModel *model = pane.model();
    EXPECT_EQ(model->rowCount(), 100000);
    EXPECT_LT(model->madeItems(), 200);
    // The last page, found and shown: its book alone is opened.
    pane.showTopic(QStringLiteral("/p99999.htm"));
    EXPECT_EQ(pane.view()->currentIndex().data().toString(), QStringLiteral("Page 99999"));
    EXPECT_LT(model->madeItems(), 400);
}

TEST(ContentsPane, ShowsEveryLevelTheReaderKeeps)
{
    QByteArray html;
    for (int i = 0; i < 200; ++i)
        html += QByteArray("<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"L")
                + QByteArray::number(i) + "\"><param name=\"Local\" value=\"l"
                + QByteArray::number(i) + ".htm\"></OBJECT>";
    ContentsPane pane;
    pane.setEntries(ParseSitemap(html, nullptr));
    int depth = 0;
    QModelIndex at;
    while (pane.model()->rowCount(at) > 0) {
        at = pane.model()->index(0, 0, at);
        ++depth;
    }
    EXPECT_EQ(depth, kSitemapMaxDepth);
    // Those below continue at the deepest level, and are found there.
    pane.showTopic(QStringLiteral("/l199.htm"));
    EXPECT_EQ(pane.view()->currentIndex().data().toString(), QStringLiteral("L199"));
    EXPECT_EQ(pane.model()->path(pane.view()->currentIndex()).size(), kSitemapMaxDepth);
}

namespace {

// Keywords in the file's (unsorted) order, one with sub-keywords, one with two pages, a "See Also".
QVector<SitemapEntry> Keywords()
{
    SitemapEntry two = Entry(QStringLiteral("volume"));
    two.targets = {{QStringLiteral("Volumes"), QStringLiteral("vol.htm")},
                   {QStringLiteral("Volume map"), QStringLiteral("map.htm")}};
    SitemapEntry see = Entry(QStringLiteral("disk"));
    see.seeAlso = QStringLiteral("volume");
    return {
        Entry(QStringLiteral("schedule"), QStringLiteral("sched.htm"),
              {Entry(QStringLiteral("weekly"), QStringLiteral("week.htm")),
               Entry(QStringLiteral("daily"), QStringLiteral("day.htm"))}),
        two,
        Entry(QStringLiteral("Boot time"), QStringLiteral("boot.htm")),
        see,
        Entry(QStringLiteral("scheduling"), QStringLiteral("sched2.htm")),
        Entry(QStringLiteral("Scan"), QStringLiteral("scan.htm")),
    };
}

QStringList Shown(QAbstractItemModel *model)
{
    QStringList rows;
    for (int i = 0; i < model->rowCount(); ++i)
        rows << model->index(i, 0).data().toString();
    return rows;
}

} // namespace

// The filter's clear button fades in with an animation that deletes itself on its next tick once the
// button is gone: each test lets it, so that nothing is left behind.
class IndexPaneTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        QTest::qWait(100);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

TEST_F(IndexPaneTest, TypingNarrowsTheSortedKeywords)
{
    IndexPane pane;
    pane.setEntries(Keywords());
    Show(pane);
    auto *filter = pane.findChild<QLineEdit *>(QStringLiteral("HelpIndexFilter"));
    auto *list = pane.findChild<QListView *>(QStringLiteral("HelpIndexList"));
    ASSERT_TRUE(filter && list);
    const QStringList all = {"Boot time", "disk", "Scan", "schedule", "    weekly", "    daily",
                             "scheduling", "volume"};
    EXPECT_EQ(Shown(list->model()), all);
    struct Row
    {
        const char *typed;
        QStringList shown;
    } rows[] = {
        {"s", {"Scan", "schedule", "    weekly", "    daily", "scheduling"}},
        {"SCHED", {"schedule", "    weekly", "    daily", "scheduling"}},
        {"schedul", {"schedule", "    weekly", "    daily", "scheduling"}},
        {"scheduli", {"scheduling"}},
        {"week", {}}, // sub-keywords are found under their keyword
        {"  boot ", {"Boot time"}},
        {"zebra", {}},
        {"", all},
    };
    for (const Row &row : rows) {
        filter->clear();
        QTest::keyClicks(filter, QString::fromUtf8(row.typed));
        EXPECT_EQ(Shown(list->model()), row.shown) << row.typed;
        // The first one shown is current, so that Enter opens it.
        EXPECT_EQ(list->currentIndex().row(), row.shown.isEmpty() ? -1 : 0) << row.typed;
    }
}

TEST_F(IndexPaneTest, EnterDisplayAndTopicsFound)
{
    IndexPane pane;
    pane.setEntries(Keywords());
    Show(pane);
    QLineEdit *filter = pane.filterField();
    QSignalSpy opened(&pane, &IndexPane::topicActivated);

    QTest::keyClicks(filter, QStringLiteral("boot"));
    QTest::keyClick(filter, Qt::Key_Return);
    ASSERT_EQ(opened.count(), 1);
    EXPECT_EQ(opened.takeFirst().at(0).toString(), QStringLiteral("boot.htm"));

    // A sub-keyword chosen in the list, opened with Display.
    filter->clear();
    QTest::keyClicks(filter, QStringLiteral("schedule"));
    ClickRow(pane.view(), pane.model()->index(2));
    QTest::mouseClick(pane.findChild<QAbstractButton *>(QStringLiteral("HelpIndexDisplay")),
                      Qt::LeftButton);
    ASSERT_EQ(opened.count(), 1);
    EXPECT_EQ(opened.takeFirst().at(0).toString(), QStringLiteral("day.htm"));

    // "See Also" looks up the keyword it names.
    filter->clear();
    QTest::keyClicks(filter, QStringLiteral("disk"));
    QTest::keyClick(filter, Qt::Key_Return);
    EXPECT_EQ(filter->text(), QStringLiteral("volume"));
    EXPECT_EQ(opened.count(), 0);

    // Two pages: the user picks one.
    QTest::keyClick(filter, Qt::Key_Return);
    auto *choice = pane.findChild<QDialog *>(QStringLiteral("HelpTopicsFound"));
    ASSERT_NE(choice, nullptr);
    auto *topics = choice->findChild<QListWidget *>(QStringLiteral("HelpTopicsList"));
    ASSERT_EQ(topics->count(), 2);
    EXPECT_EQ(topics->item(1)->text(), QStringLiteral("Volume map"));
    topics->setCurrentRow(1);
    QTest::mouseClick(choice->findChild<QAbstractButton *>(QStringLiteral("HelpTopicsDisplay")),
                      Qt::LeftButton);
    ASSERT_EQ(opened.count(), 1);
    EXPECT_EQ(opened.takeFirst().at(0).toString(), QStringLiteral("map.htm"));
    EXPECT_FALSE(choice->isVisible());
}

// The binary search finds what a look at every keyword finds, on many random keywords.
TEST(IndexModel, NarrowingAgreesWithALookAtEveryKeyword)
{
    QRandomGenerator random(1234);
    const QString letters = QStringLiteral("abcAB\u00e9\u00c9 ");
    QVector<SitemapEntry> entries;
    for (int i = 0; i < 5000; ++i) {
        QString name;
        for (int n = 1 + int(random.bounded(6)); n > 0; --n)
            name += letters.at(int(random.bounded(letters.size())));
        entries.append(Entry(name, QStringLiteral("p.htm"),
                             i % 3 ? QVector<SitemapEntry>() : QVector<SitemapEntry>{Entry(QStringLiteral("sub"), QStringLiteral("s.htm"))}));
    }
    IndexModel model(entries);
    EXPECT_EQ(model.totalRows(), 5000 + 1667);
    for (const char *prefix : {"a", "ab", "AB", "é", "É", "ba c", "c", "aaaa", "zz", " b"}) {
        const QString folded = QString::fromUtf8(prefix).trimmed().toCaseFolded();
        int expected = 0;
        for (const SitemapEntry &e : entries) {
            if (e.name.trimmed().toCaseFolded().startsWith(folded))
                expected += 1 + e.children.size();
        }
        model.setFilter(QString::fromUtf8(prefix));
        EXPECT_EQ(model.rowCount(), expected) << prefix;
        for (int row = 0; row < model.rowCount(); ++row) {
            const QString keyword = model.index(row).data(IndexModel::KeywordRole).toString();
            ASSERT_TRUE(keyword.trimmed().toCaseFolded().startsWith(folded)) << prefix;
        }
    }
    EXPECT_EQ(model.entry(model.rowCount()), nullptr);
    EXPECT_EQ(model.entry(-1), nullptr);
}

namespace {

SearchIndex OilPages()
{
    SearchIndex index;
    for (const char *path : {"/engine/oil.htm", "/gearbox/oil.htm", "/loose.htm"})
        index.addPage(QLatin1String(path),
                      "<title>Untitled</title><p>oil for " + QByteArray(path) + "</p>", nullptr);
    index.addPage(QStringLiteral("/other.htm"), "<title>Other</title><p>water</p>", nullptr);
    return index;
}

QStringList Column(QAbstractItemModel *model, int column)
{
    QStringList texts;
    for (int i = 0; i < model->rowCount(); ++i)
        texts << model->index(i, column).data().toString();
    return texts;
}

} // namespace

TEST(SearchPane, WaitsForTheIndexThenListsHitsWithTheirLocations)
{
    const SearchIndex index = OilPages();
    SearchPane pane;
    pane.setLocator([](const QString &path) {
        return path.startsWith(QLatin1String("/loose")) ? QString() : QStringLiteral("Car \u203a ") + path.section(QLatin1Char('/'), 1, 1);
    });
    Show(pane);
    auto *field = pane.findChild<QLineEdit *>(QStringLiteral("HelpSearchField"));
    auto *button = pane.findChild<QAbstractButton *>(QStringLiteral("HelpSearchButton"));
    auto *results = pane.findChild<QTreeView *>(QStringLiteral("HelpSearchResults"));
    auto *status = pane.findChild<QLabel *>(QStringLiteral("HelpSearchStatus"));
    ASSERT_TRUE(field && button && results && status);
    QSignalSpy wanted(&pane, &SearchPane::searchIndexWanted);

    // No index yet: the pane says so and asks once, however often the user presses.
    QTest::keyClicks(field, QStringLiteral("oil"));
    QTest::keyClick(field, Qt::Key_Return);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(wanted.count(), 1);
    EXPECT_FALSE(status->text().isEmpty());
    EXPECT_EQ(results->model()->rowCount(), 0);

    // The index comes: the waiting search runs. Pages that share a title differ by location.
    pane.setSearchIndex(&index);
    EXPECT_EQ(Column(results->model(), SearchResultsModel::TitleColumn),
              QStringList({"Untitled", "Untitled", "Untitled"}));
    QStringList locations = Column(results->model(), SearchResultsModel::LocationColumn);
    locations.sort();
    EXPECT_EQ(locations, QStringList({"/loose.htm", "Car \u203a engine", "Car \u203a gearbox"}));
    EXPECT_TRUE(status->text().contains(QLatin1Char('3')));
    EXPECT_EQ(results->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Location"));

    // Enter on a hit opens its page, with the words searched for.
    QSignalSpy opened(&pane, &SearchPane::topicActivated);
    const QModelIndex second = results->model()->index(1, 0);
    results->setCurrentIndex(second);
    QTest::keyClick(results, Qt::Key_Return);
    ASSERT_EQ(opened.count(), 1);
    EXPECT_EQ(opened.first().at(0).toString(), second.data(SearchResultsModel::PathRole).toString());
    EXPECT_EQ(opened.first().at(1).toString(), QStringLiteral("oil"));

    // Nothing found, and nothing asked.
    field->setText(QStringLiteral("petrol"));
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(results->model()->rowCount(), 0);
    EXPECT_FALSE(status->text().isEmpty());
    field->clear();
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(status->text().isEmpty());
    EXPECT_EQ(wanted.count(), 1);

    // Taken away: the next search asks again.
    pane.setSearchIndex(nullptr);
    field->setText(QStringLiteral("water"));
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(wanted.count(), 2);
}

// The Favorites tab: a topic kept once under its latest title, a title cleared while renaming keeps
// the former one, Enter opens, and the buttons follow the selection.
TEST(FavoritesPane, AddRenameRemoveAndOpen)
{
    FavoritesPane pane;
    QSignalSpy changed(&pane, &FavoritesPane::favoritesChanged);
    QSignalSpy opened(&pane, &FavoritesPane::topicActivated);
    auto *add = pane.findChild<QAbstractButton *>(QStringLiteral("HelpFavoritesAdd"));
    auto *remove = pane.findChild<QAbstractButton *>(QStringLiteral("HelpFavoritesRemove"));
    EXPECT_FALSE(add->isEnabled()) << "no topic shown yet";
    EXPECT_FALSE(remove->isEnabled());

    pane.setCurrentTopic(QStringLiteral("Defragmenting"), QStringLiteral("/defrag.htm"));
    pane.titleField()->setText(QStringLiteral("  "));
    QTest::mouseClick(add, Qt::LeftButton); // an empty title: the topic stands for it
    pane.titleField()->setText(QStringLiteral("How to defragment"));
    QTest::keyClick(pane.titleField(), Qt::Key_Return); // the same topic: its title changes
    pane.setCurrentTopic(QStringLiteral("Legend"), QStringLiteral("/legend.htm#colours"));
    QTest::mouseClick(add, Qt::LeftButton);
    const QVector<Favorite> expected{{QStringLiteral("How to defragment"), QStringLiteral("/defrag.htm")},
                                     {QStringLiteral("Legend"), QStringLiteral("/legend.htm#colours")}};
    EXPECT_EQ(pane.favorites(), expected);
    EXPECT_EQ(changed.count(), 3);
    EXPECT_TRUE(remove->isEnabled());

    pane.list()->item(0)->setText(QString()); // renamed to nothing
    EXPECT_EQ(pane.favorites().first().title, QStringLiteral("How to defragment"));

    pane.list()->setCurrentRow(1);
    QTest::keyClick(pane.list(), Qt::Key_Return);
    ASSERT_EQ(opened.count(), 1);
    EXPECT_EQ(opened.first().first().toString(), QStringLiteral("/legend.htm#colours"));

    QTest::mouseClick(remove, Qt::LeftButton);
    EXPECT_EQ(pane.favorites(), QVector<Favorite>{expected.first()});
    pane.setFavorites({});
    EXPECT_FALSE(remove->isEnabled());
}
