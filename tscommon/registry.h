// Read access to registry keys of the product.
#pragma once
#include "tscommon_export.h"
#include "tswin.h"

#include <string>

// Holds one open registry key and releases it when destroyed or when another key is opened.
//
// The open key handle is the object's first data member and the class has no virtual functions,
// so the object's address is also the address of the handle: callers may read values through it
// with RegQueryValueExW, for example
//     CRegistry reg;
//     if (reg.Open(HKEY_LOCAL_MACHINE, L"Software\\...", KEY_READ) == ERROR_SUCCESS)
//         RegQueryValueExW(reg.m_hKey, L"Build", nullptr, &type, data, &size);
// The object is not copyable: only one object owns a handle.
class TSCOMMON_API CRegistry
{
public:
    // The handle of the open key, or null. Must stay the first data member.
    HKEY m_hKey;

    CRegistry();
    ~CRegistry();
    CRegistry(const CRegistry &) = delete;
    CRegistry &operator=(const CRegistry &) = delete;

    // Opens `path` below `root` with `access` and holds that key. A key held before is released
    // first, also when the new one cannot be opened: after a failure the object holds no key.
    // Returns the Win32 status of the open (ERROR_SUCCESS, ERROR_FILE_NOT_FOUND, ...).
    long Open(HKEY root, LPCWSTR path, DWORD access);

    // Releases the held key, if any.
    void Close();

    // Reads a REG_DWORD value of the held key into a 4-byte buffer, as Windows callers do: the
    // query's own status when it fails (ERROR_FILE_NOT_FOUND, ERROR_MORE_DATA for more than 4 bytes
    // of any type, ERROR_INVALID_HANDLE without a key), else ERROR_INVALID_DATA when the type is
    // not REG_DWORD. A REG_DWORD of fewer than 4 bytes gives those bytes as the low ones, the rest
    // 0. `value` is changed only on success.
    long ReadDword(LPCWSTR name, DWORD &value) const;

    // Reads a REG_SZ or REG_EXPAND_SZ value of the held key (unexpanded), without its terminating
    // NUL and anything after it. ERROR_INVALID_DATA for other types; `value` changed only on success.
    long ReadString(LPCWSTR name, std::basic_string<WCHAR> &value) const;
};
