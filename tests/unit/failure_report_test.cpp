// The text of the failure report.
#include <gtest/gtest.h>

#include <string>

#include "app/failure_report.hpp"

namespace ostrak {
namespace {

std::string Text(std::string_view message, std::uintptr_t offset = 0x1A2B) {
  FailureReport report;
  FormatFailureText("EInOutError", "ostrak", offset, message, report);
  return {report.Text, report.Length};
}

TEST(FailureReportText, FullStopOnlyWhereMissing) {
  EXPECT_EQ(Text("File not found"), "Exception EInOutError in module ostrak at 00001A2B.\r\nFile not found.\r\n");
  EXPECT_EQ(Text("List index out of bounds (3)"),
            "Exception EInOutError in module ostrak at 00001A2B.\r\nList index out of bounds (3).\r\n");
  EXPECT_EQ(Text("Ends."), "Exception EInOutError in module ostrak at 00001A2B.\r\nEnds.\r\n");
  EXPECT_EQ(Text(""), "Exception EInOutError in module ostrak at 00001A2B.\r\n\r\n");
}

TEST(FailureReportText, LocationInUpperCaseHexadecimal) {
  EXPECT_EQ(Text("x", 0).substr(0, 48), "Exception EInOutError in module ostrak at 000000");
  EXPECT_NE(Text("x", 0xABCDEF).find(" at 00ABCDEF.\r\n"), std::string::npos);
  // More than 8 digits where addresses are wider than 32 bits.
  EXPECT_NE(Text("x", UINTPTR_MAX).find(" at " + std::string(2 * sizeof(std::uintptr_t), 'F') + ".\r\n"),
            std::string::npos);
}

TEST(FailureReportText, CutAt1023Bytes) {
  const std::string report = Text(std::string(2000, 'm'));
  EXPECT_EQ(report.size(), 1023u);
  EXPECT_EQ(report.back(), 'm');
}

}  // namespace
}  // namespace ostrak
