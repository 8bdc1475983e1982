// Runs of the built ostrak-split, on every system: golden tiles of a small
// map, the partition rules on maps with known coordinates, the tile set in
// its folder (replaced whole, never a foreign file), and the failures.
#include <set>

#include "e2e/split_case.hpp"

namespace ostrak::test {
namespace {

std::string Poi(const std::string& label, const std::string& data) {
  return CrLfLines({"[POI]", "Label=" + label, data, "[END]"});
}
std::string Header8(const std::string& id) {
  return CrLfLines({"[IMG ID]", "Name=Test", "iD=" + id, "Levels=1", "[END-IMG ID]"});
}
const std::string Header = Header8("7");
std::string Tiles(int count, std::uint32_t first = 63240001) {
  std::string lines = CrLfLines({std::string(Marker), "# Compile with: mkgmap <options> -c template.args", ""});
  for (int k = 0; k < count; ++k) {
    const std::string number = std::to_string(first + static_cast<std::uint32_t>(k));
    lines += CrLfLines({"mapname: " + number, "description: " + number, "input-file: " + number + ".mp", ""});
  }
  return lines;
}
std::string ManyPoints(int count, const std::string& id = "7") {
  std::string map = Header8(id);
  for (int k = 0; k < count; ++k) {
    const std::string point = std::to_string(50 + k % 25) + ".5," + std::to_string(30 + k / 25) + ".5";
    map += Poi(std::to_string(k), "Data0=(" + point + ")");
  }
  return map;
}
const std::string Usage = "Usage: ostrak-split [options] INPUT.mp OUTPUT-FOLDER";
const std::string SeeHelp = " (ostrak-split --help shows the usage)";
const std::vector<std::string> InOut = {"{dir}/in.mp", "{dir}/out"};

const CliCase Cases[] = {
    // Crowded south-west corner (two objects on nearly one point and three
    // without a readable point), an object whose first Data line is Data1,
    // lines cut at LF alone and with a lone CR, text after a Ctrl-Z.
    {.Name = "golden tiles",
     .Setup = [](const TempDir& dir) { fs::copy_file(DataDir() / "split" / "in.mp", dir.File("in.mp")); },
     .Arguments = {"--max-objects", "3", "{dir}/in.mp", "{dir}/out"},
     .Check = [](const TempDir& dir) { CheckGolden(dir.Path() / "out", DataDir() / "split" / "expected"); }},
    {.Name = "one more than N on one point, in input order",
     .Files = {{"in.mp", Header + Poi("a", "Data0=(5,5)") + Poi("b", "Data0=(5,5)") + "; between\r\n" +
                            Poi("c", "Data0=(5,5)")}},
     .Arguments = {"--max-objects", "2", "--mapname", "12345678", "{dir}/in.mp", "{dir}/out"},
     .After = {{"out/12345678.mp", Header8("12345678") + Poi("a", "Data0=(5,5)") + Poi("b", "Data0=(5,5)") +
                                       "; between\r\n"},
               {"out/12345679.mp", Header8("12345679") + "; between\r\n" + Poi("c", "Data0=(5,5)")},
               {"out/template.args", Tiles(2, 12345678)}}},
    {.Name = "a header without ID gets one before its end",
     .Files = {{"in.mp", "[IMG ID]\nName=A\n[END-IMG ID]\n[IMG ID]\nID=1\n[END-IMG ID]\n"}}, .Arguments = InOut,
     .After = {{"out/63240001.mp", CrLfLines({"[IMG ID]", "Name=A", "ID=63240001", "[END-IMG ID]", "[IMG ID]",
                                              "ID=63240001", "[END-IMG ID]"})}}},
    {.Name = "no objects at all", .Files = {{"in.mp", "; only a comment\n"}}, .Arguments = InOut,
     .After = {{"out/63240001.mp", "; only a comment\r\n"}, {"out/template.args", Tiles(1)}}},
    {.Name = "more tiles than are open at once", .Files = {{"in.mp", ManyPoints(600)}},
     .Arguments = {"--max-objects", "1", "{dir}/in.mp", "{dir}/out"},
     .Check = [](const TempDir& dir) {
       // Each object, with a label of its own, in a tile of its own, in both
       // groups of tiles: 600 tiles of the header and a different object.
       std::set<std::string> objects;
       for (int k = 0; k < 600; ++k) {
         const std::string number = std::to_string(63240001 + k);
         const std::string tile = ReadBytes(dir.Path() / "out" / (number + ".mp"));
         ASSERT_TRUE(tile.starts_with(ManyPoints(0, number))) << number;
         objects.insert(tile.substr(ManyPoints(0, number).size()));
       }
       EXPECT_EQ(objects.size(), 600u);
       EXPECT_FALSE(fs::exists(dir.Path() / "out" / "63240601.mp"));
     }},
    {.Name = "an earlier set replaced whole, foreign files kept",
     .Files = {{"in.mp", ManyPoints(3)}},
     .Setup = [](const TempDir& dir) {
       const RunOptions split = {.Program = SplitProgram()};
       ASSERT_EQ(RunOstrak({"--max-objects=1", dir.File("in.mp"), dir.File("out")}, split).ExitStatus, 0);
       WriteBytes(dir.File("out/notes.txt"), "mine");
       WriteBytes(dir.File("out/63240009.mp"), "mine too");
     },
     .Arguments = InOut,
     .After = {{"out/63240001.mp", ManyPoints(3, "63240001")}, {"out/63240002.mp", std::nullopt},
               {"out/63240003.mp", std::nullopt}, {"out/notes.txt", "mine"}, {"out/63240009.mp", "mine too"},
               {"out/template.args", Tiles(1)}}},
    // Failures: a message that names the file and the reason, and no tile.
    {.Name = "a foreign file of a tile name",
     .Files = {{"in.mp", ManyPoints(2)}, {"out/63240001.mp", "mine"}}, .Arguments = InOut,
     .Report = "{dir}/out/63240001.mp: exists and is not part of a tile set of ostrak-split; it is left as it is",
     .After = {{"out/63240001.mp", "mine"}, {"out/63240001.mp.part", std::nullopt}}},
    {.Name = "a foreign template.args", .Files = {{"in.mp", ManyPoints(2)}, {"out/template.args", "mapname: 1\n"}},
     .Arguments = InOut, .Report = "{dir}/out/template.args: not written by ostrak-split; it is left as it is",
     .After = {{"out/template.args", "mapname: 1\n"}, {"out/63240001.mp", std::nullopt}}},
    {.Name = "the input among the tile names", .Files = {{"out/63240001.mp", ManyPoints(2)}},
     .Arguments = {"{dir}/out/63240001.mp", "{dir}/out"},
     .Report = "{dir}/out/63240001.mp is the input file itself; choose another output folder",
     .After = {{"out/63240001.mp", ManyPoints(2)}}},
    {.Name = "cut off inside an object", .Files = {{"in.mp", Header + "[POI]\r\nData0=(1,1)\r\n"}}, .Arguments = InOut,
     .Report = "{dir}/in.mp: the input ends inside the section that starts on line 6",
     .After = {{"out", std::nullopt}}},
    {.Name = "a missing input", .Arguments = InOut, .Report = "cannot read {dir}/in.mp: File not found",
     .After = {{"out", std::nullopt}}},
    {.Name = "a file as output folder", .Files = {{"in.mp", Header}, {"out", "x"}}, .Arguments = InOut,
     .Report = "{dir}/out: not a folder", .After = {{"out", "x"}}},
    // The command line.
    {.Name = "no arguments", .Stdout = Usage},
    {.Name = "one name", .Arguments = {"in.mp"}, .Report = "missing INPUT.mp and OUTPUT-FOLDER" + SeeHelp},
    {.Name = "an unknown option", .Arguments = {"--max-object=5", "a", "b"},
     .Report = "unknown option --max-object" + SeeHelp},
    {.Name = "tile numbers beyond 8 digits", .Files = {{"in.mp", ManyPoints(2)}},
     .Arguments = {"--max-objects", "1", "--mapname", "99999999", "{dir}/in.mp", "{dir}/out"},
     .Report = "{dir}/in.mp: 2 tiles from map number 99999999 would need numbers beyond 99999999",
     .After = {{"out", std::nullopt}}},
};

using SplitCommandLine = CliTable;
TEST_P(SplitCommandLine, Runs) { RunSplitCase(*GetParam()); }
INSTANTIATE_TEST_SUITE_P(, SplitCommandLine, Rows(Cases), RowName);

}  // namespace
}  // namespace ostrak::test
