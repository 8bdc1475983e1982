// Console text on POSIX systems: the Windows-1251 texts are converted with
// iconv to the character set of the user's locale, and to UTF-8 where the
// locale says plain ASCII (the C and POSIX locales), since every terminal of
// today shows UTF-8.
#include <iconv.h>
#include <langinfo.h>

#include <cerrno>
#include <clocale>
#include <cstring>

#include "app/platform/console_text.hpp"

namespace ostrak::platform {

namespace {

const char* ConsoleCharacterSet() {
  std::setlocale(LC_CTYPE, "");
  const char* codeset = nl_langinfo(CODESET);
  if (codeset == nullptr || *codeset == '\0' || std::strcmp(codeset, "ANSI_X3.4-1968") == 0 ||
      std::strcmp(codeset, "ASCII") == 0) {
    return "UTF-8";
  }
  return codeset;
}

std::string Convert(iconv_t converter, std::string_view text) {
  std::string result(text.size() * 4 + 16, '\0');
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  char* out = result.data();
  std::size_t outLeft = result.size();
  while (inLeft > 0) {
    if (iconv(converter, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1)) continue;
    if (errno != EILSEQ && errno != EINVAL) break;
    // A character the console cannot show becomes a question mark.
    ++in;
    --inLeft;
    if (outLeft == 0) break;
    *out++ = '?';
    --outLeft;
  }
  result.resize(result.size() - outLeft);
  return result;
}

}  // namespace

std::string ToOem(std::string_view text) {
  static const iconv_t converter = iconv_open(ConsoleCharacterSet(), "CP1251");
  if (converter == reinterpret_cast<iconv_t>(-1)) {
    static const iconv_t toUtf8 = iconv_open("UTF-8", "CP1251");
    if (toUtf8 == reinterpret_cast<iconv_t>(-1)) return std::string(text);
    return Convert(toUtf8, text);
  }
  return Convert(converter, text);
}

void ReportTextToOem(char*, std::size_t) noexcept {
  // The report is ASCII apart from the executable's name, which is already
  // in the file system's own character set.
}

}  // namespace ostrak::platform
