// The Reg* calls over a registry file, with the statuses and sizes that callers depend on.
#include "regtestutil.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QThread>

#include <cstring>
#include <sys/stat.h>
#include <sys/types.h>

using namespace regtest;

namespace {

const QByteArray kProductFile = "[HKEY_LOCAL_MACHINE\\Software\\Morlen\\Tessaro\\8.0]\r\n"
                                "\"Build\"=dword:00000bb8\r\n"
                                "\"LocalHelp\"=dword:00000000\r\n"
                                "\"Name\"=\"abc\"\r\n"
                                "@=\"dflt\"\r\n"
                                "\"Bin\"=hex:01,02,03,04,05\r\n"
                                "\"Empty\"=hex:\r\n"
                                "\"Multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n"
                                "\"Q\"=hex(b):08,07,06,05,04,03,02,01\r\n"
                                "[HKEY_LOCAL_MACHINE\\Software\\Morlen\\TsConsole\\8.0]\r\n"
                                "\"Build\"=dword:00000bb9\r\n";

const LPCWSTR kTessaroKey = u"Software\\Morlen\\Tessaro\\8.0";

class RegistryCalls : public ::testing::Test
{
protected:
    RegistryFile file{kProductFile};
    HKEY key = nullptr;

    void SetUp() override
    {
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, kTessaroKey, 0, KEY_READ, &key));
        ASSERT_NE(nullptr, key);
    }
    void TearDown() override
    {
        if (key) {
            EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
        }
    }
};

TEST(RegistryConstants, WindowsValues)
{
    EXPECT_EQ(131097, KEY_READ);
    EXPECT_EQ(0x20006, KEY_WRITE);
    EXPECT_EQ(0xF003F, KEY_ALL_ACCESS);
    EXPECT_EQ(0x80000002u, DWORD(reinterpret_cast<ULONG_PTR>(HKEY_LOCAL_MACHINE)));
    // As on 64-bit Windows, the predefined handles are sign-extended.
    EXPECT_EQ(~ULONG_PTR(0x7FFFFFFD), reinterpret_cast<ULONG_PTR>(HKEY_LOCAL_MACHINE));
}

struct QueryCase {
    const char *what;
    const char16_t *name;
    LONG status;
    DWORD type;
    std::vector<BYTE> data;
};

TEST_F(RegistryCalls, QueryTable)
{
    const QueryCase cases[] = {
        {"dword", u"Build", ERROR_SUCCESS, REG_DWORD, dwordBytes(3000)},
        {"dword zero", u"LocalHelp", ERROR_SUCCESS, REG_DWORD, dwordBytes(0)},
        {"name ignores case", u"bUILD", ERROR_SUCCESS, REG_DWORD, dwordBytes(3000)},
        {"text with its NUL", u"Name", ERROR_SUCCESS, REG_SZ, bytesOf(u"abc")},
        {"default by empty name", u"", ERROR_SUCCESS, REG_SZ, bytesOf(u"dflt")},
        {"default by null name", nullptr, ERROR_SUCCESS, REG_SZ, bytesOf(u"dflt")},
        {"binary", u"Bin", ERROR_SUCCESS, REG_BINARY, {1, 2, 3, 4, 5}},
        {"empty binary", u"Empty", ERROR_SUCCESS, REG_BINARY, {}},
        {"multi string", u"Multi", ERROR_SUCCESS, REG_MULTI_SZ, {0x61, 0, 0, 0, 0x62, 0, 0, 0, 0, 0}},
        {"qword", u"Q", ERROR_SUCCESS, REG_QWORD, {8, 7, 6, 5, 4, 3, 2, 1}},
        {"missing", u"Nope", ERROR_FILE_NOT_FOUND, 0, {}},
        {"prefix of a name", u"Buil", ERROR_FILE_NOT_FOUND, 0, {}},
    };
    for (const QueryCase &c : cases) {
        SCOPED_TRACE(c.what);
        // Size only.
        DWORD type = 0xDEAD, size = 0xBEEF;
        EXPECT_EQ(c.status, RegQueryValueExW(key, c.name, nullptr, &type, nullptr, &size));
        if (c.status == ERROR_SUCCESS) {
            EXPECT_EQ(c.type, type);
            EXPECT_EQ(c.data.size(), size);
        }
        // Exact buffer.
        std::vector<BYTE> buffer(c.data.size() + 4, 0xCC);
        size = DWORD(c.data.size());
        type = 0xDEAD;
        EXPECT_EQ(c.status, RegQueryValueExW(key, c.name, nullptr, &type, buffer.data(), &size));
        if (c.status != ERROR_SUCCESS)
            continue;
        EXPECT_EQ(c.type, type);
        EXPECT_EQ(c.data.size(), size);
        EXPECT_EQ(c.data, std::vector<BYTE>(buffer.begin(), buffer.begin() + size));
        EXPECT_EQ(0xCC, buffer[size]) << "wrote past the value";
        // One byte short: more data, size needed, buffer untouched.
        if (c.data.empty())
            continue;
        std::fill(buffer.begin(), buffer.end(), 0xCC);
        size = DWORD(c.data.size() - 1);
        EXPECT_EQ(ERROR_MORE_DATA, RegQueryValueExW(key, c.name, nullptr, &type, buffer.data(), &size));
        EXPECT_EQ(c.data.size(), size);
        EXPECT_EQ(c.type, type);
        EXPECT_EQ(std::vector<BYTE>(buffer.size(), 0xCC), buffer);
    }
}

TEST_F(RegistryCalls, TypeOnlyAndBadParameters)
{
    DWORD type = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, u"Name", nullptr, &type, nullptr, nullptr));
    EXPECT_EQ(DWORD(REG_SZ), type);
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, u"Name", nullptr, nullptr, nullptr, nullptr));
    BYTE buf[16];
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegQueryValueExW(key, u"Name", nullptr, &type, buf, nullptr));
    DWORD reserved = 0, size = sizeof buf;
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegQueryValueExW(key, u"Name", &reserved, &type, buf, &size));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software", 0, KEY_READ, nullptr));
}

struct OpenCase {
    const char *what;
    const char16_t *path;
    REGSAM access;
    LONG status;
};

TEST_F(RegistryCalls, OpenTable)
{
    const OpenCase cases[] = {
        {"full path", u"Software\\Morlen\\Tessaro\\8.0", KEY_READ, ERROR_SUCCESS},
        {"path ignores case", u"SOFTWARE\\morlen\\TESSARO\\8.0", KEY_READ, ERROR_SUCCESS},
        {"intermediate key", u"Software\\Morlen", KEY_READ, ERROR_SUCCESS},
        {"trailing backslash", u"Software\\Morlen\\", KEY_READ, ERROR_SUCCESS},
        {"query-only access", u"Software", KEY_QUERY_VALUE, ERROR_SUCCESS},
        {"32-bit view flag", u"Software", KEY_READ | KEY_WOW64_32KEY, ERROR_SUCCESS},
        {"missing leaf", u"Software\\Morlen\\Other", KEY_READ, ERROR_FILE_NOT_FOUND},
        {"missing middle", u"Software\\Nope\\Tessaro", KEY_READ, ERROR_FILE_NOT_FOUND},
        {"value name is not a key", u"Software\\Morlen\\Tessaro\\8.0\\Build", KEY_READ,
         ERROR_FILE_NOT_FOUND},
        {"empty part", u"Software\\\\Morlen", KEY_READ, ERROR_FILE_NOT_FOUND},
        {"leading backslash", u"\\Software", KEY_READ, ERROR_BAD_PATHNAME},
        {"write access refused", u"Software", KEY_WRITE, ERROR_ACCESS_DENIED},
        {"all access refused", u"Software", KEY_ALL_ACCESS, ERROR_ACCESS_DENIED},
        {"missing wins over access", u"Nope", KEY_WRITE, ERROR_FILE_NOT_FOUND},
    };
    for (const OpenCase &c : cases) {
        SCOPED_TRACE(c.what);
        HKEY k = reinterpret_cast<HKEY>(ULONG_PTR(0x1234));
        EXPECT_EQ(c.status, RegOpenKeyExW(HKEY_LOCAL_MACHINE, c.path, 0, c.access, &k));
        if (c.status == ERROR_SUCCESS) {
            ASSERT_NE(nullptr, k);
            EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(k));
        } else {
            EXPECT_EQ(nullptr, k);
        }
    }
    // Other roots do not see the machine's keys.
    HKEY k;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(HKEY_CURRENT_USER, u"Software", 0, KEY_READ, &k));
}

TEST_F(RegistryCalls, RelativeOpenAndSameKey)
{
    HKEY morlen, tessaro, again;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"software\\morlen", 0, KEY_READ, &morlen));
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(morlen, u"tsconsole\\8.0", 0, KEY_READ, &tessaro));
    DWORD build = 0, size = sizeof build;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(tessaro, u"Build", nullptr, nullptr,
                                              reinterpret_cast<LPBYTE>(&build), &size));
    EXPECT_EQ(3001u, build);
    // An empty path on an open key is a new handle to the same key, closed on its own.
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(tessaro, u"", 0, KEY_READ, &again));
    EXPECT_NE(tessaro, again);
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(tessaro));
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(again, u"Build", nullptr, nullptr, nullptr, &size));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(again));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(morlen));
    // An empty or null path on a predefined root gives the root itself.
    HKEY root = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, nullptr, 0, KEY_READ, &root));
    EXPECT_EQ(HKEY_LOCAL_MACHINE, root);
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"", 0, KEY_READ, &root));
    EXPECT_EQ(HKEY_LOCAL_MACHINE, root);
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(HKEY_LOCAL_MACHINE));
}

TEST_F(RegistryCalls, ClosedAndUnknownHandles)
{
    HKEY k;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, kTessaroKey, 0, KEY_READ, &k));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(k));
    DWORD size = 4, type;
    BYTE buf[4];
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegQueryValueExW(k, u"Build", nullptr, &type, buf, &size));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(k));
    HKEY sub;
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegOpenKeyExW(k, u"x", 0, KEY_READ, &sub));
    // Handles are never handed out again, so the closed one stays invalid after new opens.
    HKEY fresh;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, kTessaroKey, 0, KEY_READ, &fresh));
    EXPECT_NE(k, fresh);
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegQueryValueExW(k, u"Build", nullptr, &type, buf, &size));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(fresh));

    const HKEY bogus[] = {nullptr, reinterpret_cast<HKEY>(ULONG_PTR(1)), HKEY_PERFORMANCE_DATA,
                          reinterpret_cast<HKEY>(&size)};
    for (HKEY b : bogus) {
        EXPECT_EQ(ERROR_INVALID_HANDLE, RegQueryValueExW(b, u"Build", nullptr, &type, buf, &size));
        EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(b));
        EXPECT_EQ(ERROR_INVALID_HANDLE, RegOpenKeyExW(b, u"x", 0, KEY_READ, &sub));
    }
}

TEST(RegistryFileHandling, MissingFileMeansNoKeys)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("absent.reg")).toStdString();
    tstest::ScopedEnv env("TS_REGISTRY_FILE", path.c_str());
    HKEY k = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(HKEY_LOCAL_MACHINE, kTessaroKey, 0, KEY_READ, &k));
    EXPECT_EQ(nullptr, k);
    DWORD size = 0;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExW(HKEY_LOCAL_MACHINE, u"x", nullptr, nullptr, nullptr, &size));
}

TEST(RegistryFileHandling, NonRegularFilesAreNotRead)
{
    QTemporaryDir dir;
    const std::string fifo = dir.filePath(QStringLiteral("fifo.reg")).toStdString();
    ASSERT_EQ(0, ::mkfifo(fifo.c_str(), 0600));
    const std::string paths[] = {fifo, dir.path().toStdString(), "/dev/zero"};
    for (const std::string &p : paths) {
        SCOPED_TRACE(p);
        tstest::ScopedEnv env("TS_REGISTRY_FILE", p.c_str());
        HKEY k;
        // Must come back at once: no blocking on a pipe, no endless read of a device.
        EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software", 0, KEY_READ, &k));
    }
}

TEST(RegistryFileHandling, ChangedFileIsReadAgainOpenKeysKeepTheirSnapshot)
{
    RegistryFile file("[HKEY_LOCAL_MACHINE\\A]\n\"v\"=dword:1\n");
    HKEY old;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"A", 0, KEY_READ, &old));
    file.write("[HKEY_LOCAL_MACHINE\\A]\n\"v\"=dword:2\n\"w\"=dword:3\n");
    HKEY now;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"A", 0, KEY_READ, &now));
    DWORD v = 0, size = 4;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(now, u"v", nullptr, nullptr, reinterpret_cast<LPBYTE>(&v), &size));
    EXPECT_EQ(2u, v);
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(old, u"v", nullptr, nullptr, reinterpret_cast<LPBYTE>(&v), &size));
    EXPECT_EQ(1u, v);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExW(old, u"w", nullptr, nullptr, nullptr, &size));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(old));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(now));

    // A file that goes away takes its keys with it.
    ASSERT_TRUE(QFile::remove(QString::fromStdString(file.path())));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"A", 0, KEY_READ, &now));
}

TEST(RegistryFileHandling, Utf16File)
{
    const QString text = QString::fromUtf8(QByteArray(kHeader)
                                           + "[HKEY_LOCAL_MACHINE\\Software\\Ünï]\r\n\"Név\"=\"日本語\"\r\n");
    QByteArray bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    RegistryFile file(bytes, false);
    HKEY k;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"software\\ÜNÏ", 0, KEY_READ, &k));
    WCHAR buf[8] = {};
    DWORD size = sizeof buf, type = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(k, u"NÉV", nullptr, &type, reinterpret_cast<LPBYTE>(buf), &size));
    EXPECT_EQ(DWORD(REG_SZ), type);
    EXPECT_EQ(8u, size);
    EXPECT_EQ(std::u16string(u"日本語"), std::u16string(buf));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(k));
}

TEST(RegistryFileHandling, HostileFileLoadsTheGoodParts)
{
    QByteArray junk;
    for (int i = 0; i < 256; ++i)
        junk += char(i);
    RegistryFile file("[HKEY_LOCAL_MACHINE\\A]\n" + junk + "\n\"ok\"=dword:1\n\"x\"=hex:" + junk
                      + "\n[" + junk + "]\n\"lost\"=dword:2\n[HKEY_LOCAL_MACHINE\\A]\n\"ok2\"=dword:3\n");
    HKEY k;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"A", 0, KEY_READ, &k));
    DWORD size;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(k, u"ok", nullptr, nullptr, nullptr, &size));
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(k, u"ok2", nullptr, nullptr, nullptr, &size));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExW(k, u"x", nullptr, nullptr, nullptr, &size));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExW(k, u"lost", nullptr, nullptr, nullptr, &size));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(k));
}

} // namespace
