// The network that the browsing stand-in shows, read from a description file.
#pragma once
#include "tscommon_export.h"
#include "tswin.h"

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

namespace tsnet {

using Text = std::basic_string<WCHAR>;

// Longest name the description may hold: callers' name buffers are 512 units with the terminator.
constexpr std::size_t MaxNameLength = 511;
// Longest directory path: deep trees of long names would otherwise grow their paths quadratically.
constexpr std::size_t MaxPathLength = 2048;
// Largest description read, in bytes.
constexpr std::size_t MaxDescriptionSize = 4 * 1024 * 1024;

// A failure injected into an enumeration: the Win32 or network code of the failing find call and,
// for ERROR_EXTENDED_ERROR, what WNetGetLastErrorW then reports.
struct Failure {
    DWORD code = 0; // 0: no failure
    DWORD providerCode = 0;
    Text description;
    Text provider;
};

struct Computer {
    Text name; // empty: the entry cannot be read and is skipped
    DWORD major = 0;
    DWORD minor = 0;
};

struct Domain {
    Text name; // empty: the entry cannot be read and is skipped
    Failure failure;
    std::vector<Computer> computers;
};

// An object of the directory. Trees are the top objects; each child's path is its parent's path,
// a slash and its name.
struct DirectoryObject {
    Text path;
    Text name;
    DWORD type = 1;              // 0 computer, 1 container, 2 domain, others possible
    HRESULT failure = S_OK;      // what listing its children returns instead of them
    bool holdsComputer = false;  // a computer somewhere below
    std::vector<std::size_t> children; // indices into Network::objects
};

struct Network {
    // ERROR_SUCCESS for a usable description; otherwise every call fails with it.
    DWORD loadError = ERROR_SUCCESS;
    // Why the description was refused, for people reading test output.
    std::string loadMessage;

    bool activeDirectory = false;
    Failure domainsFailure;
    std::vector<Domain> domains;

    HRESULT directoryCreateFailure = S_OK; // creating the system-information object fails
    HRESULT treesFailure = S_OK;           // its tree list fails
    std::vector<std::size_t> trees;        // indices into objects, in file order
    std::vector<DirectoryObject> objects;
    std::unordered_map<Text, std::size_t> byPath; // first object of each path
};

// Reads a network description (JSON, see the README). Never fails outright: a description that
// is not valid JSON, breaks the format or exceeds its limits comes back with loadError
// ERROR_INVALID_DATA and nothing else.
TSCOMMON_API Network ParseNetworkDescription(const char *data, std::size_t size);

} // namespace tsnet
