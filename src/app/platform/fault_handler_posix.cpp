// Processor faults (invalid memory access, division by zero, an illegal
// instruction) end the run through the failure report, like any raised error.
// The handler runs on a stack of its own, so that it works even when the
// fault came from an exhausted stack.
#include <signal.h>
#include <ucontext.h>

#include "app/failure_report.hpp"
#include "app/platform/process.hpp"

namespace ostrak::platform {

namespace {

alignas(16) char FaultStack[64 * 1024];

// The code address of the faulting instruction.
const void* FaultLocation([[maybe_unused]] const siginfo_t* info, const void* context) noexcept {
  const auto* user = static_cast<const ucontext_t*>(context);
#if defined(__x86_64__)
  return reinterpret_cast<const void*>(user->uc_mcontext.gregs[REG_RIP]);
#elif defined(__i386__)
  return reinterpret_cast<const void*>(user->uc_mcontext.gregs[REG_EIP]);
#elif defined(__aarch64__)
  return reinterpret_cast<const void*>(user->uc_mcontext.pc);
#else
  (void)user;
  return info->si_addr;
#endif
}

void OnFault(int signal, siginfo_t* info, void* context) noexcept {
  const void* location = FaultLocation(info, context);
  switch (signal) {
    case SIGFPE: EndRunWithFailure(EProcessorFault("EDivByZero", "Division by zero", location), location);
    case SIGILL:
      EndRunWithFailure(EProcessorFault("EPrivilege", "Privileged instruction", location), location);
    default: EndRunWithFailure(EProcessorFault("EAccessViolation", "Access violation", location), location);
  }
}

}  // namespace

void InstallFaultHandlers() noexcept {
  stack_t stack{};
  stack.ss_sp = FaultStack;
  stack.ss_size = sizeof FaultStack;
  sigaltstack(&stack, nullptr);

  struct sigaction action {};
  action.sa_sigaction = OnFault;
  // A fault inside the handler itself ends the process the system's way.
  action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  for (const int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL}) sigaction(signal, &action, nullptr);
}

// No debugger or system handler asks for failures here: the program reports
// every one itself.
void OfferFailureToSystem(const void*) noexcept {}

}  // namespace ostrak::platform
