// A table cell that can sort by a number stored beside its text.
#pragma once

#include "foundation/tsuikitglobal.h"

#include <QTableWidgetItem>

/**
 * @class QTableWidgetItemEx qtablewidgetitemex.h "widgets/qtablewidgetitemex.h"
 * A table cell (item type 0) that, once SetNum(true) is called, sorts by the number stored under
 * Qt::UserRole instead of by its text:
 *
 * @code
 * auto *cell = new QTableWidgetItemEx(QStringLiteral("1.2 GB"));
 * cell->setData(Qt::UserRole, 1288490188.0);
 * cell->SetNum(true);
 * @endcode
 */
class TSUIKIT_EXPORT QTableWidgetItemEx : public QTableWidgetItem
{
public:
    /** An empty cell; sorts by text. */
    QTableWidgetItemEx();
    /** A cell holding @p text; sorts by text. */
    explicit QTableWidgetItemEx(const QString &text);
    QTableWidgetItemEx(const QTableWidgetItemEx &other);
    QTableWidgetItemEx &operator=(const QTableWidgetItemEx &other);
    ~QTableWidgetItemEx() override;

    /** True makes this cell compare by the number under Qt::UserRole. */
    void SetNum(bool num);

    /**
     * With SetNum(true): compares the numbers under Qt::UserRole of both cells (values that do not
     * convert count as 0); when both are 0, and without SetNum, compares the texts code unit by code
     * unit (so "10" < "9" and "Z" < "a"). Only this cell's setting counts.
     */
    bool operator<(const QTableWidgetItem &other) const override;

private:
    bool m_bNum;
};
