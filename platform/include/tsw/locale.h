#pragma once
#include "tsplatform_export.h"
#include "tsw/types.h"

// The Windows language id of the process locale (LC_ALL, LC_MESSAGES, LANG); C/POSIX is English.
TSPLATFORM_API LANGID GetUserDefaultLangID();
