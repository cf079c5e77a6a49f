#include "searchindex.h"

#include "htmlentities.h"

#include <QRegularExpression>
#include <QTextCodec>

#include <algorithm>
#include <iterator>
#include <limits>

namespace tshelp {

namespace {

constexpr int kTitleWeight = 10;

// Tags whose contents are raw text up to their end tag, never shown (the title is shown apart).
const char *const kRawTextTags[] = {"script", "style", "title", "template"};

// Tags that may stand in the head; any other one starts the body.
const char *const kHeadTags[] = {"title", "meta", "link", "script", "style", "base", "noscript",
                                 "object", "param", "template"};

// Tags that break words: the text on either side does not run together.
const char *const kBreakingTags[] = {
    "p", "br", "div", "li", "ul", "ol", "dl", "dt", "dd", "td", "th", "tr", "table", "h1", "h2",
    "h3", "h4", "h5", "h6", "hr", "pre", "blockquote", "title", "body", "html", "img", "option",
    "section", "article", "header", "footer", "nav", "caption", "address", "center", "form",
    "input", "select", "textarea", "button", "object", "param", "iframe",
};

bool IsNameChar(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9');
}

bool InList(const QString &name, const char *const *list, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        if (name == QLatin1String(list[i]))
            return true;
    }
    return false;
}

// The tag's end; the input's end for a tag left open. Quoted attribute values may hold '>'.
int TagEnd(const QString &html, int from)
{
    QChar quote;
    for (int i = from; i < html.size(); ++i) {
        const QChar c = html.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            // A quote only opens a value right after '='.
            int j = i - 1;
            while (j > from && html.at(j).isSpace())
                --j;
            if (j >= from && html.at(j) == QLatin1Char('='))
                quote = c;
        } else if (c == QLatin1Char('>')) {
            return i;
        }
    }
    return html.size();
}

QString CollapseSpaces(const QString &text)
{
    QString out;
    out.reserve(text.size());
    bool space = false;
    for (const QChar c : text) {
        if (c.isSpace()) {
            space = !out.isEmpty();
            continue;
        }
        if (space)
            out += QLatin1Char(' ');
        space = false;
        out += c;
    }
    return out;
}

int Occurrences(const QString &text, const QString &word)
{
    int count = 0;
    for (int at = text.indexOf(word); at >= 0; at = text.indexOf(word, at + word.size()))
        ++count;
    return count;
}

} // namespace

QString SearchIndex::PlainText(const QString &html, QString *title)
{
    QString raw;      // the shown text between tags, still with its references
    QString rawTitle;
    bool haveTitle = false;
    bool inHead = false; // the head's text is not shown; its <title> is the page's title
    const int n = html.size();
    int i = 0;
    while (i < n) {
        const int lt = html.indexOf(QLatin1Char('<'), i);
        const int textEnd = lt < 0 ? n : lt;
        const QStringRef chunk = html.midRef(i, textEnd - i);
        if (inHead && !chunk.trimmed().isEmpty())
            inHead = false; // text in the head starts the body, as browsers read it
        if (!inHead)
            raw += chunk;
        if (lt < 0)
            break;
        i = lt;
        if (html.midRef(i, 4) == QLatin1String("<!--")) {
            const int end = html.indexOf(QLatin1String("-->"), i + 4);
            i = end < 0 ? n : end + 3;
            continue;
        }
        int nameStart = i + 1;
        const bool closing = nameStart < n && html.at(nameStart) == QLatin1Char('/');
        if (closing)
            ++nameStart;
        int nameEnd = nameStart;
        while (nameEnd < n && IsNameChar(html.at(nameEnd)))
            ++nameEnd;
        const bool declaration = !closing && nameStart < n
            && (html.at(nameStart) == QLatin1Char('!') || html.at(nameStart) == QLatin1Char('?'));
        if (nameEnd == nameStart && !declaration) {
            if (!inHead)
                raw += QLatin1Char('<'); // a lone "<" is text
            ++i;
            continue;
        }
        const QString name = html.mid(nameStart, nameEnd - nameStart).toLower();
        i = qMin(TagEnd(html, nameEnd) + 1, n);
        if (declaration)
            continue;
        if (name == QLatin1String("head")) {
            inHead = !closing;
            continue;
        }
        if (inHead && !InList(name, kHeadTags, std::size(kHeadTags)))
            inHead = false; // the body began without saying so
        if (InList(name, kBreakingTags, std::size(kBreakingTags)))
            raw += QLatin1Char(' ');
        if (closing || !InList(name, kRawTextTags, std::size(kRawTextTags)))
            continue;
        // Script, style and title hold raw text up to their end tag.
        const QString endTag = QLatin1String("</") + name;
        int stop = i;
        for (;;) {
            stop = html.indexOf(endTag, stop, Qt::CaseInsensitive);
            if (stop < 0 || stop + endTag.size() >= n || !IsNameChar(html.at(stop + endTag.size())))
                break;
            stop += endTag.size();
        }
        const int contentEnd = stop < 0 ? n : stop;
        if (name == QLatin1String("title") && !haveTitle) {
            rawTitle = html.mid(i, contentEnd - i);
            haveTitle = true;
        }
        i = stop < 0 ? n : qMin(TagEnd(html, stop + endTag.size()) + 1, n);
    }
    if (title)
        *title = CollapseSpaces(DecodeHtmlEntities(rawTitle));
    return CollapseSpaces(DecodeHtmlEntities(raw));
}

void SearchIndex::addPage(const QString &path, const QByteArray &html, QTextCodec *codec)
{
    Page page;
    page.path = path;
    const QString text = HtmlCodec(html, codec)->toUnicode(html);
    const QString plain = PlainText(text, &page.title);
    if (page.title.isEmpty())
        page.title = path;
    page.foldedTitle = page.title.toCaseFolded();
    page.foldedText = plain.toCaseFolded();
    m_pages.append(std::move(page));
}

QVector<SearchIndex::Hit> SearchIndex::search(const QString &query) const
{
    const QStringList words = query.toCaseFolded().split(QRegularExpression(QStringLiteral("\\s+")),
                                                         Qt::SkipEmptyParts);
    QVector<Hit> hits;
    if (words.isEmpty())
        return hits;
    for (const Page &page : m_pages) {
        qint64 score = 0;
        bool all = true;
        for (const QString &word : words) {
            const int inText = Occurrences(page.foldedText, word);
            const int inTitle = Occurrences(page.foldedTitle, word);
            if (inText == 0 && inTitle == 0) {
                all = false;
                break;
            }
            score += inText + qint64(kTitleWeight) * inTitle;
        }
        if (all)
            hits.append({page.path, page.title,
                         int(qMin<qint64>(score, std::numeric_limits<int>::max()))});
    }
    std::stable_sort(hits.begin(), hits.end(), [](const Hit &a, const Hit &b) {
        if (a.score != b.score)
            return a.score > b.score;
        const int byTitle = QString::compare(a.title, b.title, Qt::CaseInsensitive);
        if (byTitle != 0)
            return byTitle < 0;
        return a.path < b.path;
    });
    return hits;
}

} // namespace tshelp
