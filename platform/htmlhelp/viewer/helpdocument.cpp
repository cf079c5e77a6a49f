#include "helpdocument.h"

#include "chmsystem.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <optional>

namespace tshelp {

namespace {

QHash<QString, std::weak_ptr<HelpDocument>> &OpenDocuments()
{
    static QHash<QString, std::weak_ptr<HelpDocument>> documents;
    return documents;
}

QVector<SitemapEntry> ReadSitemap(const ChmFile &file, const QString &name)
{
    if (name.isEmpty())
        return {};
    const std::optional<QByteArray> data = file.read(name, 16 * 1024 * 1024);
    return data ? ParseSitemap(*data, file.codec()) : QVector<SitemapEntry>();
}

} // namespace

std::shared_ptr<HelpDocument> HelpDocument::open(const QString &path)
{
    QString local = path;
    local.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QFileInfo info(local);
    if (!info.exists()) {
        // File names are found regardless of case, as links between help files expect.
        const QStringList names = info.dir().entryList(QDir::Files);
        for (const QString &name : names) {
            if (name.compare(info.fileName(), Qt::CaseInsensitive) == 0) {
                info.setFile(info.dir(), name);
                break;
            }
        }
    }
    const QString canonical = info.canonicalFilePath();
    if (canonical.isEmpty() || !info.isFile())
        return nullptr;
    const QString key = QLatin1Char('f')
        + QString::fromLatin1(
              QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha1).toHex().left(16));
    if (std::shared_ptr<HelpDocument> open = find(key))
        return open;
    std::unique_ptr<ChmFile> file = ChmFile::open(canonical);
    if (!file)
        return nullptr;
    std::shared_ptr<HelpDocument> document(new HelpDocument);
    document->m_file = std::move(file);
    document->m_key = key;
    OpenDocuments().insert(key, document);
    return document;
}

std::shared_ptr<HelpDocument> HelpDocument::find(const QString &key)
{
    auto &documents = OpenDocuments();
    auto it = documents.find(key.toLower());
    if (it == documents.end())
        return nullptr;
    std::shared_ptr<HelpDocument> document = it->lock();
    if (!document)
        documents.erase(it);
    return document;
}

QString HelpDocument::title() const
{
    const QString title = m_file->system().title.trimmed();
    return title.isEmpty() ? QFileInfo(m_file->path()).fileName() : title;
}

QString HelpDocument::linkedFile(const QString &file) const
{
    QString local = file;
    local.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QFileInfo(local).isRelative() ? QFileInfo(m_file->path()).dir().filePath(local) : local;
}

QUrl HelpDocument::urlFor(const QString &topic) const
{
    QString target = topic.isEmpty() ? m_file->system().defaultTopic : topic;
    QString fragment;
    const int hash = target.indexOf(QLatin1Char('#'));
    if (hash >= 0) {
        fragment = target.mid(hash + 1);
        target.truncate(hash);
    }
    QString stored = m_file->resolve(target);
    if (stored.isEmpty())
        stored = StoredName(target); // the engine shows its own page for a missing one
    QUrl url;
    url.setScheme(QLatin1String(kHelpScheme));
    url.setHost(m_key);
    url.setPath(stored.isEmpty() ? QStringLiteral("/") : stored, QUrl::DecodedMode); // "%" is a name's
    if (!fragment.isEmpty())
        url.setFragment(fragment);
    return url;
}

QString HelpDocument::topicOf(const QUrl &url) const
{
    if (url.scheme() != QLatin1String(kHelpScheme) || url.host() != m_key)
        return {};
    const QString stored = m_file->resolveUrlPath(url.path(QUrl::FullyEncoded));
    return stored.isEmpty() ? StoredName(url.path(QUrl::FullyDecoded)) : stored;
}

const QVector<SitemapEntry> &HelpDocument::contents()
{
    if (!m_contentsRead) {
        m_contentsRead = true;
        m_contents = ReadSitemap(*m_file, m_file->system().contentsFile);
    }
    return m_contents;
}

const QVector<SitemapEntry> &HelpDocument::index()
{
    if (!m_indexRead) {
        m_indexRead = true;
        m_index = ReadSitemap(*m_file, m_file->system().indexFile);
    }
    return m_index;
}

const SearchIndex &HelpDocument::searchIndex()
{
    if (!m_searchBuilt) {
        m_searchBuilt = true;
        const QStringList entries = m_file->entries();
        for (const QString &name : entries) {
            const QString lower = name.toLower();
            if (!lower.endsWith(QLatin1String(".htm")) && !lower.endsWith(QLatin1String(".html")))
                continue;
            if (const std::optional<QByteArray> page = m_file->read(name, 8 * 1024 * 1024))
                m_search.addPage(name, *page, m_file->codec());
        }
    }
    return m_search;
}

} // namespace tshelp
