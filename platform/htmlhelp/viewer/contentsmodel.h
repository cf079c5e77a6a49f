// The contents of a help file as an item model: books and pages as the file nests them.
#pragma once
#include "sitemap.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QVector>

#include <memory>
#include <unordered_map>

namespace tshelp {

// Items are made as a view asks for them: opening the viewer on 100 000 entries costs only the rows
// on screen. An entry with entries under it is a book (closed or open, as its view last said), the
// others are pages; every item of a kind shares one icon.
class ContentsModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    enum Role {
        LocalRole = Qt::UserRole + 1, // the entry's first "Local" ("sub/page.htm#part"), if any
    };

    explicit ContentsModel(QVector<SitemapEntry> entries, QObject *parent = nullptr);
    ~ContentsModel() override;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    bool hasChildren(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // The entry an index shows; null for an invalid one.
    const SitemapEntry *entry(const QModelIndex &index) const;

    // A book's picture follows its view: open when unfolded.
    void setExpanded(const QModelIndex &index, bool expanded);

    // The first entry (in the file's order) whose first "Local" shows the page `storedName`
    // ("/sub/page.htm", any ASCII case, %-escapes read either way); invalid when none does. The
    // first call reads every entry once.
    QModelIndex indexOfTopic(const QString &storedName) const;

    // The names from the outermost book down to the entry.
    QStringList path(const QModelIndex &index) const;

    // How many entries have had an item made for them so far: those that views looked into or that
    // were opened (for tests of the laziness).
    int madeItems() const { return m_madeItems; }

private:
    struct Node;
    Node *nodeOf(const QModelIndex &index) const;
    void indexTopics() const;

    QVector<SitemapEntry> m_entries;
    std::unique_ptr<Node> m_root;
    mutable int m_madeItems = 0;
    // Every entry in the file's order (parent's position, row), and the first position per page.
    struct Place
    {
        int parent;
        int row;
    };
    mutable bool m_topicsIndexed = false;
    mutable QVector<Place> m_places;
    mutable QHash<QString, int> m_byTopic;
};

} // namespace tshelp
