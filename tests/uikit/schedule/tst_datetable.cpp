// The month grid through real events: sizes, selection rules, clicks, keys and what it paints.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QKeyEvent>
#include <QPalette>
#include <QSignalSpy>
#include <QTest>

#include "datewidgettestutil.h"

using tstest::CellRect;
using tstest::ClickCell;
using tstest::HeaderRect;
using tstest::Selection;

namespace {

using Cell = std::pair<int, int>;
const Cell None{-1, -1};

// Days 1.. from row 0, column `firstColumn` on, one week per row, as a calendar month lies.
void FillMonth(CDateTableWidget &table, int firstColumn, int days)
{
    int row = 0;
    int column = firstColumn;
    for (int day = 1; day <= days; ++day) {
        table.SetDay(row, column, day);
        if (++column == 7) {
            column = 0;
            ++row;
        }
    }
}

// Counts the key presses that reach the table's parent.
class KeyCounter : public QWidget
{
public:
    int keys = 0;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        ++keys;
        QWidget::keyPressEvent(event);
    }
};

} // namespace

TEST(CDateTableWidget, NewTableIsEmptyAndIgnoresKeys)
{
    CDateTableWidget table(tstest::EnglishDays());
    QSignalSpy spy(&table, &CDateTableWidget::itemSelectionChanged);
    EXPECT_EQ(table.rowCount(), 6);
    EXPECT_EQ(table.columnCount(), 7);
    EXPECT_EQ(Selection(table), None);
    for (const Cell &cell : {Cell{0, 0}, Cell{5, 6}, Cell{-1, -1}, Cell{9, 9}}) {
        bool exists = true;
        EXPECT_EQ(table.GetDay(cell.first, cell.second, &exists), -1);
        EXPECT_FALSE(exists);
        EXPECT_EQ(table.GetDay(cell.first, cell.second, nullptr), -1);
    }
    for (int key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_A})
        QTest::keyClick(&table, Qt::Key(key));
    EXPECT_EQ(Selection(table), None);
    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(table.sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
    EXPECT_EQ(table.sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
    EXPECT_EQ(table.focusPolicy(), Qt::StrongFocus);
}

TEST(CDateTableWidget, SizesFollowTheWidestAndTallestName)
{
    const struct {
        const char *what;
        QStringList names;
    } rows[] = {
        {"English", {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"}},
        {"short", {"S", "M", "T", "W", "T", "F", "S"}},
        {"Japanese", {"日曜日", "月曜日", "火曜日", "水曜日", "木曜日", "金曜日", "土曜日"}},
        {"one long", {"a", "Mittwochnachmittag"}},
        {"none", {}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        CDateTableWidget table(tstest::Names(row.names));
        const QFontMetrics metrics(table.font());
        QSize largest(0, 0);
        for (const QString &name : row.names)
            largest = largest.expandedTo(metrics.size(Qt::TextSingleLine, name));
        const QSize cell = largest + QSize(10, 4);
        EXPECT_EQ(tstest::Hint(table), QSize(cell.width() * 7 + 2, cell.height() * 7 + 4));
        EXPECT_EQ(tstest::CellSize(table), cell);
    }
}

TEST(CDateTableWidget, SelectionRules)
{
    CDateTableWidget table(tstest::EnglishDays());
    QSignalSpy spy(&table, &CDateTableWidget::itemSelectionChanged);
    table.SetDay(1, 1, 8);
    table.SetDay(1, 2, 9);
    table.SetDay(12, 20, 99); // outside the grid, stored all the same

    table.SetSelection(0, 0); // empty: ignored
    EXPECT_EQ(Selection(table), None);
    table.SetSelection(1, 1);
    EXPECT_EQ(Selection(table), Cell(1, 1));
    table.SetSelection(3, 3); // empty: the selection stays
    EXPECT_EQ(Selection(table), Cell(1, 1));
    EXPECT_EQ(table.GetDay(12, 20, nullptr), 99);

    table.ClearDay(1, 2); // another cell: the selection stays
    EXPECT_EQ(Selection(table), Cell(1, 1));
    EXPECT_EQ(table.GetDay(1, 2, nullptr), -1);
    table.ClearDay(1, 1); // the selected cell: no selection left
    EXPECT_EQ(Selection(table), None);

    table.SetDay(2, 2, 15);
    table.SetSelection(2, 2);
    table.ClearAllDays();
    EXPECT_EQ(Selection(table), None);
    EXPECT_EQ(table.GetDay(12, 20, nullptr), -1);
    EXPECT_EQ(spy.count(), 0); // none of this is the user's choice
}

TEST(CDateTableWidget, MouseSelectsDayCellsOnly)
{
    CDateTableWidget table(tstest::EnglishDays());
    table.resize(tstest::Hint(table) + QSize(40, 40));
    FillMonth(table, 3, 31); // days from row 0, column 3
    QSignalSpy spy(&table, &CDateTableWidget::itemSelectionChanged);

    const struct {
        const char *what;
        QPoint at;
        Qt::MouseButton button;
        Cell selection;
        int emitted;
    } rows[] = {
        {"empty cell", CellRect(table, 0, 1).center(), Qt::LeftButton, None, 0},
        {"header", HeaderRect(table, 4).center(), Qt::LeftButton, None, 0},
        {"right button", CellRect(table, 2, 2).center(), Qt::RightButton, None, 0},
        {"day", CellRect(table, 2, 2).center(), Qt::LeftButton, Cell(2, 2), 1},
        {"the same day", CellRect(table, 2, 2).topLeft(), Qt::LeftButton, Cell(2, 2), 2},
        {"another day's corner", CellRect(table, 0, 3).bottomRight(), Qt::LeftButton, Cell(0, 3), 3},
        {"spare pixels", QPoint(tstest::Hint(table).width() + 5, 10), Qt::LeftButton, Cell(0, 3), 3},
        {"empty after the month", CellRect(table, 4, 6).center(), Qt::LeftButton, Cell(0, 3), 3},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        QTest::mouseClick(&table, row.button, Qt::NoModifier, row.at);
        EXPECT_EQ(Selection(table), row.selection);
        EXPECT_EQ(spy.count(), row.emitted);
    }
}

TEST(CDateTableWidget, KeysMoveOntoDaysWithoutWrapping)
{
    const struct {
        const char *what;
        Cell from;
        int key;
        Cell to;
        bool emitted;
    } rows[] = {
        {"Left before the first day", {0, 3}, Qt::Key_Left, {0, 3}, false},
        {"Down from the first day", {0, 3}, Qt::Key_Down, {1, 3}, true},
        {"Up from the first row", {0, 4}, Qt::Key_Up, {0, 4}, false},
        {"Right at the end of a row", {0, 6}, Qt::Key_Right, {0, 6}, false},
        {"Left at the start of a row", {1, 0}, Qt::Key_Left, {1, 0}, false},
        {"Right", {2, 2}, Qt::Key_Right, {2, 3}, true},
        {"Left", {2, 2}, Qt::Key_Left, {2, 1}, true},
        {"Up", {2, 2}, Qt::Key_Up, {1, 2}, true},
        {"Down past the month's end", {4, 2}, Qt::Key_Down, {4, 2}, false},
        {"a letter re-selects", {2, 2}, Qt::Key_A, {2, 2}, true},
        {"Return re-selects", {2, 2}, Qt::Key_Return, {2, 2}, true},
        {"Down onto a stored cell below the grid", {5, 0}, Qt::Key_Down, {6, 0}, true},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        KeyCounter parent;
        auto *table = new CDateTableWidget(tstest::EnglishDays(), &parent);
        FillMonth(*table, 3, 31); // 31 ends in row 4, column 5
        table->SetDay(5, 0, 40);
        table->SetDay(6, 0, 41);
        QSignalSpy spy(table, &CDateTableWidget::itemSelectionChanged);
        table->SetSelection(row.from.first, row.from.second);
        QTest::keyClick(table, Qt::Key(row.key));
        EXPECT_EQ(Selection(*table), row.to);
        EXPECT_EQ(spy.count(), row.emitted ? 1 : 0);
        EXPECT_EQ(parent.keys, 0); // keys never reach the parent
    }
}

TEST(CDateTableWidget, SetDayKeepsColoursAndColoursNeedADay)
{
    CDateTableWidget table(tstest::EnglishDays());
    table.resize(tstest::Hint(table));
    table.SetDay(1, 1, 8);
    table.SetForegroundColor(1, 1, QColor(0, 128, 0));
    table.SetBackgroundColor(1, 1, QColor(255, 255, 0));
    table.SetDay(1, 1, 9); // same cell: colours kept
    table.SetBackgroundColor(1, 2, QColor(255, 0, 255)); // no day there: ignored
    EXPECT_EQ(table.GetDay(1, 1, nullptr), 9);
    EXPECT_EQ(table.GetDay(1, 2, nullptr), -1);

    const QImage image = table.grab().toImage();
    const QPalette palette;
    EXPECT_EQ(image.pixelColor(CellRect(table, 1, 1).topLeft() + QPoint(1, 1)), QColor(255, 255, 0));
    EXPECT_EQ(image.pixelColor(CellRect(table, 1, 2).topLeft() + QPoint(1, 1)),
              palette.color(QPalette::Active, QPalette::Base));
}

// The header, the selected cell and the text colours, read back from the table's own picture.
TEST(CDateTableWidget, Painting)
{
    CDateTableWidget table(tstest::EnglishDays());
    table.resize(tstest::Hint(table));
    FillMonth(table, 0, 31);
    table.SetSelection(2, 0);
    table.SetForegroundColor(2, 3, QColor(255, 0, 0));
    const QImage image = table.grab().toImage();
    const QPalette palette;

    auto count = [&](const QRect &rect, const std::function<bool(QColor)> &match) {
        int n = 0;
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x)
                n += match(image.pixelColor(x, y)) ? 1 : 0;
        return n;
    };
    auto reddish = [](QColor c) { return c.red() > 200 && c.green() < 90 && c.blue() < 90; };
    auto whitish = [](QColor c) { return c.red() > 220 && c.green() > 220 && c.blue() > 220; };

    for (int k = 0; k < 7; ++k) {
        SCOPED_TRACE(k);
        const QRect header = HeaderRect(table, k);
        EXPECT_EQ(image.pixelColor(header.topLeft()), QColor(0, 0, 255));
        EXPECT_EQ(image.pixelColor(header.bottomRight()), QColor(0, 0, 255));
        EXPECT_GT(count(header, whitish), 0) << "white day name";
    }
    const QRect selected = CellRect(table, 2, 0);
    const QColor highlight = palette.color(QPalette::Active, QPalette::Highlight);
    EXPECT_EQ(image.pixelColor(selected.topLeft()), highlight);
    EXPECT_EQ(image.pixelColor(selected.bottomRight()), highlight);
    EXPECT_GT(count(selected, whitish), 0) << "white number";

    // The red number sits at the cell's centre, and no other cell has red in it.
    const QRect red = CellRect(table, 2, 3);
    const QRect middle(red.center() - QPoint(red.width() / 4, red.height() / 3),
                       QSize(red.width() / 2, red.height() * 2 / 3));
    EXPECT_GT(count(middle, reddish), 0);
    EXPECT_EQ(count(CellRect(table, 2, 4), reddish), 0);
    // An empty cell is the palette's Base, the spare pixels the window colour.
    EXPECT_EQ(image.pixelColor(CellRect(table, 5, 5).center()),
              palette.color(QPalette::Active, QPalette::Base));
    EXPECT_EQ(image.pixelColor(table.width() - 1, table.height() - 1),
              table.palette().color(QPalette::Window));
}
