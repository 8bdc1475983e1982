// Finding the lines of a list by their keys.
//
// The key of a line is the text before its first "=", untrimmed; a line
// without "=" has no key. Keys match ignoring letter case, by the platform's
// comparison (platform/key_compare.hpp). Every line may be read ScanPadding
// bytes from its start, as every place that holds lines allows.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "mp/line.hpp"

namespace ostrak {

// Keys that are looked up together (IndexOfKeys), each distinct from the
// others and without "=", prepared once: which of them a line may hold, by
// its first byte, and where keys match but for the case of ASCII letters,
// the bytes a line must begin with.
class KeyTable {
 public:
  static constexpr std::size_t MaxKeys = 16;
  // keys must outlive the table; at most MaxKeys of them.
  explicit KeyTable(std::span<const std::string_view> keys) noexcept;

 private:
  friend void IndexOfKeys(std::span<const Line>, const KeyTable&, std::span<int>) noexcept;
  // A key of up to 16 bytes, as two words: its bytes with letters in lower
  // case, the case bit of its letters, and which bytes it has.
  struct Pattern {
    std::uint64_t Lowered[2];
    std::uint64_t CaseBits[2];
    std::uint64_t Used[2];
  };
  static constexpr std::size_t PatternSize = 16;
  static bool BeginsWithKey(const Line& line, std::string_view key, const Pattern& pattern) noexcept;

  std::span<const std::string_view> FKeys;
  std::uint16_t FCandidates[256] = {};  // a bit for each key
  Pattern FPatterns[MaxKeys] = {};
};

// The index of the first line whose key matches key, or -1.
int IndexOfKey(std::span<const Line> lines, std::string_view key) noexcept;

// For each key of the table, the index of the first line whose key matches,
// or -1: one pass over the lines for all of them. indices holds one entry
// per key.
void IndexOfKeys(std::span<const Line> lines, const KeyTable& keys, std::span<int> indices) noexcept;

// The value of a line found for key: it begins after as many bytes as key
// has, and the "=".
inline std::string_view ValueAfterKey(std::string_view line, std::string_view key) noexcept {
  return line.substr(std::min(line.size(), key.size() + 1));
}

}  // namespace ostrak
