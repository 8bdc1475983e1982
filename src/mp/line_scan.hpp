// Finding the bytes that cut a map file into lines.
//
// Two line scanners do the same job: a portable one, which is the reference
// and runs everywhere, and a vector one for processors that have the AVX2
// instructions (line_scan_x86.cpp), chosen once at start-up. Setting the
// environment variable OSTRAK_PORTABLE makes the program use the portable one.
#pragma once

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

// One batch of the breaks of [begin, end): their offsets from begin, at most
// room of them, and where the next batch begins, from begin: just after the
// last break found when the batch is full (the bytes after it are not looked
// at yet), otherwise at end.
struct BreakBatch {
  std::size_t Count;
  std::size_t Next;
};
inline BreakBatch FindBreakBatch(LineBreakFinder find, const char* begin, const char* end, std::uint32_t* breaks,
                                 std::size_t room) noexcept {
  const std::size_t count = find(begin, end, breaks, room);
  return {count, count == room ? std::size_t{breaks[room - 1]} + 1 : static_cast<std::size_t>(end - begin)};
}

namespace detail {

// The vector finder of the processor family the program is built for (one
// source per family: line_scan_x86.cpp, line_scan_none.cpp), or nullptr
// where this processor lacks the instructions it needs. Asks the processor
// once.
LineBreakFinder VectorLineBreakFinder() noexcept;

// A 16-byte vector of the compiler's generic vector extension: plain SSE2 on
// x86-64, NEON on ARM, without target-specific code.
using Bytes16 = unsigned char __attribute__((vector_size(16)));

// Vectors go by reference: passed by value, their calling convention would
// depend on the instruction set (32-bit x86 without SSE).
inline void Load16(Bytes16& bytes, const char* p) noexcept { std::memcpy(&bytes, p, sizeof bytes); }

}  // namespace detail

}  // namespace ostrak
