// The process token's shutdown privilege and shutting the machine down, over the login manager
// (org.freedesktop.login1.Manager on D-Bus).
//
// The shutdown privilege counts as held when the login manager's CanPowerOff or CanReboot answers
// "yes" (not "challenge": nobody is asked for a password). InitiateSystemShutdownExW asks the login
// manager to power off or reboot without interaction, and only after the privilege was enabled.
//
// The login manager is reached on the system bus, or on the bus whose address the environment
// variable TS_LOGIN_BUS_ADDRESS names (tests point it at a private bus). Calls on the bus wait at
// most TSW_LOGIN_CALL_TIMEOUT_MS each. D-Bus is a back-end loaded with the first call
// (tsw/backend.h); when it cannot be loaded the login manager counts as not answering. Failures
// set the calling thread's last error.
#pragma once
#include "tsplatform_export.h"
#include "tsw/lasterror.h"
#include "tsw/types.h"

typedef HANDLE *PHANDLE;

#define TSW_LOGIN_CALL_TIMEOUT_MS 5000

// Token access rights.
#define TOKEN_ASSIGN_PRIMARY 0x0001
#define TOKEN_DUPLICATE 0x0002
#define TOKEN_IMPERSONATE 0x0004
#define TOKEN_QUERY 0x0008
#define TOKEN_QUERY_SOURCE 0x0010
#define TOKEN_ADJUST_PRIVILEGES 0x0020
#define TOKEN_ADJUST_GROUPS 0x0040
#define TOKEN_ADJUST_DEFAULT 0x0080

#define SE_PRIVILEGE_ENABLED_BY_DEFAULT 0x00000001L
#define SE_PRIVILEGE_ENABLED 0x00000002L
#define SE_PRIVILEGE_REMOVED 0x00000004L
#define SE_SHUTDOWN_NAME u"SeShutdownPrivilege"

// Shutdown reasons.
#define SHTDN_REASON_FLAG_PLANNED 0x80000000
#define SHTDN_REASON_MAJOR_APPLICATION 0x00040000
#define SHTDN_REASON_MINOR_MAINTENANCE 0x00000001

#define ERROR_NOT_ALL_ASSIGNED 1300L
#define ERROR_NO_SUCH_PRIVILEGE 1313L
#define ERROR_PRIVILEGE_NOT_HELD 1314L
#define RPC_S_SERVER_UNAVAILABLE 1722L

struct LUID {
    DWORD LowPart;
    LONG HighPart;
};
typedef LUID *PLUID;
struct LUID_AND_ATTRIBUTES {
    LUID Luid;
    DWORD Attributes;
};
struct TOKEN_PRIVILEGES {
    DWORD PrivilegeCount;
    LUID_AND_ATTRIBUTES Privileges[1];
};
typedef TOKEN_PRIVILEGES *PTOKEN_PRIVILEGES;

// The pseudo handle of the current process.
TSPLATFORM_API HANDLE GetCurrentProcess();

// A handle to the current process's token with `access`. FALSE with ERROR_INVALID_HANDLE for any
// process other than GetCurrentProcess(), ERROR_INVALID_PARAMETER for a null `token`.
TSPLATFORM_API BOOL OpenProcessToken(HANDLE process, DWORD access, PHANDLE token);

// The identifier of privilege `name` on the local system (`system` null or empty). Only the
// shutdown privilege is known: FALSE with ERROR_NO_SUCH_PRIVILEGE for other names,
// RPC_S_SERVER_UNAVAILABLE for another system.
TSPLATFORM_API BOOL LookupPrivilegeValueW(LPCWSTR system, LPCWSTR name, PLUID luid);

// Enables or disables the privileges of `newState` in the process token (or disables all of them).
// Returns TRUE when the call was carried out; the last error is then ERROR_SUCCESS, or
// ERROR_NOT_ALL_ASSIGNED when a privilege to enable is not held (the login manager refuses, or
// cannot be asked). The previous state is not supported (`previous` and `returnLength` must be
// null). FALSE with ERROR_ACCESS_DENIED without TOKEN_ADJUST_PRIVILEGES, ERROR_INVALID_HANDLE for
// an unknown token, ERROR_INVALID_PARAMETER for a bad state, ERROR_NO_SUCH_PRIVILEGE for an
// unknown privilege.
TSPLATFORM_API BOOL AdjustTokenPrivileges(HANDLE token, BOOL disableAll, PTOKEN_PRIVILEGES newState,
                                          DWORD bufferLength, PTOKEN_PRIVILEGES previous,
                                          DWORD *returnLength);

// Shuts the local machine (`machine` null or empty) down now, restarting it when `reboot` is TRUE:
// the login manager's PowerOff or Reboot without interaction. Only an immediate shutdown (time-out
// 0) is supported; `message`, `forceAppsClosed` and `reason` are not used. FALSE with
// ERROR_PRIVILEGE_NOT_HELD when the privilege is not enabled, ERROR_ACCESS_DENIED when the login
// manager refuses or cannot be reached, ERROR_INVALID_PARAMETER for a time-out or another machine.
TSPLATFORM_API BOOL InitiateSystemShutdownExW(LPWSTR machine, LPWSTR message, DWORD timeout,
                                              BOOL forceAppsClosed, BOOL reboot, DWORD reason);

// Closes a token handle. FALSE with ERROR_INVALID_HANDLE for an unknown handle.
TSPLATFORM_API BOOL CloseHandle(HANDLE handle);
