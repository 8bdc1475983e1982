// On POSIX systems the arguments arrive already split; each is used whole.
#include "app/platform/command_line.hpp"

namespace ostrak::platform {

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) {
    if (argv[i] != nullptr && argv[i][0] != '\0') arguments.emplace_back(argv[i]);
  }
  return arguments;
}

}  // namespace ostrak::platform
