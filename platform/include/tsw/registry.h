// Read-only registry: the Win32 Reg* calls over a hive loaded from a registry export file.
//
// The hive is read from the file named by the environment variable TS_REGISTRY_FILE, or from
// /etc/tessaro/registry.reg when it is unset or empty. The file is in the format that the registry
// editor exports ("Windows Registry Editor Version 5.00", UTF-8 or UTF-16LE with a byte-order mark);
// see tsw/regfile.h for what is accepted. A missing, unreadable or oversized file gives an empty
// hive: every key below a root then reads as ERROR_FILE_NOT_FOUND.
//
// Freshness: every call that starts from a predefined root key (HKEY_LOCAL_MACHINE ...) checks the
// file's identity (path, device, inode, size and modification time) and re-reads it when any of
// them changed. A key handle that is already open keeps the snapshot it was opened on until it is
// closed, so a reader never sees half of an old and half of a new file.
//
// Handles are never reused within a process, so a closed handle stays invalid
// (ERROR_INVALID_HANDLE). All calls are thread-safe.
#pragma once
#include "tsplatform_export.h"
#include "tsw/types.h"

typedef LONG LSTATUS;
typedef DWORD REGSAM;
typedef HKEY *PHKEY;
typedef DWORD *LPDWORD;
typedef BYTE *LPBYTE;

#define HKEY_CLASSES_ROOT ((HKEY)(ULONG_PTR)((LONG)0x80000000))
#define HKEY_CURRENT_USER ((HKEY)(ULONG_PTR)((LONG)0x80000001))
#define HKEY_LOCAL_MACHINE ((HKEY)(ULONG_PTR)((LONG)0x80000002))
#define HKEY_USERS ((HKEY)(ULONG_PTR)((LONG)0x80000003))
#define HKEY_PERFORMANCE_DATA ((HKEY)(ULONG_PTR)((LONG)0x80000004))
#define HKEY_CURRENT_CONFIG ((HKEY)(ULONG_PTR)((LONG)0x80000005))

// Access rights (the standard rights may also come from another piece of the layer).
#ifndef READ_CONTROL
#define READ_CONTROL 0x00020000L
#endif
#ifndef SYNCHRONIZE
#define SYNCHRONIZE 0x00100000L
#endif
#ifndef STANDARD_RIGHTS_READ
#define STANDARD_RIGHTS_READ READ_CONTROL
#endif
#ifndef STANDARD_RIGHTS_WRITE
#define STANDARD_RIGHTS_WRITE READ_CONTROL
#endif
#ifndef STANDARD_RIGHTS_ALL
#define STANDARD_RIGHTS_ALL 0x001F0000L
#endif
#define KEY_QUERY_VALUE 0x0001
#define KEY_SET_VALUE 0x0002
#define KEY_CREATE_SUB_KEY 0x0004
#define KEY_ENUMERATE_SUB_KEYS 0x0008
#define KEY_NOTIFY 0x0010
#define KEY_CREATE_LINK 0x0020
#define KEY_WOW64_32KEY 0x0200
#define KEY_WOW64_64KEY 0x0100
#define KEY_READ                                                                                   \
    ((STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY) & (~SYNCHRONIZE))
#define KEY_EXECUTE ((KEY_READ) & (~SYNCHRONIZE))
#define KEY_WRITE ((STANDARD_RIGHTS_WRITE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY) & (~SYNCHRONIZE))
#define KEY_ALL_ACCESS                                                                             \
    ((STANDARD_RIGHTS_ALL | KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY                   \
      | KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY | KEY_CREATE_LINK)                                     \
     & (~SYNCHRONIZE))
#define REG_OPTION_OPEN_LINK 0x00000008L

// Value types.
#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4
#define REG_DWORD_LITTLE_ENDIAN 4
#define REG_DWORD_BIG_ENDIAN 5
#define REG_LINK 6
#define REG_MULTI_SZ 7
#define REG_RESOURCE_LIST 8
#define REG_FULL_RESOURCE_DESCRIPTOR 9
#define REG_RESOURCE_REQUIREMENTS_LIST 10
#define REG_QWORD 11
#define REG_QWORD_LITTLE_ENDIAN 11

#ifndef ERROR_BAD_PATHNAME
#define ERROR_BAD_PATHNAME 161L
#endif

// Opens `subKey` (backslash-separated, case-insensitive, a trailing backslash allowed) below `key`.
// A null or empty `subKey` on a predefined root returns that root itself; on an open key it opens
// a new handle to the same key. Status: ERROR_SUCCESS; ERROR_FILE_NOT_FOUND when a part of the path
// does not exist; ERROR_BAD_PATHNAME for a path starting with a backslash; ERROR_INVALID_HANDLE for
// an unknown or closed `key`; ERROR_INVALID_PARAMETER for a null `result`; ERROR_ACCESS_DENIED when
// `access` asks for any right to change the hive (it is read-only). On failure *result is null.
TSPLATFORM_API LSTATUS RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD options, REGSAM access,
                                     PHKEY result);

// Reads value `name` of `key` (null or empty: the key's default value, "@" in the file).
// `type` (optional) receives the value type. With `data` null, *dataSize receives the size in bytes
// and the call succeeds. With `data`, *dataSize is the buffer size in bytes on entry and the size
// of the value on return; when the buffer is too small the call returns ERROR_MORE_DATA, stores
// the needed size and leaves the buffer untouched. Sizes are those stored: a REG_SZ read from
// "text" holds the terminating NUL, so its size is 2 * (length + 1).
// Status: ERROR_SUCCESS, ERROR_MORE_DATA, ERROR_FILE_NOT_FOUND (no such value),
// ERROR_INVALID_HANDLE, ERROR_INVALID_PARAMETER (`reserved` set, or `data` without `dataSize`).
TSPLATFORM_API LSTATUS RegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type,
                                        LPBYTE data, LPDWORD dataSize);

// Releases an open key. Closing a predefined root is accepted and does nothing.
// ERROR_INVALID_HANDLE for an unknown or already closed handle.
TSPLATFORM_API LSTATUS RegCloseKey(HKEY key);
