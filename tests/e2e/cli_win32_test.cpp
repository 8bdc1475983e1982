// End-to-end runs that only Windows has: the program splits its command line
// itself, files are shared by their open modes, console text is in the OEM
// code page, pipes, faults and error codes are the system's own.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "e2e/cli_case.hpp"

namespace ostrak::test {
namespace {

// The command line, run in a folder with in.mp and sub\in.mp, converts the
// input it names ("top" or "sub") into the output it names.
CliCase Line(std::string name, std::string line, std::string output, std::string content) {
  return {.Name = std::move(name), .Files = {{"in.mp", "top\n"}},
          .Setup = [](const TempDir& dir) {
            fs::create_directory(dir.Path() / "sub");
            WriteBytes(dir.Path() / "sub" / "in.mp", "sub\n");
            fs::copy_file(OstrakProgram(), dir.File("my tool.exe"));
          },
          .Options = {.Folder = "{dir}", .CommandLine = std::move(line)}, .After = {{output, content + "\r\n"}}};
}

HANDLE Writer = INVALID_HANDLE_VALUE;
// A named pipe that this process serves from Setup on; the program opens it by
// its name, and Meanwhile waits until it has.
const std::string PipeName = "\\\\.\\pipe\\ostrak-test-" + std::to_string(::GetCurrentProcessId());
HANDLE Pipe = INVALID_HANDLE_VALUE;
void ServePipe(const TempDir&) {
  Pipe = ::CreateNamedPipeA(PipeName.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0,
                            nullptr);
}

const std::vector<CliCase> Cases = [] {
  std::vector<CliCase> cases = {
      Line("plain names", "ostrak.exe in.mp out.mp", "out.mp", "top"),
      Line("quoted names", "ostrak.exe \"in.mp\" \"out with spaces.mp\"", "out with spaces.mp", "top"),
      // Quotes may start and stop anywhere; a quoted stretch joins its neighbours.
      Line("quotes inside names", "ostrak.exe i\"n.m\"p o\"ut \"two.mp", "out two.mp", "top"),
      // Empty quoted arguments neither count nor shift the others.
      Line("empty quoted arguments", "ostrak.exe \"\" in.mp \"\" out3.mp \"\"", "out3.mp", "top"),
      Line("two quotes before a name", "ostrak.exe \"\"in.mp out4.mp", "out4.mp", "top"),
      // A quote left open runs to the end of the line.
      Line("a quote left open", "ostrak.exe in.mp \"open quote.mp", "open quote.mp", "top"),
      // A backslash is an ordinary byte, also before a quote.
      Line("a backslash before a quote", "ostrak.exe \"sub\\\"in.mp out6.mp", "out6.mp", "sub"),
      Line("two backslashes", "ostrak.exe sub\\\\in.mp out7.mp", "out7.mp", "sub"),
      // Tabs and control bytes separate arguments; extra arguments are ignored.
      Line("control bytes between names", "ostrak.exe\tin.mp\x01out8.mp\x1Fignored", "out8.mp", "top"),
      Line("a quoted program name with a space", "\"my tool.exe\" in.mp out9.mp", "out9.mp", "top"),
      // A name longer than the system takes is refused whole, never shortened.
      {.Name = "a long output name", .Files = {{"in.mp", "x\n"}},
       .Arguments = {"{dir}/in.mp", "{dir}/" + std::string(300, 'n')}, .Report = "I/O error 206"},
      {.Name = "characters the file system rejects", .Files = {{"in.mp", "x\n"}},
       .Arguments = {"{dir}/in.mp", "{dir}/a<b.mp"}, .Report = "I/O error 123"},
      // The pipe is being closed (ERROR_NO_DATA).
      {.Name = "the usage text into a pipe nobody reads", .Options = {.BrokenPipe = true}, .Report = "I/O error 232"},
      // Another program, this one from Setup to Check, holds the input open for writing.
      {.Name = "an input held open for writing", .Files = {{"in.mp", "x\n"}},
       .Setup = [](const TempDir& dir) {
         Writer = ::CreateFileA(dir.File("in.mp").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
       },
       .Arguments = {"{dir}/in.mp", "{dir}/out.mp"}, .Report = "I/O error 32", .After = {{"out.mp", std::nullopt}},
       .Check = [](const TempDir&) { EXPECT_TRUE(::CloseHandle(Writer)); }},
      // A pipe whose writer went away ends the input like the end of a file.
      {.Name = "a pipe input whose writer went away", .Setup = ServePipe, .Arguments = {PipeName, "{dir}/out.mp"},
       .Options = {.Meanwhile = [](std::intptr_t) {
         ::ConnectNamedPipe(Pipe, nullptr);
         DWORD written = 0;
         ::WriteFile(Pipe, "[IMG ID]\r\nID=1\r\n[END-IMG ID]\r\nlast", 34, &written, nullptr);
         ::CloseHandle(Pipe);
       }},
       .After = {{"out.mp", "[IMG ID]\r\nID=1\r\nTypeSet=Garmin\r\nRouting=N\r\nPOINumberFirst=N\r\nPOIZipFirst=N\r\n"
                            "MG=Y\r\nNumbering=Y\r\n[END-IMG ID]\r\nlast\r\n"}}},
      // The program waits on an input pipe that gets no data, and a thread
      // started in it at address 0 faults there.
      {.Name = "a processor fault", .Setup = ServePipe, .Arguments = {PipeName, "{dir}/out.mp"},
       .Options = {.Meanwhile = [](std::intptr_t child) {
         ::ConnectNamedPipe(Pipe, nullptr);
         ::CloseHandle(::CreateRemoteThread(reinterpret_cast<HANDLE>(child), nullptr, 0, nullptr, nullptr, 0, nullptr));
       }},
       .Report = "Access violation", .Class = "EAccessViolation",
       .Check = [](const TempDir&) { ::CloseHandle(Pipe); }},
  };
  // The Cyrillic texts are in the OEM code page 866 that belongs to the ANSI
  // code page 1251: the usage text, bytes exactly (no text mode turns CR LF
  // into CR CR LF), and a program name in Windows-1251 on disk (copied through
  // the ANSI calls) that the report gives in code page 866.
  if (::GetACP() == 1251 && ::GetOEMCP() == 866) {
    const std::string usage = ReadBytes(DataDir() / "usage.cp866.txt");
    for (const char* line : {"ostrak.exe", "ostrak.exe in.mp", "ostrak.exe \"\" in.mp \"\"", "ostrak.exe in.mp \"",
                             "ostrak.exe \"\"\"in.mp out10.mp"}) {
      cases.push_back({.Name = std::string("usage: ") + line, .Options = {.Folder = "{dir}", .CommandLine = line},
                       .Stdout = usage, .After = {{"in.mp", std::nullopt}, {"out10.mp", std::nullopt}}});
    }
    cases.push_back({.Name = "a Cyrillic program name",
                     .Setup = [](const TempDir& dir) {
                       const std::string name = dir.Path().string() + "\\\xEE\xF1\xF2\xE0\xEA.exe";
                       ::CopyFileA(OstrakProgram().c_str(), name.c_str(), TRUE);
                     },
                     .Arguments = {"{dir}/missing.mp", "{dir}/out.mp"},
                     .Options = {.Program = "{dir}/\xEE\xF1\xF2\xE0\xEA.exe"}, .Report = "File not found",
                     .Module = "\xAE\xE1\xE2\xA0\xAA.exe"});
  }
  return cases;
}();

using WindowsCommandLine = CliTable;
TEST_P(WindowsCommandLine, Runs) { RunCase(*GetParam()); }
INSTANTIATE_TEST_SUITE_P(, WindowsCommandLine, Rows(Cases), RowName);

}  // namespace
}  // namespace ostrak::test
