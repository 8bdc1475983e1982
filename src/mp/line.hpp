// Line: one line of a LineList, as the list stores it and the key search reads
// it.
#pragma once

#include <cstddef>

namespace ostrak {

struct Line {
  // Separator before a key search first needs it: most buffered sections are
  // never searched.
  static constexpr std::ptrdiff_t UnknownSeparator = -2;
  // Separator of a line without "=", which has no key.
  static constexpr std::ptrdiff_t NoSeparator = -1;

  const char* Text;
  std::size_t Length;
  // The position of the first "=", NoSeparator or UnknownSeparator; kept by
  // the key search.
  mutable std::ptrdiff_t Separator;
  bool CrLfFollows;  // the two bytes after the text are CR LF
  bool IsView;       // the text lives elsewhere (LineList::AddView) and moves with it
};

}  // namespace ostrak
