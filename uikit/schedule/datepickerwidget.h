// A calendar date picker: month and year boxes over the month's days in a date table.
#pragma once

#include "foundation/tsuikitglobal.h"

#include <QAccessible>
#include <QDate>
#include <QWidget>
#include <vector>

class CDateTableWidget;
class QComboBox;
class QSpinBox;

/**
 * @class CDatePickerWidget datepickerwidget.h "schedule/datepickerwidget.h"
 * A month box and a year box (1000 to 3000) on top, and below them the shown month's days in a
 * CDateTableWidget, one week per row from Sunday to Saturday, today's number in red.
 *
 * The caller supplies the weekday names (Sunday first, the table's header), the month names
 * (January first, the first 12 fill the month box) and the starting date, whose day is selected.
 * A change of the month box, the year box or the selected day makes the picked date the day
 * selected in the shown month and emits DatePicked(); a day past the end of a shorter month
 * becomes its last day. Read the date with GetDate().
 *
 * @code
 * auto *picker = new CDatePickerWidget(dayNames, monthNames, QDate::currentDate(), this);
 * connect(picker, &CDatePickerWidget::DatePicked, this, [picker] { use(picker->GetDate()); });
 * @endcode
 *
 * Outside what callers normally pass:
 * - an invalid starting date shows today's month and year with no day selected, and GetDate()
 *   stays invalid until the user picks a day (SetDate() of an invalid date does the same);
 * - a starting year outside 1000 to 3000 shows the nearest limit in the year box while the table
 *   shows the date's own month;
 * - month names missing from a list shorter than 12 are shown as the month's number;
 * - missing weekday names leave their header cells undrawn.
 *
 * The child widgets are named "monthComboBox", "yearSpinBox" and "daysTable".
 */
class TSUIKIT_EXPORT CDatePickerWidget : public QWidget
{
    Q_OBJECT

public:
    CDatePickerWidget(const std::vector<WString> &dayNames, const std::vector<WString> &monthNames,
                      const QDate &date, QWidget *parent = nullptr,
                      Qt::WindowFlags flags = Qt::WindowFlags());
    ~CDatePickerWidget() override;

    /** @return the picked date */
    const QDate &GetDate() const;

    /**
     * Shows @p date's month and year with its day selected. The boxes change as a user's change
     * does, so DatePicked() is emitted once for each box whose value changes (with the date the
     * boxes give so far); when this returns, GetDate() is @p date.
     */
    void SetDate(const QDate &date);

Q_SIGNALS:
    /** A new date was picked; read it with GetDate(). */
    void DatePicked();

private Q_SLOTS:
    void OnMonthComboboxSelectionChanged(int index);
    void OnYearSpinBoxValueChanged(int value);
    void OnDaysTableItemSelectionChanged();

private:
    friend class CDateTableAccessible;
    friend class CDateTableCellAccessible;

    void CreateControls();
    void CreateLayout();
    void FillControls(int year, int month);
    void UpdateDaysTable(int year, int month);
    int GetDayFromTable() const;
    // What a screen reader hears of the day cell in @p column that shows @p day.
    QString AccessibleDayText(int column, int day, QAccessible::Text text) const;
    // The year the table shows, which may lie outside the year box's range.
    int ShownYear() const;
    // What a screen reader hears of the day table: the days of which month.
    QString AccessibleTableName() const;

    QComboBox *m_monthCombobox;
    QSpinBox *m_yearSpinBox;
    CDateTableWidget *m_daysTable;
    std::vector<WString> m_dayNames;
    std::vector<WString> m_monthNames;
    QDate m_date;
};
