// The build numbers of the product and of its console, as the registry records them.
#pragma once

#include "foundation/tsuikitglobal.h"

/**
 * Fills @p build with the REG_DWORD "Build" of the product's key of HKEY_LOCAL_MACHINE. Returns
 * S_OK, or the Win32 status of the failed open or read made an HRESULT (a missing value gives
 * 0x80070002, a value of another type 0x8007000D); @p build is then 0.
 */
TSUIKIT_EXPORT long GetTessaroBuildNumber(long &build);

/** The same for the console's key. */
TSUIKIT_EXPORT long GetTsConsoleBuildNumber(long &build);
