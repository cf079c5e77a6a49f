// Injected allocation failures for tests: let `after` allocations through, then fail `count`.
// Armed per thread, so a test never fails another thread's allocations. Unarmed, a check costs one
// relaxed atomic load. `Tag` gives each seam its own state.
#pragma once
#include "tsw/types.h"

#include <atomic>

namespace tsplatform {

template <class Tag>
class FailureSeam
{
public:
    // True when this allocation is to fail.
    static bool fail()
    {
        if (s_armedThreads.load(std::memory_order_relaxed) == 0)
            return false;
        Countdown &c = t_countdown;
        if (c.count == 0)
            return false;
        if (c.after > 0) {
            --c.after;
            return false;
        }
        c.set(c.count - 1, 0);
        return true;
    }
    // Arms the calling thread; returns the failures it still had pending.
    static UINT arm(UINT count, UINT after)
    {
        Countdown &c = t_countdown;
        const UINT pending = c.count;
        c.set(count, count ? after : 0);
        return pending;
    }

private:
    struct Countdown {
        UINT count = 0;
        UINT after = 0;
        void set(UINT newCount, UINT newAfter)
        {
            if (!count != !newCount)
                s_armedThreads.fetch_add(newCount ? 1 : -1, std::memory_order_relaxed);
            count = newCount;
            after = newAfter;
        }
        // A thread that ends armed must not keep every other thread on the slow path.
        ~Countdown() { set(0, 0); }
    };

    static inline std::atomic<int> s_armedThreads{0};
    static inline thread_local Countdown t_countdown;
};

} // namespace tsplatform
