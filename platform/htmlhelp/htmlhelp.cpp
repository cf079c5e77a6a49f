#include "tsw/htmlhelp.h"

#include "helpentry.h"
#include "tsw/backend.h"
#include "tsw/sharedgl.h"

#include <QApplication>

// The viewer, the web engine and chmlib are a back-end loaded on the first call that needs them.
HWND HtmlHelpW(HWND owner, LPCWSTR file, UINT command, DWORD_PTR data)
{
    // Nothing to close before a viewer was ever opened; no viewer without an application object.
    const bool load = command != HH_CLOSE_ALL;
    if (load && (command != HH_DISPLAY_TOPIC || !file
                 || !qobject_cast<QApplication *>(QCoreApplication::instance())))
        return nullptr;
    if (load && !TswBackEndLoaded(tshelp::kViewerBackEnd))
        TswShareOpenGLContexts(); // (what the engine wants before it is loaded)
    const auto viewer = reinterpret_cast<tshelp::HtmlHelpFn>(
        TswBackEndSymbol(tshelp::kViewerBackEnd, tshelp::kViewerEntry, load));
    return viewer ? viewer(owner, file, command, data) : nullptr;
}
