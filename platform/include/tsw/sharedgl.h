// The shared OpenGL context of a process that loads the web engine after its application object
// exists (the back-ends of tsw/backend.h).
//
// The web engine wants Qt::AA_ShareOpenGLContexts set before the application object is made, which
// makes that object create a context shared by all others at once. That is a price every process
// would pay at start: on a display with OpenGL it loads the driver (measured on a software-rendered
// X display: +57 MiB peak memory and +150 ms per start). The engine itself creates the same context
// later when it finds none (its own initialisation after the application object), so the back-ends
// make it just before they first load the engine instead.
#pragma once
#include "tsplatform_export.h"

// Creates the process's global shared OpenGL context unless one exists (the caller set the
// attribute, or an earlier call made it); it lives until the application object goes. Needs a
// QGuiApplication on its thread and does nothing without one. Where OpenGL is not available the
// context stays invalid and the engine draws without it, as it does then in any case.
TSPLATFORM_API void TswShareOpenGLContexts();
