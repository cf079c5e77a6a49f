// BSTR layout and the CComBSTR wrapper.
#include "testobject.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

using tstest::SeamReset;

namespace {

DWORD prefixOf(BSTR s)
{
    DWORD prefix;
    std::memcpy(&prefix, reinterpret_cast<const char *>(s) - 4, 4);
    return prefix;
}

std::u16string contentOf(BSTR s)
{
    return std::u16string(s, SysStringLen(s));
}

} // namespace

TEST(Bstr, LayoutHasBytePrefixAndTerminator)
{
    struct Case {
        const char16_t *text;
        UINT length;
    } cases[] = {
        {u"", 0}, {u"a", 1}, {u"abc", 3}, {u"a\0b", 3}, {u"\0\0", 2}, {u"\xfeffx", 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::Message() << "length " << c.length);
        BSTR s = SysAllocStringLen(c.text, c.length);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(prefixOf(s), c.length * 2);
        EXPECT_EQ(SysStringLen(s), c.length);
        EXPECT_EQ(SysStringByteLen(s), c.length * 2);
        EXPECT_EQ(s[c.length], u'\0');
        EXPECT_EQ(contentOf(s), std::u16string(c.text, c.length));
        SysFreeString(s);
    }
}

TEST(Bstr, NullHandling)
{
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    EXPECT_EQ(SysStringByteLen(nullptr), 0u);
    SysFreeString(nullptr);

    // A null source still gives a string of the asked length, zeroed here.
    BSTR s = SysAllocStringLen(nullptr, 5);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(SysStringLen(s), 5u);
    for (int i = 0; i <= 5; ++i)
        EXPECT_EQ(s[i], u'\0') << i;
    SysFreeString(s);

    // An empty string is a real, non-null BSTR.
    BSTR empty = SysAllocString(u"");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(SysStringLen(empty), 0u);
    SysFreeString(empty);
}

TEST(Bstr, SysAllocStringStopsAtFirstNul)
{
    BSTR s = SysAllocString(u"ab\0cd");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(SysStringLen(s), 2u);
    SysFreeString(s);
}

TEST(Bstr, OddByteLengthKeepsItsBytes)
{
    BSTR s = SysAllocStringByteLen("abc", 3);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(SysStringByteLen(s), 3u);
    EXPECT_EQ(SysStringLen(s), 1u);
    EXPECT_EQ(std::memcmp(s, "abc", 3), 0);
    EXPECT_EQ(reinterpret_cast<const char *>(s)[3], '\0');
    EXPECT_EQ(s[2], u'\0'); // a whole NUL unit follows the bytes
    SysFreeString(s);
}

TEST(Bstr, HugeLengthIsRefused)
{
    EXPECT_EQ(SysAllocStringLen(nullptr, 0xffffffffu), nullptr);
    EXPECT_EQ(SysAllocStringByteLen(nullptr, 0xfffffffeu), nullptr);
}

TEST(Bstr, FailureSeamFailsExactlyTheNextAllocations)
{
    SeamReset reset;
    EXPECT_EQ(TsFailNextBstrAllocations(2), 0u);
    EXPECT_EQ(SysAllocString(u"a"), nullptr);
    EXPECT_EQ(SysAllocStringLen(u"a", 1), nullptr);
    BSTR s = SysAllocString(u"a");
    EXPECT_NE(s, nullptr);
    SysFreeString(s);
}

// A seam armed on one thread fails that thread's allocations only.
TEST(Bstr, FailureSeamsAreArmedPerThread)
{
    SeamReset reset;
    struct Seam {
        const char *name;
        UINT (*arm)(UINT, UINT);
        bool (*allocate)();
    } seams[] = {
        {"BSTR", TsFailNextBstrAllocations,
         [] { BSTR s = SysAllocString(u"a"); SysFreeString(s); return s != nullptr; }},
        {"global", TsFailNextGlobalAllocations,
         [] { HGLOBAL g = GlobalAlloc(GMEM_FIXED, 1); GlobalFree(g); return g != nullptr; }},
    };
    for (const Seam &seam : seams) {
        SCOPED_TRACE(seam.name);
        seam.arm(1, 0);
        bool other = false;
        std::thread([&] { other = seam.allocate(); }).join();
        EXPECT_TRUE(other) << "another thread's allocation failed";
        EXPECT_FALSE(seam.allocate()) << "the armed failure was lost";
        EXPECT_EQ(seam.arm(0, 0), 0u);
    }
}

// ---------------------------------------------------------------------------------------------
// CComBSTR

TEST(CComBSTR, CopiesAreDeepAndKeepEmbeddedNuls)
{
    CComBSTR a(4, u"a\0bc");
    CComBSTR b(a);
    ASSERT_NE(a.m_str, b.m_str);
    EXPECT_EQ(b.Length(), 4u);
    EXPECT_EQ(contentOf(b), std::u16string(u"a\0bc", 4));
    CComBSTR c;
    c = b;
    EXPECT_NE(c.m_str, b.m_str);
    EXPECT_TRUE(c == a);
    c = c; // self-assignment keeps the text
    EXPECT_EQ(c.Length(), 4u);

    BSTR copy = a.Copy();
    EXPECT_NE(copy, a.m_str);
    EXPECT_EQ(SysStringLen(copy), 4u);
    SysFreeString(copy);
}

TEST(CComBSTR, AttachDetachTransferOwnership)
{
    CComBSTR s(u"first");
    BSTR raw = SysAllocString(u"second");
    s.Attach(raw); // frees "first"
    EXPECT_EQ(s.m_str, raw);
    s.Attach(raw); // the same string again must not be freed
    EXPECT_EQ(contentOf(s), u"second");
    BSTR out = s.Detach();
    EXPECT_EQ(out, raw);
    EXPECT_EQ(s.m_str, nullptr);
    SysFreeString(out);

    CComBSTR moved(u"m");
    CComBSTR target(std::move(moved));
    EXPECT_EQ(moved.m_str, nullptr);
    EXPECT_EQ(contentOf(target), u"m");
    target.Empty();
    EXPECT_TRUE(!target);
}

// & hands out the slot for an out parameter, which writes without freeing: what the wrapper held
// is let go first instead of leaking.
TEST(CComBSTR, AddressOfLetsTheHeldValueGo)
{
    CComBSTR text(u"held");
    BSTR *slot = &text;
    EXPECT_EQ(*slot, nullptr);
    *slot = SysAllocString(u"written");
    EXPECT_EQ(contentOf(text), u"written");
}

TEST(CComBSTR, NullAndEmptyConstruction)
{
    CComBSTR none(static_cast<LPCOLESTR>(nullptr));
    EXPECT_EQ(none.m_str, nullptr);
    CComBSTR zero(0);
    EXPECT_EQ(zero.m_str, nullptr);
    CComBSTR empty(u"");
    EXPECT_NE(empty.m_str, nullptr);
    EXPECT_EQ(empty.Length(), 0u);
    CComBSTR sized(3);
    EXPECT_EQ(sized.Length(), 3u);
    EXPECT_THROW(CComBSTR(-1), CAtlException);
}

TEST(CComBSTR, AppendJoinsFullLengths)
{
    CComBSTR s(2, u"a\0");
    EXPECT_EQ(s.Append(u"bc"), S_OK);
    EXPECT_EQ(s.Append(CComBSTR(1, u"\0")), S_OK);
    EXPECT_EQ(s.Append(u'd'), S_OK);
    EXPECT_EQ(contentOf(s), std::u16string(u"a\0bc\0d", 6));
    s += u"e";
    s += CComBSTR(u"f");
    EXPECT_EQ(contentOf(s), std::u16string(u"a\0bc\0def", 8));
    CComBSTR fromNull;
    EXPECT_EQ(fromNull.Append(static_cast<LPCOLESTR>(nullptr)), S_OK);
    EXPECT_EQ(fromNull.m_str, nullptr);
}

TEST(CComBSTR, AllocationFailureThrowsOutOfMemory)
{
    SeamReset reset;
    TsFailNextBstrAllocations(1);
    try {
        CComBSTR s(u"text");
        FAIL() << "no exception";
    } catch (const CAtlException &e) {
        EXPECT_EQ(HRESULT(e), E_OUTOFMEMORY);
    }

    CComBSTR source(u"abc");
    TsFailNextBstrAllocations(1);
    EXPECT_THROW(CComBSTR copy(source), CAtlException);

    // Append reports the failure and keeps the text; += throws it.
    TsFailNextBstrAllocations(1);
    EXPECT_EQ(source.Append(u"d"), E_OUTOFMEMORY);
    EXPECT_EQ(contentOf(source), u"abc");
    TsFailNextBstrAllocations(1);
    EXPECT_THROW(source += u"d", CAtlException);
    EXPECT_EQ(contentOf(source), u"abc");
}

TEST(CComBSTR, Comparisons)
{
    struct Case {
        CComBSTR a, b;
        int order;
    };
    const Case cases[] = {
        {CComBSTR(), CComBSTR(), 0},
        {CComBSTR(), CComBSTR(u""), 0},
        {CComBSTR(u"a"), CComBSTR(u"a"), 0},
        {CComBSTR(u"a"), CComBSTR(u"b"), -1},
        {CComBSTR(u"ab"), CComBSTR(u"a"), 1},
        {CComBSTR(3, u"a\0b"), CComBSTR(3, u"a\0c"), -1},
        {CComBSTR(2, u"a\0"), CComBSTR(u"a"), 1},
    };
    int row = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::Message() << "row " << row++);
        EXPECT_EQ(c.a == c.b, c.order == 0);
        EXPECT_EQ(c.a != c.b, c.order != 0);
        EXPECT_EQ(c.a < c.b, c.order < 0);
        EXPECT_EQ(c.a > c.b, c.order > 0);
    }
    CComBSTR text(u"abc");
    EXPECT_TRUE(text == u"abc");
    EXPECT_FALSE(text == u"ab");
    EXPECT_FALSE(text == u"abcd");
    EXPECT_TRUE(CComBSTR() == static_cast<LPCOLESTR>(nullptr));
    EXPECT_TRUE(CComBSTR() == nullptr);
    EXPECT_TRUE(text != nullptr);
}
