// TSplitter: cuts a map into tiles of at most a given number of map objects.
//
// Two passes over the input: the first counts where the objects lie, the
// second hands each object to its tile and every other line to every tile.
// When more tiles are needed than can be open at once, the second pass runs
// once per group of tiles.
#pragma once

#include <cstdint>
#include <string>

#include "split/density.hpp"

namespace ostrak::split {

struct SplitOptions {
  static constexpr std::uint64_t DefaultMaxObjects = 150000;
  static constexpr std::uint32_t DefaultMapName = 63240001;
  std::string Input;
  std::string OutputFolder;
  std::uint64_t MaxObjects = DefaultMaxObjects;
  std::uint32_t MapName = DefaultMapName;
};

class TSplitter {
 public:
  static constexpr std::uint32_t MaxOpenTiles = 512;

  explicit TSplitter(SplitOptions options, int gridSize = TDensityMap::DefaultSize);
  void Run();

 private:
  void CheckInput();
  void CountObjects();
  void Distribute(class TTileFiles& files, std::uint32_t first, std::uint32_t count);
  [[noreturn]] void RaiseChanged() const;
  [[noreturn]] void RaiseCutOff(std::uint64_t sectionLine) const;

  SplitOptions FOptions;
  TDensityMap FDensity;
  std::uint64_t FInputSize = 0;
};

}  // namespace ostrak::split
