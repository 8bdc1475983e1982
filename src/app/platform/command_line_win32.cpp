// On Windows a program gets its command line as one string, which it splits
// itself. argc and argv, split by the C runtime by other rules, are ignored.
//
// The rules: bytes 0x01 to 0x20 separate arguments; two double quotes that
// start an argument are dropped; a double quote switches quoting on and off
// anywhere in an argument and is itself removed, so that a quoted stretch
// joins the bytes on either side of it; there is no escape character, so a
// backslash is an ordinary byte and a double quote can never be part of an
// argument; a quote left open runs to the end of the line. The line is
// stepped through with CharNextA, so that the trail byte of a double-byte
// character is never taken for a quote or a separator. The arguments end at
// the first one that comes out empty, which happens only at the end of the
// line. Argument 0, the program's own name as typed, is skipped.
#include <windows.h>

#include "app/platform/command_line.hpp"

namespace ostrak::platform {

namespace {

constexpr bool IsSeparator(char byte) {
  const auto value = static_cast<unsigned char>(byte);
  return value >= 0x01 && value <= 0x20;
}

// Takes the next argument from the line and moves past it.
std::string NextArgument(const char*& line) {
  for (;;) {
    while (IsSeparator(*line)) line = ::CharNextA(line);
    if (line[0] != '"' || line[1] != '"') break;
    line += 2;
  }
  std::string argument;
  bool quoted = false;
  while (*line != '\0' && (quoted || !IsSeparator(*line))) {
    const char* const next = ::CharNextA(line);
    if (*line == '"') {
      quoted = !quoted;
    } else {
      argument.append(line, next);
    }
    line = next;
  }
  return argument;
}

}  // namespace

std::vector<std::string> CommandLineArguments(int, char**) {
  const char* line = ::GetCommandLineA();
  NextArgument(line);  // the program's own name
  std::vector<std::string> arguments;
  for (;;) {
    std::string argument = NextArgument(line);
    if (argument.empty()) return arguments;
    arguments.push_back(std::move(argument));
  }
}

}  // namespace ostrak::platform
