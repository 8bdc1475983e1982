// Keys compare equal when they have the same length and differ only in the
// case of ASCII letters; every other byte, Cyrillic letters included, must be
// the same. The result never depends on the locale.
#include "mp/platform/key_compare.hpp"

#include <cstddef>
#include <cstdint>

namespace ostrak::platform {

namespace {

constexpr unsigned char AsciiLower(unsigned char byte) noexcept {
  return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte + ('a' - 'A')) : byte;
}

}  // namespace

std::uint32_t KeySignature(std::string_view key) noexcept {
  // Equal keys have the same length and the same letters but for case.
  if (key.empty()) return 0;
  return static_cast<std::uint32_t>(key.size() << 16) | (AsciiLower(static_cast<unsigned char>(key.front())) << 8) |
         AsciiLower(static_cast<unsigned char>(key.back()));
}

bool SameKey(std::string_view lineKey, std::string_view key) noexcept {
  if (lineKey.size() != key.size()) return false;
  // Keys are mostly written exactly as asked for.
  if (lineKey == key) return true;
  for (std::size_t i = 0; i < key.size(); ++i) {
    if (AsciiLower(static_cast<unsigned char>(lineKey[i])) != AsciiLower(static_cast<unsigned char>(key[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace ostrak::platform
