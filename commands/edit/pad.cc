#include "commands/edit/pad.h"

#include <string_view>

#include "host/host_string.h"
#include "scan/short_text.h"

namespace vellum {
namespace {

// The fill that the forms without a fill argument pass on.
const char* const SpaceString = " ";

enum class Side { kLeft, kRight };

HostString Pad(HostString old_result, const char* source,
               const char* padding_char, int32_t size, Side side) {
  if (size < 0) return Fail(old_result, kErrorNegativeSize);
  char fill =
      padding_char != nullptr && *padding_char != '\0' ? *padding_char : ' ';
  std::string_view text = short_text::View(source);
  if (!text.empty() && text.size() >= static_cast<size_t>(size)) {
    return Finish(old_result, MakeHostCopy(text));
  }
  HostString result = AllocHostString(int64_t{size} + 1);
  if (result == nullptr) return Finish(old_result, nullptr);
  size_t fill_count = static_cast<size_t>(size) - text.size();
  char* fill_at = side == Side::kLeft ? result : result + text.size();
  char* text_at = side == Side::kLeft ? result + fill_count : result;
  short_text::Fill(fill_at, fill, fill_count);
  short_text::Copy(text_at, text.data(), text.size());
  result[size] = '\0';
  return Finish(old_result, result);
}

}  // namespace

HostString PadLeft(HostString old_result, const char* source, int32_t size) {
  return PadLeftChar(old_result, source, SpaceString, size);
}

HostString PadLeftChar(HostString old_result, const char* source,
                       const char* padding_char, int32_t size) {
  return Pad(old_result, source, padding_char, size, Side::kLeft);
}

HostString PadRight(HostString old_result, const char* source, int32_t size) {
  return PadRightChar(old_result, source, SpaceString, size);
}

HostString PadRightChar(HostString old_result, const char* source,
                        const char* padding_char, int32_t size) {
  return Pad(old_result, source, padding_char, size, Side::kRight);
}

}  // namespace vellum
