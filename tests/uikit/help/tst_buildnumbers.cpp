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
        {"wrong types", Section(kProduct, "\"Build\"=\"8042\"\r\n") + Section(kConsole, "\"Build\"=hex:01,02,03,04\r\n"),
         invalidData, 0, invalidData, 0},
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

// A failed read leaves 0, not what the caller's variable held.
TEST(BuildNumbers, FailureZeroesTheCallersValue)
{
    regtest::RegistryFile file(QByteArray{});
    long build = 1234;
    EXPECT_EQ(GetTessaroBuildNumber(build), long(HRESULT(0x80070002)));
    EXPECT_EQ(build, 0);
}

} // namespace
