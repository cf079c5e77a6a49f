// The library's string conversions and COM helpers.
#include "foundation/bstrconvert.h"
#include "foundation/comutil.h"
#include "foundation/tsabstractdata.h"
#include "foundation/tsuikit.h"

#include "testobject.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>

using tstest::ComScope;
using tstest::Counter;
using tstest::IID_INowhere;
using tstest::IID_ITestCounter;
using tstest::SeamReset;

TEST(QStringToBSTR, Table)
{
    struct Case {
        QString text;
        bool null;
        UINT length;
    } cases[] = {
        {QString(), true, 0},
        {QString(""), true, 0},
        {QStringLiteral("abc"), false, 3},
        {QString::fromUtf16(u"a\0b\0", 4), false, 4},
        {QString(QChar(0xfeff)) + QStringLiteral("x"), false, 2},
        {QString(20000, QChar('w')), false, 20000},
    };
    int row = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::Message() << "row " << row++);
        CComBSTR b = QStringToBSTR(c.text);
        EXPECT_EQ(b.m_str == nullptr, c.null);
        EXPECT_EQ(b.Length(), c.length);
        if (b.m_str) {
            EXPECT_EQ(std::u16string(b.m_str, b.Length()),
                      std::u16string(reinterpret_cast<const char16_t *>(c.text.utf16()),
                                     size_t(c.text.size())));
            EXPECT_EQ(b.m_str[b.Length()], u'\0');
        }
    }
}

TEST(QStringToBSTR, AllocationFailureThrowsOutOfMemory)
{
    SeamReset reset;
    TsFailNextBstrAllocations(1);
    try {
        QStringToBSTR(QStringLiteral("text"));
        FAIL() << "no exception";
    } catch (const ATL::CAtlException &e) {
        EXPECT_EQ(e.m_hr, E_OUTOFMEMORY);
    }
    // An empty text allocates nothing, so it cannot fail.
    TsFailNextBstrAllocations(1);
    EXPECT_NO_THROW(QStringToBSTR(QString()));
}

TEST(BSTRToQString, Table)
{
    EXPECT_TRUE(BSTRToQString(nullptr).isNull());

    CComBSTR empty(u"");
    EXPECT_FALSE(BSTRToQString(empty).isNull());
    EXPECT_TRUE(BSTRToQString(empty).isEmpty());

    // The length prefix says 10, the text ends at the NUL in position 3.
    CComBSTR ten(10, u"abc\0efghij");
    ASSERT_EQ(ten.Length(), 10u);
    EXPECT_EQ(BSTRToQString(ten), QStringLiteral("abc"));

    // A leading U+FEFF is text, not a byte-order mark.
    CComBSTR bom(u"\xfeffhi");
    const QString converted = BSTRToQString(bom);
    ASSERT_EQ(converted.size(), 3);
    EXPECT_EQ(converted.at(0).unicode(), 0xfeff);

    CComBSTR round = QStringToBSTR(QString::fromUtf16(u"\x65e5\x672c\xd83d\xde00", 4));
    EXPECT_EQ(BSTRToQString(round), QString::fromUtf16(u"\x65e5\x672c\xd83d\xde00", 4));
}

// Regression: the WString conversion dropped a leading U+FEFF, taking it for a byte-order mark.
TEST(WStringConversion, KeepsLeadingFeffAndEmbeddedNul)
{
    const WString text(u"\xfeff" u"a\0b", 4);
    const QString q = QStringFromWString(text);
    ASSERT_EQ(q.size(), 4);
    EXPECT_EQ(q.at(0).unicode(), 0xfeff);
    EXPECT_EQ(WStringFromQString(q), text);
}

// ---------------------------------------------------------------------------------------------

TEST(MarshalInterface, TableStrongDataUnmarshalsTwice)
{
    ComScope com;
    bool destroyed = false;
    Counter *object = new Counter(IID_ITestCounter, &destroyed);
    IStream *stream = reinterpret_cast<IStream *>(1);
    ASSERT_EQ(MarshalInterface(&stream, IID_ITestCounter, static_cast<IUnknown *>(object)), S_OK);
    ASSERT_NE(stream, nullptr);
    // Handed over just after the data, which fills the stream.
    LARGE_INTEGER zero;
    zero.QuadPart = 0;
    ULARGE_INTEGER pos, end;
    stream->Seek(zero, STREAM_SEEK_CUR, &pos);
    stream->Seek(zero, STREAM_SEEK_END, &end);
    EXPECT_GT(pos.QuadPart, 0u);
    EXPECT_EQ(pos.QuadPart, end.QuadPart);

    for (int round = 0; round < 2; ++round) {
        tstest::Rewind(stream);
        IUnknown *out = nullptr;
        ASSERT_EQ(CoUnmarshalInterface(stream, IID_ITestCounter, reinterpret_cast<void **>(&out)),
                  S_OK);
        EXPECT_EQ(out, static_cast<IUnknown *>(object));
        out->Release();
    }
    EXPECT_EQ(object->refs(), 2u);
    tstest::Rewind(stream);
    EXPECT_EQ(CoReleaseMarshalData(stream), S_OK);
    EXPECT_EQ(stream->Release(), 0u);
    EXPECT_EQ(object->refs(), 1u);
    object->Release();
    EXPECT_TRUE(destroyed);
}

TEST(MarshalInterface, FailuresLeaveNoStreamAndNoReference)
{
    SeamReset reset;
    Counter *object = new Counter;
    struct Case {
        const char *name;
        const IID *iid;
        IUnknown *object;
        bool com;
        UINT globalFailures;
        UINT globalAfter;
        HRESULT hr;
    } cases[] = {
        {"unsupported interface", &IID_INowhere, object, true, 0, 0, E_NOINTERFACE},
        {"null object", &IID_ITestCounter, nullptr, true, 0, 0, E_INVALIDARG},
        {"no apartment", &IID_ITestCounter, object, false, 0, 0, CO_E_NOTINITIALIZED},
        {"no memory for the block", &IID_ITestCounter, object, true, 1, 0, E_OUTOFMEMORY},
        {"no memory to grow the stream", &IID_ITestCounter, object, true, 1, 1, STG_E_MEDIUMFULL},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<ComScope> com(c.com ? new ComScope : nullptr);
        TsFailNextGlobalAllocations(c.globalFailures, c.globalAfter);
        IStream *stream = reinterpret_cast<IStream *>(1);
        EXPECT_EQ(MarshalInterface(&stream, *c.iid, c.object), c.hr);
        EXPECT_EQ(stream, nullptr);
        EXPECT_EQ(object->refs(), 1u);
        EXPECT_EQ(TsFailNextGlobalAllocations(0), 0u); // the failure was reached
    }
    EXPECT_EQ(MarshalInterface(nullptr, IID_ITestCounter, static_cast<IUnknown *>(object)),
              E_POINTER);
    object->Release();
}

// ---------------------------------------------------------------------------------------------

namespace {

class Data final : public tstest::TestObject<ITsAbstractData>
{
public:
    Data() : TestObject(IID_ITsAbstractData) {}
    std::function<HRESULT(BSTR, BSTR, VARIANT *)> answer;
    int calls = 0;
    HRESULT GetCallBackValue(BSTR first, BSTR second, VARIANT *value) override
    {
        ++calls;
        return answer(first, second, value);
    }
};

struct DataHolder {
    Data *data = new Data;
    ~DataHolder() { data->Release(); }
};

} // namespace

TEST(GetCallBackValue, UntouchedValueIsI4Zero)
{
    DataHolder h;
    h.data->answer = [](BSTR, BSTR, VARIANT *v) {
        EXPECT_EQ(v->vt, VT_I4);
        EXPECT_EQ(v->lVal, 0);
        return S_OK;
    };
    const CComVariant result = GetCallBackValue(h.data, WString(u"a"), WString(u"b"));
    EXPECT_EQ(result.vt, VT_I4);
    EXPECT_EQ(result.lVal, 0);
    EXPECT_EQ(h.data->calls, 1);
}

TEST(GetCallBackValue, PassesTextsInOrderUpToTheirNul)
{
    DataHolder h;
    std::u16string seenFirst, seenSecond;
    bool secondNull = true;
    h.data->answer = [&](BSTR first, BSTR second, VARIANT *v) {
        seenFirst.assign(first, SysStringLen(first));
        secondNull = second == nullptr;
        seenSecond.assign(second, SysStringLen(second));
        return S_OK;
    };
    GetCallBackValue(h.data, WString(u"Job\0tail", 8), WString());
    EXPECT_EQ(seenFirst, u"Job");
    EXPECT_FALSE(secondNull); // an empty text is still a BSTR
    EXPECT_EQ(seenSecond, u"");
}

TEST(GetCallBackValue, ResultTable)
{
    struct Case {
        const char *name;
        HRESULT hr;
        bool setText;
        bool throws;
    } cases[] = {
        {"S_OK with text", S_OK, true, false},
        {"S_FALSE passes", S_FALSE, true, false},
        {"S_FALSE untouched", S_FALSE, false, false},
        {"E_FAIL", E_FAIL, false, true},
        {"E_FAIL after setting a text", E_FAIL, true, true}, // the text must not leak
        {"E_NOINTERFACE", E_NOINTERFACE, false, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        DataHolder h;
        h.data->answer = [&c](BSTR, BSTR, VARIANT *v) {
            if (c.setText) {
                v->vt = VT_BSTR;
                v->bstrVal = SysAllocString(u"value");
            }
            return c.hr;
        };
        try {
            const CComVariant result = GetCallBackValue(h.data, WString(u"x"), WString(u"y"));
            EXPECT_FALSE(c.throws);
            if (c.setText) {
                ASSERT_EQ(result.vt, VT_BSTR);
                EXPECT_EQ(std::u16string(result.bstrVal), u"value");
            } else {
                EXPECT_EQ(result.vt, VT_I4);
            }
        } catch (HRESULT thrown) { // as documented, and as written on Windows
            EXPECT_TRUE(c.throws);
            EXPECT_EQ(thrown, c.hr);
        }
    }
}

TEST(GetCallBackValue, FailedCopyGivesVtError)
{
    SeamReset reset;
    DataHolder h;
    h.data->answer = [](BSTR, BSTR, VARIANT *v) {
        v->vt = VT_BSTR;
        v->bstrVal = SysAllocString(u"value");
        TsFailNextBstrAllocations(1); // the copy of the value is next
        return S_OK;
    };
    const CComVariant result = GetCallBackValue(h.data, WString(u"x"), WString(u"y"));
    EXPECT_EQ(result.vt, VT_ERROR);
    EXPECT_EQ(result.scode, E_OUTOFMEMORY);
}

TEST(GetCallBackValue, TextAllocationFailureThrowsBeforeCalling)
{
    SeamReset reset;
    // 0: the first text cannot be made; 1: the second cannot, after the first was made.
    for (UINT succeeding : {0u, 1u}) {
        SCOPED_TRACE(succeeding);
        DataHolder h;
        h.data->answer = [](BSTR, BSTR, VARIANT *) { return S_OK; };
        TsFailNextBstrAllocations(1, succeeding);
        bool caught = false;
        try {
            GetCallBackValue(h.data, WString(u"x"), WString(u"y"));
        } catch (const ATL::CAtlException &e) {
            caught = true;
            EXPECT_EQ(HRESULT(e), E_OUTOFMEMORY);
        }
        EXPECT_TRUE(caught);
        EXPECT_EQ(h.data->calls, 0);
        EXPECT_EQ(TsFailNextBstrAllocations(0), 0u); // the failure was used
    }
}

// A data model that throws after storing a value: the value is let go, the exception passes on.
TEST(GetCallBackValue, DataModelExceptionClearsTheValue)
{
    DataHolder h;
    Counter *stored = new Counter;
    h.data->answer = [stored](BSTR, BSTR, VARIANT *v) -> HRESULT {
        v->vt = VT_UNKNOWN;
        v->punkVal = stored;
        stored->AddRef();
        throw std::runtime_error("data model failed");
    };
    EXPECT_THROW(GetCallBackValue(h.data, WString(u"x"), WString(u"y")), std::runtime_error);
    EXPECT_EQ(stored->refs(), 1u);
    stored->Release();
}

TEST(GetCallBackValue, NullDataModelThrowsEPointer)
{
    try {
        GetCallBackValue(nullptr, WString(u"x"), WString(u"y"));
        FAIL() << "no exception";
    } catch (HRESULT thrown) {
        EXPECT_EQ(thrown, E_POINTER);
    }
}

TEST(TsUIKitClass, AssignmentReturnsItself)
{
    static_assert(std::is_empty<TsUIKit>::value && !std::is_polymorphic<TsUIKit>::value,
                  "no data members and no virtual functions");
    TsUIKit a;
    const TsUIKit b;
    EXPECT_EQ(&(a = b), &a);
}
