#include "tests/reference/edit_reference.h"

#include <algorithm>
#include <limits>

namespace vellum::reference {
namespace {

// The longest result the host can be asked for: its length plus the NUL
// must fit a signed 32-bit size. Longer ones come back as null.
constexpr int64_t kLongestResult = std::numeric_limits<int32_t>::max() - 1;

bool IsEmpty(const Arg& arg) { return !arg || arg->empty(); }

std::optional<Outcome> BadSection(int32_t start, int32_t size) {
  if (start < 1) return Outcome{std::nullopt, 110};
  if (size < 0) return Outcome{std::nullopt, 112};
  return std::nullopt;
}

// The source with `insert` in place of `cut` bytes from `skip`; past the end
// the gap is filled with spaces. Either way the result is the `skip` bytes
// before the insert, the insert and what is left after the cut.
Outcome Splice(const std::string& source, size_t skip, size_t cut,
               const std::string& insert) {
  const size_t size = source.size();
  const size_t tail = skip < size ? size - std::min(skip + cut, size) : 0;
  if (static_cast<int64_t>(skip + insert.size() + tail) > kLongestResult) {
    return {};
  }
  if (skip >= size) return {source + std::string(skip - size, ' ') + insert};
  return {source.substr(0, skip) + insert + source.substr(size - tail)};
}

}  // namespace

std::string WalkReplace(const std::string& source, const std::string& search,
                        const std::string& insert, size_t limit) {
  std::string out;
  size_t replaced = 0;
  for (size_t at = 0; at < source.size();) {
    if (replaced < limit && source.compare(at, search.size(), search) == 0) {
      out += insert;
      at += search.size();
      ++replaced;
    } else {
      out += source[at++];
    }
  }
  return out;
}

Outcome Replace(const Arg& source, const Arg& search, const Arg& insert,
                size_t limit) {
  if (IsEmpty(source)) return {};
  if (IsEmpty(search)) return {*source};
  return {WalkReplace(*source, *search, insert.value_or(""), limit)};
}

Outcome Trim(const Arg& source, const std::string& members, Ends ends) {
  if (IsEmpty(source) || members.empty()) return {};
  auto member = [&](char c) { return members.find(c) != std::string::npos; };
  std::string text = *source;
  if (ends & kStart) {
    while (!text.empty() && member(text.front())) text.erase(0, 1);
  }
  if (ends & kEnd) {
    while (!text.empty() && member(text.back())) text.pop_back();
  }
  if (text.empty() && ends == kBoth) return {};
  return {text};
}

Outcome Mid(const Arg& source, int32_t start, int32_t size) {
  if (auto bad = BadSection(start, size)) return *bad;
  size_t skip = static_cast<size_t>(start) - 1;
  if (IsEmpty(source) || skip > source->size()) return {};
  return {source->substr(
      skip, size == 0 ? std::string::npos : static_cast<size_t>(size))};
}

Outcome RemoveSection(const Arg& source, int32_t start, int32_t size) {
  if (auto bad = BadSection(start, size)) return *bad;
  size_t skip = static_cast<size_t>(start) - 1;
  if (IsEmpty(source)) return {};
  if (skip > source->size()) return {*source};
  size_t rest = source->size() - skip;
  size_t removed = size == 0 ? rest : std::min(static_cast<size_t>(size), rest);
  return {source->substr(0, skip) + source->substr(skip + removed)};
}

Outcome Insert(const Arg& source, int32_t position, const Arg& insert) {
  if (position < 1) return {std::nullopt, 110};
  return Splice(source.value_or(""), static_cast<size_t>(position) - 1, 0,
                insert.value_or(""));
}

Outcome ReplaceSection(const Arg& source, int32_t start, int32_t size,
                       const Arg& insert) {
  if (auto bad = BadSection(start, size)) return *bad;
  return Splice(source.value_or(""), static_cast<size_t>(start) - 1,
                static_cast<size_t>(size), insert.value_or(""));
}

Outcome Pad(const Arg& source, const Arg& fill, int32_t size, Ends side) {
  if (size < 0) return {std::nullopt, 112};
  const std::string text = source.value_or("");
  if (!text.empty() && static_cast<size_t>(size) <= text.size()) return {text};
  if (size > kLongestResult) return {};
  std::string padding(static_cast<size_t>(size) - text.size(),
                      IsEmpty(fill) ? ' ' : (*fill)[0]);
  return {side == kStart ? padding + text : text + padding};
}

Outcome DelimitCsv(const Arg& source, int32_t force) {
  const std::string text = source.value_or("");
  bool quote = force != 0 || text.find_first_of(",\"") != std::string::npos;
  if (!text.empty()) {
    quote = quote || text.front() == ' ' || text.front() == '\t' ||
            text.front() == '=' || text.back() == ' ' || text.back() == '\t';
  }
  if (!quote) return {text};
  std::string out = "\"";
  for (char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return {out + "\""};
}

Outcome Quote(const Arg& source) { return {"\"" + source.value_or("") + "\""}; }

Outcome UnQuote(const Arg& source) {
  if (IsEmpty(source)) return {};
  const std::string& text = *source;
  if (text.size() < 2 || text.front() != '"' || text.back() != '"') {
    return {text};
  }
  return {text.substr(1, text.size() - 2)};
}

}  // namespace vellum::reference
