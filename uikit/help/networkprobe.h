// Whether help and pages come from the local installation, and whether a web address is reachable.
#pragma once

#include "foundation/tsuikitglobal.h"

/**
 * True when a REG_DWORD value "LocalHelp" exists under the console's or the product's key of
 * HKEY_LOCAL_MACHINE, whatever it holds (0 counts as well).
 */
TSUIKIT_EXPORT bool IsNetwokOverrideLocal();

/**
 * True when the machine reports a network connection and @p address can be opened (a server
 * answers). An address without one of the texts "ftp:", "gopher:", "http:" or "https:" (exact
 * case, anywhere) is opened with "http://" in front. Blocks the calling thread for at most the
 * platform's time-outs, showing the wait cursor meanwhile.
 */
TSUIKIT_EXPORT bool IsNetwokConnectedUrl(const WString &address);
