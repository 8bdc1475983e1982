// End-to-end runs of the built program that hold on every system: whole maps
// against golden files, the arguments, and the failures that every system
// reports alike.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "e2e/cli_case.hpp"

namespace ostrak::test {
namespace {

namespace fs = std::filesystem;

// Converts each map and compares the output with its golden file byte for
// byte. With OSTRAK_REGENERATE=1 in the environment the golden files are
// rewritten instead; review the difference before committing it.
TEST(Conversion, MapsMatchTheirGoldenFiles) {
  const fs::path data = DataDir();
  const std::pair<fs::path, fs::path> maps[] = {
      {fs::path(OSTRAK_SOURCE_DIR) / "examples" / "town.mp", data / "town.expected.mp"},
      {data / "edge-cases.mp", data / "edge-cases.expected.mp"},
      // Random bytes without Ctrl-Z; UTF-8 with a byte-order mark, which hides
      // the header line; lines of NUL bytes, which are content like any other.
      {data / "hostile" / "random-bytes.mp", data / "hostile" / "random-bytes.expected.mp"},
      {data / "hostile" / "utf8-bom.mp", data / "hostile" / "utf8-bom.expected.mp"},
      {data / "hostile" / "nul-lines.mp", data / "hostile" / "nul-lines.expected.mp"},
  };
  const char* regenerate = std::getenv("OSTRAK_REGENERATE");
  for (const auto& [input, golden] : maps) {
    TempDir dir;
    const RunResult run = RunOstrak({input.string(), dir.File("out.mp")});
    EXPECT_EQ(std::to_string(run.ExitStatus) + run.Stdout + run.Stderr, "0") << input;
    if (regenerate != nullptr && std::string(regenerate) == "1") WriteBytes(golden, ReadBytes(dir.File("out.mp")));
    EXPECT_TRUE(ReadBytes(dir.File("out.mp")) == ReadBytes(golden)) << "output differs from " << golden;
  }
}

const std::string Map = "[IMG ID]\nTypeSet=Navitel\n[END-IMG ID]\n[POI]\n[END]\n";
// 100 lines of 8 bytes: 1000 bytes of output with their CR LF.
const std::vector<std::string> HundredLines(100, "12345678");
const std::vector<std::string> ManyLines(40000, "12345678");

std::string LfLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

const std::vector<std::string> InOut = {"{dir}/in.mp", "{dir}/out.mp"};
const std::string Renamed = "renamed-tool" + fs::path(OstrakFileName()).extension().string();

const CliCase Cases[] = {
    {.Name = "empty arguments neither count nor shift", .Files = {{"in.mp", "line\n"}},
     .Arguments = {"", "{dir}/in.mp", "", "{dir}/out.mp", "ignored"}, .After = {{"out.mp", "line\r\n"}}},
    // The input is opened first: when it fails, no output is made.
    {.Name = "missing input", .Arguments = InOut, .Report = "File not found", .After = {{"out.mp", std::nullopt}}},
    {.Name = "missing folder of the input", .Arguments = {"{dir}/no/in.mp", "{dir}/out.mp"},
     .Report = "Invalid filename"},
    {.Name = "a file on the input's path", .Files = {{"in.mp", "x\n"}}, .Arguments = {"{dir}/in.mp/x", "{dir}/out.mp"},
     .Report = "Invalid filename"},
    {.Name = "missing folder of the output", .Files = {{"in.mp", "x\n"}},
     .Arguments = {"{dir}/in.mp", "{dir}/no/out.mp"}, .Report = "Invalid filename"},
    {.Name = "a folder as input", .Arguments = {"{dir}", "{dir}/out.mp"}, .Report = "File access denied",
     .After = {{"out.mp", std::nullopt}}},
    {.Name = "a folder as output", .Files = {{"in.mp", "x\n"}}, .Arguments = {"{dir}/in.mp", "{dir}"},
     .Report = "File access denied"},
    {.Name = "the input as output", .Files = {{"in.mp", Map}}, .Arguments = {"{dir}/in.mp", "{dir}/in.mp"},
     .Report = "I/O error 32", .After = {{"in.mp", Map}}},
    {.Name = "a hard link of the input as output", .Files = {{"in.mp", Map}},
     .Setup = [](const TempDir& dir) { fs::create_hard_link(dir.File("in.mp"), dir.File("hard.mp")); },
     .Arguments = {"{dir}/in.mp", "{dir}/hard.mp"}, .Report = "I/O error 32", .After = {{"in.mp", Map}}},
    // After a failure the output ends with the last whole block of 128 bytes.
    {.Name = "an object cut off after 1000 bytes of output",
     .Files = {{"in.mp", LfLines(HundredLines) + "[POLYGON]\nType=0x13\n"}}, .Arguments = InOut,
     .Report = "Read beyond end of file", .After = {{"out.mp", CrLfLines(HundredLines).substr(0, 896)}}},
    {.Name = "an object cut off after more output than one hand-over",
     .Files = {{"in.mp", LfLines(ManyLines) + "[POLYGON]\nType=0x13\n"}}, .Arguments = InOut,
     .Report = "Read beyond end of file", .After = {{"out.mp", CrLfLines(ManyLines).substr(0, 400000 / 128 * 128)}}},
    {.Name = "a header cut off by Ctrl-Z", .Files = {{"in.mp", "[IMG ID]\nID=1\n\x1A[END-IMG ID]\n"}},
     .Arguments = InOut, .Report = "Read beyond end of file", .After = {{"out.mp", ""}}},
    {.Name = "no standard output for the usage text", .Options = {.NoStdout = true}, .Report = "I/O error 105"},
    {.Name = "a conversion needs no standard output", .Files = {{"in.mp", "x\n"}}, .Arguments = InOut,
     .Options = {.NoStdout = true}, .After = {{"out.mp", "x\r\n"}}},
    {.Name = "a report that cannot be written still ends the run with status 1", .Arguments = InOut,
     .Options = {.NoStderr = true}, .Report = "File not found"},
    {.Name = "the report names the executable as it is on disk",
     .Setup = [](const TempDir& dir) { fs::copy_file(OstrakProgram(), dir.File(Renamed)); }, .Arguments = InOut,
     .Options = {.Program = "{dir}/" + Renamed}, .Report = "File not found", .Module = Renamed},
};

TEST(CommandLine, RunsEndAsExpected) {
  for (const CliCase& c : Cases) RunCase(c);
}

}  // namespace
}  // namespace ostrak::test
