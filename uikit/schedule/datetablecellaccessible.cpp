#include "schedule/datetablecellaccessible_p.h"

#include "schedule/datepickerwidget.h"
#include "schedule/datetableaccessible_p.h"
#include "schedule/datetablewidget.h"

#include <QWidget>
#include <QWindow>

CDateTableCellAccessible::CDateTableCellAccessible(CDateTableWidget *table, int row, int column)
    : m_table(table), m_row(row), m_column(column)
{
}

bool CDateTableCellAccessible::IsHeader() const
{
    return m_row < 0;
}

bool CDateTableCellAccessible::HoldsDay(int *day) const
{
    bool exists = false;
    const int value = m_table ? m_table->GetDay(m_row, m_column, &exists) : -1;
    if (day)
        *day = value;
    return !IsHeader() && exists;
}

bool CDateTableCellAccessible::isValid() const
{
    return !m_table.isNull();
}

QObject *CDateTableCellAccessible::object() const
{
    return nullptr;
}

QWindow *CDateTableCellAccessible::window() const
{
    return m_table ? m_table->window()->windowHandle() : nullptr;
}

QAccessibleInterface *CDateTableCellAccessible::parent() const
{
    return QAccessible::queryAccessibleInterface(m_table.data());
}

QAccessibleInterface *CDateTableCellAccessible::child(int) const
{
    return nullptr;
}

int CDateTableCellAccessible::childCount() const
{
    return 0;
}

int CDateTableCellAccessible::indexOfChild(const QAccessibleInterface *) const
{
    return -1;
}

QAccessibleInterface *CDateTableCellAccessible::childAt(int, int) const
{
    return nullptr;
}

QString CDateTableCellAccessible::text(QAccessible::Text t) const
{
    if (!m_table)
        return QString();
    if (IsHeader()) {
        const std::vector<WString> &names = m_table->m_dayNames;
        if (t == QAccessible::Name && size_t(m_column) < names.size())
            return QStringFromWString(names[size_t(m_column)]);
        return QString();
    }
    int day = -1;
    if (!HoldsDay(&day))
        return QString();
    // Inside a picker the cell knows its month and year and can say the whole date.
    if (auto *picker = qobject_cast<CDatePickerWidget *>(m_table->parentWidget()))
        return picker->AccessibleDayText(m_column, day, t);
    return t == QAccessible::Name ? QString::number(day) : QString();
}

void CDateTableCellAccessible::setText(QAccessible::Text, const QString &)
{
}

QRect CDateTableCellAccessible::rect() const
{
    if (!m_table)
        return QRect();
    const QRect local = IsHeader() ? m_table->HeaderRect(m_column) : m_table->CellRect(m_row, m_column);
    return QRect(m_table->mapToGlobal(local.topLeft()), local.size());
}

QAccessible::Role CDateTableCellAccessible::role() const
{
    return IsHeader() ? QAccessible::ColumnHeader : QAccessible::Cell;
}

QAccessible::State CDateTableCellAccessible::state() const
{
    QAccessible::State state;
    if (!m_table) {
        state.invalid = true;
        return state;
    }
    state.invisible = !m_table->isVisible();
    state.readOnly = true;
    if (!HoldsDay(nullptr))
        return state;
    state.selectable = true;
    state.focusable = true;
    if (isSelected()) {
        state.selected = true;
        state.focused = m_table->hasFocus();
    }
    return state;
}

void *CDateTableCellAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TableCellInterface && !IsHeader())
        return static_cast<QAccessibleTableCellInterface *>(this);
    return nullptr;
}

bool CDateTableCellAccessible::isSelected() const
{
    return m_table && !IsHeader() && m_table->currentRow() == m_row
           && m_table->currentColumn() == m_column;
}

QList<QAccessibleInterface *> CDateTableCellAccessible::columnHeaderCells() const
{
    QList<QAccessibleInterface *> headers;
    if (auto *tableInterface = dynamic_cast<CDateTableAccessible *>(parent()))
        if (QAccessibleInterface *header = tableInterface->HeaderAt(m_column))
            headers << header;
    return headers;
}

QList<QAccessibleInterface *> CDateTableCellAccessible::rowHeaderCells() const
{
    return QList<QAccessibleInterface *>();
}

int CDateTableCellAccessible::columnIndex() const
{
    return m_column;
}

int CDateTableCellAccessible::rowIndex() const
{
    return m_row;
}

int CDateTableCellAccessible::columnExtent() const
{
    return 1;
}

int CDateTableCellAccessible::rowExtent() const
{
    return 1;
}

QAccessibleInterface *CDateTableCellAccessible::table() const
{
    return parent();
}
