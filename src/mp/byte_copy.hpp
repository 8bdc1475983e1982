// Copying the bytes of a line.
#pragma once

#include <cstddef>
#include <cstring>

namespace ostrak {

// Copies count bytes. Most map lines are short, and for up to 32 bytes two
// overlapping moves of fixed size are far cheaper than a call.
inline void CopyBytes(char* destination, const char* source, std::size_t count) noexcept {
  if (count >= 16) {
    if (count > 32) {
      std::memcpy(destination, source, count);
      return;
    }
    char head[16];
    char tail[16];
    std::memcpy(head, source, 16);
    std::memcpy(tail, source + count - 16, 16);
    std::memcpy(destination, head, 16);
    std::memcpy(destination + count - 16, tail, 16);
  } else if (count >= 8) {
    char head[8];
    char tail[8];
    std::memcpy(head, source, 8);
    std::memcpy(tail, source + count - 8, 8);
    std::memcpy(destination, head, 8);
    std::memcpy(destination + count - 8, tail, 8);
  } else {
    for (std::size_t i = 0; i < count; ++i) destination[i] = source[i];
  }
}

}  // namespace ostrak
