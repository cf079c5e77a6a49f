// The date picker through its real boxes and table: layout of a month, the three ways of picking,
// SetDate, the year limits, and starting values outside what callers normally pass.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLayout>
#include <QImage>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

#include "dates_support.h"
#include "datewidgettestutil.h"
#include "schedule/datepickerwidget.h"

using tstest::ClickCell;
using tstest::Selection;

namespace {

using Cell = std::pair<int, int>;
const Cell None{-1, -1};

struct Parts {
    QComboBox *month;
    QSpinBox *year;
    CDateTableWidget *table;
};

Parts Find(CDatePickerWidget &picker)
{
    Parts parts{picker.findChild<QComboBox *>(QStringLiteral("monthComboBox")),
                picker.findChild<QSpinBox *>(QStringLiteral("yearSpinBox")),
                picker.findChild<CDateTableWidget *>(QStringLiteral("daysTable"))};
    EXPECT_TRUE(parts.month && parts.year && parts.table);
    return parts;
}

// The cell that shows `day`, or (-1, -1).
Cell CellOf(const CDateTableWidget &table, int day)
{
    for (int row = 0; row < 6; ++row)
        for (int column = 0; column < 7; ++column)
            if (table.GetDay(row, column, nullptr) == day)
                return {row, column};
    return None;
}

int DayCount(const CDateTableWidget &table)
{
    int n = 0;
    for (int row = 0; row < 6; ++row)
        for (int column = 0; column < 7; ++column)
            n += table.GetDay(row, column, nullptr) > 0 ? 1 : 0;
    return n;
}

CDatePickerWidget *MakePicker(const QDate &date)
{
    return new CDatePickerWidget(tstest::EnglishDays(), tstest::EnglishMonths(), date);
}

} // namespace

TEST(CDatePickerWidget, LaysOutMonths)
{
    const struct {
        QDate date;
        Cell first;
        Cell selected;
        int days;
        Cell last;
        int yearShown;
    } rows[] = {
        {QDate(2009, 3, 15), {0, 0}, {2, 0}, 31, {4, 2}, 2009},
        {QDate(2011, 1, 31), {0, 6}, {5, 1}, 31, {5, 1}, 2011}, // six rows
        {QDate(2009, 2, 1), {0, 0}, {0, 0}, 28, {3, 6}, 2009},  // four rows
        {QDate(2008, 2, 29), {0, 5}, {4, 5}, 29, {4, 5}, 2008},
        {QDate(1000, 1, 1), {0, 3}, {0, 3}, 31, {4, 5}, 1000},
        // Outside the year box: it shows the nearest limit, the table the date's own month.
        {QDate(999, 12, 24), {0, 0}, {3, 2}, 31, {4, 2}, 1000},
        {QDate(3001, 1, 1), {0, 4}, {0, 4}, 31, {4, 6}, 3000},
        {QDate(204, 2, 29), {0, 3}, {4, 3}, 29, {4, 3}, 1000},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.date.toString(Qt::ISODate).toStdString());
        std::unique_ptr<CDatePickerWidget> picker(MakePicker(row.date));
        const Parts parts = Find(*picker);
        EXPECT_EQ(picker->GetDate(), row.date);
        EXPECT_EQ(parts.month->currentIndex(), row.date.month() - 1);
        EXPECT_EQ(parts.month->count(), 12);
        EXPECT_FALSE(parts.month->isEditable());
        EXPECT_EQ(parts.year->value(), row.yearShown);
        EXPECT_EQ(parts.year->minimum(), 1000);
        EXPECT_EQ(parts.year->maximum(), 3000);
        EXPECT_EQ(CellOf(*parts.table, 1), row.first);
        EXPECT_EQ(CellOf(*parts.table, row.days), row.last);
        EXPECT_EQ(DayCount(*parts.table), row.days);
        EXPECT_EQ(Selection(*parts.table), row.selected);
    }
    std::unique_ptr<CDatePickerWidget> picker(MakePicker(QDate(2011, 1, 1)));
    EXPECT_EQ(CellOf(*Find(*picker).table, 2), Cell(1, 0));
}

// Each box and the table, worked as a user works them; each change picks one date.
TEST(CDatePickerWidget, UserChangesPickDates)
{
    const struct {
        const char *what;
        QDate start;
        std::function<void(const Parts &)> act;
        QDate picked;
        int emitted;
        Cell selected;
    } rows[] = {
        {"February after 31 January", QDate(2009, 1, 31),
         [](const Parts &p) { QTest::keyClick(p.month, Qt::Key_Down); }, QDate(2009, 2, 28), 1,
         {3, 6}},
        {"a 30-day month after the 31st", QDate(2009, 3, 31),
         [](const Parts &p) { p.month->setCurrentIndex(3); }, QDate(2009, 4, 30), 1, {4, 4}},
        {"year up from 29 February", QDate(2008, 2, 29),
         [](const Parts &p) { QTest::keyClick(p.year, Qt::Key_Up); }, QDate(2009, 2, 28), 1,
         {3, 6}},
        {"year typed", QDate(2009, 3, 15),
         [](const Parts &p) {
             p.year->selectAll();
             QTest::keyClicks(p.year, QStringLiteral("2010"));
         },
         QDate(2010, 3, 15), 1, {2, 1}},
        {"year below the box's range refused", QDate(1000, 5, 5),
         [](const Parts &p) { QTest::keyClick(p.year, Qt::Key_Down); }, QDate(1000, 5, 5), 0,
         {1, 1}},
        {"a day clicked", QDate(2009, 3, 15),
         [](const Parts &p) { ClickCell(p.table, 3, 3); }, QDate(2009, 3, 25), 1, {3, 3}},
        {"the selected day clicked", QDate(2009, 3, 15),
         [](const Parts &p) { ClickCell(p.table, 2, 0); }, QDate(2009, 3, 15), 1, {2, 0}},
        {"an empty cell clicked", QDate(2009, 3, 15),
         [](const Parts &p) { ClickCell(p.table, 4, 5); }, QDate(2009, 3, 15), 0, {2, 0}},
        {"Right", QDate(2009, 3, 15), [](const Parts &p) { QTest::keyClick(p.table, Qt::Key_Right); },
         QDate(2009, 3, 16), 1, {2, 1}},
        {"Up past the first", QDate(2009, 3, 1),
         [](const Parts &p) { QTest::keyClick(p.table, Qt::Key_Up); }, QDate(2009, 3, 1), 0,
         {0, 0}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        std::unique_ptr<CDatePickerWidget> picker(MakePicker(row.start));
        picker->show();
        const Parts parts = Find(*picker);
        QSignalSpy spy(picker.get(), &CDatePickerWidget::DatePicked);
        row.act(parts);
        EXPECT_EQ(picker->GetDate(), row.picked);
        EXPECT_EQ(spy.count(), row.emitted);
        EXPECT_EQ(Selection(*parts.table), row.selected);
    }
}

TEST(CDatePickerWidget, SetDateGoesThroughTheBoxes)
{
    const struct {
        const char *what;
        QDate date;
        int emitted; // one for each box whose value changes
        int yearShown;
    } rows[] = {
        {"same month and year", QDate(2009, 3, 2), 0, 2009},
        {"another month", QDate(2009, 7, 4), 1, 2009},
        {"another year", QDate(2012, 3, 1), 1, 2012},
        {"another month and year", QDate(1999, 12, 31), 2, 1999},
        {"a year past the box's range", QDate(3456, 6, 7), 2, 3000},
        {"a year before it", QDate(500, 3, 20), 1, 1000},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        std::unique_ptr<CDatePickerWidget> picker(MakePicker(QDate(2009, 3, 15)));
        const Parts parts = Find(*picker);
        QSignalSpy spy(picker.get(), &CDatePickerWidget::DatePicked);
        picker->SetDate(row.date);
        EXPECT_EQ(spy.count(), row.emitted);
        EXPECT_EQ(picker->GetDate(), row.date);
        EXPECT_EQ(parts.month->currentIndex(), row.date.month() - 1);
        EXPECT_EQ(parts.year->value(), row.yearShown);
        // The table shows the date's own month and year, whatever the year box holds.
        const QDate first(row.date.year(), row.date.month(), 1);
        EXPECT_EQ(CellOf(*parts.table, 1), Cell(0, first.dayOfWeek() % 7));
        EXPECT_EQ(DayCount(*parts.table), row.date.daysInMonth());
        EXPECT_EQ(Selection(*parts.table), CellOf(*parts.table, row.date.day()));
    }
}

// An invalid starting date shows today's month with nothing selected and picks nothing until
// the user does.
TEST(CDatePickerWidget, InvalidDateShowsTodaysMonthUnselected)
{
    tstest::FixedClock clock(tstest::Make(2010, 6, 17, 12));
    std::unique_ptr<CDatePickerWidget> picker(MakePicker(QDate()));
    const Parts parts = Find(*picker);
    QSignalSpy spy(picker.get(), &CDatePickerWidget::DatePicked);
    EXPECT_FALSE(picker->GetDate().isValid());
    EXPECT_EQ(parts.month->currentIndex(), 5);
    EXPECT_EQ(parts.year->value(), 2010);
    EXPECT_EQ(DayCount(*parts.table), 30);
    EXPECT_EQ(Selection(*parts.table), None);

    parts.month->setCurrentIndex(1); // nothing selected, nothing picked
    QTest::keyClick(parts.year, Qt::Key_Up);
    EXPECT_EQ(spy.count(), 0);
    EXPECT_FALSE(picker->GetDate().isValid());

    ClickCell(parts.table, 1, 0); // 6 February 2011
    EXPECT_EQ(picker->GetDate(), QDate(2011, 2, 6));
    EXPECT_EQ(spy.count(), 1);

    picker->SetDate(QDate());
    EXPECT_FALSE(picker->GetDate().isValid());
    EXPECT_EQ(parts.month->currentIndex(), 5);
    EXPECT_EQ(parts.year->value(), 2010);
    EXPECT_EQ(Selection(*parts.table), None);
}

TEST(CDatePickerWidget, ShortNameListsAreHarmless)
{
    std::unique_ptr<CDatePickerWidget> picker(new CDatePickerWidget(
        tstest::Names({"Sun", "Mon"}), tstest::Names({"Jan", "Feb", "Mar"}), QDate(2009, 3, 15)));
    picker->show();
    const Parts parts = Find(*picker);
    ASSERT_EQ(parts.month->count(), 12);
    EXPECT_EQ(parts.month->itemText(2), QStringLiteral("Mar"));
    EXPECT_EQ(parts.month->itemText(3), QStringLiteral("4"));
    EXPECT_EQ(parts.month->itemText(11), QStringLiteral("12"));
    QSignalSpy spy(picker.get(), &CDatePickerWidget::DatePicked);
    parts.month->setCurrentIndex(11);
    EXPECT_EQ(picker->GetDate(), QDate(2009, 12, 15));
    picker->SetDate(QDate(2010, 8, 31));
    EXPECT_EQ(parts.month->currentIndex(), 7);
    EXPECT_EQ(spy.count(), 3);
    EXPECT_FALSE(picker->grab().isNull());

    std::unique_ptr<CDatePickerWidget> empty(new CDatePickerWidget({}, {}, QDate(2009, 3, 15)));
    EXPECT_EQ(Find(*empty).month->itemText(0), QStringLiteral("1"));
    EXPECT_FALSE(empty->grab().isNull());
}

TEST(CDatePickerWidget, TabOrderAndTodayInRed)
{
    tstest::FixedClock clock(tstest::Make(2009, 3, 18, 12)); // a Wednesday
    std::unique_ptr<CDatePickerWidget> picker(MakePicker(QDate(2009, 3, 15)));
    const Parts parts = Find(*picker);
    EXPECT_EQ(parts.month->nextInFocusChain(), parts.year);
    EXPECT_EQ(picker->layout()->indexOf(parts.table), 2);
    picker->resize(picker->sizeHint());
    picker->show();
    const QImage image = parts.table->grab().toImage();
    auto reds = [&](const Cell &cell) {
        const QRect rect = tstest::CellRect(*parts.table, cell.first, cell.second);
        int n = 0;
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x) {
                const QColor c = image.pixelColor(x, y);
                n += c.red() > 200 && c.green() < 90 && c.blue() < 90 ? 1 : 0;
            }
        return n;
    };
    EXPECT_GT(reds(CellOf(*parts.table, 18)), 0);
    EXPECT_EQ(reds(CellOf(*parts.table, 17)), 0);
    EXPECT_EQ(reds(CellOf(*parts.table, 15)), 0);
    // In another month no day is today.
    parts.month->setCurrentIndex(3);
    const QImage april = parts.table->grab().toImage();
    int red = 0;
    for (int y = 0; y < april.height(); ++y)
        for (int x = 0; x < april.width(); ++x) {
            const QColor c = april.pixelColor(x, y);
            red += c.red() > 200 && c.green() < 90 && c.blue() < 90 ? 1 : 0;
        }
    EXPECT_EQ(red, 0);
}
