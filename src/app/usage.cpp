#include "app/usage.hpp"

#include <string>
#include <string_view>

#include "app/platform/console_text.hpp"
#include "mp/io_result.hpp"
#include "mp/line_file.hpp"

namespace ostrak {

namespace {

struct UsageLine {
  std::string_view Text;
  bool Converted;  // stored in Windows-1251, shown in the console's character set
};

// The Cyrillic lines are kept as Windows-1251 bytes; the source stays ASCII.
constexpr UsageLine Lines[] = {
    {"Ostrak v" OSTRAK_VERSION
     " - \xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xE0 \xE4\xEB\xFF \xF1\xEE\xE7\xE4\xE0\xED\xE8\xFF "
     "\xE0\xE4\xF0\xE5\xF1\xED\xEE\xE3\xEE \xEF\xEE\xE8\xF1\xEA\xE0 \xE4\xEB\xFF Garmin.",
     true},
    {"\xCF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xE0 \xF0\xE0\xE1\xEE\xF2\xE0\xE5\xF2 \xF1 "
     "\xEF\xEE\xEB\xFC\xF1\xEA\xE8\xEC \xF4\xEE\xF0\xEC\xE0\xF2\xEE\xEC \xE8 "
     "\xE2\xFB\xEF\xEE\xEB\xED\xFF\xE5\xF2 \xEF\xF0\xE5\xEE\xE1\xF0\xE0\xE7\xEE\xE2\xE0\xED\xE8\xE5 "
     "\xE0\xE4\xF0\xE5\xF1\xED\xEE\xE9",
     true},
    {"\xE8\xED\xF4\xEE\xF0\xEC\xE0\xF6\xE8\xE8 \xE4\xEB\xFF \xEF\xEE\xEB\xE8\xE3\xEE\xED\xEE\xE2 "
     "\xE7\xE4\xE0\xED\xE8\xE9 \xE8\xE7 \xF4\xEE\xF0\xEC\xE0\xF2\xE0 \xCD\xE0\xE2\xE8\xF2\xE5\xEB \xE2 "
     "\xF4\xEE\xF0\xEC\xE0\xF2 Garmin.",
     true},
    {"Free software by the ostrak developers.", false},
    {"", false},
    {"Ostrak.exe input.mp output.mp", false},
    {"", false},
    {"      input.mp - \xF4\xE0\xE9\xEB \xE8\xF1\xF5\xEE\xE4\xED\xEE\xE9 \xEA\xE0\xF0\xF2\xFB \xE2 "
     "\xF2\xE0\xE9\xEF\xF1\xE5\xF2\xE5 Navitel",
     true},
    {"      output.mp - \xE8\xF2\xEE\xE3\xEE\xE2\xFB\xE9 \xF4\xE0\xE9\xEB \xE2 "
     "\xF2\xE0\xE9\xEF\xF1\xE5\xF2\xE5 Garmin",
     true},
    {"", false},
};

}  // namespace

void WriteUsage() {
  TLineFile& out = StdOut();
  for (const UsageLine& line : Lines) {
    if (line.Converted) {
      out.WriteTextLine(platform::ToOem(line.Text));
    } else {
      out.WriteTextLine(line.Text);
    }
    CheckIO();
  }
  // Handed over here rather than only at the end of the process, whose own
  // flush ignores failures: a usage text that cannot be written is a failure.
  out.FlushText();
  CheckIO();
}

}  // namespace ostrak
