// Setting the calling thread's last error, for the calls of the layer.
#pragma once
#include "tsw/types.h"

void SetLastError(DWORD error);
