// Where map objects lie, and the tiles that follow their density.
//
// Positions are in map units (degrees * 2^24 / 360). The first pass counts
// objects in a grid of fixed size whose cells are 2^shift units wide per
// axis and aligned to 0; a point outside the grid doubles the cells of its
// axis, merging pairs of cells, which is exact, so that the second pass finds
// every object in the very cell that counted it. The grid is then cut into
// tiles by recursive bisection, and its cells are relabelled with their tile.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace ostrak::split {

struct MapPoint {
  std::int32_t Lat;
  std::int32_t Lon;
};

// Whether a line is a DataN= line (key "Data" and digits, ASCII case ignored).
bool IsDataLine(std::string_view line) noexcept;
// The first coordinate of a DataN= line, "(lat,lon)..."; nothing when it is
// missing, unreadable or outside the globe.
std::optional<MapPoint> FirstPoint(std::string_view dataLine) noexcept;

// A tile's rectangle in map units, south-west corner included, north-east
// corner excluded.
struct TileArea {
  std::int32_t MinLat, MinLon, MaxLat, MaxLon;
  std::uint64_t Objects;
};

class TDensityMap {
 public:
  static constexpr int DefaultSize = 2048;
  explicit TDensityMap(int size = DefaultSize);

  // First pass: an object at a point, or one without a readable point.
  void Count(const std::optional<MapPoint>& point);
  std::uint64_t Objects() const noexcept { return FObjects; }

  // Cuts the map into tiles of at most maxObjects objects each, in an order
  // where the first tile holds the south-west corner.
  void Partition(std::uint64_t maxObjects);
  const std::vector<TileArea>& Tiles() const noexcept { return FTiles; }

  // Second pass, objects in input order: the tile of an object; nothing when
  // the point lies in no tile (the input changed since it was counted).
  // Restart before each pass.
  void Restart();
  std::optional<std::uint32_t> TileOf(const std::optional<MapPoint>& point);

 private:
  struct Axis {
    int Shift = 0;
    std::int64_t Origin = 0;  // the cell index of column 0
    std::int64_t CellOf(std::int32_t unit) const noexcept { return (std::int64_t{unit} >> Shift) - Origin; }
  };
  struct Rect {
    int Col0, Row0, Col1, Row1;  // inclusive
  };
  // Objects of a rectangle whose objects all lie in one cell: cut by input order.
  struct Crowd {
    std::uint32_t FirstTile;
    std::uint32_t Tiles;
    std::uint64_t Seen;
  };
  static constexpr std::uint32_t NoTile = 0xFFFFFFFF;
  static constexpr std::uint32_t CrowdBit = 0x80000000;

  std::uint32_t& Cell(int col, int row) { return FGrid[static_cast<std::size_t>(row) * FSize + col]; }
  // Doubles the cells of an axis, the grid reaching further towards low or high values.
  void Grow(bool lonAxis, bool towardLow);
  void Cut(const Rect& rect, std::uint64_t count);
  void AddTiles(const Rect& rect, std::uint64_t count);
  TileArea AreaOf(const Rect& rect) const;

  int FSize;
  std::vector<std::uint32_t> FGrid;  // counts, then tile numbers
  Axis FLon, FLat;
  bool FPlaced = false;
  std::uint64_t FObjects = 0;
  std::uint64_t FUnplaced = 0;
  std::uint64_t FMaxObjects = 1;
  Rect FBounds{0, 0, 0, 0};
  Rect FUsed{INT32_MAX, INT32_MAX, -1, -1};  // the cells that hold objects so far
  std::vector<TileArea> FTiles;
  std::vector<Crowd> FCrowds;
};

// Degrees of a map unit count, as text with six decimals.
std::string_view FormatDegrees(std::int32_t units, char (&text)[24]) noexcept;

}  // namespace ostrak::split
