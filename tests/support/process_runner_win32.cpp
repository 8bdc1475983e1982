// Starts the program with CreateProcessA and a command line string, so that
// the program's own splitting of that line is what the tests see.
#include <windows.h>

#include <stdexcept>

#include "support/process_runner.hpp"
#include "support/test_files.hpp"

namespace ostrak::test {

namespace {

// Closes a handle when it goes.
class Handle {
 public:
  explicit Handle(HANDLE handle = nullptr) : FHandle(handle) {}
  ~Handle() {
    if (FHandle != nullptr && FHandle != INVALID_HANDLE_VALUE) ::CloseHandle(FHandle);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE Get() const { return FHandle; }

 private:
  HANDLE FHandle;
};

// A handle the child inherits as one of its standard streams.
HANDLE OpenInheritable(const std::string& path, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const HANDLE file = ::CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, disposition,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + path);
  return file;
}

// The child's standard output: none, a pipe whose reading end is already
// closed, or a file.
HANDLE StandardOutputFor(const RunOptions& options, const std::string& path) {
  if (options.NoStdout) return nullptr;
  if (options.BrokenPipe) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE reader = nullptr;
    HANDLE writer = nullptr;
    if (!::CreatePipe(&reader, &writer, &inherit, 0)) throw std::runtime_error("cannot make a pipe");
    ::CloseHandle(reader);
    return writer;
  }
  return OpenInheritable(path, GENERIC_WRITE, CREATE_ALWAYS);
}

std::string QuotedArguments(const std::string& program, const std::vector<std::string>& arguments) {
  std::string line = '"' + program + '"';
  for (const std::string& argument : arguments) {
    if (argument.find('"') != std::string::npos) throw std::invalid_argument("an argument cannot hold a quote");
    line += " \"" + argument + '"';
  }
  return line;
}

}  // namespace

std::string OstrakFileName() { return "ostrak.exe"; }

std::string OstrakProgram() { return (ProgramDir() / OstrakFileName()).string(); }

RunResult RunOstrak(const std::vector<std::string>& arguments, const RunOptions& options) {
  if (options.AsNobody || options.MemoryLimit != 0 || options.FileLimit != 0 || options.SignalNumber != 0 ||
      !options.Variables.empty()) {
    throw std::invalid_argument("run option not available on Windows");
  }
  TempDir capture;
  const std::string stdoutPath = options.StdoutPath.empty() ? capture.File("stdout") : options.StdoutPath;
  const std::string stderrPath = capture.File("stderr");
  const std::string program = options.ProgramPath.empty() ? OstrakProgram() : options.ProgramPath;

  const Handle input(OpenInheritable("NUL", GENERIC_READ, OPEN_EXISTING));
  const Handle error(OpenInheritable(stderrPath, GENERIC_WRITE, CREATE_ALWAYS));
  const Handle output(StandardOutputFor(options, stdoutPath));

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input.Get();
  startup.hStdOutput = output.Get();
  startup.hStdError = error.Get();
  std::string commandLine =
      options.WholeCommandLine.empty() ? QuotedArguments(program, arguments) : options.WholeCommandLine;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        options.Folder.empty() ? nullptr : options.Folder.c_str(), &startup, &process)) {
    throw std::runtime_error("cannot start " + program + ": error " + std::to_string(::GetLastError()));
  }
  const Handle child(process.hProcess);
  const Handle thread(process.hThread);
  if (options.WhileRunning) options.WhileRunning(reinterpret_cast<std::intptr_t>(child.Get()));
  ::WaitForSingleObject(child.Get(), INFINITE);
  DWORD status = 0;
  RunResult result;
  if (::GetExitCodeProcess(child.Get(), &status)) result.ExitStatus = static_cast<int>(status);
  if (options.StdoutPath.empty() && !options.NoStdout && !options.BrokenPipe) result.Stdout = ReadBytes(stdoutPath);
  result.Stderr = ReadBytes(stderrPath);
  return result;
}

}  // namespace ostrak::test
