// The ATL pieces the library uses: CAtlException, CComBSTR and CComVariant, in the throwing
// configuration (allocation failures raise CAtlException); and the COM object base of the platform's
// and the common library's own objects (CComObjectRootEx, the interface map, CComObject and
// CComObjectGlobal).
#pragma once
#include "tsplatform_export.h"
#include "tsw/types.h"
#include "tsw/oleauto.h"
#include "tsw/com.h"

#include <atomic>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

namespace ATL {

// An HRESULT raised as an exception. Its type information lives in the platform library alone, so
// that every module catches the same type.
class __attribute__((visibility("default"))) CAtlException
{
public:
    CAtlException(HRESULT hr = E_FAIL) noexcept : m_hr(hr) {}
    virtual ~CAtlException();
    operator HRESULT() const noexcept { return m_hr; }

    HRESULT m_hr;
};

[[noreturn]] inline void AtlThrow(HRESULT hr)
{
    throw CAtlException(hr);
}

// An owned BSTR. Copies are deep; a null BSTR stands for the empty string.
class CComBSTR
{
public:
    BSTR m_str = nullptr;

    CComBSTR() noexcept = default;
    CComBSTR(decltype(nullptr)) noexcept {}
    // `size` zeroed units (null for 0). E_INVALIDARG for a negative size.
    explicit CComBSTR(int size)
    {
        if (size < 0)
            AtlThrow(E_INVALIDARG);
        if (size > 0)
            m_str = allocated(::SysAllocStringLen(nullptr, UINT(size)));
    }
    // `size` units of `text` (NULs included); null `text` gives zeroed units.
    CComBSTR(int size, LPCOLESTR text)
    {
        if (size < 0)
            AtlThrow(E_INVALIDARG);
        if (size > 0)
            m_str = allocated(::SysAllocStringLen(text, UINT(size)));
    }
    // A copy of the NUL-terminated `text`; null stays null.
    CComBSTR(LPCOLESTR text)
    {
        if (text)
            m_str = allocated(::SysAllocString(text));
    }
    CComBSTR(const CComBSTR &other) { m_str = copyOf(other.m_str); }
    CComBSTR(CComBSTR &&other) noexcept : m_str(other.m_str) { other.m_str = nullptr; }
    ~CComBSTR() { ::SysFreeString(m_str); }

    CComBSTR &operator=(const CComBSTR &other)
    {
        if (m_str != other.m_str) {
            BSTR copy = copyOf(other.m_str);
            ::SysFreeString(m_str);
            m_str = copy;
        }
        return *this;
    }
    CComBSTR &operator=(CComBSTR &&other) noexcept
    {
        if (this != std::addressof(other)) {
            ::SysFreeString(m_str);
            m_str = other.m_str;
            other.m_str = nullptr;
        }
        return *this;
    }
    CComBSTR &operator=(LPCOLESTR text)
    {
        if (text != m_str) {
            BSTR copy = text ? allocated(::SysAllocString(text)) : nullptr;
            ::SysFreeString(m_str);
            m_str = copy;
        }
        return *this;
    }

    unsigned int Length() const noexcept { return ::SysStringLen(m_str); }
    unsigned int ByteLength() const noexcept { return ::SysStringByteLen(m_str); }
    operator BSTR() const noexcept { return m_str; }
    // For out parameters, which write without freeing: the held BSTR is freed first, where ATL
    // would assert, so nothing leaks. To reallocate in place (in/out), pass &m_str itself.
    BSTR *operator&() noexcept
    {
        Empty();
        return &m_str;
    }
    bool operator!() const noexcept { return m_str == nullptr; }

    // A new BSTR with the same content (null for null or when memory runs out).
    BSTR Copy() const noexcept
    {
        if (!m_str)
            return nullptr;
        return ::SysAllocStringByteLen(reinterpret_cast<const char *>(m_str), ByteLength());
    }
    HRESULT CopyTo(BSTR *target) const noexcept
    {
        if (!target)
            return E_POINTER;
        *target = Copy();
        return (m_str && !*target) ? E_OUTOFMEMORY : S_OK;
    }
    // Takes ownership of `text`, freeing the previous BSTR.
    void Attach(BSTR text) noexcept
    {
        if (text != m_str) {
            ::SysFreeString(m_str);
            m_str = text;
        }
    }
    // Gives up ownership; the caller frees the result.
    BSTR Detach() noexcept
    {
        BSTR s = m_str;
        m_str = nullptr;
        return s;
    }
    void Empty() noexcept
    {
        ::SysFreeString(m_str);
        m_str = nullptr;
    }

    // Appending returns E_OUTOFMEMORY, leaving the text unchanged, when memory runs out.
    HRESULT Append(LPCOLESTR text, int length) noexcept
    {
        if (length < 0)
            return E_INVALIDARG;
        if (length == 0)
            return S_OK;
        if (!text)
            return E_INVALIDARG;
        const UINT old = Length();
        if (UINT(length) > 0x7ffffff0u - old)
            return E_OUTOFMEMORY;
        BSTR joined = ::SysAllocStringLen(nullptr, old + UINT(length));
        if (!joined)
            return E_OUTOFMEMORY;
        if (old)
            std::memcpy(joined, m_str, old * sizeof(OLECHAR));
        std::memcpy(joined + old, text, size_t(length) * sizeof(OLECHAR));
        ::SysFreeString(m_str);
        m_str = joined;
        return S_OK;
    }
    HRESULT Append(LPCOLESTR text) noexcept
    {
        if (!text)
            return S_OK;
        int n = 0;
        while (text[n])
            ++n;
        return Append(text, n);
    }
    HRESULT Append(const CComBSTR &other) noexcept { return AppendBSTR(other.m_str); }
    HRESULT Append(OLECHAR ch) noexcept { return Append(&ch, 1); }
    HRESULT AppendBSTR(BSTR other) noexcept { return Append(other, int(::SysStringLen(other))); }

    CComBSTR &operator+=(const CComBSTR &other)
    {
        const HRESULT hr = AppendBSTR(other.m_str);
        if (FAILED(hr))
            AtlThrow(hr);
        return *this;
    }
    CComBSTR &operator+=(LPCOLESTR text)
    {
        const HRESULT hr = Append(text);
        if (FAILED(hr))
            AtlThrow(hr);
        return *this;
    }

    // Ordinal comparison over the full lengths; a null BSTR equals the empty one.
    static int Compare(BSTR a, BSTR b) noexcept
    {
        const UINT la = ::SysStringLen(a), lb = ::SysStringLen(b);
        const UINT n = la < lb ? la : lb;
        for (UINT i = 0; i < n; ++i)
            if (a[i] != b[i])
                return a[i] < b[i] ? -1 : 1;
        return la == lb ? 0 : (la < lb ? -1 : 1);
    }
    bool operator==(const CComBSTR &other) const noexcept { return Compare(m_str, other.m_str) == 0; }
    bool operator!=(const CComBSTR &other) const noexcept { return !(*this == other); }
    bool operator<(const CComBSTR &other) const noexcept { return Compare(m_str, other.m_str) < 0; }
    bool operator>(const CComBSTR &other) const noexcept { return Compare(m_str, other.m_str) > 0; }
    // Against a NUL-terminated text: both null, or the same units up to the text's NUL.
    bool operator==(LPCOLESTR text) const noexcept
    {
        if (!m_str || !text)
            return !m_str && !text;
        UINT i = 0;
        for (; text[i]; ++i)
            if (m_str[i] != text[i])
                return false;
        return m_str[i] == 0;
    }
    bool operator!=(LPCOLESTR text) const noexcept { return !(*this == text); }
    bool operator==(decltype(nullptr)) const noexcept { return m_str == nullptr; }
    bool operator!=(decltype(nullptr)) const noexcept { return m_str != nullptr; }

private:
    static BSTR allocated(BSTR s)
    {
        if (!s)
            AtlThrow(E_OUTOFMEMORY);
        return s;
    }
    static BSTR copyOf(BSTR s)
    {
        if (!s)
            return nullptr;
        return allocated(
            ::SysAllocStringByteLen(reinterpret_cast<const char *>(s), ::SysStringByteLen(s)));
    }
};

// An owned VARIANT. A copy that cannot be made leaves VT_ERROR with the failure code and throws it.
// Its address is the plain VARIANT*, as in ATL: the same pointer passes it as a source (VariantCopy,
// VariantChangeType in place), so taking it clears nothing. Before handing it to a call that writes
// an out VARIANT without clearing it, Clear() it.
class CComVariant : public tagVARIANT
{
public:
    CComVariant() noexcept { ::VariantInit(this); }
    ~CComVariant() { ::VariantClear(this); }

    CComVariant(const CComVariant &other) { initCopy(&other); }
    CComVariant(const VARIANT &other) { initCopy(&other); }
    CComVariant(CComVariant &&other) noexcept { takeOver(other); }
    CComVariant(LPCOLESTR text)
    {
        ::VariantInit(this);
        *this = text;
    }
    CComVariant(BSTR text)
    {
        ::VariantInit(this);
        *this = text;
    }
    CComVariant(const CComBSTR &text)
    {
        ::VariantInit(this);
        *this = text.m_str;
    }
    CComVariant(bool value) noexcept
    {
        ::VariantInit(this);
        vt = VT_BOOL;
        boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    }
    // `type` may be VT_I4 or VT_INT.
    CComVariant(int value, VARTYPE type = VT_I4)
    {
        ::VariantInit(this);
        if (type != VT_I4 && type != VT_INT)
            failWith(E_INVALIDARG);
        vt = type;
        intVal = value;
    }
    // `type` may be VT_I4 or VT_ERROR. The value is kept as the 32-bit LONG of the VARIANT.
    CComVariant(long value, VARTYPE type = VT_I4)
    {
        ::VariantInit(this);
        if (type != VT_I4 && type != VT_ERROR)
            failWith(E_INVALIDARG);
        vt = type;
        lVal = LONG(value);
    }
    CComVariant(unsigned int value, VARTYPE type = VT_UI4)
    {
        ::VariantInit(this);
        if (type != VT_UI4 && type != VT_UINT)
            failWith(E_INVALIDARG);
        vt = type;
        uintVal = value;
    }
    CComVariant(long long value) noexcept
    {
        ::VariantInit(this);
        vt = VT_I8;
        llVal = value;
    }
    // `type` may be VT_R8 or VT_DATE.
    CComVariant(double value, VARTYPE type = VT_R8)
    {
        ::VariantInit(this);
        if (type != VT_R8 && type != VT_DATE)
            failWith(E_INVALIDARG);
        vt = type;
        dblVal = value;
    }
    // Holds a reference to `object`; a null object gives VT_UNKNOWN holding null.
    CComVariant(IUnknown *object) noexcept
    {
        ::VariantInit(this);
        vt = VT_UNKNOWN;
        punkVal = object;
        if (object)
            object->AddRef();
    }

    CComVariant &operator=(const CComVariant &other)
    {
        return *this = static_cast<const VARIANT &>(other);
    }
    CComVariant &operator=(const VARIANT &other)
    {
        if (static_cast<const VARIANT *>(this) != &other)
            assignCopy(&other);
        return *this;
    }
    CComVariant &operator=(CComVariant &&other)
    {
        if (this != std::addressof(other)) {
            clearOrThrow();
            takeOver(other);
        }
        return *this;
    }
    CComVariant &operator=(LPCOLESTR text)
    {
        return assignBstr(text != nullptr, text ? ::SysAllocString(text) : nullptr);
    }
    // A BSTR is copied with its full length, NULs included.
    CComVariant &operator=(BSTR text)
    {
        return assignBstr(text != nullptr,
                          text ? ::SysAllocStringByteLen(reinterpret_cast<const char *>(text),
                                                         ::SysStringByteLen(text))
                               : nullptr);
    }
    CComVariant &operator=(const CComBSTR &text) { return *this = text.m_str; }
    CComVariant &operator=(int value) { return *this = long(value); }
    CComVariant &operator=(long value)
    {
        clearOrThrow();
        vt = VT_I4;
        lVal = LONG(value);
        return *this;
    }
    CComVariant &operator=(double value)
    {
        clearOrThrow();
        vt = VT_R8;
        dblVal = value;
        return *this;
    }
    CComVariant &operator=(bool value)
    {
        clearOrThrow();
        vt = VT_BOOL;
        boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
        return *this;
    }

    HRESULT Clear() noexcept { return ::VariantClear(this); }
    // Replaces the content by a copy of `src`; on failure VT_ERROR with the code, returned.
    HRESULT Copy(const VARIANT *src) noexcept
    {
        if (!src)
            return E_POINTER;
        if (src == this)
            return S_OK;
        const HRESULT hr = ::VariantCopy(this, src);
        if (FAILED(hr)) {
            vt = VT_ERROR;
            scode = hr;
        }
        return hr;
    }
    // Takes over `src` (which is left VT_EMPTY) after clearing this variant.
    HRESULT Attach(VARIANT *src) noexcept
    {
        if (!src)
            return E_INVALIDARG;
        if (src == this)
            return S_OK;
        const HRESULT hr = Clear();
        if (FAILED(hr))
            return hr;
        takeOver(*src);
        return S_OK;
    }
    // Hands the content over to `dest` (cleared first); this variant is left VT_EMPTY.
    HRESULT Detach(VARIANT *dest) noexcept
    {
        if (!dest)
            return E_POINTER;
        if (dest == this)
            return S_OK;
        const HRESULT hr = ::VariantClear(dest);
        if (FAILED(hr))
            return hr;
        std::memcpy(dest, static_cast<VARIANT *>(this), sizeof(VARIANT));
        vt = VT_EMPTY;
        return S_OK;
    }
    // Same type and same value (BSTRs by content, interfaces by pointer).
    bool operator==(const VARIANT &other) const noexcept;
    bool operator!=(const VARIANT &other) const noexcept { return !(*this == other); }

private:
    [[noreturn]] void failWith(HRESULT hr)
    {
        ::VariantClear(this);
        vt = VT_ERROR;
        scode = hr;
        AtlThrow(hr);
    }
    void clearOrThrow()
    {
        const HRESULT hr = ::VariantClear(this);
        if (FAILED(hr))
            AtlThrow(hr);
    }
    void initCopy(const VARIANT *src)
    {
        ::VariantInit(this);
        const HRESULT hr = ::VariantCopy(this, src);
        if (FAILED(hr))
            failWith(hr);
    }
    // Moves the content of `src` in without clearing; `src` is left VT_EMPTY.
    void takeOver(VARIANT &src) noexcept
    {
        std::memcpy(static_cast<VARIANT *>(this), &src, sizeof(VARIANT));
        src.vt = VT_EMPTY;
    }
    // Stores `copy`, the new BSTR made from a source; a null copy of a non-null source ran out of
    // memory.
    CComVariant &assignBstr(bool hasSource, BSTR copy)
    {
        if (hasSource && !copy)
            failWith(E_OUTOFMEMORY);
        clearOrThrow();
        vt = VT_BSTR;
        bstrVal = copy;
        return *this;
    }
    void assignCopy(const VARIANT *src)
    {
        const HRESULT hr = ::VariantCopy(this, src);
        if (FAILED(hr))
            failWith(hr);
    }
};

inline bool CComVariant::operator==(const VARIANT &other) const noexcept
{
    if (vt != other.vt)
        return false;
    switch (vt) {
    case VT_EMPTY:
    case VT_NULL:
        return true;
    case VT_BSTR:
        return CComBSTR::Compare(bstrVal, other.bstrVal) == 0;
    case VT_I1:
    case VT_UI1:
        return bVal == other.bVal;
    case VT_I2:
    case VT_UI2:
    case VT_BOOL:
        return iVal == other.iVal;
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_ERROR:
        return lVal == other.lVal;
    case VT_R4:
        return fltVal == other.fltVal;
    case VT_R8:
    case VT_DATE:
        return dblVal == other.dblVal;
    case VT_I8:
    case VT_UI8:
    case VT_CY:
        return llVal == other.llVal;
    default:
        return byref == other.byref;
    }
}

// ---- COM objects ----------------------------------------------------------------------------
//
// A class of ours implements its interfaces and derives from CComObjectRootEx; its interface map
// names what QueryInterface hands out, the first entry also standing for IUnknown:
//
//     class Stream : public IStream, public CComObjectRootEx<CComMultiThreadModel>
//     {
//         BEGIN_COM_MAP(Stream)
//             COM_INTERFACE_ENTRY_IID(IID_IStream, IStream)
//             COM_INTERFACE_ENTRY_IID(IID_ISequentialStream, IStream)
//         END_COM_MAP()
//         ...
//     };
//
// CComObject<Stream> then supplies AddRef, Release (deleting at 0) and QueryInterface; an object
// that lives as long as its module (a class factory held in a static) is a CComObjectGlobal.

// The thread model of CComObjectRootEx: counts change atomically, objects may be used anywhere.
struct CComMultiThreadModel {
    static ULONG Increment(std::atomic<ULONG> &count) noexcept { return ++count; }
    static ULONG Decrement(std::atomic<ULONG> &count) noexcept { return --count; }
};

// One entry of an interface map: the interface's IID and how to reach it from the object.
struct _ATL_INTMAP_ENTRY {
    const IID *piid;                 // null ends the map
    IUnknown *(*interfaceOf)(void *object);
};

// The cast from an object to one of its interfaces, as an interface map stores it.
template <class T, class Interface> IUnknown *_AtlInterfaceOf(void *object) noexcept
{
    return static_cast<Interface *>(static_cast<T *>(object));
}

// The reference count and the interface lookup of a COM object. The count starts at 0.
template <class ThreadModel> class CComObjectRootEx
{
public:
    ULONG InternalAddRef() noexcept { return ThreadModel::Increment(m_dwRef); }
    ULONG InternalRelease() noexcept { return ThreadModel::Decrement(m_dwRef); }

    // Finds `iid` in the map (IID_IUnknown: the first entry) and hands out that interface with a
    // reference added; E_NOINTERFACE with a null result otherwise, E_POINTER without a result.
    static HRESULT InternalQueryInterface(void *object, const _ATL_INTMAP_ENTRY *entries, REFIID iid,
                                          void **result) noexcept
    {
        if (!result)
            return E_POINTER;
        *result = nullptr;
        for (const _ATL_INTMAP_ENTRY *e = entries; e->piid; ++e) {
            if (*e->piid == iid || (e == entries && iid == IID_IUnknown)) {
                IUnknown *found = e->interfaceOf(object);
                found->AddRef();
                *result = found;
                return S_OK;
            }
        }
        return E_NOINTERFACE;
    }

protected:
    std::atomic<ULONG> m_dwRef{0};
};

#define BEGIN_COM_MAP(x)                                                                           \
public:                                                                                            \
    using _ComMapClass = x;                                                                        \
    HRESULT _InternalQueryInterface(REFIID iid, void **result) noexcept                            \
    {                                                                                              \
        return InternalQueryInterface(this, _GetEntries(), iid, result);                           \
    }                                                                                              \
    static const ::ATL::_ATL_INTMAP_ENTRY *_GetEntries() noexcept                                  \
    {                                                                                              \
        static const ::ATL::_ATL_INTMAP_ENTRY entries[] = {
#define COM_INTERFACE_ENTRY_IID(iid, x) {&(iid), &::ATL::_AtlInterfaceOf<_ComMapClass, x>},
#define END_COM_MAP()                                                                              \
    {nullptr, nullptr}};                                                                           \
        return entries;                                                                            \
    }

// A COM object of class Base, created with new: Release deletes it when the count reaches 0.
template <class Base> class CComObject final : public Base
{
public:
    template <class... Args> explicit CComObject(Args &&...args) : Base(std::forward<Args>(args)...) {}

    // A new object with the count at 0, or E_OUTOFMEMORY; E_POINTER without a result.
    template <class... Args> static HRESULT CreateInstance(CComObject **result, Args &&...args)
    {
        if (!result)
            return E_POINTER;
        *result = new (std::nothrow) CComObject(std::forward<Args>(args)...);
        return *result ? S_OK : E_OUTOFMEMORY;
    }

    ULONG AddRef() override { return this->InternalAddRef(); }
    ULONG Release() override
    {
        const ULONG left = this->InternalRelease();
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT QueryInterface(REFIID iid, void **result) override { return this->_InternalQueryInterface(iid, result); }
};

// A COM object that lives as long as its module, typically in a static: counted, never deleted.
template <class Base> class CComObjectGlobal final : public Base
{
public:
    template <class... Args> explicit CComObjectGlobal(Args &&...args) : Base(std::forward<Args>(args)...)
    {
        this->InternalAddRef(); // the module's own hold
    }

    ULONG AddRef() override { return this->InternalAddRef(); }
    ULONG Release() override { return this->InternalRelease(); }
    HRESULT QueryInterface(REFIID iid, void **result) override { return this->_InternalQueryInterface(iid, result); }
};

} // namespace ATL

using namespace ATL;
