#include "helpviewer.h"

#include "contentspane.h"
#include "helpdocument.h"
#include "helplink.h"
#include "helppage.h"
#include "helpprofile.h"
#include "indexpane.h"
#include "searchpane.h"

#include <QAction>
#include <QApplication>
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

    // Navigation pane: contents, index, search.
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("HelpNavigation"));

    m_contents = new ContentsPane(m_tabs);
    m_contents->setEntries(m_document->contents());
    m_tabs->addTab(m_contents, tr("Contents"));
    m_index = new IndexPane(m_tabs);
    m_tabs->addTab(m_index, tr("Index"));
    m_search = new SearchPane(m_tabs);
    m_search->setLocator([this](const QString &path) { return m_contents->locationOf(path); });
    m_tabs->addTab(m_search, tr("Search"));
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

    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName(QStringLiteral("HelpSplitter"));
    splitter->addWidget(m_tabs);
    splitter->addWidget(m_view);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({260, 640});
    setCentralWidget(splitter);

    // Tool bar: Back, Forward, Home, find in page, zoom.
    QToolBar *bar = addToolBar(tr("Help"));
    bar->setObjectName(QStringLiteral("HelpToolBar"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_back = bar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), tr("Back"));
    m_back->setObjectName(QStringLiteral("HelpBack"));
    m_back->setShortcut(QKeySequence::Back);
    m_forward = bar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), tr("Forward"));
    m_forward->setObjectName(QStringLiteral("HelpForward"));
    m_forward->setShortcut(QKeySequence::Forward);
    QAction *home = bar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), tr("Home"));
    home->setObjectName(QStringLiteral("HelpHome"));
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
