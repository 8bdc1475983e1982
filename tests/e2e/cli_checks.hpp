// Checks of a failed run, shared by the end-to-end tests.
#pragma once

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "support/process_runner.hpp"

namespace ostrak::test {

// Turns text into a regular expression that matches it literally.
inline std::string Literal(const std::string& text) {
  return std::regex_replace(text, std::regex(R"([.^$|()\[\]{}*+?\\])"), R"(\$&)");
}

// A failure run: nothing on standard output, exit status 1, and on standard
// error exactly one report with the message. module is a regular expression.
inline void ExpectReport(const RunResult& run, const std::string& className, const std::string& message,
                         const std::string& module = Literal(OstrakFileName())) {
  EXPECT_EQ(run.ExitStatus, 1);
  EXPECT_EQ(run.Stdout, "");
  const std::regex report("Exception " + className + " in module " + module + " at [0-9A-F]{8}\\.\r\n" +
                          Literal(message) + "\\.\r\n\r\n");
  EXPECT_TRUE(std::regex_match(run.Stderr, report)) << testing::PrintToString(run.Stderr);
}

inline void ExpectIoReport(const RunResult& run, const std::string& message) {
  ExpectReport(run, "EInOutError", message);
}

}  // namespace ostrak::test
