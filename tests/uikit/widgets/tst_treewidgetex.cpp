// The tree's refresh cycle, its selection colours through real focus changes, and type-ahead.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPoint>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <memory>

#include "widgets/qtreewidgetitemex.h"
#include "widgets/treewidgetex.h"

namespace {

// Five rows keyed 1..5 under Qt::UserRole in column 0, each with one child keyed 10 * key.
void Fill(CTreeWidgetEx &tree, int fragmentsShift = 0)
{
    for (int key = 1; key <= 5; ++key) {
        auto *row = new QTreeWidgetItemEx;
        row->setText(0, QStringLiteral("Volume %1").arg(key));
        row->setData(0, Qt::UserRole, key);
        row->setData(1, Qt::UserRole, (key * 7 + fragmentsShift) % 5);
        row->setText(1, QString::number((key * 7 + fragmentsShift) % 5));
        auto *child = new QTreeWidgetItemEx;
        child->setText(0, QStringLiteral("Extent %1").arg(key));
        child->setData(0, Qt::UserRole, key * 10);
        row->addChild(child);
        tree.addTopLevelItem(row);
    }
}

QList<int> SelectedKeys(const CTreeWidgetEx &tree)
{
    QList<int> keys;
    for (const QTreeWidgetItem *item : tree.selectedItems())
        keys << item->data(0, Qt::UserRole).toInt();
    std::sort(keys.begin(), keys.end());
    return keys;
}

QList<int> Order(const CTreeWidgetEx &tree)
{
    QList<int> keys;
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        keys << tree.topLevelItem(i)->data(0, Qt::UserRole).toInt();
    return keys;
}

TEST(CTreeWidgetEx, RefreshKeepsSortAndTopLevelSelection)
{
    CTreeWidgetEx tree;
    tree.setColumnCount(2);
    tree.setSelectionMode(QAbstractItemView::MultiSelection);
    Fill(tree);
    tree.setSortingEnabled(true);
    tree.sortItems(1, Qt::DescendingOrder);
    tree.topLevelItem(0)->setSelected(true);
    tree.topLevelItem(3)->setSelected(true);
    tree.topLevelItem(2)->child(0)->setSelected(true);
    const QList<int> before = SelectedKeys(tree);
    const QList<int> order = Order(tree);

    tree.CacheSortAndSelect(0, Qt::UserRole);
    EXPECT_FALSE(tree.isSortingEnabled());
    tree.clear();
    Fill(tree);
    tree.RestoreSortAndSelect();

    QList<int> topLevelBefore;
    for (int key : before)
        if (key < 10)
            topLevelBefore << key;
    EXPECT_EQ(SelectedKeys(tree), topLevelBefore); // the child is not reselected
    EXPECT_EQ(Order(tree), order);
    EXPECT_TRUE(tree.isSortingEnabled());
    EXPECT_EQ(tree.header()->sortIndicatorSection(), 1);
    EXPECT_EQ(tree.header()->sortIndicatorOrder(), Qt::DescendingOrder);

    // Repeatable: the remembered keys stay.
    tree.clearSelection();
    tree.RestoreSortAndSelect();
    EXPECT_EQ(SelectedKeys(tree), topLevelBefore);
}

// One refresh: rows keyed `before`, the rows at `selected` selected and cached under `role`;
// the tree refilled with rows keyed `after` (an invalid key: a row without one), the rows at
// `selectedAfterRefill` selected by hand, then restored.
struct RestoreRow {
    const char *what;
    int role;
    QVariantList before;
    QList<int> selected;
    QVariantList after;
    QList<int> selectedAfterRefill;
    QList<int> expected; // rows of `after` selected after the restore
};

void FillKeys(CTreeWidgetEx &tree, const QVariantList &keys, int role)
{
    for (const QVariant &key : keys) {
        auto *row = new QTreeWidgetItemEx;
        if (role != Qt::DisplayRole)
            row->setText(0, QStringLiteral("row"));
        if (key.isValid())
            row->setData(0, role, key);
        tree.addTopLevelItem(row);
    }
}

QList<int> SelectedRows(const CTreeWidgetEx &tree)
{
    QList<int> rows;
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        if (tree.topLevelItem(i)->isSelected())
            rows << i;
    return rows;
}

TEST(CTreeWidgetEx, RestoreMatchesKeysAsText)
{
    const int user = Qt::UserRole;
    const RestoreRow rows[] = {
        {"duplicates", user, {1, 2, 2, 3}, {1, 2}, {2, 3, 2, 4}, {}, {0, 2}},
        {"rows without a key are deselected", user, {1, 2}, {0, 1}, {1, QVariant(), 2}, {1}, {0, 2}},
        {"rows not remembered are deselected", user, {1, 2, 3}, {1}, {1, 2, 3}, {0, 2}, {1}},
        {"keys held as display text", Qt::DisplayRole, {"a", "b", "c"}, {1}, {"c", "b", "a"}, {}, {1}},
        {"case counts", user, {"abc"}, {0}, {"ABC", "abc"}, {}, {1}},
        {"a key of any type as its text", user, {7}, {0},
         {QStringLiteral("7"), 7.0, QByteArray("7"), 7.5, QPoint(7, 0), qlonglong(7)}, {}, {0, 1, 2, 5}},
        {"runs of neighbouring rows", user, {1, 2, 3, 4, 5, 6}, {0, 1, 3, 4, 5}, {1, 2, 3, 4, 5, 6}, {2},
         {0, 1, 3, 4, 5}},
        {"nothing remembered", user, {1, 2}, {}, {1, 2}, {0, 1}, {}},
    };
    for (const RestoreRow &row : rows) {
        CTreeWidgetEx tree;
        tree.setColumnCount(2);
        tree.setSelectionMode(QAbstractItemView::MultiSelection);
        tree.header()->setSortIndicator(-1, Qt::AscendingOrder); // rows stay where they are
        FillKeys(tree, row.before, row.role);
        for (int i : row.selected)
            tree.topLevelItem(i)->setSelected(true);
        tree.CacheSortAndSelect(0, Qt::ItemDataRole(row.role));
        tree.clear();
        FillKeys(tree, row.after, row.role);
        for (int i : row.selectedAfterRefill)
            tree.topLevelItem(i)->setSelected(true);
        QSignalSpy changes(&tree, &QTreeWidget::itemSelectionChanged);
        tree.RestoreSortAndSelect();
        EXPECT_EQ(SelectedRows(tree), row.expected) << row.what;
        // At once, not row by row: at most the old selection cleared and the new one set.
        EXPECT_LE(changes.count(), 2) << row.what;
        // Whole rows: every column of a selected row.
        for (int i : row.expected)
            EXPECT_TRUE(tree.selectionModel()->isRowSelected(i, QModelIndex())) << row.what;
    }
}

TEST(CTreeWidgetEx, RestoreLeavesChildrenAsTheyAre)
{
    CTreeWidgetEx tree;
    tree.setColumnCount(1);
    tree.setSelectionMode(QAbstractItemView::MultiSelection);
    tree.header()->setSortIndicator(-1, Qt::AscendingOrder); // rows stay where they are
    Fill(tree);
    tree.topLevelItem(1)->setSelected(true); // key 2
    tree.topLevelItem(3)->child(0)->setSelected(true); // key 40
    tree.CacheSortAndSelect(0, Qt::UserRole);
    tree.clear();
    Fill(tree);
    tree.topLevelItem(0)->child(0)->setSelected(true); // key 10, selected after the refill
    tree.RestoreSortAndSelect();
    EXPECT_EQ(SelectedKeys(tree), QList<int>({2, 10})); // 40 was a child: not reselected

    // A key column the tree does not have finds no row: the selection stays as it is.
    tree.CacheSortAndSelect(5, Qt::UserRole);
    tree.clearSelection();
    tree.topLevelItem(4)->setSelected(true);
    tree.RestoreSortAndSelect();
    EXPECT_EQ(SelectedKeys(tree), QList<int>({5}));
}

TEST(CTreeWidgetEx, RestoreBeforeAnyCacheChangesNothing)
{
    CTreeWidgetEx tree;
    tree.setColumnCount(2);
    Fill(tree);
    tree.sortItems(1, Qt::AscendingOrder);
    tree.topLevelItem(2)->setSelected(true);
    const QList<int> order = Order(tree);
    tree.RestoreSortAndSelect();
    EXPECT_EQ(Order(tree), order);
    EXPECT_EQ(SelectedKeys(tree).size(), 1);
    EXPECT_FALSE(tree.isSortingEnabled());
}

TEST(CTreeWidgetEx, SelectionColoursFollowFocus)
{
    // Four distinct colours, so that no two roles can be mistaken for each other.
    const QPalette saved = QApplication::palette();
    QPalette distinct = saved;
    distinct.setColor(QPalette::Active, QPalette::Highlight, QColor(0, 0, 200));
    distinct.setColor(QPalette::Active, QPalette::HighlightedText, QColor(255, 255, 250));
    distinct.setColor(QPalette::Active, QPalette::Text, QColor(10, 10, 10));
    distinct.setColor(QPalette::Inactive, QPalette::Highlight, QColor(200, 200, 200));
    QApplication::setPalette(distinct);
    const std::shared_ptr<void> restore(nullptr, [&saved](void *) { QApplication::setPalette(saved); });

    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *tree = new CTreeWidgetEx;
    auto *other = new QLineEdit;
    layout->addWidget(tree);
    layout->addWidget(other);
    const QPalette original = tree->palette();
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    tree->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(tree->hasFocus());
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        EXPECT_EQ(tree->palette().color(group, QPalette::Highlight),
                  original.color(QPalette::Active, QPalette::Highlight));
        EXPECT_EQ(tree->palette().color(group, QPalette::HighlightedText),
                  original.color(QPalette::Active, QPalette::HighlightedText));
    }

    other->setFocus();
    QApplication::processEvents();
    ASSERT_FALSE(tree->hasFocus());
    // Without focus: the inactive highlight behind normal-coloured text, in every group.
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        EXPECT_EQ(tree->palette().color(group, QPalette::Highlight),
                  original.color(QPalette::Inactive, QPalette::Highlight));
        EXPECT_EQ(tree->palette().color(group, QPalette::HighlightedText),
                  original.color(QPalette::Active, QPalette::Text));
    }
}

TEST(CTreeWidgetEx, TypeAheadSelectsTheFoundRowAloneAndKeepsTheMode)
{
    CTreeWidgetEx tree;
    tree.setColumnCount(1);
    tree.setSelectionMode(QAbstractItemView::MultiSelection);
    for (const char *name : {"alpha", "bravo", "charlie", "delta"})
        tree.addTopLevelItem(new QTreeWidgetItem(QStringList(QString::fromLatin1(name))));
    tree.topLevelItem(0)->setSelected(true);
    tree.topLevelItem(3)->setSelected(true);
    tree.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));
    tree.setFocus();
    QTest::keyClick(&tree, Qt::Key_C);
    ASSERT_EQ(tree.selectedItems().size(), 1);
    EXPECT_EQ(tree.selectedItems().first()->text(0), QStringLiteral("charlie"));
    EXPECT_EQ(tree.selectionMode(), QAbstractItemView::MultiSelection);
}

} // namespace
