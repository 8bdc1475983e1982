// Runs the built ostrak program as a child process, for end-to-end tests.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace ostrak::test {

// How to start the program; the setters chain: RunOptions().Unprivileged().
struct RunOptions {
  std::string ProgramPath;   // default: the built ostrak
  std::string StdoutPath;    // default: captured
  bool NoStdout = false;     // start with no standard output at all
  bool NoStderr = false;     // start with no standard error at all
  bool BrokenPipe = false;   // standard output is a pipe that nobody reads
  bool AsNobody = false;     // run as nobody when the tests run as root
  std::string Folder;        // default: the test's own working folder
  std::uint64_t MemoryLimit = 0;  // address space in bytes; 0 for none
  int FileLimit = 0;              // open files; 0 for none
  int SignalNumber = 0;           // sent to the program once it runs; 0 for none
  std::vector<std::pair<std::string, std::string>> Variables;  // set on top of LC_ALL=C
  // Windows: the whole command line as the program gets it, its own name
  // first, used instead of the arguments. By default the arguments are put
  // in double quotes, one after another.
  std::string WholeCommandLine;
  // Called once the program runs, with its process id (POSIX) or process
  // handle (Windows); the run is then waited for.
  std::function<void(std::intptr_t)> WhileRunning;

  RunOptions& Program(std::string path) { ProgramPath = std::move(path); return *this; }
  RunOptions& Stdout(std::string path) { StdoutPath = std::move(path); return *this; }
  RunOptions& ClosedStdout() { NoStdout = true; return *this; }
  RunOptions& ClosedStderr() { NoStderr = true; return *this; }
  RunOptions& StdoutToBrokenPipe() { BrokenPipe = true; return *this; }
  RunOptions& Unprivileged() { AsNobody = true; return *this; }
  RunOptions& WorkingDir(std::string path) { Folder = std::move(path); return *this; }
  RunOptions& AddressSpaceLimit(std::uint64_t bytes) { MemoryLimit = bytes; return *this; }
  RunOptions& OpenFilesLimit(int files) { FileLimit = files; return *this; }
  RunOptions& SendSignal(int signal) { SignalNumber = signal; return *this; }
  RunOptions& CommandLine(std::string line) { WholeCommandLine = std::move(line); return *this; }
  RunOptions& Meanwhile(std::function<void(std::intptr_t)> action) { WhileRunning = std::move(action); return *this; }
  RunOptions& Environment(std::string name, std::string value) {
    Variables.emplace_back(std::move(name), std::move(value));
    return *this;
  }
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
