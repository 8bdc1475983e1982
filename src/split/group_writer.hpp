// TGroupWriter: what the second pass writes into the open group of tiles.
//
// Lines outside sections go to every tile, gathered in runs that the input
// holds until they are written; a header goes to every tile with the tile's
// map number as its ID; an object goes to its own tile only.
#pragma once

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "mp/line_file.hpp"
#include "mp/line_list.hpp"
#include "split/tile_files.hpp"

namespace ostrak::split {

class TGroupWriter {
 public:
  // Writes to tiles first..first+count-1 of files, which are open.
  TGroupWriter(TTileFiles& files, std::uint32_t first, std::uint32_t count) noexcept
      : FFiles(files), FFirst(first), FEnd(first + count) {}

  bool Holds(std::uint32_t tile) const noexcept { return tile >= FFirst && tile < FEnd; }

  // The lines outside sections not written yet, which the input holds.
  LineList& Run() noexcept { return FRun; }
  // A line outside sections, just read from input.
  void AddToRun(TLineFile& input, std::string_view line);
  // Writes the run to every tile and lets the input drop its lines.
  void WriteRun(TLineFile& input);

  // The header section, with each tile's map number as its ID: the line of
  // the key ID rewritten as the header spells it, or added before the end.
  void WriteHeader(const LineList& header);
  void WriteObject(const LineList& object, std::uint32_t tile);

 private:
  TTileFiles& FFiles;
  std::uint32_t FFirst;
  std::uint32_t FEnd;
  LineList FRun;
  // The run's bytes, gathered once for all tiles: whole lines with their CR
  // LF, or one line without.
  std::vector<std::pair<std::string_view, bool>> FPieces;
};

}  // namespace ostrak::split
