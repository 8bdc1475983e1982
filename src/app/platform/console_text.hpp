// Text for the console. One implementation per platform
// (console_text_posix.cpp, console_text_win32.cpp).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ostrak::platform {

// Converts Windows-1251 text to the character set of the console.
std::string ToOem(std::string_view text);

// Converts the failure report in place, keeping its length; text[length] is
// a NUL byte. Must not use the heap: it runs when memory is exhausted and
// from fault handlers.
void ReportTextToOem(char* text, std::size_t length) noexcept;

}  // namespace ostrak::platform
