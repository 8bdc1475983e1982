// Keys compare equal when they have the same length and differ only in the
// case of ASCII letters; every other byte, Cyrillic letters included, must be
// the same. The result never depends on the locale.
#include <cstddef>

#include "mp/platform/key_compare.hpp"

namespace ostrak::platform {

namespace {

constexpr unsigned char AsciiLower(unsigned char byte) noexcept {
  return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte + ('a' - 'A')) : byte;
}

constexpr KeyMatchRules AsciiRules() {
  KeyMatchRules rules{true, {}, true};
  for (std::size_t byte = 0; byte < 256; ++byte) rules.FirstByte[byte] = AsciiLower(static_cast<unsigned char>(byte));
  return rules;
}

}  // namespace

// Equal keys have the same length and the same letters but for case.
constinit const KeyMatchRules MatchRules = AsciiRules();

bool SameKey(std::string_view lineKey, std::string_view key) noexcept {
  if (lineKey.size() != key.size()) return false;
  for (std::size_t i = 0; i < key.size(); ++i) {
    if (AsciiLower(static_cast<unsigned char>(lineKey[i])) != AsciiLower(static_cast<unsigned char>(key[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace ostrak::platform
