// End-to-end runs that only a POSIX system can set up or that its mapping of
// system errors decides: the usage text in the terminal's character set,
// errno values without a message of their own, permissions, resource limits,
// symbolic links, signals and special files.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "e2e/cli_checks.hpp"
#include "support/process_runner.hpp"
#include "support/test_files.hpp"

namespace ostrak::test {
namespace {

namespace fs = std::filesystem;

// The usage text as a UTF-8 terminal shows it.
std::string Usage() { return ReadBytes(DataDir() / "usage.utf-8.txt"); }

TEST(Usage, FewerThanTwoNamesPrintUsage) {
  TempDir dir;
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{}, {dir.File("in.mp")}, {"", dir.File("in.mp"), ""}}) {
    const RunResult run = RunOstrak(arguments, RunOptions().WorkingDir(dir.Path().string()));
    EXPECT_EQ(run.ExitStatus, 0);
    EXPECT_TRUE(run.Stdout == Usage()) << run.Stdout;
    EXPECT_EQ(run.Stderr, "");
  }
  // No file was opened or created.
  EXPECT_TRUE(fs::is_empty(dir.Path()));
  // A UTF-8 locale gives the same text.
  EXPECT_TRUE(RunOstrak({}, RunOptions().Environment("LC_ALL", "C.UTF-8")).Stdout == Usage());
}

TEST(OpenFailures, SystemErrorsWithoutAMessageKeepTheirNumbers) {
  TempDir dir;
  fs::create_symlink("loop", dir.File("loop"));
  ExpectIoReport(RunOstrak({dir.File("loop"), dir.File("out.mp")}), "I/O error 40");
  ExpectIoReport(RunOstrak({dir.File(std::string(5000, 'n')), dir.File("out.mp")}), "I/O error 36");
  EXPECT_FALSE(fs::exists(dir.File("out.mp")));
}

TEST(OpenFailures, DeniedAccess) {
  TempDir dir;
  WriteBytes(dir.File("in.mp"), "x\n");
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

// Limits on memory and open files cannot hold a program built with
// sanitizers, whose runtime needs both for itself.
#define SKIP_WHEN_SANITIZED() \
  if (OSTRAK_SANITIZED) GTEST_SKIP() << "not meaningful in a build with sanitizers"

TEST(OpenFailures, TooManyOpenFiles) {
  SKIP_WHEN_SANITIZED();
  TempDir dir;
  WriteBytes(dir.File("in.mp"), "x\n");
  // Room for the three standard streams and the input only.
  ExpectIoReport(RunOstrak({dir.File("in.mp"), dir.File("out.mp")}, RunOptions().OpenFilesLimit(4)), "Too many open files");
}

TEST(OpenFailures, OutputThatIsTheInputThroughASymbolicLink) {
  TempDir dir;
  const std::string map = "[IMG ID]\nTypeSet=Navitel\n[END-IMG ID]\n[POI]\n[END]\n";
  WriteBytes(dir.File("in.mp"), map);
  fs::create_hard_link(dir.File("in.mp"), dir.File("hard.mp"));
  fs::create_symlink(dir.File("in.mp"), dir.File("soft.mp"));
  ExpectIoReport(RunOstrak({dir.File("in.mp"), dir.File("soft.mp")}), "I/O error 32");
  ExpectIoReport(RunOstrak({dir.File("soft.mp"), dir.File("hard.mp")}), "I/O error 32");
  EXPECT_EQ(ReadBytes(dir.File("in.mp")), map);
}

TEST(RunFailures, FullDiskAndBrokenPipe) {
  TempDir dir;
  WriteBytes(dir.File("in.mp"), "x\n");
  ExpectIoReport(RunOstrak({dir.File("in.mp"), "/dev/full"}), "I/O error 112");
  ExpectIoReport(RunOstrak({}, RunOptions().Stdout("/dev/full")), "I/O error 112");
  ExpectIoReport(RunOstrak({}, RunOptions().StdoutToBrokenPipe()), "I/O error 109");
  // A map bigger than one hand-over into a pipe that nobody reads: the write
  // fails in the background before the input turns out to be cut off, and
  // that write is the failure reported.
  std::string map;
  while (map.size() < 300000) map += "; a comment line outside every section\n";
  WriteBytes(dir.File("big.mp"), map + "[POI]\n");
  ExpectIoReport(RunOstrak({dir.File("big.mp"), "/dev/stdout"}, RunOptions().StdoutToBrokenPipe()), "I/O error 109");
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
  // The failure is placed in the program's own file, whatever its name.
  fs::copy_file(OstrakProgram(), dir.File("renamed-tool"));
  for (const std::string& program : {OstrakProgram(), dir.File("renamed-tool")}) {
    const RunOptions options = RunOptions().Program(program).AddressSpaceLimit(128u << 20);
    ExpectReport(RunOstrak({dir.File("huge.mp"), dir.File("out.mp")}, options), "EOutOfMemory", "Out of memory",
                 fs::path(program).filename().string());
  }
}

TEST(RunFailures, ReportNamesTheExecutableStartedThroughALink) {
  TempDir dir;
  fs::copy_file(OstrakProgram(), dir.File("renamed-tool"));
  fs::permissions(dir.File("renamed-tool"), fs::perms::owner_all);
  fs::create_symlink(dir.File("renamed-tool"), dir.File("alias"));
  ExpectReport(RunOstrak({dir.File("missing.mp"), dir.File("out.mp")}, RunOptions().Program(dir.File("alias"))),
               "EInOutError", "File not found", "renamed-tool");
}

}  // namespace
}  // namespace ostrak::test
