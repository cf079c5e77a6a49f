// OLE Automation: BSTR, VARIANT, SAFEARRAY.
#pragma once
#include "tsplatform_export.h"
#include "tsw/types.h"

struct IUnknown;

typedef OLECHAR *BSTR;
typedef OLECHAR *LPOLESTR;
typedef const OLECHAR *LPCOLESTR;
typedef LONG SCODE;
typedef float FLOAT;
typedef double DOUBLE;
typedef SHORT VARIANT_BOOL;
#define VARIANT_TRUE ((VARIANT_BOOL)-1)
#define VARIANT_FALSE ((VARIANT_BOOL)0)

// ---------------------------------------------------------------------------------------------
// BSTR
//
// A BSTR points just past a 4-byte byte length and is followed by a NUL code unit; the text may
// hold NULs of its own. A null BSTR is the empty string.

// A copy of the NUL-terminated `text`; null for a null `text` or when memory runs out.
TSPLATFORM_API BSTR SysAllocString(const OLECHAR *text);
// `length` units copied from `text`, NULs included. A null `text` gives `length` zero units.
TSPLATFORM_API BSTR SysAllocStringLen(const OLECHAR *text, UINT length);
// `length` bytes copied from `bytes` (which may be null: zero bytes), followed by a NUL unit.
TSPLATFORM_API BSTR SysAllocStringByteLen(const char *bytes, UINT length);
// Frees `text`; a null BSTR is ignored.
TSPLATFORM_API void SysFreeString(BSTR text);
// Length in units (bytes / 2) and in bytes; 0 for a null BSTR.
TSPLATFORM_API UINT SysStringLen(BSTR text);
TSPLATFORM_API UINT SysStringByteLen(BSTR text);

// Test seam: after `after` more successful BSTR allocations (of any of the functions above), the
// next `count` fail as if memory had run out. A count of 0 disarms it. Returns the number of
// failures that were still pending. Only the calling thread's allocations are counted and failed.
TSPLATFORM_API UINT TsFailNextBstrAllocations(UINT count, UINT after = 0);

// ---------------------------------------------------------------------------------------------
// VARIANT

typedef unsigned short VARTYPE;
enum VARENUM {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_CY = 6,
    VT_DATE = 7,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_VARIANT = 12,
    VT_UNKNOWN = 13,
    VT_DECIMAL = 14,
    VT_I1 = 16,
    VT_UI1 = 17,
    VT_UI2 = 18,
    VT_UI4 = 19,
    VT_I8 = 20,
    VT_UI8 = 21,
    VT_INT = 22,
    VT_UINT = 23,
    VT_ARRAY = 0x2000,
    VT_BYREF = 0x4000,
    VT_TYPEMASK = 0xfff,
};

struct SAFEARRAY;
struct tagVARIANT;
typedef tagVARIANT VARIANT;
typedef tagVARIANT VARIANTARG;

struct tagVARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        LONGLONG llVal;
        LONG lVal;
        BYTE bVal;
        SHORT iVal;
        FLOAT fltVal;
        DOUBLE dblVal;
        VARIANT_BOOL boolVal;
        SCODE scode;
        DATE date;
        BSTR bstrVal;
        IUnknown *punkVal;
        SAFEARRAY *parray;
        CHAR cVal;
        USHORT uiVal;
        ULONG ulVal;
        ULONGLONG ullVal;
        INT intVal;
        UINT uintVal;
        BYTE *pbVal;
        SHORT *piVal;
        LONG *plVal;
        LONGLONG *pllVal;
        DOUBLE *pdblVal;
        DATE *pdate;
        BSTR *pbstrVal;
        IUnknown **ppunkVal;
        SAFEARRAY **pparray;
        tagVARIANT *pvarVal;
        void *byref;
        struct {
            void *pvRecord;
            void *pRecInfo;
        } record; // keeps the union as wide as on Windows
    };
};

#define V_VT(v) ((v)->vt)
#define V_I4(v) ((v)->lVal)
#define V_BSTR(v) ((v)->bstrVal)
#define V_DATE(v) ((v)->date)
#define V_ERROR(v) ((v)->scode)
#define V_ARRAY(v) ((v)->parray)
#define V_UNKNOWN(v) ((v)->punkVal)

// Sets the type to VT_EMPTY; nothing is freed.
TSPLATFORM_API void VariantInit(VARIANTARG *variant);
// Frees what the variant owns (BSTR, array, interface reference) and leaves it VT_EMPTY.
// DISP_E_BADVARTYPE for an unknown type, DISP_E_ARRAYISLOCKED for a locked array (nothing freed).
TSPLATFORM_API HRESULT VariantClear(VARIANTARG *variant);
// Clears `dest`, then makes it a deep copy of `src` (by-reference variants copy the reference).
// On failure `dest` is left VT_EMPTY.
TSPLATFORM_API HRESULT VariantCopy(VARIANTARG *dest, const VARIANTARG *src);

// ---------------------------------------------------------------------------------------------
// SAFEARRAY

struct SAFEARRAYBOUND {
    ULONG cElements;
    LONG lLbound;
};

struct SAFEARRAY {
    USHORT cDims;
    USHORT fFeatures;
    ULONG cbElements;
    ULONG cLocks;
    void *pvData;
    SAFEARRAYBOUND rgsabound[1];
};

#define FADF_AUTO 0x0001
#define FADF_STATIC 0x0002
#define FADF_EMBEDDED 0x0004
#define FADF_FIXEDSIZE 0x0010
#define FADF_HAVEVARTYPE 0x0080
#define FADF_BSTR 0x0100
#define FADF_UNKNOWN 0x0200
#define FADF_VARIANT 0x0800

// A one-dimensional array of `count` elements of `type`, indexed from `lowerBound`, zeroed
// (VT_EMPTY for variants). Element types: VT_VARIANT, VT_BSTR, VT_UNKNOWN and the fixed-size
// scalars. Null for other types or when memory runs out.
TSPLATFORM_API SAFEARRAY *SafeArrayCreateVector(VARTYPE type, LONG lowerBound, ULONG count);
// Frees the elements (clearing variants, freeing BSTRs, releasing interfaces) and the array.
// DISP_E_ARRAYISLOCKED while locked or accessed.
TSPLATFORM_API HRESULT SafeArrayDestroy(SAFEARRAY *array);
// A deep copy of `array` into *copy.
TSPLATFORM_API HRESULT SafeArrayCopy(SAFEARRAY *array, SAFEARRAY **copy);
TSPLATFORM_API HRESULT SafeArrayLock(SAFEARRAY *array);
TSPLATFORM_API HRESULT SafeArrayUnlock(SAFEARRAY *array);
// Locks the array and hands out its element storage; pair with SafeArrayUnaccessData.
TSPLATFORM_API HRESULT SafeArrayAccessData(SAFEARRAY *array, void **data);
TSPLATFORM_API HRESULT SafeArrayUnaccessData(SAFEARRAY *array);
TSPLATFORM_API UINT SafeArrayGetDim(SAFEARRAY *array);
TSPLATFORM_API UINT SafeArrayGetElemsize(SAFEARRAY *array);
TSPLATFORM_API HRESULT SafeArrayGetVartype(SAFEARRAY *array, VARTYPE *type);
// Bounds of dimension `dim` (counted from 1). DISP_E_BADINDEX for a dimension the array lacks.
TSPLATFORM_API HRESULT SafeArrayGetLBound(SAFEARRAY *array, UINT dim, LONG *bound);
TSPLATFORM_API HRESULT SafeArrayGetUBound(SAFEARRAY *array, UINT dim, LONG *bound);
// Copies the element at `indices` out (a new BSTR, a VariantCopy, an AddRef'd interface).
// DISP_E_BADINDEX when an index lies outside the bounds.
TSPLATFORM_API HRESULT SafeArrayGetElement(SAFEARRAY *array, LONG *indices, void *element);
// Stores a copy of `element` at `indices`, freeing what was there.
TSPLATFORM_API HRESULT SafeArrayPutElement(SAFEARRAY *array, LONG *indices, void *element);
