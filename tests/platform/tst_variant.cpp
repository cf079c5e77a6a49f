// VARIANT ownership, CComVariant, conversions and SAFEARRAYs.
#include "testobject.h"

#include <gtest/gtest.h>

#include <string>

using tstest::Counter;
using tstest::SeamReset;

namespace {

std::u16string contentOf(BSTR s)
{
    return std::u16string(s, SysStringLen(s));
}

// A vector of three variants: 7, "two" and an empty one, indexed from `lower`.
SAFEARRAY *makeArray(LONG lower)
{
    SAFEARRAY *array = SafeArrayCreateVector(VT_VARIANT, lower, 3);
    CComVariant seven(7);
    CComVariant two(u"two");
    LONG i = lower;
    SafeArrayPutElement(array, &i, &seven);
    ++i;
    SafeArrayPutElement(array, &i, &two);
    return array;
}

} // namespace

TEST(Variant, CopyOfBstrIsDeepAndClearFreesIt)
{
    VARIANT src;
    VariantInit(&src);
    src.vt = VT_BSTR;
    src.bstrVal = SysAllocStringLen(u"a\0b", 3);
    VARIANT dst;
    VariantInit(&dst);
    ASSERT_EQ(VariantCopy(&dst, &src), S_OK);
    EXPECT_EQ(dst.vt, VT_BSTR);
    EXPECT_NE(dst.bstrVal, src.bstrVal);
    EXPECT_EQ(contentOf(dst.bstrVal), std::u16string(u"a\0b", 3));
    EXPECT_EQ(VariantClear(&src), S_OK);
    EXPECT_EQ(src.vt, VT_EMPTY);
    // Copying over a variant that owns something frees the old content first.
    VARIANT other;
    VariantInit(&other);
    other.vt = VT_I4;
    other.lVal = 5;
    EXPECT_EQ(VariantCopy(&dst, &other), S_OK);
    EXPECT_EQ(dst.vt, VT_I4);
    EXPECT_EQ(VariantCopy(&dst, &dst), S_OK);
}

TEST(Variant, BadTypesAreRefused)
{
    const VARTYPE bad[] = {VARTYPE(99), VT_VARIANT, VARTYPE(VT_BSTR | 0x8000), VARTYPE(VT_ARRAY)};
    for (VARTYPE vt : bad) {
        SCOPED_TRACE(vt);
        VARIANT v;
        VariantInit(&v);
        v.vt = vt;
        VARIANT d;
        VariantInit(&d);
        EXPECT_EQ(VariantClear(&v), DISP_E_BADVARTYPE);
        EXPECT_EQ(VariantCopy(&d, &v), DISP_E_BADVARTYPE);
    }
    EXPECT_EQ(VariantClear(nullptr), E_INVALIDARG);
}

TEST(Variant, FailedCopyLeavesDestinationEmpty)
{
    SeamReset reset;
    CComVariant src(u"text");
    VARIANT dst;
    VariantInit(&dst);
    dst.vt = VT_BSTR;
    dst.bstrVal = SysAllocString(u"old");
    TsFailNextBstrAllocations(1);
    EXPECT_EQ(VariantCopy(&dst, &src), E_OUTOFMEMORY);
    EXPECT_EQ(dst.vt, VT_EMPTY);
}

TEST(Variant, InterfaceReferencesAreCounted)
{
    Counter *object = new Counter;
    {
        CComVariant held(static_cast<IUnknown *>(object));
        EXPECT_EQ(object->refs(), 2u);
        CComVariant copy(held);
        EXPECT_EQ(object->refs(), 3u);
    }
    EXPECT_EQ(object->refs(), 1u);
    object->Release();
}

TEST(Variant, ArraysCopyDeepAndLockedArraysStay)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_ARRAY | VT_VARIANT;
    v.parray = makeArray(0);
    VARIANT copy;
    VariantInit(&copy);
    ASSERT_EQ(VariantCopy(&copy, &v), S_OK);
    ASSERT_NE(copy.parray, v.parray);

    VARIANT *a = nullptr, *b = nullptr;
    ASSERT_EQ(SafeArrayAccessData(v.parray, reinterpret_cast<void **>(&a)), S_OK);
    ASSERT_EQ(SafeArrayAccessData(copy.parray, reinterpret_cast<void **>(&b)), S_OK);
    EXPECT_EQ(b[0].vt, VT_I4);
    EXPECT_EQ(b[0].lVal, 7);
    EXPECT_EQ(b[1].vt, VT_BSTR);
    EXPECT_NE(b[1].bstrVal, a[1].bstrVal);
    EXPECT_EQ(contentOf(b[1].bstrVal), u"two");
    EXPECT_EQ(b[2].vt, VT_EMPTY);

    // An accessed array cannot be cleared away under its user.
    EXPECT_EQ(VariantClear(&v), DISP_E_ARRAYISLOCKED);
    EXPECT_EQ(v.vt, VT_ARRAY | VT_VARIANT);
    EXPECT_EQ(SafeArrayUnaccessData(v.parray), S_OK);
    EXPECT_EQ(SafeArrayUnaccessData(copy.parray), S_OK);
    EXPECT_EQ(SafeArrayUnaccessData(copy.parray), E_UNEXPECTED);
    EXPECT_EQ(VariantClear(&v), S_OK);
    EXPECT_EQ(VariantClear(&copy), S_OK);
}

TEST(SafeArray, BoundsAndElements)
{
    SAFEARRAY *array = makeArray(-2);
    LONG lo = 0, hi = 0;
    EXPECT_EQ(SafeArrayGetLBound(array, 1, &lo), S_OK);
    EXPECT_EQ(SafeArrayGetUBound(array, 1, &hi), S_OK);
    EXPECT_EQ(lo, -2);
    EXPECT_EQ(hi, 0);
    EXPECT_EQ(SafeArrayGetLBound(array, 2, &lo), DISP_E_BADINDEX);
    EXPECT_EQ(SafeArrayGetDim(array), 1u);
    VARTYPE vt = 0;
    EXPECT_EQ(SafeArrayGetVartype(array, &vt), S_OK);
    EXPECT_EQ(vt, VT_VARIANT);

    struct Case {
        LONG index;
        HRESULT hr;
        VARTYPE vt;
    } cases[] = {
        {-3, DISP_E_BADINDEX, VT_EMPTY}, {-2, S_OK, VT_I4}, {-1, S_OK, VT_BSTR},
        {0, S_OK, VT_EMPTY},             {1, DISP_E_BADINDEX, VT_EMPTY},
        {LONG(0x7fffffff), DISP_E_BADINDEX, VT_EMPTY},
    };
    for (Case &c : cases) {
        SCOPED_TRACE(c.index);
        CComVariant out;
        EXPECT_EQ(SafeArrayGetElement(array, &c.index, &out), c.hr);
        EXPECT_EQ(out.vt, c.vt);
    }
    // Putting replaces (and frees) what was there; the caller keeps its own value.
    CComVariant replacement(u"new");
    LONG index = -1;
    EXPECT_EQ(SafeArrayPutElement(array, &index, &replacement), S_OK);
    EXPECT_EQ(replacement.vt, VT_BSTR);
    CComVariant out;
    EXPECT_EQ(SafeArrayGetElement(array, &index, &out), S_OK);
    EXPECT_EQ(contentOf(out.bstrVal), u"new");
    EXPECT_NE(out.bstrVal, replacement.bstrVal);
    index = 5;
    EXPECT_EQ(SafeArrayPutElement(array, &index, &replacement), DISP_E_BADINDEX);

    EXPECT_EQ(SafeArrayLock(array), S_OK);
    EXPECT_EQ(SafeArrayDestroy(array), DISP_E_ARRAYISLOCKED);
    EXPECT_EQ(SafeArrayUnlock(array), S_OK);
    EXPECT_EQ(SafeArrayDestroy(array), S_OK);
}

TEST(SafeArray, BstrElementsArePassedAsThemselves)
{
    SAFEARRAY *array = SafeArrayCreateVector(VT_BSTR, 0, 1);
    ASSERT_NE(array, nullptr);
    CComBSTR text(3, u"x\0y");
    LONG i = 0;
    EXPECT_EQ(SafeArrayPutElement(array, &i, text.m_str), S_OK);
    BSTR out = nullptr;
    EXPECT_EQ(SafeArrayGetElement(array, &i, &out), S_OK);
    EXPECT_NE(out, text.m_str);
    EXPECT_EQ(contentOf(out), std::u16string(u"x\0y", 3));
    SysFreeString(out);
    EXPECT_EQ(SafeArrayDestroy(array), S_OK);
    EXPECT_EQ(SafeArrayCreateVector(VT_EMPTY, 0, 1), nullptr);
}

TEST(CComVariant, ConstructionTable)
{
    EXPECT_EQ(CComVariant().vt, VT_EMPTY);
    EXPECT_EQ(CComVariant(5).vt, VT_I4);
    EXPECT_EQ(CComVariant(5L).lVal, 5);
    EXPECT_EQ(CComVariant(long(E_FAIL), VT_ERROR).scode, E_FAIL);
    EXPECT_EQ(CComVariant(1.5).vt, VT_R8);
    CComVariant date(39451.125, VT_DATE);
    EXPECT_EQ(date.vt, VT_DATE);
    EXPECT_EQ(date.date, 39451.125);
    EXPECT_EQ(CComVariant(true).boolVal, VARIANT_TRUE);
    EXPECT_THROW(CComVariant(1.0, VT_I4), CAtlException);

    // A BSTR keeps its full length; a plain text stops at its NUL.
    CComBSTR withNul(3, u"a\0b");
    CComVariant fromBstr(withNul.m_str);
    EXPECT_EQ(SysStringLen(fromBstr.bstrVal), 3u);
    EXPECT_NE(fromBstr.bstrVal, withNul.m_str);
    CComVariant fromText(static_cast<LPCOLESTR>(u"a\0b"));
    EXPECT_EQ(SysStringLen(fromText.bstrVal), 1u);
    CComVariant fromNull(static_cast<BSTR>(nullptr));
    EXPECT_EQ(fromNull.vt, VT_BSTR);
    EXPECT_EQ(fromNull.bstrVal, nullptr);
}

TEST(CComVariant, CopiesAttachAndDetach)
{
    CComVariant a(u"text");
    CComVariant b(a);
    EXPECT_NE(a.bstrVal, b.bstrVal);
    EXPECT_TRUE(a == b);
    b = CComVariant(3);
    EXPECT_FALSE(a == b);

    VARIANT raw;
    VariantInit(&raw);
    raw.vt = VT_BSTR;
    raw.bstrVal = SysAllocString(u"raw");
    BSTR owned = raw.bstrVal;
    EXPECT_EQ(a.Attach(&raw), S_OK);
    EXPECT_EQ(raw.vt, VT_EMPTY);
    EXPECT_EQ(a.bstrVal, owned);

    VARIANT out;
    VariantInit(&out);
    out.vt = VT_BSTR;
    out.bstrVal = SysAllocString(u"overwritten"); // freed by Detach
    EXPECT_EQ(a.Detach(&out), S_OK);
    EXPECT_EQ(a.vt, VT_EMPTY);
    EXPECT_EQ(out.bstrVal, owned);
    VariantClear(&out);
}

TEST(CComVariant, FailedCopyThrowsAndMarksError)
{
    SeamReset reset;
    CComVariant src(u"text");
    CComVariant dst(1);
    TsFailNextBstrAllocations(1);
    try {
        dst = src;
        FAIL() << "no exception";
    } catch (const CAtlException &e) {
        EXPECT_EQ(HRESULT(e), E_OUTOFMEMORY);
    }
    EXPECT_EQ(dst.vt, VT_ERROR);
    EXPECT_EQ(dst.scode, E_OUTOFMEMORY);
    TsFailNextBstrAllocations(1);
    EXPECT_EQ(dst.Copy(&src), E_OUTOFMEMORY);
    EXPECT_EQ(dst.vt, VT_ERROR);
}
