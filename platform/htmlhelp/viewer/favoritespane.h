// The Favorites tab of the help viewer: the current topic under a title the user may change, Add, and
// the topics kept, which open by double click or Enter and can be removed or renamed.
#pragma once
#include "helpsettings.h"

#include <QWidget>

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace tshelp {

class FavoritesPane : public QWidget
{
    Q_OBJECT
public:
    explicit FavoritesPane(QWidget *parent = nullptr);

    // The topic shown now and its title (offered, editable, for Add).
    void setCurrentTopic(const QString &title, const QString &topic);
    QString currentTopic() const { return m_currentTopic; }

    void setFavorites(const QVector<Favorite> &favorites);
    QVector<Favorite> favorites() const;

    // Adds the current topic under the title in the field (a topic kept already is not added twice:
    // its entry takes the new title).
    void addCurrent();
    void removeSelected();
    void renameSelected();
    void openSelected();

    // The title field ("HelpFavoritesTitle"), the list ("HelpFavoritesList").
    QLineEdit *titleField() const { return m_title; }
    QListWidget *list() const { return m_list; }

signals:
    void topicActivated(const QString &topic);
    // The user added, removed or renamed a favorite.
    void favoritesChanged(const QVector<Favorite> &favorites);

private:
    void openItem(QListWidgetItem *item);
    void updateButtons();

    QLineEdit *m_title = nullptr;
    QPushButton *m_add = nullptr;
    QListWidget *m_list = nullptr;
    QPushButton *m_remove = nullptr;
    QPushButton *m_rename = nullptr;
    QPushButton *m_display = nullptr;
    QString m_currentTopic;
    bool m_filling = false;
};

} // namespace tshelp
