// ostrak-split: cuts a map into tiles that a map compiler takes in one piece.
//
//   ostrak-split [options] INPUT.mp OUTPUT-FOLDER
//
// Every failure ends the run with one message on standard error and exit
// status 1.
#include <cstdio>
#include <new>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "mp/errors.hpp"
#include "split/command_line.hpp"
#include "split/split_error.hpp"
#include "split/splitter.hpp"

namespace {

int Fail(std::string_view message) {
  std::fprintf(stderr, "ostrak-split: %.*s\n", static_cast<int>(message.size()), message.data());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  // The one place where errors are caught: each ends the run with its message.
  try {
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    const ostrak::split::CommandLine commandLine = ostrak::split::ParseCommandLine(arguments);
    if (commandLine.ShowUsage) {
      const std::string usage = ostrak::split::UsageText();
      if (std::fputs(usage.c_str(), stdout) < 0 || std::fflush(stdout) != 0) return Fail("cannot write the usage text");
      return 0;
    }
    ostrak::split::TSplitter splitter(commandLine.Options);
    splitter.Run();
  } catch (const ostrak::split::ESplitError& error) {
    return Fail(error.Text());
  } catch (const ostrak::Exception& error) {
    return Fail(error.Message());
  } catch (const std::bad_alloc&) {
    return Fail("out of memory");
  } catch (const std::length_error&) {
    return Fail("out of memory");
  }
  return 0;
}
