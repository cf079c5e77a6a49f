#include "contentspane.h"

#include "contentsmodel.h"

#include <QApplication>
#include <QTreeView>
#include <QVBoxLayout>

namespace tshelp {

ContentsPane::ContentsPane(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_view = new QTreeView(this);
    m_view->setObjectName(QStringLiteral("HelpContents"));
    m_view->setHeaderHidden(true);
    // One row height for all: the view then lays out 100 000 rows without measuring each.
    m_view->setUniformRowHeights(true);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(m_view);
    setEntries({});

    connect(m_view, &QTreeView::clicked, this, [this](const QModelIndex &index) {
        open(index, true);
    });
    connect(m_view, &QTreeView::activated, this, [this](const QModelIndex &index) {
        open(index, false);
    });
    connect(m_view, &QTreeView::expanded, this,
            [this](const QModelIndex &index) { m_model->setExpanded(index, true); });
    connect(m_view, &QTreeView::collapsed, this,
            [this](const QModelIndex &index) { m_model->setExpanded(index, false); });
}

ContentsPane::~ContentsPane() = default;

void ContentsPane::setEntries(QVector<SitemapEntry> entries)
{
    ContentsModel *old = m_model;
    m_model = new ContentsModel(std::move(entries), this);
    m_view->setModel(m_model);
    delete old;
}

bool ContentsPane::isEmpty() const
{
    return m_model->rowCount() == 0;
}

void ContentsPane::open(const QModelIndex &index, bool clicked)
{
    if (!clicked && index == m_lastClicked && m_clickTime.isValid()
        && m_clickTime.elapsed() <= QApplication::doubleClickInterval())
        return;
    if (clicked) {
        m_lastClicked = index;
        m_clickTime.start();
        // A book opens when its title is clicked, as well as by its branch.
        if (m_model->hasChildren(index))
            m_view->expand(index);
    }
    const QString local = index.data(ContentsModel::LocalRole).toString();
    if (!local.isEmpty())
        emit topicActivated(local);
}

void ContentsPane::showTopic(const QString &storedName)
{
    const QModelIndex index = m_model->indexOfTopic(storedName);
    if (!index.isValid()) {
        m_view->setCurrentIndex({});
        return;
    }
    const QSignalBlocker blocker(m_view);
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent()) {
        m_view->expand(parent);
        m_model->setExpanded(parent, true); // (the blocker holds the view's signal back)
    }
    m_view->setCurrentIndex(index);
    m_view->scrollTo(index);
}

QString ContentsPane::locationOf(const QString &storedName) const
{
    return m_model->path(m_model->indexOfTopic(storedName)).join(QStringLiteral(" \u203a "));
}

} // namespace tshelp

namespace tshelp {

namespace {

void CollectTopics(const SitemapEntry &entry, int depth, int limit, QStringList &topics)
{
    if (depth > kSitemapMaxDepth || topics.size() >= limit)
        return;
    if (!entry.targets.isEmpty() && !entry.targets.first().local.isEmpty()
        && !topics.contains(entry.targets.first().local))
        topics << entry.targets.first().local;
    for (const SitemapEntry &child : entry.children)
        CollectTopics(child, depth + 1, limit, topics);
}

} // namespace

QStringList ContentsPane::currentTopics(int limit) const
{
    QStringList topics;
    if (const SitemapEntry *entry = m_model->entry(m_view->currentIndex()))
        CollectTopics(*entry, 0, limit, topics);
    return topics;
}

bool ContentsPane::currentIsHeading() const
{
    const SitemapEntry *entry = m_model->entry(m_view->currentIndex());
    return entry && !entry->children.isEmpty();
}

} // namespace tshelp
