// Copying the bytes of a line.
#pragma once

#include <cstddef>
#include <cstring>

namespace ostrak {

namespace detail {

// Copies count bytes, N <= count <= 2 * N, with two moves of N bytes that
// overlap in the middle.
template <std::size_t N>
inline void CopyBothEnds(char* destination, const char* source, std::size_t count) noexcept {
  char head[N];
  char tail[N];
  std::memcpy(head, source, N);
  std::memcpy(tail, source + count - N, N);
  std::memcpy(destination, head, N);
  std::memcpy(destination + count - N, tail, N);
}

}  // namespace detail

// Copies count bytes. Most map lines are short, and for up to 32 bytes two
// moves of fixed size are far cheaper than a call.
inline void CopyBytes(char* destination, const char* source, std::size_t count) noexcept {
  if (count > 32) {
    std::memcpy(destination, source, count);
  } else if (count >= 16) {
    detail::CopyBothEnds<16>(destination, source, count);
  } else if (count >= 8) {
    detail::CopyBothEnds<8>(destination, source, count);
  } else {
    for (std::size_t i = 0; i < count; ++i) destination[i] = source[i];
  }
}

}  // namespace ostrak
