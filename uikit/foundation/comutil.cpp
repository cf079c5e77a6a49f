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
        throw long(E_POINTER);
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_I4;
    value.lVal = 0;

    HRESULT hr;
    {
        // Zero-terminated copies: the data model reads its texts up to the first NUL.
        ATL::CComBSTR firstText(first.c_str());
        ATL::CComBSTR secondText(second.c_str());
        hr = data->GetCallBackValue(firstText, secondText, &value);
    }
    if (FAILED(hr)) {
        VariantClear(&value);
        throw long(hr);
    }
    ATL::CComVariant result;
    const HRESULT copied = VariantCopy(&result, &value);
    if (FAILED(copied)) {
        result.vt = VT_ERROR;
        result.scode = copied;
    }
    VariantClear(&value);
    return result;
}
