// The keyword index of a help file as a list model: keywords in alphabetical order, each followed by
// its sub-keywords, narrowed to the keywords that start with a typed text.
#pragma once
#include "sitemap.h"

#include <QAbstractListModel>
#include <QVector>

namespace tshelp {

// Sorted once when made; narrowing is a binary search that changes the range of rows shown, so a
// keystroke costs the same for 100 keywords as for 100 000.
class IndexModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Role {
        KeywordRole = Qt::UserRole + 1, // the top-level keyword that the row belongs to
        DepthRole,                      // 0 for a keyword, 1 for its sub-keywords, and so on
    };

    explicit IndexModel(QVector<SitemapEntry> entries, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    // The display text is the name indented by four spaces a level.
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // Shows only the keywords that start with `prefix` (ignoring case and the spaces around it), each
    // with its sub-keywords, in order; every keyword for an empty one.
    void setFilter(const QString &prefix);
    QString filter() const { return m_filter; }

    // The entry on a row shown; null outside them.
    const SitemapEntry *entry(int row) const;
    // All rows, whatever the filter.
    int totalRows() const { return m_rows.size(); }

private:
    struct Row
    {
        const SitemapEntry *entry;
        int depth;
        int keyword; // position in m_keys
    };
    QVector<SitemapEntry> m_entries;
    QVector<QString> m_keys;   // the keywords case-folded, sorted
    QVector<int> m_firstRow;   // per keyword its first row; one more at the end
    QVector<Row> m_rows;
    QString m_filter;
    int m_begin = 0;           // the rows shown: [m_begin, m_end)
    int m_end = 0;
};

} // namespace tshelp
