// Back-end libraries of the platform layer, loaded on first use: what stands behind HTML Help, the
// WebBrowser control, opening web addresses and the login manager pulls in large libraries (the web
// engine, chmlib, libcurl, D-Bus) that most processes never need, as Windows loads its help control
// only when help is first asked for.
//
// A back-end named "Name" is the library "libName.so" in the back-end folder: "tessaro" beside the
// platform library (the same in the build tree and when installed), or the folder that the
// environment variable TSW_BACKEND_DIR names (tests). It is loaded once, with its symbols kept to
// itself, and stays loaded to the end of the process (objects it made may outlive any caller).
// Thread-safe.
#pragma once
#include "tsplatform_export.h"

// The address of `symbol` in the back-end `name`, loading the back-end first if `load` is true and
// it is not loaded yet. Null when the back-end is missing, cannot be loaded (damaged, or a library
// it needs is missing) or has no such symbol; the reason is printed once as a warning. A back-end
// that failed is tried again on a later call, so a repaired installation is picked up.
TSPLATFORM_API void *TswBackEndSymbol(const char *name, const char *symbol, bool load = true);

// Whether the back-end `name` is loaded in this process.
TSPLATFORM_API bool TswBackEndLoaded(const char *name);
