// The files of a tile set in the output folder: the tiles (NNNNNNNN.mp),
// areas.list and template.args.
//
// Every file is written under a temporary name and renamed when the whole
// set is written, template.args last: it marks a complete set. A tile set
// that is not committed removes its temporary files when it goes, so a run
// that fails leaves no file that looks complete. An earlier set in the
// folder, known by the marker line of its template.args, is replaced whole;
// any other file of a name the set needs makes the run fail untouched.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "mp/line_file.hpp"
#include "split/density.hpp"
#include "split/split_error.hpp"

namespace ostrak::split {

class TTileFiles {
 public:
  // The marker line of template.args and areas.list.
  static constexpr std::string_view Marker = "# Tile set written by ostrak-split";

  TTileFiles(std::string_view folder, std::uint32_t firstMapName, std::uint32_t tiles);
  TTileFiles(const TTileFiles&) = delete;
  TTileFiles& operator=(const TTileFiles&) = delete;
  ~TTileFiles();

  std::uint32_t MapName(std::uint32_t tile) const noexcept { return FFirstMapName + tile; }
  // A file of the folder by its name in it.
  std::string PathOf(std::string_view leaf) const;
  std::string TilePath(std::uint32_t tile) const;

  // Before anything is written: reads the earlier set and refuses names that
  // hold the input or a file of someone else.
  void CheckFolder(std::string_view input);

  // Opens the temporary files of tiles first..first+count-1, each with
  // transferSize bytes of output buffer.
  void OpenGroup(std::uint32_t first, std::uint32_t count, std::size_t transferSize);
  TLineFile& Tile(std::uint32_t tile) { return *FOpen[tile - FGroupFirst]; }
  // After a write to a tile: raises the write's failure, naming the tile.
  void CheckWrite(std::uint32_t tile) {
    if (detail::PendingInOutCode != 0) [[unlikely]] RaiseFileError("cannot write", TilePath(tile), 0);
  }
  void CloseGroup();

  void WriteLists(const std::vector<TileArea>& areas);
  // Puts the new set in place of the earlier one.
  void Commit();

 private:
  std::string Temporary(std::string_view path) const { return std::string(path) + ".part"; }
  // Opens the temporary file of path for writing; it is removed unless committed.
  void OpenTemporary(TLineFile& file, const std::string& path);

  std::string FFolder;  // with its separator at the end, or empty
  std::uint32_t FFirstMapName;
  std::uint32_t FTiles;
  std::vector<std::string> FEarlier;  // the tile names of the earlier set
  bool FEarlierSet = false;
  std::uint32_t FGroupFirst = 0;
  std::vector<std::unique_ptr<TLineFile>> FOpen;
  std::vector<std::string> FTemporaries;  // made, in order
  std::size_t FRenamed = 0;               // how many of them have their own names
};

}  // namespace ostrak::split
