#include "split/tile_files.hpp"

#include <algorithm>
#include <cstdio>

#include "mp/byte_copy.hpp"
#include "mp/io_result.hpp"
#include "split/platform/folder.hpp"
#include "split/split_error.hpp"

namespace ostrak::split {

namespace {

constexpr std::string_view ArgsName = "template.args";
constexpr std::string_view AreasName = "areas.list";
constexpr std::string_view InputFileKey = "input-file:";

std::string Number(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%08u", static_cast<unsigned>(value));
  return text;
}

// A name of a file in the folder itself: no folder part, no drive.
bool IsPlainName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\:") == std::string_view::npos;
}

void WriteLine(TLineFile& file, const std::string& path, std::string_view line) {
  file.WriteTextLine(line);
  CheckFile("cannot write", path);
}

}  // namespace

TTileFiles::TTileFiles(std::string_view folder, std::uint32_t firstMapName, std::uint32_t tiles)
    : FFolder(folder), FFirstMapName(firstMapName), FTiles(tiles) {
  if (!FFolder.empty() && FFolder.back() != '/' && FFolder.back() != '\\') FFolder += '/';
}

TTileFiles::~TTileFiles() {
  // Leaves no temporary file behind a failure; errors here change nothing.
  for (std::unique_ptr<TLineFile>& file : FOpen) {
    file->CloseText();
    TakeInOutResult();
  }
  FOpen.clear();
  for (std::size_t k = FRenamed; k < FTemporaries.size(); ++k) platform::RemoveFile(FTemporaries[k].c_str());
}

std::string TTileFiles::PathOf(std::string_view leaf) const { return FFolder + std::string(leaf); }

std::string TTileFiles::TilePath(std::uint32_t tile) const { return PathOf(Number(MapName(tile)) + ".mp"); }

void TTileFiles::CheckFolder(std::string_view input) {
  const std::string args = PathOf(ArgsName);
  if (platform::KindOf(args.c_str()) != platform::PathKind::Missing) {
    TLineFile file;
    file.Bind(args);
    file.OpenRead();
    CheckFile("cannot read", args);
    std::string_view line;
    std::ptrdiff_t moved = 0;
    while (file.ReadLine(line, moved)) {
      if (SameText(line, Marker)) FEarlierSet = true;
      if (line.starts_with(InputFileKey)) {
        std::string_view name = line.substr(InputFileKey.size());
        while (name.starts_with(' ')) name.remove_prefix(1);
        if (IsPlainName(name)) FEarlier.emplace_back(name);
      }
    }
    CheckFile("cannot read", args);
    file.CloseText();
    CheckFile("cannot read", args);
    if (!FEarlierSet) RaiseSplitError({args, ": not written by ostrak-split; it is left as it is"});
  }
  // Every name the run writes, replaces or removes.
  std::vector<std::string> names;
  for (std::uint32_t tile = 0; tile < FTiles; ++tile) names.push_back(TilePath(tile));
  names.push_back(PathOf(AreasName));
  names.push_back(args);
  for (const std::string& earlier : FEarlier) names.push_back(PathOf(earlier));
  const std::string inputName(input);
  for (const std::string& name : names) {
    for (const std::string& candidate : {name, Temporary(name)}) {
      if (platform::SameFile(candidate.c_str(), inputName.c_str())) {
        RaiseSplitError({candidate, " is the input file itself; choose another output folder"});
      }
    }
  }
  for (std::uint32_t tile = 0; tile <= FTiles; ++tile) {
    const std::string name = tile < FTiles ? TilePath(tile) : PathOf(AreasName);
    if (platform::KindOf(name.c_str()) == platform::PathKind::Missing) continue;
    const std::string leaf = name.substr(FFolder.size());
    const bool ours = FEarlierSet && (tile == FTiles || std::find(FEarlier.begin(), FEarlier.end(), leaf) != FEarlier.end());
    if (!ours) RaiseSplitError({name, ": exists and is not part of a tile set of ostrak-split; it is left as it is"});
  }
}

void TTileFiles::OpenTemporary(TLineFile& file, const std::string& path) {
  file.Bind(Temporary(path));
  file.OpenWrite();
  CheckFile("cannot write", path);
  FTemporaries.push_back(Temporary(path));
}

void TTileFiles::OpenGroup(std::uint32_t first, std::uint32_t count, std::size_t transferSize) {
  FGroupFirst = first;
  for (std::uint32_t tile = first; tile < first + count; ++tile) {
    const std::string path = TilePath(tile);
    FOpen.push_back(std::make_unique<TLineFile>(transferSize));
    OpenTemporary(*FOpen.back(), path);
  }
}

void TTileFiles::CloseGroup() {
  for (std::uint32_t k = 0; k < FOpen.size(); ++k) {
    FOpen[k]->CloseText();
    CheckFile("cannot write", TilePath(FGroupFirst + k));
  }
  FOpen.clear();
}

void TTileFiles::WriteLists(const std::vector<TileArea>& areas) {
  const std::string areasPath = PathOf(AreasName);
  TLineFile list;
  OpenTemporary(list, areasPath);
  WriteLine(list, areasPath, "# List of areas");
  WriteLine(list, areasPath, Marker);
  WriteLine(list, areasPath, "#");
  for (std::uint32_t tile = 0; tile < areas.size(); ++tile) {
    const TileArea& area = areas[tile];
    char line[96];
    std::snprintf(line, sizeof line, "%s: %d,%d to %d,%d", Number(MapName(tile)).c_str(), static_cast<int>(area.MinLat),
                  static_cast<int>(area.MinLon), static_cast<int>(area.MaxLat), static_cast<int>(area.MaxLon));
    WriteLine(list, areasPath, line);
    char degrees[4][24];
    const std::string comment = "#       : " + std::string(FormatDegrees(area.MinLat, degrees[0])) + "," +
                                std::string(FormatDegrees(area.MinLon, degrees[1])) + " to " +
                                std::string(FormatDegrees(area.MaxLat, degrees[2])) + "," +
                                std::string(FormatDegrees(area.MaxLon, degrees[3]));
    WriteLine(list, areasPath, comment);
    WriteLine(list, areasPath, "");
  }
  list.CloseText();
  CheckFile("cannot write", areasPath);

  // mkgmap -c template.args, run in the folder, compiles every tile.
  const std::string argsPath = PathOf(ArgsName);
  TLineFile args;
  OpenTemporary(args, argsPath);
  WriteLine(args, argsPath, Marker);
  WriteLine(args, argsPath, "# Compile with: mkgmap <options> -c template.args");
  WriteLine(args, argsPath, "");
  for (std::uint32_t tile = 0; tile < FTiles; ++tile) {
    const std::string number = Number(MapName(tile));
    WriteLine(args, argsPath, "mapname: " + number);
    WriteLine(args, argsPath, "description: " + number);
    WriteLine(args, argsPath, std::string(InputFileKey) + " " + number + ".mp");
    WriteLine(args, argsPath, "");
  }
  args.CloseText();
  CheckFile("cannot write", argsPath);
}

void TTileFiles::Commit() {
  const std::string args = PathOf(ArgsName);
  // Without its template.args no set looks complete while tiles are replaced.
  CheckFile("cannot remove", args, platform::RemoveFile(args.c_str()));
  std::vector<std::string> written;
  for (std::uint32_t tile = 0; tile < FTiles; ++tile) written.push_back(TilePath(tile));
  written.push_back(PathOf(AreasName));
  // The temporary files were made in this order: tiles, areas.list, template.args.
  for (const std::string& path : written) {
    CheckFile("cannot write", path, platform::RenameReplacing(Temporary(path).c_str(), path.c_str()));
    ++FRenamed;
  }
  for (const std::string& earlier : FEarlier) {
    const std::string path = PathOf(earlier);
    if (std::find(written.begin(), written.end(), path) != written.end()) continue;
    CheckFile("cannot remove", path, platform::RemoveFile(path.c_str()));
  }
  CheckFile("cannot write", args, platform::RenameReplacing(Temporary(args).c_str(), args.c_str()));
  ++FRenamed;
}

}  // namespace ostrak::split
