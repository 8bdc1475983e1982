// Copying and comparing the bytes of short pieces of lines, where a library
// call would cost more than the work.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

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
  } else if (count >= 4) {
    detail::CopyBothEnds<4>(destination, source, count);
  } else if (count >= 2) {
    detail::CopyBothEnds<2>(destination, source, count);
  } else if (count == 1) {
    *destination = *source;
  }
}

namespace detail {

inline std::uint64_t Load8(const char* p) noexcept {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

inline std::uint32_t Load4(const char* p) noexcept {
  std::uint32_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

}  // namespace detail

// True when the count bytes at a and b are the same.
inline bool SameBytes(const char* a, const char* b, std::size_t count) noexcept {
  if (count > 16) return std::memcmp(a, b, count) == 0;
  if (count >= 8) {
    return detail::Load8(a) == detail::Load8(b) && detail::Load8(a + count - 8) == detail::Load8(b + count - 8);
  }
  if (count >= 4) {
    return detail::Load4(a) == detail::Load4(b) && detail::Load4(a + count - 4) == detail::Load4(b + count - 4);
  }
  for (std::size_t i = 0; i < count; ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

// True when the two are the same bytes; for the short lines that mark
// sections, without a library call.
inline bool SameText(std::string_view a, std::string_view b) noexcept {
  return a.size() == b.size() && SameBytes(a.data(), b.data(), a.size());
}

}  // namespace ostrak
