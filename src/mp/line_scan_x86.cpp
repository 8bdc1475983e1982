// The AVX2 line scanner of x86 processors: 64 bytes at a time become bit
// masks of their LF bytes and of their CR bytes that no LF follows, and the
// breaks are read off the set bits. Compiled for AVX2 and BMI function by
// function, and used only where the processor has both.
#include <immintrin.h>

#include <bit>

#include "mp/line_scan.hpp"

namespace ostrak::detail {

namespace {

#define OSTRAK_AVX2 __attribute__((target("avx2,bmi")))

// A bit for each of the 64 bytes at p that equals byte.
OSTRAK_AVX2 inline std::uint64_t Marks64(const char* p, __m256i byte) noexcept {
  const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
  const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32));
  const std::uint64_t lowMarks = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(low, byte)));
  const std::uint64_t highMarks = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(high, byte)));
  return lowMarks | highMarks << 32;
}

// The breaks among the 64 bytes at p: LF bytes, and CR bytes that no LF
// follows. inRange marks the bytes in the range; nextIsLineFeed tells
// whether the byte after the last one is an LF in the range.
OSTRAK_AVX2 inline std::uint64_t Breaks64(const char* p, std::uint64_t inRange, bool nextIsLineFeed) noexcept {
  const std::uint64_t lineFeeds = Marks64(p, _mm256_set1_epi8('\n')) & inRange;
  const std::uint64_t followedByLineFeed = lineFeeds >> 1 | std::uint64_t{nextIsLineFeed} << 63;
  return lineFeeds | (Marks64(p, _mm256_set1_epi8('\r')) & inRange & ~followedByLineFeed);
}

OSTRAK_AVX2 std::size_t FindLineBreaksAvx2(const char* begin, const char* end, std::uint32_t* breaks,
                                           std::size_t room) noexcept {
  const std::size_t size = static_cast<std::size_t>(end - begin);
  std::size_t count = 0;
  for (std::size_t block = 0; block < size; block += 64) {
    const std::size_t valid = size - block;
    // Bytes from end on are not in the range: they mark nothing, and a CR
    // before end is followed by no LF.
    std::uint64_t marks = valid > 64 ? Breaks64(begin + block, ~std::uint64_t{0}, begin[block + 64] == '\n')
                                     : Breaks64(begin + block, ~std::uint64_t{0} >> (64 - valid), false);
    if (room - count >= 64) {
      for (; marks != 0; marks &= marks - 1) {
        breaks[count++] = static_cast<std::uint32_t>(block + static_cast<std::size_t>(std::countr_zero(marks)));
      }
      continue;
    }
    for (; marks != 0; marks &= marks - 1) {
      if (count == room) return count;
      breaks[count++] = static_cast<std::uint32_t>(block + static_cast<std::size_t>(std::countr_zero(marks)));
    }
  }
  return count;
}

bool ProcessorHasAvx2() noexcept {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi");
}

}  // namespace

LineBreakFinder VectorLineBreakFinder() noexcept {
  static const LineBreakFinder finder = ProcessorHasAvx2() ? FindLineBreaksAvx2 : nullptr;
  return finder;
}

}  // namespace ostrak::detail
