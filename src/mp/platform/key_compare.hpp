// Comparison of section keys, which match ignoring letter case. One
// implementation per platform (key_compare_posix.cpp, key_compare_win32.cpp).
#pragma once

#include <cstdint>
#include <string_view>

namespace ostrak::platform {

// True when the key of a line equals the requested key, ignoring letter case.
bool SameKey(std::string_view lineKey, std::string_view key) noexcept;

// How a key is summed up for a quick first comparison: keys that SameKey finds
// equal must have equal signatures. Where the comparison follows rules of its
// own (a locale), nothing is summed up and every key has signature 0.
struct KeySignatureRules {
  bool CountsLength;          // the length is part of the signature
  unsigned char Fold[256];    // what each first and last byte counts as
};
extern const KeySignatureRules SignatureRules;

// A summary of a key, so that a lookup can pass over most lines with one
// comparison of numbers.
inline std::uint32_t KeySignature(std::string_view key) noexcept {
  if (key.empty()) return 0;
  const KeySignatureRules& rules = SignatureRules;
  const std::uint32_t length = rules.CountsLength ? static_cast<std::uint32_t>(key.size()) << 16 : 0;
  return length | static_cast<std::uint32_t>(rules.Fold[static_cast<unsigned char>(key.front())]) << 8 |
         rules.Fold[static_cast<unsigned char>(key.back())];
}

}  // namespace ostrak::platform
