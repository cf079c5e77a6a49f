#include "tsw/fileapi.h"

#include "lasterror_p.h"

#include <QFile>
#include <QString>

#include <cerrno>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Windows tells a missing file from a missing folder on the way to it.
DWORD MissingError(const QString &name)
{
    const int slash = name.lastIndexOf(QLatin1Char('/'));
    if (slash <= 0)
        return ERROR_FILE_NOT_FOUND;
    struct stat parent {};
    const QByteArray folder = QFile::encodeName(name.left(slash));
    return ::stat(folder.constData(), &parent) == 0 && S_ISDIR(parent.st_mode) ? ERROR_FILE_NOT_FOUND
                                                                                : ERROR_PATH_NOT_FOUND;
}

} // namespace

DWORD GetFileAttributesW(LPCWSTR path)
{
    if (!path || !*path) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_FILE_ATTRIBUTES;
    }
    // Unit for unit (fromUtf16 would drop a leading U+FEFF as a byte-order mark).
    QString name(reinterpret_cast<const QChar *>(path), int(std::char_traits<char16_t>::length(path)));
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QByteArray native = QFile::encodeName(name);
    struct stat info {};
    if (::stat(native.constData(), &info) != 0) {
        const int error = errno;
        if (error == ENOENT)
            SetLastError(MissingError(name));
        else if (error == EACCES)
            SetLastError(ERROR_ACCESS_DENIED);
        else
            SetLastError(ERROR_PATH_NOT_FOUND); // ENOTDIR, ENAMETOOLONG, ELOOP
        return INVALID_FILE_ATTRIBUTES;
    }
    DWORD attributes = 0;
    if (S_ISDIR(info.st_mode))
        attributes |= FILE_ATTRIBUTE_DIRECTORY;
    if (::access(native.constData(), W_OK) != 0)
        attributes |= FILE_ATTRIBUTE_READONLY;
    return attributes != 0 ? attributes : DWORD(FILE_ATTRIBUTE_NORMAL);
}
