// Apartments, in-process marshalling and class objects.
#include "testobject.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

using tstest::ComScope;
using tstest::Counter;
using tstest::IID_INowhere;
using tstest::IID_ITestCounter;
using tstest::ITestCounter;

namespace {

IStream *newStream()
{
    IStream *s = nullptr;
    CreateStreamOnHGlobal(nullptr, TRUE, &s);
    return s;
}

std::vector<unsigned char> bytesOf(IStream *s)
{
    tstest::Rewind(s);
    std::vector<unsigned char> out(256);
    ULONG n = 0;
    s->Read(out.data(), ULONG(out.size()), &n);
    out.resize(n);
    return out;
}

IStream *streamWith(const std::vector<unsigned char> &bytes)
{
    IStream *s = newStream();
    s->Write(bytes.data(), ULONG(bytes.size()), nullptr);
    tstest::Rewind(s);
    return s;
}

} // namespace

TEST(Apartment, InitialisationCounting)
{
    std::thread([] {
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_FALSE);
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
        CoUninitialize();
        CoUninitialize();
        // Fully left: a different model is fine now.
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        CoUninitialize();
        CoUninitialize(); // one too many is ignored
        int reserved = 0;
        EXPECT_EQ(CoInitializeEx(&reserved, COINIT_APARTMENTTHREADED), E_INVALIDARG);
    }).join();
}

TEST(Marshal, NeedsAnApartment)
{
    std::thread([] {
        Counter *object = new Counter;
        IStream *s = newStream();
        EXPECT_EQ(CoMarshalInterface(s, IID_ITestCounter, object, MSHCTX_INPROC, nullptr,
                                     MSHLFLAGS_TABLESTRONG),
                  CO_E_NOTINITIALIZED);
        EXPECT_EQ(object->refs(), 1u);
        void *out = nullptr;
        EXPECT_EQ(CoUnmarshalInterface(s, IID_ITestCounter, &out), CO_E_NOTINITIALIZED);
        s->Release();
        object->Release();
    }).join();
}

TEST(Marshal, TableStrongUnmarshalsTwiceUntilReleased)
{
    ComScope com;
    bool destroyed = false;
    Counter *object = new Counter(IID_ITestCounter, &destroyed);
    IStream *s = newStream();
    ASSERT_EQ(CoMarshalInterface(s, IID_ITestCounter, object, MSHCTX_INPROC, nullptr,
                                 MSHLFLAGS_TABLESTRONG),
              S_OK);
    EXPECT_EQ(object->refs(), 2u); // the table's reference

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        tstest::Rewind(s);
        ITestCounter *out = nullptr;
        ASSERT_EQ(CoUnmarshalInterface(s, IID_ITestCounter, reinterpret_cast<void **>(&out)), S_OK);
        EXPECT_EQ(out, static_cast<ITestCounter *>(object));
        EXPECT_EQ(out->Count(), 3u);
        out->Release();
    }
    // IID_NULL asks for the interface that was marshalled.
    tstest::Rewind(s);
    IUnknown *any = nullptr;
    ASSERT_EQ(CoUnmarshalInterface(s, IID_NULL, reinterpret_cast<void **>(&any)), S_OK);
    any->Release();
    // An interface the object lacks: its error, and no reference taken.
    tstest::Rewind(s);
    void *none = reinterpret_cast<void *>(1);
    EXPECT_EQ(CoUnmarshalInterface(s, IID_INowhere, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(object->refs(), 2u);

    tstest::Rewind(s);
    EXPECT_EQ(CoReleaseMarshalData(s), S_OK);
    EXPECT_EQ(object->refs(), 1u);
    tstest::Rewind(s);
    EXPECT_EQ(CoReleaseMarshalData(s), CO_E_OBJNOTCONNECTED);
    tstest::Rewind(s);
    void *late = nullptr;
    EXPECT_EQ(CoUnmarshalInterface(s, IID_ITestCounter, &late), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(late, nullptr);
    s->Release();
    object->Release();
    EXPECT_TRUE(destroyed);
}

TEST(Marshal, NormalDataIsUsedUpByOneUnmarshal)
{
    ComScope com;
    Counter *object = new Counter;
    IStream *s = newStream();
    ASSERT_EQ(CoMarshalInterface(s, IID_IUnknown, object, MSHCTX_INPROC, nullptr,
                                 MSHLFLAGS_NORMAL),
              S_OK);
    tstest::Rewind(s);
    IUnknown *out = nullptr;
    ASSERT_EQ(CoUnmarshalInterface(s, IID_IUnknown, reinterpret_cast<void **>(&out)), S_OK);
    EXPECT_EQ(object->refs(), 2u); // ours only: the table let go
    out->Release();
    tstest::Rewind(s);
    EXPECT_EQ(CoUnmarshalInterface(s, IID_IUnknown, reinterpret_cast<void **>(&out)),
              CO_E_OBJNOTCONNECTED);
    s->Release();
    EXPECT_EQ(object->Release(), 0u);
}

TEST(Marshal, RefusedRequestsLeaveNoReference)
{
    ComScope com;
    Counter *object = new Counter;
    IStream *s = newStream();
    struct Case {
        const IID *iid;
        DWORD context;
        DWORD flags;
        HRESULT hr;
    } cases[] = {
        {&IID_INowhere, MSHCTX_INPROC, MSHLFLAGS_TABLESTRONG, E_NOINTERFACE},
        {&IID_ITestCounter, MSHCTX_LOCAL, MSHLFLAGS_TABLESTRONG, E_NOTIMPL},
        {&IID_ITestCounter, 17, MSHLFLAGS_TABLESTRONG, E_INVALIDARG},
        {&IID_ITestCounter, MSHCTX_INPROC, MSHLFLAGS_TABLESTRONG | MSHLFLAGS_TABLEWEAK,
         E_INVALIDARG},
        {&IID_ITestCounter, MSHCTX_INPROC, 0x100, E_INVALIDARG},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::Message() << "context " << c.context << " flags " << c.flags);
        EXPECT_EQ(CoMarshalInterface(s, *c.iid, object, c.context, nullptr, c.flags), c.hr);
        EXPECT_EQ(object->refs(), 1u);
    }
    EXPECT_EQ(bytesOf(s).size(), 0u); // nothing written
    EXPECT_EQ(CoMarshalInterface(nullptr, IID_IUnknown, object, MSHCTX_INPROC, nullptr, 1),
              E_INVALIDARG);
    EXPECT_EQ(CoMarshalInterface(s, IID_IUnknown, nullptr, MSHCTX_INPROC, nullptr, 1),
              E_INVALIDARG);
    s->Release();
    object->Release();
}

// Forged or damaged data must be refused without touching anything it seems to name.
TEST(Marshal, ForgedDataIsRejected)
{
    ComScope com;
    Counter *object = new Counter;
    IStream *s = newStream();
    ASSERT_EQ(CoMarshalInterface(s, IID_ITestCounter, object, MSHCTX_INPROC, nullptr,
                                 MSHLFLAGS_TABLESTRONG),
              S_OK);
    const std::vector<unsigned char> good = bytesOf(s);
    ASSERT_FALSE(good.empty());

    std::vector<std::vector<unsigned char>> forged;
    for (size_t i = 0; i < good.size(); ++i) {
        std::vector<unsigned char> b = good;
        b[i] ^= 0x5a; // every single damaged byte
        forged.push_back(b);
    }
    forged.push_back(std::vector<unsigned char>(good.begin(), good.end() - 1)); // truncated
    forged.push_back({});
    forged.push_back(std::vector<unsigned char>(good.size(), 0xff));

    for (size_t i = 0; i < forged.size(); ++i) {
        SCOPED_TRACE(::testing::Message() << "forgery " << i);
        IStream *bad = streamWith(forged[i]);
        void *out = reinterpret_cast<void *>(1);
        const HRESULT hr = CoUnmarshalInterface(bad, IID_ITestCounter, &out);
        EXPECT_TRUE(FAILED(hr));
        EXPECT_EQ(out, nullptr);
        tstest::Rewind(bad);
        EXPECT_TRUE(FAILED(CoReleaseMarshalData(bad)));
        bad->Release();
        EXPECT_EQ(object->refs(), 2u);
    }
    // The genuine data still works.
    IStream *copy = streamWith(good);
    EXPECT_EQ(CoReleaseMarshalData(copy), S_OK);
    EXPECT_EQ(object->refs(), 1u);
    copy->Release();
    s->Release();
    object->Release();
}

TEST(Marshal, ClosingTheApartmentReleasesItsData)
{
    bool destroyed = false;
    Counter *object = new Counter(IID_ITestCounter, &destroyed);
    std::thread([object] {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        IStream *s = newStream();
        CoMarshalInterface(s, IID_ITestCounter, object, MSHCTX_INPROC, nullptr,
                           MSHLFLAGS_TABLESTRONG);
        s->Release();
        EXPECT_EQ(object->refs(), 2u);
        CoUninitialize();
    }).join();
    EXPECT_EQ(object->refs(), 1u);
    object->Release();
    EXPECT_TRUE(destroyed);
}

// ---------------------------------------------------------------------------------------------

namespace {

// {A1B2C3D4-0001-4000-8000-00000000C0DE}
constexpr CLSID CLSID_TestCounter = {0xa1b2c3d4, 0x0001, 0x4000,
                                     {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0xc0, 0xde}};

class CounterFactory final : public tstest::TestObject<IClassFactory>
{
public:
    CounterFactory() : TestObject(IID_IClassFactory) {}
    HRESULT CreateInstance(IUnknown *outer, REFIID iid, void **object) override
    {
        if (outer)
            return CLASS_E_NOAGGREGATION;
        Counter *created = new Counter;
        const HRESULT hr = created->QueryInterface(iid, object);
        created->Release();
        return hr;
    }
    HRESULT LockServer(BOOL) override { return S_OK; }
};

} // namespace

TEST(ClassObjects, RegisterCreateRevoke)
{
    ComScope com;
    CounterFactory *factory = new CounterFactory;
    DWORD cookie = 0;
    ASSERT_EQ(CoRegisterClassObject(CLSID_TestCounter, factory, CLSCTX_INPROC_SERVER,
                                    REGCLS_MULTIPLEUSE, &cookie),
              S_OK);
    EXPECT_EQ(factory->refs(), 2u);
    for (int i = 0; i < 2; ++i) {
        ITestCounter *c = nullptr;
        ASSERT_EQ(CoCreateInstance(CLSID_TestCounter, nullptr, CLSCTX_ALL, IID_ITestCounter,
                                   reinterpret_cast<void **>(&c)),
                  S_OK);
        EXPECT_EQ(c->Count(), 1u);
        c->Release();
    }
    void *out = reinterpret_cast<void *>(1);
    EXPECT_EQ(CoCreateInstance(CLSID_TestCounter, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown,
                               &out),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(CoCreateInstance(CLSID_TestCounter, factory, CLSCTX_ALL, IID_IUnknown, &out),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(CoCreateInstance(CLSID_TestCounter, nullptr, CLSCTX_ALL, IID_INowhere, &out),
              E_NOINTERFACE);
    EXPECT_EQ(factory->refs(), 2u);

    EXPECT_EQ(CoRevokeClassObject(cookie), S_OK);
    EXPECT_EQ(factory->refs(), 1u);
    EXPECT_EQ(CoRevokeClassObject(cookie), CO_E_OBJNOTREG);
    EXPECT_EQ(CoCreateInstance(CLSID_TestCounter, nullptr, CLSCTX_ALL, IID_IUnknown, &out),
              REGDB_E_CLASSNOTREG);
    factory->Release();
}

TEST(ClassObjects, SingleUseServesOnce)
{
    ComScope com;
    CounterFactory *factory = new CounterFactory;
    DWORD cookie = 0;
    ASSERT_EQ(CoRegisterClassObject(CLSID_TestCounter, factory, CLSCTX_INPROC_SERVER,
                                    REGCLS_SINGLEUSE, &cookie),
              S_OK);
    IUnknown *a = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_TestCounter, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               reinterpret_cast<void **>(&a)),
              S_OK);
    a->Release();
    EXPECT_EQ(CoCreateInstance(CLSID_TestCounter, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               reinterpret_cast<void **>(&a)),
              REGDB_E_CLASSNOTREG);
    CoRevokeClassObject(cookie);
    factory->Release();
}

TEST(ClassObjects, NeedAnApartment)
{
    std::thread([] {
        void *out = nullptr;
        EXPECT_EQ(CoCreateInstance(CLSID_TestCounter, nullptr, CLSCTX_ALL, IID_IUnknown, &out),
                  CO_E_NOTINITIALIZED);
        EXPECT_EQ(CoCreateInstance(CLSID_TestCounter, nullptr, CLSCTX_ALL, IID_IUnknown, nullptr),
                  E_POINTER);
    }).join();
}
