// End-to-end runs of the built program that hold on every system: whole maps
// against golden files, the arguments, and the failures that every system
// reports alike.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "e2e/cli_checks.hpp"
#include "support/process_runner.hpp"
#include "support/test_files.hpp"

namespace ostrak::test {
namespace {

namespace fs = std::filesystem;

// Converts a map and compares the output with its golden file byte for
// byte. With OSTRAK_REGENERATE=1 in the environment the golden file is
// rewritten instead; review the difference before committing it.
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

TEST(Arguments, EmptyArgumentsDoNotCountOrShift) {
  TempDir dir;
  WriteBytes(dir.File("in.mp"), "line\n");
  const RunResult run = RunOstrak({"", dir.File("in.mp"), "", dir.File("out.mp"), "ignored"});
  EXPECT_EQ(run.ExitStatus, 0) << run.Stderr;
  EXPECT_EQ(ReadBytes(dir.File("out.mp")), "line\r\n");
}

TEST(OpenFailures, MissingFilesAndFolders) {
  TempDir dir;
  WriteBytes(dir.File("in.mp"), "x\n");
  // The input is opened first: when it fails, no output is created.
  ExpectIoReport(RunOstrak({dir.File("missing.mp"), dir.File("out.mp")}), "File not found");
  ExpectIoReport(RunOstrak({(dir.Path() / "no" / "such" / "in.mp").string(), dir.File("out.mp")}),
                 "Invalid filename");
  ExpectIoReport(RunOstrak({(dir.Path() / "in.mp" / "x").string(), dir.File("out.mp")}), "Invalid filename");
  EXPECT_FALSE(fs::exists(dir.File("out.mp")));
  ExpectIoReport(RunOstrak({dir.File("in.mp"), (dir.Path() / "no" / "out.mp").string()}), "Invalid filename");
}

TEST(OpenFailures, DirectoriesAreDenied) {
  TempDir dir;
  WriteBytes(dir.File("in.mp"), "x\n");
  ExpectIoReport(RunOstrak({dir.Path().string(), dir.File("out.mp")}), "File access denied");
  EXPECT_FALSE(fs::exists(dir.File("out.mp")));
  ExpectIoReport(RunOstrak({dir.File("in.mp"), dir.Path().string()}), "File access denied");
}

TEST(OpenFailures, OutputThatIsTheInputIsRefusedAndLeftUnchanged) {
  TempDir dir;
  const std::string map = "[IMG ID]\nTypeSet=Navitel\n[END-IMG ID]\n[POI]\n[END]\n";
  WriteBytes(dir.File("in.mp"), map);
  fs::create_hard_link(dir.File("in.mp"), dir.File("hard.mp"));
  for (const char* output : {"in.mp", "hard.mp"}) {
    ExpectIoReport(RunOstrak({dir.File("in.mp"), dir.File(output)}), "I/O error 32");
    EXPECT_EQ(ReadBytes(dir.File("in.mp")), map) << output;
  }
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
  // The same with more output than one hand-over, written in the background.
  std::string converted;
  for (int i = 0; i < 40000; ++i) converted += "12345678\r\n";
  WriteBytes(dir.File("big.mp"), converted + "[POLYGON]\r\nType=0x13\r\n");
  ExpectIoReport(RunOstrak({dir.File("big.mp"), dir.File("out.mp")}), "Read beyond end of file");
  EXPECT_TRUE(ReadBytes(dir.File("out.mp")) == converted.substr(0, converted.size() / 128 * 128));

  WriteBytes(dir.File("header.mp"), "[IMG ID]\nID=1\n\x1A[END-IMG ID]\n");
  ExpectIoReport(RunOstrak({dir.File("header.mp"), dir.File("out.mp")}), "Read beyond end of file");
  EXPECT_EQ(ReadBytes(dir.File("out.mp")), "");
}

TEST(RunFailures, MissingStandardOutput) {
  TempDir dir;
  WriteBytes(dir.File("in.mp"), "x\n");
  ExpectIoReport(RunOstrak({}, RunOptions().ClosedStdout()), "I/O error 105");
  // A report that cannot be written still ends the run with status 1.
  EXPECT_EQ(RunOstrak({dir.File("missing.mp"), dir.File("out.mp")}, RunOptions().ClosedStderr()).ExitStatus, 1);
  // A conversion does not write to standard output, so it does not need one.
  const RunResult run = RunOstrak({dir.File("in.mp"), dir.File("out.mp")}, RunOptions().ClosedStdout());
  EXPECT_EQ(run.ExitStatus, 0) << run.Stderr;
}

TEST(RunFailures, ReportNamesTheExecutableAsOnDisk) {
  TempDir dir;
  const std::string renamed = "renamed-tool" + fs::path(OstrakFileName()).extension().string();
  fs::copy_file(OstrakProgram(), dir.File(renamed));
  fs::permissions(dir.File(renamed), fs::perms::owner_all);
  ExpectReport(RunOstrak({dir.File("missing.mp"), dir.File("out.mp")}, RunOptions().Program(dir.File(renamed))),
               "EInOutError", "File not found", renamed);
}

}  // namespace
}  // namespace ostrak::test
