#include "htmlentities.h"

#include <QHash>
#include <QTextCodec>

#include <cstring>

namespace tshelp {

namespace {

struct NamedEntity
{
    const char *name;
    char16_t value;
};

// The names that help pages commonly use; the full HTML list is not needed to find words.
const NamedEntity kNamedEntities[] = {
    {"amp", u'&'}, {"lt", u'<'}, {"gt", u'>'}, {"quot", u'"'}, {"apos", u'\''},
    {"nbsp", 0xA0}, {"iexcl", 0xA1}, {"cent", 0xA2}, {"pound", 0xA3}, {"curren", 0xA4},
    {"yen", 0xA5}, {"brvbar", 0xA6}, {"sect", 0xA7}, {"uml", 0xA8}, {"copy", 0xA9},
    {"ordf", 0xAA}, {"laquo", 0xAB}, {"not", 0xAC}, {"shy", 0xAD}, {"reg", 0xAE},
    {"macr", 0xAF}, {"deg", 0xB0}, {"plusmn", 0xB1}, {"sup2", 0xB2}, {"sup3", 0xB3},
    {"acute", 0xB4}, {"micro", 0xB5}, {"para", 0xB6}, {"middot", 0xB7}, {"cedil", 0xB8},
    {"sup1", 0xB9}, {"ordm", 0xBA}, {"raquo", 0xBB}, {"frac14", 0xBC}, {"frac12", 0xBD},
    {"frac34", 0xBE}, {"iquest", 0xBF}, {"Agrave", 0xC0}, {"Aacute", 0xC1}, {"Acirc", 0xC2},
    {"Atilde", 0xC3}, {"Auml", 0xC4}, {"Aring", 0xC5}, {"AElig", 0xC6}, {"Ccedil", 0xC7},
    {"Egrave", 0xC8}, {"Eacute", 0xC9}, {"Ecirc", 0xCA}, {"Euml", 0xCB}, {"Igrave", 0xCC},
    {"Iacute", 0xCD}, {"Icirc", 0xCE}, {"Iuml", 0xCF}, {"ETH", 0xD0}, {"Ntilde", 0xD1},
    {"Ograve", 0xD2}, {"Oacute", 0xD3}, {"Ocirc", 0xD4}, {"Otilde", 0xD5}, {"Ouml", 0xD6},
    {"times", 0xD7}, {"Oslash", 0xD8}, {"Ugrave", 0xD9}, {"Uacute", 0xDA}, {"Ucirc", 0xDB},
    {"Uuml", 0xDC}, {"Yacute", 0xDD}, {"THORN", 0xDE}, {"szlig", 0xDF}, {"agrave", 0xE0},
    {"aacute", 0xE1}, {"acirc", 0xE2}, {"atilde", 0xE3}, {"auml", 0xE4}, {"aring", 0xE5},
    {"aelig", 0xE6}, {"ccedil", 0xE7}, {"egrave", 0xE8}, {"eacute", 0xE9}, {"ecirc", 0xEA},
    {"euml", 0xEB}, {"igrave", 0xEC}, {"iacute", 0xED}, {"icirc", 0xEE}, {"iuml", 0xEF},
    {"eth", 0xF0}, {"ntilde", 0xF1}, {"ograve", 0xF2}, {"oacute", 0xF3}, {"ocirc", 0xF4},
    {"otilde", 0xF5}, {"ouml", 0xF6}, {"divide", 0xF7}, {"oslash", 0xF8}, {"ugrave", 0xF9},
    {"uacute", 0xFA}, {"ucirc", 0xFB}, {"uuml", 0xFC}, {"yacute", 0xFD}, {"thorn", 0xFE},
    {"yuml", 0xFF}, {"OElig", 0x152}, {"oelig", 0x153}, {"Scaron", 0x160}, {"scaron", 0x161},
    {"Yuml", 0x178}, {"fnof", 0x192}, {"circ", 0x2C6}, {"tilde", 0x2DC}, {"ensp", 0x2002},
    {"emsp", 0x2003}, {"thinsp", 0x2009}, {"ndash", 0x2013}, {"mdash", 0x2014},
    {"lsquo", 0x2018}, {"rsquo", 0x2019}, {"sbquo", 0x201A}, {"ldquo", 0x201C},
    {"rdquo", 0x201D}, {"bdquo", 0x201E}, {"dagger", 0x2020}, {"Dagger", 0x2021},
    {"bull", 0x2022}, {"hellip", 0x2026}, {"permil", 0x2030}, {"prime", 0x2032},
    {"lsaquo", 0x2039}, {"rsaquo", 0x203A}, {"euro", 0x20AC}, {"trade", 0x2122},
    {"larr", 0x2190}, {"uarr", 0x2191}, {"rarr", 0x2192}, {"darr", 0x2193}, {"harr", 0x2194},
    {"minus", 0x2212}, {"le", 0x2264}, {"ge", 0x2265}, {"ne", 0x2260},
};
constexpr int kLongestEntityName = 8;

const QHash<QString, char16_t> &EntityTable()
{
    static const QHash<QString, char16_t> table = [] {
        QHash<QString, char16_t> t;
        for (const NamedEntity &e : kNamedEntities)
            t.insert(QString::fromLatin1(e.name), e.value);
        return t;
    }();
    return table;
}

// Numeric references 128..159 name the Windows-1252 characters there, as browsers read them.
const char16_t kWindows1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,
};

bool IsAsciiAlnum(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
}

int HexValue(char16_t u)
{
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// Decodes the reference at text[at] == '&'; returns the characters consumed (0: not a reference).
int DecodeReference(const QString &text, int at, QString &out)
{
    const int n = text.size();
    int i = at + 1;
    if (i < n && text.at(i) == QLatin1Char('#')) {
        ++i;
        int base = 10;
        if (i < n && (text.at(i) == QLatin1Char('x') || text.at(i) == QLatin1Char('X'))) {
            base = 16;
            ++i;
        }
        const int digitsStart = i;
        uint value = 0;
        bool tooLarge = false;
        for (; i < n; ++i) {
            const char16_t u = text.at(i).unicode();
            const int d = base == 16 ? HexValue(u) : (u >= '0' && u <= '9' ? u - '0' : -1);
            if (d < 0)
                break;
            if (!tooLarge) {
                value = value * uint(base) + uint(d);
                tooLarge = value > 0x10FFFF;
            }
        }
        if (i == digitsStart)
            return 0;
        if (i < n && text.at(i) == QLatin1Char(';'))
            ++i;
        if (tooLarge || value == 0 || (value >= 0xD800 && value <= 0xDFFF))
            out += QChar(0xFFFD);
        else if (value >= 0x80 && value < 0xA0)
            out += QChar(kWindows1252High[value - 0x80]);
        else if (value > 0xFFFF)
            out += QString::fromUcs4(&value, 1);
        else
            out += QChar(char16_t(value));
        return i - at;
    }
    int end = i;
    while (end < n && end - i < kLongestEntityName && IsAsciiAlnum(text.at(end)))
        ++end;
    // The longest known name wins ("&notin" is "&not" + "in" without a semicolon).
    const auto &table = EntityTable();
    for (int len = end - i; len > 0; --len) {
        const auto it = table.constFind(text.mid(i, len));
        if (it == table.constEnd())
            continue;
        int consumed = 1 + len;
        if (i + len < n && text.at(i + len) == QLatin1Char(';'))
            ++consumed;
        out += QChar(it.value());
        return consumed;
    }
    return 0;
}

int IndexOfAsciiCi(const QByteArray &hay, const char *needle, int from, int to)
{
    const int len = int(std::strlen(needle));
    for (int i = from; i + len <= to; ++i) {
        if (qstrnicmp(hay.constData() + i, needle, uint(len)) == 0)
            return i;
    }
    return -1;
}

} // namespace

QString DecodeHtmlEntities(const QString &text)
{
    if (!text.contains(QLatin1Char('&')))
        return text;
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size();) {
        if (text.at(i) == QLatin1Char('&')) {
            const int consumed = DecodeReference(text, i, out);
            if (consumed > 0) {
                i += consumed;
                continue;
            }
        }
        out += text.at(i++);
    }
    return out;
}

QByteArray DeclaredHtmlCharset(const QByteArray &html)
{
    const int n = html.size();
    // Each tag is scanned once: the next search starts after this tag's end.
    int close = 0;
    for (int at = IndexOfAsciiCi(html, "<meta", 0, n); at >= 0;
         at = IndexOfAsciiCi(html, "<meta", qMax(at + 5, close), n)) {
        close = html.indexOf('>', at);
        if (close < 0)
            close = n;
        for (int key = IndexOfAsciiCi(html, "charset", at, close); key >= 0;
             key = IndexOfAsciiCi(html, "charset", key + 7, close)) {
            int i = key + 7;
            while (i < close && (html.at(i) == ' ' || html.at(i) == '\t'))
                ++i;
            if (i >= close || html.at(i) != '=')
                continue;
            ++i;
            while (i < close && (html.at(i) == ' ' || html.at(i) == '\t' || html.at(i) == '"'
                                 || html.at(i) == '\''))
                ++i;
            const int start = i;
            while (i < close && i - start < 40) {
                const char c = html.at(i);
                const bool nameChar = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')
                    || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' || c == ':';
                if (!nameChar)
                    break;
                ++i;
            }
            if (i > start)
                return html.mid(start, i - start);
        }
    }
    return {};
}

QTextCodec *HtmlCodec(const QByteArray &html, QTextCodec *fallback)
{
    // A byte-order mark outranks a declared character set, as in browsers.
    if (html.startsWith("\xEF\xBB\xBF"))
        return QTextCodec::codecForName("UTF-8");
    const QByteArray declared = DeclaredHtmlCharset(html);
    if (!declared.isEmpty()) {
        if (QTextCodec *codec = QTextCodec::codecForName(declared))
            return codec;
    }
    if (fallback)
        return fallback;
    if (QTextCodec *codec = QTextCodec::codecForName("windows-1252"))
        return codec;
    return QTextCodec::codecForName("ISO-8859-1");
}

} // namespace tshelp
