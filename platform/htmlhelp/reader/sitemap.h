// The contents (.hhc) and keyword index (.hhk) of a help file: HTML lists of "text/sitemap" objects.
#pragma once
#include <QByteArray>
#include <QString>
#include <QVector>

class QTextCodec;

namespace tshelp {

// Levels of nesting that a sitemap keeps; deeper lists continue flat at the deepest level. The
// viewer shows every level that the reader keeps.
inline constexpr int kSitemapMaxDepth = 64;

struct SitemapTarget
{
    QString title; // the "Name" that follows the first one, or the entry's own name
    QString local; // the "Local" value as written ("page.htm", "sub/page.htm#part")
};

struct SitemapEntry
{
    QString name;                   // the first "Name" parameter
    QVector<SitemapTarget> targets; // one per "Local"; empty for a heading without a page
    QString seeAlso;                // the "See Also" keyword of an index entry, if any
    QVector<SitemapEntry> children; // entries of the nested list that follows it
};

// Parses a sitemap file. Texts are decoded with the codec that the file declares in a meta charset,
// else `codec` (null: Windows-1252), and HTML entities in attribute values are decoded. Unbalanced
// or damaged markup yields what could be read, never an error; nesting is capped.
QVector<SitemapEntry> ParseSitemap(const QByteArray &data, QTextCodec *codec);

// The "Local" of the first entry that has one, in document order, without parsing the rest of
// `data`. When `data` holds only the file's first bytes (`complete` false), an entry that the cut
// leaves unclosed is not taken. Empty when there is none.
QString FirstSitemapLocal(const QByteArray &data, QTextCodec *codec, bool complete = true);

} // namespace tshelp
