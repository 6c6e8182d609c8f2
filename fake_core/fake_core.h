// A stand-in for the host's core library that audits every use the module
// makes of the host's allocator. On Windows it is built as DBProCore.dll and
// exports the three decorated names; natively the emulator installs it as an
// in-process library. Its control functions are plain C so that they can
// cross a DLL boundary.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "host/core_interface.h"

#if defined(_WIN32) && defined(FAKE_CORE_BUILD)
#define FAKE_CORE_API extern "C" __declspec(dllexport)
#elif defined(_WIN32)
#define FAKE_CORE_API extern "C" __declspec(dllimport)
#else
#define FAKE_CORE_API extern "C"
#endif

enum FakeCoreEventKind : int32_t {
  kFakeCoreAlloc = 1,  // the host made a string
  kFakeCoreFree = 2,   // the host deleted a string
};

// Faults the fake core saw in a single allocator call.
enum FakeCoreFault : int32_t {
  kFaultHandleNotZero = 1,     // an allocation's handle word did not hold 0
  kFaultFreeNotLive = 2,       // deletion of an address the host never made
  kFaultFreeNull = 4,          // deletion of a null handle
  kFaultResultIncomplete = 8,  // deletion while a string made in this call
                               // was not yet terminated at its end
};

struct FakeCoreEvent {
  int32_t kind;
  int32_t size;      // allocations: the size asked for
  char* address;     // the string made or deleted
  int32_t faults;    // FakeCoreFault bits
  uint32_t pending;  // deletions: hash of the bytes of the strings made so
                     // far in this call, to compare with their final bytes
};

// The exports the module looks up by their decorated names.
FAKE_CORE_API uintptr_t FakeCoreGetGlobPtr();
FAKE_CORE_API uintptr_t FakeCoreCloseDisplay();
FAKE_CORE_API uintptr_t FakeCoreQuit();

// Starts the audit of one command call: forgets earlier events and sets the
// error word to 0.
FAKE_CORE_API void FakeCoreBeginCall();
FAKE_CORE_API int32_t FakeCoreEventCount();
FAKE_CORE_API const FakeCoreEvent* FakeCoreEventAt(int32_t index);
FAKE_CORE_API int32_t FakeCoreErrorWord();
// Makes a host string outside the audit, as the host does for a result it
// later passes back as an old result.
FAKE_CORE_API char* FakeCoreMakeString(const char* text);
// Host strings alive now.
FAKE_CORE_API int32_t FakeCoreLiveStrings();
// Hash of `size` bytes, the same one the deletion events record.
FAKE_CORE_API uint32_t FakeCoreHash(const char* bytes, int32_t size);

// Gives a host string back as the host does, through the allocator of the
// record the fake core hands out.
inline void FakeCoreGiveBack(char* string) {
  auto* globals = reinterpret_cast<vellum::HostGlobals*>(FakeCoreGetGlobPtr());
  globals->host_string_fn(&string, 0);
}

// A string command's result as the host sees it: nullopt for null, the bytes
// otherwise. The host string is given back.
inline std::optional<std::string> FakeCoreTakeResult(char* result) {
  if (result == nullptr) return std::nullopt;
  std::string text(result);
  FakeCoreGiveBack(result);
  return text;
}
