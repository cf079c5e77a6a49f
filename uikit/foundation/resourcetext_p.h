// Texts of the language module. Internal to the library.
#pragma once

#include "foundation/tsuikitglobal.h"

namespace tsuikit {

// Longest text the loader delivers, in UTF-16 code units; longer table entries arrive cut.
constexpr int MaxResourceTextLength = 16383;

// The language module chosen when the library was loaded; may be null.
HINSTANCE LanguageModule();

// The string-table entry `id` of `module`, or an empty text when it has none.
WString LoadResourceText(HINSTANCE module, UINT id);

// The same entry of the library's language module, as a QString.
QString ResourceQString(UINT id);

} // namespace tsuikit
