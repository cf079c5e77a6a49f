// The LocalHelp switch and the build numbers over registry files written by the tests.
#include "help/buildnumbers.h"
#include "help/networkprobe.h"
#include "regtestutil.h"

#include <gtest/gtest.h>

namespace {

const char kProduct[] = "[HKEY_LOCAL_MACHINE\\Software\\Morlen\\Tessaro\\8.0]\r\n";
const char kConsole[] = "[HKEY_LOCAL_MACHINE\\Software\\Morlen\\TsConsole\\8.0]\r\n";

QByteArray Section(const char *key, const char *values) { return QByteArray(key) + values + "\r\n"; }

struct LocalHelpCase {
    const char *name;
    QByteArray file;
    bool expected;
};

TEST(LocalHelp, EitherKeyAnyDwordCounts)
{
    const LocalHelpCase cases[] = {
        {"console key", Section(kConsole, "\"LocalHelp\"=dword:00000001\r\n"), true},
        {"product key only, value 0", Section(kProduct, "\"LocalHelp\"=dword:00000000\r\n"), true},
        {"console key without it, product key with it",
         Section(kConsole, "\"Build\"=dword:00000010\r\n") + Section(kProduct, "\"LocalHelp\"=dword:00000002\r\n"),
         true},
        {"stored as a string", Section(kProduct, "\"LocalHelp\"=\"1\"\r\n"), false},
        {"stored as a long string", Section(kConsole, "\"LocalHelp\"=\"yes, please\"\r\n"), false},
        {"stored as 8 bytes", Section(kConsole, "\"LocalHelp\"=hex(b):01,00,00,00,00,00,00,00\r\n"), false},
        {"string under the console key, dword under the product key",
         Section(kConsole, "\"LocalHelp\"=\"1\"\r\n") + Section(kProduct, "\"LocalHelp\"=dword:00000000\r\n"),
         true},
        {"other value names only", Section(kProduct, "\"Build\"=dword:00000010\r\n"), false},
        {"name differs in case (names compare without case)", Section(kProduct, "\"localhelp\"=dword:0\r\n"),
         true},
        {"neither key", Section("[HKEY_LOCAL_MACHINE\\Software\\Morlen]\r\n", "\"LocalHelp\"=dword:1\r\n"),
         false},
        {"under another root", Section("[HKEY_CURRENT_USER\\Software\\Morlen\\Tessaro\\8.0]\r\n",
                                       "\"LocalHelp\"=dword:1\r\n"),
         false},
        {"empty registry", QByteArray(), false},
    };
    for (const LocalHelpCase &c : cases) {
        regtest::RegistryFile file(c.file);
        EXPECT_EQ(IsNetwokOverrideLocal(), c.expected) << c.name;
    }
}

TEST(LocalHelp, NoRegistryFile)
{
    tstest::ScopedEnv env("TS_REGISTRY_FILE", "/nonexistent/registry.reg");
    EXPECT_FALSE(IsNetwokOverrideLocal());
}

struct BuildCase {
    const char *name;
    QByteArray file;
    long productStatus;
    long productBuild;
    long consoleStatus;
    long consoleBuild;
};

TEST(BuildNumbers, ReadFromEachKey)
{
    const long notFound = long(HRESULT(0x80070002));
    const long invalidData = long(HRESULT(0x8007000D));
    const BuildCase cases[] = {
        {"both present", Section(kProduct, "\"Build\"=dword:00001f6a\r\n") + Section(kConsole, "\"Build\"=dword:00000400\r\n"),
         S_OK, 8042, S_OK, 1024},
        {"only the product", Section(kProduct, "\"Build\"=dword:00000007\r\n"), S_OK, 7, notFound, 0},
        {"console key without the value", Section(kConsole, "\"LocalHelp\"=dword:1\r\n"), notFound, 0, notFound, 0},
        // A 10-byte string does not fit the 4-byte buffer: the query's ERROR_MORE_DATA comes first.
        {"wrong types", Section(kProduct, "\"Build\"=\"8042\"\r\n") + Section(kConsole, "\"Build\"=hex:01,02,03,04\r\n"),
         long(HRESULT(0x800700EA)), 0, invalidData, 0},
        {"short string", Section(kProduct, "\"Build\"=\"7\"\r\n"), invalidData, 0, notFound, 0},
        {"largest value", Section(kProduct, "\"Build\"=dword:7fffffff\r\n"), S_OK, 0x7fffffffL, notFound, 0},
        {"the other key's value is not taken", Section(kConsole, "\"Build\"=dword:00000005\r\n"), notFound, 0, S_OK, 5},
    };
    for (const BuildCase &c : cases) {
        regtest::RegistryFile file(c.file);
        long build = -1;
        EXPECT_EQ(GetTessaroBuildNumber(build), c.productStatus) << c.name;
        EXPECT_EQ(build, c.productBuild) << c.name;
        build = -1;
        EXPECT_EQ(GetTsConsoleBuildNumber(build), c.consoleStatus) << c.name;
        EXPECT_EQ(build, c.consoleBuild) << c.name;
    }
}

// Odd "Build" values, answered as Windows answers a read into a 4-byte buffer. RegQueryValueExW
// (winreg.h): "If the buffer specified by lpData is not large enough to hold the data, the function
// returns ERROR_MORE_DATA and stores the required buffer size in lpcbData"; otherwise lpcbData
// receives "the size of the data copied to lpData". The type is whatever was stored, checked
// only after the query succeeded.
TEST(BuildNumbers, OddValuesAsWindowsAnswers)
{
    struct Row {
        const char *name;
        const char *value;
        long status;
        long build;
    };
    const Row rows[] = {
        // 8 bytes of REG_DWORD: more than the buffer holds, so ERROR_MORE_DATA (234), not 13.
        {"8-byte REG_DWORD", "hex(4):01,00,00,00,00,00,00,00", long(HRESULT(0x800700EA)), 0},
        // 5 bytes: one too many is already too many.
        {"5-byte REG_DWORD", "hex(4):01,00,00,00,00", long(HRESULT(0x800700EA)), 0},
        // A REG_QWORD is larger than the buffer: the size answers before the type.
        {"REG_QWORD", "hex(b):07,00,00,00,00,00,00,00", long(HRESULT(0x800700EA)), 0},
        // 2 bytes: success, lpcbData says 2; only those bytes are written, the rest stays 0.
        {"2-byte REG_DWORD", "hex(4):34,12", S_OK, 0x1234},
        // 1 byte, likewise.
        {"1-byte REG_DWORD", "hex(4):ff", S_OK, 0xff},
        // No data at all: success with size 0, nothing written.
        {"empty REG_DWORD", "hex(4):", S_OK, 0},
        // Exactly 4 bytes of REG_BINARY fit, so the type decides: ERROR_INVALID_DATA.
        {"4-byte REG_BINARY", "hex:01,00,00,00", long(HRESULT(0x8007000D)), 0},
        // LONG is 32 bits on Windows: the bit pattern 0xFFFFFFFF is -1 there.
        {"0xFFFFFFFF", "dword:ffffffff", S_OK, -1},
        {"0x80000000", "dword:80000000", S_OK, -2147483647L - 1},
        // The largest positive LONG stays itself.
        {"0x7FFFFFFF", "dword:7fffffff", S_OK, 0x7fffffffL},
    };
    for (const Row &r : rows) {
        regtest::RegistryFile file(Section(kProduct, (QByteArray("\"Build\"=") + r.value + "\r\n").constData()));
        long build = 99;
        EXPECT_EQ(GetTessaroBuildNumber(build), r.status) << r.name;
        EXPECT_EQ(build, r.build) << r.name;
    }
    // The help switch counts a REG_DWORD of any size that fits, and nothing larger.
    const struct {
        const char *value;
        bool expected;
    } localHelp[] = {{"hex(4):01", true}, {"hex(4):", true}, {"hex(4):01,00,00,00,00", false}};
    for (const auto &l : localHelp) {
        regtest::RegistryFile file(Section(kProduct, (QByteArray("\"LocalHelp\"=") + l.value + "\r\n").constData()));
        EXPECT_EQ(IsNetwokOverrideLocal(), l.expected) << l.value;
    }
}

// A failed read leaves 0, not what the caller's variable held.
TEST(BuildNumbers, FailureZeroesTheCallersValue)
{
    regtest::RegistryFile file(QByteArray{});
    long build = 1234;
    EXPECT_EQ(GetTessaroBuildNumber(build), long(HRESULT(0x80070002)));
    EXPECT_EQ(build, 0);
}

} // namespace
