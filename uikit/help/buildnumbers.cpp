#include "help/buildnumbers.h"

#include "registry.h"

#include <cstdint>

namespace {

long ReadBuild(const WCHAR *key, long &build)
{
    build = 0;
    CRegistry registry;
    long status = registry.Open(HKEY_LOCAL_MACHINE, key, KEY_READ);
    if (status != ERROR_SUCCESS)
        return HRESULT_FROM_WIN32(status);
    DWORD value = 0;
    status = registry.ReadDword(u"Build", value);
    if (status != ERROR_SUCCESS)
        return HRESULT_FROM_WIN32(status);
    // Windows' LONG is 32 bits: 0xFFFFFFFF reads as -1 there, and so it does here.
    build = long(std::int32_t(value));
    return S_OK;
}

} // namespace

long GetTessaroBuildNumber(long &build) { return ReadBuild(u"Software\\Morlen\\Tessaro\\8.0", build); }

long GetTsConsoleBuildNumber(long &build) { return ReadBuild(u"Software\\Morlen\\TsConsole\\8.0", build); }
