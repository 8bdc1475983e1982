#include "mp/key_search.hpp"

#include <algorithm>
#include <bit>
#include <cstring>

#include "mp/byte_copy.hpp"
#include "mp/line_scan.hpp"
#include "mp/platform/key_compare.hpp"

namespace ostrak {

namespace {

// Index of the first marked byte of a word of 0x00/0xFF bytes; 8 when none is.
unsigned FirstMarkedByte(std::uint64_t word) noexcept {
  if constexpr (std::endian::native == std::endian::little) {
    return static_cast<unsigned>(std::countr_zero(word)) / 8;
  } else {
    return static_cast<unsigned>(std::countl_zero(word)) / 8;
  }
}

// The index of the first "=" among the 16 bytes at p, or 16, without a branch
// on which half holds it.
unsigned FindSeparatorIn16(const char* p) noexcept {
  detail::Bytes16 bytes;
  detail::Load16(bytes, p);
  const detail::Bytes16 marks = bytes == static_cast<unsigned char>('=');
  std::uint64_t low;
  std::uint64_t high;
  std::memcpy(&low, &marks, 8);
  std::memcpy(&high, reinterpret_cast<const char*>(&marks) + 8, 8);
  return FirstMarkedByte(low) + (low == 0) * FirstMarkedByte(high);
}

// Finds the separator of a line; false when it has no key.
[[gnu::always_inline]] inline bool FindKey(const Line& line) noexcept {
  if (line.Separator == Line::UnknownSeparator) {
    // Keys are short: most end within the first 16 bytes, which can be
    // looked at in one go since every buffer has room behind its last line.
    std::size_t position = line.Length == 0 ? 0 : FindSeparatorIn16(line.Text);
    if (position >= 16 && line.Length > 16) {
      const void* separator = std::memchr(line.Text + 16, '=', line.Length - 16);
      position = separator ? static_cast<std::size_t>(static_cast<const char*>(separator) - line.Text) : line.Length;
    }
    line.Separator = position < line.Length ? static_cast<std::ptrdiff_t>(position) : Line::NoSeparator;
  }
  return line.Separator >= 0;
}

// Whether the key of a line that has one matches key.
[[gnu::always_inline]] inline bool SameKey(const Line& line, std::string_view key) noexcept {
  // Most lines spell a key exactly as it is asked for: that needs no call.
  const std::string_view lineKey{line.Text, static_cast<std::size_t>(line.Separator)};
  if (lineKey.size() == key.size() && SameBytes(lineKey.data(), key.data(), key.size())) return true;
  return !(platform::MatchRules.SameLength && lineKey.size() != key.size()) && platform::SameKey(lineKey, key);
}

}  // namespace

int IndexOfKey(std::span<const Line> lines, std::string_view key) noexcept {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (FindKey(lines[i]) && SameKey(lines[i], key)) return static_cast<int>(i);
  }
  return -1;
}

KeyTable::KeyTable(std::span<const std::string_view> keys) noexcept
    : FKeys(keys.first(std::min(keys.size(), MaxKeys))) {
  // Equal keys begin with bytes that map alike; an empty key may be held by
  // a line that begins with its "=".
  const unsigned char* const first = platform::MatchRules.FirstByte;
  for (std::size_t k = 0; k < FKeys.size(); ++k) {
    for (unsigned byte = 0; byte < 256; ++byte) {
      if (FKeys[k].empty() || first[byte] == first[static_cast<unsigned char>(FKeys[k].front())]) {
        FCandidates[byte] |= static_cast<std::uint16_t>(1u << k);
      }
    }
    if (FKeys[k].size() > PatternSize) continue;
    unsigned char lowered[PatternSize] = {};
    unsigned char caseBits[PatternSize] = {};
    unsigned char used[PatternSize] = {};
    for (std::size_t i = 0; i < FKeys[k].size(); ++i) {
      const unsigned char byte = static_cast<unsigned char>(FKeys[k][i]);
      const bool letter = (byte | 0x20) >= 'a' && (byte | 0x20) <= 'z';
      lowered[i] = letter ? byte | 0x20 : byte;
      caseBits[i] = letter ? 0x20 : 0;
      used[i] = 0xFF;
    }
    std::memcpy(FPatterns[k].Lowered, lowered, PatternSize);
    std::memcpy(FPatterns[k].CaseBits, caseBits, PatternSize);
    std::memcpy(FPatterns[k].Used, used, PatternSize);
  }
}

// Whether a line's key is key, where keys match but for the case of ASCII
// letters; reads 16 bytes from the line's start.
bool KeyTable::BeginsWithKey(const Line& line, std::string_view key, const Pattern& pattern) noexcept {
  // A line holds the key when its first "=" follows bytes that match the
  // key's: those have no "=" of their own, as the key has none.
  if (line.Length <= key.size() || line.Text[key.size()] != '=') return false;
  std::uint64_t words[2];
  std::memcpy(words, line.Text, sizeof words);
  return ((words[0] | pattern.CaseBits[0]) & pattern.Used[0]) == pattern.Lowered[0] &&
         ((words[1] | pattern.CaseBits[1]) & pattern.Used[1]) == pattern.Lowered[1];
}

void IndexOfKeys(std::span<const Line> lines, const KeyTable& keys, std::span<int> indices) noexcept {
  std::fill(indices.begin(), indices.end(), -1);
  unsigned missing = (1u << keys.FKeys.size()) - 1;  // a bit for each key not found yet
  for (std::size_t i = 0; i < lines.size() && missing != 0; ++i) {
    const Line& line = lines[i];
    if (line.Length == 0) continue;
    unsigned candidates = keys.FCandidates[static_cast<unsigned char>(line.Text[0])] & missing;
    // Where keys match but for the case of ASCII letters, a short key is
    // matched against the line's first bytes without looking for its "=".
    if (candidates == 0 || !(platform::MatchRules.AsciiCaseOnly || FindKey(line))) continue;
    do {
      const unsigned k = static_cast<unsigned>(std::countr_zero(candidates));
      candidates &= candidates - 1;
      const std::string_view key = keys.FKeys[k];
      const bool matches = platform::MatchRules.AsciiCaseOnly && key.size() <= KeyTable::PatternSize
                               ? KeyTable::BeginsWithKey(line, key, keys.FPatterns[k])
                               : FindKey(line) && SameKey(line, key);
      if (matches) {
        indices[k] = static_cast<int>(i);
        missing &= ~(1u << k);
      }
    } while (candidates != 0);
  }
}

}  // namespace ostrak
