// The order of table cells and tree rows: one table per item class, each row a pair of cells.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QTreeWidget>

#include "widgets/qtablewidgetitemex.h"
#include "widgets/qtreewidgetitemex.h"

namespace {

struct CellRow {
    const char *text1;
    QVariant value1;
    bool num;
    const char *text2;
    QVariant value2;
    bool less; // cell 1 < cell 2
    bool greater; // cell 2 < cell 1 (cell 2 read with the same flag)
};

TEST(QTableWidgetItemEx, Order)
{
    const CellRow rows[] = {
        {"9", 9.0, true, "10", 10.0, true, false},           // by value, not by text
        {"9", QVariant(), false, "10", QVariant(), false, true}, // without the flag: "10" < "9"
        {"b", 0.0, true, "a", 0.0, false, true},              // both zero: back to text
        {"x", 0.0, true, "y", -1.0, false, true},             // one zero is still a number
        {"Z", QVariant(), false, "a", QVariant(), true, false}, // code-unit order: 'Z' < 'a'
        {"1", QStringLiteral("2.5"), true, "2", QStringLiteral("abc"), false, true}, // "abc" is 0
        {"same", 4.0, true, "same", 4.0, false, false},       // equal in both directions
    };
    for (const CellRow &row : rows) {
        QTableWidgetItemEx a(QString::fromLatin1(row.text1));
        QTableWidgetItemEx b(QString::fromLatin1(row.text2));
        a.setData(Qt::UserRole, row.value1);
        b.setData(Qt::UserRole, row.value2);
        a.SetNum(row.num);
        b.SetNum(row.num);
        EXPECT_EQ(a < b, row.less) << row.text1 << " < " << row.text2;
        EXPECT_EQ(b < a, row.greater) << row.text2 << " < " << row.text1;
    }
}

TEST(QTableWidgetItemEx, OnlyThisCellsFlagCountsAndCopiesKeepIt)
{
    QTableWidgetItemEx numeric(QStringLiteral("9"));
    numeric.setData(Qt::UserRole, 9.0);
    numeric.SetNum(true);
    QTableWidgetItem plain(QStringLiteral("10")); // a plain Qt cell is read the same way
    plain.setData(Qt::UserRole, 10.0);
    EXPECT_TRUE(numeric < plain);

    const QTableWidgetItemEx copy(numeric);
    EXPECT_TRUE(copy < plain);
    QTableWidgetItemEx assigned;
    assigned = numeric;
    EXPECT_TRUE(assigned < plain);
    EXPECT_EQ(assigned.type(), 0);
}

struct TreeRow {
    const char *what;
    const char *text1;
    QVariant value1;
    const char *text2;
    QVariant value2;
    bool less;
};

TEST(QTreeWidgetItemEx, Order)
{
    const QDateTime early(QDate(2001, 5, 1), QTime(8, 0));
    const QDateTime late(QDate(2020, 1, 1), QTime(8, 0));
    const TreeRow rows[] = {
        {"date-times by time, not text", "Z late text", early, "A", late, true},
        {"dates", "b", QDate(2000, 1, 2), "a", QDate(2000, 1, 3), true},
        {"times", "b", QTime(10, 0), "a", QTime(9, 0), false},
        {"doubles", "10", 10.0, "9", 9.0, false},
        {"ints", "9", 9, "10", 10, true},
        {"int against text value: converted", "1", 1, "2", QStringLiteral("2"), true},
        {"strings compare display texts", "b", QStringLiteral("zzz"), "C", QStringLiteral("aaa"), true},
        {"other types compare texts", "b", QByteArray("a"), "a", QByteArray("b"), false},
        {"no value: texts, locale-aware", "b", QVariant(), "C", QVariant(), true},
        {"equal values", "x", 3.0, "y", 3.0, false},
    };
    QTreeWidget tree;
    tree.setColumnCount(1);
    for (const TreeRow &row : rows) {
        auto *a = new QTreeWidgetItemEx;
        auto *b = new QTreeWidgetItemEx;
        a->setText(0, QString::fromLatin1(row.text1));
        b->setText(0, QString::fromLatin1(row.text2));
        a->setData(0, Qt::UserRole, row.value1);
        b->setData(0, Qt::UserRole, row.value2);
        tree.addTopLevelItems({a, b});
        EXPECT_EQ(*a < *b, row.less) << row.what;
        tree.clear();
    }
}

TEST(QTreeWidgetItemEx, CheckBoxesSortUncheckedFirstAndFollowTheSortColumn)
{
    QTreeWidget tree;
    tree.setColumnCount(2);
    const Qt::CheckState states[] = {Qt::Checked, Qt::Unchecked, Qt::PartiallyChecked};
    for (int i = 0; i < 3; ++i) {
        auto *item = new QTreeWidgetItemEx;
        item->setText(0, QString::number(i));
        item->setData(0, Qt::UserRole, 3 - i); // column 0 sorts the other way
        item->setCheckState(1, states[i]);
        tree.addTopLevelItem(item);
    }
    tree.sortItems(1, Qt::AscendingOrder);
    EXPECT_EQ(tree.topLevelItem(0)->checkState(1), Qt::Unchecked);
    // Checked and partially checked are equal; neither is less than the other.
    EXPECT_FALSE(*tree.topLevelItem(1) < *tree.topLevelItem(2));
    EXPECT_FALSE(*tree.topLevelItem(2) < *tree.topLevelItem(1));
    tree.sortItems(0, Qt::AscendingOrder);
    EXPECT_EQ(tree.topLevelItem(0)->text(0), QStringLiteral("2"));
}

} // namespace
