// Failure injection for operator new, for exception-safety tests. A suite that includes this
// header links allocfailure.cpp, which replaces the global operator new and delete of its program.
#pragma once

namespace tstest {

// Makes the calling thread's allocation number `k` (from 0, counting from now) throw
// std::bad_alloc (or return null from a nothrow new); later ones succeed. Other threads are never
// failed. Allocations made by code in Qt's own libraries are neither counted nor failed: Qt is
// built without exception support and cannot unwind from them.
void FailAllocation(long k);
// Disarms; true when the armed failure was reached.
bool DisarmAllocationFailure();

// Runs `call()` with its k-th allocation failing; true when that failure was reached. Whatever
// the call throws passes on.
template <class Call>
bool WithFailingAllocation(long k, Call call)
{
    FailAllocation(k);
    try {
        call();
    } catch (...) {
        DisarmAllocationFailure();
        throw;
    }
    return DisarmAllocationFailure();
}

// Runs `attempt(k)` for k = 0, 1, ... until it returns false: each attempt sets up, runs the call
// under test through WithFailingAllocation(k, ...), checks, and returns what that returned.
// Returns the number of attempts that failed an allocation.
template <class Attempt>
long ForEachAllocationFailure(Attempt attempt)
{
    long k = 0;
    while (attempt(k))
        ++k;
    return k;
}

} // namespace tstest
