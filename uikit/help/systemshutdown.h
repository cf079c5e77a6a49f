// Shutting the local machine down.
#pragma once

#include "foundation/tsuikitglobal.h"

/**
 * Starts an immediate shutdown of the local machine, restarting it when @p reboot is true.
 * Applications are not forced to close. Returns S_OK when the shutdown was started, E_ACCESSDENIED
 * when the shutdown privilege is not held or the system refused, whatever the reason.
 */
TSUIKIT_EXPORT long DoShutDown(bool reboot);
