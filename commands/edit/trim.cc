#include "commands/edit/trim.h"

#include <string_view>

#include "host/host_string.h"
#include "scan/byte_set.h"
#include "scan/short_text.h"

namespace vellum {
namespace {

enum class Ends { kStart, kEnd, kBoth };

// `text` without the bytes that `strip` accepts at the chosen ends. Only the
// stripped ends are walked, so the cost beyond measuring the source is the
// number of bytes stripped. Plain pointer walks: an end rarely holds more
// than a byte or two to strip, where a search unrolled by four spends more
// on its set-up than on the bytes.
template <typename Strip>
std::string_view Stripped(std::string_view text, Ends ends, Strip strip) {
  const char* first = text.data();
  const char* last = first + text.size();
  if (ends != Ends::kEnd) {
    while (first != last && strip(*first)) ++first;
  }
  if (ends != Ends::kStart) {
    while (last != first && strip(last[-1])) --last;
  }
  return {first, static_cast<size_t>(last - first)};
}

// Both-ends trims give null when nothing is left; one-sided trims give an
// allocated empty string.
template <typename Strip>
HostString TrimWith(HostString old_result, std::string_view text, Ends ends,
                    Strip strip) {
  if (text.empty()) return Finish(old_result, nullptr);
  std::string_view kept = Stripped(text, ends, strip);
  if (kept.empty()) {
    return Finish(old_result, ends == Ends::kBoth ? nullptr : MakeHostCopy(""));
  }
  return Finish(old_result, MakeHostCopy(kept));
}

HostString TrimSpaces(HostString old_result, const char* source, Ends ends) {
  return TrimWith(old_result, short_text::View(source), ends,
                  [](char c) { return c == ' '; });
}

HostString TrimSet(HostString old_result, const char* source,
                   const char* padding_chars, Ends ends) {
  std::string_view set = short_text::View(padding_chars);
  // An empty set strips nothing, yet gives null, not the source.
  if (set.empty()) return Finish(old_result, nullptr);
  const ByteSet members(set);
  return TrimWith(old_result, short_text::View(source), ends,
                  [&members](char c) { return members.contains(c); });
}

}  // namespace

HostString TrimLeft(HostString old_result, const char* source) {
  return TrimSpaces(old_result, source, Ends::kStart);
}

HostString TrimLeftChar(HostString old_result, const char* source,
                        const char* padding_chars) {
  return TrimSet(old_result, source, padding_chars, Ends::kStart);
}

HostString TrimRight(HostString old_result, const char* source) {
  return TrimSpaces(old_result, source, Ends::kEnd);
}

HostString TrimRightChar(HostString old_result, const char* source,
                         const char* padding_chars) {
  return TrimSet(old_result, source, padding_chars, Ends::kEnd);
}

HostString Trim(HostString old_result, const char* source) {
  return TrimSpaces(old_result, source, Ends::kBoth);
}

HostString TrimChar(HostString old_result, const char* source,
                    const char* padding_chars) {
  return TrimSet(old_result, source, padding_chars, Ends::kBoth);
}

}  // namespace vellum
