// The order of table cells and tree rows: one table per item class, each row a pair of cells.
#include <gtest/gtest.h>

#include <QDataStream>
#include <QDateTime>
#include <QTreeWidget>

#include <limits>

#include "testenv.h"
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

QStringList Texts(const QTreeWidget &tree)
{
    QStringList texts;
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        texts << tree.topLevelItem(i)->text(0);
    return texts;
}

TEST(QTreeWidgetItemEx, KeptKeysFollowEveryChangeOfTheValue)
{
    QTreeWidget tree;
    tree.setColumnCount(2);
    QList<QTreeWidgetItemEx *> rows;
    for (const char *name : {"a", "b", "c", "d"}) {
        auto *row = new QTreeWidgetItemEx;
        row->setText(0, QString::fromLatin1(name));
        row->setData(0, Qt::UserRole, double(name[0] - 'a')); // a0 b1 c2 d3
        row->setData(1, Qt::UserRole, 'z' - name[0]); // the other way round, as ints
        tree.addTopLevelItem(row);
        rows << row;
    }
    tree.sortItems(0, Qt::AscendingOrder);
    ASSERT_EQ(Texts(tree), QStringList({"a", "b", "c", "d"}));

    rows[0]->setData(0, Qt::UserRole, 10.0); // a is now the largest
    tree.sortItems(0, Qt::AscendingOrder);
    EXPECT_EQ(Texts(tree), QStringList({"b", "c", "d", "a"}));

    tree.sortItems(1, Qt::AscendingOrder); // another column, then back: both keys kept apart
    EXPECT_EQ(Texts(tree), QStringList({"d", "c", "b", "a"}));
    rows[3]->setData(0, Qt::UserRole, -1.0); // changed while column 1 was the sort column
    tree.sortItems(0, Qt::AscendingOrder);
    EXPECT_EQ(Texts(tree), QStringList({"d", "b", "c", "a"}));

    // A value of another type changes the comparison: the texts decide between two strings.
    rows[1]->setData(0, Qt::UserRole, QStringLiteral("x"));
    rows[2]->setData(0, Qt::UserRole, QStringLiteral("y"));
    EXPECT_TRUE(*rows[1] < *rows[2]);
    rows[1]->setText(0, QStringLiteral("zz"));
    EXPECT_FALSE(*rows[1] < *rows[2]);

    // Removing the value: the check box decides.
    rows[0]->setData(0, Qt::UserRole, QVariant());
    rows[0]->setCheckState(0, Qt::Checked);
    rows[3]->setData(0, Qt::UserRole, QVariant());
    rows[3]->setCheckState(0, Qt::Unchecked);
    EXPECT_TRUE(*rows[3] < *rows[0]);
    rows[3]->setCheckState(0, Qt::Checked);
    EXPECT_FALSE(*rows[3] < *rows[0]);

    // Values read from a stream, and values assigned from another row, replace the kept keys.
    QTreeWidgetItemEx source;
    source.setData(0, Qt::UserRole, 100.0);
    QByteArray bytes;
    {
        QDataStream out(&bytes, QIODevice::WriteOnly);
        source.write(out);
    }
    auto *low = new QTreeWidgetItemEx;
    low->setData(0, Qt::UserRole, 1.0);
    auto *high = new QTreeWidgetItemEx;
    high->setData(0, Qt::UserRole, 50.0);
    tree.addTopLevelItems({low, high});
    ASSERT_TRUE(*low < *high);
    QDataStream in(bytes);
    low->read(in);
    EXPECT_FALSE(*low < *high);
    source.setData(0, Qt::UserRole, 0.5);
    *high = source;
    EXPECT_TRUE(*high < *low);
}

// Every pair of values, in both directions, orders as the variants themselves do: the kept keys must
// not change a single answer, whichever row's value chooses the comparison.
TEST(QTreeWidgetItemEx, KeptKeysOrderAsTheValues)
{
    const QDateTime local(QDate(2026, 3, 29), QTime(1, 30), Qt::LocalTime);
    const QVariant values[] = {
        QVariant(),
        0.0,
        -2.5,
        7.0,
        std::numeric_limits<double>::quiet_NaN(),
        7,
        -3,
        QStringLiteral("7"),
        QStringLiteral("abc"),
        QByteArray("8"),
        QVariant(qlonglong(9)),
        QDate(2026, 3, 29),
        QDate(),
        QTime(1, 30),
        QTime(),
        local,
        local.addSecs(3600),
        local.toUTC(),
        local.toOffsetFromUtc(-5 * 3600),
        QDateTime(QDate(2026, 3, 29), QTime(2, 30), Qt::LocalTime),
        QDateTime(),
    };
    const auto reference = [](const QTreeWidgetItem &a, const QTreeWidgetItem &b) {
        const QVariant mine = a.data(0, Qt::UserRole);
        const QVariant theirs = b.data(0, Qt::UserRole);
        switch (mine.userType()) {
        case QMetaType::QDateTime:
            return mine.toDateTime() < theirs.toDateTime();
        case QMetaType::QTime:
            return mine.toTime() < theirs.toTime();
        case QMetaType::QDate:
            return mine.toDate() < theirs.toDate();
        case QMetaType::Double:
            return mine.toDouble() < theirs.toDouble();
        case QMetaType::Int:
            return mine.toInt() < theirs.toInt();
        default:
            return QString::localeAwareCompare(a.text(0), b.text(0)) < 0;
        }
    };
    for (const char *zone : {"UTC", "Europe/Berlin", "America/Los_Angeles"}) {
        tstest::ScopedEnv tz("TZ", zone);
        QTreeWidget tree;
        tree.setColumnCount(1);
        QList<QTreeWidgetItemEx *> rows;
        for (const QVariant &value : values) {
            auto *row = new QTreeWidgetItemEx;
            row->setText(0, value.toString());
            row->setData(0, Qt::UserRole, value);
            tree.addTopLevelItem(row);
            rows << row;
        }
        QTreeWidgetItem plain;
        plain.setData(0, Qt::UserRole, 7.5);
        for (const QTreeWidgetItemEx *a : rows) {
            for (const QTreeWidgetItemEx *b : rows)
                EXPECT_EQ(*a < *b, reference(*a, *b)) << zone << ": " << a->text(0).toStdString() << " < "
                                                      << b->text(0).toStdString();
            EXPECT_EQ(*a < plain, reference(*a, plain)) << zone << ": " << a->text(0).toStdString();
        }
    }
}

} // namespace
