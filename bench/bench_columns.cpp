// Column widths: giving the columns of a 10 000-row table the width of their texts, against
// measuring each distinct text once (the baseline); reading a widths text, against splitting it
// with QString::split (the baseline).
#include "widgets/headercolumns.h"
#include "widgets/textsize.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDate>
#include <QHash>
#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableWidget>

#include <algorithm>

namespace {

constexpr int kRows = 10000;
constexpr int kColumns = 10;
constexpr int kStartWidth = 20;

// The texts of a defragmenter's file list: names all differ, the other columns repeat.
QString CellText(int row, int column)
{
    switch (column) {
    case 0:
        return QStringLiteral("Volume %1").arg(row % 4);
    case 1:
        return QStringLiteral("C:\\Data\\Reports\\file-%1.dat").arg(row);
    case 2:
        return QStringLiteral("%1 KB").arg((qint64(row) * 7919) % 3000);
    case 3:
        return QStringLiteral("%1").arg((qint64(row) * 104729) % 500);
    case 4:
        return QDate(2026, 1, 1).addDays(row % 365).toString(QStringLiteral("d.M.yyyy"));
    default:
        return QStringLiteral("State %1").arg((row + column) % 7);
    }
}

void FillTable(QTableWidget &table)
{
    table.setRowCount(kRows);
    table.setColumnCount(kColumns);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c)
            table.setItem(r, c, new QTableWidgetItem(CellText(r, c)));
}

void ResetWidths(benchmark::State &state, QTableWidget &table)
{
    state.PauseTiming();
    for (int c = 0; c < kColumns; ++c)
        table.horizontalHeader()->resizeSection(c, kStartWidth);
    state.ResumeTiming();
}

void BaselineMeasureDistinctTextsOnce(benchmark::State &state)
{
    QTableWidget table;
    table.resize(800, 600);
    FillTable(table);
    QHeaderView *header = table.horizontalHeader();
    for (auto _ : state) {
        ResetWidths(state, table);
        QHash<QString, int> measured;
        int widest[kColumns] = {};
        for (int r = 0; r < kRows; ++r) {
            for (int c = 1; c < kColumns; ++c) {
                const QString text = table.item(r, c)->text();
                auto known = measured.constFind(text);
                if (known == measured.constEnd())
                    known = measured.insert(text, GetTextSize(text, header->font(), table.rect()).width());
                widest[c] = std::max(widest[c], known.value());
            }
        }
        for (int c = 1; c < kColumns; ++c)
            header->resizeSection(c, std::max(header->sectionSize(c), widest[c] + 30));
    }
}

void SetTableColumnDefaultSize(benchmark::State &state)
{
    QTableWidget table;
    table.resize(800, 600);
    FillTable(table);
    for (auto _ : state) {
        ResetWidths(state, table);
        SetHeaderColumnDefaultSize(&table);
    }
}

BENCHMARK(BaselineMeasureDistinctTextsOnce)->Unit(benchmark::kMillisecond);
BENCHMARK(SetTableColumnDefaultSize)->Unit(benchmark::kMillisecond);

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
