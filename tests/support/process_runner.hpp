// Runs the built ostrak program as a child process, for end-to-end tests.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ostrak::test {

struct RunOptions {
  std::string Program = {};  // default: the built ostrak
  std::string Folder = {};   // working folder; default: the test's own
  bool NoStdout = false;     // start with no standard output at all
  bool NoStderr = false;     // start with no standard error at all
  bool BrokenPipe = false;   // standard output is a pipe that nobody reads
  // POSIX: runs in the child just before the program starts (limits, user).
  std::function<void()> InChild = {};
  // Windows: the whole command line, the program's own name first, instead of
  // the quoted arguments.
  std::string CommandLine = {};
  // Called with the process id (POSIX) or handle (Windows) once the program
  // runs; the run is then waited for.
  std::function<void(std::intptr_t)> Meanwhile = {};
};

struct RunResult {
  int ExitStatus = -1;  // -1 when the child did not exit normally
  std::string Stdout;
  std::string Stderr;
};

RunResult RunOstrak(const std::vector<std::string>& arguments, const RunOptions& options = {});

// The path of the built ostrak program, and its file name.
std::string OstrakProgram();
std::string OstrakFileName();

}  // namespace ostrak::test
