// Console text on Windows: CharToOemA converts from the ANSI code page, in
// which the texts are stored, to the console's OEM code page, byte for byte.
#include <windows.h>

#include "app/platform/console_text.hpp"

namespace ostrak::platform {

std::string ToOem(std::string_view text) {
  std::string converted(text);
  ::CharToOemA(converted.c_str(), converted.data());
  return converted;
}

void ReportTextToOem(char* text, std::size_t) noexcept { ::CharToOemA(text, text); }

}  // namespace ostrak::platform
