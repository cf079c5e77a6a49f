// Network description files come from wherever TS_NETWORK_FILE points.
#include "networkdescription.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const tsnet::Network n = tsnet::ParseNetworkDescription(reinterpret_cast<const char *>(data), size);
    // What the reader hands out must hold together: every index in range, every path findable,
    // every name short enough for a caller's buffer.
    if (n.loadError != ERROR_SUCCESS && (!n.domains.empty() || !n.objects.empty()))
        __builtin_trap();
    for (const tsnet::Domain &d : n.domains) {
        if (d.name.size() > tsnet::MaxNameLength)
            __builtin_trap();
        for (const tsnet::Computer &c : d.computers)
            if (c.name.size() > tsnet::MaxNameLength)
                __builtin_trap();
    }
    for (std::size_t t : n.trees)
        if (t >= n.objects.size())
            __builtin_trap();
    for (const tsnet::DirectoryObject &o : n.objects) {
        if (o.path.size() > tsnet::MaxPathLength || o.name.size() > tsnet::MaxNameLength)
            __builtin_trap();
        const auto it = n.byPath.find(o.path);
        if (it == n.byPath.end() || it->second >= n.objects.size())
            __builtin_trap();
        for (std::size_t c : o.children)
            if (c >= n.objects.size())
                __builtin_trap();
    }
    return 0;
}
