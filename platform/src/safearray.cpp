// One-dimensional SAFEARRAYs of variants, BSTRs, interfaces and fixed-size scalars.
#include "tsw/com.h"
#include "tsw/oleauto.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// The element type is kept beside the descriptor, where FADF_HAVEVARTYPE says it is.
struct ArrayBlock {
    VARTYPE vt;
    SAFEARRAY array;
};

ArrayBlock *blockOf(SAFEARRAY *array)
{
    return reinterpret_cast<ArrayBlock *>(reinterpret_cast<char *>(array) -
                                          offsetof(ArrayBlock, array));
}

ULONG elementSize(VARTYPE vt)
{
    switch (vt) {
    case VT_VARIANT: return sizeof(VARIANT);
    case VT_BSTR: return sizeof(BSTR);
    case VT_UNKNOWN: case VT_DISPATCH: return sizeof(IUnknown *);
    case VT_I1: case VT_UI1: return 1;
    case VT_I2: case VT_UI2: case VT_BOOL: return 2;
    case VT_I4: case VT_UI4: case VT_INT: case VT_UINT: case VT_R4: case VT_ERROR: return 4;
    case VT_I8: case VT_UI8: case VT_R8: case VT_DATE: case VT_CY: return 8;
    default: return 0;
    }
}

USHORT featuresOf(VARTYPE vt)
{
    USHORT f = FADF_HAVEVARTYPE;
    if (vt == VT_VARIANT)
        f |= FADF_VARIANT;
    else if (vt == VT_BSTR)
        f |= FADF_BSTR;
    else if (vt == VT_UNKNOWN || vt == VT_DISPATCH)
        f |= FADF_UNKNOWN;
    return f;
}

void *elementAt(SAFEARRAY *array, ULONG index)
{
    return static_cast<char *>(array->pvData) + size_t(index) * array->cbElements;
}

// Releases what the element owns and zeroes it.
void clearElement(SAFEARRAY *array, void *element)
{
    if (array->fFeatures & FADF_VARIANT) {
        VariantClear(static_cast<VARIANT *>(element));
    } else if (array->fFeatures & FADF_BSTR) {
        SysFreeString(*static_cast<BSTR *>(element));
    } else if (array->fFeatures & FADF_UNKNOWN) {
        IUnknown *object = *static_cast<IUnknown **>(element);
        if (object)
            object->Release();
    }
    std::memset(element, 0, array->cbElements);
}

// Copies one element from `from` into the zeroed `to`.
HRESULT copyElement(SAFEARRAY *array, void *to, const void *from)
{
    if (array->fFeatures & FADF_VARIANT) {
        auto *dest = static_cast<VARIANT *>(to);
        dest->vt = VT_EMPTY;
        return VariantCopy(dest, static_cast<const VARIANT *>(from));
    }
    if (array->fFeatures & FADF_BSTR) {
        BSTR source = *static_cast<BSTR const *>(from);
        BSTR copy = nullptr;
        if (source) {
            copy = SysAllocStringByteLen(reinterpret_cast<const char *>(source),
                                         SysStringByteLen(source));
            if (!copy)
                return E_OUTOFMEMORY;
        }
        *static_cast<BSTR *>(to) = copy;
        return S_OK;
    }
    if (array->fFeatures & FADF_UNKNOWN) {
        IUnknown *object = *static_cast<IUnknown *const *>(from);
        if (object)
            object->AddRef();
        *static_cast<IUnknown **>(to) = object;
        return S_OK;
    }
    std::memcpy(to, from, array->cbElements);
    return S_OK;
}

// The offset of `indices` in a one-dimensional array, or false when out of bounds.
bool offsetOf(SAFEARRAY *array, const LONG *indices, ULONG &offset)
{
    const LONGLONG relative = LONGLONG(indices[0]) - array->rgsabound[0].lLbound;
    if (relative < 0 || relative >= LONGLONG(array->rgsabound[0].cElements))
        return false;
    offset = ULONG(relative);
    return true;
}

} // namespace

SAFEARRAY *SafeArrayCreateVector(VARTYPE type, LONG lowerBound, ULONG count)
{
    const ULONG size = elementSize(type);
    if (size == 0)
        return nullptr;
    if (count > 0x7fffffffu / size)
        return nullptr;
    auto *block = static_cast<ArrayBlock *>(std::calloc(1, sizeof(ArrayBlock)));
    if (!block)
        return nullptr;
    block->vt = type;
    SAFEARRAY *array = &block->array;
    array->pvData = std::calloc(count ? count : 1, size);
    if (!array->pvData) {
        std::free(block);
        return nullptr;
    }
    array->cDims = 1;
    array->fFeatures = featuresOf(type);
    array->cbElements = size;
    array->cLocks = 0;
    array->rgsabound[0].cElements = count;
    array->rgsabound[0].lLbound = lowerBound;
    return array;
}

HRESULT SafeArrayDestroy(SAFEARRAY *array)
{
    if (!array)
        return S_OK;
    if (array->cLocks > 0)
        return DISP_E_ARRAYISLOCKED;
    for (ULONG i = 0; i < array->rgsabound[0].cElements; ++i)
        clearElement(array, elementAt(array, i));
    std::free(array->pvData);
    std::free(blockOf(array));
    return S_OK;
}

HRESULT SafeArrayCopy(SAFEARRAY *array, SAFEARRAY **copy)
{
    if (!array || !copy)
        return E_INVALIDARG;
    *copy = nullptr;
    SAFEARRAY *result = SafeArrayCreateVector(blockOf(array)->vt, array->rgsabound[0].lLbound,
                                              array->rgsabound[0].cElements);
    if (!result)
        return E_OUTOFMEMORY;
    for (ULONG i = 0; i < array->rgsabound[0].cElements; ++i) {
        const HRESULT hr = copyElement(result, elementAt(result, i), elementAt(array, i));
        if (FAILED(hr)) {
            SafeArrayDestroy(result);
            return hr;
        }
    }
    *copy = result;
    return S_OK;
}

HRESULT SafeArrayLock(SAFEARRAY *array)
{
    if (!array)
        return E_INVALIDARG;
    if (array->cLocks == 0xffff)
        return E_UNEXPECTED;
    ++array->cLocks;
    return S_OK;
}

HRESULT SafeArrayUnlock(SAFEARRAY *array)
{
    if (!array)
        return E_INVALIDARG;
    if (array->cLocks == 0)
        return E_UNEXPECTED;
    --array->cLocks;
    return S_OK;
}

HRESULT SafeArrayAccessData(SAFEARRAY *array, void **data)
{
    if (!array || !data)
        return E_INVALIDARG;
    const HRESULT hr = SafeArrayLock(array);
    *data = SUCCEEDED(hr) ? array->pvData : nullptr;
    return hr;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY *array)
{
    return SafeArrayUnlock(array);
}

UINT SafeArrayGetDim(SAFEARRAY *array)
{
    return array ? array->cDims : 0;
}

UINT SafeArrayGetElemsize(SAFEARRAY *array)
{
    return array ? array->cbElements : 0;
}

HRESULT SafeArrayGetVartype(SAFEARRAY *array, VARTYPE *type)
{
    if (!array || !type)
        return E_INVALIDARG;
    *type = blockOf(array)->vt;
    return S_OK;
}

HRESULT SafeArrayGetLBound(SAFEARRAY *array, UINT dim, LONG *bound)
{
    if (!array || !bound)
        return E_INVALIDARG;
    if (dim != 1)
        return DISP_E_BADINDEX;
    *bound = array->rgsabound[0].lLbound;
    return S_OK;
}

HRESULT SafeArrayGetUBound(SAFEARRAY *array, UINT dim, LONG *bound)
{
    if (!array || !bound)
        return E_INVALIDARG;
    if (dim != 1)
        return DISP_E_BADINDEX;
    *bound = LONG(LONGLONG(array->rgsabound[0].lLbound) + array->rgsabound[0].cElements - 1);
    return S_OK;
}

HRESULT SafeArrayGetElement(SAFEARRAY *array, LONG *indices, void *element)
{
    if (!array || !indices || !element)
        return E_INVALIDARG;
    ULONG offset;
    if (!offsetOf(array, indices, offset))
        return DISP_E_BADINDEX;
    HRESULT hr = SafeArrayLock(array);
    if (FAILED(hr))
        return hr;
    hr = copyElement(array, element, elementAt(array, offset));
    SafeArrayUnlock(array);
    return hr;
}

HRESULT SafeArrayPutElement(SAFEARRAY *array, LONG *indices, void *element)
{
    if (!array || !indices)
        return E_INVALIDARG;
    ULONG offset;
    if (!offsetOf(array, indices, offset))
        return DISP_E_BADINDEX;
    // BSTRs and interfaces are passed as themselves, everything else by address.
    const bool byValue = (array->fFeatures & (FADF_BSTR | FADF_UNKNOWN)) != 0;
    if (!byValue && !element)
        return E_INVALIDARG;
    HRESULT hr = SafeArrayLock(array);
    if (FAILED(hr))
        return hr;
    // Build the copy first, so a failure leaves the old element in place.
    alignas(VARIANT) unsigned char fresh[sizeof(VARIANT)] = {};
    hr = byValue ? copyElement(array, fresh, &element)
                 : copyElement(array, fresh, element);
    if (SUCCEEDED(hr)) {
        void *slot = elementAt(array, offset);
        clearElement(array, slot);
        std::memcpy(slot, fresh, array->cbElements);
    }
    SafeArrayUnlock(array);
    return hr;
}
