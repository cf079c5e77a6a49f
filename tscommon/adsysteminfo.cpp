// The directory service's system-information object (ADSystemInfo) over the network description.
// The library registers its class object with the platform's class registry when it is loaded,
// so callers reach it through CoCreateInstance as they would reach the system's.
#include "networkbackend.h"

#include "tswin.h"

namespace {

class SystemInfo : public IADsADSystemInfo, public CComObjectRootEx<CComMultiThreadModel>
{
public:
    BEGIN_COM_MAP(SystemInfo)
        COM_INTERFACE_ENTRY_IID(IID_IADsADSystemInfo, IADsADSystemInfo)
    END_COM_MAP()

    HRESULT GetTrees(VARIANT *trees) override
    {
        tsnet::CountNetworkCall();
        if (!trees)
            return E_POINTER;
        const auto network = tsnet::CurrentNetwork();
        if (network->loadError != ERROR_SUCCESS)
            return HRESULT_FROM_WIN32(network->loadError);
        if (FAILED(network->treesFailure))
            return network->treesFailure;
        SAFEARRAY *array = SafeArrayCreateVector(VT_VARIANT, 0, ULONG(network->trees.size()));
        if (!array)
            return E_OUTOFMEMORY;
        LONG index = 0;
        for (std::size_t t : network->trees) {
            const tsnet::Text &name = network->objects[t].name;
            VARIANT element;
            VariantInit(&element);
            element.vt = VT_BSTR;
            element.bstrVal = SysAllocStringLen(name.data(), UINT(name.size()));
            const HRESULT hr = element.bstrVal ? SafeArrayPutElement(array, &index, &element) : E_OUTOFMEMORY;
            VariantClear(&element);
            if (FAILED(hr)) {
                SafeArrayDestroy(array);
                return hr;
            }
            ++index;
        }
        VariantClear(trees);
        trees->vt = VT_ARRAY | VT_VARIANT;
        trees->parray = array;
        return S_OK;
    }

protected:
    ~SystemInfo() = default;
};

// Held in a static as a CComObjectGlobal: it lives as long as the library.
class SystemInfoFactory : public IClassFactory, public CComObjectRootEx<CComMultiThreadModel>
{
public:
    BEGIN_COM_MAP(SystemInfoFactory)
        COM_INTERFACE_ENTRY_IID(IID_IClassFactory, IClassFactory)
    END_COM_MAP()

    HRESULT CreateInstance(IUnknown *outer, REFIID iid, void **object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        tsnet::CountNetworkCall();
        const HRESULT injected = tsnet::CurrentNetwork()->directoryCreateFailure;
        if (FAILED(injected))
            return injected;
        CComObject<SystemInfo> *info = nullptr;
        HRESULT hr = CComObject<SystemInfo>::CreateInstance(&info);
        if (FAILED(hr))
            return hr;
        // Held across the lookup, so that an interface it lacks frees the object.
        info->AddRef();
        hr = info->QueryInterface(iid, object);
        info->Release();
        return hr;
    }
    HRESULT LockServer(BOOL) override { return S_OK; }
};

// Registers the class at load and revokes it at unload. The registry wants its caller in an
// apartment: a thread outside one enters and leaves the multithreaded apartment around the call.
class Registration
{
public:
    Registration()
    {
        const HRESULT entered = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        CoRegisterClassObject(CLSID_ADSystemInfo, &m_factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                              &m_cookie);
        if (SUCCEEDED(entered))
            CoUninitialize();
    }
    ~Registration()
    {
        if (m_cookie)
            CoRevokeClassObject(m_cookie);
    }

private:
    CComObjectGlobal<SystemInfoFactory> m_factory;
    DWORD m_cookie = 0;
};

const Registration s_registration;

} // namespace
