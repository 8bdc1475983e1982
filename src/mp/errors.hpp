// Error objects of the program. Each is raised where a failure is detected and
// travels, uncaught, to the single top-level handler that reports it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace ostrak {

// Root of all error classes. The message is kept in a fixed buffer, so that
// making, copying and reporting an error never needs the heap (the report
// must work when memory has run out).
class Exception {
 public:
  static constexpr std::size_t MessageCapacity = 256;

  // location: the code address where the error was raised (reported as an
  // offset into the module that holds it).
  Exception(std::string_view message, const void* location) noexcept;
  Exception(const Exception&) noexcept = default;
  Exception& operator=(const Exception&) noexcept = default;
  virtual ~Exception() = default;

  virtual const char* ClassName() const noexcept { return "Exception"; }
  std::string_view Message() const noexcept { return {FMessage, FMessageLength}; }
  const void* Location() const noexcept { return FLocation; }

 protected:
  void SetMessage(std::string_view message) noexcept;

 private:
  char FMessage[MessageCapacity];
  std::size_t FMessageLength;
  const void* FLocation;
};

// A failed file operation; IoCode is the I/O error code it was made from.
class EInOutError : public Exception {
 public:
  EInOutError(std::int32_t code, const void* location) noexcept;
  const char* ClassName() const noexcept override { return "EInOutError"; }

  std::int32_t IoCode;
};

class EHeapException : public Exception {
 public:
  using Exception::Exception;
  const char* ClassName() const noexcept override { return "EHeapException"; }
};

class EOutOfMemory : public EHeapException {
 public:
  explicit EOutOfMemory(const void* location = nullptr) noexcept
      : EHeapException("Out of memory", location) {}
  const char* ClassName() const noexcept override { return "EOutOfMemory"; }
};

// A line list operation was given an index outside the list.
class EStringListError : public Exception {
 public:
  EStringListError(int index, const void* location) noexcept;
  const char* ClassName() const noexcept override { return "EStringListError"; }
};

// Raises EStringListError for index; the location is the caller's return address.
[[noreturn]] void RaiseListIndexError(int index);

// Writes value in signed decimal; returns the number of characters written
// (at most 20). Usable where neither the heap nor stdio may be used.
std::size_t FormatDecimal(char* out, std::int64_t value) noexcept;

}  // namespace ostrak
