// The full-text search of the help viewer: an index built from the pages' decoded text.
#pragma once
#include <QByteArray>
#include <QString>
#include <QVector>

class QTextCodec;

namespace tshelp {

class SearchIndex
{
public:
    struct Hit
    {
        QString path;  // stored name of the page
        QString title; // the page's <title>, else its path
        int score = 0;
    };

    // Adds a page. Its text is decoded with the codec that the page declares in a meta charset, else
    // `codec`; tags, scripts and style sheets are dropped and entities decoded (&amp;, &eacute;,
    // &#233;, &#xE9;), so the search sees the text the reader sees.
    void addPage(const QString &path, const QByteArray &html, QTextCodec *codec);

    // The pages holding every word of `query` (split at white space), found regardless of case, in
    // any script (Japanese words need no spaces around them); best first: more occurrences, words in
    // the title counting more, then by title. Empty for an empty query.
    QVector<Hit> search(const QString &query) const;

    int pageCount() const { return m_pages.size(); }

    // The visible text of an HTML page (decoded as for addPage) and its title.
    static QString PlainText(const QString &html, QString *title = nullptr);

private:
    struct Page
    {
        QString path;
        QString title;
        QString foldedTitle;
        QString foldedText;
    };
    QVector<Page> m_pages;
};

} // namespace tshelp
