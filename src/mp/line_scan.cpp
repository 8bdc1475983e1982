// The portable line scanner, and the choice of the scanner the file layer uses.
#include "mp/line_scan.hpp"

#include <bit>
#include <cstdlib>


namespace ostrak {

namespace {

// One bit for each byte of a word of 0x00/0xFF bytes, the first byte's
// lowest: the top bit of every byte gathered by one multiplication.
std::uint64_t BitsOfMarks(std::uint64_t word) noexcept {
  if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
  return ((word & 0x8080808080808080u) * 0x0002040810204081u) >> 56;
}

// A bit for each of the 64 bytes at p that equals byte.
std::uint64_t Marks64(const char* p, unsigned char byte) noexcept {
  std::uint64_t marks = 0;
  for (unsigned part = 0; part < 4; ++part) {
    detail::Bytes16 bytes;
    detail::Load16(bytes, p + 16 * part);
    const detail::Bytes16 equal = bytes == byte;
    std::uint64_t words[2];
    std::memcpy(words, &equal, sizeof words);
    marks |= (BitsOfMarks(words[0]) | BitsOfMarks(words[1]) << 8) << (16 * part);
  }
  return marks;
}

// 64 bytes at a time, as the vector scanner does, with the compiler's generic
// 16-byte vectors.
std::size_t FindLineBreaksPortably(const char* begin, const char* end, std::uint32_t* breaks,
                                   std::size_t room) noexcept {
  const std::size_t size = static_cast<std::size_t>(end - begin);
  std::size_t count = 0;
  for (std::size_t block = 0; block < size; block += 64) {
    const std::size_t valid = size - block;
    // Bytes from end on are not in the range: they mark nothing, and a CR
    // before end is followed by no LF.
    const std::uint64_t inRange = valid >= 64 ? ~std::uint64_t{0} : ~std::uint64_t{0} >> (64 - valid);
    const std::uint64_t lineFeeds = Marks64(begin + block, '\n') & inRange;
    const std::uint64_t nextIsLineFeed = valid > 64 && begin[block + 64] == '\n';
    const std::uint64_t followedByLineFeed = lineFeeds >> 1 | nextIsLineFeed << 63;
    for (std::uint64_t marks = lineFeeds | (Marks64(begin + block, '\r') & inRange & ~followedByLineFeed); marks != 0;
         marks &= marks - 1) {
      if (count == room) return count;
      breaks[count++] = static_cast<std::uint32_t>(block + static_cast<std::size_t>(std::countr_zero(marks)));
    }
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
