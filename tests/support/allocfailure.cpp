// Replacement operator new and delete with a per-thread failure countdown. Everything goes
// through malloc and free, so the sanitizers still see every block and every leak.
#include "allocfailure.h"

#include <dlfcn.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

thread_local long t_countdown = -1; // allocations left before the failure; -1 unarmed
thread_local bool t_reached = false;

// Code in Qt's libraries cannot unwind from a failed allocation.
bool calledFromQt(void *returnAddress)
{
    Dl_info info;
    return dladdr(returnAddress, &info) && info.dli_fname && std::strstr(info.dli_fname, "/libQt5");
}

bool failNow(void *returnAddress)
{
    if (t_countdown < 0 || calledFromQt(returnAddress))
        return false;
    if (t_countdown-- > 0)
        return false;
    t_reached = true;
    return true;
}

void *allocate(std::size_t size, std::size_t alignment, bool nothrow, void *returnAddress)
{
    if (size == 0)
        size = 1;
    void *p = nullptr;
    if (!failNow(returnAddress)) {
        if (alignment <= alignof(std::max_align_t))
            p = std::malloc(size);
        else if (posix_memalign(&p, alignment, size) != 0)
            p = nullptr;
    }
    if (!p && !nothrow)
        throw std::bad_alloc();
    return p;
}

} // namespace

namespace tstest {

void FailAllocation(long k)
{
    t_reached = false;
    t_countdown = k;
}

bool DisarmAllocationFailure()
{
    t_countdown = -1;
    return t_reached;
}

} // namespace tstest

#define TS_CALLER __builtin_return_address(0)
void *operator new(std::size_t n) { return allocate(n, 0, false, TS_CALLER); }
void *operator new[](std::size_t n) { return allocate(n, 0, false, TS_CALLER); }
void *operator new(std::size_t n, const std::nothrow_t &) noexcept { return allocate(n, 0, true, TS_CALLER); }
void *operator new[](std::size_t n, const std::nothrow_t &) noexcept { return allocate(n, 0, true, TS_CALLER); }
void *operator new(std::size_t n, std::align_val_t a) { return allocate(n, std::size_t(a), false, TS_CALLER); }
void *operator new[](std::size_t n, std::align_val_t a) { return allocate(n, std::size_t(a), false, TS_CALLER); }
void *operator new(std::size_t n, std::align_val_t a, const std::nothrow_t &) noexcept
{
    return allocate(n, std::size_t(a), true, TS_CALLER);
}
void *operator new[](std::size_t n, std::align_val_t a, const std::nothrow_t &) noexcept
{
    return allocate(n, std::size_t(a), true, TS_CALLER);
}
void operator delete(void *p) noexcept { std::free(p); }
void operator delete[](void *p) noexcept { std::free(p); }
void operator delete(void *p, std::size_t) noexcept { std::free(p); }
void operator delete[](void *p, std::size_t) noexcept { std::free(p); }
void operator delete(void *p, const std::nothrow_t &) noexcept { std::free(p); }
void operator delete[](void *p, const std::nothrow_t &) noexcept { std::free(p); }
void operator delete(void *p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void *p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void *p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void *p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete(void *p, std::align_val_t, const std::nothrow_t &) noexcept { std::free(p); }
void operator delete[](void *p, std::align_val_t, const std::nothrow_t &) noexcept { std::free(p); }
