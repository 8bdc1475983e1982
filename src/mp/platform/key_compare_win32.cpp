// Keys compare equal when the user's locale says they are the same text but
// for letter case (CompareStringA with NORM_IGNORECASE), so Cyrillic keys
// match in either case too. Both lengths are given explicitly: a key is a
// piece of a line, not a NUL-terminated string.
#include "mp/platform/key_compare.hpp"

#include <windows.h>

#include <climits>

namespace ostrak::platform {

// Under a locale, keys of different lengths or first letters may compare the
// same: every line is compared.
constinit const KeyMatchRules MatchRules = {false, {}, false};

bool SameKey(std::string_view lineKey, std::string_view key) noexcept {
  // CompareStringA takes int lengths; a key beyond that matches nothing.
  if (lineKey.size() > INT_MAX || key.size() > INT_MAX) return false;
  return ::CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, lineKey.data(), static_cast<int>(lineKey.size()),
                          key.data(), static_cast<int>(key.size())) == CSTR_EQUAL;
}

}  // namespace ostrak::platform
