// Runs of the built ostrak-split and what must come of them, as rows of the
// tables of cli_case.hpp.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "e2e/cli_case.hpp"

namespace ostrak::test {

inline constexpr std::string_view Marker = "# Tile set written by ostrak-split";

std::string SplitProgram();
// Runs a case of ostrak-split: its Report is the message after "ostrak-split: "
// on standard error ("{dir}" standing for the case's folder), its Stdout the
// beginning of standard output; Class and Module are not used.
void RunSplitCase(const CliCase& c);

// Every file of the folder equals the file of that name in the golden folder, and no other.
void CheckGolden(const fs::path& folder, const fs::path& golden);


}  // namespace ostrak::test
