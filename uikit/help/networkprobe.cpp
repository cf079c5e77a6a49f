#include "help/networkprobe.h"

#include "foundation/waitcursor_p.h"
#include "registry.h"

namespace {

const WCHAR kConsoleKey[] = u"Software\\Morlen\\TsConsole\\8.0";
const WCHAR kProductKey[] = u"Software\\Morlen\\Tessaro\\8.0";

// Closes a WinINet handle when it goes out of scope.
class InternetHandle
{
public:
    explicit InternetHandle(HINTERNET handle) : m_handle(handle) {}
    ~InternetHandle()
    {
        if (m_handle)
            InternetCloseHandle(m_handle);
    }
    InternetHandle(const InternetHandle &) = delete;
    InternetHandle &operator=(const InternetHandle &) = delete;
    HINTERNET get() const { return m_handle; }

private:
    HINTERNET m_handle;
};

WString AddressToOpen(const WString &address)
{
    for (const WCHAR *scheme : {u"ftp:", u"gopher:", u"http:", u"https:"})
        if (address.find(scheme) != WString::npos)
            return address;
    return u"http://" + address;
}

} // namespace

bool IsNetwokOverrideLocal()
{
    CRegistry registry;
    DWORD value = 0;
    for (const WCHAR *key : {kConsoleKey, kProductKey})
        if (registry.Open(HKEY_LOCAL_MACHINE, key, KEY_READ) == ERROR_SUCCESS
            && registry.ReadDword(u"LocalHelp", value) == ERROR_SUCCESS)
            return true;
    return false;
}

bool IsNetwokConnectedUrl(const WString &address)
{
    const tsuikit::WaitCursor wait;
    DWORD flags = 0;
    if (!InternetGetConnectedState(&flags, 0))
        return false;
    // Closed in reverse order: the address before its session.
    const InternetHandle session(InternetOpenW(u"Tessaro", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session.get())
        return false;
    const WString url = AddressToOpen(address);
    const InternetHandle opened(InternetOpenUrlW(session.get(), url.c_str(), nullptr, 0, 0, 0));
    return opened.get() != nullptr;
}
