// The help viewer window: a help file's contents, index and search beside its pages.
#pragma once
#include <QMainWindow>
#include <QPointer>
#include <QUrl>

#include <memory>
#include <vector>

class QAction;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class QWebEngineView;

namespace tshelp {

class HelpDocument;
struct SitemapEntry;
struct SitemapTarget;

class HelpViewer : public QMainWindow
{
    Q_OBJECT
    // The help file as it was asked for, and the stored name of the page shown ("/page.htm"; the
    // default topic until a page is shown).
    Q_PROPERTY(QString file READ file)
    Q_PROPERTY(QString topic READ topic)
public:
    HelpViewer(std::shared_ptr<HelpDocument> document, const QString &file, QWidget *owner);
    ~HelpViewer() override;

    QString file() const { return m_file; }
    QString topic() const;
    HelpDocument *document() const { return m_document.get(); }

    // Shows a page of the viewer's file; the default topic for an empty one.
    void showTopic(const QString &topic);
    // Shows a page of any help file; false when that file cannot be opened.
    bool showLink(const QString &file, const QString &topic);

    QWebEngineView *view() const { return m_view; }

signals:
    // A page finished loading (true) or failed (false).
    void pageLoaded(bool ok);

private:
    void buildContents();
    void buildIndex();
    void filterIndex(const QString &text);
    void openIndexItem(QListWidgetItem *item);
    void runSearch();
    void chooseTopic(const QString &keyword, const QVector<SitemapTarget> &targets);
    void openTarget(const QString &local);
    void syncContents(const QUrl &url);
    void updateActions();
    void find(bool backward);
    void zoomBy(double step);
    void addContentsItems(QTreeWidgetItem *parent, const QVector<SitemapEntry> &entries, int depth);

    std::shared_ptr<HelpDocument> m_document;
    // The file of the page shown, when another than the viewer's own.
    std::shared_ptr<HelpDocument> m_shown;
    QString m_file;
    QWebEngineView *m_view = nullptr;
    QTabWidget *m_tabs = nullptr;
    QTreeWidget *m_contents = nullptr;
    QLineEdit *m_indexFilter = nullptr;
    QListWidget *m_indexList = nullptr;
    QLineEdit *m_searchField = nullptr;
    QListWidget *m_searchResults = nullptr;
    QLineEdit *m_findField = nullptr;
    QAction *m_back = nullptr;
    QAction *m_forward = nullptr;
    bool m_indexBuilt = false;
};

} // namespace tshelp
