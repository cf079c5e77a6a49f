#include "schedule/datetableaccessible_p.h"

#include "schedule/datepickerwidget.h"
#include "schedule/datetablecellaccessible_p.h"
#include "schedule/datetablewidget.h"

namespace {

constexpr int Rows = 6;
constexpr int Columns = 7;
// Children: the 7 column headers, then the day cells row by row.
constexpr int HeaderCount = Columns;
constexpr int ChildCount = HeaderCount + Rows * Columns;

QAccessibleInterface *Factory(const QString &className, QObject *object)
{
    if (className == QLatin1String("CDateTableWidget") && object && object->isWidgetType())
        return new CDateTableAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

bool InGrid(int row, int column)
{
    return row >= 0 && row < Rows && column >= 0 && column < Columns;
}

} // namespace

CDateTableAccessible::CDateTableAccessible(QWidget *widget)
    : QAccessibleWidget(widget, QAccessible::Table), m_childIds(ChildCount, 0)
{
}

CDateTableAccessible::~CDateTableAccessible()
{
    for (QAccessible::Id id : m_childIds)
        if (id)
            QAccessible::deleteAccessibleInterface(id);
}

void CDateTableAccessible::InstallFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    (void)installed;
}

void CDateTableAccessible::AnnounceSelection(CDateTableWidget *table, int oldRow, int oldColumn,
                                             int row, int column)
{
    // The old cell is heard losing its selection as well as the new one gaining it.
    if (InGrid(oldRow, oldColumn) && (oldRow != row || oldColumn != column)) {
        QAccessibleEvent removed(table, QAccessible::SelectionRemove);
        removed.setChild(ChildIndex(oldRow, oldColumn));
        QAccessible::updateAccessibility(&removed);
    }
    if (InGrid(row, column)) {
        QAccessibleEvent selection(table, QAccessible::Selection);
        selection.setChild(ChildIndex(row, column));
        QAccessible::updateAccessibility(&selection);
        if (table->hasFocus())
            AnnounceFocus(table);
    }
}

void CDateTableAccessible::AnnounceFocus(CDateTableWidget *table)
{
    const int child = ChildIndex(table->currentRow(), table->currentColumn());
    if (child < 0 || !table->hasFocus())
        return;
    QAccessibleEvent focus(table, QAccessible::Focus);
    focus.setChild(child);
    QAccessible::updateAccessibility(&focus);
}

QString CDateTableAccessible::text(QAccessible::Text t) const
{
    if (t != QAccessible::Name || !widget()->accessibleName().isEmpty())
        return QAccessibleWidget::text(t);
    // A name that says what the table is; inside a picker, also which month it shows.
    if (auto *picker = qobject_cast<CDatePickerWidget *>(widget()->parentWidget()))
        return picker->AccessibleTableName();
    return CDateTableWidget::tr("Days");
}

int CDateTableAccessible::ChildIndex(int row, int column)
{
    return InGrid(row, column) ? HeaderCount + row * Columns + column : -1;
}

CDateTableWidget *CDateTableAccessible::Table() const
{
    return static_cast<CDateTableWidget *>(widget());
}

void *CDateTableAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

int CDateTableAccessible::childCount() const
{
    return ChildCount;
}

QAccessibleInterface *CDateTableAccessible::child(int index) const
{
    if (index < 0 || index >= ChildCount)
        return nullptr;
    QAccessible::Id &id = m_childIds[size_t(index)];
    if (!id) {
        const int row = index < HeaderCount ? -1 : (index - HeaderCount) / Columns;
        const int column = index < HeaderCount ? index : (index - HeaderCount) % Columns;
        id = QAccessible::registerAccessibleInterface(
            new CDateTableCellAccessible(Table(), row, column));
    }
    return QAccessible::accessibleInterface(id);
}

int CDateTableAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    // Compared by pointer: asking QAccessible for the id of a stranger would register it.
    if (!child)
        return -1;
    for (int i = 0; i < ChildCount; ++i) {
        const QAccessible::Id id = m_childIds[size_t(i)];
        if (id && QAccessible::accessibleInterface(id) == child)
            return i;
    }
    return -1;
}

QAccessibleInterface *CDateTableAccessible::childAt(int x, int y) const
{
    for (int i = 0; i < ChildCount; ++i) {
        QAccessibleInterface *cell = child(i);
        if (cell && cell->rect().contains(x, y))
            return cell;
    }
    return nullptr;
}

QAccessibleInterface *CDateTableAccessible::focusChild() const
{
    const CDateTableWidget *table = Table();
    if (!table->hasFocus())
        return nullptr;
    return child(ChildIndex(table->currentRow(), table->currentColumn()));
}

QAccessibleInterface *CDateTableAccessible::caption() const
{
    return nullptr;
}

QAccessibleInterface *CDateTableAccessible::summary() const
{
    return nullptr;
}

QAccessibleInterface *CDateTableAccessible::cellAt(int row, int column) const
{
    return child(ChildIndex(row, column));
}

int CDateTableAccessible::selectedCellCount() const
{
    return InGrid(Table()->currentRow(), Table()->currentColumn()) ? 1 : 0;
}

QList<QAccessibleInterface *> CDateTableAccessible::selectedCells() const
{
    QList<QAccessibleInterface *> cells;
    if (selectedCellCount())
        cells << cellAt(Table()->currentRow(), Table()->currentColumn());
    return cells;
}

QString CDateTableAccessible::columnDescription(int column) const
{
    const std::vector<WString> &names = Table()->m_dayNames;
    if (column < 0 || column >= Columns || size_t(column) >= names.size())
        return QString();
    return QStringFromWString(names[size_t(column)]);
}

QString CDateTableAccessible::rowDescription(int) const
{
    return QString();
}

int CDateTableAccessible::selectedColumnCount() const
{
    return 0;
}

int CDateTableAccessible::selectedRowCount() const
{
    return 0;
}

int CDateTableAccessible::columnCount() const
{
    return Columns;
}

int CDateTableAccessible::rowCount() const
{
    return Rows;
}

QList<int> CDateTableAccessible::selectedColumns() const
{
    return QList<int>();
}

QList<int> CDateTableAccessible::selectedRows() const
{
    return QList<int>();
}

bool CDateTableAccessible::isColumnSelected(int) const
{
    return false;
}

bool CDateTableAccessible::isRowSelected(int) const
{
    return false;
}

// Only single cells are selected, and only by the user.
bool CDateTableAccessible::selectRow(int)
{
    return false;
}

bool CDateTableAccessible::selectColumn(int)
{
    return false;
}

bool CDateTableAccessible::unselectRow(int)
{
    return false;
}

bool CDateTableAccessible::unselectColumn(int)
{
    return false;
}

void CDateTableAccessible::modelChange(QAccessibleTableModelChangeEvent *)
{
}

QAccessibleInterface *CDateTableAccessible::HeaderAt(int column) const
{
    return column >= 0 && column < HeaderCount ? child(column) : nullptr;
}
