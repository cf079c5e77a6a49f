// Reader of compiled resource files (.res), module handles and resource lookup.
#include "resfile_p.h"

#include "tsw/resource.h"

#include <QFile>
#include <QString>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>
#include <unordered_set>

namespace tsw {

namespace {

// Fixed part of a resource header: DataSize, HeaderSize, then (after type and name, DWORD-aligned)
// DataVersion, MemoryFlags, LanguageId, Version, Characteristics.
constexpr std::size_t kPrefixSize = 8;
constexpr std::size_t kTrailerSize = 16;
constexpr std::size_t kMaxModuleBytes = 64u * 1024u * 1024u;

DWORD ReadDword(const unsigned char *p)
{
    return DWORD(p[0]) | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16) | (DWORD(p[3]) << 24);
}

WORD ReadWord(const unsigned char *p)
{
    return WORD(p[0] | (p[1] << 8));
}

char16_t UpperAscii(char16_t c)
{
    return (c >= u'a' && c <= u'z') ? char16_t(c - u'a' + u'A') : c;
}

// Reads a type or name field at `pos` (inside [begin, end)); advances `pos`. False when the field
// runs past the header.
bool ReadResId(const unsigned char *bytes, std::size_t &pos, std::size_t end, ResId &out)
{
    if (end < pos || end - pos < 2)
        return false;
    if (ReadWord(bytes + pos) == 0xFFFF) {
        if (end - pos < 4)
            return false;
        out.isOrdinal = true;
        out.ordinal = ReadWord(bytes + pos + 2);
        pos += 4;
        return true;
    }
    out.isOrdinal = false;
    out.name.clear();
    while (end - pos >= 2) {
        const char16_t c = ReadWord(bytes + pos);
        pos += 2;
        if (c == 0)
            return true;
        out.name.push_back(UpperAscii(c));
    }
    return false; // no terminator inside the header
}

} // namespace

std::unique_ptr<ResourceModule> ParseResourceFile(const unsigned char *bytes, std::size_t size)
{
    auto module = std::make_unique<ResourceModule>();
    if (!bytes)
        return module;
    std::size_t offset = 0;
    while (size - offset >= kPrefixSize) {
        const std::size_t dataSize = ReadDword(bytes + offset);
        const std::size_t headerSize = ReadDword(bytes + offset + 4);
        const std::size_t remaining = size - offset;
        // A header that cannot hold its own fields, or an entry that runs past the end, leaves no
        // trustworthy place to continue from: the rest of the file is dropped.
        if (headerSize < kPrefixSize + 8 + kTrailerSize || headerSize > remaining
            || dataSize > remaining - headerSize)
            break;
        const std::size_t headerEnd = offset + headerSize;
        std::size_t pos = offset + kPrefixSize;
        auto res = std::make_unique<Resource>();
        bool ok = ReadResId(bytes, pos, headerEnd, res->type) && ReadResId(bytes, pos, headerEnd, res->name);
        if (ok) {
            pos = (pos + 3) & ~std::size_t(3);
            ok = pos <= headerEnd && headerEnd - pos >= kTrailerSize;
        }
        if (ok) {
            res->language = ReadWord(bytes + pos + 6);
            // Type 0 marks the empty entry that opens every file; it holds nothing.
            if (!(res->type.isOrdinal && res->type.ordinal == 0)) {
                res->data.assign(bytes + headerEnd, bytes + headerEnd + dataSize);
                module->resources.push_back(std::move(res));
            }
        }
        std::size_t next = headerEnd + dataSize;
        next = next + ((4 - next % 4) % 4);
        if (next <= offset || next > size)
            break;
        offset = next;
    }
    return module;
}

namespace {

bool IdMatches(const ResId &id, LPCWSTR want)
{
    if (IS_INTRESOURCE(want))
        return id.isOrdinal && id.ordinal == WORD(reinterpret_cast<ULONG_PTR>(want));
    if (id.isOrdinal)
        return false;
    std::size_t i = 0;
    for (; want[i]; ++i) {
        if (i >= id.name.size() || id.name[i] != UpperAscii(want[i]))
            return false;
    }
    return i == id.name.size();
}

// Live modules and resources; handles are looked up here before use.
struct Registry {
    std::mutex mutex;
    std::unordered_set<const ResourceModule *> modules;
    std::unordered_set<const Resource *> resources;
};

Registry &TheRegistry()
{
    static Registry *registry = new Registry; // outlives every static destructor that might ask
    return *registry;
}

// Registers the module and its resources, all or nothing: an insertion that throws takes back
// the ones made before it, so no entry is left to name freed memory.
HMODULE Register(std::unique_ptr<ResourceModule> module)
{
    Registry &r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.mutex);
    std::size_t added = 0;
    try {
        for (const auto &res : module->resources) {
            r.resources.insert(res.get());
            ++added;
        }
        r.modules.insert(module.get());
    } catch (...) {
        for (std::size_t i = 0; i < added; ++i)
            r.resources.erase(module->resources[i].get());
        throw;
    }
    return reinterpret_cast<HMODULE>(module.release());
}

// Runs a load; null when memory runs out on the way.
template <class Load>
HMODULE NullWhenOutOfMemory(Load load)
{
    try {
        return load();
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

} // namespace

// Looks a resource up; the caller must hold the registry lock.
const Resource *FindResourceLocked(HMODULE handle, LPCWSTR name, LPCWSTR type)
{
    Registry &r = TheRegistry();
    const auto *module = reinterpret_cast<const ResourceModule *>(handle);
    if (!handle || !name || !type || !r.modules.count(module))
        return nullptr;
    for (const auto &res : module->resources) {
        if (IdMatches(res->type, type) && IdMatches(res->name, name))
            return res.get();
    }
    return nullptr;
}

std::mutex &RegistryMutex()
{
    return TheRegistry().mutex;
}

} // namespace tsw

using namespace tsw;

HMODULE TswLoadResourceModuleFromMemory(const void *data, std::size_t size)
{
    if (!data && size)
        return nullptr;
    return NullWhenOutOfMemory([&] {
        return Register(ParseResourceFile(static_cast<const unsigned char *>(data), size));
    });
}

HMODULE LoadLibraryExW(LPCWSTR path, HANDLE reserved, DWORD flags)
{
    if (!path || reserved || !(flags & (LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)))
        return nullptr;
    return NullWhenOutOfMemory([path]() -> HMODULE {
        QFile file(QString::fromUtf16(path));
        if (!file.open(QIODevice::ReadOnly) || file.size() > qint64(kMaxModuleBytes))
            return nullptr;
        const QByteArray bytes = file.read(qint64(kMaxModuleBytes) + 1);
        if (bytes.size() > int(kMaxModuleBytes))
            return nullptr;
        return Register(ParseResourceFile(reinterpret_cast<const unsigned char *>(bytes.constData()),
                                          std::size_t(bytes.size())));
    });
}

BOOL FreeLibrary(HMODULE handle)
{
    Registry &r = TheRegistry();
    std::unique_ptr<ResourceModule> owned;
    {
        std::lock_guard<std::mutex> lock(r.mutex);
        auto *module = reinterpret_cast<ResourceModule *>(handle);
        if (!handle || !r.modules.erase(module))
            return FALSE;
        for (const auto &res : module->resources)
            r.resources.erase(res.get());
        owned.reset(module);
    }
    return TRUE;
}

int TswResourceCount(HMODULE handle)
{
    Registry &r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.mutex);
    const auto *module = reinterpret_cast<const ResourceModule *>(handle);
    if (!handle || !r.modules.count(module))
        return 0;
    return int(module->resources.size());
}

HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type)
{
    std::lock_guard<std::mutex> lock(RegistryMutex());
    const Resource *res = FindResourceLocked(module, name, type);
    if (!res)
        return nullptr;
    return reinterpret_cast<HRSRC>(const_cast<Resource *>(res));
}

DWORD SizeofResource(HMODULE, HRSRC resource)
{
    std::lock_guard<std::mutex> lock(RegistryMutex());
    const auto *res = reinterpret_cast<const Resource *>(resource);
    if (!resource || !TheRegistry().resources.count(res))
        return 0;
    return DWORD(res->data.size());
}

HGLOBAL LoadResource(HMODULE, HRSRC resource)
{
    std::lock_guard<std::mutex> lock(RegistryMutex());
    const auto *res = reinterpret_cast<const Resource *>(resource);
    if (!resource || !TheRegistry().resources.count(res))
        return nullptr;
    return const_cast<Resource *>(res);
}

LPVOID LockResource(HGLOBAL handle)
{
    std::lock_guard<std::mutex> lock(RegistryMutex());
    const auto *res = static_cast<const Resource *>(handle);
    if (!handle || !TheRegistry().resources.count(res) || res->data.empty())
        return nullptr;
    return const_cast<unsigned char *>(res->data.data());
}
