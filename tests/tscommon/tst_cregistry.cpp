// The common library's registry object.
#include "regtestutil.h"

#include "registry.h"

#include <gtest/gtest.h>

using namespace regtest;

namespace {

const QByteArray kFile = "[HKEY_LOCAL_MACHINE\\Software\\Morlen\\Tessaro\\8.0]\n"
                         "\"Build\"=dword:00000bb8\n"
                         "\"LocalHelp\"=dword:00000000\n"
                         "\"Text\"=\"a\\\\b\"\n"
                         "\"One\"=\"a\"\n"
                         "\"Expand\"=hex(2):25,00,41,00,25,00,00,00\n"
                         "\"Four\"=hex:01,00,00,00\n"
                         "\"Eight\"=hex(4):01,00,00,00,00,00,00,00\n"
                         "\"Short\"=hex(4):01,00\n"
                         "[HKEY_LOCAL_MACHINE\\Software\\Morlen\\TsConsole\\8.0]\n"
                         "\"Build\"=dword:00000bb9\n";

const LPCWSTR kTessaro = u"Software\\Morlen\\Tessaro\\8.0";
const LPCWSTR kConsole = u"Software\\Morlen\\TsConsole\\8.0";

// How the library reads a DWORD: through the key at the object's address.
LONG readThroughFirstMember(CRegistry &reg, LPCWSTR name, DWORD &value)
{
    const HKEY key = *reinterpret_cast<HKEY *>(&reg);
    DWORD type = 0, size = sizeof value;
    const LONG status =
        RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<LPBYTE>(&value), &size);
    if (status != ERROR_SUCCESS)
        return status;
    return type == REG_DWORD ? ERROR_SUCCESS : ERROR_INVALID_DATA;
}

TEST(CRegistry, ReadsDwordThroughFirstMember)
{
    RegistryFile file(kFile);
    CRegistry reg;
    EXPECT_EQ(nullptr, *reinterpret_cast<HKEY *>(&reg));
    ASSERT_EQ(ERROR_SUCCESS, reg.Open(HKEY_LOCAL_MACHINE, kTessaro, KEY_READ));
    DWORD build = 0;
    EXPECT_EQ(ERROR_SUCCESS, readThroughFirstMember(reg, u"Build", build));
    EXPECT_EQ(3000u, build);
    EXPECT_EQ(ERROR_INVALID_DATA, readThroughFirstMember(reg, u"One", build));  // 4 bytes of text
    EXPECT_EQ(ERROR_MORE_DATA, readThroughFirstMember(reg, u"Text", build));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, readThroughFirstMember(reg, u"Missing", build));
}

TEST(CRegistry, OpenAgainHoldsTheNewKeyAndReleasesTheOld)
{
    RegistryFile file(kFile);
    CRegistry reg;
    ASSERT_EQ(ERROR_SUCCESS, reg.Open(HKEY_LOCAL_MACHINE, kConsole, KEY_READ));
    const HKEY first = reg.m_hKey;
    DWORD value = 0;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, reg.ReadDword(u"LocalHelp", value));  // only under Tessaro
    ASSERT_EQ(ERROR_SUCCESS, reg.Open(HKEY_LOCAL_MACHINE, kTessaro, KEY_READ));
    EXPECT_NE(first, reg.m_hKey);
    EXPECT_EQ(ERROR_SUCCESS, readThroughFirstMember(reg, u"LocalHelp", value));
    EXPECT_EQ(0u, value);
    EXPECT_EQ(ERROR_SUCCESS, readThroughFirstMember(reg, u"Build", value));
    EXPECT_EQ(3000u, value);
    // The first key was released.
    DWORD size;
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegQueryValueExW(first, u"Build", nullptr, nullptr, nullptr, &size));
}

TEST(CRegistry, FailedOpenLeavesNoStaleKey)
{
    RegistryFile file(kFile);
    CRegistry reg;
    ASSERT_EQ(ERROR_SUCCESS, reg.Open(HKEY_LOCAL_MACHINE, kTessaro, KEY_READ));
    const HKEY first = reg.m_hKey;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, reg.Open(HKEY_LOCAL_MACHINE, u"Software\\Nope", KEY_READ));
    EXPECT_EQ(nullptr, reg.m_hKey);
    DWORD value = 7, size;
    EXPECT_EQ(ERROR_INVALID_HANDLE, reg.ReadDword(u"Build", value));
    EXPECT_EQ(7u, value);
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegQueryValueExW(first, u"Build", nullptr, nullptr, nullptr, &size));
}

// Opening below the key the object holds must not release that key before it is used.
TEST(CRegistry, RegressionOpenBelowTheHeldKey)
{
    RegistryFile file(kFile);
    CRegistry reg;
    ASSERT_EQ(ERROR_SUCCESS, reg.Open(HKEY_LOCAL_MACHINE, u"Software\\Morlen", KEY_READ));
    ASSERT_EQ(ERROR_SUCCESS, reg.Open(reg.m_hKey, u"Tessaro\\8.0", KEY_READ));
    DWORD build = 0;
    EXPECT_EQ(ERROR_SUCCESS, reg.ReadDword(u"Build", build));
    EXPECT_EQ(3000u, build);
}

TEST(CRegistry, DestructorReleasesTheKey)
{
    RegistryFile file(kFile);
    HKEY held;
    {
        CRegistry reg;
        ASSERT_EQ(ERROR_SUCCESS, reg.Open(HKEY_LOCAL_MACHINE, kTessaro, KEY_READ));
        held = reg.m_hKey;
    }
    DWORD size;
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegQueryValueExW(held, u"Build", nullptr, nullptr, nullptr, &size));
}

TEST(CRegistry, ReadHelpers)
{
    RegistryFile file(kFile);
    CRegistry reg;
    ASSERT_EQ(ERROR_SUCCESS, reg.Open(HKEY_LOCAL_MACHINE, kTessaro, KEY_READ));
    struct Row {
        const char16_t *name;
        LONG status;
        DWORD value;
    };
    const Row dwords[] = {
        {u"Build", ERROR_SUCCESS, 3000},
        {u"build", ERROR_SUCCESS, 3000},
        {u"Text", ERROR_MORE_DATA, 99},      // 8 bytes of text do not fit: the size answers first
        {u"Four", ERROR_INVALID_DATA, 99},   // four bytes, but binary
        {u"Eight", ERROR_MORE_DATA, 99},     // a DWORD type with too much data: the query's status
        {u"Short", ERROR_SUCCESS, 1},        // a DWORD type with too little data: its bytes, low first
        {u"Nope", ERROR_FILE_NOT_FOUND, 99},
    };
    for (const Row &r : dwords) {
        SCOPED_TRACE(std::string(QString::fromStdU16String(r.name).toUtf8()));
        DWORD value = 99;
        EXPECT_EQ(r.status, reg.ReadDword(r.name, value));
        EXPECT_EQ(r.value, value);
    }
    std::u16string text = u"unchanged";
    EXPECT_EQ(ERROR_SUCCESS, reg.ReadString(u"Text", text));
    EXPECT_EQ(u"a\\b", text);
    EXPECT_EQ(ERROR_SUCCESS, reg.ReadString(u"Expand", text));
    EXPECT_EQ(u"%A%", text);
    text = u"unchanged";
    EXPECT_EQ(ERROR_INVALID_DATA, reg.ReadString(u"Build", text));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, reg.ReadString(u"Nope", text));
    EXPECT_EQ(u"unchanged", text);
}

} // namespace
