// Parsed resource files. Internal to the platform layer.
#pragma once
#include "tsw/types.h"

#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tsw {

// A type or name of a resource: an ordinal, or a string (kept upper-cased for lookup).
struct ResId {
    bool isOrdinal = true;
    WORD ordinal = 0;
    std::u16string name;
};

struct Resource {
    ResId type;
    ResId name;
    WORD language = 0;
    // Each resource owns its bytes, so string-table text is 2-byte aligned whatever the file did.
    std::vector<unsigned char> data;
};

struct ResourceModule {
    std::vector<std::unique_ptr<Resource>> resources;
};

// Parses resource-file bytes. Whatever cannot be trusted is left out; never fails.
std::unique_ptr<ResourceModule> ParseResourceFile(const unsigned char *bytes, std::size_t size);

// The lock that guards the registry of live modules; hold it while using a found resource.
std::mutex &RegistryMutex();
// Finds a resource of a live module (null for an unknown handle); the caller holds the lock.
const Resource *FindResourceLocked(HMODULE module, LPCWSTR name, LPCWSTR type);

} // namespace tsw
