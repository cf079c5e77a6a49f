#include "widgets/treewidgetex.h"

#include <QHeaderView>

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
    for (const QTreeWidgetItem *item : selected)
        m_selectedKeys.append(item->data(column, role).toString());
}

void CTreeWidgetEx::RestoreSortAndSelect()
{
    // Before any cache there is nothing to restore: the starting values would only deselect every
    // row and sort by column 0.
    if (!m_cached)
        return;
    const QList<QTreeWidgetItem *> rows = findItems(QString(), Qt::MatchStartsWith, m_keyColumn);
    for (QTreeWidgetItem *row : rows) {
        const QVariant key = row->data(m_keyColumn, m_keyRole);
        bool selected = false;
        if (key.isValid()) {
            for (const QString &remembered : qAsConst(m_selectedKeys)) {
                if (QVariant(remembered) == key) {
                    selected = true;
                    break;
                }
            }
        }
        row->setSelected(selected);
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
