#include "browser.h"

// Until the network description backend exists, every enumeration reports that no network is
// reachable; callers show that as an error and list nothing.

CBrowser::CBrowser() : m_lastError(ERROR_SUCCESS) {}

CBrowser::~CBrowser() = default;

BOOL CBrowser::FindFirstDomain()
{
    m_lastError = ERROR_NO_NETWORK;
    return FALSE;
}

BOOL CBrowser::GetDomainName(LPWSTR) { return FALSE; }

BOOL CBrowser::FindNextDomain() { return FALSE; }

BOOL CBrowser::FindDomainClose() { return TRUE; }

BOOL CBrowser::FindFirstComputer(LPCWSTR)
{
    m_lastError = ERROR_NO_NETWORK;
    return FALSE;
}

BOOL CBrowser::GetComputerNameW(LPWSTR) { return FALSE; }

BOOL CBrowser::GetMachineVersion(DWORD &major, DWORD &minor)
{
    major = 0;
    minor = 0;
    return FALSE;
}

BOOL CBrowser::FindNextComputer() { return FALSE; }

BOOL CBrowser::FindComputerClose() { return TRUE; }

DWORD CBrowser::GetErrorMessage() const { return m_lastError; }

BOOL CBrowser::IsDomainActiveDirectory() { return FALSE; }

long CBrowser::PopulateADAtLevel(std::basic_string<WCHAR>,
                                 std::list<_ACTIVE_DIRECTORY_BROWSER_DATA> &)
{
    return HRESULT_FROM_WIN32(ERROR_NO_NETWORK);
}

BOOL CBrowser::DoesContainerHaveComputerInIt(const std::basic_string<WCHAR> &) { return FALSE; }
