// Inputs from everywhere: cut-off downloads, binary junk, other encodings,
// pipes. None may crash or hang the program or change the input; each gives
// a conversion or the system's own report.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "support/process_runner.hpp"
#include "support/test_files.hpp"

namespace ostrak::test {
namespace {

namespace fs = std::filesystem;

fs::path Hostile(const std::string& name) { return DataDir() / "hostile" / name; }

// Runs a conversion that must succeed and returns its output.
std::string Converted(const std::string& input, const TempDir& dir) {
  const RunResult run = RunOstrak({input, dir.File("out.mp")});
  EXPECT_EQ(run.ExitStatus, 0) << run.Stderr;
  EXPECT_EQ(run.Stderr, "");
  return ReadBytes(dir.File("out.mp"));
}

TEST(HostileInput, KeptFilesGiveTheirKnownOutput) {
  // Random bytes without Ctrl-Z; UTF-8 with a byte-order mark, which hides
  // the header line; lines of NUL bytes, which are content like any other.
  for (const char* name : {"random-bytes", "utf8-bom", "nul-lines"}) {
    TempDir dir;
    const fs::path input = Hostile(std::string(name) + ".mp");
    const std::string before = ReadBytes(input);
    EXPECT_TRUE(Converted(input.string(), dir) == ReadBytes(Hostile(std::string(name) + ".expected.mp"))) << name;
    EXPECT_EQ(ReadBytes(input), before) << name;
  }
}

TEST(HostileInput, UnclosedSectionIsReported) {
  TempDir dir;
  const RunResult run = RunOstrak({Hostile("unclosed-object.mp").string(), dir.File("out.mp")});
  EXPECT_EQ(run.ExitStatus, 1);
  EXPECT_NE(run.Stderr.find("\r\nRead beyond end of file.\r\n"), std::string::npos) << run.Stderr;
  // Less than one whole block was produced before the failure.
  EXPECT_EQ(ReadBytes(dir.File("out.mp")), "");
}

TEST(HostileInput, OneHugeLineWithoutTerminator) {
  TempDir dir;
  const std::string line(16u << 20, 'x');
  WriteBytes(dir.File("in.mp"), line);
  const std::string output = Converted(dir.File("in.mp"), dir);
  EXPECT_EQ(output.size(), line.size() + 2);
  EXPECT_TRUE(output == line + "\r\n");
}

TEST(HostileInput, ThousandsOfSectionLinesInsideOneSection) {
  TempDir dir;
  std::string headers;
  std::string objects;
  for (int i = 0; i < 5000; ++i) {
    headers += "[IMG ID]\n";
    objects += "[POLYGON]\r\n";
  }
  // Only the first line opens a section; the rest are lines of it.
  WriteBytes(dir.File("headers.mp"), headers + "[END-IMG ID]\n");
  const std::string header = Converted(dir.File("headers.mp"), dir);
  std::string expected;
  for (int i = 0; i < 5000; ++i) expected += "[IMG ID]\r\n";
  expected += "TypeSet=Garmin\r\nRouting=N\r\nPOINumberFirst=N\r\nPOIZipFirst=N\r\nMG=Y\r\nNumbering=Y\r\n[END-IMG ID]\r\n";
  EXPECT_TRUE(header == expected);

  WriteBytes(dir.File("objects.mp"), "before\n" + objects + "StreetDesc=S\nHouseNumber=1\n[END]\nafter\n");
  const std::string object = Converted(dir.File("objects.mp"), dir);
  EXPECT_EQ(object.substr(0, 20), "before\r\n[POLYLINE]\r\n");
  EXPECT_EQ(std::count(object.begin(), object.end(), '\n'), 1 + 5000 + 2 + 4 + 1 + 1);
}

TEST(HostileInput, HugeHeader) {
  TempDir dir;
  std::string map = "[IMG ID]\r\n";
  for (int i = 0; i < 200000; ++i) map += "Key" + std::to_string(i) + "=value\r\n";
  map += "typeset=Navitel\r\n[END-IMG ID]\r\n";
  WriteBytes(dir.File("in.mp"), map);
  const std::string output = Converted(dir.File("in.mp"), dir);
  EXPECT_TRUE(output.starts_with(map.substr(0, map.size() - 31)));
  EXPECT_TRUE(output.ends_with("TypeSet=Garmin\r\nRouting=N\r\nPOINumberFirst=N\r\nPOIZipFirst=N\r\nMG=Y\r\n"
                               "Numbering=Y\r\n[END-IMG ID]\r\n"));
}

TEST(HostileInput, PipesAndDevices) {
  TempDir dir;
  const fs::path example = fs::path(OSTRAK_SOURCE_DIR) / "examples" / "town.mp";
  const std::string expected = ReadBytes(DataDir() / "town.expected.mp");

  // The map arrives through a named pipe.
  ASSERT_EQ(mkfifo(dir.File("in.fifo").c_str(), 0644), 0);
  std::thread writer([&] { WriteBytes(dir.File("in.fifo"), ReadBytes(example)); });
  EXPECT_TRUE(Converted(dir.File("in.fifo"), dir) == expected);
  writer.join();

  // The output goes into a named pipe, read as it comes.
  ASSERT_EQ(mkfifo(dir.File("out.fifo").c_str(), 0644), 0);
  std::string piped;
  std::thread reader([&] { piped = ReadBytes(dir.File("out.fifo")); });
  const RunResult run = RunOstrak({example.string(), dir.File("out.fifo")});
  reader.join();
  EXPECT_EQ(run.ExitStatus, 0) << run.Stderr;
  EXPECT_TRUE(piped == expected);

  // And into nothing.
  EXPECT_EQ(RunOstrak({example.string(), "/dev/null"}).ExitStatus, 0);
}

}  // namespace
}  // namespace ostrak::test
