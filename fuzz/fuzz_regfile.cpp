// Registry export files are read from disk that anyone with write access may have prepared.
#include "tsw/regfile.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::unique_ptr<tsw::regfile::Hive> hive = tsw::regfile::ParseRegFile(data, size);
    // Walk everything that was read, and look every name up again as a reader would.
    std::size_t bytes = 0;
    std::vector<const tsw::regfile::Key *> stack;
    for (const tsw::regfile::Key &root : hive->roots)
        stack.push_back(&root);
    while (!stack.empty()) {
        const tsw::regfile::Key *key = stack.back();
        stack.pop_back();
        for (const auto &sub : key->subKeys) {
            const tsw::regfile::Key *found =
                key->FindSubKey(sub.second->name.data(), sub.second->name.size());
            if (found != sub.second.get())
                __builtin_trap();
            stack.push_back(found);
        }
        for (const tsw::regfile::Value &v : key->values) {
            if (key->FindValue(v.name.data(), v.name.size()) != &v)
                __builtin_trap();
            for (unsigned char b : v.data)
                bytes += b;
        }
    }
    static volatile std::size_t sink;
    sink = bytes;
    return 0;
}
