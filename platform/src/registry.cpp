// The Reg* calls over the hive read from the registry file.
#include "tsw/registry.h"
#include "tsw/regfile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

using tsw::regfile::Hive;
using tsw::regfile::Key;
using tsw::regfile::Value;

namespace {

const char kDefaultRegistryFile[] = "/etc/tessaro/registry.reg";

// The root of a predefined key handle, or RootCount when `key` is not one of them.
tsw::regfile::Root RootOfHandle(HKEY key)
{
    using namespace tsw::regfile;
    if (key == HKEY_CLASSES_ROOT)
        return ClassesRoot;
    if (key == HKEY_CURRENT_USER)
        return CurrentUser;
    if (key == HKEY_LOCAL_MACHINE)
        return LocalMachine;
    if (key == HKEY_USERS)
        return Users;
    if (key == HKEY_CURRENT_CONFIG)
        return CurrentConfig;
    return RootCount;
}

// Identity of the file a hive was read from; a change of any part means a re-read.
struct FileIdentity {
    std::string path;
    bool exists = false;
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    long long mtimeSec = 0;
    long mtimeNsec = 0;

    bool operator==(const FileIdentity &o) const
    {
        return path == o.path && exists == o.exists && dev == o.dev && ino == o.ino
            && size == o.size && mtimeSec == o.mtimeSec && mtimeNsec == o.mtimeNsec;
    }
};

struct OpenKey {
    std::shared_ptr<const Hive> hive;  // keeps the snapshot alive while the key is open
    const Key *key;
};

struct State {
    std::mutex mutex;
    bool loaded = false;
    FileIdentity identity;
    std::shared_ptr<const Hive> hive;
    std::unordered_map<ULONG_PTR, OpenKey> handles;
    ULONG_PTR nextHandle = 0x1000;
};

State &state()
{
    // Never destroyed: keys may still be closed from other libraries' static destructors.
    static State *s = new State;
    return *s;
}

std::string registryPath()
{
    const char *env = std::getenv("TS_REGISTRY_FILE");
    return env && *env ? std::string(env) : std::string(kDefaultRegistryFile);
}

FileIdentity identify(const std::string &path)
{
    FileIdentity id;
    id.path = path;
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) {
        id.exists = true;
        id.dev = st.st_dev;
        id.ino = st.st_ino;
        id.size = st.st_size;
        id.mtimeSec = st.st_mtim.tv_sec;
        id.mtimeNsec = st.st_mtim.tv_nsec;
    }
    return id;
}

// Reads a regular file of at most the parser's limit; anything else reads as an empty hive.
std::shared_ptr<const Hive> load(const FileIdentity &id)
{
    std::shared_ptr<Hive> empty = std::make_shared<Hive>();
    if (!id.exists)
        return empty;
    const int fd = ::open(id.path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return empty;
    struct stat st;
    std::string bytes;
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (ok && std::size_t(st.st_size) > tsw::regfile::kMaxFileBytes) {
        empty->report.tooLarge = true;
        ok = false;
    }
    if (ok) {
        // The file may grow while it is read: never take more than the limit plus one byte.
        const std::size_t cap = tsw::regfile::kMaxFileBytes + 1;
        bytes.resize(std::size_t(st.st_size) + 1 < cap ? std::size_t(st.st_size) + 1 : cap);
        std::size_t got = 0;
        while (got < bytes.size()) {
            const ssize_t n = ::read(fd, &bytes[got], bytes.size() - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            got += std::size_t(n);
            if (got == bytes.size() && bytes.size() < cap)
                bytes.resize(bytes.size() * 2 < cap ? bytes.size() * 2 : cap);
        }
        bytes.resize(got);
    }
    ::close(fd);
    if (!ok)
        return empty;
    return std::shared_ptr<const Hive>(tsw::regfile::ParseRegFile(bytes.data(), bytes.size()));
}

// Brings the current hive up to date with the file. Caller holds the mutex.
const std::shared_ptr<const Hive> &currentHive(State &s)
{
    FileIdentity id = identify(registryPath());
    if (!s.loaded || !(id == s.identity)) {
        s.hive = load(id);
        s.identity = std::move(id);
        s.loaded = true;
    }
    return s.hive;
}

// Resolves a handle to its hive and key. Caller holds the mutex.
bool resolve(State &s, HKEY handle, OpenKey &out)
{
    const tsw::regfile::Root root = RootOfHandle(handle);
    if (root != tsw::regfile::RootCount) {
        out.hive = currentHive(s);
        out.key = &out.hive->roots[root];
        return true;
    }
    const auto it = s.handles.find(reinterpret_cast<ULONG_PTR>(handle));
    if (it == s.handles.end())
        return false;
    out = it->second;
    return true;
}

HKEY newHandle(State &s, const OpenKey &key)
{
    const ULONG_PTR value = s.nextHandle;
    s.nextHandle += 4;
    s.handles.emplace(value, key);
    return reinterpret_cast<HKEY>(value);
}

std::size_t wcsLength(LPCWSTR s)
{
    std::size_t n = 0;
    while (s[n])
        ++n;
    return n;
}

// Copies a stored value to a caller's buffer with the documented size rules.
LSTATUS copyData(const Value &v, LPDWORD type, LPBYTE data, LPDWORD dataSize)
{
    const DWORD size = DWORD(v.data.size());
    if (type)
        *type = v.type;
    if (!dataSize)
        return ERROR_SUCCESS;
    if (data) {
        if (*dataSize < size) {
            *dataSize = size;
            return ERROR_MORE_DATA;
        }
        if (size)
            std::memcpy(data, v.data.data(), size);
    }
    *dataSize = size;
    return ERROR_SUCCESS;
}

// Holds the registry lock while a call works on the key behind one handle.
struct LockedKey {
    State &s = state();
    std::lock_guard<std::mutex> lock{s.mutex};
    OpenKey open;
    const bool valid;  // false: the handle names no open key

    explicit LockedKey(HKEY handle) : valid(resolve(s, handle, open)) {}
};

// Rights that would change the hive, which is read-only.
const REGSAM kWriteRights = KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK | 0x00010000L
    | 0x00040000L | 0x00080000L;  // DELETE, WRITE_DAC, WRITE_OWNER

} // namespace

LSTATUS RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD options, REGSAM access, PHKEY result)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    LockedKey from(key);
    if (!from.valid)
        return ERROR_INVALID_HANDLE;

    const Key *k = from.open.key;
    if (subKey && subKey[0] == u'\\')
        return ERROR_BAD_PATHNAME;
    if (subKey && subKey[0]) {
        const std::size_t n = wcsLength(subKey);
        std::size_t start = 0;
        for (std::size_t i = 0; i <= n && k; ++i) {
            if (i < n && subKey[i] != u'\\')
                continue;
            if (i == start) {
                if (i == n)
                    break;  // trailing backslash
                return ERROR_FILE_NOT_FOUND;
            }
            k = k->FindSubKey(subKey + start, i - start);
            start = i + 1;
        }
        if (!k)
            return ERROR_FILE_NOT_FOUND;
    } else if (RootOfHandle(key) != tsw::regfile::RootCount) {
        *result = key;
        return ERROR_SUCCESS;
    }
    if (access & kWriteRights)
        return ERROR_ACCESS_DENIED;
    *result = newHandle(from.s, OpenKey{from.open.hive, k});
    return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                         LPDWORD dataSize)
{
    if (reserved || (data && !dataSize))
        return ERROR_INVALID_PARAMETER;
    LockedKey locked(key);
    if (!locked.valid)
        return ERROR_INVALID_HANDLE;
    const OpenKey &k = locked.open;
    const Value *v = k.key->FindValue(name ? name : u"", name ? wcsLength(name) : 0);
    if (!v)
        return ERROR_FILE_NOT_FOUND;
    return copyData(*v, type, data, dataSize);
}

LSTATUS RegCloseKey(HKEY key)
{
    if (RootOfHandle(key) != tsw::regfile::RootCount)
        return ERROR_SUCCESS;
    State &s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.handles.erase(reinterpret_cast<ULONG_PTR>(key)) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}
