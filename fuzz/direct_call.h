// What the differential fuzzers need to call exports directly, in-process,
// against the auditing fake core: string arguments in buffers of exactly
// their size (so that the address sanitizer sees any read past a
// terminator), results taken back as the host takes them, and a failure
// report that names the call.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "emulator/audited_call.h"
#include "fake_core/fake_core.h"
#include "fake_core/install_fake_core.h"
#include "fuzz/fuzz_input.h"
#include "host/core_interface.h"

namespace vellum::fuzz {

// A string argument or a null pointer (nullopt).
using Arg = std::optional<std::string>;

inline bool IsEmpty(const Arg& arg) { return !arg || arg->empty(); }

// Installs the fake core as the core library, once per process.
inline void UseFakeCore() {
  static const bool installed = (InstallFakeCore(), true);
  (void)installed;
}

// The whole of a differential fuzzer's run: `run_one` checks one operation
// read from the input, again and again until the input is used up.
inline int RunEach(const uint8_t* data, size_t size,
                   void (*run_one)(FuzzInput&)) {
  UseFakeCore();
  FuzzInput input(data, size);
  while (!input.empty()) run_one(input);
  return 0;
}

// A NUL-terminated copy of an argument in an allocation of exactly its size,
// or a null pointer.
class CString {
 public:
  explicit CString(const Arg& arg) {
    if (!arg) return;
    bytes_.reset(new char[arg->size() + 1]);
    std::memcpy(bytes_.get(), arg->c_str(), arg->size() + 1);
  }
  const char* get() const { return bytes_.get(); }

 private:
  std::unique_ptr<char[]> bytes_;
};

// The way a case file writes an argument or a string result.
inline std::string Show(const Arg& arg) {
  return arg ? emulator::Quote(*arg) : "null";
}

// A string command's outcome: its result and the error word after it.
struct Taken {
  std::optional<std::string> text;
  int32_t error = 0;
};

[[noreturn]] inline void Mismatch(const std::string& call,
                                  const std::string& got,
                                  const std::string& want) {
  std::fprintf(stderr, "\n%s\n    got %s, expected %s\n", call.c_str(),
               got.c_str(), want.c_str());
  std::abort();
}

// Runs one string command, given a null old result, and takes its result
// back; a result that was not allocated once at exactly its size, or an
// allocation without a result, is reported against the call that
// `describe` writes out (only then, so that passing calls cost nothing).
template <typename Describe, typename Command>
Taken TakeCall(Describe describe, Command command) {
  FakeCoreBeginCall();
  HostString result = command();
  int allocations = 0;
  int32_t size = 0;
  for (int32_t i = 0; i < FakeCoreEventCount(); ++i) {
    const FakeCoreEvent& event = *FakeCoreEventAt(i);
    if (event.kind == kFakeCoreAlloc) {
      ++allocations;
      size = event.size;
    }
  }
  bool exact = result
                   ? allocations == 1 &&
                         size == static_cast<int32_t>(std::strlen(result) + 1)
                   : allocations == 0;
  if (!exact) {
    Mismatch(describe(),
             std::to_string(allocations) + " allocations (last of " +
                 std::to_string(size) + " bytes)",
             "one of the result's size");
  }
  return {FakeCoreTakeResult(result), FakeCoreErrorWord()};
}

}  // namespace vellum::fuzz
