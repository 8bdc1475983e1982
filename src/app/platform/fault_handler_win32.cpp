// The process's unhandled-exception filter: processor faults end the run
// through the failure report, like any raised error. The same filter tells
// the system, when the top-level handler offers it an error that left the
// program's work, that the program reports that error itself.
#include <windows.h>

#include "app/failure_report.hpp"
#include "app/platform/process.hpp"

namespace ostrak::platform {

namespace {

// The exception code under which an uncaught error is offered to the system
// (customer bit set, then "OST").
constexpr DWORD UncaughtErrorCode = 0xE04F5354;

[[noreturn]] void ReportFault(const char* className, const char* message, const void* location) noexcept {
  EndRunWithFailure(EProcessorFault(className, message, location), location);
}

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* exception) {
  const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
  const void* const location = record.ExceptionAddress;
  if (record.ExceptionCode == UncaughtErrorCode) return EXCEPTION_EXECUTE_HANDLER;
  // A fault inside the report itself ends the process the system's way.
  static LONG entered = 0;
  if (::InterlockedExchange(&entered, 1) != 0) return EXCEPTION_EXECUTE_HANDLER;
  switch (record.ExceptionCode) {
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_OVERFLOW:
    case EXCEPTION_FLT_DIVIDE_BY_ZERO:
    case EXCEPTION_FLT_INVALID_OPERATION:
    case EXCEPTION_FLT_OVERFLOW:
    case EXCEPTION_FLT_UNDERFLOW:
    case EXCEPTION_FLT_INEXACT_RESULT:
    case EXCEPTION_FLT_DENORMAL_OPERAND:
    case EXCEPTION_FLT_STACK_CHECK: ReportFault("EDivByZero", "Division by zero", location);
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_ILLEGAL_INSTRUCTION: ReportFault("EPrivilege", "Privileged instruction", location);
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_IN_PAGE_ERROR:
    case EXCEPTION_STACK_OVERFLOW:
    case EXCEPTION_GUARD_PAGE:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED: ReportFault("EAccessViolation", "Access violation", location);
    default: {
      // Any other exception that nothing handled, named by its code.
      char message[] = "External exception 00000000";
      DWORD code = record.ExceptionCode;
      for (char* digit = message + sizeof message - 2; code != 0; --digit, code >>= 4) {
        *digit = "0123456789ABCDEF"[code & 0xF];
      }
      ReportFault("EExternalException", message, location);
    }
  }
}

}  // namespace

void InstallFaultHandlers() noexcept { ::SetUnhandledExceptionFilter(OnUnhandledException); }

void OfferFailureToSystem(const void* location) noexcept {
  EXCEPTION_RECORD record{};
  record.ExceptionCode = UncaughtErrorCode;
  record.ExceptionFlags = EXCEPTION_NONCONTINUABLE;
  record.ExceptionAddress = const_cast<void*>(location);
  CONTEXT context{};
  ::RtlCaptureContext(&context);
  EXCEPTION_POINTERS exception{&record, &context};
  // Without a debugger the system asks the filter above, which answers that
  // the program reports the error.
  if (::UnhandledExceptionFilter(&exception) != EXCEPTION_CONTINUE_SEARCH) return;
  // A debugger takes the failure over: the error is raised to the system,
  // where nothing handles it, and the debugger or the system ends the run.
  ::RaiseException(UncaughtErrorCode, EXCEPTION_NONCONTINUABLE, 0, nullptr);
  ::ExitProcess(1);
}

}  // namespace ostrak::platform
