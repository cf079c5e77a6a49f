// The one header through which the library reaches the Win32, COM and ATL interfaces it uses.
// On Windows these come from the SDK; elsewhere from the platform layer beside this header.
#pragma once

#if defined(_WIN32)
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <wininet.h>
#include <atlbase.h>
#include <atlcomcli.h>
#include <iads.h>
#else
#include "tsplatform_export.h"
#include "tsw/types.h"
#include "tsw/oleauto.h"
#include "tsw/atl.h"
#include "tsw/com.h"
#include "tsw/resource.h"
#include "tsw/registry.h"
#include "tsw/locale.h"
#include "tsw/time.h"
#include "tsw/user.h"
#include "tsw/system.h"
#include "tsw/message.h"
#include "tsw/lasterror.h"
#include "tsw/wininet.h"
#include "tsw/security.h"
#include "tsw/ads.h"
#include "tsw/fileapi.h"
#endif
