#include "mp/mp_class.hpp"

#include <algorithm>

#include "mp/errors.hpp"

namespace ostrak {

std::string_view ObjectHeaderLine(TMPObjectKind kind) noexcept {
  switch (kind) {
    case okPolygon: return "[POLYGON]";
    case okPolyline: return "[POLYLINE]";
    case okPOI: return "[POI]";
    case okUnknown: break;
  }
  return {};
}

TMPObjectKind TMPClass::GetObjectKind() const {
  const std::string_view header = FLines.Get(0);
  for (const TMPObjectKind kind : {okPolygon, okPolyline, okPOI}) {
    if (header == ObjectHeaderLine(kind)) return kind;
  }
  return okUnknown;
}

void TMPClass::SetObjectKind(TMPObjectKind kind) {
  const std::string_view header = ObjectHeaderLine(kind);
  if (!header.empty()) FLines.Put(0, header);
}

void TMPClass::SetBeforeTerminator(std::string_view key, LinePieces value) {
  if (FLines.IndexOfName(key) >= 0) {
    FLines.SetValue(key, value);
    return;
  }
  // A new key goes in just before the terminator; an empty value adds nothing.
  const int last = FLines.Count() - 1;
  if (last < 0) RaiseListIndexError(last);
  if (std::all_of(value.begin(), value.end(), [](std::string_view piece) { return piece.empty(); })) return;
  FLines.InsertValue(last, key, value);
}

}  // namespace ostrak
