// Parser of registry export files. Every read is bounded by the decoded text; a line that does not
// parse is skipped as a whole.
#include "tsw/regfile.h"

#include <QChar>
#include <QString>

#include <cstring>
#include <limits>

namespace tsw {
namespace regfile {

namespace {

// The form in which names are compared: upper case, unit by unit.
WString FoldName(const WCHAR *name, std::size_t length)
{
    WString folded(name, length);
    for (WCHAR &c : folded) {
        if (c < 0x80) {
            if (c >= u'a' && c <= u'z')
                c = WCHAR(c - (u'a' - u'A'));
        } else if (!QChar::isSurrogate(c)) {
            // Only one-to-one mappings inside the BMP: a name keeps its length when folded.
            const uint upper = QChar::toUpper(uint(c));
            if (upper <= 0xFFFF)
                c = WCHAR(upper);
        }
    }
    return folded;
}

WString FoldName(const WString &name)
{
    return FoldName(name.data(), name.size());
}

} // namespace

const Key *Key::FindSubKey(const WCHAR *name, std::size_t length) const
{
    const auto it = subKeys.find(FoldName(name, length));
    return it == subKeys.end() ? nullptr : it->second.get();
}

const Value *Key::FindValue(const WCHAR *name, std::size_t length) const
{
    const auto it = valueIndex.find(FoldName(name, length));
    return it == valueIndex.end() ? nullptr : &values[it->second];
}

namespace {

// --- Decoding -------------------------------------------------------------------------------------

// UTF-16LE behind its byte-order mark (an odd last byte is dropped), else UTF-8 with or without one.
QString decode(const unsigned char *p, std::size_t n)
{
    if (n >= 2 && p[0] == 0xFF && p[1] == 0xFE) {
        QString out(int((n - 2) / 2), Qt::Uninitialized);
        for (int i = 0; i < out.size(); ++i)
            out[i] = QChar(ushort(p[2 + 2 * i] | (p[3 + 2 * i] << 8)));
        return out;
    }
    // Qt drops a leading byte-order mark and reads each byte of a damaged sequence as U+FFFD.
    static_assert(kMaxFileBytes <= std::size_t(std::numeric_limits<int>::max()), "sizes fit an int");
    return QString::fromUtf8(reinterpret_cast<const char *>(p), int(n));
}

// --- Lines ----------------------------------------------------------------------------------------

struct Span {
    const WCHAR *p = nullptr;
    std::size_t n = 0;

    bool empty() const { return n == 0; }
    WCHAR operator[](std::size_t i) const { return p[i]; }
    Span mid(std::size_t from) const { return from >= n ? Span{p + n, 0} : Span{p + from, n - from}; }
    Span left(std::size_t len) const { return Span{p, len < n ? len : n}; }
};

bool isSpace(WCHAR c) { return c == u' ' || c == u'\t'; }

Span trimLeft(Span s)
{
    std::size_t i = 0;
    while (i < s.n && isSpace(s[i]))
        ++i;
    return s.mid(i);
}

Span trimRight(Span s)
{
    while (s.n > 0 && isSpace(s.p[s.n - 1]))
        --s.n;
    return s;
}

Span trim(Span s) { return trimRight(trimLeft(s)); }

// What may follow a complete value or section: blanks and an optional comment.
bool onlyTrailer(Span s)
{
    s = trimLeft(s);
    return s.empty() || s[0] == u';';
}

bool equalsAsciiNoCase(Span s, const char *ascii)
{
    const std::size_t len = std::strlen(ascii);
    if (s.n != len)
        return false;
    for (std::size_t i = 0; i < len; ++i) {
        WCHAR c = s[i];
        if (c >= u'a' && c <= u'z')
            c = WCHAR(c - (u'a' - u'A'));
        char a = ascii[i];
        if (a >= 'a' && a <= 'z')
            a = char(a - ('a' - 'A'));
        if (c != WCHAR(a))
            return false;
    }
    return true;
}

bool startsWithAsciiNoCase(Span s, const char *ascii)
{
    const std::size_t len = std::strlen(ascii);
    return s.n >= len && equalsAsciiNoCase(s.left(len), ascii);
}

int hexDigit(WCHAR c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// 1 to 8 hex digits, the whole span.
bool parseHex32(Span s, DWORD &out)
{
    if (s.n == 0 || s.n > 8)
        return false;
    DWORD v = 0;
    for (std::size_t i = 0; i < s.n; ++i) {
        const int d = hexDigit(s[i]);
        if (d < 0)
            return false;
        v = (v << 4) | DWORD(d);
    }
    out = v;
    return true;
}

std::vector<Span> splitLines(const QString &text)
{
    std::vector<Span> lines;
    const WCHAR *p = reinterpret_cast<const WCHAR *>(text.utf16());
    const std::size_t n = std::size_t(text.size());
    std::size_t start = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (p[i] == u'\r' || p[i] == u'\n') {
            lines.push_back(Span{p + start, i - start});
            if (p[i] == u'\r' && i + 1 < n && p[i + 1] == u'\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines.push_back(Span{p + start, n - start});
    return lines;
}

// Reads a quoted text starting after its opening quote. Returns the index just past the closing
// quote, or 0 when the text is not closed on this line.
std::size_t readQuoted(Span s, std::size_t from, WString &out)
{
    for (std::size_t i = from; i < s.n; ++i) {
        const WCHAR c = s[i];
        if (c == u'"')
            return i + 1;
        if (c == u'\\' && i + 1 < s.n && (s[i + 1] == u'\\' || s[i + 1] == u'"')) {
            out.push_back(s[i + 1]);
            ++i;
            continue;
        }
        out.push_back(c);  // other backslashes stay as written
    }
    return 0;
}

// --- The parser -----------------------------------------------------------------------------------

class Parser
{
public:
    Parser(Hive &hive, const std::vector<Span> &lines) : m_hive(hive), m_lines(lines) {}

    void run()
    {
        ParseReport &r = m_hive.report;
        r.lines = m_lines.size();
        // Line 0 is the header, checked by the caller.
        for (m_line = 1; m_line < m_lines.size(); ++m_line) {
            const Span line = trim(m_lines[m_line]);
            if (line.empty() || line[0] == u';')
                continue;
            bool ok;
            if (line[0] == u'[')
                ok = section(line);
            else if (line[0] == u'"' || line[0] == u'@')
                ok = value(line);
            else
                ok = false;
            if (!ok)
                ++r.damagedLines;
        }
    }

private:
    bool section(Span line)
    {
        m_current = nullptr;  // whatever happens, values no longer go to the previous key
        std::size_t close = line.n;
        while (close > 0 && line[close - 1] != u']')
            --close;
        if (close < 2 || !onlyTrailer(line.mid(close)))
            return false;
        Span path{line.p + 1, close - 2};
        bool remove = false;
        if (!path.empty() && path[0] == u'-') {
            remove = true;
            path = path.mid(1);
        }
        if (path.n > 0 && path[path.n - 1] == u'\\')
            --path.n;

        std::vector<Span> parts;
        std::size_t start = 0;
        for (std::size_t i = 0; i <= path.n; ++i) {
            if (i == path.n || path[i] == u'\\') {
                const Span part{path.p + start, i - start};
                if (part.empty() || (!parts.empty() && part.n > kMaxKeyNameLength))
                    return false;
                parts.push_back(part);
                if (parts.size() > kMaxDepth + 1)
                    return false;
                start = i + 1;
            }
        }
        static const char *const rootNames[RootCount] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",
                                                         "HKEY_LOCAL_MACHINE", "HKEY_USERS",
                                                         "HKEY_CURRENT_CONFIG"};
        int root = -1;
        for (int i = 0; i < RootCount; ++i)
            if (equalsAsciiNoCase(parts[0], rootNames[i]))
                root = i;
        if (root < 0)
            return false;

        Key *key = &m_hive.roots[root];
        if (remove) {
            if (parts.size() == 1)
                return false;  // a root cannot go
            for (std::size_t i = 1; key && i + 1 < parts.size(); ++i)
                key = const_cast<Key *>(key->FindSubKey(parts[i].p, parts[i].n));
            if (!key)
                return true;
            const auto it = key->subKeys.find(FoldName(parts.back().p, parts.back().n));
            if (it != key->subKeys.end()) {
                forgetSubtree(it->second.get());
                key->subKeys.erase(it);
            }
            return true;
        }

        // Count what is missing first, so that a section over the limit creates nothing.
        std::size_t existing = 1;
        for (const Key *k = key; existing < parts.size(); ++existing) {
            k = k->FindSubKey(parts[existing].p, parts[existing].n);
            if (!k)
                break;
        }
        const std::size_t missing = parts.size() - existing;
        if (m_hive.report.keysCreated + missing > kMaxKeys) {
            m_hive.report.limitReached = true;
            return true;
        }
        for (std::size_t i = 1; i < parts.size(); ++i) {
            WString folded = FoldName(parts[i].p, parts[i].n);
            auto it = key->subKeys.find(folded);
            if (it == key->subKeys.end()) {
                auto child = std::make_unique<Key>();
                child->name.assign(parts[i].p, parts[i].n);
                it = key->subKeys.emplace(std::move(folded), std::move(child)).first;
                ++m_hive.report.keysCreated;
            }
            key = it->second.get();
        }
        m_current = key;
        return true;
    }

    bool value(Span line)
    {
        WString name;
        std::size_t pos;
        if (line[0] == u'@') {
            pos = 1;
        } else {
            pos = readQuoted(line, 1, name);
            if (pos == 0 || name.size() > kMaxValueNameLength)
                return false;
        }
        Span rest = trimLeft(line.mid(pos));
        if (rest.empty() || rest[0] != u'=')
            return false;
        rest = trimLeft(rest.mid(1));
        if (rest.empty())
            return false;

        DWORD type;
        std::vector<BYTE> data;
        if (rest[0] == u'"') {
            WString text;
            const std::size_t end = readQuoted(rest, 1, text);
            if (end == 0 || !onlyTrailer(rest.mid(end)))
                return false;
            type = REG_SZ;
            data.reserve((text.size() + 1) * 2);
            for (WCHAR c : text) {
                data.push_back(BYTE(c & 0xFF));
                data.push_back(BYTE(c >> 8));
            }
            data.push_back(0);
            data.push_back(0);
        } else if (rest[0] == u'-') {
            if (!onlyTrailer(rest.mid(1)))
                return false;
            if (m_current)
                removeValue(name);
            return true;
        } else if (startsWithAsciiNoCase(rest, "dword:")) {
            Span digits = rest.mid(6);
            std::size_t end = 0;
            while (end < digits.n && !isSpace(digits[end]) && digits[end] != u';')
                ++end;
            DWORD v;
            if (!parseHex32(digits.left(end), v) || !onlyTrailer(digits.mid(end)))
                return false;
            type = REG_DWORD;
            for (int i = 0; i < 4; ++i)
                data.push_back(BYTE(v >> (8 * i)));
        } else if (startsWithAsciiNoCase(rest, "hex")) {
            Span typeText = rest.mid(3);
            type = REG_BINARY;
            if (!typeText.empty() && typeText[0] == u'(') {
                std::size_t close = 1;
                while (close < typeText.n && typeText[close] != u')')
                    ++close;
                if (close >= typeText.n || !parseHex32(Span{typeText.p + 1, close - 1}, type))
                    return skipContinuation(typeText);
                typeText = typeText.mid(close + 1);
            }
            if (typeText.empty() || typeText[0] != u':')
                return skipContinuation(typeText);
            if (!hexBytes(typeText.mid(1), data))
                return false;
        } else {
            return skipContinuation(rest);
        }
        if (m_current)
            storeValue(std::move(name), type, std::move(data));
        return true;
    }

    // Strips a comment and blanks; says whether a backslash asks for the next line.
    static Span hexPiece(Span s, bool &continues)
    {
        for (std::size_t i = 0; i < s.n; ++i) {
            if (s[i] == u';') {
                s.n = i;
                break;
            }
        }
        s = trim(s);
        continues = s.n > 0 && s[s.n - 1] == u'\\';
        if (continues)
            s = trimRight(Span{s.p, s.n - 1});
        return s;
    }

    // A damaged line whose data would have continued: its continuation lines go with it.
    bool skipContinuation(Span s)
    {
        bool continues;
        hexPiece(s, continues);
        while (continues && m_line + 1 < m_lines.size()) {
            ++m_line;
            hexPiece(m_lines[m_line], continues);
        }
        return false;
    }

    // Reads the byte list of a hex value, pulling continuation lines. On a damaged piece the rest
    // of the value's lines are consumed as well and the value is dropped.
    bool hexBytes(Span first, std::vector<BYTE> &out)
    {
        bool ok = true;
        bool continues;
        Span piece = hexPiece(first, continues);
        for (;;) {
            if (ok)
                ok = hexList(piece, out);
            if (!continues || m_line + 1 >= m_lines.size())
                break;
            ++m_line;
            piece = hexPiece(m_lines[m_line], continues);
        }
        return ok;
    }

    static bool hexList(Span s, std::vector<BYTE> &out)
    {
        std::size_t start = 0;
        for (std::size_t i = 0; i <= s.n; ++i) {
            if (i < s.n && s[i] != u',')
                continue;
            const Span token = trim(Span{s.p + start, i - start});
            start = i + 1;
            if (token.empty()) {
                if (i == s.n)
                    break;  // nothing after the last comma (or an empty piece)
                return false;
            }
            if (token.n > 2)
                return false;
            const int hi = hexDigit(token[0]);
            const int lo = token.n == 2 ? hexDigit(token[1]) : 0;
            if (hi < 0 || lo < 0)
                return false;
            out.push_back(BYTE(token.n == 2 ? (hi << 4) | lo : hi));
        }
        return true;
    }

    void storeValue(WString name, DWORD type, std::vector<BYTE> data)
    {
        WString folded = FoldName(name);
        const auto it = m_current->valueIndex.find(folded);
        if (it != m_current->valueIndex.end()) {
            Value &v = m_current->values[it->second];
            v.type = type;
            v.data = std::move(data);
            return;
        }
        if (m_hive.report.valuesStored >= kMaxValues) {
            m_hive.report.limitReached = true;
            return;
        }
        ++m_hive.report.valuesStored;
        m_current->valueIndex.emplace(std::move(folded), m_current->values.size());
        m_current->values.push_back(Value{std::move(name), type, std::move(data)});
    }

    void removeValue(const WString &name)
    {
        const auto it = m_current->valueIndex.find(FoldName(name));
        if (it == m_current->valueIndex.end())
            return;
        // Note now, compact once at the end: many removals stay linear.
        m_current->values[it->second].data.clear();
        m_removed[m_current].push_back(it->second);
        m_current->valueIndex.erase(it);
    }

    // Forgets the removal notes of a subtree that is about to go.
    void forgetSubtree(const Key *top)
    {
        if (m_removed.empty())
            return;
        std::vector<const Key *> stack{top};
        while (!stack.empty()) {
            const Key *k = stack.back();
            stack.pop_back();
            m_removed.erase(k);
            for (const auto &sub : k->subKeys)
                stack.push_back(sub.second.get());
        }
    }

public:
    void compact()
    {
        for (auto &entry : m_removed) {
            Key *k = const_cast<Key *>(entry.first);
            std::vector<bool> gone(k->values.size(), false);
            for (std::size_t i : entry.second)
                gone[i] = true;
            std::vector<Value> kept;
            kept.reserve(k->values.size() - entry.second.size());
            k->valueIndex.clear();
            for (std::size_t i = 0; i < k->values.size(); ++i) {
                if (gone[i])
                    continue;
                k->valueIndex.emplace(FoldName(k->values[i].name), kept.size());
                kept.push_back(std::move(k->values[i]));
            }
            k->values = std::move(kept);
        }
        m_removed.clear();
    }

private:
    Hive &m_hive;
    const std::vector<Span> &m_lines;
    std::size_t m_line = 0;
    Key *m_current = nullptr;
    std::map<const Key *, std::vector<std::size_t>> m_removed;  // value indices to drop per key
};

} // namespace

std::unique_ptr<Hive> ParseRegFile(const void *data, std::size_t size)
{
    auto hive = std::make_unique<Hive>();
    if (size > kMaxFileBytes) {
        hive->report.tooLarge = true;
        return hive;
    }
    if (!data || size == 0)
        return hive;
    const QString text = decode(static_cast<const unsigned char *>(data), size);
    const std::vector<Span> lines = splitLines(text);
    if (lines.empty())
        return hive;
    const Span header = trim(lines[0]);
    if (!equalsAsciiNoCase(header, "Windows Registry Editor Version 5.00")
        && !equalsAsciiNoCase(header, "REGEDIT4")) {
        hive->report.lines = lines.size();
        return hive;
    }
    hive->report.headerFound = true;
    Parser parser(*hive, lines);
    parser.run();
    parser.compact();
    return hive;
}

} // namespace regfile
} // namespace tsw
