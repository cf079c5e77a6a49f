// VARIANT ownership rules and the conversions among its scalar types.
#include "tsw/com.h"
#include "tsw/oleauto.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

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

// ---------------------------------------------------------------------------------------------
// Conversions

namespace {

enum class Kind { Integer, Unsigned, Real, Boolean, Text, Empty, None };

struct Value {
    Kind kind = Kind::None;
    LONGLONG i = 0;
    ULONGLONG u = 0;
    double d = 0;
    bool b = false;
    BSTR text = nullptr;
};

Value readValue(const VARIANT &v)
{
    Value r;
    switch (v.vt) {
    case VT_EMPTY: r.kind = Kind::Empty; break;
    case VT_I1: r.kind = Kind::Integer; r.i = v.cVal; break;
    case VT_I2: r.kind = Kind::Integer; r.i = v.iVal; break;
    case VT_I4: r.kind = Kind::Integer; r.i = v.lVal; break;
    case VT_INT: r.kind = Kind::Integer; r.i = v.intVal; break;
    case VT_I8: r.kind = Kind::Integer; r.i = v.llVal; break;
    case VT_UI1: r.kind = Kind::Unsigned; r.u = v.bVal; break;
    case VT_UI2: r.kind = Kind::Unsigned; r.u = v.uiVal; break;
    case VT_UI4: r.kind = Kind::Unsigned; r.u = v.ulVal; break;
    case VT_UINT: r.kind = Kind::Unsigned; r.u = v.uintVal; break;
    case VT_UI8: r.kind = Kind::Unsigned; r.u = v.ullVal; break;
    case VT_R4: r.kind = Kind::Real; r.d = v.fltVal; break;
    case VT_R8: case VT_DATE: r.kind = Kind::Real; r.d = v.dblVal; break;
    case VT_BOOL: r.kind = Kind::Boolean; r.b = v.boolVal != VARIANT_FALSE; break;
    case VT_BSTR: r.kind = Kind::Text; r.text = v.bstrVal; break;
    default: break;
    }
    return r;
}

// Parses a decimal number (ASCII, C locale, surrounding blanks allowed) into `out`.
bool parseNumber(BSTR text, Value &out)
{
    const UINT n = SysStringLen(text);
    std::string ascii;
    for (UINT k = 0; k < n; ++k) {
        if (text[k] == 0 || text[k] > 0x7f)
            return false;
        ascii.push_back(char(text[k]));
    }
    const size_t first = ascii.find_first_not_of(" \t");
    if (first == std::string::npos)
        return false;
    ascii = ascii.substr(first, ascii.find_last_not_of(" \t") - first + 1);
    char *end = nullptr;
    errno = 0;
    const long long i = std::strtoll(ascii.c_str(), &end, 10);
    if (*end == 0 && errno == 0) {
        out.kind = Kind::Integer;
        out.i = i;
        return true;
    }
    errno = 0;
    const double d = std::strtod(ascii.c_str(), &end);
    if (*end != 0 || errno != 0 || !std::isfinite(d))
        return false;
    out.kind = Kind::Real;
    out.d = d;
    return true;
}

// The value as a double, and as an exact integer when it is one.
double asReal(const Value &v)
{
    switch (v.kind) {
    case Kind::Integer: return double(v.i);
    case Kind::Unsigned: return double(v.u);
    case Kind::Real: return v.d;
    case Kind::Boolean: return v.b ? -1.0 : 0.0;
    default: return 0.0;
    }
}

// Rounds half to even, as automation does when a real becomes an integer.
HRESULT toInteger(const Value &v, long double lo, long double hi, long double &out)
{
    long double x;
    if (v.kind == Kind::Integer)
        x = v.i;
    else if (v.kind == Kind::Unsigned)
        x = v.u;
    else if (v.kind == Kind::Boolean)
        x = v.b ? -1 : 0;
    else if (v.kind == Kind::Empty)
        x = 0;
    else if (v.kind == Kind::Real) {
        if (!std::isfinite(v.d))
            return DISP_E_OVERFLOW;
        x = std::nearbyint((long double)v.d); // default rounding mode: to nearest even
    } else
        return DISP_E_TYPEMISMATCH;
    if (x < lo || x > hi)
        return DISP_E_OVERFLOW;
    out = x;
    return S_OK;
}

BSTR textOf(const Value &v)
{
    std::string s;
    char buf[64];
    switch (v.kind) {
    case Kind::Integer: std::snprintf(buf, sizeof buf, "%lld", (long long)v.i); s = buf; break;
    case Kind::Unsigned: std::snprintf(buf, sizeof buf, "%llu", (unsigned long long)v.u); s = buf; break;
    case Kind::Real: std::snprintf(buf, sizeof buf, "%.15G", v.d); s = buf; break;
    case Kind::Boolean: s = v.b ? "True" : "False"; break;
    default: break;
    }
    BSTR out = SysAllocStringLen(nullptr, UINT(s.size()));
    if (out)
        for (size_t k = 0; k < s.size(); ++k)
            out[k] = OLECHAR(s[k]);
    return out;
}

} // namespace

HRESULT VariantChangeType(VARIANTARG *dest, const VARIANTARG *src, USHORT flags, VARTYPE type)
{
    if (!dest || !src)
        return E_INVALIDARG;
    if (!isValidType(src->vt) || (type != VT_EMPTY && type != VT_NULL && !isValidType(type)))
        return DISP_E_BADVARTYPE;
    if (src->vt == type) {
        if (dest == src)
            return S_OK;
        return VariantCopy(dest, src);
    }
    Value v = readValue(*src);
    if (v.kind == Kind::None)
        return DISP_E_TYPEMISMATCH;
    if (v.kind == Kind::Text && type != VT_BSTR) {
        if (!parseNumber(v.text, v))
            return DISP_E_TYPEMISMATCH;
    }

    VARIANT out;
    out.llVal = 0;
    out.vt = type;
    long double n = 0;
    HRESULT hr = S_OK;
    switch (type) {
    case VT_EMPTY: break;
    case VT_I1: hr = toInteger(v, -128, 127, n); out.cVal = CHAR(n); break;
    case VT_I2: hr = toInteger(v, -32768, 32767, n); out.iVal = SHORT(n); break;
    case VT_I4: case VT_INT:
        hr = toInteger(v, -2147483648.0L, 2147483647.0L, n); out.lVal = LONG(n); break;
    case VT_I8:
        hr = toInteger(v, -9223372036854775808.0L, 9223372036854775807.0L, n);
        out.llVal = LONGLONG(n);
        break;
    case VT_UI1: hr = toInteger(v, 0, 255, n); out.bVal = BYTE(n); break;
    case VT_UI2: hr = toInteger(v, 0, 65535, n); out.uiVal = USHORT(n); break;
    case VT_UI4: case VT_UINT: hr = toInteger(v, 0, 4294967295.0L, n); out.ulVal = ULONG(n); break;
    case VT_UI8:
        hr = toInteger(v, 0, 18446744073709551615.0L, n);
        out.ullVal = ULONGLONG(n);
        break;
    case VT_R4: {
        const double d = asReal(v);
        if (std::fabs(d) > 3.402823466e38)
            hr = DISP_E_OVERFLOW;
        out.fltVal = FLOAT(d);
        break;
    }
    case VT_R8: case VT_DATE: out.dblVal = asReal(v); break;
    case VT_BOOL:
        if (v.kind == Kind::Empty)
            out.boolVal = VARIANT_FALSE;
        else
            out.boolVal = asReal(v) != 0.0 ? VARIANT_TRUE : VARIANT_FALSE;
        break;
    case VT_BSTR:
        if (src->vt == VT_DATE)
            return DISP_E_TYPEMISMATCH; // dates need the locale's formats
        out.bstrVal = textOf(v);
        if (!out.bstrVal)
            return E_OUTOFMEMORY;
        break;
    default:
        return DISP_E_TYPEMISMATCH;
    }
    if (FAILED(hr))
        return hr;
    hr = VariantClear(dest);
    if (FAILED(hr)) {
        VariantClear(&out);
        return hr;
    }
    std::memcpy(dest, &out, sizeof out);
    return S_OK;
}
