// String tables: RT_STRING block id/16+1 holds 16 entries, each a length then that many units.
#include "resfile_p.h"

#include "tsw/resource.h"

#include <algorithm>
#include <cstring>

using namespace tsw;

int LoadStringW(HINSTANCE module, UINT id, LPWSTR buffer, int size)
{
    if (!buffer || size < 0)
        return 0;
    if (size > 0)
        buffer[0] = 0;
    if (id > 0xFFFF) // string identifiers are 16-bit
        return 0;
    std::lock_guard<std::mutex> lock(RegistryMutex());
    const WORD block = WORD((id >> 4) + 1);
    const Resource *res = FindResourceLocked(module, MAKEINTRESOURCEW(block), RT_STRING);
    if (!res)
        return 0;
    const unsigned char *bytes = res->data.data();
    const std::size_t total = res->data.size();
    std::size_t pos = 0;
    for (UINT i = 0; i < (id & 15); ++i) {
        if (total - pos < 2)
            return 0;
        const std::size_t length = bytes[pos] | (bytes[pos + 1] << 8);
        if ((total - pos - 2) / 2 < length)
            return 0;
        pos += 2 + 2 * length;
    }
    if (total - pos < 2)
        return 0;
    std::size_t length = bytes[pos] | (bytes[pos + 1] << 8);
    pos += 2;
    // An entry cut short by the end of the block gives what is there.
    length = std::min(length, (total - pos) / 2);
    if (length == 0)
        return 0;
    if (size == 0) {
        // The text stays inside the module; each resource owns an aligned copy of its bytes.
        const auto *text = reinterpret_cast<const WCHAR *>(bytes + pos);
        std::memcpy(static_cast<void *>(buffer), &text, sizeof text);
        return int(length);
    }
    const std::size_t copied = std::min(length, std::size_t(size) - 1);
    std::memcpy(buffer, bytes + pos, copied * 2);
    buffer[copied] = 0;
    return int(copied);
}
