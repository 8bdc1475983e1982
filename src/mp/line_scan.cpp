#include "mp/line_scan.hpp"

#include <bit>
#include <cstdint>
#include <cstring>

namespace ostrak {

namespace {

// A 16-byte vector of the compiler's generic vector extension: plain SSE2 on
// x86-64, NEON on ARM, without target-specific code.
using Bytes16 = unsigned char __attribute__((vector_size(16)));

// Index of the first non-zero byte of a non-zero word holding 0x00/0xFF bytes.
inline unsigned FirstMarkedByte(std::uint64_t word) noexcept {
  if constexpr (std::endian::native == std::endian::little) {
    return static_cast<unsigned>(std::countr_zero(word)) / 8;
  } else {
    return static_cast<unsigned>(std::countl_zero(word)) / 8;
  }
}

}  // namespace

const char* FindLineBreak(const char* begin, const char* end) noexcept {
  const char* p = begin;
  while (end - p >= 16) {
    Bytes16 bytes;
    std::memcpy(&bytes, p, sizeof bytes);
    const auto marks = (bytes == '\n') | (bytes == '\r');
    std::uint64_t low;
    std::uint64_t high;
    std::memcpy(&low, &marks, 8);
    std::memcpy(&high, reinterpret_cast<const char*>(&marks) + 8, 8);
    if ((low | high) != 0) {
      return low != 0 ? p + FirstMarkedByte(low) : p + 8 + FirstMarkedByte(high);
    }
    p += 16;
  }
  while (p != end && *p != '\n' && *p != '\r') ++p;
  return p;
}

}  // namespace ostrak
