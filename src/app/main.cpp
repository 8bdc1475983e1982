// ostrak: converts a Polish-format map made for the Navitel typeset into the
// address-search layer of a map for the Garmin typeset.
//
//   ostrak input.mp output.mp
//
// With fewer than two names it prints its usage text. Every failure ends the
// run with one report on standard error and exit status 1.
#include <new>
#include <stdexcept>

#include "app/failure_report.hpp"
#include "app/platform/command_line.hpp"
#include "app/usage.hpp"
#include "convert/navitel2garmin.hpp"

int main(int argc, char** argv) {
  ostrak::PrepareFailureReporting();
  // The one place where errors are caught: each ends the run with its report.
  try {
    const std::vector<std::string> arguments = ostrak::platform::CommandLineArguments(argc, argv);
    if (arguments.size() >= 2) {
      ostrak::TOstrakConvertNavitel2Garmin converter(arguments[0], arguments[1]);
      converter.Run();
    } else {
      ostrak::WriteUsage();
    }
  } catch (const ostrak::Exception& error) {
    ostrak::HandleUncaughtFailure(error, error.Location());
  } catch (const std::bad_alloc&) {
    ostrak::HandleUncaughtFailure(ostrak::OutOfMemoryError(), ostrak::AllocationFailureLocation());
  } catch (const std::length_error&) {
    // A request for more memory than can ever be had.
    ostrak::HandleUncaughtFailure(ostrak::OutOfMemoryError(), nullptr);
  }
  ostrak::EndRun();
}
