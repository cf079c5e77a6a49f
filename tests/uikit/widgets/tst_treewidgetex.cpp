// The tree's refresh cycle, its selection colours through real focus changes, and type-ahead.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
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
