// The native stand-in for the platform seam: in-process libraries, messages
// on stderr, and the operating system's clock, random source and environment.
#include "host/platform_stub.h"

#include <sys/random.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "host/platform.h"

namespace vellum::platform {
namespace {

struct Library {
  stub::ExportTable exports;
  int references = 0;
  int loads = 0;
};

std::map<std::string, Library>& Libraries() {
  static auto* libraries = new std::map<std::string, Library>;
  return *libraries;
}

std::vector<stub::Message>& MessageLog() {
  static auto* messages = new std::vector<stub::Message>;
  return *messages;
}

}  // namespace

LibraryHandle OpenLibrary(const char* name) {
  auto it = Libraries().find(name);
  if (it == Libraries().end()) return nullptr;
  ++it->second.references;
  ++it->second.loads;
  return &it->second;
}

void* FindExport(LibraryHandle library, const char* name) {
  const auto& exports = static_cast<Library*>(library)->exports;
  auto it = exports.find(name);
  return it == exports.end() ? nullptr : it->second;
}

void CloseLibrary(LibraryHandle library) {
  --static_cast<Library*>(library)->references;
}

void ShowMessage(const char* text, const char* caption, uint32_t flags) {
  MessageLog().push_back({text, caption, flags});
  std::fprintf(stderr, "[message box \"%s\"] %s\n", caption, text);
  std::fflush(stderr);
}

void EndProcess(uint32_t exit_code) { std::exit(static_cast<int>(exit_code)); }

uint32_t TickCount() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint32_t>(now.tv_sec * 1000 + now.tv_nsec / 1000000);
}

bool NewUuidText(char text[37]) {
  unsigned char bytes[16];
  if (getrandom(bytes, sizeof bytes, 0) != sizeof bytes) return false;
  bytes[6] = (bytes[6] & 0x0F) | 0x40;  // version 4: random
  bytes[8] = (bytes[8] & 0x3F) | 0x80;  // the RFC 4122 variant
  std::snprintf(text, 37,
                "%02x%02x%02x%02x-%02x%02x-%02x%02x-%02x%02x-"
                "%02x%02x%02x%02x%02x%02x",
                bytes[0], bytes[1], bytes[2], bytes[3], bytes[4], bytes[5],
                bytes[6], bytes[7], bytes[8], bytes[9], bytes[10], bytes[11],
                bytes[12], bytes[13], bytes[14], bytes[15]);
  return true;
}

// Expands with the platform's rules: %NAME% of a set variable becomes its
// value; a reference to an unset variable, and a % with no partner, stay as
// written, and the scan goes on from the closing % of an unset reference.
// A source longer than the platform takes is refused.
uint32_t ExpandEnvironment(const char* source, char* buffer,
                           uint32_t capacity) {
  const char* p = source ? source : "";
  if (std::strlen(p) + 1 > kExpandSourceLimit) return 0;
  std::string out;
  while (*p) {
    const char* close = *p == '%' ? std::strchr(p + 1, '%') : nullptr;
    if (close == nullptr) {
      out += *p++;
      continue;
    }
    std::string name(p + 1, close);
    const char* value = name.empty() ? nullptr : std::getenv(name.c_str());
    if (value) {
      out += value;
      p = close + 1;
    } else {
      out.append(p, close);
      p = close;
    }
  }
  uint32_t needed = static_cast<uint32_t>(out.size() + 1);
  if (buffer && capacity >= needed) std::memcpy(buffer, out.c_str(), needed);
  return needed;
}

namespace stub {

void InstallLibrary(const std::string& name, ExportTable exports) {
  Libraries()[name] = Library{std::move(exports)};
}

void RemoveLibrary(const std::string& name) { Libraries().erase(name); }

int LoadCount(const std::string& name) {
  auto it = Libraries().find(name);
  return it == Libraries().end() ? 0 : it->second.references;
}

int LoadsTotal(const std::string& name) {
  auto it = Libraries().find(name);
  return it == Libraries().end() ? 0 : it->second.loads;
}

const std::vector<Message>& Messages() { return MessageLog(); }

void ClearMessages() { MessageLog().clear(); }

}  // namespace stub
}  // namespace vellum::platform
