// VARIANT ownership rules.
#include "tsw/com.h"
#include "tsw/oleauto.h"

#include <cstring>

namespace {

bool isScalarType(VARTYPE base)
{
    switch (base) {
    case VT_I2: case VT_I4: case VT_R4: case VT_R8: case VT_CY: case VT_DATE: case VT_BSTR:
    case VT_DISPATCH: case VT_ERROR: case VT_BOOL: case VT_UNKNOWN: case VT_DECIMAL: case VT_I1:
    case VT_UI1: case VT_UI2: case VT_UI4: case VT_I8: case VT_UI8: case VT_INT: case VT_UINT:
        return true;
    default:
        return false;
    }
}

bool isValidType(VARTYPE vt)
{
    const VARTYPE base = vt & VT_TYPEMASK;
    const VARTYPE modifiers = vt & ~VT_TYPEMASK;
    if (modifiers & ~(VT_ARRAY | VT_BYREF))
        return false;
    if (modifiers == 0)
        return base == VT_EMPTY || base == VT_NULL || isScalarType(base);
    // Arrays and references need an element type; VT_VARIANT only appears behind one.
    return base == VT_VARIANT || isScalarType(base);
}

} // namespace

void VariantInit(VARIANTARG *variant)
{
    if (variant)
        variant->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANTARG *variant)
{
    if (!variant)
        return E_INVALIDARG;
    const VARTYPE vt = variant->vt;
    if (!isValidType(vt))
        return DISP_E_BADVARTYPE;
    if (vt & VT_BYREF) {
        // Nothing is owned behind a reference.
    } else if (vt & VT_ARRAY) {
        if (variant->parray) {
            const HRESULT hr = SafeArrayDestroy(variant->parray);
            if (FAILED(hr))
                return hr;
        }
    } else if (vt == VT_BSTR) {
        SysFreeString(variant->bstrVal);
    } else if (vt == VT_UNKNOWN || vt == VT_DISPATCH) {
        IUnknown *object = variant->punkVal;
        variant->vt = VT_EMPTY;
        variant->punkVal = nullptr;
        if (object)
            object->Release();
    }
    variant->vt = VT_EMPTY;
    variant->llVal = 0;
    return S_OK;
}

HRESULT VariantCopy(VARIANTARG *dest, const VARIANTARG *src)
{
    if (!dest || !src)
        return E_INVALIDARG;
    if (dest == src)
        return S_OK;
    if (!isValidType(src->vt))
        return DISP_E_BADVARTYPE;
    HRESULT hr = VariantClear(dest);
    if (FAILED(hr))
        return hr;

    VARIANT copy;
    std::memcpy(&copy, src, sizeof copy);
    const VARTYPE vt = src->vt;
    if (vt & VT_BYREF) {
        // The reference itself is copied.
    } else if (vt & VT_ARRAY) {
        copy.parray = nullptr;
        if (src->parray) {
            hr = SafeArrayCopy(src->parray, &copy.parray);
            if (FAILED(hr))
                return hr;
        }
    } else if (vt == VT_BSTR) {
        if (src->bstrVal) {
            copy.bstrVal = SysAllocStringByteLen(reinterpret_cast<const char *>(src->bstrVal),
                                                 SysStringByteLen(src->bstrVal));
            if (!copy.bstrVal)
                return E_OUTOFMEMORY;
        }
    } else if (vt == VT_UNKNOWN || vt == VT_DISPATCH) {
        if (src->punkVal)
            src->punkVal->AddRef();
    }
    std::memcpy(dest, &copy, sizeof copy);
    return S_OK;
}
