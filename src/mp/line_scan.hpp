// Finding the bytes that cut a map file into lines.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace ostrak {

// Bytes that a scan may read from the start of a line, past its end: every
// place that holds lines (the input buffer, the storage of a list's own
// lines, the constant header lines) keeps that many readable bytes behind its
// last line.
inline constexpr std::size_t ScanPadding = 16;

namespace detail {

// A 16-byte vector of the compiler's generic vector extension: plain SSE2 on
// x86-64, NEON on ARM, without target-specific code.
using Bytes16 = unsigned char __attribute__((vector_size(16)));

// Index of the first marked byte of a word of 0x00/0xFF bytes; 8 when none is.
inline unsigned FirstMarkedByte(std::uint64_t word) noexcept {
  if constexpr (std::endian::native == std::endian::little) {
    return static_cast<unsigned>(std::countr_zero(word)) / 8;
  } else {
    return static_cast<unsigned>(std::countl_zero(word)) / 8;
  }
}

}  // namespace detail

// The index of the first byte equal to byte among the 16 bytes at p, or 16.
inline unsigned FindByteIn16(const char* p, char byte) noexcept {
  detail::Bytes16 bytes;
  std::memcpy(&bytes, p, sizeof bytes);
  const auto marks = bytes == static_cast<unsigned char>(byte);
  std::uint64_t low;
  std::uint64_t high;
  std::memcpy(&low, &marks, 8);
  std::memcpy(&high, reinterpret_cast<const char*>(&marks) + 8, 8);
  return detail::FirstMarkedByte(low) + (low == 0) * detail::FirstMarkedByte(high);
}

// The first CR (0x0D) or LF (0x0A) in [begin, end), or end when there is none.
// Looks at 16 bytes at a time: the reader spends most of its time here.
inline const char* FindLineBreak(const char* begin, const char* end) noexcept {
  const char* p = begin;
  while (end - p >= 16) {
    detail::Bytes16 bytes;
    std::memcpy(&bytes, p, sizeof bytes);
    const auto marks = (bytes == '\n') | (bytes == '\r');
    std::uint64_t low;
    std::uint64_t high;
    std::memcpy(&low, &marks, 8);
    std::memcpy(&high, reinterpret_cast<const char*>(&marks) + 8, 8);
    if ((low | high) != 0) {
      // Without a branch on which half holds it: its place in a line is random.
      return p + detail::FirstMarkedByte(low) + (low == 0) * detail::FirstMarkedByte(high);
    }
    p += 16;
  }
  while (p != end && *p != '\n' && *p != '\r') ++p;
  return p;
}

}  // namespace ostrak
