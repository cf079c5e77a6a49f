// The hits of a full-text search as a table: each page's title and where it stands.
#pragma once
#include "searchindex.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <QVector>

namespace tshelp {

class SearchResultsModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { TitleColumn, LocationColumn, ColumnCount };
    enum Role {
        PathRole = Qt::UserRole + 1, // the page's stored name; also its tool tip
    };

    using QAbstractTableModel::QAbstractTableModel;

    // The hits in order, and for each its location (pages that share a title differ there).
    void setHits(QVector<SearchIndex::Hit> hits, QStringList locations);
    void clear() { setHits({}, {}); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QVector<SearchIndex::Hit> m_hits;
    QStringList m_locations;
};

} // namespace tshelp
