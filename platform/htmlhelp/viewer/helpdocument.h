// An open help file as the viewer uses it: the file, its contents and index parsed on first use, its
// search index built on first search, and its address under the viewer's URL scheme.
#pragma once
#include "chmfile.h"
#include "searchindex.h"
#include "sitemap.h"

#include <QString>
#include <QUrl>
#include <QVector>

#include <memory>

namespace tshelp {

// The URL scheme under which the viewer's engine reads help files: "tshelp://<key>/<stored name>".
inline constexpr char kHelpScheme[] = "tshelp";

class HelpDocument
{
public:
    // The document of the help file at `path` (a backslash reads as a folder separator): the one
    // already open for the same file, else a newly opened one; null when the file cannot be opened.
    static std::shared_ptr<HelpDocument> open(const QString &path);
    // The open document with the given key (the host part of its addresses), if any.
    static std::shared_ptr<HelpDocument> find(const QString &key);

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

    const QVector<SitemapEntry> &contents();
    const QVector<SitemapEntry> &index();
    // Built from every page of the file on the first call.
    const SearchIndex &searchIndex();

private:
    HelpDocument() = default;

    std::unique_ptr<ChmFile> m_file;
    QString m_key;
    bool m_contentsRead = false;
    bool m_indexRead = false;
    bool m_searchBuilt = false;
    QVector<SitemapEntry> m_contents;
    QVector<SitemapEntry> m_index;
    SearchIndex m_search;
};

} // namespace tshelp
