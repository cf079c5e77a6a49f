#include "tsw/backend.h"

#include <QByteArray>
#include <QDebug>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <dlfcn.h>
#include <mutex>

namespace {

std::mutex g_mutex;

// Loaded back-ends by file path (a different folder is a different back-end).
QHash<QByteArray, void *> &Loaded()
{
    static QHash<QByteArray, void *> loaded;
    return loaded;
}

// Failures already reported, so that a caller that retries does not repeat the warning.
QSet<QByteArray> &Reported()
{
    static QSet<QByteArray> reported;
    return reported;
}

QByteArray Folder()
{
    const QByteArray configured = qgetenv("TSW_BACKEND_DIR");
    if (!configured.isEmpty())
        return configured;
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void *>(&TswBackEndLoaded), &info) || !info.dli_fname)
        return QByteArray();
    return QFile::encodeName(QFileInfo(QFile::decodeName(info.dli_fname)).absolutePath())
        + "/" TS_BACKEND_SUBDIR;
}

QByteArray PathOf(const char *name)
{
    return Folder() + "/lib" + name + ".so";
}

void Report(const QByteArray &what)
{
    if (!Reported().contains(what)) {
        Reported().insert(what);
        qWarning("%s", what.constData());
    }
}

} // namespace

void *TswBackEndSymbol(const char *name, const char *symbol, bool load)
{
    if (!name || !*name || !symbol)
        return nullptr;
    const std::lock_guard<std::mutex> lock(g_mutex);
    const QByteArray path = PathOf(name);
    void *handle = Loaded().value(path);
    if (!handle) {
        if (!load)
            return nullptr;
        // Never unloaded: widgets and web profiles of the back-end live on after the call.
        handle = dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
        if (!handle) {
            const char *error = dlerror();
            Report("back-end not loaded: " + QByteArray(error ? error : path.constData()));
            return nullptr;
        }
        Loaded().insert(path, handle);
    }
    dlerror();
    void *address = dlsym(handle, symbol);
    if (!address)
        Report("back-end " + path + " has no entry point " + symbol);
    return address;
}

bool TswBackEndLoaded(const char *name)
{
    if (!name || !*name)
        return false;
    const std::lock_guard<std::mutex> lock(g_mutex);
    return Loaded().contains(PathOf(name));
}
