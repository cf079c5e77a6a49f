#include "helpdocument.h"

#include "chmsystem.h"
#include "helpworkers.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QCoreApplication>
#include <QHash>
#include <QTextCodec>

#include <algorithm>
#include <optional>
#include <utility>

namespace tshelp {

namespace {

QHash<QString, std::weak_ptr<HelpDocument>> &OpenDocuments()
{
    static QHash<QString, std::weak_ptr<HelpDocument>> documents;
    return documents;
}

// Every file that had a document, by key: closed documents are opened again from here.
QHash<QString, QString> &KnownFiles()
{
    static QHash<QString, QString> files;
    return files;
}

std::atomic<int> g_openCount{0};

QString KeyOf(const QString &canonical)
{
    return QLatin1Char('f')
        + QString::fromLatin1(
              QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha1).toHex().left(16));
}

std::shared_ptr<HelpDocument> LiveDocument(const QString &key)
{
    auto &documents = OpenDocuments();
    auto it = documents.find(key);
    if (it == documents.end())
        return nullptr;
    std::shared_ptr<HelpDocument> document = it->lock();
    if (!document)
        documents.erase(it);
    return document;
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
    const QString key = KeyOf(canonical);
    if (std::shared_ptr<HelpDocument> open = LiveDocument(key))
        return open;
    std::unique_ptr<ChmFile> file = ChmFile::open(canonical);
    if (!file)
        return nullptr;
    std::shared_ptr<HelpDocument> document(new HelpDocument);
    document->m_file = std::move(file);
    document->m_key = key;
    ++g_openCount;
    OpenDocuments().insert(key, document);
    KnownFiles().insert(key, canonical);
    return document;
}

std::shared_ptr<HelpDocument> HelpDocument::find(const QString &key)
{
    const QString lower = key.toLower();
    if (std::shared_ptr<HelpDocument> document = LiveDocument(lower))
        return document;
    const auto known = KnownFiles().constFind(lower);
    if (known == KnownFiles().constEnd())
        return nullptr;
    std::shared_ptr<HelpDocument> document = open(*known);
    // (the file at that path may have been replaced by another since)
    return document && document->key() == lower ? document : nullptr;
}

int HelpDocument::openCount()
{
    return g_openCount.load();
}

HelpDocument::~HelpDocument()
{
    --g_openCount;
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
    QString stored;
    {
        const std::lock_guard<std::mutex> lock(m_fileMutex); // (resolving may read the file)
        stored = m_file->resolve(target);
    }
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
    QString stored;
    {
        const std::lock_guard<std::mutex> lock(m_fileMutex); // (resolving may read the file)
        stored = m_file->resolveUrlPath(url.path(QUrl::FullyEncoded));
    }
    return stored.isEmpty() ? StoredName(url.path(QUrl::FullyDecoded)) : stored;
}

QByteArray HelpDocument::characterSet() const
{
    const std::lock_guard<std::mutex> lock(m_codecMutex);
    return m_characterSet;
}

void HelpDocument::setCharacterSet(const QByteArray &name)
{
    {
        const std::lock_guard<std::mutex> lock(m_codecMutex);
        const QByteArray chosen = name.isEmpty() || QTextCodec::codecForName(name) ? name : QByteArray();
        if (chosen == m_characterSet)
            return;
        m_characterSet = chosen;
    }
    // (order matters: a build that finishes meanwhile sees the new generation and keeps nothing)
    ++m_generation;
    m_searchBuilt = false;
    {
        const std::lock_guard<std::mutex> lock(m_fileMutex);
        m_cache.clear();
    }
    m_contentsRead = false;
    m_indexRead = false;
}

QTextCodec *HelpDocument::codec() const
{
    const QByteArray chosen = characterSet();
    if (!chosen.isEmpty()) {
        if (QTextCodec *codec = QTextCodec::codecForName(chosen))
            return codec;
    }
    return m_file->codec();
}

HelpReply HelpDocument::content(const QString &encodedPath)
{
    const QByteArray chosen = characterSet();
    QTextCodec *forced = chosen.isEmpty() ? nullptr : QTextCodec::codecForName(chosen);
    const std::lock_guard<std::mutex> lock(m_fileMutex);
    if (const HelpReply *cached = m_cache.object(encodedPath))
        return *cached;
    HelpReply reply = HelpContent(*m_file, encodedPath, kObjectLimit);
    if (reply.found && forced && reply.mimeType == "text/html")
        reply.data = TranscodedToUtf8(reply.data, forced);
    if (reply.found) {
        const int cost = int(qMax<qint64>(1, reply.data.size() / 1024));
        m_cache.insert(encodedPath, new HelpReply(reply), cost); // (drops what does not fit)
    }
    return reply;
}

std::optional<QByteArray> HelpDocument::read(const QString &name, qint64 limit)
{
    const std::lock_guard<std::mutex> lock(m_fileMutex);
    return m_file->read(name, qMin(limit, kObjectLimit));
}

bool HelpDocument::reserve(qint64 bytes)
{
    qint64 held = m_reserved.load();
    do {
        if (bytes < 0 || held + bytes > kReplyBudget)
            return false;
    } while (!m_reserved.compare_exchange_weak(held, held + bytes));
    return true;
}

void HelpDocument::release(qint64 bytes)
{
    m_reserved -= bytes;
}

QVector<SitemapEntry> HelpDocument::readSitemap(const QString &name)
{
    const std::optional<QByteArray> data = name.isEmpty() ? std::nullopt : read(name);
    return data ? ParseSitemap(*data, codec()) : QVector<SitemapEntry>();
}

const QVector<SitemapEntry> &HelpDocument::contents()
{
    if (!m_contentsRead) {
        m_contentsRead = true;
        m_contents = readSitemap(m_file->system().contentsFile);
    }
    return m_contents;
}

const QVector<SitemapEntry> &HelpDocument::index()
{
    if (!m_indexRead) {
        m_indexRead = true;
        m_index = readSitemap(m_file->system().indexFile);
    }
    return m_index;
}

// Pages are read one at a time, so that the viewer's own page requests get their turn in between.
void HelpDocument::buildSearchIndex()
{
    const std::lock_guard<std::mutex> lock(m_searchMutex);
    while (!m_searchBuilt.load()) {
        const int generation = m_generation.load();
        const bool forced = !characterSet().isEmpty();
        QTextCodec *pageCodec = codec();
        QTextCodec *utf8 = QTextCodec::codecForName("UTF-8");
        SearchIndex index;
        const QStringList entries = m_file->entries();
        for (const QString &name : entries) {
            if (!IsPageName(name))
                continue;
            if (const std::optional<QByteArray> page = read(name, 8 * 1024 * 1024)) {
                if (forced)
                    index.addPage(name, TranscodedToUtf8(*page, pageCodec), utf8);
                else
                    index.addPage(name, *page, pageCodec);
            }
        }
        m_search = std::move(index);
        m_searchBuilt = true;
        // The character set changed while the pages were read: read them again.
        if (generation != m_generation.load())
            m_searchBuilt = false;
    }
}

const SearchIndex &HelpDocument::searchIndex()
{
    buildSearchIndex();
    return m_search;
}

void HelpDocument::whenSearchIndexReady(QObject *receiver, std::function<void()> ready)
{
    if (m_searchBuilt.load()) {
        ready();
        return;
    }
    // A receiver asking again while it waits is answered once, by its latest callback.
    const auto same = std::find_if(m_searchWaiting.begin(), m_searchWaiting.end(),
                                   [receiver](const auto &entry) { return entry.first == receiver; });
    if (same != m_searchWaiting.end())
        same->second = std::move(ready);
    else
        m_searchWaiting.emplace_back(receiver, std::move(ready));
    if (m_searchRunning)
        return;
    m_searchRunning = true;
    // The reading thread holds the document until the index is built.
    std::shared_ptr<HelpDocument> self = shared_from_this();
    RunInBackground(
        QCoreApplication::instance(),
        [self] {
            self->buildSearchIndex();
            return true;
        },
        [self](bool) {
            self->m_searchRunning = false;
            const auto waiting = std::exchange(self->m_searchWaiting, {});
            for (const auto &entry : waiting) {
                if (entry.first)
                    entry.second();
            }
        });
}

} // namespace tshelp
