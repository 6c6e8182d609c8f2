#include "commands/generate/guid_env.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>

#include "host/host_string.h"
#include "host/platform.h"
#include "scan/byte_scan.h"

namespace vellum {
namespace {

// Expands `source` into a zeroed buffer of our own and copies what was
// written into a host string of exactly that length. The buffer has one byte
// more than the platform said it needs: the narrow-character expansion may
// want room beyond the measured size, and a host string must be exactly its
// length + 1, so it cannot carry the spare byte. An environment that grew
// between measuring and expanding is measured again.
HostString MakeExpandedCopy(const char* source) {
  constexpr int kAttempts = 3;
  uint64_t needed = platform::ExpandEnvironment(source, nullptr, 0);
  for (int attempt = 0; attempt < kAttempts && needed != 0; ++attempt) {
    if (needed >= UINT32_MAX) break;
    auto capacity = static_cast<uint32_t>(needed + 1);
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[capacity]());
    if (buffer == nullptr) break;
    needed = platform::ExpandEnvironment(source, buffer.get(), capacity);
    if (needed != 0 && needed < capacity) {
      return MakeHostCopy({buffer.get(), BoundedLength(buffer.get(), capacity)});
    }
  }
  return MakeHostCopy("");
}

}  // namespace
}  // namespace vellum

using vellum::Finish;
using vellum::HostString;
using vellum::MakeHostCopy;

HostString GenerateGuid(HostString old_result) {
  char text[37];
  if (!vellum::platform::NewUuidText(text)) {
    return Finish(old_result, MakeHostCopy(""));
  }
  return Finish(old_result, MakeHostCopy({text, vellum::BoundedLength(text, 36)}));
}

HostString ExpandEnv(HostString old_result, const char* source) {
  // Not handed to the platform: a null source is the empty string.
  if (source == nullptr || *source == '\0') {
    return Finish(old_result, MakeHostCopy(""));
  }
  return Finish(old_result, vellum::MakeExpandedCopy(source));
}
