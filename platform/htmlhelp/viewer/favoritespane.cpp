#include "favoritespane.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tshelp {

namespace {

constexpr int kTopicRole = Qt::UserRole;

} // namespace

FavoritesPane::FavoritesPane(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("HelpFavorites"));
    // (for queued connections and signal spies, under the name the signal is declared with)
    qRegisterMetaType<QVector<Favorite>>("QVector<Favorite>");
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(tr("Current topic:"), this);
    layout->addWidget(label);
    m_title = new QLineEdit(this);
    m_title->setObjectName(QStringLiteral("HelpFavoritesTitle"));
    label->setBuddy(m_title);
    layout->addWidget(m_title);
    m_add = new QPushButton(tr("&Add"), this);
    m_add->setObjectName(QStringLiteral("HelpFavoritesAdd"));
    layout->addWidget(m_add, 0, Qt::AlignRight);
    auto *topicsLabel = new QLabel(tr("Topics:"), this);
    layout->addWidget(topicsLabel);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("HelpFavoritesList"));
    m_list->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    topicsLabel->setBuddy(m_list);
    layout->addWidget(m_list);
    auto *buttons = new QHBoxLayout;
    m_remove = new QPushButton(tr("&Remove"), this);
    m_remove->setObjectName(QStringLiteral("HelpFavoritesRemove"));
    m_rename = new QPushButton(tr("Re&name"), this);
    m_rename->setObjectName(QStringLiteral("HelpFavoritesRename"));
    m_display = new QPushButton(tr("&Display"), this);
    m_display->setObjectName(QStringLiteral("HelpFavoritesDisplay"));
    buttons->addWidget(m_remove);
    buttons->addWidget(m_rename);
    buttons->addStretch();
    buttons->addWidget(m_display);
    layout->addLayout(buttons);

    connect(m_add, &QPushButton::clicked, this, &FavoritesPane::addCurrent);
    connect(m_title, &QLineEdit::returnPressed, this, &FavoritesPane::addCurrent);
    connect(m_remove, &QPushButton::clicked, this, &FavoritesPane::removeSelected);
    connect(m_rename, &QPushButton::clicked, this, &FavoritesPane::renameSelected);
    connect(m_display, &QPushButton::clicked, this, &FavoritesPane::openSelected);
    connect(m_list, &QListWidget::itemActivated, this, &FavoritesPane::openItem);
    connect(m_list, &QListWidget::currentItemChanged, this, &FavoritesPane::updateButtons);
    connect(m_list, &QListWidget::itemChanged, this, [this](QListWidgetItem *item) {
        if (m_filling)
            return;
        // A title cleared while renaming keeps the former one.
        if (item->text().trimmed().isEmpty()) {
            const QSignalBlocker blocker(m_list);
            item->setText(item->data(kTopicRole + 1).toString());
        }
        item->setData(kTopicRole + 1, item->text());
        emit favoritesChanged(favorites());
    });
    updateButtons();
}

void FavoritesPane::setCurrentTopic(const QString &title, const QString &topic)
{
    m_currentTopic = topic;
    m_title->setText(title);
    updateButtons();
}

void FavoritesPane::setFavorites(const QVector<Favorite> &favorites)
{
    m_filling = true;
    m_list->clear();
    for (const Favorite &favorite : favorites) {
        auto *item = new QListWidgetItem(favorite.title.isEmpty() ? favorite.topic : favorite.title,
                                         m_list);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        item->setData(kTopicRole, favorite.topic);
        item->setData(kTopicRole + 1, item->text());
        item->setToolTip(favorite.topic);
    }
    m_filling = false;
    updateButtons();
}

QVector<Favorite> FavoritesPane::favorites() const
{
    QVector<Favorite> list;
    for (int i = 0; i < m_list->count(); ++i)
        list.push_back({m_list->item(i)->text(), m_list->item(i)->data(kTopicRole).toString()});
    return list;
}

void FavoritesPane::addCurrent()
{
    if (m_currentTopic.isEmpty())
        return;
    const QString title = m_title->text().trimmed().isEmpty() ? m_currentTopic : m_title->text().trimmed();
    QVector<Favorite> list = favorites();
    int at = -1;
    for (int i = 0; i < list.size(); ++i) {
        if (list.at(i).topic == m_currentTopic)
            at = i;
    }
    if (at >= 0)
        list[at].title = title;
    else
        list.push_back({title, m_currentTopic});
    setFavorites(list);
    m_list->setCurrentRow(at >= 0 ? at : list.size() - 1);
    emit favoritesChanged(list);
}

void FavoritesPane::removeSelected()
{
    const int row = m_list->currentRow();
    if (row < 0)
        return;
    delete m_list->takeItem(row);
    updateButtons();
    emit favoritesChanged(favorites());
}

void FavoritesPane::renameSelected()
{
    if (QListWidgetItem *item = m_list->currentItem())
        m_list->editItem(item);
}

void FavoritesPane::openSelected()
{
    openItem(m_list->currentItem());
}

void FavoritesPane::openItem(QListWidgetItem *item)
{
    if (item)
        emit topicActivated(item->data(kTopicRole).toString());
}

void FavoritesPane::updateButtons()
{
    const bool selected = m_list->currentItem() != nullptr;
    m_remove->setEnabled(selected);
    m_rename->setEnabled(selected);
    m_display->setEnabled(selected);
    m_add->setEnabled(!m_currentTopic.isEmpty());
}

} // namespace tshelp
