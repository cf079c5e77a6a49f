#include "helpviewer.h"

#include "contentspane.h"
#include "favoritespane.h"
#include "helpdocument.h"
#include "helplink.h"
#include "helppage.h"
#include "helpprofile.h"
#include "indexpane.h"
#include "searchpane.h"
#include "helpsettings.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QTextCodec>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QLineEdit>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QWebEngineHistory>
#include <QWebEngineView>

namespace tshelp {

HelpViewer::HelpViewer(std::shared_ptr<HelpDocument> document, const QString &file, QWidget *owner)
    : QMainWindow(owner, Qt::Window)
    , m_document(std::move(document))
    , m_file(file)
{
    setObjectName(QStringLiteral("HtmlHelpViewer"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(m_document->title());
    resize(900, 620);

    m_view = new QWebEngineView(this);
    m_view->setObjectName(QStringLiteral("HelpPageView"));
    m_view->setPage(new HelpPage(HelpProfile(), m_view));

    // The character set the user chose for this file last time.
    m_document->setCharacterSet(HelpSettings::characterSet(m_document->file().path()));

    // Navigation pane: contents, index, search, favorites.
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("HelpNavigation"));
    // Four tabs: all of them in sight with their whole titles (the pane is no narrower than they).
    m_tabs->setUsesScrollButtons(false);
    m_tabs->setElideMode(Qt::ElideNone);

    m_contents = new ContentsPane(m_tabs);
    m_contents->setEntries(m_document->contents());
    m_tabs->addTab(m_contents, tr("Contents"));
    m_index = new IndexPane(m_tabs);
    m_tabs->addTab(m_index, tr("Index"));
    m_search = new SearchPane(m_tabs);
    m_search->setLocator([this](const QString &path) { return m_contents->locationOf(path); });
    m_tabs->addTab(m_search, tr("Search"));
    m_favorites = new FavoritesPane(m_tabs);
    m_favorites->setFavorites(HelpSettings::favorites(m_document->file().path()));
    m_tabs->addTab(m_favorites, tr("Favorites"));
    // A file without contents opens on its index; one without either on its search.
    if (m_contents->isEmpty()) {
        m_tabs->setTabVisible(0, false);
        m_tabs->setCurrentWidget(m_document->file().system().indexFile.isEmpty()
                                     ? static_cast<QWidget *>(m_search)
                                     : m_index);
    }
    if (m_document->file().system().indexFile.isEmpty())
        m_tabs->setTabVisible(1, false);
    loadIndex();

    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName(QStringLiteral("HelpSplitter"));
    m_splitter->addWidget(m_tabs);
    m_splitter->addWidget(m_view);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({330, 570});
    m_splitter->restoreState(HelpSettings::splitterState());
    m_tabs->setVisible(HelpSettings::navigationVisible());
    setCentralWidget(m_splitter);

    // Tool bar: Hide/Show, Back, Forward, Home, Print, find in page, zoom, character set.
    QToolBar *bar = addToolBar(tr("Help"));
    bar->setObjectName(QStringLiteral("HelpToolBar"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toggleNavigation = bar->addAction(QString());
    m_toggleNavigation->setObjectName(QStringLiteral("HelpToggleNavigation"));
    m_toggleNavigation->setCheckable(true);
    const auto showToggleState = [this](bool shown) {
        m_toggleNavigation->setText(shown ? tr("Hide") : tr("Show"));
        m_toggleNavigation->setIcon(style()->standardIcon(shown ? QStyle::SP_ArrowLeft
                                                                : QStyle::SP_ArrowRight));
        m_toggleNavigation->setToolTip(shown ? tr("Hide the navigation pane")
                                             : tr("Show the navigation pane"));
    };
    m_toggleNavigation->setChecked(m_tabs->isVisibleTo(this));
    showToggleState(m_toggleNavigation->isChecked());
    m_back = bar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), tr("Back"));
    m_back->setObjectName(QStringLiteral("HelpBack"));
    m_back->setShortcut(QKeySequence::Back);
    m_forward = bar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), tr("Forward"));
    m_forward->setObjectName(QStringLiteral("HelpForward"));
    m_forward->setShortcut(QKeySequence::Forward);
    QAction *home = bar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), tr("Home"));
    home->setObjectName(QStringLiteral("HelpHome"));
    QAction *printAction = bar->addAction(
        QIcon::fromTheme(QStringLiteral("document-print"), style()->standardIcon(QStyle::SP_FileIcon)),
        tr("Print"));
    printAction->setObjectName(QStringLiteral("HelpPrint"));
    printAction->setShortcut(QKeySequence::Print);
    QAction *pdfAction = new QAction(tr("Save as PDF..."), this);
    pdfAction->setObjectName(QStringLiteral("HelpSavePdf"));
    addAction(pdfAction);
    bar->addSeparator();
    QAction *zoomIn = bar->addAction(tr("Zoom In"));
    zoomIn->setObjectName(QStringLiteral("HelpZoomIn"));
    zoomIn->setShortcut(QKeySequence::ZoomIn);
    QAction *zoomOut = bar->addAction(tr("Zoom Out"));
    zoomOut->setObjectName(QStringLiteral("HelpZoomOut"));
    zoomOut->setShortcut(QKeySequence::ZoomOut);
    QAction *zoomReset = new QAction(tr("Actual Size"), this);
    zoomReset->setObjectName(QStringLiteral("HelpZoomReset"));
    zoomReset->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    addAction(zoomReset);
    bar->addSeparator();
    m_findField = new QLineEdit(bar);
    m_findField->setObjectName(QStringLiteral("HelpFindField"));
    m_findField->setPlaceholderText(tr("Find in page"));
    m_findField->setClearButtonEnabled(true);
    m_findField->setMaximumWidth(200);
    bar->addWidget(m_findField);
    QAction *findNext = bar->addAction(style()->standardIcon(QStyle::SP_ArrowDown), tr("Next"));
    findNext->setObjectName(QStringLiteral("HelpFindNext"));
    findNext->setShortcut(QKeySequence::FindNext);
    QAction *findPrevious
        = bar->addAction(style()->standardIcon(QStyle::SP_ArrowUp), tr("Previous"));
    findPrevious->setObjectName(QStringLiteral("HelpFindPrevious"));
    findPrevious->setShortcut(QKeySequence::FindPrevious);
    QAction *findAction = new QAction(tr("Find"), this);
    findAction->setShortcut(QKeySequence::Find);
    addAction(findAction);
    bar->addSeparator();
    // Character set: the file's own, or one the user picks when the file's language record is wrong.
    auto *encoding = new QToolButton(bar);
    encoding->setObjectName(QStringLiteral("HelpEncoding"));
    encoding->setText(tr("Encoding"));
    encoding->setPopupMode(QToolButton::InstantPopup);
    encoding->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto *encodingMenu = new QMenu(encoding);
    encodingMenu->setObjectName(QStringLiteral("HelpEncodingMenu"));
    encodingMenu->addAction(pdfAction); // (the tool bar has no room of its own for it)
    encodingMenu->addSeparator();
    m_characterSets = new QActionGroup(this);
    m_characterSets->setExclusive(true);
    const QByteArray chosen = m_document->characterSet();
    for (const QByteArray &name : characterSets()) {
        QAction *choice = encodingMenu->addAction(name.isEmpty() ? tr("Automatic") : QString::fromLatin1(name));
        choice->setObjectName(QStringLiteral("HelpEncoding-")
                              + (name.isEmpty() ? QStringLiteral("auto") : QString::fromLatin1(name)));
        choice->setCheckable(true);
        choice->setChecked(name == chosen);
        choice->setData(name);
        m_characterSets->addAction(choice);
    }
    encoding->setMenu(encodingMenu);
    bar->addWidget(encoding);

    connect(m_toggleNavigation, &QAction::toggled, this, [this, showToggleState](bool shown) {
        m_tabs->setVisible(shown);
        showToggleState(shown);
        HelpSettings::setNavigationVisible(shown);
    });
    connect(m_splitter, &QSplitter::splitterMoved, this,
            [this] { HelpSettings::setSplitterState(m_splitter->saveState()); });
    connect(printAction, &QAction::triggered, this, &HelpViewer::print);
    connect(pdfAction, &QAction::triggered, this, &HelpViewer::saveAsPdf);
    connect(m_characterSets, &QActionGroup::triggered, this,
            [this](QAction *choice) { chooseCharacterSet(choice->data().toByteArray()); });
    connect(m_favorites, &FavoritesPane::topicActivated, this, &HelpViewer::openTarget);
    connect(m_favorites, &FavoritesPane::favoritesChanged, this, [this](const QVector<Favorite> &list) {
        HelpSettings::setFavorites(m_document->file().path(), list);
    });
    connect(m_view, &QWebEngineView::titleChanged, this, &HelpViewer::updateFavoriteTopic);
    connect(m_back, &QAction::triggered, this, [this] { m_view->history()->back(); });
    connect(m_forward, &QAction::triggered, this, [this] { m_view->history()->forward(); });
    connect(home, &QAction::triggered, this, [this] { showTopic(QString()); });
    connect(zoomIn, &QAction::triggered, this, [this] { zoomBy(0.1); });
    connect(zoomOut, &QAction::triggered, this, [this] { zoomBy(-0.1); });
    connect(zoomReset, &QAction::triggered, this, [this] { m_view->setZoomFactor(1.0); });
    connect(findAction, &QAction::triggered, this, [this] {
        m_findField->setFocus();
        m_findField->selectAll();
    });
    connect(m_findField, &QLineEdit::returnPressed, this, [this] { find(false); });
    connect(m_findField, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (text.isEmpty())
            m_view->findText(QString()); // clears the highlight
    });
    connect(findNext, &QAction::triggered, this, [this] { find(false); });
    connect(findPrevious, &QAction::triggered, this, [this] { find(true); });

    connect(m_view, &QWebEngineView::urlChanged, this, [this](const QUrl &url) {
        // The file of the page shown stays open while it is shown; a file only linked to closes
        // when the viewer leaves it.
        m_shown = url.scheme() == QLatin1String(kHelpScheme) ? HelpDocument::find(url.host())
                                                              : nullptr;
        syncContents(url);
        updateActions();
        updateFavoriteTopic();
    });
    connect(m_view, &QWebEngineView::loadFinished, this, [this](bool ok) {
        updateActions();
        emit pageLoaded(ok);
    });
    connect(m_contents, &ContentsPane::topicActivated, this, &HelpViewer::openTarget);
    connect(m_index, &IndexPane::topicActivated, this, &HelpViewer::openTarget);
    connect(m_tabs, &QTabWidget::currentChanged, this, &HelpViewer::loadIndex);
    // The index is built on the first search. It is asked for through the pane so that it can come
    // later.
    connect(m_search, &SearchPane::searchIndexWanted, this, [this] {
        // Built on a reading thread; the window keeps working meanwhile.
        m_document->whenSearchIndexReady(m_search,
                                         [this] { m_search->setSearchIndex(&m_document->searchIndex()); });
    });
    connect(m_search, &SearchPane::topicActivated, this,
            [this](const QString &path, const QString &words) {
                openTarget(path);
                // Show where the words are, as the search found them.
                if (!words.isEmpty())
                    m_findField->setText(words.section(QLatin1Char(' '), 0, 0));
                auto once = std::make_shared<QMetaObject::Connection>();
                *once = connect(m_view, &QWebEngineView::loadFinished, this, [this, once] {
                    disconnect(*once);
                    find(false);
                });
            });

    updateActions();
}

HelpViewer::~HelpViewer()
{
    if (m_tabs->isVisibleTo(this))
        HelpSettings::setSplitterState(m_splitter->saveState());
    // The page goes before the view that it draws into.
    delete m_view->page();
}

QString HelpViewer::topic() const
{
    const QString shown = m_document->topicOf(m_view->url());
    return shown.isEmpty() ? m_document->file().system().defaultTopic : shown;
}

void HelpViewer::showTopic(const QString &topic)
{
    m_view->setUrl(m_document->urlFor(topic));
}

bool HelpViewer::showLink(const QString &file, const QString &topic)
{
    std::shared_ptr<HelpDocument> target = HelpDocument::open(file);
    if (!target)
        return false;
    m_view->setUrl(target->urlFor(topic));
    return true;
}

void HelpViewer::openTarget(const QString &local)
{
    if (HasHelpLinkPrefix(local) || local.contains(QLatin1String("::"))) {
        const HelpLink link = ParseHelpLink(local);
        showLink(m_document->linkedFile(link.file), link.topic);
        return;
    }
    showTopic(local);
}

// The keywords are read when the Index tab is first shown.
void HelpViewer::loadIndex()
{
    if (m_tabs->currentWidget() == m_index && !m_index->hasEntries())
        m_index->setEntries(m_document->index());
}

// The contents follow the page: the entry of the page shown becomes current, its books opened.
void HelpViewer::syncContents(const QUrl &url)
{
    const QString shown = m_document->topicOf(url);
    if (!shown.isEmpty())
        m_contents->showTopic(shown);
}

void HelpViewer::updateActions()
{
    m_back->setEnabled(m_view->history()->canGoBack());
    m_forward->setEnabled(m_view->history()->canGoForward());
}

void HelpViewer::find(bool backward)
{
    const QString text = m_findField->text();
    if (text.isEmpty())
        return;
    QWebEnginePage::FindFlags flags;
    if (backward)
        flags |= QWebEnginePage::FindBackward;
    QPointer<QLineEdit> field = m_findField;
    m_view->findText(text, flags, [field](bool found) {
        if (!field)
            return;
        field->setStyleSheet(found ? QString() : QStringLiteral("QLineEdit { background: #ffd0d0; }"));
        field->setProperty("found", found);
    });
}

void HelpViewer::zoomBy(double step)
{
    m_view->setZoomFactor(qBound(0.25, m_view->zoomFactor() + step, 5.0));
}

} // namespace tshelp

namespace tshelp {

namespace {

// Joins the pages of a contents heading into the page it runs in: each page's body in a section of its
// own starting a new sheet, its style sheets brought along, its addresses made absolute, its scripts
// left out. The title says when it is done.
const char kComposeScript[] = R"(
(function (topics) {
  function load(url) {
    return new Promise(function (resolve) {
      var x = new XMLHttpRequest();
      x.open('GET', url);
      x.responseType = 'document';
      x.onload = function () { resolve(x.response); };
      x.onerror = function () { resolve(null); };
      x.send();
    });
  }
  var head = document.head, body = document.body;
  while (body.firstChild) body.removeChild(body.firstChild);
  var style = document.createElement('style');
  style.textContent = 'section.tshelp-topic + section.tshelp-topic { break-before: page; }';
  head.appendChild(style);
  var chain = Promise.resolve();
  topics.forEach(function (url) {
    chain = chain.then(function () { return load(url); }).then(function (doc) {
      if (!doc || !doc.body) return;
      doc.querySelectorAll('script').forEach(function (s) { s.remove(); });
      ['src', 'href'].forEach(function (attribute) {
        doc.querySelectorAll('[' + attribute + ']').forEach(function (e) {
          try { e.setAttribute(attribute, new URL(e.getAttribute(attribute), url).href); } catch (err) {}
        });
      });
      doc.querySelectorAll('link[rel~=stylesheet], style').forEach(function (s) {
        head.appendChild(document.importNode(s, true));
      });
      var section = document.createElement('section');
      section.className = 'tshelp-topic';
      Array.prototype.forEach.call(doc.body.childNodes, function (n) {
        section.appendChild(document.importNode(n, true));
      });
      body.appendChild(section);
    });
  });
  chain.then(function () {
    // Pictures first: the sheets are laid out once they are in.
    var pending = Array.prototype.filter.call(document.images, function (i) { return !i.complete; });
    return Promise.all(pending.map(function (i) {
      return new Promise(function (r) { i.onload = i.onerror = r; });
    }));
  }).then(function () { document.title = 'tshelp-composed'; });
})
)";

} // namespace

QList<QByteArray> HelpViewer::characterSets()
{
    // The file's own, the Windows code pages of help files, and UTF-8: those this system's codecs know.
    static const QList<QByteArray> sets = [] {
        QList<QByteArray> list{QByteArray()};
        for (const char *name :
             {"windows-1250", "windows-1251", "windows-1252", "windows-1253", "windows-1254",
              "windows-1255", "windows-1256", "windows-1257", "windows-1258", "windows-874",
              "Shift_JIS", "GBK", "windows-949", "Big5", "UTF-8"}) {
            if (QTextCodec::codecForName(name))
                list << QByteArray(name);
        }
        return list;
    }();
    return sets;
}

void HelpViewer::chooseCharacterSet(const QByteArray &name)
{
    if (name == m_document->characterSet())
        return;
    m_document->setCharacterSet(name);
    HelpSettings::setCharacterSet(m_document->file().path(), name);
    // Contents, index and search read again in it; the page too.
    m_contents->setEntries(m_document->contents());
    syncContents(m_view->url());
    if (m_index->hasEntries())
        m_index->setEntries(m_document->index());
    m_search->setSearchIndex(nullptr);
    m_view->triggerPageAction(QWebEnginePage::ReloadAndBypassCache);
}

QString HelpViewer::favoriteTarget() const
{
    const QUrl url = m_view->url();
    const QString own = m_document->topicOf(url);
    QString target = own;
    if (own.isEmpty()) {
        // A page of another help file: kept with that file's name.
        const std::shared_ptr<HelpDocument> other
            = url.scheme() == QLatin1String(kHelpScheme) ? HelpDocument::find(url.host()) : nullptr;
        if (!other)
            return {};
        target = other->file().path() + QStringLiteral("::") + other->topicOf(url);
    }
    if (!url.fragment().isEmpty())
        target += QLatin1Char('#') + url.fragment();
    return target;
}

void HelpViewer::updateFavoriteTopic()
{
    const QString target = favoriteTarget();
    const QString title = m_view->title();
    m_favorites->setCurrentTopic(title.isEmpty() || title.startsWith(QLatin1String("tshelp:")) ? target : title,
                                 target);
}

void HelpViewer::composeTopics(const QStringList &topics, std::function<void(QWebEnginePage *)> ready)
{
    if (topics.isEmpty()) {
        ready(nullptr);
        return;
    }
    QStringList urls;
    for (const QString &topic : topics) {
        if (HasHelpLinkPrefix(topic) || topic.contains(QLatin1String("::")))
            continue; // (pages of other files are not joined in)
        urls << m_document->urlFor(topic).toString(QUrl::FullyEncoded);
    }
    if (urls.isEmpty()) {
        ready(nullptr);
        return;
    }
    auto *page = new HelpPage(HelpProfile(), this);
    auto finish = std::make_shared<std::function<void(QWebEnginePage *)>>(std::move(ready));
    connect(page, &QWebEnginePage::titleChanged, page, [page, finish](const QString &title) {
        if (title != QLatin1String("tshelp-composed") || !*finish)
            return;
        const auto done = std::exchange(*finish, {});
        done(page);
    });
    connect(page, &QWebEnginePage::loadFinished, page, [page, urls, finish](bool ok) {
        if (!*finish)
            return;
        if (!ok) {
            const auto done = std::exchange(*finish, {});
            done(nullptr);
            page->deleteLater();
            return;
        }
        QString list;
        for (const QString &url : urls)
            list += (list.isEmpty() ? QString() : QStringLiteral(",")) + QLatin1Char('"') + url + QLatin1Char('"');
        page->runJavaScript(QString::fromLatin1(kComposeScript) + QStringLiteral("([") + list
                                + QStringLiteral("]);"),
                            QWebEngineScript::ApplicationWorld);
    });
    page->load(QUrl(urls.first()));
}

void HelpViewer::printPage(QWebEnginePage *page, QPrinter *printer, std::function<void(bool)> done)
{
    page->print(printer, [done](bool ok) { done(ok); });
}

void HelpViewer::writePdf(const QString &path, bool heading, bool printed)
{
    QPointer<HelpViewer> self(this);
    const auto write = [self, path, printed](QWebEnginePage *page, bool temporary) {
        if (!self)
            return;
        if (!page) {
            emit self->pdfSaved(path, false);
            return;
        }
        const auto finished = [self, path, page, temporary](bool ok) {
            if (temporary)
                page->deleteLater();
            if (self)
                emit self->pdfSaved(path, ok);
        };
        if (printed) {
            // (a file, not paper: the screen's resolution keeps the drawn sheets small)
            auto printer = std::make_shared<QPrinter>(QPrinter::ScreenResolution);
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(path);
            self->printPage(page, printer.get(), [printer, finished](bool ok) { finished(ok); });
            return;
        }
        auto connection = std::make_shared<QMetaObject::Connection>();
        *connection = connect(page, &QWebEnginePage::pdfPrintingFinished, page,
                              [connection, path, finished](const QString &written, bool ok) {
                                  if (written != path)
                                      return;
                                  disconnect(*connection);
                                  finished(ok);
                              });
        page->printToPdf(path);
    };
    if (!heading) {
        write(m_view->page(), false);
        return;
    }
    composeTopics(m_contents->currentTopics(), [write](QWebEnginePage *page) { write(page, true); });
}

void HelpViewer::print()
{
    // With a heading selected in the contents, the user may print it with all its subtopics.
    bool heading = false;
    if (m_contents->currentIsHeading()) {
        QDialog choice(this);
        choice.setObjectName(QStringLiteral("HelpPrintTopics"));
        choice.setWindowTitle(tr("Print Topics"));
        auto *layout = new QVBoxLayout(&choice);
        auto *current = new QRadioButton(tr("Print the selected &topic"), &choice);
        current->setObjectName(QStringLiteral("HelpPrintCurrent"));
        auto *all = new QRadioButton(tr("Print the selected &heading and all subtopics"), &choice);
        all->setObjectName(QStringLiteral("HelpPrintHeading"));
        current->setChecked(true);
        layout->addWidget(current);
        layout->addWidget(all);
        auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &choice);
        connect(buttons, &QDialogButtonBox::accepted, &choice, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, &choice, &QDialog::reject);
        layout->addWidget(buttons);
        if (choice.exec() != QDialog::Accepted)
            return;
        heading = all->isChecked();
    }
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    QPrintDialog dialog(printer.get(), this);
    dialog.setObjectName(QStringLiteral("HelpPrintDialog"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    QPointer<HelpViewer> self(this);
    const auto send = [self, printer](QWebEnginePage *page, bool temporary) {
        if (!self || !page)
            return;
        self->printPage(page, printer.get(), [printer, page, temporary](bool) {
            if (temporary)
                page->deleteLater();
        });
    };
    if (!heading) {
        send(m_view->page(), false);
        return;
    }
    composeTopics(m_contents->currentTopics(), [send](QWebEnginePage *page) { send(page, true); });
}

void HelpViewer::saveAsPdf()
{
    const QString path = QFileDialog::getSaveFileName(this, tr("Save as PDF"), QString(),
                                                      tr("PDF documents (*.pdf)"));
    if (!path.isEmpty())
        writePdf(path, false, false);
}

} // namespace tshelp
