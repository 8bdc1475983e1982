// Checks of a failed run, shared by the end-to-end tests.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/process_runner.hpp"

namespace ostrak::test {

// A failure run: nothing on standard output, exit status 1, and on standard
// error exactly one report with the class and message. The module is the
// program's own file unless another is given ("" for any); the location is
// at least 8 upper-case hexadecimal digits.
inline void ExpectReport(const RunResult& run, const std::string& className, const std::string& message,
                         const std::string& module = OstrakFileName()) {
  EXPECT_EQ(run.ExitStatus, 1);
  EXPECT_EQ(run.Stdout, "");
  const std::string& report = run.Stderr;
  const std::string head = "Exception " + className + " in module ";
  const std::string tail = ".\r\n" + message + ".\r\n\r\n";
  const std::size_t at = report.rfind(" at ", report.size() - std::min(report.size(), tail.size()));
  bool matches = report.starts_with(head) && report.ends_with(tail) && at != std::string::npos &&
                 at >= head.size() && (module.empty() || report.substr(head.size(), at - head.size()) == module);
  if (matches) {
    const std::string location = report.substr(at + 4, report.size() - tail.size() - at - 4);
    matches = location.size() >= 8 && location.find_first_not_of("0123456789ABCDEF") == std::string::npos;
  }
  EXPECT_TRUE(matches) << testing::PrintToString(report);
}

inline void ExpectIoReport(const RunResult& run, const std::string& message) {
  ExpectReport(run, "EInOutError", message);
}

}  // namespace ostrak::test
