#include "searchpane.h"

#include "searchindex.h"
#include "searchresultsmodel.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace tshelp {

SearchPane::SearchPane(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Type in the word(s) to search for:"), this));
    m_field = new QLineEdit(this);
    m_field->setObjectName(QStringLiteral("HelpSearchField"));
    layout->addWidget(m_field);
    m_button = new QPushButton(tr("&List Topics"), this);
    m_button->setObjectName(QStringLiteral("HelpSearchButton"));
    layout->addWidget(m_button, 0, Qt::AlignRight);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("HelpSearchStatus"));
    m_status->setWordWrap(true);
    layout->addWidget(m_status);
    m_model = new SearchResultsModel(this);
    m_results = new QTreeView(this);
    m_results->setObjectName(QStringLiteral("HelpSearchResults"));
    m_results->setRootIsDecorated(false);
    m_results->setUniformRowHeights(true);
    m_results->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_results->setModel(m_model);
    m_results->header()->setStretchLastSection(true);
    m_results->header()->setSectionResizeMode(0, QHeaderView::Interactive);
    m_results->header()->resizeSection(0, 150);
    layout->addWidget(m_results, 1);

    connect(m_field, &QLineEdit::returnPressed, this, &SearchPane::search);
    connect(m_button, &QPushButton::clicked, this, &SearchPane::search);
    connect(m_results, &QTreeView::activated, this, &SearchPane::openHit);
}

SearchPane::~SearchPane() = default;

void SearchPane::setSearchIndex(const SearchIndex *index)
{
    m_index = index;
    if (!m_index) {
        m_model->clear();
        m_status->clear();
        return;
    }
    if (m_waiting) {
        m_waiting = false;
        run();
    }
}

void SearchPane::setLocator(std::function<QString(const QString &)> locator)
{
    m_locator = std::move(locator);
}

void SearchPane::search()
{
    m_query = m_field->text().simplified();
    if (m_query.isEmpty()) {
        m_model->clear();
        m_status->clear();
        return;
    }
    if (!m_index) {
        m_model->clear();
        m_status->setText(tr("Building the search index…"));
        // Asked once; the answer may come now or later.
        if (!m_waiting) {
            m_waiting = true;
            emit searchIndexWanted();
        }
        return;
    }
    run();
}

void SearchPane::run()
{
    if (m_query.isEmpty() || !m_index)
        return;
    QVector<SearchIndex::Hit> hits = m_index->search(m_query);
    QStringList locations;
    locations.reserve(hits.size());
    for (const SearchIndex::Hit &hit : hits) {
        const QString location = m_locator ? m_locator(hit.path) : QString();
        locations.append(location.isEmpty() ? hit.path : location);
    }
    m_model->setHits(std::move(hits), std::move(locations));
    m_status->setText(m_model->rowCount() == 0 ? tr("No topics found.")
                                               : tr("%n topic(s) found.", nullptr,
                                                    m_model->rowCount()));
    if (m_model->rowCount() > 0)
        m_results->setCurrentIndex(m_model->index(0, 0));
}

void SearchPane::openHit(const QModelIndex &index)
{
    const QString path = index.data(SearchResultsModel::PathRole).toString();
    if (!path.isEmpty())
        emit topicActivated(path, m_query);
}

} // namespace tshelp
