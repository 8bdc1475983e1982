// End-to-end runs of the built program: whole maps against golden files,
// the usage text, and the report and exit status of every failure that can
// be set up on this system.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/process_runner.hpp"
#include "support/test_files.hpp"

namespace ostrak::test {
namespace {

namespace fs = std::filesystem;

// Converts a map and compares the output with its golden file. With
// OSTRAK_REGENERATE=1 in the environment the golden file is rewritten
// instead; review the difference before committing it.
void ExpectGolden(const fs::path& input, const fs::path& golden) {
  TempDir dir;
  const RunResult run = RunOstrak({input.string(), dir.File("out.mp")});
  ASSERT_EQ(run.ExitStatus, 0) << run.Stderr;
  EXPECT_EQ(run.Stdout, "");
  EXPECT_EQ(run.Stderr, "");
  const std::string output = ReadBytes(dir.File("out.mp"));
  if (const char* regenerate = std::getenv("OSTRAK_REGENERATE"); regenerate && std::string(regenerate) == "1") {
    WriteBytes(golden, output);
  }
  EXPECT_TRUE(output == ReadBytes(golden)) << "output differs from " << golden;
}

TEST(Conversion, ExampleTownMatchesItsGoldenFile) {
  ExpectGolden(fs::path(OSTRAK_SOURCE_DIR) / "examples" / "town.mp", DataDir() / "town.expected.mp");
}

TEST(Conversion, EdgeCasesMatchTheirGoldenFile) {
  ExpectGolden(DataDir() / "edge-cases.mp", DataDir() / "edge-cases.expected.mp");
}

// The usage text as a UTF-8 terminal shows it.
const std::string Usage =
    "Ostrak v2.02 - \xD0\xBF\xD1\x80\xD0\xBE\xD0\xB3\xD1\x80\xD0\xB0\xD0\xBC\xD0\xBC\xD0\xB0 "
    "\xD0\xB4\xD0\xBB\xD1\x8F \xD1\x81\xD0\xBE\xD0\xB7\xD0\xB4\xD0\xB0\xD0\xBD\xD0\xB8\xD1\x8F "
    "\xD0\xB0\xD0\xB4\xD1\x80\xD0\xB5\xD1\x81\xD0\xBD\xD0\xBE\xD0\xB3\xD0\xBE "
    "\xD0\xBF\xD0\xBE\xD0\xB8\xD1\x81\xD0\xBA\xD0\xB0 \xD0\xB4\xD0\xBB\xD1\x8F Garmin.\r\n"
    "\xD0\x9F\xD1\x80\xD0\xBE\xD0\xB3\xD1\x80\xD0\xB0\xD0\xBC\xD0\xBC\xD0\xB0 "
    "\xD1\x80\xD0\xB0\xD0\xB1\xD0\xBE\xD1\x82\xD0\xB0\xD0\xB5\xD1\x82 \xD1\x81 "
    "\xD0\xBF\xD0\xBE\xD0\xBB\xD1\x8C\xD1\x81\xD0\xBA\xD0\xB8\xD0\xBC "
    "\xD1\x84\xD0\xBE\xD1\x80\xD0\xBC\xD0\xB0\xD1\x82\xD0\xBE\xD0\xBC \xD0\xB8 "
    "\xD0\xB2\xD1\x8B\xD0\xBF\xD0\xBE\xD0\xBB\xD0\xBD\xD1\x8F\xD0\xB5\xD1\x82 "
    "\xD0\xBF\xD1\x80\xD0\xB5\xD0\xBE\xD0\xB1\xD1\x80\xD0\xB0\xD0\xB7\xD0\xBE\xD0\xB2\xD0\xB0\xD0\xBD\xD0\xB8"
    "\xD0\xB5 \xD0\xB0\xD0\xB4\xD1\x80\xD0\xB5\xD1\x81\xD0\xBD\xD0\xBE\xD0\xB9\r\n"
    "\xD0\xB8\xD0\xBD\xD1\x84\xD0\xBE\xD1\x80\xD0\xBC\xD0\xB0\xD1\x86\xD0\xB8\xD0\xB8 "
    "\xD0\xB4\xD0\xBB\xD1\x8F \xD0\xBF\xD0\xBE\xD0\xBB\xD0\xB8\xD0\xB3\xD0\xBE\xD0\xBD\xD0\xBE\xD0\xB2 "
    "\xD0\xB7\xD0\xB4\xD0\xB0\xD0\xBD\xD0\xB8\xD0\xB9 \xD0\xB8\xD0\xB7 "
    "\xD1\x84\xD0\xBE\xD1\x80\xD0\xBC\xD0\xB0\xD1\x82\xD0\xB0 "
    "\xD0\x9D\xD0\xB0\xD0\xB2\xD0\xB8\xD1\x82\xD0\xB5\xD0\xBB \xD0\xB2 "
    "\xD1\x84\xD0\xBE\xD1\x80\xD0\xBC\xD0\xB0\xD1\x82 Garmin.\r\n"
    "Free software by the ostrak developers.\r\n"
    "\r\n"
    "Ostrak.exe input.mp output.mp\r\n"
    "\r\n"
    "      input.mp - \xD1\x84\xD0\xB0\xD0\xB9\xD0\xBB "
    "\xD0\xB8\xD1\x81\xD1\x85\xD0\xBE\xD0\xB4\xD0\xBD\xD0\xBE\xD0\xB9 "
    "\xD0\xBA\xD0\xB0\xD1\x80\xD1\x82\xD1\x8B \xD0\xB2 "
    "\xD1\x82\xD0\xB0\xD0\xB9\xD0\xBF\xD1\x81\xD0\xB5\xD1\x82\xD0\xB5 Navitel\r\n"
    "      output.mp - \xD0\xB8\xD1\x82\xD0\xBE\xD0\xB3\xD0\xBE\xD0\xB2\xD1\x8B\xD0\xB9 "
    "\xD1\x84\xD0\xB0\xD0\xB9\xD0\xBB \xD0\xB2 "
    "\xD1\x82\xD0\xB0\xD0\xB9\xD0\xBF\xD1\x81\xD0\xB5\xD1\x82\xD0\xB5 Garmin\r\n"
    "\r\n";

TEST(Usage, FewerThanTwoNamesPrintUsage) {
  TempDir dir;
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{}, {dir.File("in.mp")}, {"", dir.File("in.mp"), ""}}) {
    const RunResult run = RunOstrak(arguments, RunOptions().WorkingDir(dir.Path().string()));
    EXPECT_EQ(run.ExitStatus, 0);
    EXPECT_TRUE(run.Stdout == Usage) << run.Stdout;
    EXPECT_EQ(run.Stderr, "");
  }
  // No file was opened or created.
  EXPECT_TRUE(fs::is_empty(dir.Path()));
  // A UTF-8 locale gives the same text.
  EXPECT_TRUE(RunOstrak({}, RunOptions().Environment("LC_ALL", "C.UTF-8")).Stdout == Usage);
}

TEST(Usage, EmptyArgumentsDoNotCountOrShift) {
  TempDir dir;
  WriteBytes(dir.File("in.mp"), "line\n");
  const RunResult run = RunOstrak({"", dir.File("in.mp"), "", dir.File("out.mp"), "ignored"});
  EXPECT_EQ(run.ExitStatus, 0) << run.Stderr;
  EXPECT_EQ(ReadBytes(dir.File("out.mp")), "line\r\n");
}

// Checks a failure run: nothing on standard output, exit status 1, and on
// standard error exactly one report with the class and message; the module
// is the program's own file unless another is given ("" for any).
void ExpectReport(const RunResult& run, const std::string& className, const std::string& message,
                  const std::string& module = "ostrak") {
  EXPECT_EQ(run.ExitStatus, 1);
  EXPECT_EQ(run.Stdout, "");
  const std::string& report = run.Stderr;
  const std::string head = "Exception " + className + " in module ";
  const std::string tail = ".\r\n" + message + ".\r\n\r\n";
  const std::size_t at = report.rfind(" at ");
  bool matches = report.starts_with(head) && report.ends_with(tail) && at != std::string::npos &&
                 at >= head.size() && (module.empty() || report.substr(head.size(), at - head.size()) == module);
  if (matches) {
    // The location: at least 8 upper-case hexadecimal digits.
    const std::string location = report.substr(at + 4, report.size() - tail.size() - at - 4);
    matches = location.size() >= 8 &&
              location.find_first_not_of("0123456789ABCDEF") == std::string::npos;
  }
  EXPECT_TRUE(matches) << testing::PrintToString(report);
}

void ExpectIoReport(const RunResult& run, const std::string& message) {
  ExpectReport(run, "EInOutError", message);
}

// Limits on memory and open files cannot hold a program built with
// sanitizers, whose runtime needs both for itself.
#define SKIP_WHEN_SANITIZED() \
  if (OSTRAK_SANITIZED) GTEST_SKIP() << "not meaningful in a build with sanitizers"

TEST(OpenFailures, MissingFilesAndFolders) {
  TempDir dir;
  WriteBytes(dir.File("in.mp"), "x\n");
  // The input is opened first: when it fails, no output is created.
  ExpectIoReport(RunOstrak({dir.File("missing.mp"), dir.File("out.mp")}), "File not found");
  ExpectIoReport(RunOstrak({dir.File("no/such/in.mp"), dir.File("out.mp")}), "Invalid filename");
  ExpectIoReport(RunOstrak({dir.File("in.mp/x"), dir.File("out.mp")}), "Invalid filename");
  EXPECT_FALSE(fs::exists(dir.File("out.mp")));
  ExpectIoReport(RunOstrak({dir.File("in.mp"), dir.File("no/out.mp")}), "Invalid filename");
  // Other system errors keep their own numbers.
  fs::create_symlink("loop", dir.File("loop"));
  ExpectIoReport(RunOstrak({dir.File("loop"), dir.File("out.mp")}), "I/O error 40");
  ExpectIoReport(RunOstrak({dir.File(std::string(5000, 'n')), dir.File("out.mp")}), "I/O error 36");
  EXPECT_FALSE(fs::exists(dir.File("out.mp")));
}

TEST(OpenFailures, DirectoriesAndDeniedAccess) {
  TempDir dir;
  WriteBytes(dir.File("in.mp"), "x\n");
  ExpectIoReport(RunOstrak({dir.Path().string(), dir.File("out.mp")}), "File access denied");
  EXPECT_FALSE(fs::exists(dir.File("out.mp")));
  ExpectIoReport(RunOstrak({dir.File("in.mp"), dir.Path().string()}), "File access denied");

  WriteBytes(dir.File("secret.mp"), "x\n");
  fs::permissions(dir.File("secret.mp"), fs::perms::none);
  ExpectIoReport(RunOstrak({dir.File("secret.mp"), dir.File("out.mp")}, RunOptions().Unprivileged()),
                 "File access denied");
  WriteBytes(dir.File("readonly.mp"), "keep\n");
  fs::permissions(dir.File("readonly.mp"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  ExpectIoReport(RunOstrak({dir.File("in.mp"), dir.File("readonly.mp")}, RunOptions().Unprivileged()),
                 "File access denied");
  EXPECT_EQ(ReadBytes(dir.File("readonly.mp")), "keep\n");
}

TEST(OpenFailures, TooManyOpenFiles) {
  SKIP_WHEN_SANITIZED();
  TempDir dir;
  WriteBytes(dir.File("in.mp"), "x\n");
  // Room for the three standard streams and the input only.
  ExpectIoReport(RunOstrak({dir.File("in.mp"), dir.File("out.mp")}, RunOptions().OpenFilesLimit(4)), "Too many open files");
}

TEST(OpenFailures, OutputThatIsTheInputIsRefusedAndLeftUnchanged) {
  TempDir dir;
  const std::string map = "[IMG ID]\nTypeSet=Navitel\n[END-IMG ID]\n[POI]\n[END]\n";
  WriteBytes(dir.File("in.mp"), map);
  fs::create_hard_link(dir.File("in.mp"), dir.File("hard.mp"));
  fs::create_symlink(dir.File("in.mp"), dir.File("soft.mp"));
  for (const char* output : {"in.mp", "hard.mp", "soft.mp"}) {
    ExpectIoReport(RunOstrak({dir.File("in.mp"), dir.File(output)}), "I/O error 32");
    EXPECT_EQ(ReadBytes(dir.File("in.mp")), map) << output;
  }
  ExpectIoReport(RunOstrak({dir.File("soft.mp"), dir.File("hard.mp")}), "I/O error 32");
  EXPECT_EQ(ReadBytes(dir.File("in.mp")), map);
}

TEST(RunFailures, CutOffSectionKeepsOnlyWholeBlocks) {
  TempDir dir;
  // 100 lines of 8 bytes: 1000 bytes of output with their CR LF, then an
  // object that never ends.
  std::string map;
  for (int i = 0; i < 100; ++i) map += "12345678\n";
  WriteBytes(dir.File("object.mp"), map + "[POLYGON]\nType=0x13\n");
  ExpectIoReport(RunOstrak({dir.File("object.mp"), dir.File("out.mp")}), "Read beyond end of file");
  EXPECT_EQ(ReadBytes(dir.File("out.mp")).size(), 896u);

  WriteBytes(dir.File("header.mp"), "[IMG ID]\nID=1\n\x1A[END-IMG ID]\n");
  ExpectIoReport(RunOstrak({dir.File("header.mp"), dir.File("out.mp")}), "Read beyond end of file");
  EXPECT_EQ(ReadBytes(dir.File("out.mp")), "");
}

TEST(RunFailures, FullDiskAndBrokenPipe) {
  TempDir dir;
  WriteBytes(dir.File("in.mp"), "x\n");
  ExpectIoReport(RunOstrak({dir.File("in.mp"), "/dev/full"}), "I/O error 112");
  ExpectIoReport(RunOstrak({}, RunOptions().Stdout("/dev/full")), "I/O error 112");
  ExpectIoReport(RunOstrak({}, RunOptions().StdoutToBrokenPipe()), "I/O error 109");
  ExpectIoReport(RunOstrak({}, RunOptions().ClosedStdout()), "I/O error 105");
  // A report that cannot be written still ends the run with status 1.
  EXPECT_EQ(RunOstrak({dir.File("missing.mp"), dir.File("out.mp")}, RunOptions().ClosedStderr()).ExitStatus, 1);
  // A conversion does not write to standard output, so it does not need one.
  const RunResult run = RunOstrak({dir.File("in.mp"), dir.File("out.mp")}, RunOptions().ClosedStdout());
  EXPECT_EQ(run.ExitStatus, 0) << run.Stderr;
}

TEST(RunFailures, DeviceErrorOnRead) {
  TempDir dir;
  // Reading a process's own memory from address 0 fails with EIO.
  ExpectIoReport(RunOstrak({"/proc/self/mem", dir.File("out.mp")}), "I/O error 1117");
}

TEST(RunFailures, ProcessorFaultIsReported) {
  TempDir dir;
  // The program waits on an input pipe that has a writer but no data, and
  // gets the signal of an invalid memory access there.
  ASSERT_EQ(mkfifo(dir.File("in.mp").c_str(), 0644), 0);
  const int writer = open(dir.File("in.mp").c_str(), O_RDWR);
  const RunResult run = RunOstrak({dir.File("in.mp"), dir.File("out.mp")}, RunOptions().SendSignal(SIGSEGV));
  close(writer);
  ExpectReport(run, "EAccessViolation", "Access violation", "");
}

TEST(RunFailures, OutOfMemoryOnAHugeLine) {
  SKIP_WHEN_SANITIZED();
  TempDir dir;
  // A sparse file: one line of 256 MiB of NUL bytes inside an object.
  {
    WriteBytes(dir.File("huge.mp"), "[POI]\n");
    fs::resize_file(dir.File("huge.mp"), 256u << 20);
  }
  // The allocator that finds memory exhausted may lie in the C++ runtime's module.
  ExpectReport(RunOstrak({dir.File("huge.mp"), dir.File("out.mp")}, RunOptions().AddressSpaceLimit(128u << 20)),
               "EOutOfMemory", "Out of memory", "");
}

TEST(RunFailures, ReportNamesTheExecutableAsOnDisk) {
  TempDir dir;
  fs::copy_file(OstrakProgram(), dir.File("renamed-tool"));
  fs::permissions(dir.File("renamed-tool"), fs::perms::owner_all);
  ExpectReport(RunOstrak({dir.File("missing.mp"), dir.File("out.mp")}, RunOptions().Program(dir.File("renamed-tool"))),
               "EInOutError", "File not found", "renamed-tool");
  // Started through a link, the report still names the file itself.
  fs::create_symlink(dir.File("renamed-tool"), dir.File("alias"));
  ExpectReport(RunOstrak({dir.File("missing.mp"), dir.File("out.mp")}, RunOptions().Program(dir.File("alias"))),
               "EInOutError", "File not found", "renamed-tool");
}

}  // namespace
}  // namespace ostrak::test
