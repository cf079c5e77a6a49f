// The per-thread last-error value of the system calls.
#pragma once
#include "tsplatform_export.h"
#include "tsw/types.h"

TSPLATFORM_API DWORD GetLastError();
TSPLATFORM_API void SetLastError(DWORD error);
