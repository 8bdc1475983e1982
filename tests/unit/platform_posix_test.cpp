// Keys match ignoring the case of ASCII letters only: the same letters of
// another alphabet in other case are other keys.
#include <gtest/gtest.h>

#include "mp/line_list.hpp"

namespace ostrak {
namespace {

TEST(PosixKeys, CyrillicKeysCompareExactly) {
  LineList list;
  // Upper and lower case Cyrillic A in Windows-1251 are different bytes.
  list.Add("\xC0=upper");
  list.Add("\xE0=lower");
  EXPECT_EQ(list.GetValue("\xE0"), "lower");
  EXPECT_EQ(list.GetValue("\xC0"), "upper");
}

}  // namespace
}  // namespace ostrak
