// Real key presses on an X display through the XTest extension, as a keyboard would send them,
// and the root window property that tells programs where the accessibility bus is.
#pragma once

#include <string>

namespace atspitest {

// Opens `display` (":N"); false when it cannot be opened or lacks XTest.
bool OpenKeyboard(const std::string &display);
// Presses and releases each key of `keys`, a space-separated list of key names ("Tab", "Right",
// "space", "Return", "shift+Tab"); false for a name without a key code.
bool PressKeys(const std::string &keys);
void CloseKeyboard();
// Sets a text property of the display's root window, as the accessibility bus launcher does for
// AT_SPI_BUS; false without a display.
bool SetRootProperty(const std::string &name, const std::string &value);

} // namespace atspitest
