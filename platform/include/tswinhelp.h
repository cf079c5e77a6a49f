// The HTML Help call and the ActiveX control container, beside tswin.h. On Windows they come from
// the SDK and from Qt's ActiveX container; elsewhere from the platform layer's libraries TsHtmlHelp
// and TsAxContainer.
#pragma once
#include "tswin.h"

#if defined(_WIN32)
#include <htmlhelp.h>
#include <ActiveQt/QAxWidget>
#else
#include "tsw/htmlhelp.h"
#include "tsw/axwidget.h"
#endif
