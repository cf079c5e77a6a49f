#include "foundation/comutil.h"

#include "foundation/tsabstractdata.h"

long MarshalInterface(IStream **stream, const GUID &iid, void *object)
{
    if (!stream)
        return E_POINTER;
    *stream = nullptr;
    HGLOBAL block = GlobalAlloc(GMEM_ZEROINIT, 1);
    if (!block)
        return E_OUTOFMEMORY;
    HRESULT hr = CreateStreamOnHGlobal(block, TRUE, stream);
    if (FAILED(hr)) {
        GlobalFree(block);
        *stream = nullptr;
        return hr;
    }
    hr = CoMarshalInterface(*stream, iid, static_cast<IUnknown *>(object), MSHCTX_INPROC, nullptr,
                            MSHLFLAGS_TABLESTRONG);
    if (FAILED(hr)) {
        (*stream)->Release(); // takes the block with it
        *stream = nullptr;
    }
    return hr;
}

ATL::CComVariant GetCallBackValue(ITsAbstractData *data, const WString &first,
                                  const WString &second)
{
    if (!data)
        throw HRESULT(E_POINTER);
    // Owned, so whatever the data model stored is cleared on every way out, its own throw included.
    ATL::CComVariant value(0, VT_I4);

    HRESULT hr;
    {
        // Zero-terminated copies: the data model reads its texts up to the first NUL.
        ATL::CComBSTR firstText(first.c_str());
        ATL::CComBSTR secondText(second.c_str());
        hr = data->GetCallBackValue(firstText, secondText, &value);
    }
    if (FAILED(hr))
        throw hr;
    ATL::CComVariant result;
    const HRESULT copied = VariantCopy(&result, &value);
    if (FAILED(copied)) {
        result.vt = VT_ERROR;
        result.scode = copied;
    }
    return result;
}
