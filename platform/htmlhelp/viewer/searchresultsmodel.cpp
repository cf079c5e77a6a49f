#include "searchresultsmodel.h"

namespace tshelp {

void SearchResultsModel::setHits(QVector<SearchIndex::Hit> hits, QStringList locations)
{
    beginResetModel();
    m_hits = std::move(hits);
    m_locations = std::move(locations);
    while (m_locations.size() < m_hits.size())
        m_locations.append(m_hits.at(m_locations.size()).path);
    endResetModel();
}

int SearchResultsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_hits.size();
}

int SearchResultsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SearchResultsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.model() != this || index.row() >= m_hits.size())
        return {};
    const SearchIndex::Hit &hit = m_hits.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return index.column() == TitleColumn ? hit.title : m_locations.at(index.row());
    case Qt::ToolTipRole:
    case PathRole:
        return hit.path;
    default:
        return {};
    }
}

QVariant SearchResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case TitleColumn:
        return tr("Title");
    case LocationColumn:
        return tr("Location");
    default:
        return {};
    }
}

} // namespace tshelp
