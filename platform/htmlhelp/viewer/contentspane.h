// The Contents tab of the help viewer: the file's books and pages as a tree.
#pragma once
#include "sitemap.h"

#include <QElapsedTimer>
#include <QPersistentModelIndex>
#include <QWidget>

class QTreeView;

namespace tshelp {

class ContentsModel;

class ContentsPane : public QWidget
{
    Q_OBJECT
public:
    explicit ContentsPane(QWidget *parent = nullptr);
    ~ContentsPane() override;

    // Shows these entries (replacing any shown before).
    void setEntries(QVector<SitemapEntry> entries);
    bool isEmpty() const;

    // Makes the entry of the page shown current, opening the books above it; nothing is current
    // when the contents do not list the page. Emits nothing.
    void showTopic(const QString &storedName);

    // The pages of the current entry and of every entry below it, in reading order (at most `limit`);
    // empty when no entry is current.
    QStringList currentTopics(int limit = 500) const;
    // Whether the current entry has entries below it (a heading).
    bool currentIsHeading() const;

    // Where the page stands in the contents, "Book › Chapter › Page"; empty when it is not listed.
    QString locationOf(const QString &storedName) const;

    // The tree ("HelpContents") and its model.
    QTreeView *view() const { return m_view; }
    ContentsModel *model() const { return m_model; }

signals:
    // The user chose an entry with a page (a click, Enter or a double click): its "Local".
    void topicActivated(const QString &local);

private:
    void open(const QModelIndex &index, bool clicked);

    QTreeView *m_view = nullptr;
    ContentsModel *m_model = nullptr;
    // A double click also clicks: the page it opens is not opened twice.
    QPersistentModelIndex m_lastClicked;
    QElapsedTimer m_clickTime;
};

} // namespace tshelp
