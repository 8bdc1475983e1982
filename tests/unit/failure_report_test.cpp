// The text of the failure report.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "app/failure_report.hpp"

namespace ostrak {
namespace {

std::string Text(std::string_view message, std::uintptr_t offset = 0x1A2B) {
  FailureReport report;
  FormatFailureText("EInOutError", "ostrak", offset, message, report);
  return {report.Text, report.Length};
}

TEST(FailureReportText, FullStopHexadecimalLocationAndLength) {
  const std::string head = "Exception EInOutError in module ostrak at 00001A2B.\r\n";
  // A full stop only where the message has none.
  EXPECT_EQ(Text("File not found"), head + "File not found.\r\n");
  EXPECT_EQ(Text("List index out of bounds (3)"), head + "List index out of bounds (3).\r\n");
  EXPECT_EQ(Text("Ends."), head + "Ends.\r\n");
  EXPECT_EQ(Text(""), head + "\r\n");
  // At least 8 upper-case digits, more where addresses are wider: 8 in a
  // 32-bit program, up to 16 in a 64-bit one.
  EXPECT_EQ(Text("x", 0xABCDEF).substr(0, 51), "Exception EInOutError in module ostrak at 00ABCDEF.");
  EXPECT_EQ(Text("x", UINTPTR_MAX).substr(42), std::string(2 * sizeof(std::uintptr_t), 'F') + ".\r\nx.\r\n");
  // Cut at 1023 bytes.
  EXPECT_EQ(Text(std::string(2000, 'm')).size(), 1023u);
}

}  // namespace
}  // namespace ostrak
