// "Help": a help dock beside a console-like window, and the buttons that open the product's help
// files (main and console) in the help viewer at the page named in the topic field.
#include <QAction>
#include <QDialog>
#include <QDirIterator>
#include <QListWidget>
#include <QPixmap>
#include <QProcess>
#include <QTemporaryDir>
#include <QFileInfo>
#include <QListView>
#include <QEventLoop>
#include <QTreeView>
#include <QTabWidget>
#include <QApplication>
#include <QElapsedTimer>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWebEngineView>

#include "gallerypage.h"
#include "help/helpfiles.h"
#include "help/helpview.h"
#include "tswinhelp.h"

namespace {

const char16_t kHelpPage[] =
    u"<h2>Volumes</h2>"
    u"<p>The list shows every volume of the computer with its size and the number of fragmented "
    u"files found by the last analysis.</p>"
    u"<h3>To analyse a volume</h3>"
    u"<ol><li>Select the volume in the list.</li><li>Click <b>Analyse</b>.</li>"
    u"<li>Read the result in the <i>Fragments</i> column.</li></ol>"
    u"<p>Close this pane with its close button; <b>Help</b> in the tool bar brings it back.</p>";

HWND Handle(QWidget *widget) { return reinterpret_cast<HWND>(widget); }

QWidget *MakeHelpPage()
{
    auto *page = new QWidget;
    auto *outer = new QVBoxLayout(page);
    outer->setContentsMargins(0, 0, 0, 0);
    // A main window always makes itself a window; the layout makes it a child of the page.
    auto *window = new QMainWindow;
    window->setObjectName(QStringLiteral("helpWindow"));
    outer->addWidget(window);

    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    auto *intro = new QLabel(QStringLiteral(
        "The pane on the right is a help view: one page of help text held in memory. The buttons "
        "open the product's compiled help files, in the user's language, in the help viewer."));
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto *form = new QFormLayout;
    auto *topic = new QLineEdit(QStringLiteral("console.htm"));
    topic->setObjectName(QStringLiteral("topic"));
    topic->setPlaceholderText(QStringLiteral("page inside the help file, empty for its start page"));
    form->addRow(QStringLiteral("Topic:"), topic);
    auto *mainPath = new QLabel(QStringFromWString(GetPathHelpFile()));
    mainPath->setObjectName(QStringLiteral("mainHelpPath"));
    mainPath->setTextFormat(Qt::PlainText);
    mainPath->setWordWrap(true);
    form->addRow(QStringLiteral("Main help:"), mainPath);
    auto *consolePath = new QLabel(QStringFromWString(GetPathCCHelpFile()));
    consolePath->setObjectName(QStringLiteral("consoleHelpPath"));
    consolePath->setTextFormat(Qt::PlainText);
    consolePath->setWordWrap(true);
    form->addRow(QStringLiteral("Console help:"), consolePath);
    layout->addLayout(form);
    auto *buttons = new QHBoxLayout;
    auto *mainHelp = new QPushButton(QStringLiteral("Main help"));
    mainHelp->setObjectName(QStringLiteral("mainHelp"));
    auto *consoleHelp = new QPushButton(QStringLiteral("Console help"));
    consoleHelp->setObjectName(QStringLiteral("consoleHelp"));
    buttons->addWidget(mainHelp);
    buttons->addWidget(consoleHelp);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    layout->addStretch(1);
    window->setCentralWidget(central);

    auto *help = new CHelpView(window);
    help->setObjectName(QStringLiteral("helpView"));
    help->SetTitle(u"Help");
    help->SetHelpPage(kHelpPage);
    window->addDockWidget(Qt::RightDockWidgetArea, help);
    window->resizeDocks({help}, {260}, Qt::Horizontal);

    auto *toolBar = window->addToolBar(QStringLiteral("Tools"));
    toolBar->setObjectName(QStringLiteral("tools"));
    toolBar->setMovable(false);
    QAction *showHelp = toolBar->addAction(QStringLiteral("Help"));
    showHelp->setObjectName(QStringLiteral("showHelp"));
    showHelp->setCheckable(true);
    showHelp->setChecked(true);
    QObject::connect(showHelp, &QAction::toggled, help, &QWidget::setVisible);
    QObject::connect(help, &CHelpView::showView, showHelp, &QAction::setChecked);

    QObject::connect(mainHelp, &QPushButton::clicked, page, [page, topic] {
        DisplayLocalHelp(Handle(page), WStringFromQString(topic->text()));
    });
    QObject::connect(consoleHelp, &QPushButton::clicked, page, [page, topic] {
        DisplayLocalCCHelp(Handle(page), WStringFromQString(topic->text()));
    });
    page->resize(820, 480);
    return page;
}

QWidget *FindViewer()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QLatin1String("HtmlHelpViewer") && widget->isVisible())
            return widget;
    return nullptr;
}

// Runs `action` and waits (20 s at most) for the viewer's page to finish loading.
template<typename Action>
void WaitForPage(QWidget *viewer, Action action)
{
    QEventLoop loop;
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    // The viewer announces a loaded page when its web view finishes loading one.
    if (auto *view = viewer->findChild<QWebEngineView *>())
        QObject::connect(view, &QWebEngineView::loadFinished, &loop, &QEventLoop::quit);
    timeout.start(20000);
    action();
    loop.exec();
    // The engine paints the loaded page a moment later.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 300)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
}

QWidget *OpenViewer(const QString &file)
{
    const std::u16string path = file.toStdU16String();
    QWidget *viewer = nullptr;
    // The viewer shows its first page once it exists; wait on the window that HtmlHelpW returns.
    viewer = reinterpret_cast<QWidget *>(HtmlHelpW(nullptr, path.c_str(), HH_DISPLAY_TOPIC, 0));
    if (!viewer)
        return nullptr;
    viewer->resize(900, 600);
    WaitForPage(viewer, [] {});
    return viewer;
}

void SelectTab(QWidget *viewer, int index)
{
    if (auto *tabs = viewer->findChild<QTabWidget *>(QStringLiteral("HelpNavigation")))
        tabs->setCurrentIndex(index);
}

// Further help files (--help-files DIR): each .chm under DIR as it opens, its first book unfolded,
// then the hits of a search for the words of the entry that the contents show as current (else of
// the first keyword).
void ShootMoreHelpFiles(const gallery::Shoot &shoot)
{
    const QStringList args = QCoreApplication::arguments();
    const int at = args.indexOf(QStringLiteral("--help-files"));
    if (at < 0 || at + 1 >= args.size())
        return;
    QStringList files;
    QDirIterator it(args.at(at + 1), {QStringLiteral("*.chm")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    for (const QString &file : files) {
        QWidget *viewer = OpenViewer(file);
        if (!viewer)
            continue;
        const QString name = QStringLiteral("viewer-") + QFileInfo(file).completeBaseName();
        QString words;
        if (auto *contents = viewer->findChild<QTreeView *>(QStringLiteral("HelpContents"))) {
            for (int row = 0; row < contents->model()->rowCount(); ++row) {
                const QModelIndex book = contents->model()->index(row, 0);
                if (contents->model()->hasChildren(book)) {
                    contents->expand(book);
                    break;
                }
            }
            words = contents->currentIndex().data().toString();
        }
        if (auto *index = viewer->findChild<QListView *>(QStringLiteral("HelpIndexList"));
            words.isEmpty() && index && index->model()->rowCount() > 0)
            words = index->model()->index(0, 0).data().toString().trimmed();
        shoot(name, viewer);
        if (auto *field = viewer->findChild<QLineEdit *>(QStringLiteral("HelpSearchField"))) {
            SelectTab(viewer, 2);
            field->setText(words.section(QLatin1Char(' '), 0, 0));
            emit field->returnPressed();
            shoot(name + QStringLiteral("-search"), viewer);
        }
        HtmlHelpW(nullptr, nullptr, HH_CLOSE_ALL, 0);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// The Favorites tab with two topics kept (taken away again afterwards: they live in the user's
// settings), and the page shown written to a PDF, its first sheet drawn beside the viewer.
void ShootFavoritesAndPdf(QWidget *viewer, const gallery::Shoot &shoot)
{
    auto *add = viewer->findChild<QPushButton *>(QStringLiteral("HelpFavoritesAdd"));
    auto *list = viewer->findChild<QListWidget *>(QStringLiteral("HelpFavoritesList"));
    auto *remove = viewer->findChild<QPushButton *>(QStringLiteral("HelpFavoritesRemove"));
    auto *tabs = viewer->findChild<QTabWidget *>(QStringLiteral("HelpNavigation"));
    auto *favorites = viewer->findChild<QWidget *>(QStringLiteral("HelpFavorites"));
    if (!add || !list || !remove || !tabs || !favorites)
        return;
    const int kept = list->count();
    add->click();
    WaitForPage(viewer, [viewer] {
        if (auto *home = viewer->findChild<QAction *>(QStringLiteral("HelpHome")))
            home->trigger();
    });
    add->click();
    tabs->setCurrentWidget(favorites);
    shoot(QStringLiteral("viewer-favorites"), viewer);
    while (list->count() > kept) {
        list->setCurrentRow(list->count() - 1);
        remove->click();
    }

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("topic.pdf"));
    QEventLoop loop;
    bool saved = false;
    QObject::connect(viewer, SIGNAL(pdfSaved(QString, bool)), &loop, SLOT(quit()));
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    QMetaObject::invokeMethod(viewer, "writePdf", Q_ARG(QString, pdf), Q_ARG(bool, false),
                              Q_ARG(bool, false));
    loop.exec();
    saved = QFileInfo(pdf).size() > 0;
    QProcess render;
    render.start(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"),
                                              QStringLiteral("60"), QStringLiteral("-f"),
                                              QStringLiteral("1"), QStringLiteral("-l"),
                                              QStringLiteral("1"), QStringLiteral("-singlefile"), pdf,
                                              dir.filePath(QStringLiteral("page"))});
    render.waitForFinished(30000);
    QPixmap sheet(dir.filePath(QStringLiteral("page.png")));
    QWidget sideBySide;
    auto *layout = new QHBoxLayout(&sideBySide);
    auto *shown = new QLabel;
    shown->setPixmap(viewer->grab());
    layout->addWidget(shown);
    auto *printed = new QLabel;
    printed->setObjectName(QStringLiteral("printedSheet"));
    if (saved && !sheet.isNull()) {
        printed->setPixmap(sheet.scaledToHeight(viewer->height(), Qt::SmoothTransformation));
        printed->setFrameShape(QFrame::Box);
    } else {
        printed->setText(saved ? QStringLiteral("(pdftoppm is not installed: the sheet is not drawn)")
                               : QStringLiteral("The PDF could not be written."));
    }
    layout->addWidget(printed);
    sideBySide.setWindowTitle(QStringLiteral("The page and its PDF"));
    sideBySide.show();
    shoot(QStringLiteral("viewer-pdf"), &sideBySide);
}

// The console's help at the topic, in the viewer, or the error box when there is no help file; then
// the main help on a page with a picture, its index and its search, and the Japanese help; then any
// further help files named on the command line.
void ShootViewer(QWidget *page, const gallery::Shoot &shoot)
{
    auto *button = page->findChild<QPushButton *>(QStringLiteral("consoleHelp"));
    if (!button)
        return;
    QTimer::singleShot(0, page, [shoot] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            shoot(QStringLiteral("error-box"), box);
            box->accept();
        }
    });
    button->click();
    QWidget *viewer = FindViewer();
    if (!viewer)
        return;
    viewer->resize(900, 600);
    WaitForPage(viewer, [] {});
    shoot(QStringLiteral("viewer"), viewer);
    HtmlHelpW(nullptr, nullptr, HH_CLOSE_ALL, 0);

    const QString mainHelp = QStringFromWString(GetPathHelpFile());
    if (QWidget *main = OpenViewer(mainHelp + QStringLiteral("::/defrag.htm"))) {
        shoot(QStringLiteral("viewer-topic"), main);
        SelectTab(main, 1);
        auto *filter = main->findChild<QLineEdit *>(QStringLiteral("HelpIndexFilter"));
        filter->setText(QStringLiteral("fragmentation"));
        WaitForPage(main, [filter] { emit filter->returnPressed(); });
        if (auto *choice = main->findChild<QDialog *>(QStringLiteral("HelpTopicsFound"))) {
            shoot(QStringLiteral("viewer-index-choice"), choice);
            WaitForPage(main, [choice] { choice->accept(); });
        }
        shoot(QStringLiteral("viewer-index"), main);
        SelectTab(main, 2);
        auto *field = main->findChild<QLineEdit *>(QStringLiteral("HelpSearchField"));
        field->setText(QStringLiteral("boot time"));
        emit field->returnPressed();
        auto *results = main->findChild<QTreeView *>(QStringLiteral("HelpSearchResults"));
        // (the first search builds its index on a reading thread)
        QElapsedTimer searching;
        searching.start();
        while (results && results->model()->rowCount() == 0 && searching.elapsed() < 20000)
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        if (results && results->model()->rowCount() > 0)
            WaitForPage(main, [results] { emit results->activated(results->model()->index(0, 0)); });
        shoot(QStringLiteral("viewer-search"), main);
        ShootFavoritesAndPdf(main, shoot);
    }
    // The Japanese help: Shift_JIS pages without a declared character set.
    QString japanese = mainHelp;
    japanese.replace(QStringLiteral("TsHelpEN.chm"), QStringLiteral("TsHelpJP.chm"));
    if (QWidget *jp = OpenViewer(japanese + QStringLiteral("::/defrag.htm")))
        shoot(QStringLiteral("viewer-japanese"), jp);
    HtmlHelpW(nullptr, nullptr, HH_CLOSE_ALL, 0);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ShootMoreHelpFiles(shoot);
}

} // namespace

TS_GALLERY_PAGE(80, "Help", MakeHelpPage, ShootViewer)
