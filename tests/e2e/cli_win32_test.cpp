// End-to-end runs that only Windows has: the program splits its command line
// itself, files are shared by their open modes, console text is in the OEM
// code page, pipes and processor faults are the system's own, and error
// codes are the system's numbers.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <thread>

#include "e2e/cli_checks.hpp"
#include "support/process_runner.hpp"
#include "support/test_files.hpp"

namespace ostrak::test {
namespace {

namespace fs = std::filesystem;

// The Cyrillic texts below are in the OEM code page 866 that belongs to the
// ANSI code page 1251.
bool RussianCodePages() { return ::GetACP() == 1251 && ::GetOEMCP() == 866; }

// The usage text in the OEM code page 866.
std::string Usage() { return ReadBytes(DataDir() / "usage.cp866.txt"); }

TEST(Usage, InTheOemCodePageWithCrLfWrittenOnce) {
  if (!RussianCodePages()) GTEST_SKIP() << "needs the ANSI code page 1251 (run with LANG=ru_RU.UTF-8 under Wine)";
  TempDir dir;
  for (const std::string& line : {std::string("ostrak.exe"), std::string("ostrak.exe in.mp"),
                                  std::string("ostrak.exe \"\" in.mp \"\"")}) {
    const RunResult run = RunOstrak({}, RunOptions().CommandLine(line).WorkingDir(dir.Path().string()));
    EXPECT_EQ(run.ExitStatus, 0) << line;
    // Bytes exactly: no text mode turns CR LF into CR CR LF.
    EXPECT_TRUE(run.Stdout == Usage()) << line << ": " << testing::PrintToString(run.Stdout);
    EXPECT_EQ(run.Stderr, "") << line;
  }
  // No file was opened or created.
  EXPECT_TRUE(fs::is_empty(dir.Path()));
}

// Each command line, run in a folder with in.mp and sub\in.mp, converts
// the input it names into the output it names.
TEST(Arguments, CommandLineSplitting) {
  TempDir dir;
  WriteBytes(dir.File("in.mp"), "top\n");
  fs::create_directory(dir.Path() / "sub");
  WriteBytes(dir.Path() / "sub" / "in.mp", "sub\n");
  fs::copy_file(OstrakProgram(), dir.File("my tool.exe"));
  struct Case {
    std::string Line;
    std::string Output;  // empty: the usage text
    std::string Content;
  };
  const Case cases[] = {
      {"ostrak.exe in.mp out.mp", "out.mp", "top"},
      {"ostrak.exe \"in.mp\" \"out with spaces.mp\"", "out with spaces.mp", "top"},
      // Quotes may start and stop anywhere; a quoted stretch joins its neighbours.
      {"ostrak.exe i\"n.m\"p o\"ut \"two.mp", "out two.mp", "top"},
      // Empty quoted arguments neither count nor shift the others.
      {"ostrak.exe \"\" in.mp \"\" out3.mp \"\"", "out3.mp", "top"},
      {"ostrak.exe \"\"in.mp out4.mp", "out4.mp", "top"},
      // A quote left open runs to the end of the line.
      {"ostrak.exe in.mp \"open quote.mp", "open quote.mp", "top"},
      // A backslash is an ordinary byte, also before a quote.
      {"ostrak.exe \"sub\\\"in.mp out6.mp", "out6.mp", "sub"},
      {"ostrak.exe sub\\\\in.mp out7.mp", "out7.mp", "sub"},
      // Tabs and control bytes separate arguments; extra arguments are ignored.
      {"ostrak.exe\tin.mp\x01out8.mp\x1Fignored", "out8.mp", "top"},
      // The program's own name may be quoted and hold spaces.
      {"\"" + dir.File("my tool.exe") + "\" in.mp out9.mp", "out9.mp", "top"},
      // The arguments end at the first empty one: too few names.
      {"ostrak.exe in.mp \"", "", ""},
      {"ostrak.exe \"\"\"in.mp out10.mp", "", ""},
  };
  for (const Case& c : cases) {
    const RunResult run = RunOstrak({}, RunOptions().CommandLine(c.Line).WorkingDir(dir.Path().string()));
    EXPECT_EQ(run.ExitStatus, 0) << c.Line << ": " << run.Stderr;
    if (c.Output.empty()) {
      EXPECT_NE(run.Stdout, "") << c.Line << " should print the usage text";
    } else {
      EXPECT_EQ(run.Stdout, "") << c.Line;
      ASSERT_TRUE(fs::exists(dir.Path() / c.Output)) << c.Line;
      EXPECT_EQ(ReadBytes(dir.Path() / c.Output), c.Content + "\r\n") << c.Line;
    }
  }
  EXPECT_FALSE(fs::exists(dir.File("out10.mp")));
}

TEST(OpenFailures, SystemErrorNumbers) {
  TempDir dir;
  WriteBytes(dir.File("in.mp"), "x\n");
  // A name longer than the system takes is refused whole, never shortened.
  ExpectIoReport(RunOstrak({dir.File(std::string(300, 'n')), dir.File("out.mp")}), "I/O error 206");
  ExpectIoReport(RunOstrak({dir.File("in.mp"), dir.File(std::string(300, 'n'))}), "I/O error 206");
  // Characters that the file system rejects.
  ExpectIoReport(RunOstrak({dir.File("in.mp"), dir.File("a<b.mp")}), "I/O error 123");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

TEST(OpenFailures, InputHeldOpenForWritingIsASharingViolation) {
  TempDir dir;
  WriteBytes(dir.File("in.mp"), "x\n");
  const HANDLE writer = ::CreateFileA(dir.File("in.mp").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  ExpectIoReport(RunOstrak({dir.File("in.mp"), dir.File("out.mp")}), "I/O error 32");
  ::CloseHandle(writer);
  EXPECT_FALSE(fs::exists(dir.File("out.mp")));
}

TEST(OpenFailures, ReadOnlyOutputIsDenied) {
  TempDir dir;
  WriteBytes(dir.File("in.mp"), "x\n");
  WriteBytes(dir.File("readonly.mp"), "keep\n");
  ASSERT_TRUE(::SetFileAttributesA(dir.File("readonly.mp").c_str(), FILE_ATTRIBUTE_READONLY));
  const HANDLE probe = ::CreateFileA(dir.File("readonly.mp").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (probe != INVALID_HANDLE_VALUE) {
    // Wine run by root writes read-only files like the Unix root does.
    ::CloseHandle(probe);
    ::SetFileAttributesA(dir.File("readonly.mp").c_str(), FILE_ATTRIBUTE_NORMAL);
    GTEST_SKIP() << "this system lets the tests write read-only files";
  }
  ExpectIoReport(RunOstrak({dir.File("in.mp"), dir.File("readonly.mp")}), "File access denied");
  ::SetFileAttributesA(dir.File("readonly.mp").c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(ReadBytes(dir.File("readonly.mp")), "keep\n");
}

// A named pipe that this process serves; the program opens it by its name.
class ServedPipe {
 public:
  ServedPipe() {
    static int count = 0;
    FName = "\\\\.\\pipe\\ostrak-test-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(count++);
    FPipe = ::CreateNamedPipeA(FName.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0,
                               nullptr);
    if (FPipe == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot make a named pipe");
  }
  ~ServedPipe() {
    if (FPipe != INVALID_HANDLE_VALUE) ::CloseHandle(FPipe);
  }
  ServedPipe(const ServedPipe&) = delete;
  ServedPipe& operator=(const ServedPipe&) = delete;

  const std::string& Name() const { return FName; }
  // Waits until the program has opened the pipe.
  void AwaitReader() {
    if (!::ConnectNamedPipe(FPipe, nullptr) && ::GetLastError() != ERROR_PIPE_CONNECTED) {
      throw std::runtime_error("the program did not open the pipe");
    }
  }
  void Write(const std::string& bytes) {
    DWORD written = 0;
    ::WriteFile(FPipe, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  }
  void Close() {
    ::CloseHandle(FPipe);
    FPipe = INVALID_HANDLE_VALUE;
  }

 private:
  std::string FName;
  HANDLE FPipe;
};

TEST(Pipes, AnInputWhoseWriterWentAwayEndsLikeAFile) {
  TempDir dir;
  ServedPipe input;
  const RunResult run = RunOstrak({input.Name(), dir.File("out.mp")}, RunOptions().Meanwhile([&](std::intptr_t) {
    input.AwaitReader();
    input.Write("[IMG ID]\r\nID=1\r\n[END-IMG ID]\r\nlast");
    input.Close();
  }));
  EXPECT_EQ(run.ExitStatus, 0) << run.Stderr;
  EXPECT_EQ(ReadBytes(dir.File("out.mp")),
            "[IMG ID]\r\nID=1\r\nTypeSet=Garmin\r\nRouting=N\r\nPOINumberFirst=N\r\nPOIZipFirst=N\r\nMG=Y\r\n"
            "Numbering=Y\r\n[END-IMG ID]\r\nlast\r\n");
}

TEST(Pipes, AStandardOutputWhoseReaderWentAway) {
  // The pipe is being closed (ERROR_NO_DATA).
  ExpectIoReport(RunOstrak({}, RunOptions().StdoutToBrokenPipe()), "I/O error 232");
}

TEST(RunFailures, FullDevice) {
  // Wine shows the Unix root as drive Z:, and with it the device that is
  // always full; Windows has no such device.
  const std::string full = "Z:\\dev\\full";
  const HANDLE probe =
      ::CreateFileA(full.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (probe == INVALID_HANDLE_VALUE) GTEST_SKIP() << "no full device here";
  ::CloseHandle(probe);
  TempDir dir;
  WriteBytes(dir.File("in.mp"), "x\n");
  ExpectIoReport(RunOstrak({dir.File("in.mp"), full}), "I/O error 112");
}

TEST(RunFailures, ProcessorFaultIsReported) {
  TempDir dir;
  // The program waits on an input pipe that gets no data, and a thread
  // started in it at address 0 faults there.
  ServedPipe input;
  const RunResult run = RunOstrak({input.Name(), dir.File("out.mp")}, RunOptions().Meanwhile([&](std::intptr_t child) {
    input.AwaitReader();
    const HANDLE thread = ::CreateRemoteThread(reinterpret_cast<HANDLE>(child), nullptr, 0, nullptr, nullptr, 0, nullptr);
    if (thread != nullptr) ::CloseHandle(thread);
  }));
  // Address 0 lies in no module: the report names the program and 0.
  EXPECT_EQ(run.Stderr, "Exception EAccessViolation in module ostrak.exe at 00000000.\r\nAccess violation.\r\n\r\n");
  EXPECT_EQ(run.ExitStatus, 1);
}

TEST(RunFailures, ReportNamesTheExecutableInTheOemCodePage) {
  if (!RussianCodePages()) GTEST_SKIP() << "needs the ANSI code page 1251 (run with LANG=ru_RU.UTF-8 under Wine)";
  TempDir dir;
  // The same name in Windows-1251 on disk and in code page 866 in the report.
  const std::string program = dir.Path().string() + "\\\xEE\xF1\xF2\xE0\xEA.exe";
  ASSERT_TRUE(::CopyFileA(OstrakProgram().c_str(), program.c_str(), TRUE));
  ExpectReport(RunOstrak({dir.File("missing.mp"), dir.File("out.mp")}, RunOptions().Program(program)),
               "EInOutError", "File not found", "\xAE\xE1\xE2\xA0\xAA.exe");
}

}  // namespace
}  // namespace ostrak::test
