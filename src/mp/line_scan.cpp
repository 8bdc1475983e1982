// The portable line scanner, and the choice of the scanner the file layer uses.
#include "mp/line_scan.hpp"

#include <cstdlib>

#include "mp/line_scan_vector.hpp"

namespace ostrak {

namespace {

// The word with its index-th byte cleared, counting as FirstMarkedByte does.
std::uint64_t ClearByte(std::uint64_t word, unsigned index) noexcept {
  const unsigned shift = std::endian::native == std::endian::little ? 8 * index : 56 - 8 * index;
  return word & ~(std::uint64_t{0xFF} << shift);
}

// 16 bytes at a time, with the compiler's generic vectors; one pass over the
// marks of each half for the breaks in it.
std::size_t FindLineBreaksPortably(const char* begin, const char* end, std::uint32_t* breaks,
                                   std::size_t room) noexcept {
  const std::size_t size = static_cast<std::size_t>(end - begin);
  std::size_t count = 0;
  for (std::size_t block = 0; block < size; block += 16) {
    detail::Bytes16 bytes;
    detail::Bytes16 next;
    detail::Load16(bytes, begin + block);
    detail::Load16(next, begin + block + 1);
    const detail::Bytes16 marks = (bytes == '\n') | ((bytes == '\r') & (next != '\n'));
    std::uint64_t halves[2];
    std::memcpy(halves, &marks, sizeof halves);
    for (std::size_t half = 0; half < 2; ++half) {
      for (std::uint64_t word = halves[half]; word != 0;) {
        const unsigned index = detail::FirstMarkedByte(word);
        const std::size_t at = block + 8 * half + index;
        if (at >= size) break;
        if (count == room) return count;
        breaks[count++] = static_cast<std::uint32_t>(at);
        word = ClearByte(word, index);
      }
    }
  }
  // A CR at the very end is followed by a byte that is not in the range,
  // whatever lies there.
  if (size > 0 && begin[size - 1] == '\r' && (count == 0 || breaks[count - 1] != size - 1)) {
    if (count == room) return count;
    breaks[count++] = static_cast<std::uint32_t>(size - 1);
  }
  return count;
}

bool PortableWanted() noexcept {
  const char* value = std::getenv("OSTRAK_PORTABLE");
  return value != nullptr && *value != '\0';
}

LineScanner& Active() noexcept {
  static LineScanner scanner =
      VectorScannerAvailable() && !PortableWanted() ? LineScanner::Vector : LineScanner::Portable;
  return scanner;
}

}  // namespace

bool VectorScannerAvailable() noexcept { return detail::VectorLineBreakFinder() != nullptr; }

LineBreakFinder FinderOf(LineScanner scanner) noexcept {
  const LineBreakFinder vector = detail::VectorLineBreakFinder();
  return scanner == LineScanner::Vector && vector != nullptr ? vector : FindLineBreaksPortably;
}

LineScanner ActiveLineScanner() noexcept { return Active(); }

void UseLineScanner(LineScanner scanner) noexcept {
  Active() = scanner == LineScanner::Vector && VectorScannerAvailable() ? scanner : LineScanner::Portable;
}

LineBreakFinder ActiveLineBreakFinder() noexcept { return FinderOf(Active()); }

}  // namespace ostrak
