// Starts the program with CreateProcessA and a command line string, so that
// the program's own splitting of that line is what the tests see.
#include <windows.h>

#include <memory>
#include <stdexcept>

#include "e2e/cli_case.hpp"

namespace ostrak::test {

namespace {

// A handle that is closed when it goes.
struct HandleCloser {
  void operator()(HANDLE handle) const {
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) ::CloseHandle(handle);
  }
};
using Handle = std::unique_ptr<void, HandleCloser>;

SECURITY_ATTRIBUTES Inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};

// A handle the child inherits as one of its standard streams.
Handle Inheritable(const std::string& path, DWORD access, DWORD disposition) {
  const HANDLE file = ::CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &Inherited, disposition,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + path);
  return Handle(file);
}

// A pipe whose reading end is already closed.
Handle BrokenPipe() {
  HANDLE reader = nullptr;
  HANDLE writer = nullptr;
  if (!::CreatePipe(&reader, &writer, &Inherited, 0)) throw std::runtime_error("cannot make a pipe");
  ::CloseHandle(reader);
  return Handle(writer);
}

}  // namespace

std::string OstrakFileName() { return "ostrak.exe"; }

std::string OstrakProgram() { return (ProgramDir() / OstrakFileName()).string(); }

RunResult RunOstrak(const std::vector<std::string>& arguments, const RunOptions& options) {
  if (options.InChild) throw std::invalid_argument("no hook in the child on Windows");
  TempDir capture;
  const std::string program = options.Program.empty() ? OstrakProgram() : options.Program;
  std::string line = options.CommandLine.empty() ? '"' + program + '"' : options.CommandLine;
  for (const std::string& argument : arguments) line += " \"" + argument + '"';

  const Handle input = Inheritable("NUL", GENERIC_READ, OPEN_EXISTING);
  const Handle output = options.NoStdout     ? Handle()
                        : options.BrokenPipe ? BrokenPipe()
                                             : Inheritable(capture.File("stdout"), GENERIC_WRITE, CREATE_ALWAYS);
  const Handle error = Inheritable(capture.File("stderr"), GENERIC_WRITE, CREATE_ALWAYS);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input.get();
  startup.hStdOutput = output.get();
  startup.hStdError = options.NoStderr ? nullptr : error.get();
  PROCESS_INFORMATION process{};
  if (!::CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        options.Folder.empty() ? nullptr : options.Folder.c_str(), &startup, &process)) {
    throw std::runtime_error("cannot start " + program + ": error " + std::to_string(::GetLastError()));
  }
  const Handle child(process.hProcess);
  const Handle thread(process.hThread);
  if (options.Meanwhile) options.Meanwhile(reinterpret_cast<std::intptr_t>(child.get()));
  ::WaitForSingleObject(child.get(), INFINITE);
  DWORD status = 0;
  RunResult result;
  if (::GetExitCodeProcess(child.get(), &status)) result.ExitStatus = static_cast<int>(status);
  if (!options.NoStdout && !options.BrokenPipe) result.Stdout = ReadBytes(capture.File("stdout"));
  result.Stderr = ReadBytes(capture.File("stderr"));
  return result;
}

}  // namespace ostrak::test
