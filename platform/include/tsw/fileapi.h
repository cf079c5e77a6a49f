// File attributes.
#pragma once
#include "tsplatform_export.h"
#include "tsw/types.h"

#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)
#define FILE_ATTRIBUTE_READONLY 0x00000001
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_NORMAL 0x00000080

// The attributes of the file or folder `path` names: FILE_ATTRIBUTE_DIRECTORY for a folder,
// FILE_ATTRIBUTE_READONLY for what the process may not write, FILE_ATTRIBUTE_NORMAL for a plain
// writable file. A backslash separates folders, as a slash does, so "folder\\file" paths work on
// this system too; symbolic links are followed. Returns INVALID_FILE_ATTRIBUTES, with the last error
// ERROR_FILE_NOT_FOUND (nothing by that name), ERROR_PATH_NOT_FOUND (a folder on the way is
// missing or is no folder), ERROR_ACCESS_DENIED or ERROR_INVALID_PARAMETER (null or empty path).
TSPLATFORM_API DWORD GetFileAttributesW(LPCWSTR path);
