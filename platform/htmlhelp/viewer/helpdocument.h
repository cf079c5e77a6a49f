// An open help file as the viewer uses it: the file, its contents and index parsed on first use, its
// search index built on first search, and its address under the viewer's URL scheme.
#pragma once
#include "chmfile.h"
#include "helpcontent.h"
#include "searchindex.h"
#include "sitemap.h"

#include <QCache>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QVector>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class QObject;
class QTextCodec;

namespace tshelp {

// The URL scheme under which the viewer's engine reads help files: "tshelp://<key>/<stored name>".
inline constexpr char kHelpScheme[] = "tshelp";

// The largest object that the viewer reads from a help file; larger ones are refused.
inline constexpr qint64 kObjectLimit = 32 * 1024 * 1024;
// Recently read objects kept decoded, per document.
inline constexpr qint64 kCacheLimit = 32 * 1024 * 1024;
// Decompressed bytes handed to the engine and not yet released, per document. A page that asks for
// more at once gets its further objects refused until the engine lets go of some.
inline constexpr qint64 kReplyBudget = 128 * 1024 * 1024;

class HelpDocument : public std::enable_shared_from_this<HelpDocument>
{
public:
    // The document of the help file at `path` (a backslash reads as a folder separator): the one
    // already open for the same file, else a newly opened one; null when the file cannot be opened.
    // GUI thread only, as find().
    static std::shared_ptr<HelpDocument> open(const QString &path);
    // The document with the given key (the host part of its addresses). A document that was open
    // once under that key and has been closed since is opened again (the engine comes back to the
    // pages of its history); null for a key that never named a document, or a file now gone.
    static std::shared_ptr<HelpDocument> find(const QString &key);
    // The number of documents open now (each holds its file open).
    static int openCount();

    ~HelpDocument();

    const ChmFile &file() const { return *m_file; }
    QString key() const { return m_key; }
    QString title() const;

    // A help file named by a link in this one: a relative name is taken from this file's folder; a
    // backslash reads as a folder separator.
    QString linkedFile(const QString &file) const;

    // The address of a stored name ("/page.htm#part"); the default topic for an empty one.
    QUrl urlFor(const QString &topic) const;
    // The stored name that an address of this document shows ("/page.htm"), or empty for others.
    QString topicOf(const QUrl &url) const;

    // Any thread: the object that a percent-encoded path names (see HelpContent), from the cache of
    // recent objects or read from the file; not found for objects larger than kObjectLimit.
    HelpReply content(const QString &encodedPath);
    // Any thread: an object's bytes by name, or nothing (see ChmFile::read).
    std::optional<QByteArray> read(const QString &name, qint64 limit = kObjectLimit);

    // Reply budget (any thread): takes `bytes` from it, or false when that would exceed it; release()
    // gives them back.
    bool reserve(qint64 bytes);
    void release(qint64 bytes);
    qint64 reserved() const { return m_reserved.load(); }

    // The character set that pages, contents, index and search are read in: empty for the file's own
    // (its language record, or what a page declares), else a codec name that overrides both. Setting
    // it (GUI thread) drops what was read in the former one; contents() and index() read again, and
    // the search index is built again when next asked for.
    QByteArray characterSet() const;
    void setCharacterSet(const QByteArray &name);
    QTextCodec *codec() const;

    const QVector<SitemapEntry> &contents();
    const QVector<SitemapEntry> &index();

    // Built from every page of the file on first use. searchIndex() builds it on the calling thread
    // if needed; whenSearchIndexReady() builds it on a reading thread and then calls `ready` on the
    // GUI thread (at once when built), unless `receiver` is gone by then. A receiver that asks again
    // while it waits is called once, with its latest `ready`.
    const SearchIndex &searchIndex();
    void whenSearchIndexReady(QObject *receiver, std::function<void()> ready);
    bool searchIndexReady() const { return m_searchBuilt.load(); }

private:
    HelpDocument() = default;
    void buildSearchIndex();
    QVector<SitemapEntry> readSitemap(const QString &name);

    std::unique_ptr<ChmFile> m_file;
    QString m_key;
    // The reader is for one thread at a time.
    mutable std::mutex m_fileMutex;
    QCache<QString, HelpReply> m_cache{int(kCacheLimit / 1024)}; // cost in KiB; under m_fileMutex
    std::atomic<qint64> m_reserved{0};
    mutable std::mutex m_codecMutex;
    QByteArray m_characterSet;           // under m_codecMutex
    std::atomic<int> m_generation{0};    // of the character set
    bool m_contentsRead = false;
    bool m_indexRead = false;
    QVector<SitemapEntry> m_contents;
    QVector<SitemapEntry> m_index;
    std::mutex m_searchMutex;
    std::atomic<bool> m_searchBuilt{false};
    bool m_searchRunning = false; // GUI thread
    std::vector<std::pair<QPointer<QObject>, std::function<void()>>> m_searchWaiting;
    SearchIndex m_search;
};

} // namespace tshelp
