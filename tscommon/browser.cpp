#include "browser.h"

#include "networkbackend.h"
#include "wnet.h"

#include <algorithm>

namespace {

// Copies a name into a caller's 512-unit buffer; an empty name is an entry that cannot be read.
BOOL CopyName(const tsnet::Text &name, LPWSTR buffer)
{
    if (!buffer || name.empty())
        return FALSE;
    const std::size_t n = std::min(name.size(), tsnet::MaxNameLength);
    std::copy_n(name.data(), n, buffer);
    buffer[n] = 0;
    return TRUE;
}

// The code a failing find call reports, after recording an extended error for WNetGetLastErrorW.
DWORD Report(const tsnet::Failure &f)
{
    if (f.code == ERROR_EXTENDED_ERROR)
        WNetSetLastErrorW(f.providerCode, f.description.c_str(), f.provider.c_str());
    return f.code;
}

const tsnet::DirectoryObject *FindObject(const tsnet::Network &n, const tsnet::Text &path)
{
    const auto it = n.byPath.find(path);
    return it == n.byPath.end() ? nullptr : &n.objects[it->second];
}

} // namespace

CBrowser::CBrowser()
    : m_network(tsnet::CurrentNetwork()), m_lastError(ERROR_SUCCESS), m_domain(-1), m_current(0),
      m_open(false)
{
}

CBrowser::~CBrowser() = default;

BOOL CBrowser::FindFirstDomain()
{
    tsnet::CountNetworkCall();
    m_open = false;
    if (m_network->loadError != ERROR_SUCCESS) {
        m_lastError = m_network->loadError;
        return FALSE;
    }
    if (m_network->domainsFailure.code) {
        m_lastError = Report(m_network->domainsFailure);
        return FALSE;
    }
    if (m_network->domains.empty()) {
        m_lastError = ERROR_NO_BROWSER_SERVERS_FOUND;
        return FALSE;
    }
    m_domain = -1;
    m_current = 0;
    m_open = true;
    return TRUE;
}

BOOL CBrowser::GetDomainName(LPWSTR name)
{
    if (!m_open || m_domain != -1 || m_current >= m_network->domains.size())
        return FALSE;
    return CopyName(m_network->domains[m_current].name, name);
}

BOOL CBrowser::FindNextDomain()
{
    if (!m_open || m_domain != -1 || m_current >= m_network->domains.size())
        return FALSE;
    return ++m_current < m_network->domains.size();
}

BOOL CBrowser::FindDomainClose()
{
    m_open = false;
    return TRUE;
}

BOOL CBrowser::FindFirstComputer(LPCWSTR domain)
{
    tsnet::CountNetworkCall();
    m_open = false;
    if (m_network->loadError != ERROR_SUCCESS) {
        m_lastError = m_network->loadError;
        return FALSE;
    }
    const tsnet::Text wanted = domain ? domain : u"";
    const auto &domains = m_network->domains;
    const auto it = std::find_if(domains.begin(), domains.end(),
                                 [&](const tsnet::Domain &d) { return !d.name.empty() && d.name == wanted; });
    if (it == domains.end()) {
        m_lastError = ERROR_NO_SUCH_DOMAIN;
        return FALSE;
    }
    if (it->failure.code) {
        m_lastError = Report(it->failure);
        return FALSE;
    }
    if (it->computers.empty()) {
        m_lastError = ERROR_NO_BROWSER_SERVERS_FOUND;
        return FALSE;
    }
    m_domain = long(it - domains.begin());
    m_current = 0;
    m_open = true;
    return TRUE;
}

BOOL CBrowser::GetComputerNameW(LPWSTR name)
{
    if (!m_open || m_domain < 0 || m_current >= m_network->domains[std::size_t(m_domain)].computers.size())
        return FALSE;
    return CopyName(m_network->domains[std::size_t(m_domain)].computers[m_current].name, name);
}

BOOL CBrowser::GetMachineVersion(DWORD &major, DWORD &minor)
{
    major = 0;
    minor = 0;
    if (!m_open || m_domain < 0 || m_current >= m_network->domains[std::size_t(m_domain)].computers.size())
        return FALSE;
    const tsnet::Computer &c = m_network->domains[std::size_t(m_domain)].computers[m_current];
    major = c.major;
    minor = c.minor;
    return TRUE;
}

BOOL CBrowser::FindNextComputer()
{
    if (!m_open || m_domain < 0)
        return FALSE;
    const std::size_t count = m_network->domains[std::size_t(m_domain)].computers.size();
    if (m_current >= count)
        return FALSE;
    return ++m_current < count;
}

BOOL CBrowser::FindComputerClose()
{
    m_open = false;
    return TRUE;
}

DWORD CBrowser::GetErrorMessage() const { return m_lastError; }

BOOL CBrowser::IsDomainActiveDirectory()
{
    tsnet::CountNetworkCall();
    const auto network = tsnet::CurrentNetwork();
    return network->loadError == ERROR_SUCCESS && network->activeDirectory;
}

long CBrowser::PopulateADAtLevel(std::basic_string<WCHAR> path,
                                 std::list<_ACTIVE_DIRECTORY_BROWSER_DATA> &children)
{
    tsnet::CountNetworkCall();
    if (m_network->loadError != ERROR_SUCCESS)
        return HRESULT_FROM_WIN32(m_network->loadError);
    const tsnet::DirectoryObject *object = FindObject(*m_network, path);
    if (!object)
        return HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
    if (FAILED(object->failure))
        return object->failure;
    for (std::size_t c : object->children) {
        const tsnet::DirectoryObject &child = m_network->objects[c];
        children.push_back({child.path, child.type, child.name});
    }
    return S_OK;
}

BOOL CBrowser::DoesContainerHaveComputerInIt(const std::basic_string<WCHAR> &path)
{
    tsnet::CountNetworkCall();
    const auto network = tsnet::CurrentNetwork();
    if (network->loadError != ERROR_SUCCESS)
        return FALSE;
    const tsnet::DirectoryObject *object = FindObject(*network, path);
    return object && object->holdsComputer;
}
