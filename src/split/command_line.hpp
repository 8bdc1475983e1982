// The command line of ostrak-split.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "split/splitter.hpp"

namespace ostrak::split {

struct CommandLine {
  bool ShowUsage = false;
  SplitOptions Options;
};

// Reads the arguments after the program's name; a bad or missing argument
// raises ESplitError with its reason.
CommandLine ParseCommandLine(const std::vector<std::string_view>& arguments);

// The usage text, lines ending with LF.
std::string UsageText();

}  // namespace ostrak::split
