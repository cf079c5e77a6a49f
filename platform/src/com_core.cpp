// Apartments, in-process marshalling and the class-object registry.
#include "tsw/atl.h"
#include "tsw/com.h"

#include <atomic>
#include <cstring>
#include <map>
#include <new>
#include <mutex>
#include <random>

namespace ATL {
CAtlException::~CAtlException() = default;
}

namespace {

// ---------------------------------------------------------------------------------------------
// Apartments

constexpr ULONGLONG MultiThreadedApartment = 1;

struct ThreadApartment {
    ULONG entries = 0;
    bool singleThreaded = false;
    ULONGLONG id = 0;
};

thread_local ThreadApartment t_apartment;

std::mutex s_apartmentMutex;
ULONG s_mtaThreads = 0;
ULONGLONG s_nextApartment = MultiThreadedApartment + 1;

// The apartment of the calling thread, or 0 when it has entered none.
ULONGLONG currentApartment()
{
    return t_apartment.entries ? t_apartment.id : 0;
}

// ---------------------------------------------------------------------------------------------
// Marshalled data
//
// What goes into the stream names a table entry by number and a random tag; the object pointer
// stays in the table, so damaged or forged data can at worst name no entry.

constexpr DWORD RecordSignature = 0x524d5354; // "TSMR"
constexpr DWORD RecordVersion = 1;

struct StreamRecord {
    DWORD signature;
    DWORD version;
    DWORD flags;
    DWORD reserved;
    IID iid;
    ULONGLONG id;
    ULONGLONG tag;
};
static_assert(sizeof(StreamRecord) == 48, "marshalled data has a fixed size");

struct TableEntry {
    IUnknown *object; // the marshalled interface, holding one reference
    IID iid;
    DWORD flags;
    ULONGLONG tag;
    ULONGLONG apartment;
};

struct MarshalTable {
    std::mutex mutex;
    std::map<ULONGLONG, TableEntry> entries;
    ULONGLONG nextId = 1;
    std::mt19937_64 tags{std::random_device{}()};
};

std::atomic<bool> s_marshalTableMade{false};

// Made on first marshalling; throws std::bad_alloc when it cannot be (a later call tries again).
MarshalTable &marshalTable()
{
    static MarshalTable *t = [] {
        auto *made = new MarshalTable; // entries may be released during static teardown
        s_marshalTableMade = true;
        return made;
    }();
    return *t;
}

HRESULT readRecord(IStream *stream, StreamRecord &record)
{
    ULONG read = 0;
    const HRESULT hr = stream->Read(&record, sizeof record, &read);
    if (FAILED(hr))
        return hr;
    if (read != sizeof record)
        return STG_E_READFAULT;
    if (record.signature != RecordSignature || record.version != RecordVersion ||
        record.reserved != 0)
        return RPC_E_INVALID_OBJREF;
    return S_OK;
}

// Finds the entry that `record` names. Anything that does not match the table exactly is refused.
HRESULT findEntryLocked(MarshalTable &t, const StreamRecord &record, TableEntry *&entry)
{
    auto it = t.entries.find(record.id);
    if (it == t.entries.end())
        return CO_E_OBJNOTCONNECTED;
    if (it->second.tag != record.tag || it->second.iid != record.iid ||
        it->second.flags != record.flags)
        return RPC_E_INVALID_OBJREF;
    entry = &it->second;
    return S_OK;
}

enum class DataUse { Unmarshal, Release };

// Reads marshalled data from `stream` and hands the caller one reference to the object it names.
// Unmarshalling table data leaves the entry in place (the table keeps its own reference); anything
// else removes the entry and its reference passes to the caller.
HRESULT claimMarshalledObject(IStream *stream, DataUse use, StreamRecord &record, IUnknown *&itf)
{
    if (!stream)
        return E_INVALIDARG;
    if (!currentApartment())
        return CO_E_NOTINITIALIZED;
    HRESULT hr = readRecord(stream, record);
    if (FAILED(hr))
        return hr;
    if (!s_marshalTableMade)
        return CO_E_OBJNOTCONNECTED;
    auto &t = marshalTable();
    std::lock_guard<std::mutex> lock(t.mutex);
    TableEntry *entry = nullptr;
    hr = findEntryLocked(t, record, entry);
    if (FAILED(hr))
        return hr;
    itf = entry->object;
    const bool tableData = (entry->flags & (MSHLFLAGS_TABLESTRONG | MSHLFLAGS_TABLEWEAK)) != 0;
    if (use == DataUse::Unmarshal && tableData)
        itf->AddRef();
    else
        t.entries.erase(record.id);
    return S_OK;
}

void releaseApartmentData(ULONGLONG apartment)
{
    if (!s_marshalTableMade)
        return;
    // The entries move over node by node (no allocation, nothing to fail), to be released outside
    // the lock.
    std::map<ULONGLONG, TableEntry> released;
    {
        auto &t = marshalTable();
        std::lock_guard<std::mutex> lock(t.mutex);
        for (auto it = t.entries.begin(); it != t.entries.end();) {
            if (it->second.apartment == apartment)
                released.insert(t.entries.extract(it++));
            else
                ++it;
        }
    }
    for (auto &entry : released)
        entry.second.object->Release();
}

// ---------------------------------------------------------------------------------------------
// Class objects

struct ClassRegistration {
    CLSID clsid;
    IUnknown *factory;
    DWORD context;
    DWORD flags;
    bool used;
};

std::mutex s_classMutex;
std::map<DWORD, ClassRegistration> s_classes;
DWORD s_nextCookie = 1;

} // namespace

// ---------------------------------------------------------------------------------------------

HRESULT CoInitializeEx(LPVOID reserved, DWORD coInit)
{
    if (reserved)
        return E_INVALIDARG;
    if (coInit & ~DWORD(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE |
                        COINIT_SPEED_OVER_MEMORY))
        return E_INVALIDARG;
    const bool singleThreaded = (coInit & COINIT_APARTMENTTHREADED) != 0;
    ThreadApartment &a = t_apartment;
    if (a.entries > 0) {
        if (a.singleThreaded != singleThreaded)
            return RPC_E_CHANGED_MODE;
        ++a.entries;
        return S_FALSE;
    }
    std::lock_guard<std::mutex> lock(s_apartmentMutex);
    a.singleThreaded = singleThreaded;
    if (singleThreaded) {
        a.id = s_nextApartment++;
    } else {
        a.id = MultiThreadedApartment;
        ++s_mtaThreads;
    }
    a.entries = 1;
    return S_OK;
}

void CoUninitialize()
{
    ThreadApartment &a = t_apartment;
    if (a.entries == 0)
        return;
    if (--a.entries > 0)
        return;
    ULONGLONG closing = 0;
    {
        std::lock_guard<std::mutex> lock(s_apartmentMutex);
        if (a.singleThreaded)
            closing = a.id;
        else if (--s_mtaThreads == 0)
            closing = MultiThreadedApartment;
    }
    a.id = 0;
    if (closing)
        releaseApartmentData(closing);
}

HRESULT CoMarshalInterface(LPSTREAM stream, REFIID iid, LPUNKNOWN object, DWORD destContext,
                           LPVOID destContextData, DWORD flags)
{
    if (!stream || !object)
        return E_INVALIDARG;
    const ULONGLONG apartment = currentApartment();
    if (!apartment)
        return CO_E_NOTINITIALIZED;
    if (destContext > MSHCTX_CROSSCTX)
        return E_INVALIDARG;
    if (destContext != MSHCTX_INPROC && destContext != MSHCTX_CROSSCTX)
        return E_NOTIMPL; // no other process can reach this table
    if ((flags & ~DWORD(MSHLFLAGS_TABLESTRONG | MSHLFLAGS_TABLEWEAK | MSHLFLAGS_NOPING)) ||
        ((flags & MSHLFLAGS_TABLESTRONG) && (flags & MSHLFLAGS_TABLEWEAK)))
        return E_INVALIDARG;

    void *raw = nullptr;
    HRESULT hr = object->QueryInterface(iid, &raw);
    if (FAILED(hr))
        return hr;
    if (!raw)
        return E_NOINTERFACE;
    auto *itf = static_cast<IUnknown *>(raw);

    StreamRecord record;
    std::memset(&record, 0, sizeof record);
    record.signature = RecordSignature;
    record.version = RecordVersion;
    record.flags = flags;
    record.iid = iid;
    try {
        auto &t = marshalTable();
        std::lock_guard<std::mutex> lock(t.mutex);
        record.id = t.nextId++;
        record.tag = t.tags();
        t.entries.emplace(record.id, TableEntry{itf, iid, flags, record.tag, apartment});
    } catch (const std::bad_alloc &) {
        itf->Release();
        return E_OUTOFMEMORY;
    }
    ULONG written = 0;
    hr = stream->Write(&record, sizeof record, &written);
    if (SUCCEEDED(hr) && written != sizeof record)
        hr = STG_E_MEDIUMFULL;
    if (FAILED(hr)) {
        {
            auto &t = marshalTable();
            std::lock_guard<std::mutex> lock(t.mutex);
            t.entries.erase(record.id);
        }
        itf->Release();
        return hr;
    }
    return S_OK;
}

HRESULT CoUnmarshalInterface(LPSTREAM stream, REFIID iid, LPVOID *object)
{
    if (!object)
        return E_INVALIDARG;
    *object = nullptr;
    StreamRecord record;
    IUnknown *itf = nullptr;
    HRESULT hr = claimMarshalledObject(stream, DataUse::Unmarshal, record, itf);
    if (FAILED(hr))
        return hr;
    hr = itf->QueryInterface(iid == IID_NULL ? record.iid : iid, object);
    itf->Release();
    if (FAILED(hr))
        *object = nullptr;
    return hr;
}

HRESULT CoReleaseMarshalData(LPSTREAM stream)
{
    StreamRecord record;
    IUnknown *itf = nullptr;
    const HRESULT hr = claimMarshalledObject(stream, DataUse::Release, record, itf);
    if (FAILED(hr))
        return hr;
    itf->Release();
    return S_OK;
}

HRESULT CoRegisterClassObject(REFCLSID clsid, LPUNKNOWN factory, DWORD context, DWORD flags,
                              DWORD *cookie)
{
    if (!cookie)
        return E_INVALIDARG;
    *cookie = 0;
    if (!factory)
        return E_INVALIDARG;
    if (!currentApartment())
        return CO_E_NOTINITIALIZED;
    if (flags > REGCLS_MULTI_SEPARATE)
        return E_INVALIDARG;
    factory->AddRef();
    try {
        std::lock_guard<std::mutex> lock(s_classMutex);
        s_classes.emplace(s_nextCookie, ClassRegistration{clsid, factory, context, flags, false});
        *cookie = s_nextCookie++;
    } catch (const std::bad_alloc &) {
        factory->Release();
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT CoRevokeClassObject(DWORD cookie)
{
    IUnknown *factory = nullptr;
    {
        std::lock_guard<std::mutex> lock(s_classMutex);
        auto it = s_classes.find(cookie);
        if (it == s_classes.end())
            return CO_E_OBJNOTREG;
        factory = it->second.factory;
        s_classes.erase(it);
    }
    factory->Release();
    return S_OK;
}

HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, LPVOID serverInfo, REFIID iid,
                         LPVOID *object)
{
    if (!object)
        return E_INVALIDARG;
    *object = nullptr;
    if (!currentApartment())
        return CO_E_NOTINITIALIZED;
    IUnknown *factory = nullptr;
    {
        std::lock_guard<std::mutex> lock(s_classMutex);
        for (auto &entry : s_classes) {
            ClassRegistration &r = entry.second;
            if (r.clsid == clsid && (r.context & context) && !r.used) {
                factory = r.factory;
                factory->AddRef();
                if (r.flags == REGCLS_SINGLEUSE)
                    r.used = true;
                break;
            }
        }
    }
    if (!factory)
        return REGDB_E_CLASSNOTREG;
    const HRESULT hr = factory->QueryInterface(iid, object);
    factory->Release();
    if (FAILED(hr))
        *object = nullptr;
    return hr;
}

HRESULT CoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD context, REFIID iid,
                         LPVOID *object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    IClassFactory *factory = nullptr;
    HRESULT hr = CoGetClassObject(clsid, context, nullptr, IID_IClassFactory,
                                  reinterpret_cast<void **>(&factory));
    if (FAILED(hr))
        return hr;
    hr = factory->CreateInstance(outer, iid, object);
    factory->Release();
    if (FAILED(hr))
        *object = nullptr;
    return hr;
}
