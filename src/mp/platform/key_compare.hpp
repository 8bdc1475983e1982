// Comparison of section keys, which match ignoring letter case. One
// implementation per platform (key_compare_posix.cpp, key_compare_win32.cpp).
#pragma once

#include <cstdint>
#include <string_view>

namespace ostrak::platform {

// True when the key of a line equals the requested key, ignoring letter case.
bool SameKey(std::string_view lineKey, std::string_view key) noexcept;

// A summary of a key: keys that SameKey finds equal have equal signatures, so
// a lookup can pass over most lines with one comparison of numbers.
std::uint32_t KeySignature(std::string_view key) noexcept;

}  // namespace ostrak::platform
