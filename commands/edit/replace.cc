#include "commands/edit/replace.h"

#include <cstdint>
#include <limits>
#include <string_view>

#include "commands/edit/splice.h"
#include "commands/search/string_search.h"
#include "host/host_string.h"

namespace vellum {
namespace {

// `text` with each of the first `count` occurrences of `pattern` replaced by
// `insert`. `count` must be what CountStrings gives for the pair: the copying
// pass jumps from match to match with the same search and copies the gaps as
// blocks, so it stops at the last match and never looks past it.
HostString ReplaceCounted(std::string_view text, std::string_view pattern,
                          std::string_view insert, size_t count) {
  int64_t growth = static_cast<int64_t>(insert.size()) -
                   static_cast<int64_t>(pattern.size());
  // Refuse a product that could overflow before forming it; the sum that
  // remains is checked by AllocHostString.
  constexpr auto kLargest =
      static_cast<uint64_t>(std::numeric_limits<int32_t>::max());
  if (growth > 0 && count > kLargest / static_cast<uint64_t>(growth)) {
    return nullptr;
  }
  HostString result = AllocHostString(static_cast<int64_t>(text.size()) +
                                      static_cast<int64_t>(count) * growth + 1);
  if (result == nullptr) return nullptr;
  char* out = result;
  size_t from = 0;
  for (size_t i = 0; i < count; ++i) {
    size_t at = FindString(text, pattern, from);
    out = AppendPiece(out, {text.data() + from, at - from});
    out = AppendPiece(out, insert);
    from = at + pattern.size();
  }
  *AppendPiece(out, {text.data() + from, text.size() - from}) = '\0';
  return result;
}

}  // namespace
}  // namespace vellum

using vellum::ArgView;
using vellum::Finish;
using vellum::HostString;
using vellum::MakeHostCopy;

HostString ReplaceString(HostString old_result, const char* source,
                         const char* search, const char* insert) {
  std::string_view text = ArgView(source);
  if (text.empty()) return Finish(old_result, nullptr);
  std::string_view pattern = ArgView(search);
  size_t at =
      pattern.empty() ? vellum::kNotFound : vellum::FindString(text, pattern);
  if (at == vellum::kNotFound) return Finish(old_result, MakeHostCopy(text));
  return Finish(old_result,
                vellum::Splice(text.substr(0, at), 0, ArgView(insert),
                               text.substr(at + pattern.size())));
}

HostString ReplaceStringAll(HostString old_result, const char* source,
                            const char* search, const char* insert) {
  std::string_view text = ArgView(source);
  if (text.empty()) return Finish(old_result, nullptr);
  std::string_view pattern = ArgView(search);
  size_t count = vellum::CountStrings(text, pattern);
  if (count == 0) return Finish(old_result, MakeHostCopy(text));
  return Finish(old_result,
                vellum::ReplaceCounted(text, pattern, ArgView(insert), count));
}

HostString RemoveString(HostString old_result, const char* source,
                        const char* search) {
  return ReplaceString(old_result, source, search, nullptr);
}

HostString RemoveStringAll(HostString old_result, const char* source,
                           const char* search) {
  return ReplaceStringAll(old_result, source, search, nullptr);
}
