// Finding the bytes that cut a map file into lines.
//
// Two line scanners do the same job: a portable one, which is the reference
// and runs everywhere, and a vector one for processors that have the AVX2
// instructions (line_scan_x86.cpp), chosen once at start-up. Setting the
// environment variable OSTRAK_PORTABLE makes the program use the portable one.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace ostrak {

// Bytes that a scan may read past the end of what it is given, and past the
// end of a line from its start: every place that holds lines (the input
// buffer, the storage of a list's own lines, the constant header lines) keeps
// that many readable bytes behind its last byte.
inline constexpr std::size_t ScanPadding = 64;

enum class LineScanner { Portable, Vector };

// Finds the line breaks in [begin, end): every LF, and every CR that is not
// followed by an LF inside the range (a CR that the line rules drop, or one
// whose next byte is not known yet). Writes their offsets from begin, in
// order, to breaks, at most room of them, and returns how many it wrote.
// When that is room, the bytes after the last break written are not looked
// at yet. end - begin is below 2^32.
using LineBreakFinder = std::size_t (*)(const char* begin, const char* end, std::uint32_t* breaks,
                                        std::size_t room) noexcept;

// The finder of a scanner; the vector one only where the processor has it.
LineBreakFinder FinderOf(LineScanner scanner) noexcept;
bool VectorScannerAvailable() noexcept;

// The scanner the file layer uses: the vector one where the processor has
// it and OSTRAK_PORTABLE is not set, otherwise the portable one.
LineScanner ActiveLineScanner() noexcept;
// Makes the file layer use a scanner (tests compare them); the vector one
// only where it is available.
void UseLineScanner(LineScanner scanner) noexcept;
LineBreakFinder ActiveLineBreakFinder() noexcept;

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

// Vectors go by reference: passed by value, their calling convention would
// depend on the instruction set (32-bit x86 without SSE).
inline void Load16(Bytes16& bytes, const char* p) noexcept { std::memcpy(&bytes, p, sizeof bytes); }

// The index of the first marked byte of 16 marks (0x00 or 0xFF each), or 16,
// without a branch on which half holds it: its place in a line is random.
inline unsigned FirstMarked(const Bytes16& marks) noexcept {
  std::uint64_t low;
  std::uint64_t high;
  std::memcpy(&low, &marks, 8);
  std::memcpy(&high, reinterpret_cast<const char*>(&marks) + 8, 8);
  return FirstMarkedByte(low) + (low == 0) * FirstMarkedByte(high);
}

}  // namespace detail

// The index of the first byte equal to byte among the 16 bytes at p, or 16.
inline unsigned FindByteIn16(const char* p, char byte) noexcept {
  detail::Bytes16 bytes;
  detail::Load16(bytes, p);
  const detail::Bytes16 marks = bytes == static_cast<unsigned char>(byte);
  return detail::FirstMarked(marks);
}

// The first CR (0x0D) or LF (0x0A) in [begin, end), or end when there is none.
inline const char* FindLineBreak(const char* begin, const char* end) noexcept {
  const char* p = begin;
  while (end - p >= 16) {
    detail::Bytes16 bytes;
    detail::Load16(bytes, p);
    const detail::Bytes16 marks = (bytes == '\n') | (bytes == '\r');
    const unsigned at = detail::FirstMarked(marks);
    if (at < 16) return p + at;
    p += 16;
  }
  while (p != end && *p != '\n' && *p != '\r') ++p;
  return p;
}

}  // namespace ostrak
