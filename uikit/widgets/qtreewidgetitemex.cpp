#include "widgets/qtreewidgetitemex.h"

#include <QDateTime>
#include <QTreeWidget>

#include <typeinfo>

namespace {

// Columns past this one are compared without a kept key, so that a stray column number cannot make
// a row allocate keys for every column before it.
constexpr int KeyedColumns = 1024;

constexpr qint64 JulianDayOfEpoch = 2440588;
constexpr qint64 MSecsPerDay = 86400000;

bool TextLess(const QTreeWidgetItem &mine, int column, const QTreeWidgetItem &other)
{
    return QString::localeAwareCompare(mine.text(column), other.text(column)) < 0;
}

// The order as the stored variants give it: the comparison that the kept keys stand in for.
bool ValueLess(const QTreeWidgetItem &mine, int column, const QTreeWidgetItem &other)
{
    const QVariant value = mine.data(column, Qt::UserRole);
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
            return TextLess(mine, column, other);
        }
    }
    const QVariant check = mine.data(column, Qt::CheckStateRole);
    if (check.isValid())
        return check.toBool() < other.data(column, Qt::CheckStateRole).toBool();
    return TextLess(mine, column, other);
}

const QTreeWidgetItemEx *AsEx(const QTreeWidgetItem &item)
{
    // The exact class is by far the usual case and cheaper to recognise than a subclass.
    if (typeid(item) == typeid(QTreeWidgetItemEx))
        return static_cast<const QTreeWidgetItemEx *>(&item);
    return dynamic_cast<const QTreeWidgetItemEx *>(&item);
}

} // namespace

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
    m_lastColumn = -1;
    m_keys.reset();
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

void QTreeWidgetItemEx::setData(int column, int role, const QVariant &value)
{
    QTreeWidgetItem::setData(column, role, value);
    if (role != Qt::UserRole)
        return;
    if (column == m_lastColumn)
        m_lastKey.kind = SortKey::Stale;
    if (m_keys && column >= 0 && size_t(column) < m_keys->size())
        (*m_keys)[size_t(column)].kind = SortKey::Stale;
}

void QTreeWidgetItemEx::read(QDataStream &in)
{
    QTreeWidgetItem::read(in);
    m_lastColumn = -1;
    m_keys.reset();
}

const QTreeWidgetItemEx::SortKey &QTreeWidgetItemEx::Key(int column) const
{
    if (column == m_lastColumn && m_lastKey.kind != SortKey::Stale)
        return m_lastKey;
    // Another column: the one compared last goes to the store, this one comes from it if known.
    if (m_lastColumn >= 0 && m_lastColumn != column && m_lastKey.kind != SortKey::Stale) {
        if (!m_keys)
            m_keys = std::make_unique<std::vector<SortKey>>();
        if (size_t(m_lastColumn) >= m_keys->size())
            m_keys->resize(size_t(m_lastColumn) + 1);
        (*m_keys)[size_t(m_lastColumn)] = m_lastKey;
    }
    if (m_keys && size_t(column) < m_keys->size() && (*m_keys)[size_t(column)].kind != SortKey::Stale) {
        m_lastKey = (*m_keys)[size_t(column)];
        m_lastColumn = column;
        return m_lastKey;
    }
    SortKey key;
    const QVariant value = data(column, Qt::UserRole);
    switch (value.isValid() ? value.userType() : QMetaType::UnknownType) {
    case QMetaType::UnknownType:
        key.kind = SortKey::NoValue;
        break;
    case QMetaType::Double:
        key.kind = SortKey::Double;
        key.number = value.toDouble();
        break;
    case QMetaType::Int:
        key.kind = SortKey::Int;
        key.number = value.toInt();
        break;
    case QMetaType::QDate:
        key.kind = SortKey::Date;
        key.wall = value.toDate().toJulianDay();
        break;
    case QMetaType::QTime: {
        const QTime time = value.toTime();
        key.kind = SortKey::Time;
        key.wall = time.isValid() ? time.msecsSinceStartOfDay() : -1;
        break;
    }
    case QMetaType::QDateTime: {
        const QDateTime dateTime = value.toDateTime();
        if (!dateTime.isValid()) {
            key.kind = SortKey::InvalidDateTime;
        } else if (dateTime.timeSpec() == Qt::LocalTime) {
            // The value's own daylight-saving flag: no zone lookup for a valid local date-time.
            key.kind = dateTime.isDaylightTime() ? SortKey::LocalDaylight : SortKey::LocalStandard;
            key.wall = (dateTime.date().toJulianDay() - JulianDayOfEpoch) * MSecsPerDay
                       + dateTime.time().msecsSinceStartOfDay();
        } else {
            key.kind = SortKey::OtherDateTime;
            key.utc = dateTime.toMSecsSinceEpoch();
            key.utcKnown = true;
        }
        break;
    }
    default:
        key.kind = SortKey::Text;
        break;
    }
    m_lastKey = key;
    m_lastColumn = column;
    return m_lastKey;
}

qint64 QTreeWidgetItemEx::Utc(int column) const
{
    if (!m_lastKey.utcKnown) {
        // Only local date-times on the two sides of a daylight-saving change get here, once each.
        m_lastKey.utc = data(column, Qt::UserRole).toDateTime().toMSecsSinceEpoch();
        m_lastKey.utcKnown = true;
    }
    return m_lastKey.utc;
}

bool QTreeWidgetItemEx::operator<(const QTreeWidgetItem &other) const
{
    // A row outside any tree compares by its first column.
    const QTreeWidget *tree = treeWidget();
    const int column = tree ? tree->sortColumn() : 0;
    if (column < 0 || column >= KeyedColumns)
        return ValueLess(*this, column, other);

    const SortKey &mine =
        column == m_lastColumn && m_lastKey.kind != SortKey::Stale ? m_lastKey : Key(column);
    switch (mine.kind) {
    case SortKey::NoValue:
    case SortKey::Text:
        // Check boxes and texts are read as they are now: a parent's check state follows its
        // children without a setData() of its own.
        return ValueLess(*this, column, other);
    default:
        break;
    }
    const QTreeWidgetItemEx *ex = AsEx(other);
    if (!ex)
        return ValueLess(*this, column, other);
    const SortKey &theirs = column == ex->m_lastColumn && ex->m_lastKey.kind != SortKey::Stale
                                ? ex->m_lastKey
                                : ex->Key(column);
    switch (mine.kind) {
    case SortKey::Double:
        // An int converts to double exactly; other types convert as Qt converts them.
        if (theirs.kind == SortKey::Double || theirs.kind == SortKey::Int)
            return mine.number < theirs.number;
        break;
    case SortKey::Int:
        if (theirs.kind == SortKey::Int)
            return mine.number < theirs.number;
        break;
    case SortKey::Date:
        if (theirs.kind == SortKey::Date)
            return mine.wall < theirs.wall;
        break;
    case SortKey::Time:
        if (theirs.kind == SortKey::Time)
            return mine.wall < theirs.wall;
        break;
    case SortKey::LocalStandard:
    case SortKey::LocalDaylight:
    case SortKey::OtherDateTime:
        // As QDateTime orders them: two local times on the same side of a daylight-saving change
        // by their wall clocks, any other two by the instant.
        if (theirs.kind == mine.kind && mine.kind != SortKey::OtherDateTime)
            return mine.wall < theirs.wall;
        if (theirs.kind >= SortKey::LocalStandard && theirs.kind <= SortKey::OtherDateTime)
            return Utc(column) < ex->Utc(column);
        break;
    default:
        break;
    }
    return ValueLess(*this, column, other);
}
