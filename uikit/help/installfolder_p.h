// The product's installation folder as the help functions join paths to it.
#pragma once
#include "foundation/tsuikitglobal.h"

namespace tsuikit {

// The folder that the common library reports, with a backslash appended unless it is empty or ends
// with one, ready for a file name to be appended. Empty when the library reports nothing.
WString InstallFolderWithSeparator();

} // namespace tsuikit
