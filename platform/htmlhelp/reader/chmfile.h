// Read access to a compiled help file (.chm) through chmlib, which runs in a child process (see
// chmworker.h): no file can crash this process or make it hang.
#pragma once
#include "chmsystem.h"
#include "chmworker.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QTextCodec;

namespace tshelp {

// Not for use from several threads at once: requests to the child go one at a time.
class ChmFile
{
public:
    // Opens the file; null when chmlib cannot open it (missing, not a help file, damaged header), when
    // its directory's links loop, or when chmlib crashes or hangs on it.
    static std::unique_ptr<ChmFile> open(const QString &path);
    ~ChmFile();
    ChmFile(const ChmFile &) = delete;
    ChmFile &operator=(const ChmFile &) = delete;

    QString path() const { return m_path; }

    // The stored names of the file's objects ("/dir/page.htm"), system objects ("/#SYSTEM") and
    // folders left out, in stored order.
    QStringList entries() const { return m_entries; }

    // The stored name of `name`, found regardless of ASCII letter case; `name` is cleaned first
    // (leading "/" added, "." and ".." resolved, backslashes read as "/"). A name not found that
    // holds %-escapes is tried decoded ("page%201.htm" for a stored "/page 1.htm"). Empty when there
    // is none.
    QString resolve(const QString &name) const;

    // The stored name for the path of a request ("/page%201.htm", %-encoded as in an address): its
    // decoded form, else (for names stored with "%" in them) the path as written. Empty when neither
    // exists.
    QString resolveUrlPath(const QString &encodedPath) const;

    // The contents of the object `name` (resolved as above), or nothing when it does not exist, cannot
    // be read in full, or is larger than `limit` bytes. Once chmlib has crashed or hung on the file,
    // nothing more is read from it.
    std::optional<QByteArray> read(const QString &name, qint64 limit = 64 * 1024 * 1024) const;

    // Title, default topic, contents and index files and language, from the file's system records,
    // completed by the usual names (see chmsystem.h). Without a default topic in the records, the
    // first contents entry that names a page of the file, else "index.htm" and the like, else the
    // first page in stored order.
    const HelpSystemInfo &system() const { return m_system; }

    // The codec of the file's language (Shift_JIS for Japanese, Windows-1252 for Western languages).
    QTextCodec *codec() const;

private:
    ChmFile() = default;
    // The stored name for a cleaned one: from the names enumerated, else asked of chmlib.
    QString lookUp(const QString &stored) const;
    std::optional<QByteArray> readStored(const QString &stored, qint64 limit) const;
    // The first `length` bytes of a stored object (all of a shorter one).
    std::optional<QByteArray> readHead(const QString &stored, qint64 length) const;

    mutable std::unique_ptr<ChmWorker> m_worker;
    QString m_path;
    QStringList m_entries;
    QHash<QString, QString> m_byLowerName; // ASCII-lower-cased name -> stored name
    QHash<QString, QByteArray> m_rawName;  // stored name -> its bytes in the file (not always UTF-8)
    HelpSystemInfo m_system;
};

} // namespace tshelp
