// Runs of the built program, and what must come of them: the end-to-end
// tests are tables of CliCase, each row a test of its own named after it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "support/table_rows.hpp"
#include "support/test_files.hpp"

namespace ostrak::test {

// "{dir}" in text stands for the case's folder, and a "/" after it for the
// system's separator.
std::string InFolder(std::string text, const TempDir& dir);

struct RunOptions {
  std::string Program = {};  // default: the built ostrak
  std::string Folder = {};   // working folder; default: the test's own
  bool NoStdout = false;     // start with no standard output at all
  bool NoStderr = false;     // start with no standard error at all
  bool BrokenPipe = false;   // standard output is a pipe that nobody reads
  std::function<void()> InChild = {};  // POSIX: runs in the child just before the program starts
  // Windows: the whole command line, the program's own name first, instead of the quoted arguments.
  std::string CommandLine = {};
  // Called with the process id (POSIX) or handle (Windows) once the program runs; the run is then waited for.
  std::function<void(std::intptr_t)> Meanwhile = {};
};

struct RunResult {
  int ExitStatus = -1;  // -1 when the child did not exit normally
  std::string Stdout;
  std::string Stderr;
};

// POSIX, in RunOptions::InChild: the program runs as nobody when the tests
// run as root.
void BecomeNobody();
// Runs the program as a child process (process_runner_*.cpp).
RunResult RunOstrak(const std::vector<std::string>& arguments, const RunOptions& options = {});
// The path of the built ostrak program, and its file name.
std::string OstrakProgram();
std::string OstrakFileName();

struct CliCase {
  std::string Name = {};
  std::vector<std::pair<std::string, std::string>> Files = {};  // made in the case's own folder: name and bytes
  std::function<void(const TempDir&)> Setup = {};
  // "{dir}" in an argument, or in the program or folder to run, stands for the case's folder.
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
  std::function<void(const TempDir&)> Check = {};  // for files too large to keep in a table
};

void RunCase(const CliCase& c);

// Makes a case's files (and their folders), runs its Setup, then runs the
// program with its arguments and options, "{dir}" in them standing for the
// case's folder.
template <typename Case>
RunResult RunInFolder(const Case& c, const TempDir& dir, const std::string& program) {
  for (const auto& [name, bytes] : c.Files) {
    fs::create_directories((dir.Path() / name).parent_path());
    WriteBytes(dir.File(name), bytes);
  }
  if (c.Setup) c.Setup(dir);
  std::vector<std::string> arguments;
  for (const std::string& argument : c.Arguments) arguments.push_back(InFolder(argument, dir));
  RunOptions options = c.Options;
  options.Program = InFolder(options.Program.empty() ? program : options.Program, dir);
  options.Folder = InFolder(options.Folder, dir);
  return RunOstrak(arguments, options);
}

// Each file of the folder: its bytes, or nullopt for none.
void CheckFilesAfter(const std::vector<std::pair<std::string, std::optional<std::string>>>& after,
                     const TempDir& dir);

// A table whose rows are tests of their own, named after them:
//   TEST_P(Suite, Runs) { RunCase(*GetParam()); }
//   INSTANTIATE_TEST_SUITE_P(, Suite, Rows(table), RowName);
// The rows are not copied: the table must outlive the tests.
class CliTable : public testing::TestWithParam<const CliCase*> {};
inline void PrintTo(const CliCase* c, std::ostream* out) { *out << c->Name; }

}  // namespace ostrak::test
