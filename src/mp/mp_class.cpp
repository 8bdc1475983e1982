#include "mp/mp_class.hpp"

#include <algorithm>

#include "mp/errors.hpp"

namespace ostrak {

TMPObjectKind TMPClass::GetObjectKind() const { return ObjectKindOf(FLines.Get(0)); }

void TMPClass::SetObjectKind(TMPObjectKind kind) {
  const std::string_view header = ObjectHeaderLine(kind);
  if (header.empty()) return;
  // A header line has no key, so the keys' lines stay where they are, unless
  // line 0 was one of them.
  const bool keysStay = FKeyLinesVersion == FLines.Version() && std::ranges::find(FKeyLines, 0) == std::end(FKeyLines);
  FLines.PutConstant(0, header, true);
  if (keysStay) FKeyLinesVersion = FLines.Version();
}

void TMPClass::FindKeyLines() const {
  static const LineList::KeyTable keys(KeyNames);
  FLines.IndexOfNames(keys, FKeyLines);
  FKeyLinesVersion = FLines.Version();
}

void TMPClass::SetBeforeTerminator(Key key, LinePieces value) {
  const bool empty = std::ranges::all_of(value, [](std::string_view piece) { return piece.empty(); });
  const int index = LineOf(key);
  if (index >= 0) {
    if (empty) {
      FLines.Delete(index);
      return;
    }
    // Rewritten in place, the line keeps its key and every key keeps its line.
    FLines.PutValue(index, KeyNames[key], value);
    FKeyLinesVersion = FLines.Version();
    return;
  }
  // A new key goes in just before the terminator; an empty value adds nothing.
  const int last = FLines.Count() - 1;
  if (last < 0) RaiseListIndexError(last);
  if (empty) return;
  FLines.InsertValue(last, KeyNames[key], value);
  for (int& line : FKeyLines) {
    if (line >= last) ++line;
  }
  FKeyLines[key] = last;
  FKeyLinesVersion = FLines.Version();
}

}  // namespace ostrak
