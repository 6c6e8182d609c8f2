#include "commands/generate/guid_env.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "commands/generate/reference_expander.h"
#include "host/host_string.h"
#include "host/platform.h"
#include "scan/byte_scan.h"
#include "scan/short_text.h"

namespace vellum {
namespace {

// Measures the expansion of `source`, asks the host for exactly that, then
// expands again into it. Should another thread change the environment
// between the two passes, the result is cut short, never overrun.
HostString MakeExpandedCopy(std::string_view source) {
  ReferenceExpander expander;
  int64_t length = 0;
  expander.Expand(source, [&](std::string_view piece) {
    length += static_cast<int64_t>(piece.size());
  });
  HostString result = AllocHostString(length + 1);
  if (result == nullptr) return MakeHostCopy("");
  int64_t filled = 0;
  expander.Expand(source, [&](std::string_view piece) {
    auto size =
        std::min<int64_t>(static_cast<int64_t>(piece.size()), length - filled);
    std::memcpy(result + filled, piece.data(), static_cast<size_t>(size));
    filled += size;
  });
  result[filled] = '\0';
  return result;
}

}  // namespace

HostString GenerateGuid(HostString old_result) {
  char text[37];
  if (!platform::NewUuidText(text)) {
    return Finish(old_result, MakeHostCopy(""));
  }
  return Finish(old_result, MakeHostCopy({text, BoundedLength(text, 36)}));
}

HostString ExpandEnv(HostString old_result, const char* source) {
  // Not handed to the platform: a null source is the empty string.
  std::string_view text = short_text::View(source);
  // Most text holds no reference at all and is its own expansion.
  if (text.empty() || short_text::FindByte(source, '%') == nullptr) {
    return Finish(old_result, MakeHostCopy(text));
  }
  return Finish(old_result, MakeExpandedCopy(text));
}

}  // namespace vellum
