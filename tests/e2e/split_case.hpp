// Runs of the built ostrak-split and what must come of them, as tables whose
// rows are tests of their own.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "e2e/cli_case.hpp"

namespace ostrak::test {

inline constexpr std::string_view Marker = "# Tile set written by ostrak-split";

struct SplitCase {
  std::string Name = {};
  // Made in the case's folder (with their folders): name and bytes.
  std::vector<std::pair<std::string, std::string>> Files = {};
  std::function<void(const TempDir&)> Setup = {};
  // "{dir}" in an argument, in Error or in the program stands for the case's folder.
  std::vector<std::string> Arguments = {};
  RunOptions Options = {};
  // The message after "ostrak-split: " on standard error; empty for a run
  // that must succeed.
  std::string Error = {};
  std::string Stdout = {};  // the beginning of standard output
  // Files or folders after the run: the bytes of a file, "" for a folder, or nullopt for none.
  std::vector<std::pair<std::string, std::optional<std::string>>> After = {};
  std::function<void(const TempDir&)> Check = {};
};

std::string SplitProgram();
RunResult RunSplit(const std::vector<std::string>& arguments, RunOptions options = {});
void RunSplitCase(const SplitCase& c);

// Every file of the folder equals the file of that name in the golden folder, and no other.
void CheckGolden(const fs::path& folder, const fs::path& golden);

class SplitTable : public testing::TestWithParam<const SplitCase*> {};
inline void PrintTo(const SplitCase* c, std::ostream* out) { *out << c->Name; }

}  // namespace ostrak::test
