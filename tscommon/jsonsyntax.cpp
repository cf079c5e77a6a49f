#include "jsonsyntax_p.h"

#include <charconv>
#include <cmath>
#include <set>
#include <system_error>

namespace tsnet {
namespace {

class Checker
{
public:
    Checker(const char *data, std::size_t size) : m_p(reinterpret_cast<const unsigned char *>(data)), m_size(size) {}

    bool Document(std::string &why)
    {
        SkipSpace();
        if (!Peek('{')) {
            why = "the description must be a JSON object";
            return false;
        }
        bool ok = Value(0);
        if (ok) {
            SkipSpace();
            if (m_at != m_size)
                ok = Fail("text after the object");
        }
        if (!ok)
            why = "not valid JSON at offset " + std::to_string(m_at) + ": " + m_why;
        return ok;
    }

private:
    bool Fail(const char *why)
    {
        m_why = why;
        return false;
    }
    bool Peek(char c) const { return m_at < m_size && m_p[m_at] == static_cast<unsigned char>(c); }
    void SkipSpace()
    {
        while (m_at < m_size && (m_p[m_at] == ' ' || m_p[m_at] == '\t' || m_p[m_at] == '\n' || m_p[m_at] == '\r'))
            ++m_at;
    }
    bool Literal(const char *word)
    {
        for (; *word; ++word, ++m_at)
            if (!Peek(*word))
                return Fail("unknown word");
        return true;
    }

    bool Value(int depth)
    {
        SkipSpace();
        if (m_at >= m_size)
            return Fail("unexpected end");
        switch (m_p[m_at]) {
        case '{': return Container(depth, '}');
        case '[': return Container(depth, ']');
        case '"': return String();
        case 't': return Literal("true");
        case 'f': return Literal("false");
        case 'n': return Literal("null");
        default: return Number();
        }
    }

    bool Container(int depth, char close)
    {
        if (depth >= MaxJsonDepth)
            return Fail("nested too deep");
        ++m_at;
        SkipSpace();
        if (Peek(close)) {
            ++m_at;
            return true;
        }
        // Names as Qt compares them, in UTF-16: a repeated name is refused (Qt's reader loses the
        // value it replaces).
        std::set<std::u16string> names;
        for (;;) {
            if (close == '}') {
                SkipSpace();
                if (!Peek('"'))
                    return Fail("a member name must be a string");
                std::u16string name;
                if (!String(&name))
                    return false;
                if (!names.insert(std::move(name)).second)
                    return Fail("a member name repeats");
                SkipSpace();
                if (!Peek(':'))
                    return Fail("':' expected");
                ++m_at;
            }
            if (!Value(depth + 1))
                return false;
            SkipSpace();
            if (Peek(close)) {
                ++m_at;
                return true;
            }
            if (!Peek(','))
                return Fail("',' or the end of the object or array expected");
            ++m_at;
        }
    }

    static bool IsHex(unsigned char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

    static unsigned HexValue(unsigned char c)
    {
        return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
    }

    // Checks a string; with `text`, also decodes it to UTF-16.
    bool String(std::u16string *text = nullptr)
    {
        ++m_at; // the opening quote
        while (m_at < m_size) {
            const unsigned char c = m_p[m_at];
            if (c == '"') {
                ++m_at;
                return true;
            }
            if (c < 0x20)
                return Fail("control character in a string");
            if (c == '\\') {
                if (++m_at >= m_size)
                    break;
                const unsigned char e = m_p[m_at];
                if (e == 'u') {
                    unsigned unit = 0;
                    for (int i = 1; i <= 4; ++i) {
                        if (m_at + i >= m_size || !IsHex(m_p[m_at + i]))
                            return Fail("bad \\u escape");
                        unit = unit * 16 + HexValue(m_p[m_at + i]);
                    }
                    if (text)
                        text->push_back(char16_t(unit));
                    m_at += 5;
                    continue;
                }
                static const char kEscapes[] = "\"\"\\\\//b\bf\fn\nr\rt\t";
                const char *found = nullptr;
                for (const char *k = kEscapes; *k; k += 2)
                    if (static_cast<unsigned char>(*k) == e)
                        found = k;
                if (!found)
                    return Fail("bad escape");
                if (text)
                    text->push_back(char16_t(static_cast<unsigned char>(found[1])));
                ++m_at;
                continue;
            }
            if (c < 0x80) {
                if (text)
                    text->push_back(char16_t(c));
                ++m_at;
                continue;
            }
            if (!Utf8Sequence(text))
                return false;
        }
        return Fail("unterminated string");
    }

    // One well-formed multi-byte UTF-8 sequence: no overlong forms, no surrogates, at most U+10FFFF.
    bool Utf8Sequence(std::u16string *text)
    {
        const unsigned char c = m_p[m_at];
        int length = 0;
        unsigned long cp = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            cp = c & 0x07;
        } else {
            return Fail("invalid UTF-8");
        }
        if (m_at + std::size_t(length) > m_size)
            return Fail("invalid UTF-8");
        for (int i = 1; i < length; ++i) {
            const unsigned char t = m_p[m_at + i];
            if ((t & 0xC0) != 0x80)
                return Fail("invalid UTF-8");
            cp = (cp << 6) | (t & 0x3F);
        }
        if ((length == 3 && cp < 0x800) || (length == 4 && cp < 0x10000) || cp > 0x10FFFF ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return Fail("invalid UTF-8");
        if (text) {
            if (cp >= 0x10000) {
                text->push_back(char16_t(0xD800 + ((cp - 0x10000) >> 10)));
                text->push_back(char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF)));
            } else {
                text->push_back(char16_t(cp));
            }
        }
        m_at += std::size_t(length);
        return true;
    }

    bool Digits()
    {
        const std::size_t start = m_at;
        while (m_at < m_size && m_p[m_at] >= '0' && m_p[m_at] <= '9')
            ++m_at;
        return m_at > start;
    }

    bool Number()
    {
        const std::size_t start = m_at;
        if (Peek('-'))
            ++m_at;
        if (Peek('0'))
            ++m_at;
        else if (!Digits())
            return Fail("unexpected character");
        if (Peek('.')) {
            ++m_at;
            if (!Digits())
                return Fail("digits expected after '.'");
        }
        if (Peek('e') || Peek('E')) {
            ++m_at;
            if (Peek('+') || Peek('-'))
                ++m_at;
            if (!Digits())
                return Fail("digits expected in the exponent");
        }
        if (m_at - start > 64)
            return Fail("number too long");
        // Read as the C locale would, whatever the process's locale.
        double value = 0;
        const char *first = reinterpret_cast<const char *>(m_p + start);
        const std::from_chars_result r = std::from_chars(first, first + (m_at - start), value);
        if (r.ec != std::errc() || !std::isfinite(value))
            return Fail("number out of range");
        return true;
    }

    const unsigned char *m_p;
    std::size_t m_size;
    std::size_t m_at = 0;
    const char *m_why = "";
};

} // namespace

bool IsWellFormedJsonObject(const char *data, std::size_t size, std::string &why)
{
    if (!data)
        size = 0;
    Checker checker(data ? data : "", size);
    return checker.Document(why);
}

} // namespace tsnet
