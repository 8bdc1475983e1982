// The density grid and the partition of ostrak-split, on points whose tiles
// can be checked against the rules: at most N objects per tile, rectangles
// that cover the map without gap or overlap, and the second pass finding
// each object in the tile that counted it, through every growth of the grid.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <random>
#include <tuple>
#include <vector>

#include "split/density.hpp"
#include "support/table_rows.hpp"

namespace ostrak::split {
namespace {

struct PointCase {
  const char* Line;
  std::optional<MapPoint> Point;
};

TEST(SplitPoints, FirstCoordinateOfDataLines) {
  const PointCase cases[] = {
      {"Data0=(56.84957,35.91076),(56.8,35.9)", MapPoint{2649382, 1673563}},
      {"data12=(-33.5,-70.25)", MapPoint{-1561213, -3273887}},
      {"DATA1=( 0 , 180 )", MapPoint{0, 1 << 23}},
      {"Data0=(90,-180)", MapPoint{1 << 22, -(1 << 23)}},
      {"Data0=(0.000011,0)", MapPoint{1, 0}},            // 0.51 units
      {"Data0=(10.1234567891234,0)", MapPoint{471787, 0}},  // decimals past the ninth ignored
      {"Data0=(90.00001,0)", std::nullopt},
      {"Data0=56.8,35.9", std::nullopt},
      {"Data0=(abc,1)", std::nullopt},
      {"Data0=", std::nullopt},
      {"Data0=(99999999999999999999,1)", std::nullopt},
  };
  for (const PointCase& c : cases) {
    const std::optional<MapPoint> point = FirstPoint(c.Line);
    ASSERT_EQ(point.has_value(), c.Point.has_value()) << c.Line;
    if (point) {
      EXPECT_EQ(std::tie(point->Lat, point->Lon), std::tie(c.Point->Lat, c.Point->Lon)) << c.Line;
    }
  }
}

struct PartitionCase {
  const char* Name;
  std::vector<std::optional<MapPoint>> Points;
  std::uint64_t MaxObjects;
  int GridSize;
  std::size_t Tiles;  // 0: only at least the least possible
};

// Two dense towns and a thin countryside, then count copies of a point.
std::vector<std::optional<MapPoint>> Scattered(int count, unsigned seed, std::int32_t spread, int copies = 0,
                                               std::optional<MapPoint> copy = {}) {
  std::mt19937 random(seed);
  std::vector<std::optional<MapPoint>> points(static_cast<std::size_t>(copies), copy);
  for (int k = 0; k < count; ++k) {
    const int kind = static_cast<int>(random() % 10);
    const std::int32_t reach = kind < 7 ? spread / 50 : spread;
    points.push_back(MapPoint{(kind < 4 ? 2650000 : kind < 7 ? 2600000 : 2500000) + std::int32_t(random() % reach),
                              (kind < 4 ? 1674000 : kind < 7 ? 1700000 : 1600000) + std::int32_t(random() % reach)});
  }
  return points;
}

const PartitionCase PartitionCases[] = {
    {"no objects", {}, 5, 16, 1},
    {"exactly N", Scattered(5, 1, 100000), 5, 16, 1},
    {"one more than N", Scattered(6, 1, 100000), 5, 16, 2},
    {"N on one point and one more", Scattered(0, 0, 1, 6, MapPoint{100, 200}), 5, 16, 2},
    {"three times N on one point", Scattered(0, 0, 1, 15, MapPoint{-5000, 7000}), 5, 16, 3},
    {"only objects without a point", Scattered(0, 0, 1, 7), 3, 16, 3},
    {"objects without a point among others", Scattered(40, 2, 300000, 4), 6, 64, 0},
    {"towns on a fine grid", Scattered(3000, 3, 2000000), 100, 64, 0},
    {"towns on a grid of 2 cells", Scattered(500, 4, 2000000), 40, 2, 0},
    {"towns on a grid of 4 cells, N of 1", Scattered(60, 5, 4000000), 1, 4, 0},
    {"the whole globe", {MapPoint{-(1 << 22), -(1 << 23)}, MapPoint{1 << 22, 1 << 23}, MapPoint{0, 0}}, 1, 8, 3},
    {"a crowd among a town", Scattered(50, 6, 100000, 23, MapPoint{2650001, 1674001}), 10, 32, 0},
};

class SplitPartition : public testing::TestWithParam<const PartitionCase*> {};

TEST_P(SplitPartition, TilesHoldAtMostNAndCoverTheMap) {
  const PartitionCase& c = *GetParam();
  TDensityMap density(c.GridSize);
  for (const auto& point : c.Points) density.Count(point);
  density.Partition(c.MaxObjects);
  const std::vector<TileArea>& tiles = density.Tiles();
  if (c.Tiles != 0) {
    EXPECT_EQ(tiles.size(), c.Tiles);
  }
  EXPECT_GE(tiles.size(), (c.Points.size() + c.MaxObjects - 1) / c.MaxObjects);

  // Twice, as in two passes: each object's tile holds its point, and the
  // objects of each tile are those the partition counted for it.
  for (int pass = 0; pass < 2; ++pass) {
    density.Restart();
    std::vector<std::uint64_t> counted(tiles.size());
    std::uint32_t lastUnplaced = 0;
    for (const auto& point : c.Points) {
      const std::optional<std::uint32_t> tile = density.TileOf(point);
      ASSERT_TRUE(tile.has_value());
      ASSERT_LT(*tile, tiles.size());
      ++counted[*tile];
      if (!point) {
        // From the first tile on, more tiles only when one holds N of them.
        EXPECT_TRUE(*tile == lastUnplaced || (*tile == lastUnplaced + 1 && counted[lastUnplaced] == c.MaxObjects));
        lastUnplaced = *tile;
        continue;
      }
      const TileArea& area = tiles[*tile];
      EXPECT_TRUE(area.MinLat <= point->Lat && (point->Lat < area.MaxLat || area.MaxLat == 1 << 22) &&
                  area.MinLon <= point->Lon && (point->Lon < area.MaxLon || area.MaxLon == 1 << 23));
    }
    for (std::size_t k = 0; k < tiles.size(); ++k) {
      EXPECT_EQ(counted[k], tiles[k].Objects) << "tile " << k;
      EXPECT_LE(tiles[k].Objects, c.MaxObjects) << "tile " << k;
      EXPECT_TRUE(tiles[k].Objects > 0 || c.Points.empty()) << "tile " << k;
    }
  }

  // Rectangles that are not copies of each other (the tiles of one crowded
  // cell) never overlap, and together fill the rectangle around them.
  std::map<std::tuple<std::int32_t, std::int32_t, std::int32_t, std::int32_t>, int> distinct;
  for (const TileArea& area : tiles) ++distinct[{area.MinLat, area.MinLon, area.MaxLat, area.MaxLon}];
  long double covered = 0;
  std::int32_t minLat = INT32_MAX, minLon = INT32_MAX, maxLat = INT32_MIN, maxLon = INT32_MIN;
  for (auto a = distinct.begin(); a != distinct.end(); ++a) {
    const auto [aLat0, aLon0, aLat1, aLon1] = a->first;
    covered += static_cast<long double>(aLat1 - aLat0) * (aLon1 - aLon0);
    minLat = std::min(minLat, aLat0), minLon = std::min(minLon, aLon0);
    maxLat = std::max(maxLat, aLat1), maxLon = std::max(maxLon, aLon1);
    for (auto b = std::next(a); b != distinct.end(); ++b) {
      const auto [bLat0, bLon0, bLat1, bLon1] = b->first;
      EXPECT_TRUE(aLat1 <= bLat0 || bLat1 <= aLat0 || aLon1 <= bLon0 || bLon1 <= aLon0) << "overlap";
    }
  }
  EXPECT_EQ(covered, static_cast<long double>(maxLat - minLat) * (maxLon - minLon));
}

INSTANTIATE_TEST_SUITE_P(, SplitPartition, test::Rows(PartitionCases), test::RowName);

// However far a point lies from the one before it, in whichever direction, the
// grid reaches it without merging the two: they get tiles of their own.
TEST(SplitGrid, DistantPointsStayApart) {
  const MapPoint places[] = {{0, 932067}, {0, 466034}, {-3000000, 0}, {4000000, -8000000}, {5, 5}};
  for (const int size : {4, 64}) {
    for (const MapPoint& first : places) {
      for (const MapPoint& second : places) {
        if (first.Lat == second.Lat && first.Lon == second.Lon) continue;
        TDensityMap density(size);
        density.Count(first);
        density.Count(second);
        density.Partition(1);
        ASSERT_EQ(density.Tiles().size(), 2u);
        EXPECT_NE(density.TileOf(first), density.TileOf(second));
        EXPECT_NE(density.Tiles()[0].MinLon + density.Tiles()[0].MinLat,
                  density.Tiles()[1].MinLon + density.Tiles()[1].MinLat) << size;
        // Nor does a point outside the map, as of an input that changed since it was counted.
        EXPECT_FALSE(density.TileOf(MapPoint{-(1 << 22), 1 << 23}));
      }
    }
  }
}

}  // namespace
}  // namespace ostrak::split
