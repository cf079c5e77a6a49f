#include "helpworkers.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace tshelp {

namespace {

void DrainWorkers()
{
    HelpWorkers()->waitForDone();
}

} // namespace

void LowerThisThreadsPriority()
{
    // Linux keeps a nice value per thread; the reading threads give way to the GUI thread. (Raising
    // one's own nice value needs no privilege; a failure leaves the thread as it was.)
    thread_local const bool lowered
        = setpriority(PRIO_PROCESS, id_t(syscall(SYS_gettid)), 10) == 0;
    (void)lowered;
}

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
