// Language modules of the product.
#pragma once
#include "tscommon_export.h"
#include "tswin.h"

// Opens the language module (compiled resources) of `langId`, falling back to the module of the same
// primary language and then to English. Modules are read from the folder named by the environment
// variable TS_LANG_DIR, else from the language folder installed beside this library
// (share/tessaro/lang under the same prefix). Returns null when no module can be
// opened. Modules stay loaded for the life of the process; `flags` is reserved and must be 0.
TSCOMMON_API HINSTANCE LoadTsLang(LANGID langId, DWORD flags);
