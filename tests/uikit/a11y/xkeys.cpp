#include "xkeys.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <sstream>
#include <unistd.h>

namespace atspitest {

namespace {
Display *g_display = nullptr;

bool Send(KeySym sym, bool press)
{
    const KeyCode code = XKeysymToKeycode(g_display, sym);
    if (!code)
        return false;
    XTestFakeKeyEvent(g_display, code, press, CurrentTime);
    XFlush(g_display);
    return true;
}
} // namespace

bool OpenKeyboard(const std::string &display)
{
    CloseKeyboard();
    g_display = XOpenDisplay(display.c_str());
    int event = 0, error = 0, major = 0, minor = 0;
    if (g_display && !XTestQueryExtension(g_display, &event, &error, &major, &minor))
        CloseKeyboard();
    return g_display != nullptr;
}

bool PressKeys(const std::string &keys)
{
    if (!g_display)
        return false;
    std::istringstream words(keys);
    std::string key;
    while (words >> key) {
        const bool shift = key.rfind("shift+", 0) == 0;
        const KeySym sym = XStringToKeysym(key.substr(shift ? 6 : 0).c_str());
        if (sym == NoSymbol)
            return false;
        if (shift)
            Send(XK_Shift_L, true);
        const bool sent = Send(sym, true) && Send(sym, false);
        if (shift)
            Send(XK_Shift_L, false);
        if (!sent)
            return false;
        // A key at a time, as typed: the application handles each before the next arrives.
        usleep(150 * 1000);
    }
    return true;
}

bool SetRootProperty(const std::string &name, const std::string &value)
{
    if (!g_display)
        return false;
    const Atom atom = XInternAtom(g_display, name.c_str(), False);
    XChangeProperty(g_display, DefaultRootWindow(g_display), atom, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char *>(value.data()), int(value.size()));
    XSync(g_display, False);
    return true;
}

void CloseKeyboard()
{
    if (g_display)
        XCloseDisplay(g_display);
    g_display = nullptr;
}

} // namespace atspitest
