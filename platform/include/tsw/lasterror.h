// The calling thread's last error, as Win32 calls record it when they fail.
#pragma once
#include "tsw/export.h"
#include "tsw/types.h"

TSPLATFORM_API DWORD GetLastError();
TSPLATFORM_API void SetLastError(DWORD error);
