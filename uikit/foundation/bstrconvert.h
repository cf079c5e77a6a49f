// Conversions between Qt strings and COM automation strings.
#pragma once

#include "foundation/tsuikitglobal.h"

/**
 * Copies @p text into a new BSTR, code unit for code unit (embedded NULs included).
 * An empty or null text gives a null BSTR, which COM reads as the empty string.
 * @throws ATL::CAtlException with E_OUTOFMEMORY when the BSTR cannot be allocated.
 */
TSUIKIT_EXPORT ATL::CComBSTR QStringToBSTR(const QString &text);

/**
 * The text of @p text up to its first NUL code unit (the length prefix is not consulted).
 * A null BSTR gives a null QString.
 */
TSUIKIT_EXPORT QString BSTRToQString(BSTR text);
