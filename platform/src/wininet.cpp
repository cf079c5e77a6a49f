#include "tsw/wininet.h"

#include "backendapi_p.h"
#include "handletable_p.h"
#include "lasterror_p.h"
#include "tsw/backend.h"

#include <QString>

#include <atomic>
#include <cstring>
#include <ifaddrs.h>
#include <net/if.h>
#include <string>
#include <sys/socket.h>

namespace {

enum class Kind { Session, Address };

struct Handle {
    Kind kind;
    std::string agent;  // sessions: the user agent, UTF-8
    bool direct;        // sessions: no proxy whatever the environment says
};

tsw::HandleTable<Handle> &Table()
{
    static tsw::HandleTable<Handle> table(0x10001);
    return table;
}
std::atomic<unsigned long> g_sessionsOpened{0};

HINTERNET AddHandle(Handle handle)
{
    return reinterpret_cast<HINTERNET>(Table().Add(std::move(handle)));
}

bool FindSession(HINTERNET session, Handle &out)
{
    const std::optional<Handle> found = Table().Find(session);
    if (!found || found->kind != Kind::Session)
        return false;
    out = *found;
    return true;
}

// The libcurl back-end, loaded with the first session.
tsw::backend::OpenUrlFn OpenUrl()
{
    return reinterpret_cast<tsw::backend::OpenUrlFn>(
        TswBackEndSymbol(tsw::backend::kInternet, tsw::backend::kOpenUrl));
}

std::string Utf8(LPCWSTR text)
{
    return text ? QString::fromUtf16(text).toStdString() : std::string();
}

// The lower-case scheme of `url` (the text before the first ':') when it is one that can be
// opened, else empty.
std::string SupportedScheme(const std::string &url)
{
    const std::size_t colon = url.find(':');
    if (colon == std::string::npos)
        return {};
    std::string scheme = url.substr(0, colon);
    for (char &c : scheme)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    for (const char *known : {"http", "https", "ftp", "gopher"})
        if (scheme == known)
            return scheme;
    return {};
}

} // namespace

BOOL InternetGetConnectedState(LPDWORD flags, DWORD reserved)
{
    if (flags)
        *flags = 0;
    if (reserved != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    ifaddrs *list = nullptr;
    if (getifaddrs(&list) != 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    bool connected = false;
    for (const ifaddrs *it = list; it && !connected; it = it->ifa_next) {
        if (!it->ifa_addr || (it->ifa_addr->sa_family != AF_INET && it->ifa_addr->sa_family != AF_INET6))
            continue;
        const unsigned int up = IFF_UP | IFF_RUNNING;
        connected = (it->ifa_flags & up) == up && !(it->ifa_flags & IFF_LOOPBACK);
    }
    freeifaddrs(list);
    if (connected && flags)
        *flags = INTERNET_CONNECTION_LAN;
    SetLastError(ERROR_SUCCESS);
    return connected ? TRUE : FALSE;
}

HINTERNET InternetOpenW(LPCWSTR agent, DWORD accessType, LPCWSTR proxy, LPCWSTR proxyBypass,
                        DWORD flags)
{
    if ((accessType != INTERNET_OPEN_TYPE_PRECONFIG && accessType != INTERNET_OPEN_TYPE_DIRECT)
        || (proxy && *proxy) || (proxyBypass && *proxyBypass) || flags != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (!OpenUrl()) {
        SetLastError(ERROR_INTERNET_INTERNAL_ERROR);
        return nullptr;
    }
    HINTERNET session = AddHandle({Kind::Session, Utf8(agent), accessType == INTERNET_OPEN_TYPE_DIRECT});
    ++g_sessionsOpened;
    SetLastError(ERROR_SUCCESS);
    return session;
}

HINTERNET InternetOpenUrlW(HINTERNET session, LPCWSTR url, LPCWSTR headers, DWORD headersLength,
                           DWORD flags, DWORD_PTR)
{
    Handle owner;
    if (!FindSession(session, owner)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (!url || (headers && (headersLength != 0 || *headers)) || flags != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const std::string address = Utf8(url);
    const std::string scheme = SupportedScheme(address);
    if (scheme.empty()) {
        SetLastError(ERROR_INTERNET_UNRECOGNIZED_SCHEME);
        return nullptr;
    }
    // Every scheme that can be opened names a server: "scheme://server...".
    if (address.compare(scheme.size() + 1, 2, "//") != 0) {
        SetLastError(ERROR_INTERNET_INVALID_URL);
        return nullptr;
    }
    // (the session's back-end is loaded: the session could not have been opened otherwise)
    const DWORD status = OpenUrl()(address.c_str(), owner.agent.c_str(), owner.direct);
    if (status != ERROR_SUCCESS) {
        SetLastError(status);
        return nullptr;
    }
    SetLastError(ERROR_SUCCESS);
    return AddHandle({Kind::Address, {}, false});
}

BOOL InternetCloseHandle(HINTERNET handle)
{
    if (!Table().Remove(handle)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

unsigned long TswInternetSessionsOpened() { return g_sessionsOpened.load(); }
