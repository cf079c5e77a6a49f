#include "tsw/security.h"

#include "backendapi_p.h"
#include "handletable_p.h"
#include "lasterror_p.h"
#include "tsw/backend.h"

#include <QString>
#include <QVariant>

#include <atomic>

namespace {

// The identifier Windows gives the shutdown privilege.
constexpr LUID kShutdownLuid = {19, 0};

// Open token handles and their access rights.
tsw::HandleTable<DWORD> &Tokens()
{
    static tsw::HandleTable<DWORD> tokens(0x20001);
    return tokens;
}

// The process has one token, so the privilege's state is the process's.
std::atomic<bool> g_shutdownEnabled{false};

bool Local(LPCWSTR machine) { return !machine || !*machine; }

// Calls a method of the login manager through the D-Bus back-end, loaded on the first call; false
// when the call was not answered or the back-end cannot be loaded.
bool CallLoginManager(const QString &method, const QVariantList &arguments, QString *answer)
{
    const auto call = reinterpret_cast<tsw::backend::LoginCallFn>(
        TswBackEndSymbol(tsw::backend::kLogin, tsw::backend::kLoginCall));
    return call && call(method, arguments, answer);
}

// "yes" from CanPowerOff or CanReboot.
bool ShutdownAllowed()
{
    for (const QString &method : {QStringLiteral("CanPowerOff"), QStringLiteral("CanReboot")}) {
        QString answer;
        if (CallLoginManager(method, {}, &answer) && answer == QLatin1String("yes"))
            return true;
    }
    return false;
}

bool TokenAccess(HANDLE token, DWORD &access)
{
    const std::optional<DWORD> found = Tokens().Find(token);
    if (!found)
        return false;
    access = *found;
    return true;
}

BOOL Fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

} // namespace

HANDLE GetCurrentProcess() { return reinterpret_cast<HANDLE>(LONG_PTR(-1)); }

BOOL OpenProcessToken(HANDLE process, DWORD access, PHANDLE token)
{
    if (!token)
        return Fail(ERROR_INVALID_PARAMETER);
    *token = nullptr;
    if (process != GetCurrentProcess())
        return Fail(ERROR_INVALID_HANDLE);
    *token = reinterpret_cast<HANDLE>(Tokens().Add(access));
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL LookupPrivilegeValueW(LPCWSTR system, LPCWSTR name, PLUID luid)
{
    if (!name || !luid)
        return Fail(ERROR_INVALID_PARAMETER);
    if (!Local(system))
        return Fail(RPC_S_SERVER_UNAVAILABLE);
    // Privilege names compare without regard to case.
    if (QString::fromUtf16(name).compare(QString::fromUtf16(SE_SHUTDOWN_NAME), Qt::CaseInsensitive) != 0)
        return Fail(ERROR_NO_SUCH_PRIVILEGE);
    *luid = kShutdownLuid;
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL AdjustTokenPrivileges(HANDLE token, BOOL disableAll, PTOKEN_PRIVILEGES newState, DWORD,
                           PTOKEN_PRIVILEGES previous, DWORD *returnLength)
{
    DWORD access = 0;
    if (!TokenAccess(token, access))
        return Fail(ERROR_INVALID_HANDLE);
    if (!(access & TOKEN_ADJUST_PRIVILEGES))
        return Fail(ERROR_ACCESS_DENIED);
    if (previous || returnLength || (!disableAll && !newState))
        return Fail(ERROR_INVALID_PARAMETER);
    if (disableAll) {
        g_shutdownEnabled = false;
        SetLastError(ERROR_SUCCESS);
        return TRUE;
    }
    // Checked before anything changes: a call with an unknown privilege changes nothing.
    bool enable = false;
    bool disable = false;
    for (DWORD i = 0; i < newState->PrivilegeCount; ++i) {
        const LUID_AND_ATTRIBUTES &entry = newState->Privileges[i];
        if (entry.Luid.LowPart != kShutdownLuid.LowPart || entry.Luid.HighPart != kShutdownLuid.HighPart)
            return Fail(ERROR_NO_SUCH_PRIVILEGE);
        if ((entry.Attributes & SE_PRIVILEGE_ENABLED) && !(entry.Attributes & SE_PRIVILEGE_REMOVED))
            enable = true;
        else
            disable = true;
    }
    DWORD status = ERROR_SUCCESS;
    if (enable) {
        if (ShutdownAllowed())
            g_shutdownEnabled = true;
        else
            status = ERROR_NOT_ALL_ASSIGNED;
    } else if (disable) {
        g_shutdownEnabled = false;
    }
    SetLastError(status);
    return TRUE;
}

BOOL InitiateSystemShutdownExW(LPWSTR machine, LPWSTR, DWORD timeout, BOOL, BOOL reboot, DWORD)
{
    if (!Local(machine) || timeout != 0)
        return Fail(ERROR_INVALID_PARAMETER);
    if (!g_shutdownEnabled)
        return Fail(ERROR_PRIVILEGE_NOT_HELD);
    // Without interaction: nobody is asked to authenticate.
    QString answer;
    if (!CallLoginManager(reboot ? QStringLiteral("Reboot") : QStringLiteral("PowerOff"),
                          {QVariant(false)}, &answer))
        return Fail(ERROR_ACCESS_DENIED);
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL CloseHandle(HANDLE handle)
{
    if (!Tokens().Remove(handle))
        return Fail(ERROR_INVALID_HANDLE);
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}
