#include "commands/edit/section_edit.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "commands/edit/splice.h"
#include "host/host_string.h"
#include "scan/short_text.h"

namespace vellum {

HostString Mid(HostString old_result, const char* source,
               int32_t start_position, int32_t size) {
  if (start_position < 1) return Fail(old_result, kErrorPositionTooLow);
  if (size < 0) return Fail(old_result, kErrorNegativeSize);
  if (source == nullptr) return Finish(old_result, nullptr);
  size_t skip = static_cast<size_t>(start_position) - 1;
  // Measure only as far as the section reaches, so that a section near the
  // start of a long source never reads the rest. Both counts are below 2^31,
  // so their sum fits even a 32-bit size_t.
  size_t limit = size == 0 ? SIZE_MAX : skip + static_cast<size_t>(size);
  size_t length = short_text::BoundedLength(source, limit);
  if (length == 0 || length < skip) return Finish(old_result, nullptr);
  return Finish(old_result, MakeHostCopy({source + skip, length - skip}));
}

HostString RemoveSection(HostString old_result, const char* source,
                         int32_t start_position, int32_t size) {
  if (start_position < 1) return Fail(old_result, kErrorPositionTooLow);
  if (size < 0) return Fail(old_result, kErrorNegativeSize);
  std::string_view text = short_text::View(source);
  if (text.empty()) return Finish(old_result, nullptr);
  size_t skip = static_cast<size_t>(start_position) - 1;
  if (skip > text.size()) return Finish(old_result, MakeHostCopy(text));
  size_t rest = text.size() - skip;
  size_t removed = size == 0 ? rest : std::min(static_cast<size_t>(size), rest);
  return Finish(old_result, Splice(text.substr(0, skip), 0, {},
                                   text.substr(skip + removed)));
}

HostString Insert(HostString old_result, const char* source,
                  int32_t insert_position, const char* insert) {
  if (insert_position < 1) {
    return Fail(old_result, kErrorPositionTooLow);
  }
  std::string_view text = short_text::View(source);
  auto skip = static_cast<size_t>(insert_position) - 1;
  if (skip <= text.size()) {
    return Finish(old_result,
                  Splice(text.substr(0, skip), 0, short_text::View(insert),
                         text.substr(skip)));
  }
  auto gap = static_cast<int64_t>(skip - text.size());
  return Finish(old_result, Splice(text, gap, short_text::View(insert), {}));
}

HostString ReplaceSection(HostString old_result, const char* source,
                          int32_t start_position, int32_t size,
                          const char* insert) {
  if (start_position < 1) return Fail(old_result, kErrorPositionTooLow);
  if (size < 0) return Fail(old_result, kErrorNegativeSize);
  std::string_view text = short_text::View(source);
  auto skip = static_cast<size_t>(start_position) - 1;
  if (skip < text.size()) {
    // A section that runs past the end is cut off there.
    size_t kept_from =
        skip + std::min(static_cast<size_t>(size), text.size() - skip);
    return Finish(old_result,
                  Splice(text.substr(0, skip), 0, short_text::View(insert),
                         text.substr(kept_from)));
  }
  auto gap = static_cast<int64_t>(skip - text.size());
  return Finish(old_result, Splice(text, gap, short_text::View(insert), {}));
}

}  // namespace vellum
