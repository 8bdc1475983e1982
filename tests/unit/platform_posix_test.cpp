// The POSIX side of the file layer and of key matching: errno values become
// the I/O error codes, and keys match ignoring the case of ASCII letters only.
#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <string>

#include "mp/errors.hpp"
#include "mp/io_result.hpp"
#include "mp/line_file.hpp"
#include "mp/line_list.hpp"
#include "support/line_file_checks.hpp"

namespace ostrak {
namespace {

using test::RaisedCode;

TEST(PosixFiles, FailedWritesRaiseTheirCodes) {
  // A character device gets every line at once, so a full one fails at once.
  TLineFile full;
  full.Bind("/dev/full");
  full.OpenWrite();
  CheckIO();
  EXPECT_EQ(RaisedCode(full, "x"), 112);

  // A pipe whose reader has gone.
  std::signal(SIGPIPE, SIG_IGN);
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  close(ends[0]);
  TLineFile pipe(128);
  pipe.Bind("/proc/self/fd/" + std::to_string(ends[1]));
  pipe.OpenWrite();
  CheckIO();
  EXPECT_EQ(RaisedCode(pipe, ""), 0);  // still in its block
  // A hand-over is written in the background: its failure shows at the next
  // one, or at the flush that waits for it.
  EXPECT_EQ(RaisedCode(pipe, std::string(200, 'x')), 0);
  pipe.FlushText();
  EXPECT_THROW(CheckIO(), EInOutError);
  EXPECT_EQ(RaisedCode(pipe, std::string(200, 'x')), 109);
  close(ends[1]);
}

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
