// The POSIX file layer over a descriptor that takes fewer bytes than asked.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include <string>
#include <thread>

#include "mp/platform/file_system.hpp"

namespace ostrak {
namespace {

TEST(PosixFiles, ShortWritesAreContinued) {
  // A write to a pipe that does not wait takes only what fits in the pipe.
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  fcntl(ends[1], F_SETFL, O_NONBLOCK);
  std::string data;
  for (int i = 0; data.size() < 1000000; ++i) data += std::to_string(i) + ",";
  std::string received;
  std::thread reader([&] {
    char buffer[4096];
    for (ssize_t got; (got = read(ends[0], buffer, sizeof buffer)) > 0;) {
      received.append(buffer, static_cast<std::size_t>(got));
    }
  });
  EXPECT_EQ(platform::WriteFile(ends[1], data.data(), data.size()), 0);
  close(ends[1]);
  reader.join();
  close(ends[0]);
  EXPECT_TRUE(received == data) << received.size() << " of " << data.size() << " bytes arrived";
}

}  // namespace
}  // namespace ostrak
