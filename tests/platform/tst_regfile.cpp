// The registry file parser, fed from memory.
#include "regtestutil.h"

#include <gtest/gtest.h>

using namespace regtest;
using tsw::regfile::Hive;
using tsw::regfile::Key;
using tsw::regfile::Value;

namespace {

struct ValueCase {
    const char *what;
    const char *body;      // lines after the header, below [HKEY_LOCAL_MACHINE\T]
    const char16_t *name;  // value to look up in HKEY_LOCAL_MACHINE\T
    bool present;
    DWORD type;
    std::vector<BYTE> data;
};

std::vector<BYTE> sz(const std::u16string &s) { return bytesOf(s); }

const ValueCase kValueCases[] = {
    {"dword, eight digits", "\"A\"=dword:0000000a", u"A", true, REG_DWORD, dwordBytes(10)},
    {"dword, fewer digits", "\"A\"=dword:a", u"A", true, REG_DWORD, dwordBytes(10)},
    {"dword, upper case", "\"A\"=DWORD:FFFFFFFF", u"A", true, REG_DWORD, dwordBytes(0xFFFFFFFF)},
    {"dword, nine digits", "\"A\"=dword:000000001", u"A", false, 0, {}},
    {"dword, not hex", "\"A\"=dword:0000000g", u"A", false, 0, {}},
    {"dword, empty", "\"A\"=dword:", u"A", false, 0, {}},
    {"dword, trailing comment", "\"A\"=dword:00000001 ; one", u"A", true, REG_DWORD, dwordBytes(1)},
    {"dword, trailing garbage", "\"A\"=dword:00000001 x", u"A", false, 0, {}},
    {"text", "\"A\"=\"text\"", u"A", true, REG_SZ, sz(u"text")},
    {"empty text has its NUL", "\"A\"=\"\"", u"A", true, REG_SZ, {0, 0}},
    {"escaped backslash and quote", "\"A\"=\"C:\\\\x\\\"y\"", u"A", true, REG_SZ, sz(u"C:\\x\"y")},
    {"other backslash kept", "\"A\"=\"a\\nb\"", u"A", true, REG_SZ, sz(u"a\\nb")},
    {"unterminated text", "\"A\"=\"abc", u"A", false, 0, {}},
    {"text, trailing garbage", "\"A\"=\"b\" c", u"A", false, 0, {}},
    {"text, trailing comment", "\"A\"=\"b\"  ; note", u"A", true, REG_SZ, sz(u"b")},
    {"semicolon inside text", "\"A\"=\"a;b\"", u"A", true, REG_SZ, sz(u"a;b")},
    {"default value", "@=\"dflt\"", u"", true, REG_SZ, sz(u"dflt")},
    {"escaped quote in name", "\"na\\\"me\"=dword:2", u"na\"me", true, REG_DWORD, dwordBytes(2)},
    {"unterminated name", "\"A=dword:2", u"A", false, 0, {}},
    {"blanks around =", "  \"A\"  =  dword:3", u"A", true, REG_DWORD, dwordBytes(3)},
    {"missing =", "\"A\" dword:3", u"A", false, 0, {}},
    {"nothing after =", "\"A\"=", u"A", false, 0, {}},
    {"unknown data kind", "\"A\"=qword:1", u"A", false, 0, {}},
    {"binary", "\"A\"=hex:01,ff,7F", u"A", true, REG_BINARY, {0x01, 0xFF, 0x7F}},
    {"binary, one digit", "\"A\"=hex:1,a", u"A", true, REG_BINARY, {0x01, 0x0A}},
    {"binary, empty", "\"A\"=hex:", u"A", true, REG_BINARY, {}},
    {"binary, blanks", "\"A\"=hex: 01 , 02 ", u"A", true, REG_BINARY, {0x01, 0x02}},
    {"binary, continued", "\"A\"=hex:01,02,\\\n  03,04", u"A", true, REG_BINARY, {1, 2, 3, 4}},
    {"binary, continued twice with comment",
     "\"A\"=hex:01,\\ ; first\n 02,\\\n 03", u"A", true, REG_BINARY, {1, 2, 3}},
    {"binary, bad digit", "\"A\"=hex:01,0g", u"A", false, 0, {}},
    {"binary, three digits", "\"A\"=hex:012", u"A", false, 0, {}},
    {"binary, empty item", "\"A\"=hex:01,,02", u"A", false, 0, {}},
    {"binary, bad continued line", "\"A\"=hex:01,\\\n zz", u"A", false, 0, {}},
    {"expand string", "\"A\"=hex(2):25,00,00,00", u"A", true, REG_EXPAND_SZ, {0x25, 0, 0, 0}},
    {"multi string", "\"A\"=hex(7):61,00,00,00,00,00", u"A", true, REG_MULTI_SZ,
     {0x61, 0, 0, 0, 0, 0}},
    {"qword", "\"A\"=hex(b):01,00,00,00,00,00,00,00", u"A", true, REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}},
    {"none, empty", "\"A\"=hex(0):", u"A", true, REG_NONE, {}},
    {"type in upper case", "\"A\"=HEX(B):02", u"A", true, REG_QWORD, {2}},
    {"bad type", "\"A\"=hex(zz):01", u"A", false, 0, {}},
    {"type too wide", "\"A\"=hex(100000000):01", u"A", false, 0, {}},
    {"type unclosed", "\"A\"=hex(2:01", u"A", false, 0, {}},
    {"hex without colon", "\"A\"=hex 01", u"A", false, 0, {}},
    {"value removed", "\"A\"=dword:1\n\"A\"=-", u"A", false, 0, {}},
    {"removing a missing value", "\"A\"=-", u"A", false, 0, {}},
    {"later value replaces", "\"A\"=dword:1\n\"A\"=\"two\"", u"A", true, REG_SZ, sz(u"two")},
    {"replacement ignores case", "\"Build\"=dword:1\n\"BUILD\"=dword:2", u"build", true, REG_DWORD,
     dwordBytes(2)},
    {"removed then written again", "\"A\"=dword:1\n\"A\"=-\n\"a\"=dword:5", u"A", true, REG_DWORD,
     dwordBytes(5)},
    {"comment line", "; \"A\"=dword:1", u"A", false, 0, {}},
    {"non-ASCII name ignores case", "\"Größe\"=dword:4", u"GRÖSSE", false, 0, {}},
    {"non-ASCII name ignores case (one to one)", "\"Größe\"=dword:4", u"GRÖßE", true, REG_DWORD,
     dwordBytes(4)},
    {"UTF-8 text", "\"A\"=\"日本\"", u"A", true, REG_SZ, sz(u"日本")},
    {"four-byte UTF-8", "\"A\"=\"\xF0\x9F\x98\x80\"", u"A", true, REG_SZ, sz(u"\U0001F600")},
    // Each byte of a damaged UTF-8 sequence reads as U+FFFD; what follows it reads normally.
    {"UTF-8 cut short by ASCII", "\"A\"=\"\xC3(\"", u"A", true, REG_SZ, sz(u"\uFFFD(")},
    {"UTF-8 cut short by the quote", "\"A\"=\"\xE6\x97\"", u"A", true, REG_SZ, sz(u"\uFFFD\uFFFD")},
    {"overlong UTF-8", "\"A\"=\"\xC0\xAF\"", u"A", true, REG_SZ, sz(u"\uFFFD\uFFFD")},
    {"UTF-8 surrogate", "\"A\"=\"\xED\xA0\x80x\"", u"A", true, REG_SZ, sz(u"\uFFFD\uFFFD\uFFFDx")},
    {"UTF-8 beyond U+10FFFF", "\"A\"=\"\xF4\x90\x80\x80\"", u"A", true, REG_SZ,
     sz(u"\uFFFD\uFFFD\uFFFD\uFFFD")},
    {"stray continuation and invalid bytes", "\"A\"=\"\x80" "a\xFF\"", u"A", true, REG_SZ,
     sz(u"\uFFFDa\uFFFD")},
    {"byte-order mark inside the file is text", "\"A\"=\"\xEF\xBB\xBF\"", u"A", true, REG_SZ,
     sz(u"\uFEFF")},
};

TEST(RegFileParser, ValueTable)
{
    for (const ValueCase &c : kValueCases) {
        SCOPED_TRACE(c.what);
        QByteArray file = kHeader;
        file += "[HKEY_LOCAL_MACHINE\\T]\r\n";
        file += c.body;
        file += "\r\n";
        const auto hive = parse(file);
        ASSERT_TRUE(hive->report.headerFound);
        const Value *v = findValue(*hive, u"T", c.name);
        ASSERT_EQ(c.present, v != nullptr);
        if (!v)
            continue;
        EXPECT_EQ(c.type, v->type);
        EXPECT_EQ(c.data, v->data);
    }
}

struct KeyCase {
    const char *what;
    const char *body;
    tsw::regfile::Root root;
    const char16_t *path;
    bool present;
};

const KeyCase kKeyCases[] = {
    {"simple", "[HKEY_LOCAL_MACHINE\\Software\\X]", tsw::regfile::LocalMachine, u"Software\\X", true},
    {"parents are created", "[HKEY_LOCAL_MACHINE\\a\\b\\c]", tsw::regfile::LocalMachine, u"a\\b", true},
    {"root name ignores case", "[hkey_local_machine\\A]", tsw::regfile::LocalMachine, u"a", true},
    {"other roots", "[HKEY_CURRENT_USER\\A]", tsw::regfile::CurrentUser, u"A", true},
    {"classes root", "[HKEY_CLASSES_ROOT\\.txt]", tsw::regfile::ClassesRoot, u".txt", true},
    {"users", "[HKEY_USERS\\.DEFAULT]", tsw::regfile::Users, u".DEFAULT", true},
    {"current config", "[HKEY_CURRENT_CONFIG\\S]", tsw::regfile::CurrentConfig, u"S", true},
    {"abbreviated root is not a root", "[HKLM\\A]", tsw::regfile::LocalMachine, u"A", false},
    {"unknown root", "[HKEY_NOWHERE\\A]", tsw::regfile::LocalMachine, u"A", false},
    {"trailing backslash", "[HKEY_LOCAL_MACHINE\\A\\]", tsw::regfile::LocalMachine, u"A", true},
    {"empty part", "[HKEY_LOCAL_MACHINE\\A\\\\B]", tsw::regfile::LocalMachine, u"A", false},
    {"blanks in name", "[HKEY_LOCAL_MACHINE\\My Key]", tsw::regfile::LocalMachine, u"my key", true},
    {"bracket in name", "[HKEY_LOCAL_MACHINE\\a]b]", tsw::regfile::LocalMachine, u"a]b", true},
    {"comment after section", "[HKEY_LOCAL_MACHINE\\A] ; note", tsw::regfile::LocalMachine, u"A", true},
    {"garbage after section", "[HKEY_LOCAL_MACHINE\\A] x", tsw::regfile::LocalMachine, u"A", false},
    {"unclosed section", "[HKEY_LOCAL_MACHINE\\A", tsw::regfile::LocalMachine, u"A", false},
    {"deleted", "[HKEY_LOCAL_MACHINE\\A\\B]\n[-HKEY_LOCAL_MACHINE\\A\\B]", tsw::regfile::LocalMachine,
     u"A\\B", false},
    {"deletion keeps the parent", "[HKEY_LOCAL_MACHINE\\A\\B]\n[-HKEY_LOCAL_MACHINE\\A\\B]",
     tsw::regfile::LocalMachine, u"A", true},
    {"deletion takes the subtree", "[HKEY_LOCAL_MACHINE\\A\\B\\C]\n[-HKEY_LOCAL_MACHINE\\a]",
     tsw::regfile::LocalMachine, u"A\\B\\C", false},
    {"re-created after deletion",
     "[HKEY_LOCAL_MACHINE\\A]\n[-HKEY_LOCAL_MACHINE\\A]\n[HKEY_LOCAL_MACHINE\\A]",
     tsw::regfile::LocalMachine, u"A", true},
    {"deleting a missing key", "[-HKEY_LOCAL_MACHINE\\N\\M]", tsw::regfile::LocalMachine, u"N", false},
};

TEST(RegFileParser, KeyTable)
{
    for (const KeyCase &c : kKeyCases) {
        SCOPED_TRACE(c.what);
        QByteArray file = kHeader;
        file += c.body;
        file += "\n";
        const auto hive = parse(file);
        EXPECT_EQ(c.present, findKey(*hive, c.root, c.path) != nullptr);
    }
}

TEST(RegFileParser, ValuesGoToTheirOwnSection)
{
    const auto hive = parse(QByteArray(kHeader) + "\"Orphan\"=dword:1\n"
                                                  "[HKEY_LOCAL_MACHINE\\A]\n\"a\"=dword:1\n"
                                                  "[HKEY_NOWHERE\\B]\n\"lost\"=dword:2\n"
                                                  "[HKEY_LOCAL_MACHINE\\A\\B]\n\"b\"=dword:3\n"
                                                  "[-HKEY_LOCAL_MACHINE\\C]\n\"c\"=dword:4\n"
                                                  "[HKEY_LOCAL_MACHINE\\A]\n\"a2\"=dword:5\n");
    const Key *a = findKey(*hive, tsw::regfile::LocalMachine, u"A");
    ASSERT_NE(nullptr, a);
    ASSERT_EQ(2u, a->values.size());  // a repeated section adds to the same key
    EXPECT_EQ(u"a", a->values[0].name);
    EXPECT_EQ(u"a2", a->values[1].name);
    EXPECT_EQ(1u, findKey(*hive, tsw::regfile::LocalMachine, u"A\\B")->values.size());
    EXPECT_TRUE(hive->roots[tsw::regfile::LocalMachine].values.empty());
    EXPECT_EQ(nullptr, findKey(*hive, tsw::regfile::LocalMachine, u"C"));
}

TEST(RegFileParser, RemovalKeepsFileOrderOfTheRest)
{
    const auto hive = parse(QByteArray(kHeader) + "[HKEY_LOCAL_MACHINE\\A]\n"
                                                  "\"a\"=dword:1\n\"b\"=dword:2\n\"c\"=dword:3\n"
                                                  "\"B\"=-\n\"d\"=dword:4\n\"A\"=dword:9\n");
    const Key *a = findKey(*hive, tsw::regfile::LocalMachine, u"A");
    ASSERT_NE(nullptr, a);
    std::vector<std::u16string> names;
    for (const Value &v : a->values)
        names.push_back(v.name);
    EXPECT_EQ((std::vector<std::u16string>{u"a", u"c", u"d"}), names);
    EXPECT_EQ(dwordBytes(9), a->FindValue(u"a", 1)->data);
    EXPECT_EQ(dwordBytes(4), a->FindValue(u"D", 1)->data);
    EXPECT_EQ(nullptr, a->FindValue(u"b", 1));
}

// A value removed in a key that is deleted later must not be compacted through a stale pointer.
TEST(RegFileParser, RegressionRemovedValueInDeletedKey)
{
    QByteArray file = kHeader;
    for (int round = 0; round < 50; ++round)
        file += "[HKEY_LOCAL_MACHINE\\A\\B]\n\"x\"=dword:1\n\"y\"=dword:2\n\"x\"=-\n"
                "[-HKEY_LOCAL_MACHINE\\A]\n";
    file += "[HKEY_LOCAL_MACHINE\\A\\B]\n\"z\"=dword:3\n";
    const auto hive = parse(file);
    const Key *b = findKey(*hive, tsw::regfile::LocalMachine, u"A\\B");
    ASSERT_NE(nullptr, b);
    ASSERT_EQ(1u, b->values.size());
    EXPECT_EQ(u"z", b->values[0].name);
}

TEST(RegFileParser, LineEndingsAndEncodings)
{
    const QByteArray body = "[HKEY_LOCAL_MACHINE\\Software\\Ünï]\n\"Näme\"=\"日本語\"\n"
                            "\"Bin\"=hex:01,\\\n  02\n";
    struct Form {
        const char *what;
        QByteArray bytes;
    };
    QByteArray utf8 = QByteArray("Windows Registry Editor Version 5.00\n\n") + body;
    QByteArray crlf = utf8;
    crlf.replace("\n", "\r\n");
    QByteArray cr = utf8;
    cr.replace("\n", "\r");
    const QString text = QString::fromUtf8(crlf);
    QByteArray utf16("\xFF\xFE", 2);
    utf16.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    const Form forms[] = {
        {"LF", utf8},
        {"CR LF", crlf},
        {"CR", cr},
        {"UTF-8 with byte-order mark", QByteArray("\xEF\xBB\xBF") + crlf},
        {"UTF-16LE", utf16},
        {"UTF-16LE with an odd last byte", utf16 + QByteArray("\x41", 1)},
    };
    for (const Form &f : forms) {
        SCOPED_TRACE(f.what);
        const auto hive = parse(f.bytes);
        EXPECT_TRUE(hive->report.headerFound);
        EXPECT_EQ(0u, hive->report.damagedLines);
        const Value *v = findValue(*hive, u"SOFTWARE\\ünï", u"NÄME");
        ASSERT_NE(nullptr, v);
        EXPECT_EQ(sz(u"日本語"), v->data);
        const Value *bin = findValue(*hive, u"Software\\Ünï", u"bin");
        ASSERT_NE(nullptr, bin);
        EXPECT_EQ((std::vector<BYTE>{1, 2}), bin->data);
    }
}

TEST(RegFileParser, HeaderIsRequired)
{
    struct Row {
        const char *what;
        QByteArray bytes;
        bool accepted;
    };
    const QByteArray body = "\n[HKEY_LOCAL_MACHINE\\A]\n\"v\"=dword:1\n";
    const Row rows[] = {
        {"version 5", "Windows Registry Editor Version 5.00" + body, true},
        {"version 5, trailing blanks", "Windows Registry Editor Version 5.00  " + body, true},
        {"old header", "REGEDIT4" + body, true},
        {"no header", body.mid(1), false},
        {"other version", "Windows Registry Editor Version 6.00" + body, false},
        {"header not first", "\nWindows Registry Editor Version 5.00" + body, false},
        {"empty", QByteArray(), false},
        {"UTF-16 without byte-order mark",
         QByteArray(reinterpret_cast<const char *>(u"REGEDIT4\n"), 18), false},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.what);
        const auto hive = parse(r.bytes);
        EXPECT_EQ(r.accepted, hive->report.headerFound);
        EXPECT_EQ(r.accepted, findValue(*hive, u"A", u"v") != nullptr);
    }
}

TEST(RegFileParser, DamagedLinesAreSkippedAndCounted)
{
    const QByteArray file = QByteArray(kHeader) + "[HKEY_LOCAL_MACHINE\\A]\n"
                                                  "\"good1\"=dword:1\n"
                                                  "garbage line\n"
                                                  "\"bad\"=dword:xyz\n"
                                                  "\"bin\"=hex:0g,\\\n"
                                                  "  \"swallowed\"=dword:5\n"
                                                  "[HKEY_LOCAL_MACHINE\\A\n"
                                                  "\"good2\"=\"x\"\n"
                                                  "\"odd\"=unknown:\\\n"
                                                  "  \"alsoSwallowed\"=dword:6\n";
    const auto hive = parse(file);
    EXPECT_EQ(5u, hive->report.damagedLines);
    const Key *a = findKey(*hive, tsw::regfile::LocalMachine, u"A");
    ASSERT_NE(nullptr, a);
    // The unclosed section line leaves no current key: good2 has nowhere to go.
    std::vector<std::u16string> names;
    for (const Value &v : a->values)
        names.push_back(v.name);
    EXPECT_EQ(std::vector<std::u16string>{u"good1"}, names);
}

TEST(RegFileParser, NulBytesInsideTheFile)
{
    QByteArray file = QByteArray(kHeader) + "[HKEY_LOCAL_MACHINE\\A]\n\"a\"=\"x";
    file += '\0';
    file += "y\"\n\"b\"=dword:1\n";
    const auto hive = parse(file);
    const Value *a = findValue(*hive, u"A", u"a");
    ASSERT_NE(nullptr, a);
    EXPECT_EQ(sz(std::u16string(u"x\0y", 3)), a->data);
    EXPECT_NE(nullptr, findValue(*hive, u"A", u"b"));
}

TEST(RegFileParser, NameAndDepthLimits)
{
    struct Row {
        const char *what;
        QByteArray line;
        bool keyKept;
    };
    const QByteArray name255(255, 'k');
    const QByteArray deep = [] {
        QByteArray p = "[HKEY_LOCAL_MACHINE";
        for (int i = 0; i < 512; ++i)
            p += "\\d";
        return p;
    }();
    const Row rows[] = {
        {"key name of 255", "[HKEY_LOCAL_MACHINE\\" + name255 + "]", true},
        {"key name of 256", "[HKEY_LOCAL_MACHINE\\" + name255 + "k]", false},
        {"512 levels", deep + "]", true},
        {"513 levels", deep + "\\d]", false},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.what);
        const auto hive = parse(QByteArray(kHeader) + r.line + "\n\"v\"=dword:1\n");
        EXPECT_EQ(r.keyKept ? 0u : 1u, hive->report.damagedLines);
        EXPECT_EQ(r.keyKept, !hive->roots[tsw::regfile::LocalMachine].subKeys.empty());
    }
    const QByteArray valueName(16383, 'v');
    auto hive = parse(QByteArray(kHeader) + "[HKEY_LOCAL_MACHINE\\A]\n\"" + valueName
                      + "\"=dword:1\n\"" + valueName + "w\"=dword:1\n");
    EXPECT_EQ(1u, findKey(*hive, tsw::regfile::LocalMachine, u"A")->values.size());
    EXPECT_EQ(1u, hive->report.damagedLines);
}

TEST(RegFileParser, HugeInputIsNotRead)
{
    QByteArray file = QByteArray(kHeader) + "[HKEY_LOCAL_MACHINE\\A]\n\"v\"=dword:1\n";
    file.append(int(tsw::regfile::kMaxFileBytes) - file.size(), ';');
    auto hive = parse(file);
    EXPECT_FALSE(hive->report.tooLarge);
    EXPECT_NE(nullptr, findValue(*hive, u"A", u"v"));
    file.append(';');
    hive = parse(file);
    EXPECT_TRUE(hive->report.tooLarge);
    EXPECT_EQ(nullptr, findKey(*hive, tsw::regfile::LocalMachine, u"A"));
}

TEST(RegFileParser, KeyCountIsBounded)
{
    QByteArray file = kHeader;
    file.reserve(int(tsw::regfile::kMaxKeys) * 28);
    for (std::size_t i = 0; i <= tsw::regfile::kMaxKeys; ++i)
        file += "[HKEY_LOCAL_MACHINE\\" + QByteArray::number(qulonglong(i), 16) + "]\n";
    file += "\"v\"=dword:1\n";
    const auto hive = parse(file);
    EXPECT_TRUE(hive->report.limitReached);
    EXPECT_EQ(tsw::regfile::kMaxKeys, hive->report.keysCreated);
    EXPECT_EQ(tsw::regfile::kMaxKeys, hive->roots[tsw::regfile::LocalMachine].subKeys.size());
    // The key over the limit was not created, so its value went nowhere.
    EXPECT_EQ(0u, hive->report.valuesStored);
}

TEST(RegFileParser, ValueCountIsBounded)
{
    QByteArray file = QByteArray(kHeader) + "[HKEY_LOCAL_MACHINE\\A]\n";
    file.reserve(int(tsw::regfile::kMaxValues) * 20);
    for (std::size_t i = 0; i <= tsw::regfile::kMaxValues; ++i)
        file += "\"" + QByteArray::number(qulonglong(i), 16) + "\"=hex:\n";
    file += "\"0\"=dword:7\n";  // replacing an existing value is still allowed
    const auto hive = parse(file);
    EXPECT_TRUE(hive->report.limitReached);
    const Key *a = findKey(*hive, tsw::regfile::LocalMachine, u"A");
    ASSERT_NE(nullptr, a);
    EXPECT_EQ(tsw::regfile::kMaxValues, a->values.size());
    EXPECT_EQ(dwordBytes(7), a->FindValue(u"0", 1)->data);
}

TEST(RegFileParser, SubKeysInCaseInsensitiveOrder)
{
    const auto hive = parse(QByteArray(kHeader) + "[HKEY_LOCAL_MACHINE\\P\\beta]\n"
                                                  "[HKEY_LOCAL_MACHINE\\P\\Alpha]\n"
                                                  "[HKEY_LOCAL_MACHINE\\P\\ALPHA\\x]\n"
                                                  "[HKEY_LOCAL_MACHINE\\P\\Gamma]\n");
    const Key *p = findKey(*hive, tsw::regfile::LocalMachine, u"P");
    ASSERT_NE(nullptr, p);
    std::vector<std::u16string> names;
    for (const auto &sub : p->subKeys)
        names.push_back(sub.second->name);
    EXPECT_EQ((std::vector<std::u16string>{u"Alpha", u"beta", u"Gamma"}), names);
}

} // namespace
