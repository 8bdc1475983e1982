#include "split/density.hpp"

#include <algorithm>
#include <cstdlib>

namespace ostrak::split {

namespace {

constexpr std::int64_t NanoPerDegree = 1000000000;
constexpr std::int32_t LatLimit = 1 << 22;  // 90 degrees
constexpr std::int32_t LonLimit = 1 << 23;  // 180 degrees

bool IsDigit(char c) noexcept { return c >= '0' && c <= '9'; }

void SkipSpaces(std::string_view text, std::size_t& at) noexcept {
  while (at < text.size() && text[at] == ' ') ++at;
}

// A decimal number in billionths of a degree; digits past the ninth decimal are ignored.
bool ReadDegrees(std::string_view text, std::size_t& at, std::int64_t& nano) noexcept {
  static constexpr std::int64_t Scale[10] = {1000000000, 100000000, 10000000, 1000000, 100000,
                                             10000,      1000,      100,      10,      1};
  SkipSpaces(text, at);
  const bool negative = at < text.size() && text[at] == '-';
  if (at < text.size() && (text[at] == '-' || text[at] == '+')) ++at;
  const std::size_t wholeStart = at;
  std::int64_t whole = 0;
  for (; at < text.size() && IsDigit(text[at]); ++at) {
    if (whole > 1000) return false;  // beyond any degree
    whole = whole * 10 + (text[at] - '0');
  }
  std::size_t digits = at - wholeStart;
  std::int64_t fraction = 0;
  if (at < text.size() && text[at] == '.') {
    const std::size_t fractionStart = ++at;
    for (; at < text.size() && IsDigit(text[at]); ++at) {
      if (at - fractionStart < 9) fraction = fraction * 10 + (text[at] - '0');
    }
    digits += at - fractionStart;
    fraction *= Scale[std::min<std::size_t>(at - fractionStart, 9)];
  }
  if (digits == 0) return false;
  nano = whole * NanoPerDegree + fraction;
  if (negative) nano = -nano;
  SkipSpaces(text, at);
  return true;
}

// Rounds to the nearest map unit, halves away from zero.
std::int32_t ToUnits(std::int64_t nano) noexcept {
  const std::int64_t magnitude = (2 * std::llabs(nano) * (std::int64_t{1} << 21) + 45 * NanoPerDegree) /
                                 (90 * NanoPerDegree);
  return static_cast<std::int32_t>(nano < 0 ? -magnitude : magnitude);
}

}  // namespace

bool IsDataLine(std::string_view line) noexcept {
  if (line.size() < 6 || (line[0] | 0x20) != 'd' || (line[1] | 0x20) != 'a' || (line[2] | 0x20) != 't' ||
      (line[3] | 0x20) != 'a' || !IsDigit(line[4])) {
    return false;
  }
  std::size_t at = 5;
  while (at < line.size() && IsDigit(line[at])) ++at;
  return at < line.size() && line[at] == '=';
}

std::optional<MapPoint> FirstPoint(std::string_view dataLine) noexcept {
  std::size_t at = dataLine.find('=') + 1;
  SkipSpaces(dataLine, at);
  if (at >= dataLine.size() || dataLine[at] != '(') return std::nullopt;
  ++at;
  std::int64_t lat = 0;
  std::int64_t lon = 0;
  if (!ReadDegrees(dataLine, at, lat) || at >= dataLine.size() || dataLine[at] != ',') return std::nullopt;
  ++at;
  if (!ReadDegrees(dataLine, at, lon)) return std::nullopt;
  if (std::llabs(lat) > 90 * NanoPerDegree || std::llabs(lon) > 180 * NanoPerDegree) return std::nullopt;
  return MapPoint{ToUnits(lat), ToUnits(lon)};
}

TDensityMap::TDensityMap(int size) : FSize(size), FGrid(static_cast<std::size_t>(size) * size) {}

void TDensityMap::Count(const std::optional<MapPoint>& point) {
  ++FObjects;
  if (!point) {
    ++FUnplaced;
    return;
  }
  if (!FPlaced) {
    // Cells of 16 units (about 40 m) to begin with: finer would only cost doublings.
    FLon.Shift = FLat.Shift = 4;
    FLon.Origin = (point->Lon >> 4) - FSize / 2;
    FLat.Origin = (point->Lat >> 4) - FSize / 2;
    FPlaced = true;
  }
  std::int64_t col;
  while ((col = FLon.CellOf(point->Lon)) < 0 || col >= FSize) Grow(true, col < 0);
  std::int64_t row;
  while ((row = FLat.CellOf(point->Lat)) < 0 || row >= FSize) Grow(false, row < 0);
  ++Cell(static_cast<int>(col), static_cast<int>(row));
  FUsed = {std::min(FUsed.Col0, static_cast<int>(col)), std::min(FUsed.Row0, static_cast<int>(row)),
           std::max(FUsed.Col1, static_cast<int>(col)), std::max(FUsed.Row1, static_cast<int>(row))};
}

void TDensityMap::Grow(bool lonAxis, bool towardLow) {
  Axis& axis = lonAxis ? FLon : FLat;
  // The old cells fill half the columns of the doubled ones; the other half
  // goes the way the point lies.
  const std::int64_t origin = towardLow ? ((axis.Origin + FSize - 1) >> 1) - (FSize - 1) : axis.Origin >> 1;
  const auto target = [&](int j) { return static_cast<int>(((axis.Origin + j) >> 1) - origin); };
  // Only cells that hold objects move: columns or rows move towards one end,
  // so they are moved from that end on, each into one that was read already
  // or is itself; in memory order.
  int& low = lonAxis ? FUsed.Col0 : FUsed.Row0;
  int& high = lonAxis ? FUsed.Col1 : FUsed.Row1;
  if (high >= low) {
    if (lonAxis) {
      for (int row = FUsed.Row0; row <= FUsed.Row1; ++row) {
        for (int step = 0; step <= high - low; ++step) {
          const int j = towardLow ? high - step : low + step;
          const int to = target(j);
          if (to == j) continue;
          Cell(to, row) += Cell(j, row);
          Cell(j, row) = 0;
        }
      }
    } else {
      for (int step = 0; step <= high - low; ++step) {
        const int j = towardLow ? high - step : low + step;
        const int to = target(j);
        if (to == j) continue;
        for (int col = FUsed.Col0; col <= FUsed.Col1; ++col) {
          Cell(col, to) += Cell(col, j);
          Cell(col, j) = 0;
        }
      }
    }
    low = target(low);
    high = target(high);
  }
  axis.Origin = origin;
  ++axis.Shift;
}

void TDensityMap::Partition(std::uint64_t maxObjects) {
  FMaxObjects = std::max<std::uint64_t>(maxObjects, 1);
  FTiles.clear();
  FCrowds.clear();
  Rect bounds{FSize, FSize, -1, -1};
  for (int row = 0; row < FSize; ++row) {
    for (int col = 0; col < FSize; ++col) {
      if (Cell(col, row) == 0) continue;
      bounds = {std::min(bounds.Col0, col), std::min(bounds.Row0, row), std::max(bounds.Col1, col),
                std::max(bounds.Row1, row)};
    }
  }
  if (bounds.Col1 < 0) bounds = {0, 0, 0, 0};
  // Objects without a point count in the south-west corner, which the first tile holds.
  Cell(bounds.Col0, bounds.Row0) += static_cast<std::uint32_t>(FUnplaced);
  FBounds = bounds;
  Cut(bounds, FObjects);
  // Cells outside the map belong to no tile.
  for (int row = 0; row < FSize; ++row) {
    for (int col = 0; col < FSize; ++col) {
      if (col < bounds.Col0 || col > bounds.Col1 || row < bounds.Row0 || row > bounds.Row1) Cell(col, row) = NoTile;
    }
  }
}

void TDensityMap::Cut(const Rect& rect, std::uint64_t count) {
  const std::uint64_t tiles = (count + FMaxObjects - 1) / FMaxObjects;
  if (tiles <= 1) return AddTiles(rect, count);
  const int cols = rect.Col1 - rect.Col0 + 1;
  const int rows = rect.Row1 - rect.Row0 + 1;
  const bool lonFirst = (std::int64_t{cols} << FLon.Shift) >= (std::int64_t{rows} << FLat.Shift);
  // Count share of the first part: as many tiles as the second, or one fewer.
  const std::uint64_t target = static_cast<std::uint64_t>(static_cast<long double>(count) * (tiles / 2) / tiles);
  std::vector<std::uint64_t> sums;
  for (const bool lonAxis : {lonFirst, !lonFirst}) {
    const int length = lonAxis ? cols : rows;
    if (length < 2) continue;
    sums.assign(static_cast<std::size_t>(length), 0);
    for (int row = rect.Row0; row <= rect.Row1; ++row) {
      for (int col = rect.Col0; col <= rect.Col1; ++col) {
        sums[static_cast<std::size_t>(lonAxis ? col - rect.Col0 : row - rect.Row0)] += Cell(col, row);
      }
    }
    // The cut after which the objects balance best, with objects on both sides.
    int best = 0;
    std::uint64_t bestPrefix = 0;
    std::uint64_t bestMiss = UINT64_MAX;
    std::uint64_t prefix = 0;
    for (int k = 1; k < length; ++k) {
      prefix += sums[static_cast<std::size_t>(k - 1)];
      if (prefix == 0 || prefix == count) continue;
      const std::uint64_t miss = prefix > target ? prefix - target : target - prefix;
      if (miss < bestMiss) {
        best = k;
        bestPrefix = prefix;
        bestMiss = miss;
      }
    }
    if (best == 0) continue;
    Rect first = rect;
    Rect second = rect;
    if (lonAxis) {
      first.Col1 = rect.Col0 + best - 1;
      second.Col0 = rect.Col0 + best;
    } else {
      first.Row1 = rect.Row0 + best - 1;
      second.Row0 = rect.Row0 + best;
    }
    Cut(first, bestPrefix);
    Cut(second, count - bestPrefix);
    return;
  }
  // Every object lies in one cell: no line can part them.
  AddTiles(rect, count);
}

void TDensityMap::AddTiles(const Rect& rect, std::uint64_t count) {
  const std::uint64_t tiles = std::max<std::uint64_t>(1, (count + FMaxObjects - 1) / FMaxObjects);
  const std::uint32_t first = static_cast<std::uint32_t>(FTiles.size());
  std::uint32_t label = first;
  if (tiles > 1) {
    label = CrowdBit | static_cast<std::uint32_t>(FCrowds.size());
    FCrowds.push_back({first, static_cast<std::uint32_t>(tiles), 0});
  }
  for (std::uint64_t k = 0; k < tiles; ++k) {
    TileArea area = AreaOf(rect);
    area.Objects = std::min(FMaxObjects, count - k * FMaxObjects);
    FTiles.push_back(area);
  }
  for (int row = rect.Row0; row <= rect.Row1; ++row) {
    for (int col = rect.Col0; col <= rect.Col1; ++col) Cell(col, row) = label;
  }
}

TileArea TDensityMap::AreaOf(const Rect& rect) const {
  const auto edge = [](const Axis& axis, int cell, std::int32_t limit) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>((axis.Origin + cell) << axis.Shift, -limit, limit));
  };
  return {edge(FLat, rect.Row0, LatLimit), edge(FLon, rect.Col0, LonLimit), edge(FLat, rect.Row1 + 1, LatLimit),
          edge(FLon, rect.Col1 + 1, LonLimit), 0};
}

void TDensityMap::Restart() {
  for (Crowd& crowd : FCrowds) crowd.Seen = 0;
}

std::optional<std::uint32_t> TDensityMap::TileOf(const std::optional<MapPoint>& point) {
  std::int64_t col = FBounds.Col0;
  std::int64_t row = FBounds.Row0;
  if (point) {
    col = FLon.CellOf(point->Lon);
    row = FLat.CellOf(point->Lat);
    if (col < 0 || col >= FSize || row < 0 || row >= FSize) return std::nullopt;
  }
  const std::uint32_t label = Cell(static_cast<int>(col), static_cast<int>(row));
  if (label == NoTile) return std::nullopt;
  if ((label & CrowdBit) == 0) return label;
  Crowd& crowd = FCrowds[label & ~CrowdBit];
  const std::uint64_t k = std::min<std::uint64_t>(crowd.Seen++ / FMaxObjects, crowd.Tiles - 1);
  return crowd.FirstTile + static_cast<std::uint32_t>(k);
}

std::string_view FormatDegrees(std::int32_t units, char (&text)[24]) noexcept {
  // A map unit is 45 / 2^21 degrees; millionths rounded half away from zero.
  const std::int64_t micro = (std::llabs(units) * 45000000 + (std::int64_t{1} << 20)) >> 21;
  char* out = text;
  if (units < 0) *out++ = '-';
  char digits[20];
  int count = 0;
  for (std::int64_t rest = micro / 1000000; count == 0 || rest != 0; rest /= 10) digits[count++] = char('0' + rest % 10);
  while (count > 0) *out++ = digits[--count];
  *out++ = '.';
  std::int64_t fraction = micro % 1000000;
  for (int k = 5; k >= 0; --k, fraction /= 10) out[k] = char('0' + fraction % 10);
  out += 6;
  return {text, static_cast<std::size_t>(out - text)};
}

}  // namespace ostrak::split
