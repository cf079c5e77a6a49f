#include "tslang.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QMutex>
#include <QString>

#include <dlfcn.h>

#ifndef TS_LANG_RELATIVE_DIR
#define TS_LANG_RELATIVE_DIR "../share/tessaro/lang"
#endif

namespace {

// The folder of this library's own file, wherever it was installed or built.
QString LibraryDir()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void *>(&LoadTsLang), &info) == 0 || !info.dli_fname)
        return QString();
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath();
}

QString LangDir()
{
    const QByteArray env = qgetenv("TS_LANG_DIR");
    if (!env.isEmpty())
        return QString::fromLocal8Bit(env);
    const QString libDir = LibraryDir();
    if (libDir.isEmpty())
        return QString();
    return QDir::cleanPath(QDir(libDir).filePath(QStringLiteral(TS_LANG_RELATIVE_DIR)));
}

QString ModuleFileName(LANGID id)
{
    return QStringLiteral("tslang_%1.res")
        .arg(QString::number(uint(id), 16).rightJustified(4, QLatin1Char('0')).toUpper());
}

// Opened modules by file path. Handles are never released: callers keep them for the life of the
// process, and the same file always answers with the same handle. Built on first use, as other
// libraries' static initialisers may open a module before this file's would have run; never
// destroyed, as their destructors may too.
struct ModuleCache {
    QMutex mutex;
    QMap<QString, HINSTANCE> modules;
};

ModuleCache &Cache()
{
    static ModuleCache *cache = new ModuleCache;
    return *cache;
}

HINSTANCE OpenModule(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return nullptr;
    const QString key = info.canonicalFilePath();
    ModuleCache &cache = Cache();
    QMutexLocker lock(&cache.mutex);
    if (HINSTANCE cached = cache.modules.value(key))
        return cached;
    HINSTANCE module = LoadLibraryExW(reinterpret_cast<LPCWSTR>(key.utf16()), nullptr,
                                      LOAD_LIBRARY_AS_DATAFILE);
    // A file that holds no resource at all is not a language module; try the next candidate.
    if (module && TswResourceCount(module) == 0) {
        FreeLibrary(module);
        module = nullptr;
    }
    if (module)
        cache.modules.insert(key, module);
    return module;
}

// Another module of the primary language in the folder, the lowest id first.
HINSTANCE OpenSamePrimary(const QDir &dir, LANGID langId)
{
    const QStringList names = dir.entryList({QStringLiteral("tslang_*.res")}, QDir::Files, QDir::Name);
    for (const QString &name : names) {
        bool ok = false;
        const uint id = name.mid(7, 4).toUInt(&ok, 16);
        if (!ok || name.size() != 15 || PRIMARYLANGID(id) != PRIMARYLANGID(langId))
            continue;
        if (HINSTANCE module = OpenModule(dir.filePath(name)))
            return module;
    }
    return nullptr;
}

} // namespace

HINSTANCE LoadTsLang(LANGID langId, DWORD flags)
{
    Q_UNUSED(flags);
    const QString folder = LangDir();
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists())
        return nullptr;
    const LANGID english = LANGID(MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT));
    const LANGID candidates[] = {langId, LANGID(MAKELANGID(PRIMARYLANGID(langId), SUBLANG_DEFAULT))};
    for (LANGID id : candidates) {
        if (HINSTANCE module = OpenModule(dir.filePath(ModuleFileName(id))))
            return module;
    }
    if (HINSTANCE module = OpenSamePrimary(dir, langId))
        return module;
    if (HINSTANCE module = OpenModule(dir.filePath(ModuleFileName(english))))
        return module;
    return OpenSamePrimary(dir, english);
}
