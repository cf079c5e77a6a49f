// Sorting a tree of 5,000 rows by the value stored beside the text, against the same tree of plain
// Qt rows sorted by text (the baseline); and reading a widths text against splitting it with
// QString::split (the baseline).
#include "widgets/headercolumns.h"
#include "widgets/qtreewidgetitemex.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDateTime>
#include <QHeaderView>
#include <QStandardItemModel>
#include <QTreeWidget>

namespace {

constexpr int kRows = 5000;

template <typename Item>
void FillTree(QTreeWidget &tree, int valueType)
{
    const QDateTime base(QDate(2026, 1, 1), QTime(0, 0));
    for (int i = 0; i < kRows; ++i) {
        const int n = (i * 7919) % kRows;
        auto *item = new Item;
        item->setText(0, QString::number(n));
        if (valueType == 1)
            item->setData(0, Qt::UserRole, double(n));
        else if (valueType == 2)
            item->setData(0, Qt::UserRole, base.addSecs(n * 60));
        tree.addTopLevelItem(item);
    }
}

template <typename Item>
void SortTree(benchmark::State &state)
{
    QTreeWidget tree;
    FillTree<Item>(tree, int(state.range(0)));
    bool ascending = true;
    for (auto _ : state) {
        tree.sortItems(0, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
        ascending = !ascending;
    }
}

void BaselineSortPlainRowsByText(benchmark::State &state) { SortTree<QTreeWidgetItem>(state); }
void SortRowsByStoredValue(benchmark::State &state) { SortTree<QTreeWidgetItemEx>(state); }
BENCHMARK(BaselineSortPlainRowsByText)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(SortRowsByStoredValue)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

const QString kWidths = QStringLiteral("120;80;200;64;300;16;90;90;");

void BaselineSplitWidthsText(benchmark::State &state)
{
    QStandardItemModel model(1, 8);
    QHeaderView header(Qt::Horizontal);
    header.setModel(&model);
    for (auto _ : state) {
        const QStringList tokens = kWidths.split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (int i = 0; i < tokens.size() && i < header.count(); ++i)
            header.resizeSection(i, tokens[i].toInt() + (state.iterations() & 1));
    }
}

void SetWidthsText(benchmark::State &state)
{
    QStandardItemModel model(1, 8);
    QHeaderView header(Qt::Horizontal);
    header.setModel(&model);
    const WString text = WStringFromQString(kWidths);
    const WString other = WStringFromQString(QStringLiteral("121;81;201;65;301;17;91;91;"));
    for (auto _ : state)
        SetHeaderColumnsSize((state.iterations() & 1) ? other : text, &header);
}
BENCHMARK(BaselineSplitWidthsText);
BENCHMARK(SetWidthsText);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
