// A strict syntax check of JSON text. Internal to the library.
#pragma once

#include <cstddef>
#include <string>

namespace tsnet {

// Deepest nesting of objects and arrays accepted, well inside what Qt's JSON reader allows.
constexpr int MaxJsonDepth = 256;

// True when `data` is one JSON object (RFC 8259, UTF-8 without byte-order mark) with nothing but
// white space around it, nested at most MaxJsonDepth deep, with every number finite as a double.
// Otherwise false, with the reason and its byte offset in `why`. Qt's reader is only handed text
// that passes: its error paths lose memory.
bool IsWellFormedJsonObject(const char *data, std::size_t size, std::string &why);

} // namespace tsnet
