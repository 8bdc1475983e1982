// Finding the bytes that cut a map file into lines.
#pragma once

namespace ostrak {

// The first CR (0x0D) or LF (0x0A) in [begin, end), or end when there is none.
// Scans 16 bytes at a time: this is where the reader spends most of its time.
const char* FindLineBreak(const char* begin, const char* end) noexcept;

}  // namespace ostrak
