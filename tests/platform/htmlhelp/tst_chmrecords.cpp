// The system records of a help file on hand-built bytes: whole, truncated and lying.
#include "chmsystem.h"

#include <QTextCodec>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace tshelp;

namespace {

QByteArray U16(quint16 v) { QByteArray b(2, '\0'); qToLittleEndian(v, b.data()); return b; }
QByteArray U32(quint32 v) { QByteArray b(4, '\0'); qToLittleEndian(v, b.data()); return b; }

QByteArray SystemEntry(quint16 code, const QByteArray &data)
{
    return U16(code) + U16(quint16(data.size())) + data;
}

// #SYSTEM as the compilers write it: version 3, contents, index, default topic, title, language.
QByteArray FullSystem()
{
    return U32(3) + SystemEntry(9, QByteArray("compiler\0", 9))
        + SystemEntry(0, QByteArray("toc.hhc\0", 8)) + SystemEntry(1, QByteArray("Keys.hhk\0", 9))
        + SystemEntry(2, QByteArray("html\\start.htm\0", 15))
        + SystemEntry(3, QByteArray("The Title\0", 10)) + SystemEntry(4, U32(0x407) + U32(0) + U32(0));
}

QString Fields(const HelpSystemInfo &i)
{
    return QStringList{i.title, i.defaultTopic, i.contentsFile, i.indexFile,
                       QString::number(i.lcid, 16)}.join(QLatin1Char('|'));
}

// A #WINDOWS record of one entry of `size` bytes naming the #STRINGS offsets given.
QByteArray Windows(quint32 size, quint32 title, quint32 toc, quint32 index, quint32 topic,
                   quint32 home, quint32 count = 1)
{
    QByteArray entry(int(size), '\0');
    const auto put = [&](int at, quint32 v) {
        if (at + 4 <= entry.size())
            qToLittleEndian(v, entry.data() + at);
    };
    put(0, size);
    put(0x14, title);
    put(0x60, toc);
    put(0x64, index);
    put(0x68, topic);
    put(0x6C, home);
    return U32(count) + U32(size) + entry;
}

// Offsets: 1 "Win Title", 11 "a.hhc", 17 "a.hhk", 23 "dir\topic.htm", 37 "home.htm", then an
// unterminated "cut" at 46.
const QByteArray kStrings("\0Win Title\0a.hhc\0a.hhk\0dir\\topic.htm\0home.htm\0cut", 49);

} // namespace

TEST(ChmRecords, SystemRecord)
{
    const QByteArray full = FullSystem();
    HelpSystemInfo preset;
    preset.title = QStringLiteral("Kept");
    preset.lcid = 0x409;
    struct Row { const char *what; QByteArray record; HelpSystemInfo start; const char *expected; };
    const Row rows[] = {
        {"whole", full, {}, "The Title|/html/start.htm|/toc.hhc|/Keys.hhk|407"},
        {"set fields kept", full, preset, "Kept|/html/start.htm|/toc.hhc|/Keys.hhk|409"},
        {"cut inside the language", full.left(full.size() - 3), {},
         "The Title|/html/start.htm|/toc.hhc|/Keys.hhk|0"},
        {"cut inside the title's header", full.left(full.size() - 16 - 12), {},
         "|/html/start.htm|/toc.hhc|/Keys.hhk|0"},
        {"version only", U32(3), {}, "||||0"},
        {"shorter than the version", QByteArray("\3", 1), {}, "||||0"},
        {"empty", QByteArray(), {}, "||||0"},
        {"length past the end", U32(3) + U16(3) + U16(0xFFFF) + "abc", {}, "||||0"},
        {"unterminated string", U32(3) + SystemEntry(3, "abc"), {}, "abc||||0"},
        {"language entry too short", U32(3) + SystemEntry(4, "\x11\x04"), {}, "||||0"},
        {"empty entries, unknown codes", U32(3) + SystemEntry(0, {}) + SystemEntry(77, "x")
             + SystemEntry(2, QByteArray("./a/../b.htm\0", 13)), {}, "|/b.htm|||0"},
    };
    for (const Row &row : rows) {
        HelpSystemInfo info = row.start;
        ReadSystemRecord(info, row.record, "windows-1252");
        EXPECT_EQ(Fields(info), QString::fromUtf8(row.expected)) << row.what;
    }
    EXPECT_EQ(LanguageOfSystemRecord(full), 0x407u);
    EXPECT_EQ(LanguageOfSystemRecord(full.left(full.size() - 1)), 0u);
}

TEST(ChmRecords, TextsDecodeInTheFilesCodePage)
{
    const QByteArray title = QTextCodec::codecForName("Shift_JIS")->fromUnicode(QStringLiteral("目次"));
    HelpSystemInfo info;
    ReadSystemRecord(info, U32(3) + SystemEntry(3, title + '\0'), "Shift_JIS");
    EXPECT_EQ(info.title, QStringLiteral("目次"));
    HelpSystemInfo western;
    ReadSystemRecord(western, U32(3) + SystemEntry(3, "caf\xe9"), "windows-1252");
    EXPECT_EQ(western.title, QStringLiteral("café"));
}

TEST(ChmRecords, WindowsRecord)
{
    struct Row { const char *what; QByteArray windows; QByteArray strings; const char *expected; };
    const char *all = "Win Title|/dir/topic.htm|/a.hhc|/a.hhk|0";
    const Row rows[] = {
        {"entry of 0xBC", Windows(0xBC, 1, 11, 17, 23, 37), kStrings, all},
        {"entry of 0xC4", Windows(0xC4, 1, 11, 17, 23, 37), kStrings, all},
        {"entry of 0x188", Windows(0x188, 1, 11, 17, 23, 37), kStrings, all},
        {"home for a missing topic", Windows(0xBC, 1, 11, 17, 0, 37), kStrings,
         "Win Title|/home.htm|/a.hhc|/a.hhk|0"},
        {"offsets past the strings", Windows(0xBC, 1, 11, 49, 1000, 0xFFFFFFFF), kStrings,
         "Win Title||/a.hhc||0"},
        {"unterminated string", Windows(0xBC, 46, 11, 17, 23, 37), kStrings,
         "|/dir/topic.htm|/a.hhc|/a.hhk|0"},
        {"no strings", Windows(0xBC, 1, 11, 17, 23, 37), QByteArray(), "||||0"},
        {"no windows", Windows(0xBC, 1, 11, 17, 23, 37, 0), kStrings, "||||0"},
        {"entry cut", Windows(0xBC, 1, 11, 17, 23, 37).left(0xBC), kStrings, "||||0"},
        {"entry size too small", Windows(0x40, 1, 11, 17, 23, 37), kStrings, "||||0"},
        {"entry size huge", U32(1) + U32(0xFFFFFFF8) + QByteArray(0x100, '\1'), kStrings, "||||0"},
        {"header cut", U32(1) + U16(0xBC), kStrings, "||||0"},
    };
    for (const Row &row : rows) {
        HelpSystemInfo info;
        ReadWindowsRecord(info, row.windows, row.strings, "windows-1252");
        EXPECT_EQ(Fields(info), QString::fromUtf8(row.expected)) << row.what;
    }
    HelpSystemInfo preset;
    preset.contentsFile = QStringLiteral("/kept.hhc");
    ReadWindowsRecord(preset, Windows(0xBC, 1, 11, 17, 23, 37), kStrings, "windows-1252");
    EXPECT_EQ(preset.contentsFile, QStringLiteral("/kept.hhc"));
    EXPECT_EQ(preset.title, QStringLiteral("Win Title"));
}

TEST(ChmRecords, CodecNameForLcid)
{
    const std::pair<quint32, const char *> rows[] = {
        {0x0411, "Shift_JIS"}, {0x0804, "GBK"}, {0x1004, "GBK"}, {0x0404, "Big5"},
        {0x0C04, "Big5"}, {0x0412, "windows-949"}, {0x0405, "windows-1250"},
        {0x0415, "windows-1250"}, {0x040E, "windows-1250"}, {0x041A, "windows-1250"},
        {0x081A, "windows-1250"}, {0x0C1A, "windows-1251"}, {0x0418, "windows-1250"},
        {0x0419, "windows-1251"}, {0x0422, "windows-1251"}, {0x0402, "windows-1251"},
        {0x0408, "windows-1253"}, {0x041F, "windows-1254"}, {0x042C, "windows-1254"},
        {0x082C, "windows-1251"}, {0x040D, "windows-1255"}, {0x0401, "windows-1256"},
        {0x0429, "windows-1256"}, {0x0425, "windows-1257"}, {0x0427, "windows-1257"},
        {0x042A, "windows-1258"}, {0x041E, "TIS-620"}, {0x0409, "windows-1252"},
        {0x0407, "windows-1252"}, {0x040C, "windows-1252"}, {0, "windows-1252"},
        {0xFFFFFFFF, "windows-1252"},
    };
    for (const auto &[lcid, name] : rows) {
        const QByteArray got = CodecNameForLcid(lcid);
        EXPECT_EQ(got, QByteArray(name)) << std::hex << lcid;
        EXPECT_NE(QTextCodec::codecForName(got), nullptr) << name;
    }
}

TEST(ChmRecords, StoredName)
{
    const std::pair<const char *, const char *> rows[] = {
        {"index.htm", "/index.htm"},         {"/index.htm", "/index.htm"},
        {"dir\\sub\\page.htm", "/dir/sub/page.htm"}, {"./a/./b//c.htm", "/a/b/c.htm"},
        {"a/../b.htm", "/b.htm"},            {"../../../etc/passwd", "/etc/passwd"},
        {"a/b/../../../c.htm", "/c.htm"},    {"page.htm#part", "/page.htm"},
        {"page.htm?x=1#y", "/page.htm"},     {"dir/", "/dir"},
        {"..", "/"},                         {"", ""},
        {"#only", ""},                       {"\\\\", "/"},
    };
    for (const auto &[in, out] : rows)
        EXPECT_EQ(StoredName(QString::fromUtf8(in)), QString::fromUtf8(out)) << in;
}
