// A tree row that sorts by the value stored beside its text.
#pragma once

#include "foundation/tsuikitglobal.h"

#include <QTreeWidgetItem>

#include <memory>
#include <vector>

/**
 * @class QTreeWidgetItemEx qtreewidgetitemex.h "widgets/qtreewidgetitemex.h"
 * A tree row (item type 0) that sorts by the value stored under Qt::UserRole in the tree's sort
 * column. The type of this row's value chooses the comparison: QDateTime, QDate, QTime, double and
 * int compare as such, the other row's value converted to the same type; a QString, or any other
 * type, compares the display texts locale-aware. Without a value a check box decides (unchecked
 * first, partially checked counts as checked); without either the display texts compare
 * locale-aware.
 *
 * The value of each column is read once, on the first comparison, and kept as a sort key (numbers as
 * double, date-times as milliseconds) until setData() or read() changes the row; sorting 100 000
 * rows then costs about what comparing plain numbers does. The instant of a local date-time, needed
 * only against one on the other side of a daylight-saving change, is worked out once, in the zone in
 * force at that moment. A subclass whose data() answers values that setData() did not store must not
 * rely on this class's order.
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

    /** Qt's setData(); a change of the value under Qt::UserRole drops that column's sort key. */
    void setData(int column, int role, const QVariant &value) override;
    /** Qt's read(); drops every sort key. */
    void read(QDataStream &in) override;

private:
    // The Qt::UserRole value of one column as this row compares it.
    struct SortKey {
        enum Kind : quint8 {
            Stale, // not read yet, or changed since
            NoValue, // no value: the check box or the texts decide
            Text, // a string or another type: the display texts decide
            Double,
            Int,
            Date,
            Time,
            LocalStandard, // a valid local date-time outside daylight-saving time
            LocalDaylight, // a valid local date-time in daylight-saving time
            OtherDateTime, // a valid date-time in UTC, at an offset or in a named zone
            InvalidDateTime, // compared as QDateTime compares it
        };
        Kind kind = Stale;
        bool utcKnown = false;
        union {
            double number = 0; // Double, Int
            qint64 wall; // Local*: wall-clock msecs; Date: Julian day; Time: msecs of the day or -1
        };
        qint64 utc = 0; // date-times: msecs since the epoch, once utcKnown
    };

    // The key of column (0 <= column < the number of kept columns), read now if it is stale.
    Q_DECL_HIDDEN const SortKey &Key(int column) const;
    // Milliseconds since the epoch of the valid date-time key of column, taken from the value once.
    Q_DECL_HIDDEN qint64 Utc(int column) const;

    // The column compared last and its key, kept in the row itself: a sort reads it O(n log n) times.
    mutable int m_lastColumn = -1;
    mutable SortKey m_lastKey;
    // The keys of the other columns compared so far (stale where m_lastColumn is), so that sorting
    // by another column and back does not read the values again; none until a second column.
    mutable std::unique_ptr<std::vector<SortKey>> m_keys;
};
