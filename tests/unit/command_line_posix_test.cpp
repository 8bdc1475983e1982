// The arguments of a POSIX program: each is used whole, in its order, and an
// empty one neither counts nor shifts the others.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/platform/command_line.hpp"

namespace ostrak {
namespace {

TEST(PosixCommandLine, EmptyArgumentsAreLeftOut) {
  std::string argv0 = "ostrak", empty, in = "my map.mp", out = "\"out\\.mp\"", cyrillic = "\xEA\xE0\xF0\xF2\xE0.mp";
  char* argv[] = {argv0.data(), empty.data(), in.data(), empty.data(), out.data(), cyrillic.data(), nullptr};
  EXPECT_EQ(platform::CommandLineArguments(6, argv), (std::vector<std::string>{in, out, cyrillic}));
  EXPECT_EQ(platform::CommandLineArguments(2, argv), std::vector<std::string>{});
  EXPECT_EQ(platform::CommandLineArguments(1, argv), std::vector<std::string>{});
}

}  // namespace
}  // namespace ostrak
