// Descriptions of system and network error codes.
#pragma once
#include "tscommon_export.h"
#include "tswin.h"

// Writes the description of the Win32 or network status `code` into `buffer` (`size` units, the
// text cut to size-1 units and zero-terminated). Codes without a description give an empty text.
// Returns the length written; 0 for an unknown code, a null buffer or size 0.
TSCOMMON_API DWORD GetErrorText(DWORD code, LPWSTR buffer, DWORD size);
