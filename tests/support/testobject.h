// A small COM object whose reference count the tests can read.
#pragma once

#include "tswin.h"

#include <atomic>
#include <functional>

namespace tstest {

// {3C9E41A2-7B15-4F0C-8E22-61D4B7A0C5E3}
inline constexpr IID IID_ITestCounter = {
    0x3c9e41a2, 0x7b15, 0x4f0c, {0x8e, 0x22, 0x61, 0xd4, 0xb7, 0xa0, 0xc5, 0xe3}};
// An interface nobody implements.
inline constexpr IID IID_INowhere = {
    0x11111111, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55}};

struct ITestCounter : public IUnknown {
    virtual ULONG Count() = 0;

protected:
    ~ITestCounter() = default;
};

// Answers IUnknown, ITestCounter and one extra interface given at construction (with the
// interface class `Extra`). Deletes itself at count 0 and records that in *destroyed.
template <class Extra = ITestCounter>
class TestObject : public Extra
{
public:
    explicit TestObject(const IID &extra = IID_ITestCounter, bool *destroyed = nullptr)
        : m_extra(extra), m_destroyed(destroyed)
    {
    }
    HRESULT QueryInterface(REFIID iid, void **object) override
    {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == m_extra) {
            *object = static_cast<Extra *>(this);
            this->AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override
    {
        const ULONG left = --m_refs;
        if (left == 0) {
            if (m_destroyed)
                *m_destroyed = true;
            delete this;
        }
        return left;
    }
    ULONG refs() const { return m_refs; }

protected:
    virtual ~TestObject() = default;

private:
    std::atomic<ULONG> m_refs{1};
    IID m_extra;
    bool *m_destroyed;
};

class Counter : public TestObject<ITestCounter>
{
public:
    using TestObject::TestObject;
    ULONG Count() override { return refs(); }
};

// Keeps the calling thread in a single-threaded apartment for a scope.
class ComScope
{
public:
    explicit ComScope(DWORD model = COINIT_APARTMENTTHREADED) : m_hr(CoInitializeEx(nullptr, model)) {}
    ~ComScope()
    {
        if (SUCCEEDED(m_hr))
            CoUninitialize();
    }
    HRESULT result() const { return m_hr; }

private:
    HRESULT m_hr;
};

// Disarms the allocation-failure seams whatever a test leaves behind.
struct SeamReset {
    ~SeamReset()
    {
        TsFailNextBstrAllocations(0);
        TsFailNextGlobalAllocations(0);
    }
};

inline HRESULT Rewind(IStream *stream)
{
    LARGE_INTEGER zero;
    zero.QuadPart = 0;
    return stream->Seek(zero, STREAM_SEEK_SET, nullptr);
}

} // namespace tstest
