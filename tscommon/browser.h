// Browsing of the Windows network: domains, their computers, and the directory service.
#pragma once
#include "tscommon_export.h"
#include "tswin.h"

#include <list>
#include <memory>
#include <string>

namespace tsnet {
struct Network;
}

// One enumeration of domains or of the computers of a domain, and access to directory containers.
//
// Usage: construct, call FindFirstDomain() (or FindFirstComputer()); when it returns non-zero,
// read the current entry with GetDomainName() (GetComputerNameW(), GetMachineVersion()), step with
// FindNextDomain() (FindNextComputer()) until it returns 0, then call FindDomainClose()
// (FindComputerClose()). When the first find call returns 0, GetErrorMessage() tells why.
// Name buffers hold at least 512 UTF-16 units.
//
// The network comes from a description file (tsnet::CurrentNetwork(), read when the object is
// built). A find call fails with the code that the description injects for it; a description
// that cannot be read fails every find call with ERROR_FILE_NOT_FOUND, one that cannot be parsed
// with ERROR_INVALID_DATA, and then there is no directory either. An injected failure with code
// ERROR_EXTENDED_ERROR records its description and provider for WNetGetLastErrorW first.
class TSCOMMON_API CBrowser
{
public:
    // A child object of a directory container.
    struct _ACTIVE_DIRECTORY_BROWSER_DATA {
        std::basic_string<WCHAR> adsPath;      // directory path of the object
        DWORD objectType;                       // 0 computer, 1 container, 2 domain (others possible)
        std::basic_string<WCHAR> displayName;   // text to show
    };

    CBrowser();
    virtual ~CBrowser();
    CBrowser(const CBrowser &) = delete;
    CBrowser &operator=(const CBrowser &) = delete;

    // Domains of the network. FindFirstDomain() returns non-zero when the enumeration is open with
    // a current entry; GetDomainName() copies its name (non-zero on success, 0 to skip the entry);
    // FindNextDomain() returns 0 at the end; FindDomainClose() ends the enumeration.
    BOOL FindFirstDomain();
    BOOL GetDomainName(LPWSTR name);
    BOOL FindNextDomain();
    BOOL FindDomainClose();

    // Computers of `domain`, in the same pattern. GetMachineVersion() gives the current
    // computer's system version (0.0 and a zero result when there is no current computer).
    BOOL FindFirstComputer(LPCWSTR domain);
    BOOL GetComputerNameW(LPWSTR name);
    BOOL GetMachineVersion(DWORD &major, DWORD &minor);
    BOOL FindNextComputer();
    BOOL FindComputerClose();

    // The Win32 or network error code of the last failed find call, ERROR_SUCCESS before any.
    DWORD GetErrorMessage() const;

    // Non-zero when this machine belongs to a directory-service domain.
    static BOOL IsDomainActiveDirectory();

    // Fills `children` (expected empty) with the child objects of the directory container at
    // `path` ("LDAP://" and a DNS name, or the adsPath of a child). Returns an HRESULT.
    long PopulateADAtLevel(std::basic_string<WCHAR> path,
                           std::list<_ACTIVE_DIRECTORY_BROWSER_DATA> &children);

    // Non-zero when the directory container at `path` holds a computer, at any depth.
    static BOOL DoesContainerHaveComputerInIt(const std::basic_string<WCHAR> &path);

private:
    std::shared_ptr<const tsnet::Network> m_network;
    DWORD m_lastError;
    // The open enumeration: the domain whose computers are listed (-1 for the domain list) and
    // the current entry; m_current is past the end when nothing is open.
    long m_domain;
    std::size_t m_current;
    bool m_open;
};
