// Helpers shared by the date widget suites: names, cell geometry and clicks through real events.
#pragma once

#include <QRect>
#include <QString>
#include <QTest>
#include <vector>

#include "foundation/tsuikitglobal.h"
#include "schedule/datetablewidget.h"

namespace tstest {

inline std::vector<WString> Names(const QStringList &names)
{
    std::vector<WString> result;
    for (const QString &name : names)
        result.push_back(WStringFromQString(name));
    return result;
}

inline std::vector<WString> EnglishDays()
{
    return Names({"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"});
}

inline std::vector<WString> EnglishMonths()
{
    return Names({"January", "February", "March", "April", "May", "June", "July", "August",
                  "September", "October", "November", "December"});
}

// The table's size hint (protected there, public on QWidget).
inline QSize Hint(const CDateTableWidget &table)
{
    return static_cast<const QWidget &>(table).sizeHint();
}

// The cell size, read back from the size hint the table publishes (7 x 7 cells plus 2 x 4).
inline QSize CellSize(const CDateTableWidget &table)
{
    const QSize hint = Hint(table);
    return QSize((hint.width() - 2) / 7, (hint.height() - 4) / 7);
}

inline QRect CellRect(const CDateTableWidget &table, int row, int column)
{
    const QSize cell = CellSize(table);
    return QRect(QPoint(column * cell.width(), (row + 1) * cell.height()), cell);
}

inline QRect HeaderRect(const CDateTableWidget &table, int column)
{
    const QSize cell = CellSize(table);
    return QRect(QPoint(column * cell.width(), 0), cell);
}

inline void ClickCell(CDateTableWidget *table, int row, int column)
{
    QTest::mouseClick(table, Qt::LeftButton, Qt::NoModifier, CellRect(*table, row, column).center());
}

// Where the table's selection is, as (row, column).
inline std::pair<int, int> Selection(const CDateTableWidget &table)
{
    return {table.currentRow(), table.currentColumn()};
}

} // namespace tstest
