// The COM object base of the ATL subset: counts, the interface map, creation and global objects.
#include "tswin.h"

#include <gtest/gtest.h>

namespace {

const IID IID_IFirst = {0x1b6b0f41, 0x7c1e, 0x4d3a, {0x9e, 0x21, 0x10, 0x5a, 0x66, 0x0b, 0x3c, 0x01}};
const IID IID_ISecond = {0x1b6b0f41, 0x7c1e, 0x4d3a, {0x9e, 0x21, 0x10, 0x5a, 0x66, 0x0b, 0x3c, 0x02}};
const IID IID_INowhere = {0x1b6b0f41, 0x7c1e, 0x4d3a, {0x9e, 0x21, 0x10, 0x5a, 0x66, 0x0b, 0x3c, 0x03}};

struct IFirst : public IUnknown {
    virtual int First() = 0;
};
struct ISecond : public IUnknown {
    virtual int Second() = 0;
};

class Pair : public IFirst, public ISecond, public CComObjectRootEx<CComMultiThreadModel>
{
public:
    BEGIN_COM_MAP(Pair)
        COM_INTERFACE_ENTRY_IID(IID_IFirst, IFirst)
        COM_INTERFACE_ENTRY_IID(IID_ISecond, ISecond)
    END_COM_MAP()

    explicit Pair(bool *destroyed = nullptr) : m_destroyed(destroyed) {}
    int First() override { return 1; }
    int Second() override { return 2; }

protected:
    ~Pair()
    {
        if (m_destroyed)
            *m_destroyed = true;
    }

private:
    bool *m_destroyed;
};

TEST(ComObject, InterfaceMapAndCounts)
{
    bool destroyed = false;
    CComObject<Pair> *pair = nullptr;
    ASSERT_EQ(CComObject<Pair>::CreateInstance(&pair, &destroyed), S_OK);
    EXPECT_EQ(pair->AddRef(), 1u); // created at 0
    struct Row {
        const IID *iid;
        HRESULT status;
        void *expected;
    };
    const Row rows[] = {
        {&IID_IFirst, S_OK, static_cast<IFirst *>(pair)},
        {&IID_ISecond, S_OK, static_cast<ISecond *>(pair)}, // a second base: another address
        {&IID_IUnknown, S_OK, static_cast<IFirst *>(pair)}, // the first entry is the identity
        {&IID_INowhere, E_NOINTERFACE, nullptr},
        {&IID_IStream, E_NOINTERFACE, nullptr},
    };
    for (const Row &r : rows) {
        void *out = reinterpret_cast<void *>(1);
        EXPECT_EQ(pair->QueryInterface(*r.iid, &out), r.status);
        EXPECT_EQ(out, r.expected);
        if (out)
            static_cast<IUnknown *>(out)->Release();
    }
    EXPECT_EQ(pair->QueryInterface(IID_IFirst, nullptr), E_POINTER);
    void *second = nullptr;
    ASSERT_EQ(pair->QueryInterface(IID_ISecond, &second), S_OK);
    EXPECT_EQ(static_cast<ISecond *>(second)->Second(), 2);
    EXPECT_EQ(pair->Release(), 1u);
    EXPECT_FALSE(destroyed);
    EXPECT_EQ(static_cast<ISecond *>(second)->Release(), 0u); // through either interface
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(CComObject<Pair>::CreateInstance(nullptr), E_POINTER);
}

TEST(ComObject, GlobalObjectIsNeverDeleted)
{
    bool destroyed = false;
    {
        CComObjectGlobal<Pair> global(&destroyed);
        EXPECT_EQ(global.AddRef(), 2u); // the module's hold and this one
        EXPECT_EQ(global.Release(), 1u);
        void *out = nullptr;
        ASSERT_EQ(global.QueryInterface(IID_ISecond, &out), S_OK);
        EXPECT_EQ(static_cast<ISecond *>(out)->Release(), 1u);
        EXPECT_FALSE(destroyed);
    }
    EXPECT_TRUE(destroyed); // by its scope, not by a count
}

} // namespace
