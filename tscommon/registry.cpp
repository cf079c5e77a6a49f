#include "registry.h"

#include <cstddef>
#include <type_traits>
#include <vector>

static_assert(std::is_standard_layout<CRegistry>::value,
              "callers read the key handle at the object's address");
static_assert(offsetof(CRegistry, m_hKey) == 0, "the key handle must be the first member");

CRegistry::CRegistry() : m_hKey(nullptr) {}

CRegistry::~CRegistry() { Close(); }

void CRegistry::Close()
{
    if (m_hKey) {
        RegCloseKey(m_hKey);
        m_hKey = nullptr;
    }
}

long CRegistry::Open(HKEY root, LPCWSTR path, DWORD access)
{
    // Opened before the old key goes, so that `root` may be the key held now.
    HKEY key = nullptr;
    const LSTATUS status = RegOpenKeyExW(root, path, 0, access, &key);
    Close();
    if (status == ERROR_SUCCESS)
        m_hKey = key;
    return status;
}

long CRegistry::ReadDword(LPCWSTR name, DWORD &value) const
{
    DWORD type = REG_NONE;
    DWORD data = 0;
    DWORD size = sizeof data;
    // As a Windows caller reading into a DWORD sees it: a larger value fails with the query's
    // ERROR_MORE_DATA, whatever its type; a shorter REG_DWORD fills the low bytes only.
    const LSTATUS status =
        RegQueryValueExW(m_hKey, name, nullptr, &type, reinterpret_cast<LPBYTE>(&data), &size);
    if (status != ERROR_SUCCESS)
        return status;
    if (type != REG_DWORD)
        return ERROR_INVALID_DATA;
    value = data;
    return ERROR_SUCCESS;
}

long CRegistry::ReadString(LPCWSTR name, std::basic_string<WCHAR> &value) const
{
    DWORD type = REG_NONE;
    DWORD size = 0;
    LSTATUS status = RegQueryValueExW(m_hKey, name, nullptr, &type, nullptr, &size);
    if (status != ERROR_SUCCESS)
        return status;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return ERROR_INVALID_DATA;
    std::vector<BYTE> bytes(size);
    status = RegQueryValueExW(m_hKey, name, nullptr, &type, bytes.data(), &size);
    if (status != ERROR_SUCCESS)
        return status;  // changed in between: report it rather than guess
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return ERROR_INVALID_DATA;
    std::basic_string<WCHAR> text;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const WCHAR c = WCHAR(bytes[i] | (bytes[i + 1] << 8));
        if (c == 0)
            break;
        text.push_back(c);
    }
    value = std::move(text);
    return ERROR_SUCCESS;
}
