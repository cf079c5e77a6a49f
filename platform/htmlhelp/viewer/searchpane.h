// The Search tab of the help viewer: the words to look for, List Topics, and the pages found with
// their titles and locations.
#pragma once
#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;
class QModelIndex;
class QPushButton;
class QTreeView;

namespace tshelp {

class SearchIndex;
class SearchResultsModel;

class SearchPane : public QWidget
{
    Q_OBJECT
public:
    explicit SearchPane(QWidget *parent = nullptr);
    ~SearchPane() override;

    // The index that searches run on; it must outlive the pane or be taken away (null) first. Until
    // the pane has one, a search shows that the index is being built, asks for it once with
    // searchIndexWanted(), and runs when it comes.
    void setSearchIndex(const SearchIndex *index);
    const SearchIndex *searchIndex() const { return m_index; }

    // Where a page stands, shown beside its title; by default its stored name.
    void setLocator(std::function<QString(const QString &path)> locator);

    // Searches for the words in the field (what Enter and List Topics do).
    void search();

    // The field ("HelpSearchField"), the button ("HelpSearchButton"), the results
    // ("HelpSearchResults"), the line that tells the state ("HelpSearchStatus").
    QLineEdit *field() const { return m_field; }
    QTreeView *results() const { return m_results; }
    SearchResultsModel *model() const { return m_model; }
    QLabel *status() const { return m_status; }

signals:
    // A search waits for the index.
    void searchIndexWanted();
    // The user opened a hit: the page's stored name and the words searched for.
    void topicActivated(const QString &path, const QString &words);

private:
    void run();
    void openHit(const QModelIndex &index);

    QLineEdit *m_field = nullptr;
    QPushButton *m_button = nullptr;
    QLabel *m_status = nullptr;
    QTreeView *m_results = nullptr;
    SearchResultsModel *m_model = nullptr;
    const SearchIndex *m_index = nullptr;
    std::function<QString(const QString &)> m_locator;
    bool m_waiting = false;
    QString m_query; // of the results shown, or of the search waiting for the index
};

} // namespace tshelp
