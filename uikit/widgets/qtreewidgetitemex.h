// A tree row that sorts by the value stored beside its text.
#pragma once

#include "foundation/tsuikitglobal.h"

#include <QTreeWidgetItem>

/**
 * @class QTreeWidgetItemEx qtreewidgetitemex.h "widgets/qtreewidgetitemex.h"
 * A tree row (item type 0) that sorts by the value stored under Qt::UserRole in the tree's sort
 * column. The type of this row's value chooses the comparison: QDateTime, QDate, QTime, double and
 * int compare as such, the other row's value converted to the same type; a QString, or any other
 * type, compares the display texts locale-aware. Without a value a check box decides (unchecked
 * first, partially checked counts as checked); without either the display texts compare
 * locale-aware.
 */
class TSUIKIT_EXPORT QTreeWidgetItemEx : public QTreeWidgetItem
{
public:
    /** A row without parent; the caller inserts it. */
    QTreeWidgetItemEx();
    /** Copies texts, values and flags, as QTreeWidgetItem does (not the children). */
    QTreeWidgetItemEx(const QTreeWidgetItemEx &other);
    QTreeWidgetItemEx &operator=(const QTreeWidgetItemEx &other);
    ~QTreeWidgetItemEx() override;

    /** Accepted for compatibility; the order follows the type of the stored value. */
    void SetColumnNum(int column, bool num);
    /** Accepted for compatibility; the order follows the type of the stored value. */
    void SetColumnDateTime(int column, bool dateTime);

    bool operator<(const QTreeWidgetItem &other) const override;
};
