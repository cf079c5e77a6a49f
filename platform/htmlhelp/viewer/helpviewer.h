// The help viewer window: a help file's contents, index and search beside its pages. The three
// panes are widgets of their own over models; the window joins them to the document and the page.
#pragma once
#include <QMainWindow>
#include <QPointer>
#include <QUrl>

#include <functional>
#include <memory>
#include <vector>

class QAction;
class QActionGroup;
class QLineEdit;
class QPrinter;
class QSplitter;
class QTabWidget;
class QWebEnginePage;
class QWebEngineView;

namespace tshelp {

class ContentsPane;
class FavoritesPane;
class HelpDocument;
class IndexPane;
class SearchPane;

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

    // Writes the page shown, or with `heading` the current contents entry's page and every page
    // below it, to a PDF file at `path` through the engine's printing (pdfSaved() tells how it went).
    // `printed` chooses the printer's path (QWebEnginePage::print onto a PDF printer) over the
    // engine's own PDF writer (printToPdf): both are what the Print and Save as PDF commands use.
    Q_INVOKABLE void writePdf(const QString &path, bool heading, bool printed);

    // The character sets offered: codec names, the first (empty) for the file's own.
    static QList<QByteArray> characterSets();

signals:
    // A page finished loading (true) or failed (false).
    void pageLoaded(bool ok);
    // writePdf() finished.
    void pdfSaved(const QString &path, bool ok);

private:
    void print();
    void saveAsPdf();
    // Makes a page holding `topics` one after the other, each from a new sheet, then calls `ready`
    // with it (null when it could not be made); the page is deleted after `ready`.
    void composeTopics(const QStringList &topics, std::function<void(QWebEnginePage *)> ready);
    void printPage(QWebEnginePage *page, QPrinter *printer, std::function<void(bool)> done);
    void chooseCharacterSet(const QByteArray &name);
    void updateFavoriteTopic();
    QString favoriteTarget() const;
    void loadIndex();
    void openTarget(const QString &local);
    void syncContents(const QUrl &url);
    void updateActions();
    void find(bool backward);
    void zoomBy(double step);

    std::shared_ptr<HelpDocument> m_document;
    // The file of the page shown, when another than the viewer's own.
    std::shared_ptr<HelpDocument> m_shown;
    QString m_file;
    QWebEngineView *m_view = nullptr;
    QTabWidget *m_tabs = nullptr;
    ContentsPane *m_contents = nullptr;
    IndexPane *m_index = nullptr;
    SearchPane *m_search = nullptr;
    FavoritesPane *m_favorites = nullptr;
    QSplitter *m_splitter = nullptr;
    QAction *m_toggleNavigation = nullptr;
    QActionGroup *m_characterSets = nullptr;
    QLineEdit *m_findField = nullptr;
    QAction *m_back = nullptr;
    QAction *m_forward = nullptr;
};

} // namespace tshelp
