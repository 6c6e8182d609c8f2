#include "fake_core/fake_core.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

#include "host/core_interface.h"

namespace {

struct Audit {
  std::map<char*, int32_t> live;  // address -> size, every host string
  std::vector<FakeCoreEvent> events;
  std::vector<char*> made_in_call;
  int32_t error_word = 0;
  bool auditing = false;
};

Audit& State() {
  static auto* audit = new Audit;
  return *audit;
}

char* Make(int32_t size) {
  // A fill that is never a NUL, so that an unwritten terminator shows.
  auto* bytes = static_cast<char*>(std::malloc(static_cast<size_t>(size)));
  std::memset(bytes, 0xCD, static_cast<size_t>(size));
  State().live[bytes] = size;
  return bytes;
}

void HostStringFn(vellum::HostString* handle, int32_t size) {
  Audit& audit = State();
  FakeCoreEvent event{size > 0 ? kFakeCoreAlloc : kFakeCoreFree, size, nullptr,
                      0, 0};
  if (size > 0) {
    if (*handle != nullptr) event.faults |= kFaultHandleNotZero;
    *handle = event.address = Make(size);
    if (audit.auditing) audit.made_in_call.push_back(event.address);
  } else {
    event.address = *handle;
    for (char* made : audit.made_in_call) {
      int32_t made_size = audit.live.count(made) ? audit.live[made] : 0;
      if (made_size == 0 ||
          std::memchr(made, 0, static_cast<size_t>(made_size)) !=
              made + made_size - 1) {
        event.faults |= kFaultResultIncomplete;
      } else {
        event.pending = event.pending * 31 + FakeCoreHash(made, made_size);
      }
    }
    if (event.address == nullptr) {
      event.faults |= kFaultFreeNull;
    } else if (audit.live.erase(event.address) == 0) {
      event.faults |= kFaultFreeNotLive;
    } else {
      std::free(event.address);
    }
  }
  if (audit.auditing) audit.events.push_back(event);
}

vellum::HostGlobals& Globals() {
  static vellum::HostGlobals globals{HostStringFn, {}, &State().error_word};
  return globals;
}

}  // namespace

uintptr_t FakeCoreGetGlobPtr() {
  return reinterpret_cast<uintptr_t>(&Globals());
}

uintptr_t FakeCoreCloseDisplay() { return 0; }
uintptr_t FakeCoreQuit() { return 0; }

void FakeCoreBeginCall() {
  Audit& audit = State();
  audit.events.clear();
  audit.made_in_call.clear();
  audit.error_word = 0;
  audit.auditing = true;
}

int32_t FakeCoreEventCount() {
  return static_cast<int32_t>(State().events.size());
}

const FakeCoreEvent* FakeCoreEventAt(int32_t index) {
  return &State().events.at(static_cast<size_t>(index));
}

int32_t FakeCoreErrorWord() { return State().error_word; }

char* FakeCoreMakeString(const char* text) {
  auto size = static_cast<int32_t>(std::strlen(text) + 1);
  char* bytes = Make(size);
  std::memcpy(bytes, text, static_cast<size_t>(size));
  return bytes;
}

int32_t FakeCoreLiveStrings() {
  return static_cast<int32_t>(State().live.size());
}

uint32_t FakeCoreHash(const char* bytes, int32_t size) {
  uint32_t hash = 2166136261u;  // FNV-1a
  for (int32_t i = 0; i < size; ++i) {
    hash = (hash ^ static_cast<unsigned char>(bytes[i])) * 16777619u;
  }
  return hash;
}
