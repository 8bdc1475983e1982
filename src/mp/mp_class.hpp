// TMPClass: the record of one map object section ([POI], [POLYGON] or
// [POLYLINE] through [END]), with access to the keys the conversion needs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "mp/byte_copy.hpp"
#include "mp/line_list.hpp"
#include "mp/line_scan.hpp"

namespace ostrak {

enum TMPObjectKind { okPolygon, okPolyline, okPOI, okUnknown };

class TMPClass {
 public:
  // Line 0 is the section header, the last line the terminator [END].
  LineList FLines;

  std::string_view GetCountryName() const { return ValueOf(CountryNameKey); }
  std::string_view GetRegionName() const { return ValueOf(RegionNameKey); }
  std::string_view GetCityName() const { return ValueOf(CityNameKey); }
  std::string_view GetStreetDesc() const { return ValueOf(StreetDescKey); }
  std::string_view GetHouseNumber() const { return ValueOf(HouseNumberKey); }

  // Each setter rewrites an existing line in place (or deletes it for an
  // empty value); a key new to the object goes just before the terminator.
  void SetHouseNumber(std::string_view value) { SetBeforeTerminator(HouseNumberKey, {value}); }
  void SetLabel(std::string_view value) { SetBeforeTerminator(LabelKey, {value}); }
  void SetLabel(LinePieces value) { SetBeforeTerminator(LabelKey, value); }
  void SetType(std::string_view value) { SetBeforeTerminator(TypeKey, {value}); }

  // The kind named by line 0, compared exactly; okUnknown for any other line.
  TMPObjectKind GetObjectKind() const;
  // Rewrites line 0 for the kind; okUnknown leaves it as it is.
  void SetObjectKind(TMPObjectKind kind);

 private:
  enum Key { CountryNameKey, RegionNameKey, CityNameKey, StreetDescKey, HouseNumberKey, LabelKey, TypeKey, KeyCount };
  static constexpr std::string_view KeyNames[KeyCount] = {"CountryName", "RegionName", "CityName", "StreetDesc",
                                                          "HouseNumber", "Label",      "Type"};

  // The index of the first line of a key, or -1.
  int LineOf(Key key) const {
    if (FKeyLinesVersion != FLines.Version()) FindKeyLines();
    return FKeyLines[key];
  }
  void FindKeyLines() const;
  std::string_view ValueOf(Key key) const { return FLines.ValueAt(LineOf(key), KeyNames[key]); }
  void SetBeforeTerminator(Key key, LinePieces value);

  // The first line of each key, found in one pass over the lines. Good while
  // the lines are at FKeyLinesVersion; the setters keep it so where they can.
  mutable int FKeyLines[KeyCount] = {};
  mutable std::uint64_t FKeyLinesVersion = UINT64_MAX;
};

namespace detail {
// The header lines, each followed by its CR LF, so that a rewritten line 0 is
// written with its neighbours like a line of the input, and by the spare bytes
// that a key search may read, like every line a list holds.
struct HeaderLineBytes {
  char Bytes[16 + ScanPadding];
  std::size_t Length;  // without the CR LF
};
inline constexpr HeaderLineBytes HeaderLines[] = {{"[POLYGON]\r\n", 9}, {"[POLYLINE]\r\n", 10}, {"[POI]\r\n", 5}};
}  // namespace detail

// The section header line of a kind; empty for okUnknown.
constexpr std::string_view ObjectHeaderLine(TMPObjectKind kind) noexcept {
  if (kind == okUnknown) return {};
  return {detail::HeaderLines[kind].Bytes, detail::HeaderLines[kind].Length};
}

// The kind a section header line names, compared exactly; okUnknown for any
// other line.
inline TMPObjectKind ObjectKindOf(std::string_view line) noexcept {
  for (const TMPObjectKind kind : {okPolygon, okPolyline, okPOI}) {
    if (SameText(line, ObjectHeaderLine(kind))) return kind;
  }
  return okUnknown;
}

}  // namespace ostrak
