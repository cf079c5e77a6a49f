#include "chmfile.h"

#include "chmcheck.h"
#include "sitemap.h"

#include <QFile>
#include <QTextCodec>
#include <QUrl>

#include <limits>

namespace tshelp {

namespace {

// The system records are small; a larger one is damaged.
constexpr qint64 kRecordLimit = 4 * 1024 * 1024;
// The first contents entry lies near the start of the contents file; how much of it is read first.
constexpr qint64 kContentsHead = 64 * 1024;

QString AsciiLower(const QString &name)
{
    QString lower = name;
    for (QChar &c : lower) {
        if (c.unicode() >= 'A' && c.unicode() <= 'Z')
            c = QChar(c.unicode() + ('a' - 'A'));
    }
    return lower;
}

bool EndsWithCi(const QString &name, const char *suffix)
{
    return name.endsWith(QLatin1String(suffix), Qt::CaseInsensitive);
}

} // namespace

std::unique_ptr<ChmFile> ChmFile::open(const QString &path)
{
    if (path.isEmpty())
        return nullptr;
    const DirectoryCheck directory = CheckDirectory(path);
    if (!directory.walksEnd)
        return nullptr;
    QList<QByteArray> names;
    std::unique_ptr<ChmWorker> worker = ChmWorker::start(QFile::encodeName(path), &names);
    if (!worker)
        return nullptr;
    names += directory.unchainedNames;
    std::unique_ptr<ChmFile> file(new ChmFile);
    file->m_worker = std::move(worker);
    file->m_path = path;
    for (const QByteArray &raw : names) {
        // Folders, and the system objects that the viewer must not show as pages.
        if (raw.isEmpty() || raw.endsWith('/') || raw.startsWith("/#") || raw.startsWith("/$")
            || !raw.startsWith('/'))
            continue;
        const QString name = QString::fromUtf8(raw);
        if (file->m_rawName.contains(name))
            continue;
        file->m_entries.append(name);
        file->m_rawName.insert(name, raw);
        const QString lower = AsciiLower(name);
        if (!file->m_byLowerName.contains(lower))
            file->m_byLowerName.insert(lower, name);
    }

    // The language first: it decides how the other records' texts decode.
    HelpSystemInfo &info = file->m_system;
    const QByteArray system = file->readStored(QStringLiteral("/#SYSTEM"), kRecordLimit)
                                  .value_or(QByteArray());
    info.lcid = LanguageOfSystemRecord(system);
    const QByteArray codecName = CodecNameForLcid(info.lcid);
    const auto windows = file->readStored(QStringLiteral("/#WINDOWS"), kRecordLimit);
    const auto strings = file->readStored(QStringLiteral("/#STRINGS"), kRecordLimit);
    if (windows && strings)
        ReadWindowsRecord(info, *windows, *strings, codecName);
    ReadSystemRecord(info, system, codecName);
    // chmlib crashed or hung on the records: the file is damaged beyond reading.
    if (!file->m_worker->alive())
        return nullptr;

    // Names from the records in the case they are stored in; the usual names for what is missing.
    for (QString *field : {&info.contentsFile, &info.indexFile, &info.defaultTopic}) {
        const QString stored = file->resolve(*field);
        if (!stored.isEmpty())
            *field = stored;
    }
    const QStringList &entries = file->m_entries;
    const auto firstEnding = [&](std::initializer_list<const char *> suffixes) {
        for (const QString &entry : entries) {
            for (const char *suffix : suffixes) {
                if (EndsWithCi(entry, suffix))
                    return entry;
            }
        }
        return QString();
    };
    if (info.contentsFile.isEmpty())
        info.contentsFile = firstEnding({".hhc"});
    if (info.indexFile.isEmpty())
        info.indexFile = firstEnding({".hhk"});
    // Without a default topic the file opens on its first contents entry, as its author saw it.
    if (info.defaultTopic.isEmpty() && !info.contentsFile.isEmpty()) {
        QString first;
        if (const auto head = file->readHead(info.contentsFile, kContentsHead)) {
            first = FirstSitemapLocal(*head, file->codec(), head->size() < kContentsHead);
            if (first.isEmpty() && head->size() == kContentsHead) {
                if (const auto whole = file->readStored(info.contentsFile, 16 * 1024 * 1024))
                    first = FirstSitemapLocal(*whole, file->codec());
            }
        }
        info.defaultTopic = file->resolve(first);
    }
    if (info.defaultTopic.isEmpty()) {
        for (const char *usual : {"/index.htm", "/default.htm", "/default.html", "/index.html"}) {
            info.defaultTopic = file->resolve(QLatin1String(usual));
            if (!info.defaultTopic.isEmpty())
                break;
        }
    }
    if (info.defaultTopic.isEmpty())
        info.defaultTopic = firstEnding({".htm", ".html"});
    return file;
}

ChmFile::~ChmFile() = default;

QString ChmFile::resolve(const QString &name) const
{
    const QString stored = StoredName(name);
    if (stored.isEmpty())
        return {};
    const QString found = lookUp(stored);
    if (!found.isEmpty() || !stored.contains(QLatin1Char('%')))
        return found;
    // Contents and links written %-encoded ("page%201.htm") for a name stored plainly.
    const QString decoded = StoredName(QUrl::fromPercentEncoding(stored.toUtf8()));
    return decoded.isEmpty() ? QString() : lookUp(decoded);
}

QString ChmFile::lookUp(const QString &stored) const
{
    // (the list is complete: the directory check also finds the listing chunks that the free
    // compiler leaves out of the chain)
    return m_byLowerName.value(AsciiLower(stored));
}

QString ChmFile::resolveUrlPath(const QString &encodedPath) const
{
    const QString decoded = resolve(QUrl::fromPercentEncoding(encodedPath.toUtf8()));
    // A name stored with "%" in it, linked to as written ("page%201.htm"), which the engine took for
    // an encoded "page 1.htm".
    return decoded.isEmpty() ? resolve(encodedPath) : decoded;
}

std::optional<QByteArray> ChmFile::read(const QString &name, qint64 limit) const
{
    const QString stored = resolve(name);
    if (stored.isEmpty())
        return std::nullopt;
    return readStored(stored, limit);
}

QTextCodec *ChmFile::codec() const
{
    if (QTextCodec *codec = QTextCodec::codecForName(CodecNameForLcid(m_system.lcid)))
        return codec;
    return QTextCodec::codecForName("windows-1252");
}

std::optional<QByteArray> ChmFile::readHead(const QString &stored, qint64 length) const
{
    if (length <= 0)
        return std::nullopt;
    // The reading process answers whole objects; sitemaps are read whole anyway soon after.
    const std::optional<QByteArray> whole = readStored(stored, 16 * 1024 * 1024);
    if (!whole)
        return std::nullopt;
    return whole->left(int(qMin<qint64>(length, whole->size())));
}

std::optional<QByteArray> ChmFile::readStored(const QString &stored, qint64 limit) const
{
    if (!m_worker || limit < 0)
        return std::nullopt;
    constexpr qint64 kMaxBytes = qint64(std::numeric_limits<int>::max()) - 64;
    return m_worker->read(m_rawName.value(stored, stored.toUtf8()), qMin(limit, kMaxBytes));
}

} // namespace tshelp
