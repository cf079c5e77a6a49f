// The threads that read help files for the viewer, so that decompressing a page or building a search
// index never holds up the window.
#pragma once
#include <QCoreApplication>
#include <QPointer>
#include <QThreadPool>

#include <type_traits>
#include <utility>

namespace tshelp {

// The pool of reading threads (two at most). It is drained when the application object goes, so no
// result arrives after it.
QThreadPool *HelpWorkers();

// Lowers the calling thread's scheduling priority (reading threads only).
void LowerThisThreadsPriority();

// Runs `work()` on a reading thread, then `done(result)` on the GUI thread, unless `receiver` is gone
// by then. Call it from the GUI thread.
template<typename Work, typename Done>
void RunInBackground(QObject *receiver, Work work, Done done)
{
    QPointer<QObject> guard(receiver);
    HelpWorkers()->start([guard, work = std::move(work), done = std::move(done)]() mutable {
        LowerThisThreadsPriority();
        auto result = work();
        QCoreApplication *app = QCoreApplication::instance();
        if (!app)
            return;
        QMetaObject::invokeMethod(
            app,
            [guard, done = std::move(done), result = std::move(result)]() mutable {
                if (guard)
                    done(std::move(result));
            },
            Qt::QueuedConnection);
    });
}

} // namespace tshelp
