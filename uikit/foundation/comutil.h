// COM helpers shared by the product's screens.
#pragma once

#include "foundation/tsuikitglobal.h"

struct ITsAbstractData;

/**
 * Marshals @p object's interface @p iid, table-strong and in-process, into a new memory stream
 * stored in @p *stream. The stream is left positioned after the data; rewind it before
 * unmarshalling. The data may be unmarshalled any number of times until it is released with
 * CoReleaseMarshalData; the caller releases the stream.
 *
 * @param stream receives the stream; null on failure.
 * @param iid the interface to marshal.
 * @param object an IUnknown-based interface pointer.
 * @return the result of the marshalling, or the failure of the stream creation or of the
 *         marshalling (nothing is left behind then); E_POINTER for a null @p stream.
 */
TSUIKIT_EXPORT long MarshalInterface(IStream **stream, const GUID &iid, void *object);

/**
 * Asks @p data for the value named by @p first and @p second.
 *
 * Catch a failure as `catch (HRESULT hr)`, as on Windows. HRESULT is the 32-bit LONG here, not
 * `long` (64 bits on Linux): `catch (long)` does not see it.
 *
 * @return a copy of the value the data model stored; VT_I4 0 when it stored none; VT_ERROR with
 *         the failure code when the value cannot be copied.
 * @throws HRESULT the data model's failing result (E_POINTER for a null @p data).
 * @throws ATL::CAtlException with E_OUTOFMEMORY when the texts cannot be copied.
 * Whatever the data model throws passes on; the value it stored so far is cleared.
 */
TSUIKIT_EXPORT ATL::CComVariant GetCallBackValue(ITsAbstractData *data, const WString &first,
                                                 const WString &second);
