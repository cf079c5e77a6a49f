#include "chmworker.h"

#include <chm_lib.h>

#include <chrono>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <unordered_map>
#include <vector>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

// The child's protocol, over a stream socket:
//   child, once:      u8 opened; when opened: u32 count, then count times (u16 length, name bytes)
//   parent, request:  u32 name length, name bytes, u64 limit
//   child, answer:    u8 status; when kOk: u64 length, the object's bytes
// Integers travel in host order: both ends are the same program.

// Present in sanitized builds only.
extern "C" void __sanitizer_set_death_callback(void (*callback)()) __attribute__((weak));

namespace tshelp {

namespace {

enum Status : std::uint8_t { kOk = 0, kMissing = 1, kTooLarge = 2, kFailed = 3 };

// No object or name is larger than this (QByteArray's own limit, less its header).
constexpr std::uint64_t kMaxObject = std::uint64_t(INT_MAX) - 64;
// The child's address space may grow this much beyond what it inherits.
constexpr std::uint64_t kChildMemory = 2ull << 30;

// ---- both ends

bool SendAll(int fd, const void *data, size_t size)
{
    const char *at = static_cast<const char *>(data);
    while (size > 0) {
        const ssize_t sent = ::send(fd, at, size, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return false;
        at += sent;
        size -= size_t(sent);
    }
    return true;
}

// ---- the child: plain C++ and chmlib, nothing else of this process's libraries.

bool ReceiveBlocking(int fd, void *data, size_t size)
{
    char *at = static_cast<char *>(data);
    while (size > 0) {
        const ssize_t got = ::recv(fd, at, size, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        at += got;
        size -= size_t(got);
    }
    return true;
}

// Where an object lies; chmlib's own record of it carries a name buffer of half a kilobyte.
struct Unit
{
    LONGUINT64 start;
    LONGUINT64 length;
    int space;
};

struct Listing
{
    std::vector<std::string> names; // in stored order
    std::unordered_map<std::string, Unit> units;
};

int ListUnit(chmFile *, chmUnitInfo *ui, void *context)
{
    auto *listing = static_cast<Listing *>(context);
    const std::string name(ui->path, strnlen(ui->path, sizeof ui->path));
    // A name seen before means the directory's chunk links loop back.
    if (!listing->units.emplace(name, Unit{ui->start, ui->length, ui->space}).second)
        return CHM_ENUMERATOR_SUCCESS;
    listing->names.push_back(name);
    return CHM_ENUMERATOR_CONTINUE;
}

void Confine(int fd)
{
    // Crashes end the child quietly: no handler of this process, no core file.
    for (int sig = 1; sig < NSIG; ++sig)
        std::signal(sig, SIG_DFL);
    std::signal(SIGPIPE, SIG_IGN);
    sigset_t all;
    sigfillset(&all);
    sigprocmask(SIG_UNBLOCK, &all, nullptr);
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    // A sanitizer's report of the child's death would run this process's callback (a fuzzer's, which
    // records the input as a crash of its own).
    if (__sanitizer_set_death_callback)
        __sanitizer_set_death_callback(nullptr);
    // Only the socket stays open, so that no pipe of this process's is held open by the child, and
    // nothing chmlib or the C library prints on its way down reaches this process's output.
    if (fd != 3)
        ::dup2(fd, 3);
    const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    for (int standard = 0; standard < 3 && null >= 0; ++standard)
        ::dup2(null, standard);
    ::close_range(4, ~0u, 0);
    // A bound on memory: what the child inherits, and a margin for the largest object.
    const int statm = ::open("/proc/self/statm", O_RDONLY | O_CLOEXEC);
    if (statm >= 0) {
        char text[64] = {};
        if (::read(statm, text, sizeof text - 1) > 0) {
            const std::uint64_t pages = std::strtoull(text, nullptr, 10);
            const std::uint64_t bytes = pages * std::uint64_t(sysconf(_SC_PAGESIZE)) + kChildMemory;
            const rlimit space{rlim_t(bytes), rlim_t(bytes)};
            setrlimit(RLIMIT_AS, &space);
        }
        ::close(statm);
    }
}

// False when the child's memory bound leaves no room for `size` bytes.
bool Allocate(std::vector<unsigned char> &data, size_t size)
{
    try {
        data.resize(size);
        return true;
    } catch (const std::bad_alloc &) {
        return false;
    }
}

// The child's own bound on each piece of work, a second or two beyond the parent's: a child that loops
// inside chmlib ends even when the parent is gone (an idle child ends when its socket closes).
void ArmAlarm(int answerMilliseconds)
{
    alarm(unsigned(answerMilliseconds / 1000 + 2));
}

[[noreturn]] void Serve(int fd, const char *path, int answerMilliseconds)
{
    Confine(fd);
    fd = 3;

    ArmAlarm(answerMilliseconds);
    chmFile *handle = chm_open(path);
    std::uint8_t opened = handle ? 1 : 0;
    if (!SendAll(fd, &opened, 1) || !handle)
        _exit(0);
    // The stored names are listed once; chmlib's lookup through the index chunks is needed only for
    // names its listing misses.
    Listing listing;
    chm_enumerate(handle, CHM_ENUMERATE_ALL, &ListUnit, &listing);
    const std::uint32_t count = std::uint32_t(listing.names.size());
    if (!SendAll(fd, &count, sizeof count))
        _exit(0);
    for (const std::string &name : listing.names) {
        const std::uint16_t length = std::uint16_t(name.size());
        if (!SendAll(fd, &length, sizeof length) || !SendAll(fd, name.data(), length))
            _exit(0);
    }
    listing.names = {};

    for (;;) {
        alarm(0);
        std::uint32_t nameLength = 0;
        std::uint64_t limit = 0;
        if (!ReceiveBlocking(fd, &nameLength, sizeof nameLength) || nameLength > CHM_MAX_PATHLEN)
            _exit(0);
        std::string name(nameLength, '\0');
        if (!ReceiveBlocking(fd, &name[0], nameLength) || !ReceiveBlocking(fd, &limit, sizeof limit))
            _exit(0);
        ArmAlarm(answerMilliseconds);
        auto found = listing.units.find(name);
        if (found == listing.units.end() && handle && name.find('\0') == std::string::npos) {
            chmUnitInfo ui;
            std::memset(&ui, 0, sizeof ui);
            if (chm_resolve_object(handle, name.c_str(), &ui) == CHM_RESOLVE_SUCCESS)
                found = listing.units.emplace(name, Unit{ui.start, ui.length, ui.space}).first;
        }
        std::uint8_t status = kOk;
        std::vector<unsigned char> data;
        if (found == listing.units.end()) {
            status = kMissing;
        } else {
            chmUnitInfo ui;
            std::memset(&ui, 0, sizeof ui);
            ui.start = found->second.start;
            ui.length = found->second.length;
            ui.space = found->second.space;
            if (ui.length > limit || ui.length > kMaxObject) {
                status = kTooLarge;
            } else if (!handle || !Allocate(data, size_t(ui.length))) {
                status = kFailed;
            } else if (ui.length > 0) {
                const LONGINT64 got = chm_retrieve_object(handle, &ui, data.data(), 0,
                                                          LONGINT64(ui.length));
                if (got != LONGINT64(ui.length)) {
                    status = kFailed;
                    // chmlib keeps a block that failed to decompress in its cache and would hand
                    // its stale bytes to the next read of that block.
                    chm_close(handle);
                    handle = chm_open(path);
                }
            }
        }
        if (!SendAll(fd, &status, 1))
            _exit(0);
        if (status == kOk) {
            const std::uint64_t length = data.size();
            if (!SendAll(fd, &length, sizeof length) || !SendAll(fd, data.data(), data.size()))
                _exit(0);
        }
    }
}

// ---- the parent

using Clock = std::chrono::steady_clock;

// Receives exactly `size` bytes before `deadline`; false on end of stream, error or time-out.
bool Receive(int fd, void *data, size_t size, Clock::time_point deadline)
{
    char *at = static_cast<char *>(data);
    while (size > 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline
                                                                                - Clock::now());
        if (left.count() <= 0)
            return false;
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, int(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        const ssize_t got = ::recv(fd, at, size, MSG_DONTWAIT);
        if (got < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (got <= 0)
            return false;
        at += got;
        size -= size_t(got);
    }
    return true;
}

Clock::time_point Deadline(int milliseconds)
{
    return Clock::now() + std::chrono::milliseconds(milliseconds);
}

} // namespace

std::unique_ptr<ChmWorker> ChmWorker::start(const QByteArray &encodedPath, QList<QByteArray> *names,
                                            int answerMilliseconds)
{
    names->clear();
    if (encodedPath.isEmpty() || encodedPath.contains('\0'))
        return nullptr;
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        return nullptr;
    const std::string path = encodedPath.toStdString();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(ends[0]);
        Serve(ends[1], path.c_str(), answerMilliseconds);
    }
    ::close(ends[1]);
    if (pid < 0) {
        ::close(ends[0]);
        return nullptr;
    }
    std::unique_ptr<ChmWorker> worker(new ChmWorker);
    worker->m_pid = pid;
    worker->m_fd = ends[0];
    worker->m_answerMilliseconds = answerMilliseconds;

    const Clock::time_point deadline = Deadline(answerMilliseconds);
    std::uint8_t opened = 0;
    std::uint32_t count = 0;
    if (!Receive(worker->m_fd, &opened, 1, deadline) || !opened
        || !Receive(worker->m_fd, &count, sizeof count, deadline))
        return nullptr;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint16_t length = 0;
        if (!Receive(worker->m_fd, &length, sizeof length, deadline) || length > CHM_MAX_PATHLEN)
            return nullptr;
        QByteArray name(length, Qt::Uninitialized);
        if (!Receive(worker->m_fd, name.data(), length, deadline))
            return nullptr;
        names->append(name);
    }
    return worker;
}

ChmWorker::~ChmWorker()
{
    stop();
}

void ChmWorker::stop()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        while (::waitpid(m_pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    m_pid = -1;
}

std::optional<QByteArray> ChmWorker::read(const QByteArray &rawName, qint64 limit)
{
    if (m_fd < 0 || limit < 0 || rawName.size() > CHM_MAX_PATHLEN)
        return std::nullopt;
    const std::uint32_t nameLength = std::uint32_t(rawName.size());
    const std::uint64_t wanted = std::uint64_t(limit);
    if (!SendAll(m_fd, &nameLength, sizeof nameLength)
        || !SendAll(m_fd, rawName.constData(), nameLength) || !SendAll(m_fd, &wanted, sizeof wanted)) {
        stop();
        return std::nullopt;
    }
    const Clock::time_point deadline = Deadline(m_answerMilliseconds);
    std::uint8_t status = kFailed;
    if (!Receive(m_fd, &status, 1, deadline) || status > kFailed) {
        stop();
        return std::nullopt;
    }
    if (status != kOk)
        return std::nullopt;
    std::uint64_t length = 0;
    if (!Receive(m_fd, &length, sizeof length, deadline) || length > wanted || length > kMaxObject) {
        stop();
        return std::nullopt;
    }
    QByteArray data(int(length), Qt::Uninitialized);
    if (!Receive(m_fd, data.data(), size_t(length), deadline)) {
        stop();
        return std::nullopt;
    }
    return data;
}

} // namespace tshelp
