// Injected allocation failures for tests: let `after` allocations through, then fail `count`.
#pragma once
#include "tsw/types.h"

#include <mutex>

namespace tsplatform {

class FailureSeam
{
public:
    // True when this allocation is to fail.
    bool fail()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_count == 0)
            return false;
        if (m_after > 0) {
            --m_after;
            return false;
        }
        --m_count;
        return true;
    }
    UINT arm(UINT count, UINT after)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const UINT pending = m_count;
        m_count = count;
        m_after = count ? after : 0;
        return pending;
    }

private:
    std::mutex m_mutex;
    UINT m_count = 0;
    UINT m_after = 0;
};

} // namespace tsplatform
