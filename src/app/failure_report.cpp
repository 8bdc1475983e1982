#include "app/failure_report.hpp"

#include <algorithm>
#include <cstring>
#include <new>

#include "app/platform/console_text.hpp"
#include "app/platform/process.hpp"
#include "mp/io_result.hpp"
#include "mp/line_file.hpp"

namespace ostrak {

namespace {

// Appends to a report, cutting everything beyond its 1023 bytes.
class ReportWriter {
 public:
  explicit ReportWriter(FailureReport& report) noexcept : FReport(report) {
    FReport.Length = 0;
    FReport.Text[0] = '\0';
  }

  void Append(std::string_view text) noexcept {
    const std::size_t room = FailureReport::Capacity - 1 - FReport.Length;
    const std::size_t count = std::min(room, text.size());
    std::memcpy(FReport.Text + FReport.Length, text.data(), count);
    FReport.Length += count;
    FReport.Text[FReport.Length] = '\0';
  }

  void AppendHex(std::uintptr_t value, std::size_t minimumDigits) noexcept {
    char digits[2 * sizeof value];
    std::size_t count = 0;
    while (value != 0 || count < minimumDigits) {
      digits[sizeof digits - 1 - count++] = "0123456789ABCDEF"[value & 0xF];
      value >>= 4;
    }
    Append({digits + sizeof digits - count, count});
  }

 private:
  FailureReport& FReport;
};

const EOutOfMemory OutOfMemory;
const void* LastAllocationFailure = nullptr;

// The code address just after the call of this function, in its caller.
[[gnu::noinline]] const void* AddressAfterCall() noexcept { return __builtin_return_address(0); }

// Called by the allocator when it finds no memory: remembers the place, here
// in the program's own handler (the allocator itself may lie in a library of
// the system), then raises the error that stands for memory exhaustion.
void OnAllocationFailure() {
  LastAllocationFailure = AddressAfterCall();
  throw std::bad_alloc();
}

}  // namespace

void FormatFailureText(std::string_view className, std::string_view moduleName, std::uintptr_t offset,
                       std::string_view message, FailureReport& report) noexcept {
  ReportWriter writer(report);
  writer.Append("Exception ");
  writer.Append(className);
  writer.Append(" in module ");
  writer.Append(moduleName);
  writer.Append(" at ");
  writer.AppendHex(offset, 8);
  writer.Append(".\r\n");
  writer.Append(message);
  if (!message.empty() && message.back() != '.') writer.Append(".");
  writer.Append("\r\n");
}

void FormatFailureReport(const Exception& error, const void* location, FailureReport& report) noexcept {
  const platform::CodeLocation place = platform::LocateCode(location);
  FormatFailureText(error.ClassName(), place.ModuleName, place.Offset, error.Message(), report);
}

void ShowFailureReport(const Exception& error, const void* location) noexcept {
  // The report comes after everything written before it. A failure of this
  // last hand-over cannot be reported any more and is ignored.
  StdOut().FlushText();
  TakeInOutResult();
  // Static storage: neither the heap nor a stack that may have overflowed.
  static FailureReport report;
  FormatFailureReport(error, location, report);
  platform::ReportTextToOem(report.Text, report.Length);
  platform::WriteStandardError(report.Text, report.Length);
  platform::WriteStandardError("\r\n", 2);
}

void EndRunWithFailure(const Exception& error, const void* location) noexcept {
  ShowFailureReport(error, location);
  platform::EndProcess(1);
}

void HandleUncaughtFailure(const Exception& error, const void* location) noexcept {
  platform::OfferFailureToSystem(location);
  EndRunWithFailure(error, location);
}

void EndRun() noexcept {
  // Failures of this last hand-over of standard output do not change the
  // exit status; the usage text has been handed over and checked already.
  StdOut().CloseText();
  TakeInOutResult();
  platform::EndProcess(0);
}

void PrepareFailureReporting() noexcept {
  // Made now, so that a fault handler finds standard output ready to flush.
  StdOut();
  platform::PrepareFailureHandling();
  std::set_new_handler(OnAllocationFailure);
}

const EOutOfMemory& OutOfMemoryError() noexcept { return OutOfMemory; }

const void* AllocationFailureLocation() noexcept { return LastAllocationFailure; }

}  // namespace ostrak
