#include "chmfile.h"

#include "sitemap.h"

#include <QFile>
#include <QTextCodec>
#include <QUrl>

#include <chm_lib.h>

#include <cstring>
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

struct Enumeration
{
    QStringList *entries;
    QHash<QString, QString> *byLower;
    QHash<QString, QByteArray> *raw;
};

int CollectEntry(chmFile *, chmUnitInfo *ui, void *context)
{
    auto *e = static_cast<Enumeration *>(context);
    const QByteArray raw(ui->path, int(strnlen(ui->path, sizeof ui->path)));
    // Folders, and the system objects that the viewer must not show as pages.
    if (raw.isEmpty() || raw.endsWith('/') || raw.startsWith("/#") || raw.startsWith("/$")
        || !raw.startsWith('/'))
        return CHM_ENUMERATOR_CONTINUE;
    const QString name = QString::fromUtf8(raw);
    if (e->raw->contains(name))
        return CHM_ENUMERATOR_CONTINUE;
    e->entries->append(name);
    e->raw->insert(name, raw);
    const QString lower = AsciiLower(name);
    if (!e->byLower->contains(lower))
        e->byLower->insert(lower, name);
    return CHM_ENUMERATOR_CONTINUE;
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
    chmFile *handle = chm_open(QFile::encodeName(path).constData());
    if (!handle)
        return nullptr;
    std::unique_ptr<ChmFile> file(new ChmFile);
    file->m_handle = handle;
    file->m_path = path;
    Enumeration e{&file->m_entries, &file->m_byLowerName, &file->m_rawName};
    chm_enumerate(handle, CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES, &CollectEntry, &e);

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

ChmFile::~ChmFile()
{
    if (m_handle)
        chm_close(m_handle);
}

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
    const QString found = m_byLowerName.value(AsciiLower(stored));
    if (!found.isEmpty() || !m_handle || stored.startsWith(QLatin1String("/#"))
        || stored.startsWith(QLatin1String("/$")) || stored.endsWith(QLatin1Char('/')))
        return found;
    // chmlib's enumeration passes over most of the directory of files that the free compiler
    // writes with many entries; its look-up by name (regardless of case) finds them.
    chmUnitInfo ui;
    std::memset(&ui, 0, sizeof ui);
    const QByteArray raw = stored.toUtf8();
    if (chm_resolve_object(m_handle, raw.constData(), &ui) != CHM_RESOLVE_SUCCESS)
        return {};
    const QString name = QString::fromUtf8(ui.path, int(strnlen(ui.path, sizeof ui.path)));
    return name.compare(stored, Qt::CaseInsensitive) == 0 ? name : QString();
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
    if (!m_handle || length <= 0)
        return std::nullopt;
    const QByteArray raw = m_rawName.value(stored, stored.toUtf8());
    chmUnitInfo ui;
    std::memset(&ui, 0, sizeof ui);
    if (chm_resolve_object(m_handle, raw.constData(), &ui) != CHM_RESOLVE_SUCCESS)
        return std::nullopt;
    const quint64 wanted = qMin<quint64>(ui.length, quint64(length));
    QByteArray data(int(wanted), Qt::Uninitialized);
    if (wanted == 0)
        return data;
    const LONGINT64 got = chm_retrieve_object(
        m_handle, &ui, reinterpret_cast<unsigned char *>(data.data()), 0, LONGINT64(wanted));
    if (got != LONGINT64(wanted)) {
        chm_close(m_handle);
        m_handle = chm_open(QFile::encodeName(m_path).constData());
        return std::nullopt;
    }
    return data;
}

std::optional<QByteArray> ChmFile::readStored(const QString &stored, qint64 limit) const
{
    if (!m_handle)
        return std::nullopt;
    const QByteArray raw = m_rawName.value(stored, stored.toUtf8());
    chmUnitInfo ui;
    std::memset(&ui, 0, sizeof ui);
    if (chm_resolve_object(m_handle, raw.constData(), &ui) != CHM_RESOLVE_SUCCESS)
        return std::nullopt;
    // The length comes from the file: check it before allocating.
    constexpr quint64 kMaxBytes = quint64(std::numeric_limits<int>::max()) - 64;
    if (limit < 0 || ui.length > quint64(limit) || ui.length > kMaxBytes)
        return std::nullopt;
    QByteArray data(int(ui.length), Qt::Uninitialized);
    if (ui.length == 0)
        return data;
    const LONGINT64 got = chm_retrieve_object(m_handle, &ui,
                                              reinterpret_cast<unsigned char *>(data.data()), 0,
                                              LONGINT64(ui.length));
    if (got != LONGINT64(ui.length)) {
        chm_close(m_handle);
        m_handle = chm_open(QFile::encodeName(m_path).constData());
        return std::nullopt;
    }
    return data;
}

} // namespace tshelp
