// Sorting 100 000 tree rows by the value stored beside the text, and the refresh of a tree that
// keeps its selection, each against a baseline in the same run.
//
// Sorting: rows of QTreeWidgetItemEx holding a double, or a local QDateTime, under Qt::UserRole,
// against rows of a class that compares a number it keeps per column (the least a sortable row can
// do). Each round sorts the rows from a new random order.
//
// Refresh: RestoreSortAndSelect() after the tree was emptied and refilled, with a tenth of the rows
// remembered, against a baseline that looks each row's key up in a QSet, selects the hits with one
// QItemSelection and sorts the same way.
//
// Run it with TZ unset and with TZ=UTC: local date-times cost more without TZ.
#include "widgets/qtreewidgetitemex.h"
#include "widgets/treewidgetex.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDateTime>
#include <QHeaderView>
#include <QItemSelection>
#include <QSet>

#include <algorithm>
#include <random>

namespace {

constexpr int kSortRows = 100000;
constexpr int kColumns = 2;

// Two different orders of the rows, one per column.
int Value(int row, int column)
{
    return column == 0 ? int((qint64(row) * 7919) % kSortRows) : int((qint64(row) * 104729 + 17) % kSortRows);
}

// The baseline: a row that holds the same texts and values, and compares a number per column that
// it worked out once when the value was stored.
class NumberRow : public QTreeWidgetItem
{
public:
    double key[kColumns] = {};
    bool operator<(const QTreeWidgetItem &other) const override
    {
        const int column = treeWidget()->sortColumn();
        return key[column] < static_cast<const NumberRow &>(other).key[column];
    }
};

// What the baseline works out when a value is stored; a sortable row keeps nothing of its own.
void Keep(NumberRow &row, int column, double number) { row.key[column] = number; }
void Keep(QTreeWidgetItem &, int, double) {}

enum class Stored { Double, DateTime };

// Rows of the given class, each column with its number as text and as a double or as a local
// date-time (minutes apart over two months, across the start of daylight-saving time where the
// zone has it) under Qt::UserRole.
template <typename Row>
void FillRows(QTreeWidget &tree, Stored stored)
{
    const QDateTime base(QDate(2026, 3, 1), QTime(0, 0), Qt::LocalTime);
    QList<QTreeWidgetItem *> rows;
    rows.reserve(kSortRows);
    for (int i = 0; i < kSortRows; ++i) {
        auto *row = new Row;
        for (int c = 0; c < kColumns; ++c) {
            const int n = Value(i, c);
            row->setText(c, QString::number(n));
            if (stored == Stored::Double) {
                row->setData(c, Qt::UserRole, double(n));
                Keep(*row, c, double(n));
            } else {
                const QDateTime when = base.addSecs(qint64(n) * 60);
                row->setData(c, Qt::UserRole, when);
                Keep(*row, c, double(when.toMSecsSinceEpoch()));
            }
        }
        rows << row;
    }
    tree.addTopLevelItems(rows);
}

// Each round deals the rows out in a new random order (untimed) and sorts them by column 0.
template <typename Row>
void SortRounds(benchmark::State &state, Stored stored)
{
    QTreeWidget tree;
    tree.setColumnCount(kColumns);
    FillRows<Row>(tree, stored);
    std::mt19937 random(20);
    for (auto _ : state) {
        state.PauseTiming();
        QList<QTreeWidgetItem *> rows = tree.invisibleRootItem()->takeChildren();
        std::shuffle(rows.begin(), rows.end(), random);
        tree.addTopLevelItems(rows);
        state.ResumeTiming();
        tree.sortItems(0, Qt::AscendingOrder);
    }
    state.SetItemsProcessed(state.iterations() * kSortRows);
}

void BaselineSortRowsKeepingANumber(benchmark::State &state) { SortRounds<NumberRow>(state, Stored(state.range(0))); }
void SortRowsByStoredValue(benchmark::State &state) { SortRounds<QTreeWidgetItemEx>(state, Stored(state.range(0))); }

// Argument 0: doubles; 1: local date-times.
BENCHMARK(BaselineSortRowsKeepingANumber)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(SortRowsByStoredValue)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Rows keyed 0 … n-1 (an int under Qt::UserRole in column 0, as text in the display) with a
// fragment count in column 1 that the tree is sorted by.
void FillKeyedRows(QTreeWidget &tree, int count)
{
    QList<QTreeWidgetItem *> rows;
    rows.reserve(count);
    for (int i = 0; i < count; ++i) {
        auto *row = new QTreeWidgetItemEx;
        row->setText(0, QStringLiteral("File %1").arg(i));
        row->setData(0, Qt::UserRole, i);
        const double fragments = double((qint64(i) * 7919) % 1000);
        row->setText(1, QString::number(fragments));
        row->setData(1, Qt::UserRole, fragments);
        rows << row;
    }
    tree.addTopLevelItems(rows);
}

// A tree of `rows` rows sorted by column 1, every tenth row selected (spread, so the selection is
// `remembered` separate rows), its state cached under column 0 and Qt::UserRole.
void PrepareRefresh(CTreeWidgetEx &tree, int rows, int remembered)
{
    tree.setColumnCount(kColumns);
    tree.setSelectionMode(QAbstractItemView::ExtendedSelection);
    FillKeyedRows(tree, rows);
    tree.setSortingEnabled(true);
    tree.sortItems(1, Qt::DescendingOrder);
    QItemSelection selection;
    const int step = rows / remembered;
    for (int r = 0; r < rows; r += step)
        selection.select(tree.model()->index(r, 0), tree.model()->index(r, kColumns - 1));
    tree.selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    tree.CacheSortAndSelect(0, Qt::UserRole);
}

void Refill(benchmark::State &state, CTreeWidgetEx &tree, int rows)
{
    state.PauseTiming();
    tree.clear();
    FillKeyedRows(tree, rows);
    state.ResumeTiming();
}

void BaselineRestoreWithQSet(benchmark::State &state)
{
    const int rows = int(state.range(0));
    const int remembered = int(state.range(1));
    CTreeWidgetEx tree;
    PrepareRefresh(tree, rows, remembered);
    QStringList keys;
    for (const QTreeWidgetItem *item : tree.selectedItems())
        keys << item->data(0, Qt::UserRole).toString();
    const int section = tree.header()->sortIndicatorSection();
    const Qt::SortOrder order = tree.header()->sortIndicatorOrder();
    for (auto _ : state) {
        Refill(state, tree, rows);
        const QSet<QString> set(keys.cbegin(), keys.cend());
        QItemSelection hits;
        const int count = tree.topLevelItemCount();
        for (int r = 0; r < count; ++r) {
            if (set.contains(tree.topLevelItem(r)->data(0, Qt::UserRole).toString()))
                hits.append(QItemSelectionRange(tree.model()->index(r, 0), tree.model()->index(r, kColumns - 1)));
        }
        tree.selectionModel()->select(hits, QItemSelectionModel::Select);
        tree.setSortingEnabled(true);
        tree.sortItems(section, order);
        tree.setSortingEnabled(false);
    }
    state.counters["selected"] = tree.selectedItems().size();
}

void RestoreSortAndSelect(benchmark::State &state)
{
    const int rows = int(state.range(0));
    const int remembered = int(state.range(1));
    CTreeWidgetEx tree;
    PrepareRefresh(tree, rows, remembered);
    for (auto _ : state) {
        Refill(state, tree, rows);
        tree.RestoreSortAndSelect();
        // The next refill starts, as a refresh does, with sorting off.
        tree.setSortingEnabled(false);
    }
    state.counters["selected"] = tree.selectedItems().size();
}

BENCHMARK(BaselineRestoreWithQSet)->Args({10000, 1000})->Args({100000, 10000})->Unit(benchmark::kMillisecond);
BENCHMARK(RestoreSortAndSelect)->Args({10000, 1000})->Args({100000, 10000})->Unit(benchmark::kMillisecond);

} // namespace
