// The text of the failure report.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "app/failure_report.hpp"

namespace ostrak {
namespace {

// The text up to its NUL byte, which must lie at its length.
std::string ReportText(std::string_view message, std::uintptr_t offset = 0x1A2B) {
  FailureReport report;
  FormatFailureText("EInOutError", "ostrak", offset, message, report);
  EXPECT_EQ(std::string(report.Text).size(), report.Length);
  return report.Text;
}

TEST(FailureReportText, FullStopHexadecimalLocationAndLength) {
  const std::string head = "Exception EInOutError in module ostrak at 00001A2B.\r\n";
  // A full stop only where the message has none.
  EXPECT_EQ(ReportText("File not found"), head + "File not found.\r\n");
  EXPECT_EQ(ReportText("List index out of bounds (3)"), head + "List index out of bounds (3).\r\n");
  EXPECT_EQ(ReportText("Ends."), head + "Ends.\r\n");
  EXPECT_EQ(ReportText(""), head + "\r\n");
  // At least 8 upper-case digits, more where addresses are wider: 8 in a
  // 32-bit program, up to 16 in a 64-bit one.
  EXPECT_EQ(ReportText("x", 0xABCDEF).substr(0, 51), "Exception EInOutError in module ostrak at 00ABCDEF.");
  EXPECT_EQ(ReportText("x", UINTPTR_MAX).substr(42), std::string(2 * sizeof(std::uintptr_t), 'F') + ".\r\nx.\r\n");
  // A message longer than the report is cut where the room ends, never
  // written past it: what is kept is the start of the text.
  const std::string message(5000, 'm');
  const std::string text = ReportText(message);
  EXPECT_EQ(text, (head + message).substr(0, text.size()));
  EXPECT_GT(text.size(), head.size());
}

}  // namespace
}  // namespace ostrak
