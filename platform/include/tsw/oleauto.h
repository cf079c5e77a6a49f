// OLE Automation: BSTR, VARIANT, SAFEARRAY, DATE conversions.
#pragma once
#include "tsw/export.h"
#include "tsw/types.h"

typedef OLECHAR *BSTR;

// A BSTR is preceded by a 4-byte byte length and followed by a NUL; embedded NULs are kept.
TSPLATFORM_API BSTR SysAllocString(const OLECHAR *text);
TSPLATFORM_API BSTR SysAllocStringLen(const OLECHAR *text, UINT length);
TSPLATFORM_API void SysFreeString(BSTR text);
TSPLATFORM_API UINT SysStringLen(BSTR text);
TSPLATFORM_API UINT SysStringByteLen(BSTR text);
