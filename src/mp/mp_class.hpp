// TMPClass: the record of one map object section ([POI], [POLYGON] or
// [POLYLINE] through [END]), with access to the keys the conversion needs.
#pragma once

#include <string_view>

#include "mp/line_list.hpp"

namespace ostrak {

enum TMPObjectKind { okPolygon, okPolyline, okPOI, okUnknown };

class TMPClass {
 public:
  // Line 0 is the section header, the last line the terminator [END].
  LineList FLines;

  std::string_view GetCountryName() const { return FLines.GetValue("CountryName"); }
  std::string_view GetRegionName() const { return FLines.GetValue("RegionName"); }
  std::string_view GetCityName() const { return FLines.GetValue("CityName"); }
  std::string_view GetStreetDesc() const { return FLines.GetValue("StreetDesc"); }
  std::string_view GetHouseNumber() const { return FLines.GetValue("HouseNumber"); }

  // Each setter rewrites an existing line in place (or deletes it for an
  // empty value); a key new to the object goes just before the terminator.
  void SetHouseNumber(std::string_view value) { SetBeforeTerminator("HouseNumber", {value}); }
  void SetLabel(std::string_view value) { SetBeforeTerminator("Label", {value}); }
  void SetLabel(LinePieces value) { SetBeforeTerminator("Label", value); }
  void SetType(std::string_view value) { SetBeforeTerminator("Type", {value}); }

  // The kind named by line 0, compared exactly; okUnknown for any other line.
  TMPObjectKind GetObjectKind() const;
  // Rewrites line 0 for the kind; okUnknown leaves it as it is.
  void SetObjectKind(TMPObjectKind kind);

 private:
  void SetBeforeTerminator(std::string_view key, LinePieces value);
};

// The section header line of a kind; empty for okUnknown.
std::string_view ObjectHeaderLine(TMPObjectKind kind) noexcept;

}  // namespace ostrak
