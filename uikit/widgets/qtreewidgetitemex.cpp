#include "widgets/qtreewidgetitemex.h"

#include <QDateTime>
#include <QTreeWidget>

QTreeWidgetItemEx::QTreeWidgetItemEx()
    : QTreeWidgetItem(QTreeWidgetItem::Type)
{
}

QTreeWidgetItemEx::QTreeWidgetItemEx(const QTreeWidgetItemEx &other)
    : QTreeWidgetItem(other)
{
}

QTreeWidgetItemEx &QTreeWidgetItemEx::operator=(const QTreeWidgetItemEx &other)
{
    QTreeWidgetItem::operator=(other);
    return *this;
}

QTreeWidgetItemEx::~QTreeWidgetItemEx() = default;

void QTreeWidgetItemEx::SetColumnNum(int column, bool num)
{
    Q_UNUSED(column);
    Q_UNUSED(num);
}

void QTreeWidgetItemEx::SetColumnDateTime(int column, bool dateTime)
{
    Q_UNUSED(column);
    Q_UNUSED(dateTime);
}

bool QTreeWidgetItemEx::operator<(const QTreeWidgetItem &other) const
{
    // A row outside any tree compares by its first column.
    const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
    const auto textOrder = [&] { return QString::localeAwareCompare(text(column), other.text(column)) < 0; };

    const QVariant value = data(column, Qt::UserRole);
    if (value.isValid()) {
        const QVariant theirs = other.data(column, Qt::UserRole);
        switch (value.userType()) {
        case QMetaType::QDateTime:
            return value.toDateTime() < theirs.toDateTime();
        case QMetaType::QTime:
            return value.toTime() < theirs.toTime();
        case QMetaType::QDate:
            return value.toDate() < theirs.toDate();
        case QMetaType::Double:
            return value.toDouble() < theirs.toDouble();
        case QMetaType::Int:
            return value.toInt() < theirs.toInt();
        default:
            return textOrder();
        }
    }
    const QVariant check = data(column, Qt::CheckStateRole);
    if (check.isValid())
        return check.toBool() < other.data(column, Qt::CheckStateRole).toBool();
    return textOrder();
}
