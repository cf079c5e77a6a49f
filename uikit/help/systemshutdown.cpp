#include "help/systemshutdown.h"

namespace {

class TokenHandle
{
public:
    TokenHandle() = default;
    ~TokenHandle()
    {
        if (m_handle)
            CloseHandle(m_handle);
    }
    TokenHandle(const TokenHandle &) = delete;
    TokenHandle &operator=(const TokenHandle &) = delete;
    HANDLE *out() { return &m_handle; }
    HANDLE get() const { return m_handle; }

private:
    HANDLE m_handle = nullptr;
};

} // namespace

long DoShutDown(bool reboot)
{
    TokenHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.out()))
        return E_ACCESSDENIED;
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    // A failed lookup leaves its error behind, which the check below reports.
    LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid);
    AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
    // ERROR_NOT_ALL_ASSIGNED comes with success: only the last error tells that the privilege is
    // not held.
    if (GetLastError() != ERROR_SUCCESS)
        return E_ACCESSDENIED;
    const DWORD reason = SHTDN_REASON_FLAG_PLANNED | SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_MINOR_MAINTENANCE;
    if (!InitiateSystemShutdownExW(nullptr, nullptr, 0, FALSE, reboot ? TRUE : FALSE, reason))
        return E_ACCESSDENIED;
    return S_OK;
}
