// A tree that keeps its selection readable without focus and its sort and selection across refreshes.
#pragma once

#include "foundation/tsuikitglobal.h"

#include <QColor>
#include <QStringList>
#include <QTreeWidget>

/**
 * @class CTreeWidgetEx treewidgetex.h "widgets/treewidgetex.h"
 * A QTreeWidget that
 * - shows its selected rows in the inactive highlight colour with normal text while it has no focus,
 *   so they stay readable (the colours are taken from the palette at construction);
 * - runs type-ahead search as in single selection, so it selects the found row alone;
 * - remembers which rows were selected and how it was sorted across a refresh:
 *
 * @code
 * tree->CacheSortAndSelect(0, Qt::UserRole); // column and role of a stable key of each row
 * tree->clear();
 * ... refill, each row with setData(0, Qt::UserRole, key) ...
 * tree->RestoreSortAndSelect();
 * @endcode
 */
class TSUIKIT_EXPORT CTreeWidgetEx : public QTreeWidget
{
    Q_OBJECT

public:
    explicit CTreeWidgetEx(QWidget *parent = nullptr);
    ~CTreeWidgetEx() override;

    /** Applies the selection colours for a focused (true) or unfocused (false) tree. */
    void SetPaletteColorFocus(bool focused);

    /**
     * Remembers the sort column, order and whether sorting is on, and the keys (data of @p column
     * under @p role, as text) of the selected rows, children included; then turns sorting off so a
     * refill is not sorted row by row.
     */
    void CacheSortAndSelect(int column, Qt::ItemDataRole role);

    /**
     * Selects the top-level rows whose key was remembered and deselects the other top-level rows
     * (children keep their state), then turns sorting back to what it was and sorts as before.
     * A key matches when the row's value, as text, equals a remembered text. The selection is
     * applied at once, so the work grows with rows plus keys (100 000 rows take a fraction of a
     * second). Repeatable; does nothing before the first CacheSortAndSelect().
     */
    void RestoreSortAndSelect();

    /** Qt's type-ahead search, run in single selection mode whatever the tree's mode. */
    void keyboardSearch(const QString &search) override;

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QColor m_focusHighlight;
    QColor m_focusHighlightedText;
    QColor m_noFocusHighlightedText;
    QColor m_noFocusHighlight;
    QStringList m_selectedKeys;
    Qt::SortOrder m_sortOrder;
    int m_keyColumn;
    int m_keyRole;
    int m_sortSection;
    bool m_sortingEnabled;
    bool m_cached;
};
