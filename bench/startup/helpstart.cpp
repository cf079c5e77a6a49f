// Times the process's first HtmlHelpW call (until the viewer window is returned) and the first page
// loaded in it; prints both in microseconds, or "failed".
#include "tswinhelp.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <string>

// Notes when the page view has loaded (by the signal's name: the program itself does not link the
// web engine, so that its libraries are loaded where the library loads them).
class LoadWatch : public QObject
{
    Q_OBJECT
public:
    explicit LoadWatch(const QElapsedTimer &timer) : m_timer(timer) {}
    qint64 shown = -1;

public slots:
    void loaded(bool ok)
    {
        shown = ok ? m_timer.nsecsElapsed() / 1000 : -1;
        QCoreApplication::quit();
    }

private:
    const QElapsedTimer &m_timer;
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const std::u16string file = QString::fromLocal8Bit(argv[1]).toStdU16String();
    QElapsedTimer timer;
    timer.start();
    HWND window = HtmlHelpW(nullptr, reinterpret_cast<LPCWSTR>(file.c_str()), HH_DISPLAY_TOPIC, 0);
    const qint64 call = timer.nsecsElapsed() / 1000;
    auto *viewer = reinterpret_cast<QWidget *>(window);
    if (!viewer) {
        std::printf("failed\n");
        return 1;
    }
    LoadWatch watch(timer);
    // (loading is asynchronous: the page cannot have finished before the call returned)
    if (QWidget *page = viewer->findChild<QWidget *>(QStringLiteral("HelpPageView")))
        QObject::connect(page, SIGNAL(loadFinished(bool)), &watch, SLOT(loaded(bool)));
    QTimer::singleShot(20000, &app, &QApplication::quit);
    app.exec();
    // The viewers go before the application object and the web profile that it owns.
    HtmlHelpW(nullptr, nullptr, HH_CLOSE_ALL, 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    std::printf("%lld %lld\n", static_cast<long long>(call), static_cast<long long>(watch.shown));
    return watch.shown < 0 ? 1 : 0;
}

#include "helpstart.moc"
