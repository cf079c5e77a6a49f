// Strict reading of untrusted JSON into one tree. Internal to the library.
#pragma once

#include <nlohmann/json.hpp>

#include <cstddef>
#include <string>

namespace tsnet {

// Deepest nesting of objects and arrays accepted.
constexpr int MaxJsonDepth = 256;

// Reads `data` as one JSON object (RFC 8259, UTF-8 without byte-order mark) with nothing but white
// space around it, in one pass: nested at most MaxJsonDepth deep, no member name twice in one
// object, every number representable as a double (no overflow to infinity, no underflow of a
// non-zero number to 0). True with the object in `out`; otherwise false, with the reason and its
// byte offset in `why`.
bool ReadJsonObject(const char *data, std::size_t size, nlohmann::json &out, std::string &why);

} // namespace tsnet
