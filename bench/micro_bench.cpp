// Micro-benchmarks of the hot pieces on in-memory data: cutting lines, looking
// up keys, and converting one building.
#include <benchmark/benchmark.h>

#include <string>

#include "convert/navitel2garmin.hpp"
#include "mp/line_list.hpp"
#include "mp/line_scan.hpp"

namespace {

// A typical building as it comes from a map, without its terminators.
const char* const Building[] = {
    "[POLYGON]",
    "Type=0x13",
    "StreetDesc=\xF3\xEB. \xCB\xE5\xED\xE8\xED\xE0",
    "HouseNumber=12\xC0 \xEA\xEE\xF0\xEF.2",
    "CityName=\xD2\xE2\xE5\xF0\xFC",
    "RegionName=\xD2\xE2\xE5\xF0\xF1\xEA\xE0\xFF \xEE\xE1\xEB\xE0\xF1\xF2\xFC",
    "CountryName=\xD0\xEE\xF1\xF1\xE8\xFF",
    "Data0=(56.85006,35.90083),(56.85007,35.90116),(56.85023,35.90114),(56.85022,35.90081),(56.85006,35.90083)",
    "[END]",
};

// Finds the line breaks of 1 MiB of buildings with a line scanner.
void CutLines(benchmark::State& state, ostrak::LineScanner scanner) {
  std::string text;
  while (text.size() < (1 << 20)) {
    for (const char* line : Building) text.append(line).append("\r\n");
  }
  const std::size_t size = text.size();
  text.append(ostrak::ScanPadding, '\0');
  const ostrak::LineBreakFinder find = ostrak::FinderOf(scanner);
  std::uint32_t breaks[256];
  for (auto _ : state) {
    std::size_t lines = 0;
    for (std::size_t at = 0; at < size;) {
      const ostrak::BreakBatch batch = ostrak::FindBreakBatch(find, text.data() + at, text.data() + size, breaks, 256);
      lines += batch.Count;
      at += batch.Next;
    }
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
BENCHMARK_CAPTURE(CutLines, Portable, ostrak::LineScanner::Portable);
BENCHMARK_CAPTURE(CutLines, Vector, ostrak::LineScanner::Vector);

void FillList(ostrak::LineList& list) {
  list.Clear();
  for (const char* line : Building) list.Add(line);
}

void BufferObject(benchmark::State& state) {
  ostrak::LineList list;
  for (auto _ : state) {
    FillList(list);
    benchmark::DoNotOptimize(list.Count());
  }
}
BENCHMARK(BufferObject);

void LookUpKeys(benchmark::State& state) {
  ostrak::LineList list;
  FillList(list);
  for (auto _ : state) {
    benchmark::DoNotOptimize(list.GetValue("StreetDesc"));
    benchmark::DoNotOptimize(list.GetValue("CountryName"));
    benchmark::DoNotOptimize(list.IndexOfName("Label"));
  }
}
BENCHMARK(LookUpKeys);

// Reaches the converter's hook without a map file: it reads /dev/null and writes /dev/zero.
class ObjectConverter : public ostrak::TOstrakConvertNavitel2Garmin {
 public:
  ObjectConverter() : TOstrakConvertNavitel2Garmin("/dev/null", "/dev/zero") {}
  void Convert() {
    FillList(FObject.FLines);
    ProcessObject();
  }
  int Lines() const { return FObject.FLines.Count(); }
};

void ConvertBuilding(benchmark::State& state) {
  ObjectConverter converter;
  for (auto _ : state) {
    converter.Convert();
    benchmark::DoNotOptimize(converter.Lines());
  }
}
BENCHMARK(ConvertBuilding);

}  // namespace
