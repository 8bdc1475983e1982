#include <fcntl.h>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>

#include "e2e/cli_case.hpp"

namespace ostrak::test {

std::string OstrakFileName() { return "ostrak"; }

void BecomeNobody() {
  if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) _exit(126);
}

std::string OstrakProgram() { return (ProgramDir() / OstrakFileName()).string(); }

RunResult RunOstrak(const std::vector<std::string>& arguments, const RunOptions& options) {
  TempDir capture;
  const std::string program = options.Program.empty() ? OstrakProgram() : options.Program;
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    // The program starts with the three standard streams and nothing else.
    int ends[2];
    if (options.BrokenPipe && pipe(ends) == 0) close(ends[0]);
    const int streams[] = {open("/dev/null", O_RDONLY),
                           options.BrokenPipe ? ends[1] : creat(capture.File("stdout").c_str(), 0644),
                           creat(capture.File("stderr").c_str(), 0644)};
    for (int stream = 0; stream < 3; ++stream) {
      if (streams[stream] < 0 || dup2(streams[stream], stream) < 0) _exit(126);
    }
    closefrom(3);
    if (options.NoStdout) close(1);
    if (options.NoStderr) close(2);
    if (!options.Folder.empty() && chdir(options.Folder.c_str()) != 0) _exit(126);
    setenv("LC_ALL", "C", 1);
    if (options.InChild) options.InChild();
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  if (options.Meanwhile) options.Meanwhile(child);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  RunResult result;
  result.ExitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  if (!options.BrokenPipe) result.Stdout = ReadBytes(capture.File("stdout"));
  result.Stderr = ReadBytes(capture.File("stderr"));
  return result;
}

}  // namespace ostrak::test
