#include "e2e/split_case.hpp"

#include <algorithm>
#include <cctype>
#include <set>

namespace ostrak::test {
namespace {

// "{dir}" becomes the folder, and a "/" right after it the system's separator.
std::string InFolder(std::string text, const TempDir& dir) {
  for (std::size_t at; (at = text.find("{dir}")) != std::string::npos;) {
    text.replace(at, 5, dir.Path().string());
    at += dir.Path().string().size();
    if (at < text.size() && text[at] == '/') text[at] = static_cast<char>(fs::path::preferred_separator);
  }
  return text;
}

// The lines of a map by the program's rules: LF or CR LF ends a line, a lone
// CR is dropped, Ctrl-Z ends the input.
std::vector<std::string> MapLines(std::string bytes) {
  bytes = bytes.substr(0, bytes.find('\x1a'));
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t k = 0; k < bytes.size(); ++k) {
    if (bytes[k] == '\n') {
      lines.push_back(line);
      line.clear();
    } else if (bytes[k] != '\r') {
      line += bytes[k];
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

bool IsObjectStart(const std::string& line) { return line == "[POI]" || line == "[POLYGON]" || line == "[POLYLINE]"; }

struct Piece {
  std::vector<std::string> Lines;
  bool Object;
};

// The map as runs of lines outside objects and whole objects.
std::vector<Piece> Pieces(const std::vector<std::string>& lines) {
  std::vector<Piece> pieces;
  bool inHeader = false;
  for (std::size_t k = 0; k < lines.size(); ++k) {
    if (!inHeader && IsObjectStart(lines[k])) {
      Piece object{{}, true};
      do object.Lines.push_back(lines[k]);
      while (lines[k] != "[END]" && ++k < lines.size());
      pieces.push_back(object);
      continue;
    }
    if (lines[k] == "[IMG ID]") inHeader = true;
    if (lines[k] == "[END-IMG ID]") inHeader = false;
    if (pieces.empty() || pieces.back().Object) pieces.push_back({{}, false});
    pieces.back().Lines.push_back(lines[k]);
  }
  return pieces;
}

// The header lines with the ID changed to the map number, as the program does.
std::vector<std::string> WithId(const std::vector<std::string>& lines, const std::string& number) {
  std::vector<std::string> result;
  bool inHeader = false;
  bool seen = false;
  for (const std::string& line : lines) {
    if (line == "[IMG ID]") inHeader = true, seen = false;
    std::string key = line.substr(0, line.find('='));
    std::transform(key.begin(), key.end(), key.begin(), [](char c) { return static_cast<char>(std::tolower(c)); });
    if (inHeader && line == "[END-IMG ID]") {
      if (!seen) result.push_back("ID=" + number);
      inHeader = false;
    } else if (inHeader && !seen && line.find('=') != std::string::npos && key == "id") {
      result.push_back(line.substr(0, line.find('=')) + "=" + number);
      seen = true;
      continue;
    }
    result.push_back(line);
  }
  return result;
}

}  // namespace

std::string SplitProgram() {
  // ostrak's own file name with its suffix on this system (".exe" on Windows).
  return (ProgramDir() / ("ostrak-split" + OstrakFileName().substr(6))).string();
}

RunResult RunSplit(const std::vector<std::string>& arguments, RunOptions options) {
  if (options.Program.empty()) options.Program = SplitProgram();
  return RunOstrak(arguments, options);
}

void RunSplitCase(const SplitCase& c) {
  TempDir dir;
  for (const auto& [name, bytes] : c.Files) {
    fs::create_directories((dir.Path() / name).parent_path());
    WriteBytes(dir.File(name), bytes);
  }
  if (c.Setup) c.Setup(dir);
  std::vector<std::string> arguments;
  for (const std::string& argument : c.Arguments) arguments.push_back(InFolder(argument, dir));
  RunOptions options = c.Options;
  options.Program = InFolder(options.Program, dir);
  options.Folder = InFolder(options.Folder, dir);
  const RunResult run = RunSplit(arguments, options);

  std::string stderrText = run.Stderr;
  std::erase(stderrText, '\r');
  std::string stdoutText = run.Stdout;
  std::erase(stdoutText, '\r');
  EXPECT_EQ(run.ExitStatus, c.Error.empty() ? 0 : 1) << stderrText;
  EXPECT_EQ(stderrText, c.Error.empty() ? "" : "ostrak-split: " + InFolder(c.Error, dir) + "\n");
  EXPECT_TRUE(stdoutText.starts_with(c.Stdout) && (c.Stdout.empty() == stdoutText.empty())) << stdoutText;
  for (const auto& [name, bytes] : c.After) {
    const fs::path path = dir.Path() / name;
    EXPECT_EQ(fs::exists(path), bytes.has_value()) << name;
    if (bytes && fs::is_regular_file(path)) {
      EXPECT_TRUE(ReadBytes(path) == *bytes) << name << " differs";
    }
  }
  // A run that failed leaves no file under a temporary name.
  if (fs::is_directory(dir.Path() / "out")) {
    for (const auto& entry : fs::directory_iterator(dir.Path() / "out")) {
      EXPECT_NE(entry.path().extension(), ".part") << entry.path();
    }
  }
  if (c.Check) c.Check(dir);
}

void CheckGolden(const fs::path& folder, const fs::path& golden) {
  std::set<std::string> written;
  std::set<std::string> expected;
  for (const auto& entry : fs::directory_iterator(folder)) written.insert(entry.path().filename().string());
  for (const auto& entry : fs::directory_iterator(golden)) expected.insert(entry.path().filename().string());
  EXPECT_EQ(written, expected);
  for (const std::string& name : expected) {
    if (!written.contains(name)) continue;
    if (std::getenv("OSTRAK_REGENERATE") != nullptr) WriteBytes(golden / name, ReadBytes(folder / name));
    EXPECT_TRUE(ReadBytes(folder / name) == ReadBytes(golden / name)) << name << " differs from the golden file";
  }
}

void CheckTiles(const std::string& map, const fs::path& folder, std::size_t maxObjects, std::uint32_t firstMapName) {
  const std::vector<Piece> pieces = Pieces(MapLines(map));
  std::vector<int> placed(pieces.size());
  for (std::uint32_t tile = 0;; ++tile) {
    const std::string number = std::to_string(firstMapName + tile);
    const fs::path path = folder / (number + ".mp");
    if (!fs::exists(path)) {
      EXPECT_GT(tile, 0u) << "no tiles";
      break;
    }
    const std::string bytes = ReadBytes(path);
    // Every line of a tile ends with CR LF.
    EXPECT_TRUE(bytes.empty() || bytes.ends_with("\r\n")) << path;
    const std::vector<std::string> lines = MapLines(bytes);
    // The tile is the map with some objects left out: walk both.
    std::size_t at = 0;
    std::size_t objects = 0;
    const auto follows = [&](const std::vector<std::string>& expected) {
      return lines.size() - at >= expected.size() && std::equal(expected.begin(), expected.end(), lines.begin() + at);
    };
    for (std::size_t k = 0; k < pieces.size(); ++k) {
      const Piece& piece = pieces[k];
      if (!piece.Object) {
        const std::vector<std::string> expected = WithId(piece.Lines, number);
        ASSERT_TRUE(follows(expected)) << path << ": lines outside objects differ at line " << at + 1;
        at += expected.size();
      } else if (follows(piece.Lines)) {
        ++placed[k];
        ++objects;
        at += piece.Lines.size();
      }
    }
    EXPECT_EQ(at, lines.size()) << path << " holds more than the map's lines";
    EXPECT_LE(objects, maxObjects) << path;
  }
  for (std::size_t k = 0; k < pieces.size(); ++k) {
    if (pieces[k].Object) {
      EXPECT_EQ(placed[k], 1) << "object " << k << " in " << placed[k] << " tiles";
    }
  }
}

testing::internal::ParamGenerator<const SplitCase*> SplitRows(std::span<const SplitCase> table) {
  std::vector<const SplitCase*> rows;
  for (const SplitCase& row : table) rows.push_back(&row);
  return testing::ValuesIn(rows);
}

std::string SplitRowName(const testing::TestParamInfo<const SplitCase*>& row) {
  std::string name = row.param->Name;
  for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
}

}  // namespace ostrak::test
