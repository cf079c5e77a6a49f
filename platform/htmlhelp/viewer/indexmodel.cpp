#include "indexmodel.h"

#include <algorithm>
#include <numeric>

namespace tshelp {

namespace {

QString KeyOf(const QString &text)
{
    return text.trimmed().toCaseFolded();
}

} // namespace

IndexModel::IndexModel(QVector<SitemapEntry> entries, QObject *parent)
    : QAbstractListModel(parent)
    , m_entries(std::move(entries))
{
    const int count = m_entries.size();
    QVector<QString> keys(count);
    for (int i = 0; i < count; ++i)
        keys[i] = KeyOf(m_entries.at(i).name);
    // Stable: equal keywords keep the file's order.
    QVector<int> order(count);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&keys](int a, int b) { return keys.at(a) < keys.at(b); });
    m_keys.reserve(count);
    m_firstRow.reserve(count + 1);
    m_rows.reserve(count);
    for (const int at : order) {
        const int keyword = m_keys.size();
        m_keys.append(keys.at(at));
        m_firstRow.append(m_rows.size());
        // The sub-keywords depth first, in the file's order; the reader bounds the depth.
        struct Level
        {
            const QVector<SitemapEntry> *entries;
            int next;
        };
        m_rows.append({&m_entries.at(at), 0, keyword});
        QVector<Level> stack{{&m_entries.at(at).children, 0}};
        while (!stack.isEmpty()) {
            Level &level = stack.last();
            if (level.next >= level.entries->size()) {
                stack.removeLast();
                continue;
            }
            const SitemapEntry &sub = level.entries->at(level.next++);
            m_rows.append({&sub, int(stack.size()), keyword});
            if (!sub.children.isEmpty())
                stack.append({&sub.children, 0});
        }
    }
    m_firstRow.append(m_rows.size());
    m_end = m_rows.size();
}

int IndexModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_end - m_begin;
}

const SitemapEntry *IndexModel::entry(int row) const
{
    if (row < 0 || row >= m_end - m_begin)
        return nullptr;
    return m_rows.at(m_begin + row).entry;
}

QVariant IndexModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.model() != this || index.row() >= m_end - m_begin)
        return {};
    const Row &row = m_rows.at(m_begin + index.row());
    switch (role) {
    case Qt::DisplayRole:
        return row.depth == 0 ? row.entry->name
                              : QString(row.depth * 4, QLatin1Char(' ')) + row.entry->name;
    case Qt::ToolTipRole:
        return row.entry->name;
    case KeywordRole:
        return m_entries.isEmpty() ? QString() : m_rows.at(m_firstRow.at(row.keyword)).entry->name;
    case DepthRole:
        return row.depth;
    default:
        return {};
    }
}

void IndexModel::setFilter(const QString &prefix)
{
    m_filter = prefix;
    const QString key = KeyOf(prefix);
    int begin = 0;
    int end = m_rows.size();
    if (!key.isEmpty()) {
        const auto first = std::lower_bound(m_keys.cbegin(), m_keys.cend(), key);
        const auto last = std::partition_point(
            first, m_keys.cend(), [&key](const QString &k) { return k.startsWith(key); });
        begin = m_firstRow.at(int(first - m_keys.cbegin()));
        end = m_firstRow.at(int(last - m_keys.cbegin()));
    }
    if (begin == m_begin && end == m_end)
        return;
    beginResetModel();
    m_begin = begin;
    m_end = end;
    endResetModel();
}

} // namespace tshelp
