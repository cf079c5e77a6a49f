// Gallery of the library's widgets. With --screenshots DIR, or when no display is present, it writes
// one PNG per page (plus any extra shots a page asks for) and exits.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMainWindow>
#include <QStackedWidget>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

#include "gallerypage.h"
#include "tswin.h"

namespace {

QString slug(const QString &title)
{
    QString s;
    for (QChar c : title.toLower())
        s += c.isLetterOrNumber() ? c : QLatin1Char('-');
    while (s.contains(QLatin1String("--")))
        s.replace(QLatin1String("--"), QLatin1String("-"));
    return s;
}

bool saveShot(QWidget *widget, const QString &path)
{
    widget->ensurePolished();
    if (!widget->isVisible())
        widget->show();
    QApplication::processEvents();
    // Pages that load something (a web page, say) say so with "galleryLoading" until it is there.
    QElapsedTimer waited;
    waited.start();
    bool waitedForLoad = false;
    while (widget->property("galleryLoading").toBool() && waited.elapsed() < 20000) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        waitedForLoad = true;
    }
    if (waitedForLoad) {
        // A few frames for the loaded page to be painted.
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < 800)
            QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    const bool ok = widget->grab().save(path, "PNG");
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

int writeScreenshots(const QString &dir)
{
    QDir().mkpath(dir);
    int failures = 0;
    int index = 0;
    for (const gallery::Page &page : gallery::pages()) {
        const QString base = QStringLiteral("%1/%2-%3")
                                 .arg(dir)
                                 .arg(++index, 2, 10, QLatin1Char('0'))
                                 .arg(slug(page.title));
        QWidget *widget = page.create();
        widget->setWindowTitle(page.title);
        if (!widget->testAttribute(Qt::WA_Resized))
            widget->resize(widget->sizeHint().expandedTo(QSize(640, 420)));
        if (!saveShot(widget, base + QStringLiteral(".png")))
            ++failures;
        if (page.extraShots) {
            page.extraShots(widget, [&](const QString &suffix, QWidget *w) {
                if (!saveShot(w, base + QLatin1Char('-') + suffix + QStringLiteral(".png")))
                    ++failures;
            });
        }
        delete widget;
    }
    return failures == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    QString shotDir;
    for (int i = 1; i + 1 < argc; ++i)
        if (qstrcmp(argv[i], "--screenshots") == 0)
            shotDir = QString::fromLocal8Bit(argv[i + 1]);
    const bool haveDisplay =
        !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (!haveDisplay && shotDir.isEmpty())
        shotDir = QStringLiteral("screenshots");
    if (!shotDir.isEmpty() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !haveDisplay)
        qputenv("QT_QPA_PLATFORM", "offscreen");

    // The web engine (help viewer, embedded browser) wants shared GL contexts before the
    // application exists, and runs here without a GPU; its sandbox refuses to run as root.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    const auto defaultEnv = [](const char *name, const QByteArray &value) {
        if (!qEnvironmentVariableIsSet(name))
            qputenv(name, value);
    };
    defaultEnv("QT_QUICK_BACKEND", "software");
    defaultEnv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    if (::geteuid() == 0)
        defaultEnv("QTWEBENGINE_DISABLE_SANDBOX", "1");

    QApplication app(argc, argv);
    // The network page reaches the directory service through COM, in the GUI thread's apartment.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    struct ComExit {
        bool entered;
        ~ComExit()
        {
            if (entered)
                CoUninitialize();
        }
    } comExit{SUCCEEDED(com)};
    QApplication::setApplicationName(QStringLiteral("Tessaro UI gallery"));
    // The gallery's own registry, unless the environment names another.
    if (qEnvironmentVariableIsEmpty("TS_REGISTRY_FILE"))
        qputenv("TS_REGISTRY_FILE", QFile::encodeName(QDir::cleanPath(QDir(QApplication::applicationDirPath())
                                                          .absoluteFilePath(QStringLiteral(TS_GALLERY_REGISTRY)))));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Gallery of the Tessaro user-interface kit."));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("screenshots"),
                      QStringLiteral("Write one PNG per page into <dir> and exit."),
                      QStringLiteral("dir")});
    parser.addOption({QStringLiteral("help-files"),
                      QStringLiteral("With --screenshots, also shoot each help file (.chm) under "
                                     "<dir> in the help viewer."),
                      QStringLiteral("dir")});
    parser.process(app);

    if (!shotDir.isEmpty())
        return writeScreenshots(shotDir);

    QMainWindow window;
    auto *central = new QWidget;
    auto *layout = new QHBoxLayout(central);
    auto *list = new QListWidget;
    auto *stack = new QStackedWidget;
    for (const gallery::Page &page : gallery::pages()) {
        list->addItem(page.title);
        stack->addWidget(page.create());
    }
    list->setFixedWidth(200);
    layout->addWidget(list);
    layout->addWidget(stack, 1);
    QObject::connect(list, &QListWidget::currentRowChanged, stack, &QStackedWidget::setCurrentIndex);
    list->setCurrentRow(0);
    window.setCentralWidget(central);
    window.setWindowTitle(QApplication::applicationName());
    window.resize(960, 600);
    window.show();
    return app.exec();
}
