// A self-drawn month grid: a header row of weekday names over 6 rows of 7 day cells.
#pragma once

#include "foundation/tsuikitglobal.h"

#include <QColor>
#include <QSize>
#include <QWidget>
#include <map>
#include <utility>
#include <vector>

/**
 * @class CDateTableWidget datetablewidget.h "schedule/datetablewidget.h"
 * A header row of weekday names over 6 rows of 7 day cells. The caller decides which cells hold a
 * day, which number each shows and its colours; the user selects a day cell with a left click or
 * the arrow keys, and each such choice emits itemSelectionChanged(). The table knows nothing of
 * calendars (CDatePickerWidget fills it for a month).
 *
 * Geometry: every cell, header and day cells alike, has the size of the widest and tallest day
 * name plus 10 x 4 pixels, measured once with the widget's font at construction; header cell k is
 * at (k x width, 0), day cell (row, column) at (column x width, (row + 1) x height). The size hint
 * is (7 x width + 2, 7 x height + 4) and the size policy is fixed.
 *
 * Painting: the header blue with white bold names; a cell without a day in the application
 * palette's Base colour; the selected cell in its Highlight colour with a white number; any other
 * day cell in its own colours (a new day takes the palette's WindowText and Base).
 *
 * Keys: Left, Right, Up and Down move the selection by one cell onto a cell that holds a day,
 * without wrapping or skipping empty cells; any other key re-selects the selected cell. Without a
 * selection keys do nothing. Keys are never passed on to the parent.
 *
 * For screen readers the table is a table: the day names are column headers, a day cell is named
 * by its number (inside a date picker by its full date) and says whether it is selected, and each
 * change of the selection is announced.
 */
class TSUIKIT_EXPORT CDateTableWidget : public QWidget
{
    Q_OBJECT

public:
    /** One day cell: the number shown, its text and fill colours. */
    struct DayCell {
        int day = -1;
        QColor foreground;
        QColor background;
    };

    /** @p dayNames are the header texts from the left, drawn as given (the table expects 7). */
    CDateTableWidget(const std::vector<WString> &dayNames, QWidget *parent = nullptr,
                     Qt::WindowFlags flags = Qt::WindowFlags());
    ~CDateTableWidget() override;

    /** @return 6, always */
    int rowCount() const;
    /** @return 7, always */
    int columnCount() const;
    /** @return the selected cell's row, -1 when nothing is selected */
    int currentRow() const;
    /** @return the selected cell's column, -1 when nothing is selected */
    int currentColumn() const;

    /**
     * Puts @p day into a cell and repaints. A cell that already holds a day keeps its colours.
     * Any row and column are stored; only those inside 6 x 7 are drawn and take clicks.
     */
    void SetDay(int row, int column, int day);
    /** The text colour of a cell that holds a day (other cells are left alone). */
    void SetForegroundColor(int row, int column, const QColor &color);
    /** The fill colour of a cell that holds a day (other cells are left alone). */
    void SetBackgroundColor(int row, int column, const QColor &color);
    /** Removes a cell's day; removing the selected cell's day leaves no selection. */
    void ClearDay(int row, int column);
    /** Removes every day and the selection. */
    void ClearAllDays();
    /** Selects a cell that holds a day (others are ignored); emits nothing. */
    void SetSelection(int row, int column);
    /**
     * @param exists when not null, receives whether the cell holds a day
     * @return the cell's day, or -1 when it holds none
     */
    int GetDay(int row, int column, bool *exists) const;

Q_SIGNALS:
    /** The user chose a cell, by click or key (also the cell already selected). */
    void itemSelectionChanged();

protected:
    QSize sizeHint() const override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    // Tells screen readers which day is selected when the table takes the focus.
    void focusInEvent(QFocusEvent *event) override;

private:
    friend class CDateTableAccessible;
    friend class CDateTableCellAccessible;

    void CalculateSizes();
    QRect HeaderRect(int column) const;
    QRect CellRect(int row, int column) const;
    void Select(int row, int column);

    std::vector<WString> m_dayNames;
    QSize m_cellSize;
    QSize m_sizeHint;
    int m_currentRow;
    int m_currentColumn;
    std::map<std::pair<int, int>, DayCell> m_days;
};
