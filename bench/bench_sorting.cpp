// Sorting 100 000 tree rows by the value stored beside the text, and the refresh of a tree that
// keeps its selection, each against a baseline in the same run.
//
// Sorting: rows of QTreeWidgetItemEx holding a double, or a local QDateTime, under Qt::UserRole,
// against rows of a class that compares a number it keeps per column (the least a sortable row can
// do). Each round sorts by the other of two columns, so every round really reorders the rows.
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

namespace {

constexpr int kSortRows = 100000;
constexpr int kColumns = 2;

// Two different orders of the rows, one per column.
int Value(int row, int column)
{
    return column == 0 ? int((qint64(row) * 7919) % kSortRows) : int((qint64(row) * 104729 + 17) % kSortRows);
}

// The baseline: a row that keeps one number per column and compares it.
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

void FillNumberRows(QTreeWidget &tree)
{
    QList<QTreeWidgetItem *> rows;
    rows.reserve(kSortRows);
    for (int i = 0; i < kSortRows; ++i) {
        auto *row = new NumberRow;
        for (int c = 0; c < kColumns; ++c) {
            row->key[c] = Value(i, c);
            row->setText(c, QString::number(Value(i, c)));
        }
        rows << row;
    }
    tree.addTopLevelItems(rows);
}

void FillExRows(QTreeWidget &tree, bool dates)
{
    // Minutes apart over two months, across the start of daylight-saving time where the zone has it.
    const QDateTime base(QDate(2026, 3, 1), QTime(0, 0), Qt::LocalTime);
    QList<QTreeWidgetItem *> rows;
    rows.reserve(kSortRows);
    for (int i = 0; i < kSortRows; ++i) {
        auto *row = new QTreeWidgetItemEx;
        for (int c = 0; c < kColumns; ++c) {
            const int n = Value(i, c);
            row->setText(c, QString::number(n));
            if (dates)
                row->setData(c, Qt::UserRole, base.addSecs(qint64(n) * 60));
            else
                row->setData(c, Qt::UserRole, double(n));
        }
        rows << row;
    }
    tree.addTopLevelItems(rows);
}

void SortRounds(benchmark::State &state, QTreeWidget &tree)
{
    int column = 0;
    for (auto _ : state) {
        column = 1 - column;
        tree.sortItems(column, Qt::AscendingOrder);
    }
    state.SetItemsProcessed(state.iterations() * kSortRows);
}

void BaselineSortRowsKeepingANumber(benchmark::State &state)
{
    QTreeWidget tree;
    tree.setColumnCount(kColumns);
    FillNumberRows(tree);
    SortRounds(state, tree);
}

void SortRowsByStoredDouble(benchmark::State &state)
{
    QTreeWidget tree;
    tree.setColumnCount(kColumns);
    FillExRows(tree, false);
    SortRounds(state, tree);
}

void SortRowsByStoredDateTime(benchmark::State &state)
{
    QTreeWidget tree;
    tree.setColumnCount(kColumns);
    FillExRows(tree, true);
    SortRounds(state, tree);
}

BENCHMARK(BaselineSortRowsKeepingANumber)->Unit(benchmark::kMillisecond);
BENCHMARK(SortRowsByStoredDouble)->Unit(benchmark::kMillisecond);
BENCHMARK(SortRowsByStoredDateTime)->Unit(benchmark::kMillisecond);

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

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
