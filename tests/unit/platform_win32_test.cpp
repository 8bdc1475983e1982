// The Windows side of key matching and code locations: what the system's
// own calls decide. (Console text in the OEM code page is checked end to end.)
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "app/platform/process.hpp"
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

int InThisProgram() { return 1; }

TEST(WindowsCodeLocations, ModuleNameAndOffsetFromItsBase) {
  platform::RecordModules();
  const auto base = reinterpret_cast<std::uintptr_t>(::GetModuleHandleA(nullptr));
  const auto function = reinterpret_cast<const void*>(&InThisProgram);
  platform::CodeLocation place = platform::LocateCode(function);
  EXPECT_STREQ(place.ModuleName, "unit_tests.exe");
  EXPECT_EQ(place.Offset, reinterpret_cast<std::uintptr_t>(function) - base);

  const HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
  const auto inKernel = reinterpret_cast<const void*>(::GetProcAddress(kernel, "GetLastError"));
  place = platform::LocateCode(inKernel);
  EXPECT_EQ(::lstrcmpiA(place.ModuleName, "kernel32.dll"), 0) << place.ModuleName;
  EXPECT_EQ(place.Offset, reinterpret_cast<std::uintptr_t>(inKernel) - reinterpret_cast<std::uintptr_t>(kernel));

  // Memory of no module: the program's own name, the address less 0x1000.
  const auto heap = std::make_unique<char[]>(16);
  place = platform::LocateCode(heap.get());
  EXPECT_STREQ(place.ModuleName, "unit_tests.exe");
  EXPECT_EQ(place.Offset, reinterpret_cast<std::uintptr_t>(heap.get()) - 0x1000);
  EXPECT_EQ(platform::LocateCode(nullptr).Offset, 0u);
}

}  // namespace
}  // namespace ostrak
