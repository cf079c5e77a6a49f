// Registry export files (.reg) and the in-memory hive read from them.
//
// This is the parser behind the Reg* calls of tsw/registry.h, exposed so that tests and the fuzz
// target can parse a buffer directly. Library code uses the Reg* calls instead.
//
// Accepted input:
// - a first line "Windows Registry Editor Version 5.00" (or "REGEDIT4"); without it nothing is read;
// - UTF-8 (with or without byte-order mark) or UTF-16LE with its byte-order mark; each byte of an
//   invalid UTF-8 sequence (cut short, overlong, a surrogate or beyond U+10FFFF) reads as U+FFFD;
//   lines end in CR LF, LF or CR;
// - sections "[ROOT\path\to\key]" with ROOT one of HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER,
//   HKEY_CLASSES_ROOT, HKEY_USERS, HKEY_CURRENT_CONFIG; "[-ROOT\path]" deletes the key and its
//   subtree read so far, and the lines up to the next section are skipped;
// - values "Name"=... or @=... (the default value), with \\ and \" escapes inside quotes:
//   "text" (REG_SZ, stored in UTF-16 with its terminating NUL), dword:1-8 hex digits (REG_DWORD),
//   hex:bytes (REG_BINARY), hex(N):bytes (type N in hex: 2 REG_EXPAND_SZ, 7 REG_MULTI_SZ,
//   b REG_QWORD, ...; bytes stored as written), and - (deletes the value);
//   byte lists are comma-separated pairs of hex digits and continue on the next line after a
//   trailing backslash;
// - blank lines and comments starting with ';' (also after a value).
// Names compare case-insensitively; a repeated value replaces the earlier one in place, a repeated
// section adds to the same key.
//
// The file is untrusted: a line that does not parse is skipped (and counted), everything else is
// kept; inputs and counts are bounded by the limits below, beyond which further keys or values are
// dropped and the report says so.
#pragma once
#include "tsplatform_export.h"
#include "tsw/registry.h"
#include "tsw/types.h"

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tsw {
namespace regfile {

using WString = std::basic_string<WCHAR>;

constexpr std::size_t kMaxFileBytes = 16u << 20;  // larger files are not read at all
constexpr std::size_t kMaxKeys = 1u << 18;        // keys created over the whole file
constexpr std::size_t kMaxValues = 1u << 18;      // values created over the whole file
constexpr std::size_t kMaxDepth = 512;            // levels below a root
constexpr std::size_t kMaxKeyNameLength = 255;    // UTF-16 units per key name
constexpr std::size_t kMaxValueNameLength = 16383;

struct Value {
    WString name;  // as first written; empty for the default value
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

struct Key {
    WString name;                                     // as first written
    std::map<WString, std::unique_ptr<Key>> subKeys;  // by folded name (upper case, unit by unit)
    std::vector<Value> values;                        // file order
    std::map<WString, std::size_t> valueIndex;        // folded name -> index in values

    TSPLATFORM_API const Key *FindSubKey(const WCHAR *name, std::size_t length) const;
    TSPLATFORM_API const Value *FindValue(const WCHAR *name, std::size_t length) const;
};

enum Root { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig, RootCount };

struct ParseReport {
    bool headerFound = false;
    bool tooLarge = false;       // input above kMaxFileBytes: nothing read
    bool limitReached = false;   // some keys or values were dropped at kMaxKeys / kMaxValues
    std::size_t lines = 0;       // physical lines seen
    std::size_t damagedLines = 0;
    std::size_t keysCreated = 0;
    std::size_t valuesStored = 0;
};

struct Hive {
    Key roots[RootCount];
    ParseReport report;
};

// Parses a whole file held in memory. Never fails: damaged input gives a partial or empty hive.
TSPLATFORM_API std::unique_ptr<Hive> ParseRegFile(const void *data, std::size_t size);

} // namespace regfile
} // namespace tsw
