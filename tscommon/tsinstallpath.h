// The product's installation folder.
#pragma once
#include "tscommon_export.h"
#include "tswin.h"

// Buffer size, in UTF-16 units, that callers of the common library pass.
#define TS_PATH_BUFFER 512

// Writes the installation folder into `buffer` (TS_PATH_BUFFER units), zero-terminated: the
// environment variable TS_INSTALL_DIR when set, else the product's data folder found beside this
// library (<prefix>/share/tessaro when installed, share/tessaro of the build tree when run from
// there), without a trailing separator. A folder that does not fit in the buffer is not cut: the
// buffer then holds an empty text. Only the units of the text and its terminator are written.
// `reserved` must be 0.
// Returns the length of the text written.
TSCOMMON_API DWORD GetInstallPath(LPWSTR buffer, DWORD reserved);
