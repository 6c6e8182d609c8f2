#include "host/host_string.h"

#include <cstring>
#include <limits>

#include "host/core_library.h"
#include "scan/short_text.h"

namespace vellum {

const char* const EmptyString = "";

HostString AllocHostString(int64_t size) {
  if (size < 1 || size > std::numeric_limits<int32_t>::max()) return nullptr;
  HostGlobals* globals = GetHostGlobals();
  if (globals == nullptr) return nullptr;
  HostString handle = nullptr;
  globals->host_string_fn(&handle, static_cast<int32_t>(size));
  return handle;
}

HostString MakeHostCopy(std::string_view text) {
  HostString copy = AllocHostString(static_cast<int64_t>(text.size()) + 1);
  if (copy == nullptr) return nullptr;
  // Most copies are of a word or a line, which the inline copy takes with
  // no call; an empty view may have no data at all, and it copies nothing.
  short_text::Copy(copy, text.data(), text.size());
  copy[text.size()] = '\0';
  return copy;
}

void ReleaseHostString(HostString string) {
  if (string == nullptr) return;
  HostGlobals* globals = GetHostGlobals();
  if (globals == nullptr) return;
  // The host is given a handle word of its own, never the caller's.
  HostString handle = string;
  globals->host_string_fn(&handle, 0);
}

void RaiseHostError(int32_t number) {
  HostGlobals* globals = GetHostGlobals();
  if (globals == nullptr) return;
  *globals->error_word = number;
}

}  // namespace vellum
