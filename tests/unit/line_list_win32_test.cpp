// The Windows side of key matching: the system's own comparison decides.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "mp/line_list.hpp"

namespace ostrak {
namespace {

TEST(WindowsKeys, LetterCaseFollowsTheUserLocale) {
  LineList list;
  // Upper and lower case letters beyond ASCII match too (the same bytes are
  // a case pair in Windows-1251 and in Windows-1252).
  list.Add("\xC0\xC1=upper");
  list.Add("\xE0\xE1=lower");
  EXPECT_EQ(list.GetValue("\xE0\xE1"), "upper");
  EXPECT_EQ(list.IndexOfName("\xC0\xE1"), 0);
  // The system decides, not the byte count: a soft hyphen is ignored.
  list.Add("Label\xAD=soft");
  EXPECT_EQ(list.IndexOfName("label"), 2);
  EXPECT_EQ(list.IndexOfName("Labels"), -1);
}

}  // namespace
}  // namespace ostrak
