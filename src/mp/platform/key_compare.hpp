// Comparison of section keys, which match ignoring letter case. One
// implementation per platform (key_compare_posix.cpp, key_compare_win32.cpp).
#pragma once

#include <string_view>

namespace ostrak::platform {

// True when the key of a line equals the requested key, ignoring letter case.
bool SameKey(std::string_view lineKey, std::string_view key) noexcept;

}  // namespace ostrak::platform
