// The per-thread last-error value of the system calls.
#pragma once
#include "tsplatform_export.h"
#include "tsw/types.h"

// The status that the calling thread's last failing (or, for some calls, succeeding) system call
// left behind.
TSPLATFORM_API DWORD GetLastError();
