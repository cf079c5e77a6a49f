#include "widgets/qtablewidgetitemex.h"

QTableWidgetItemEx::QTableWidgetItemEx()
    : QTableWidgetItem(QTableWidgetItem::Type)
    , m_bNum(false)
{
}

QTableWidgetItemEx::QTableWidgetItemEx(const QString &text)
    : QTableWidgetItem(text, QTableWidgetItem::Type)
    , m_bNum(false)
{
}

QTableWidgetItemEx::QTableWidgetItemEx(const QTableWidgetItemEx &other)
    : QTableWidgetItem(other)
    , m_bNum(other.m_bNum)
{
}

QTableWidgetItemEx &QTableWidgetItemEx::operator=(const QTableWidgetItemEx &other)
{
    QTableWidgetItem::operator=(other);
    m_bNum = other.m_bNum;
    return *this;
}

QTableWidgetItemEx::~QTableWidgetItemEx() = default;

void QTableWidgetItemEx::SetNum(bool num)
{
    m_bNum = num;
}

bool QTableWidgetItemEx::operator<(const QTableWidgetItem &other) const
{
    if (m_bNum) {
        const double a = data(Qt::UserRole).toDouble();
        const double b = other.data(Qt::UserRole).toDouble();
        if (a != 0 || b != 0)
            return a < b;
    }
    // Plain code-unit order, not Qt's default (which is locale-aware for strings).
    return text() < other.text();
}
