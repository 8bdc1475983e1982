// The program's arguments. One implementation per platform
// (command_line_posix.cpp, command_line_win32.cpp).
#pragma once

#include <string>
#include <vector>

namespace ostrak::platform {

// The arguments after the program's own name. Empty arguments are left out:
// they neither count nor shift the arguments after them.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

}  // namespace ostrak::platform
