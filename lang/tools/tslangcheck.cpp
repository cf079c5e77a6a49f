// tslangcheck REFERENCE.rc OTHER.rc...
// Build-time check of the language modules' string tables: every text must take the same arguments
// (printf-style directives, read as the message formatter reads them) in every module, and every
// module must hold the same texts. Exit status 0 when they agree, 1 on a mismatch, 2 when a source
// cannot be read. Reads the subset of the resource-script syntax that the modules use: comments,
// preprocessor lines, STRINGTABLE blocks of numeric ids and quoted texts.
#include "formatdirective_p.h"

#include <QFile>
#include <QFileInfo>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>

namespace {

int DigitValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if ((c | 0x20) >= u'a' && (c | 0x20) <= u'f')
        return (c | 0x20) - u'a' + 10;
    return 99;
}

struct Entry {
    int line = 0;
    std::u16string text;
};

struct Module {
    QString name;
    std::map<unsigned long, Entry> texts;
};

class Reader
{
public:
    Reader(const QString &name, std::u16string source) : m_name(name), m_s(std::move(source)) {}

    // Reads the string tables into `texts`; false (with a message) on anything it cannot read.
    bool Read(std::map<unsigned long, Entry> &texts)
    {
        std::u16string token;
        while (Next(token)) {
            if (m_isString
                || QString::fromStdU16String(token).compare(QLatin1String("STRINGTABLE"), Qt::CaseInsensitive))
                continue;
            do { // options (LANGUAGE, memory flags) up to the block
                if (!Next(token))
                    return Fail("string table without BEGIN");
            } while (token != u"BEGIN" && token != u"{");
            if (!ReadTable(texts))
                return false;
        }
        return m_error.isEmpty();
    }

    QString error() const { return m_error; }

private:
    bool ReadTable(std::map<unsigned long, Entry> &texts)
    {
        std::u16string token;
        for (;;) {
            if (!Next(token))
                return Fail("string table without END");
            if (token == u"END" || token == u"}")
                return true;
            const int line = m_line;
            const QString number = QString::fromStdU16String(token);
            bool ok = false;
            unsigned long id = number.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)
                                   ? number.mid(2).toULong(&ok, 16)
                                   : number.toULong(&ok, 10);
            if (!ok || id > 0xFFFF)
                return Fail("not a numeric text id: " + number.toStdString());
            if (!Next(token))
                return Fail("text id without text");
            if (token == u",")
                Next(token);
            if (!m_isString)
                return Fail("no quoted text after id " + std::to_string(id));
            Entry entry{line, token};
            while (PeekString() && Next(token))
                entry.text += token;
            if (!texts.emplace(id, entry).second)
                return Fail("text " + std::to_string(id) + " given twice");
        }
    }

    bool Fail(const std::string &what)
    {
        if (m_error.isEmpty())
            m_error = QStringLiteral("%1:%2: %3").arg(m_name).arg(m_line).arg(QString::fromStdString(what));
        return false;
    }

    void SkipSpaceAndComments()
    {
        while (m_pos < m_s.size()) {
            const char16_t c = m_s[m_pos];
            if (c == u'\n') {
                ++m_line;
                ++m_pos;
                m_lineStart = true;
            } else if (c == u' ' || c == u'\t' || c == u'\r') {
                ++m_pos;
            } else if (m_s.compare(m_pos, 2, u"//") == 0 || (c == u'#' && m_lineStart)) {
                m_pos = std::min(m_s.find(u'\n', m_pos), m_s.size());
            } else if (m_s.compare(m_pos, 2, u"/*") == 0) {
                const std::size_t end = m_s.find(u"*/", m_pos + 2);
                const std::size_t stop = end == std::u16string::npos ? m_s.size() : end + 2;
                for (; m_pos < stop; ++m_pos)
                    m_line += m_s[m_pos] == u'\n';
            } else {
                return;
            }
        }
    }

    bool PeekString()
    {
        SkipSpaceAndComments();
        return m_pos < m_s.size()
               && (m_s[m_pos] == u'"' || (m_s[m_pos] == u'L' && m_s.compare(m_pos, 2, u"L\"") == 0));
    }

    // The next token: a word, a quoted text (unescaped) or a single other character.
    bool Next(std::u16string &token)
    {
        token.clear();
        m_isString = false;
        SkipSpaceAndComments();
        m_lineStart = false;
        if (m_pos >= m_s.size())
            return false;
        if (PeekString()) {
            m_isString = true;
            if (m_s[m_pos] == u'L')
                ++m_pos;
            return ReadString(token);
        }
        const auto isWord = [](char16_t c) {
            return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
        };
        if (!isWord(m_s[m_pos])) {
            token.push_back(m_s[m_pos++]);
            return true;
        }
        while (m_pos < m_s.size() && isWord(m_s[m_pos]))
            token.push_back(m_s[m_pos++]);
        return true;
    }

    // A quoted text from its opening quote: "" and \" stand for a quote; C escapes (\x25 and \045
    // are a percent sign too).
    bool ReadString(std::u16string &out)
    {
        ++m_pos;
        while (m_pos < m_s.size()) {
            const char16_t c = m_s[m_pos++];
            if (c == u'\n')
                return Fail("line break inside a quoted text");
            if (c == u'"') {
                if (m_pos < m_s.size() && m_s[m_pos] == u'"') {
                    out.push_back(u'"');
                    ++m_pos;
                    continue;
                }
                return true;
            }
            if (c != u'\\' || m_pos >= m_s.size()) {
                out.push_back(c);
                continue;
            }
            const char16_t e = m_s[m_pos++];
            const auto digits = [&](int base, int most) {
                unsigned value = 0;
                for (int n = 0; n < most && m_pos < m_s.size() && DigitValue(m_s[m_pos]) < base; ++n)
                    value = value * unsigned(base) + unsigned(DigitValue(m_s[m_pos++]));
                return char16_t(value);
            };
            switch (e) {
            case u'n': out.push_back(u'\n'); break;
            case u't': out.push_back(u'\t'); break;
            case u'r': out.push_back(u'\r'); break;
            case u'a': out.push_back(u'\a'); break;
            case u'x': out.push_back(digits(16, 4)); break;
            default:
                if (e >= u'0' && e <= u'7') {
                    --m_pos;
                    out.push_back(digits(8, 3));
                } else {
                    out.push_back(e); // \\ \" and the rest: the character itself
                }
            }
        }
        return Fail("quoted text without its closing quote");
    }

    QString m_name;
    std::u16string m_s;
    std::size_t m_pos = 0;
    int m_line = 1;
    bool m_lineStart = true;
    bool m_isString = false;
    QString m_error;
};

bool Load(const char *path, Module &module)
{
    module.name = QFileInfo(QString::fromLocal8Bit(path)).fileName();
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "tslangcheck: cannot read %s\n", path);
        return false;
    }
    Reader reader(module.name, QString::fromUtf8(file.readAll()).toStdU16String());
    if (!reader.Read(module.texts)) {
        std::fprintf(stderr, "tslangcheck: %s\n", qPrintable(reader.error()));
        return false;
    }
    return true;
}

QString Where(const Module &module, const Entry &entry)
{
    return QStringLiteral("%1:%2").arg(module.name).arg(entry.line);
}

QString Shown(const std::u16string &signature)
{
    return signature.empty() ? QStringLiteral("no directives")
                             : QLatin1Char('"') + QString::fromStdU16String(signature) + QLatin1Char('"');
}

// Reports every difference of `other` from `reference`; true when there is none.
bool Compare(const Module &reference, const Module &other)
{
    bool same = true;
    for (const auto &[id, entry] : reference.texts) {
        const auto found = other.texts.find(id);
        if (found == other.texts.end()) {
            std::fprintf(stderr, "%s: text %lu is missing (%s has it)\n", qPrintable(other.name), id,
                         qPrintable(Where(reference, entry)));
            same = false;
            continue;
        }
        const std::u16string expected = tscommon::DirectiveSignature(entry.text);
        const std::u16string actual = tscommon::DirectiveSignature(found->second.text);
        if (actual != expected) {
            std::fprintf(stderr, "%s: text %lu takes %s where %s takes %s\n",
                         qPrintable(Where(other, found->second)), id, qPrintable(Shown(actual)),
                         qPrintable(Where(reference, entry)), qPrintable(Shown(expected)));
            same = false;
        }
    }
    for (const auto &[id, entry] : other.texts) {
        if (!reference.texts.count(id)) {
            std::fprintf(stderr, "%s: text %lu is not in %s\n", qPrintable(Where(other, entry)), id,
                         qPrintable(reference.name));
            same = false;
        }
    }
    return same;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: tslangcheck REFERENCE.rc OTHER.rc...\n");
        return 2;
    }
    Module reference;
    if (!Load(argv[1], reference))
        return 2;
    bool same = true;
    for (int i = 2; i < argc; ++i) {
        Module other;
        if (!Load(argv[i], other))
            return 2;
        same = Compare(reference, other) && same;
    }
    return same ? 0 : 1;
}
