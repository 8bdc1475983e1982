#include "split/splitter.hpp"

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "mp/byte_copy.hpp"
#include "mp/io_result.hpp"
#include "mp/line_file.hpp"
#include "mp/line_list.hpp"
#include "mp/mp_class.hpp"
#include "mp/mp_parser.hpp"
#include "split/platform/folder.hpp"
#include "split/group_writer.hpp"
#include "split/split_error.hpp"
#include "split/tile_files.hpp"

namespace ostrak::split {

namespace {

// The output buffers of all open tiles together, and of one tile at most.
constexpr std::size_t OutputBudget = 32u << 20;
constexpr std::size_t MaxTransfer = 256u << 10;

enum class Place { Outside, Header, Object, SkippedObject };

// The input as lines, numbered from 1.
class TInput {
 public:
  explicit TInput(const std::string& name) : FName(name) {
    FFile.Bind(name);
    FFile.OpenRead();
    CheckFile("cannot read", FName);
  }
  // Views of held lines follow where reading moves them.
  bool Take(std::string_view& line, LineList* held) {
    std::ptrdiff_t movedBy = 0;
    const bool taken = FFile.ReadLine(line, movedBy);
    CheckFile("cannot read", FName);
    if (movedBy != 0 && held != nullptr) held->MoveViews(movedBy);
    FLine += taken;
    return taken;
  }
  void Close() {
    FFile.CloseText();
    CheckFile("cannot read", FName);
  }
  std::uint64_t LineNumber() const noexcept { return FLine; }
  TLineFile& File() noexcept { return FFile; }

 private:
  const std::string& FName;
  TLineFile FFile;
  std::uint64_t FLine = 0;
};

std::string Decimal(std::uint64_t value) { return std::to_string(value); }

}  // namespace

TSplitter::TSplitter(SplitOptions options, int gridSize) : FOptions(std::move(options)), FDensity(gridSize) {}

void TSplitter::RaiseChanged() const {
  RaiseSplitError({FOptions.Input, ": the input changed while it was split"});
}

void TSplitter::RaiseCutOff(std::uint64_t sectionLine) const {
  RaiseSplitError({FOptions.Input, ": the input ends inside the section that starts on line ", Decimal(sectionLine)});
}

void TSplitter::CheckInput() {
  const char* input = FOptions.Input.c_str();
  switch (platform::KindOf(input)) {
    case platform::PathKind::Missing: {
      // The file layer tells why it cannot be opened.
      TLineFile file;
      file.Bind(FOptions.Input);
      file.OpenRead();
      CheckFile("cannot read", FOptions.Input);
      CheckFile("cannot read", FOptions.Input, IoCode::FileNotFound);
      break;
    }
    case platform::PathKind::Folder: RaiseSplitError({FOptions.Input, ": is a folder, not a map"});
    case platform::PathKind::Other:
      RaiseSplitError({FOptions.Input, ": not a regular file; a pipe or a device cannot be read twice"});
    case platform::PathKind::RegularFile: break;
  }
  const char* folder = FOptions.OutputFolder.c_str();
  const platform::PathKind kind = platform::KindOf(folder);
  if (kind != platform::PathKind::Missing && kind != platform::PathKind::Folder) {
    RaiseSplitError({FOptions.OutputFolder, ": not a folder"});
  }
  CheckFile("cannot read", FOptions.Input, platform::FileSize(input, FInputSize));
}

void TSplitter::CountObjects() {
  TInput input(FOptions.Input);
  Place place = Place::Outside;
  std::uint64_t sectionLine = 0;
  bool seenData = false;
  std::optional<MapPoint> point;
  for (std::string_view line; input.Take(line, nullptr);) {
    switch (place) {
      case Place::Outside:
        if (SameText(line, HeaderStart)) {
          place = Place::Header;
          sectionLine = input.LineNumber();
        } else if (ObjectKindOf(line) != okUnknown) {
          place = Place::Object;
          sectionLine = input.LineNumber();
          seenData = false;
          point.reset();
        }
        break;
      case Place::Header:
        if (SameText(line, HeaderEnd)) place = Place::Outside;
        break;
      default:
        if (!seenData && IsDataLine(line)) {
          seenData = true;
          point = FirstPoint(line);
        } else if (SameText(line, ObjectEnd)) {
          FDensity.Count(point);
          place = Place::Outside;
        }
        break;
    }
  }
  input.Close();
  if (place != Place::Outside) RaiseCutOff(sectionLine);
}

void TSplitter::Distribute(TTileFiles& files, std::uint32_t first, std::uint32_t count) {
  std::uint64_t size = 0;
  CheckFile("cannot read", FOptions.Input, platform::FileSize(FOptions.Input.c_str(), size));
  if (size != FInputSize) RaiseChanged();
  FDensity.Restart();
  TGroupWriter group(files, first, count);
  TInput input(FOptions.Input);
  TLineFile& reader = input.File();
  LineList section;  // the header or object being read, held by the input
  const auto startSection = [&](std::string_view line) {
    group.WriteRun(reader);
    section.Clear();
    reader.HoldFrom(line);
    section.AddView(line, reader.EndedWithCrLf());
  };
  const auto endSection = [&] {
    section.Clear();
    reader.ReleaseHold();
  };
  // An object's tile, from its point; an object outside every tile was not
  // counted so.
  const auto tileOf = [&](const std::optional<MapPoint>& point) {
    const std::optional<std::uint32_t> tile = FDensity.TileOf(point);
    if (!tile) RaiseChanged();
    return *tile;
  };

  Place place = Place::Outside;
  std::uint64_t sectionLine = 0;
  std::uint64_t objects = 0;
  std::optional<std::uint32_t> tile;  // of the object being read, once its point is known
  for (std::string_view line; input.Take(line, place == Place::Outside ? &group.Run() : &section);) {
    switch (place) {
      case Place::Outside:
        if (SameText(line, HeaderStart) || ObjectKindOf(line) != okUnknown) {
          startSection(line);
          place = SameText(line, HeaderStart) ? Place::Header : Place::Object;
          sectionLine = input.LineNumber();
          tile.reset();
        } else {
          group.AddToRun(reader, line);
        }
        break;
      case Place::Header:
        section.AddView(line, reader.EndedWithCrLf());
        if (!SameText(line, HeaderEnd)) break;
        group.WriteHeader(section);
        endSection();
        place = Place::Outside;
        break;
      case Place::Object:
        section.AddView(line, reader.EndedWithCrLf());
        if (!tile && IsDataLine(line)) {
          tile = tileOf(FirstPoint(line));
          if (!group.Holds(*tile)) {
            endSection();  // not a tile of this group: read past it
            place = Place::SkippedObject;
          }
        } else if (SameText(line, ObjectEnd)) {
          ++objects;
          if (!tile) tile = tileOf(std::nullopt);
          if (group.Holds(*tile)) group.WriteObject(section, *tile);
          endSection();
          place = Place::Outside;
        }
        break;
      case Place::SkippedObject:
        if (SameText(line, ObjectEnd)) {
          ++objects;
          place = Place::Outside;
        }
        break;
    }
  }
  group.WriteRun(reader);
  input.Close();
  if (place != Place::Outside) RaiseCutOff(sectionLine);
  CheckFile("cannot read", FOptions.Input, platform::FileSize(FOptions.Input.c_str(), size));
  if (objects != FDensity.Objects() || size != FInputSize) RaiseChanged();
}

void TSplitter::Run() {
  CheckInput();
  CountObjects();
  FDensity.Partition(FOptions.MaxObjects);
  const std::vector<TileArea>& areas = FDensity.Tiles();
  const auto tiles = static_cast<std::uint32_t>(areas.size());
  if (std::uint64_t{FOptions.MapName} + tiles - 1 > 99999999) {
    RaiseSplitError({FOptions.Input, ": ", Decimal(tiles), " tiles from map number ", Decimal(FOptions.MapName),
                     " would need numbers beyond 99999999"});
  }
  TTileFiles files(FOptions.OutputFolder, FOptions.MapName, tiles);
  if (platform::KindOf(FOptions.OutputFolder.c_str()) == platform::PathKind::Missing) {
    CheckFile("cannot create folder", FOptions.OutputFolder, platform::CreateFolder(FOptions.OutputFolder.c_str()));
  }
  files.CheckFolder(FOptions.Input);
  const std::uint32_t group = std::min(tiles, MaxOpenTiles);
  // Whole blocks of the file layer, from a budget shared by the open tiles.
  const std::size_t transfer =
      std::max<std::size_t>(TLineFile::BlockSize, std::min(MaxTransfer, OutputBudget / group) / TLineFile::BlockSize *
                                                       TLineFile::BlockSize);
  for (std::uint32_t first = 0; first < tiles; first += group) {
    const std::uint32_t count = std::min(group, tiles - first);
    files.OpenGroup(first, count, transfer);
    Distribute(files, first, count);
    files.CloseGroup();
  }
  files.WriteLists(areas);
  files.Commit();
}

}  // namespace ostrak::split
