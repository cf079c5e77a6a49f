#include "tsinstallpath.h"

#include <QDir>
#include <QFileInfo>
#include <QString>

#include <cstring>
#include <dlfcn.h>

#ifndef TS_DATA_RELATIVE_DIR
#define TS_DATA_RELATIVE_DIR "../share/tessaro"
#endif

namespace {

// The product's data folder, at the same place relative to this library in the build tree as
// when installed; empty when the library cannot tell where it was loaded from.
QString DataDir()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void *>(&GetInstallPath), &info) == 0 || !info.dli_fname)
        return QString();
    const QString libDir = QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath();
    return QDir::cleanPath(QDir(libDir).filePath(QStringLiteral(TS_DATA_RELATIVE_DIR)));
}

} // namespace

DWORD GetInstallPath(LPWSTR buffer, DWORD reserved)
{
    Q_UNUSED(reserved);
    if (!buffer)
        return 0;
    const QByteArray env = qgetenv("TS_INSTALL_DIR");
    const QString path = env.isEmpty() ? DataDir() : QString::fromLocal8Bit(env);
    if (path.size() >= TS_PATH_BUFFER) {
        buffer[0] = 0; // a cut path would name another folder
        return 0;
    }
    std::memcpy(buffer, path.utf16(), std::size_t(path.size()) * sizeof(WCHAR));
    buffer[path.size()] = 0;
    return DWORD(path.size());
}
