#include "contentsmodel.h"

#include "chmsystem.h"
#include "helpicons.h"
#include "helplink.h"

#include <QIcon>
#include <QUrl>

namespace tshelp {

// The entries under one entry (or the top level), and the items made for those that hold entries
// themselves. An index's internal pointer is the node of the list its entry is in.
struct ContentsModel::Node
{
    const QVector<SitemapEntry> *entries = nullptr;
    Node *parent = nullptr;
    int row = -1; // of this node's entry in its parent's list
    bool expanded = false;
    std::unordered_map<int, std::unique_ptr<Node>> children;
};

namespace {

// The key under which a "Local" and a stored name meet: stored-name form, ASCII lower case,
// %-escapes decoded. Empty for links to other files and other schemes.
QString TopicKey(const QString &local)
{
    if (local.isEmpty() || HasHelpLinkPrefix(local) || local.contains(QLatin1String("::"))
        || local.contains(QLatin1String("://")) || local.startsWith(QLatin1String("mailto:")))
        return {};
    QString stored = StoredName(local);
    if (stored.contains(QLatin1Char('%')))
        stored = QUrl::fromPercentEncoding(stored.toUtf8());
    for (QChar &c : stored) {
        if (c.unicode() >= 'A' && c.unicode() <= 'Z')
            c = QChar(c.unicode() + ('a' - 'A'));
    }
    return stored;
}

} // namespace

ContentsModel::ContentsModel(QVector<SitemapEntry> entries, QObject *parent)
    : QAbstractItemModel(parent)
    , m_entries(std::move(entries))
    , m_root(new Node)
{
    m_root->entries = &m_entries;
}

ContentsModel::~ContentsModel() = default;

ContentsModel::Node *ContentsModel::nodeOf(const QModelIndex &index) const
{
    if (!index.isValid())
        return m_root.get();
    auto *list = static_cast<Node *>(index.internalPointer());
    std::unique_ptr<Node> &child = list->children[index.row()];
    if (!child) {
        child.reset(new Node);
        child->entries = &list->entries->at(index.row()).children;
        child->parent = list;
        child->row = index.row();
        ++m_madeItems;
    }
    return child.get();
}

QModelIndex ContentsModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || row < 0 || (parent.isValid() && parent.model() != this))
        return {};
    Node *list = nodeOf(parent);
    if (row >= list->entries->size())
        return {};
    return createIndex(row, column, list);
}

QModelIndex ContentsModel::parent(const QModelIndex &child) const
{
    if (!child.isValid())
        return {};
    auto *list = static_cast<Node *>(child.internalPointer());
    if (!list->parent)
        return {};
    return createIndex(list->row, 0, list->parent);
}

int ContentsModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return m_entries.size();
    const SitemapEntry *e = entry(parent);
    return e && parent.column() == 0 ? e->children.size() : 0;
}

int ContentsModel::columnCount(const QModelIndex &) const
{
    return 1;
}

bool ContentsModel::hasChildren(const QModelIndex &parent) const
{
    return rowCount(parent) > 0;
}

const SitemapEntry *ContentsModel::entry(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this)
        return nullptr;
    const auto *list = static_cast<const Node *>(index.internalPointer());
    return &list->entries->at(index.row());
}

QVariant ContentsModel::data(const QModelIndex &index, int role) const
{
    const SitemapEntry *e = entry(index);
    if (!e)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return e->name;
    case Qt::DecorationRole: {
        if (e->children.isEmpty())
            return PageIcon();
        const auto *list = static_cast<const Node *>(index.internalPointer());
        const auto it = list->children.find(index.row());
        const bool open = it != list->children.end() && it->second && it->second->expanded;
        return open ? OpenBookIcon() : ClosedBookIcon();
    }
    case LocalRole:
        return e->targets.isEmpty() ? QString() : e->targets.first().local;
    default:
        return {};
    }
}

void ContentsModel::setExpanded(const QModelIndex &index, bool expanded)
{
    const SitemapEntry *e = entry(index);
    if (!e || e->children.isEmpty())
        return;
    Node *node = nodeOf(index);
    if (node->expanded == expanded)
        return;
    node->expanded = expanded;
    emit dataChanged(index, index, {Qt::DecorationRole});
}

void ContentsModel::indexTopics() const
{
    if (m_topicsIndexed)
        return;
    m_topicsIndexed = true;
    // Depth first in the file's order, without recursion: (list, its position, next row).
    struct Level
    {
        const QVector<SitemapEntry> *entries;
        int place;
        int next;
    };
    QVector<Level> stack{{&m_entries, -1, 0}};
    while (!stack.isEmpty()) {
        Level &level = stack.last();
        if (level.next >= level.entries->size()) {
            stack.removeLast();
            continue;
        }
        const int row = level.next++;
        const SitemapEntry &e = level.entries->at(row);
        const int place = m_places.size();
        m_places.append({level.place, row});
        if (!e.targets.isEmpty()) {
            const QString key = TopicKey(e.targets.first().local);
            if (!key.isEmpty() && !m_byTopic.contains(key))
                m_byTopic.insert(key, place);
        }
        if (!e.children.isEmpty())
            stack.append({&e.children, place, 0}); // `level` is not used after this
    }
}

QModelIndex ContentsModel::indexOfTopic(const QString &storedName) const
{
    const QString key = TopicKey(storedName);
    if (key.isEmpty())
        return {};
    indexTopics();
    const auto it = m_byTopic.constFind(key);
    if (it == m_byTopic.constEnd())
        return {};
    QVector<int> rows;
    for (int place = *it; place >= 0; place = m_places.at(place).parent)
        rows.prepend(m_places.at(place).row);
    QModelIndex found;
    for (const int row : rows)
        found = index(row, 0, found);
    return found;
}

QStringList ContentsModel::path(const QModelIndex &index) const
{
    QStringList names;
    for (QModelIndex at = index; at.isValid(); at = at.parent())
        names.prepend(entry(at)->name);
    return names;
}

} // namespace tshelp
