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
  static const KeyTable keys(KeyNames);
  FLines.IndexOfNames(keys, FKeyLines);
  FKeyLinesVersion = FLines.Version();
}

void TMPClass::SetBeforeTerminator(Key key, LinePieces value) {
  const int index = LineOf(key);
  const int terminator = index >= 0 ? index : FLines.TerminatorIndex();
  switch (FLines.SetValueAt(index, KeyNames[key], value, terminator)) {
    case LineList::Edit::Rewritten:
      // Rewritten in place, the line keeps its key and every key keeps its line.
      FKeyLinesVersion = FLines.Version();
      break;
    case LineList::Edit::Inserted:
      for (int& line : FKeyLines) {
        if (line >= terminator) ++line;
      }
      FKeyLines[key] = terminator;
      FKeyLinesVersion = FLines.Version();
      break;
    case LineList::Edit::Deleted:
    case LineList::Edit::None:
      break;
  }
}

}  // namespace ostrak
