#include "commands/chars/fast_commands.h"

#include <algorithm>
#include <string_view>

#include "commands/chars/case_map.h"
#include "host/host_string.h"
#include "scan/short_text.h"

namespace vellum {
namespace {

HostString CaseCopy(HostString old_result, const char* source,
                    unsigned char first) {
  std::string_view text = short_text::View(source);
  if (text.empty()) return Finish(old_result, nullptr);
  HostString result = AllocHostString(static_cast<int64_t>(text.size()) + 1);
  if (result == nullptr) return Finish(old_result, nullptr);
  MapLetterCase(reinterpret_cast<const unsigned char*>(text.data()),
                reinterpret_cast<unsigned char*>(result), text.size(), first);
  result[text.size()] = '\0';
  return Finish(old_result, result);
}

}  // namespace

int32_t FastLen(const char* source) {
  return static_cast<int32_t>(short_text::View(source).size());
}

HostString FastLeft(HostString old_result, const char* source, int32_t size) {
  if (size < 0) return Fail(old_result, kErrorNegativeSize);
  if (source == nullptr || size == 0) return Finish(old_result, nullptr);
  // Measured only as far as `size` bytes: a short prefix of a long string
  // never measures the whole string.
  size_t length = short_text::BoundedLength(source, static_cast<size_t>(size));
  if (length == 0) return Finish(old_result, nullptr);
  return Finish(old_result, MakeHostCopy({source, length}));
}

HostString FastRight(HostString old_result, const char* source, int32_t size) {
  if (size < 0) return Fail(old_result, kErrorNegativeSize);
  std::string_view text = short_text::View(source);
  if (text.empty() || size == 0) return Finish(old_result, nullptr);
  return Finish(old_result,
                MakeHostCopy(text.substr(text.size() -
                                         std::min<size_t>(size, text.size()))));
}

HostString FastUpper(HostString old_result, const char* source) {
  return CaseCopy(old_result, source, 'a');
}

HostString FastLower(HostString old_result, const char* source) {
  return CaseCopy(old_result, source, 'A');
}

}  // namespace vellum
