#include "helpworkers.h"

namespace tshelp {

namespace {

void DrainWorkers()
{
    HelpWorkers()->waitForDone();
}

} // namespace

QThreadPool *HelpWorkers()
{
    static QThreadPool *const pool = [] {
        auto *workers = new QThreadPool;
        workers->setMaxThreadCount(2);
        workers->setExpiryTimeout(5000);
        // Results are posted to the application object: none may be under way once it is gone.
        qAddPostRoutine(&DrainWorkers);
        return workers;
    }();
    return pool;
}

} // namespace tshelp
