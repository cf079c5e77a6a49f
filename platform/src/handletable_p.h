// Opaque handles that the platform hands out: looked up by value, never dereferenced, never reused.
#pragma once

#include "tsw/types.h"

#include <map>
#include <mutex>
#include <optional>
#include <utility>

namespace tsw {

// Values are odd numbers from `first` up, so that a handle is never a small integer or a valid
// pointer, and a closed handle is never answered again.
template <class Record>
class HandleTable
{
public:
    explicit HandleTable(ULONG_PTR first) : m_next(first | 1) {}

    ULONG_PTR Add(Record record)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const ULONG_PTR value = m_next;
        m_next += 2;
        m_records.emplace(value, std::move(record));
        return value;
    }

    std::optional<Record> Find(const void *handle) const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto it = m_records.find(reinterpret_cast<ULONG_PTR>(handle));
        if (it == m_records.end())
            return std::nullopt;
        return it->second;
    }

    bool Remove(const void *handle)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_records.erase(reinterpret_cast<ULONG_PTR>(handle)) != 0;
    }

private:
    mutable std::mutex m_mutex;
    std::map<ULONG_PTR, Record> m_records;
    ULONG_PTR m_next;
};

} // namespace tsw
