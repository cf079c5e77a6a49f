#include "widgets/treewidgetex.h"

#include <QHeaderView>
#include <QItemSelection>
#include <QSet>

CTreeWidgetEx::CTreeWidgetEx(QWidget *parent)
    : QTreeWidget(parent)
    , m_focusHighlight(palette().color(QPalette::Active, QPalette::Highlight))
    , m_focusHighlightedText(palette().color(QPalette::Active, QPalette::HighlightedText))
    , m_noFocusHighlightedText(palette().color(QPalette::Active, QPalette::Text))
    , m_noFocusHighlight(palette().color(QPalette::Inactive, QPalette::Highlight))
    , m_sortOrder(Qt::AscendingOrder)
    , m_keyColumn(0)
    , m_keyRole(Qt::UserRole)
    , m_sortSection(0)
    , m_sortingEnabled(false)
    , m_cached(false)
{
}

CTreeWidgetEx::~CTreeWidgetEx() = default;

void CTreeWidgetEx::SetPaletteColorFocus(bool focused)
{
    QPalette colours = palette();
    colours.setColor(QPalette::Highlight, focused ? m_focusHighlight : m_noFocusHighlight);
    colours.setColor(QPalette::HighlightedText, focused ? m_focusHighlightedText : m_noFocusHighlightedText);
    setPalette(colours);
}

void CTreeWidgetEx::CacheSortAndSelect(int column, Qt::ItemDataRole role)
{
    m_selectedKeys.clear();
    m_keyColumn = column;
    m_keyRole = role;
    m_sortOrder = header()->sortIndicatorOrder();
    m_sortSection = header()->sortIndicatorSection();
    m_sortingEnabled = isSortingEnabled();
    m_cached = true;
    setSortingEnabled(false);
    const QList<QTreeWidgetItem *> selected = selectedItems();
    m_selectedKeys.reserve(selected.size());
    for (const QTreeWidgetItem *item : selected)
        m_selectedKeys.append(item->data(column, role).toString());
}

namespace {

// Whether a row's key equals one of the remembered texts as QVariant equality has it: the key is
// converted to text; a key that cannot be is compared the other way round, remembered text by text.
bool IsRemembered(const QVariant &key, const QSet<QString> &remembered)
{
    if (!key.isValid())
        return false;
    if (key.userType() == QMetaType::QString)
        return remembered.contains(*static_cast<const QString *>(key.constData()));
    QVariant text = key;
    if (text.canConvert(QMetaType::QString))
        return text.convert(QMetaType::QString) && remembered.contains(text.toString());
    for (const QString &each : remembered) {
        if (QVariant(each) == key)
            return true;
    }
    return false;
}

} // namespace

void CTreeWidgetEx::RestoreSortAndSelect()
{
    // Before any cache there is nothing to restore: the starting values would only deselect every
    // row and sort by column 0.
    if (!m_cached)
        return;
    // Qt finds no row in a column the tree does not have, and then nothing is selected or deselected.
    if (m_keyColumn >= 0 && m_keyColumn < columnCount()) {
        const QSet<QString> remembered(m_selectedKeys.cbegin(), m_selectedKeys.cend());
        QItemSelectionModel *selection = selectionModel();
        const QAbstractItemModel *rows = model();
        // Children keep their selection; every top-level row is selected or deselected as a whole,
        // in runs of neighbouring rows.
        QItemSelection next;
        const QItemSelection current = selection->selection();
        for (const QItemSelectionRange &range : current) {
            if (range.parent().isValid())
                next.append(range);
        }
        const int count = topLevelItemCount();
        const int lastColumn = rows->columnCount() - 1;
        int runStart = -1;
        for (int row = 0; row <= count; ++row) {
            const bool hit =
                row < count && IsRemembered(topLevelItem(row)->data(m_keyColumn, m_keyRole), remembered);
            if (hit && runStart < 0) {
                runStart = row;
            } else if (!hit && runStart >= 0) {
                next.append(QItemSelectionRange(rows->index(runStart, 0), rows->index(row - 1, lastColumn)));
                runStart = -1;
            }
        }
        // Clearing first keeps Qt from comparing the old ranges with the new ones pair by pair.
        if (!current.isEmpty())
            selection->clearSelection();
        if (!next.isEmpty())
            selection->select(next, QItemSelectionModel::Select);
    }
    setSortingEnabled(m_sortingEnabled);
    // A section of -1 (no sort indicator) leaves the order alone.
    if (m_sortSection >= 0)
        sortItems(m_sortSection, m_sortOrder);
}

void CTreeWidgetEx::keyboardSearch(const QString &search)
{
    const SelectionMode mode = selectionMode();
    setSelectionMode(QAbstractItemView::SingleSelection);
    QTreeView::keyboardSearch(search);
    setSelectionMode(mode);
}

void CTreeWidgetEx::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    SetPaletteColorFocus(true);
}

void CTreeWidgetEx::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    SetPaletteColorFocus(false);
}

void CTreeWidgetEx::showEvent(QShowEvent *event)
{
    Q_UNUSED(event);
    SetPaletteColorFocus(hasFocus());
}
