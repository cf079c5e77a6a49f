#include "helpviewer.h"

#include "chmsystem.h"
#include "helpdocument.h"
#include "helplink.h"
#include "helppage.h"
#include "helpprofile.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>
#include <QWebEngineHistory>
#include <QWebEngineView>

#include <functional>

namespace tshelp {

namespace {

constexpr int kTargetRole = Qt::UserRole;     // contents: the stored name the item shows
constexpr int kKeywordRole = Qt::UserRole + 1; // index: position of the entry in the flat list
constexpr int kMaxDepth = 32;

QString WithoutFragment(QString name)
{
    const int hash = name.indexOf(QLatin1Char('#'));
    if (hash >= 0)
        name.truncate(hash);
    return name;
}

} // namespace

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

    m_contents = new QTreeWidget(m_tabs);
    m_contents->setObjectName(QStringLiteral("HelpContents"));
    m_contents->setHeaderHidden(true);
    m_tabs->addTab(m_contents, tr("Contents"));

    auto *indexPane = new QWidget(m_tabs);
    auto *indexLayout = new QVBoxLayout(indexPane);
    indexLayout->addWidget(new QLabel(tr("Type in the keyword to find:"), indexPane));
    m_indexFilter = new QLineEdit(indexPane);
    m_indexFilter->setObjectName(QStringLiteral("HelpIndexFilter"));
    m_indexFilter->setClearButtonEnabled(true);
    indexLayout->addWidget(m_indexFilter);
    m_indexList = new QListWidget(indexPane);
    m_indexList->setObjectName(QStringLiteral("HelpIndexList"));
    indexLayout->addWidget(m_indexList);
    auto *display = new QPushButton(tr("&Display"), indexPane);
    display->setObjectName(QStringLiteral("HelpIndexDisplay"));
    indexLayout->addWidget(display, 0, Qt::AlignRight);
    m_tabs->addTab(indexPane, tr("Index"));

    auto *searchPane = new QWidget(m_tabs);
    auto *searchLayout = new QVBoxLayout(searchPane);
    searchLayout->addWidget(new QLabel(tr("Type in the word(s) to search for:"), searchPane));
    m_searchField = new QLineEdit(searchPane);
    m_searchField->setObjectName(QStringLiteral("HelpSearchField"));
    searchLayout->addWidget(m_searchField);
    auto *listTopics = new QPushButton(tr("&List Topics"), searchPane);
    listTopics->setObjectName(QStringLiteral("HelpSearchButton"));
    searchLayout->addWidget(listTopics, 0, Qt::AlignRight);
    m_searchResults = new QListWidget(searchPane);
    m_searchResults->setObjectName(QStringLiteral("HelpSearchResults"));
    searchLayout->addWidget(m_searchResults);
    m_tabs->addTab(searchPane, tr("Search"));

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
    const auto openContentsItem = [this](QTreeWidgetItem *item) {
        const QString target = item->data(0, kTargetRole).toString();
        if (!target.isEmpty())
            openTarget(target);
    };
    connect(m_contents, &QTreeWidget::itemActivated, this, openContentsItem);
    connect(m_contents, &QTreeWidget::itemClicked, this, openContentsItem);
    connect(m_indexFilter, &QLineEdit::textChanged, this, &HelpViewer::filterIndex);
    connect(m_indexFilter, &QLineEdit::returnPressed, this,
            [this] { openIndexItem(m_indexList->currentItem()); });
    connect(m_indexList, &QListWidget::itemActivated, this, &HelpViewer::openIndexItem);
    connect(display, &QPushButton::clicked, this,
            [this] { openIndexItem(m_indexList->currentItem()); });
    connect(m_tabs, &QTabWidget::currentChanged, this, [this, indexPane](int) {
        if (m_tabs->currentWidget() == indexPane)
            buildIndex();
    });
    connect(m_searchField, &QLineEdit::returnPressed, this, &HelpViewer::runSearch);
    connect(listTopics, &QPushButton::clicked, this, &HelpViewer::runSearch);
    connect(m_searchResults, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        openTarget(item->data(kTargetRole).toString());
        // Show where the words are, as the search found them.
        const QString words = m_searchField->text().simplified();
        if (!words.isEmpty())
            m_findField->setText(words.section(QLatin1Char(' '), 0, 0));
        auto once = std::make_shared<QMetaObject::Connection>();
        *once = connect(m_view, &QWebEngineView::loadFinished, this, [this, once] {
            disconnect(*once);
            find(false);
        });
    });

    buildContents();
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

void HelpViewer::addContentsItems(QTreeWidgetItem *parent, const QVector<SitemapEntry> &entries,
                                  int depth)
{
    if (depth > kMaxDepth)
        return;
    for (const SitemapEntry &entry : entries) {
        auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_contents);
        item->setText(0, entry.name);
        if (!entry.targets.isEmpty())
            item->setData(0, kTargetRole, entry.targets.first().local);
        const bool folder = !entry.children.isEmpty();
        item->setIcon(0, style()->standardIcon(folder ? QStyle::SP_DirIcon : QStyle::SP_FileIcon));
        addContentsItems(item, entry.children, depth + 1);
    }
}

void HelpViewer::buildContents()
{
    m_contents->clear();
    addContentsItems(nullptr, m_document->contents(), 0);
}

// The keyword list: every keyword, sub-keywords indented under theirs, in the file's order.
void HelpViewer::buildIndex()
{
    if (m_indexBuilt)
        return;
    m_indexBuilt = true;
    std::function<void(const QVector<SitemapEntry> &, int, const QString &)> add;
    add = [&](const QVector<SitemapEntry> &entries, int depth, const QString &parentKeyword) {
        if (depth > kMaxDepth)
            return;
        for (const SitemapEntry &entry : entries) {
            auto *item = new QListWidgetItem(QString(depth * 4, QLatin1Char(' ')) + entry.name,
                                             m_indexList);
            QVariantList targets;
            for (const SitemapTarget &target : entry.targets)
                targets << QStringList{target.title, target.local};
            item->setData(kTargetRole, targets);
            item->setData(kKeywordRole, parentKeyword.isEmpty() ? entry.name : parentKeyword);
            item->setData(kKeywordRole + 1, entry.seeAlso);
            add(entry.children, depth + 1, parentKeyword.isEmpty() ? entry.name : parentKeyword);
        }
    };
    add(m_document->index(), 0, QString());
    filterIndex(m_indexFilter->text());
}

// Keywords that hold the typed text stay (with their sub-keywords); the first that starts with it
// becomes current, so Enter opens it.
void HelpViewer::filterIndex(const QString &text)
{
    buildIndex();
    const QString wanted = text.trimmed();
    QListWidgetItem *best = nullptr;
    QListWidgetItem *firstShown = nullptr;
    for (int i = 0; i < m_indexList->count(); ++i) {
        QListWidgetItem *item = m_indexList->item(i);
        const QString keyword = item->data(kKeywordRole).toString();
        const bool shown = wanted.isEmpty() || keyword.contains(wanted, Qt::CaseInsensitive);
        item->setHidden(!shown);
        if (!shown)
            continue;
        if (!firstShown)
            firstShown = item;
        if (!best && !wanted.isEmpty() && keyword.startsWith(wanted, Qt::CaseInsensitive))
            best = item;
    }
    if (QListWidgetItem *current = best ? best : firstShown) {
        m_indexList->setCurrentItem(current);
        m_indexList->scrollToItem(current, QAbstractItemView::PositionAtTop);
    }
}

void HelpViewer::openIndexItem(QListWidgetItem *item)
{
    if (!item || item->isHidden())
        return;
    QVector<SitemapTarget> targets;
    const QVariantList stored = item->data(kTargetRole).toList();
    for (const QVariant &value : stored) {
        const QStringList pair = value.toStringList();
        if (pair.size() == 2)
            targets.push_back({pair.at(0), pair.at(1)});
    }
    if (targets.isEmpty()) {
        const QString seeAlso = item->data(kKeywordRole + 1).toString();
        if (!seeAlso.isEmpty())
            m_indexFilter->setText(seeAlso);
        return;
    }
    if (targets.size() == 1) {
        openTarget(targets.first().local);
        return;
    }
    chooseTopic(item->text().trimmed(), targets);
}

// Several pages for one keyword: the user picks one, as in "Topics Found".
void HelpViewer::chooseTopic(const QString &keyword, const QVector<SitemapTarget> &targets)
{
    auto *dialog = new QDialog(this);
    dialog->setObjectName(QStringLiteral("HelpTopicsFound"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(tr("Topics Found"));
    auto *layout = new QVBoxLayout(dialog);
    layout->addWidget(new QLabel(tr("Click a topic, then click Display. (%1)").arg(keyword), dialog));
    auto *list = new QListWidget(dialog);
    list->setObjectName(QStringLiteral("HelpTopicsList"));
    for (const SitemapTarget &target : targets) {
        auto *item = new QListWidgetItem(target.title.isEmpty() ? target.local : target.title, list);
        item->setData(kTargetRole, target.local);
    }
    list->setCurrentRow(0);
    layout->addWidget(list);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, dialog);
    QPushButton *display = buttons->addButton(tr("&Display"), QDialogButtonBox::AcceptRole);
    display->setObjectName(QStringLiteral("HelpTopicsDisplay"));
    display->setDefault(true);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    connect(list, &QListWidget::itemActivated, dialog, &QDialog::accept);
    connect(dialog, &QDialog::accepted, this, [this, list] {
        if (QListWidgetItem *item = list->currentItem())
            openTarget(item->data(kTargetRole).toString());
    });
    dialog->open();
}

void HelpViewer::runSearch()
{
    const QString query = m_searchField->text().simplified();
    m_searchResults->clear();
    if (query.isEmpty())
        return;
    if (!m_document->searchIndexReady()) {
        // Built on a reading thread the first time; the window keeps working meanwhile.
        m_searchResults->addItem(tr("Building the search index..."));
        m_searchResults->setEnabled(false);
        m_document->whenSearchIndexReady(this, [this] {
            m_searchResults->setEnabled(true);
            runSearch();
        });
        return;
    }
    const QVector<SearchIndex::Hit> hits = m_document->searchIndex().search(query);
    for (const SearchIndex::Hit &hit : hits) {
        auto *item = new QListWidgetItem(hit.title, m_searchResults);
        item->setData(kTargetRole, hit.path);
        item->setToolTip(hit.path);
    }
    if (m_searchResults->count() > 0)
        m_searchResults->setCurrentRow(0);
}

// The contents follow the page: the item of the page shown becomes current, its branch opened.
void HelpViewer::syncContents(const QUrl &url)
{
    const QString shown = m_document->topicOf(url);
    if (shown.isEmpty())
        return;
    QTreeWidgetItemIterator it(m_contents);
    for (; *it; ++it) {
        const QString target = WithoutFragment((*it)->data(0, kTargetRole).toString());
        if (target.isEmpty() || HasHelpLinkPrefix(target) || target.contains(QLatin1String("::")))
            continue;
        if (StoredName(target).compare(shown, Qt::CaseInsensitive) == 0) {
            const QSignalBlocker blocker(m_contents);
            for (QTreeWidgetItem *p = (*it)->parent(); p; p = p->parent())
                p->setExpanded(true);
            m_contents->setCurrentItem(*it);
            m_contents->scrollToItem(*it);
            return;
        }
    }
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
