#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "support/process_runner.hpp"
#include "support/test_files.hpp"

namespace ostrak::test {

std::string OstrakFileName() { return "ostrak"; }

std::string OstrakProgram() { return (ProgramDir() / OstrakFileName()).string(); }

RunResult RunOstrak(const std::vector<std::string>& arguments, const RunOptions& options) {
  if (!options.WholeCommandLine.empty()) throw std::invalid_argument("POSIX programs get their arguments split");
  TempDir capture;
  const std::string stdoutPath = options.StdoutPath.empty() ? capture.File("stdout") : options.StdoutPath;
  const std::string stderrPath = capture.File("stderr");
  std::string program = options.ProgramPath.empty() ? OstrakProgram() : options.ProgramPath;
  const bool dropPrivileges = options.AsNobody && geteuid() == 0;
  if (dropPrivileges) {
    // The build folder may be out of nobody's reach; a copy in the scratch folder is not.
    const std::string copy = capture.File("ostrak");
    std::filesystem::copy_file(program, copy);
    std::filesystem::permissions(copy, std::filesystem::perms::all & ~std::filesystem::perms::group_write &
                                           ~std::filesystem::perms::others_write);
    program = copy;
  }

  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    const int input = open("/dev/null", O_RDONLY);
    const int output = open(stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int error = open(stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (input < 0 || output < 0 || error < 0) _exit(126);
    dup2(input, 0);
    dup2(output, 1);
    dup2(error, 2);
    // The program starts with the three standard streams and nothing else.
    closefrom(3);
    if (options.NoStdout) close(1);
    if (options.NoStderr) close(2);
    if (options.BrokenPipe) {
      int ends[2];
      if (pipe(ends) != 0) _exit(126);
      close(ends[0]);
      dup2(ends[1], 1);
      close(ends[1]);
    }
    if (dropPrivileges) {
      if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) _exit(126);
    }
    if (!options.Folder.empty() && chdir(options.Folder.c_str()) != 0) _exit(126);
    setenv("LC_ALL", "C", 1);
    for (const auto& [name, value] : options.Variables) setenv(name.c_str(), value.c_str(), 1);
    if (options.MemoryLimit != 0) {
      const rlimit limit{options.MemoryLimit, options.MemoryLimit};
      setrlimit(RLIMIT_AS, &limit);
    }
    if (options.FileLimit != 0) {
      const rlimit limit{static_cast<rlim_t>(options.FileLimit), static_cast<rlim_t>(options.FileLimit)};
      setrlimit(RLIMIT_NOFILE, &limit);
    }
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  if (options.WhileRunning) options.WhileRunning(child);
  if (options.SignalNumber != 0) {
    // Time to get past its start-up; the tests that signal keep it waiting for input.
    usleep(300 * 1000);
    kill(child, options.SignalNumber);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
  }
  RunResult result;
  result.ExitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  if (options.StdoutPath.empty()) result.Stdout = ReadBytes(stdoutPath);
  result.Stderr = ReadBytes(stderrPath);
  return result;
}

}  // namespace ostrak::test
