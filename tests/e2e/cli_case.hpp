// One run of the program and what must come of it: the end-to-end tests are
// tables of these, run by RunCase.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/process_runner.hpp"
#include "support/test_files.hpp"

namespace ostrak::test {

struct CliCase {
  std::string Name = {};
  // Files made in the case's own folder before the run: name and bytes.
  std::vector<std::pair<std::string, std::string>> Files = {};
  std::function<void(const TempDir&)> Setup = {};
  // "{dir}" in an argument, or in the program or folder to run, stands for
  // the case's folder.
  std::vector<std::string> Arguments = {};
  RunOptions Options = {};
  // The message of the one failure report on standard error, with its class
  // and module ("" for any); empty for a run that must end with status 0.
  std::string Report = {};
  std::string Class = "EInOutError";
  std::string Module = OstrakFileName();
  std::string Stdout = {};
  // Files of the folder after the run: their bytes, or nullopt for none.
  std::vector<std::pair<std::string, std::optional<std::string>>> After = {};
};

void RunCase(const CliCase& c);

}  // namespace ostrak::test
