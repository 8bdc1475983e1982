// Comparison of section keys, which match ignoring letter case. One
// implementation per platform (key_compare_posix.cpp, key_compare_win32.cpp).
#pragma once

#include <string_view>

namespace ostrak::platform {

// True when the key of a line equals the requested key, ignoring letter case.
bool SameKey(std::string_view lineKey, std::string_view key) noexcept;

// What every pair of keys that SameKey finds equal has in common, so that a
// lookup can pass over most lines without asking it. Where the comparison
// follows rules of its own (a locale), nothing is known in advance.
struct KeyMatchRules {
  bool SameLength;                 // equal keys have the same length
  unsigned char FirstByte[256];    // and first bytes that map to the same value
  bool AsciiCaseOnly;              // and differ in the case of ASCII letters only
};
extern const KeyMatchRules MatchRules;

}  // namespace ostrak::platform
