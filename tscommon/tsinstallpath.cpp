#include "tsinstallpath.h"

#include <QString>

#include <cstring>

#ifndef TS_INSTALL_PREFIX
#define TS_INSTALL_PREFIX "/usr/local"
#endif

DWORD GetInstallPath(LPWSTR buffer, DWORD reserved)
{
    Q_UNUSED(reserved);
    if (!buffer)
        return 0;
    const QByteArray env = qgetenv("TS_INSTALL_DIR");
    const QString path = env.isEmpty() ? QStringLiteral(TS_INSTALL_PREFIX) : QString::fromLocal8Bit(env);
    if (path.size() >= TS_PATH_BUFFER) {
        buffer[0] = 0; // a cut path would name another folder
        return 0;
    }
    std::memcpy(buffer, path.utf16(), std::size_t(path.size()) * sizeof(WCHAR));
    buffer[path.size()] = 0;
    return DWORD(path.size());
}
