#include "tests/reference/search_reference.h"

#include "scan/search/string_search.h"

namespace vellum::reference {
namespace {

bool OccursAt(std::string_view text, std::string_view pattern, size_t at) {
  return at <= text.size() && text.size() - at >= pattern.size() &&
         text.substr(at, pattern.size()) == pattern;
}

// Where a search from a 1-based `start` begins, 0-based, or kNotFound when
// the start lies beyond the terminator.
size_t StartOffset(std::string_view source, int32_t start) {
  size_t skip = static_cast<size_t>(start) - 1;
  return skip <= source.size() ? skip : kNotFound;
}

}  // namespace

size_t NaiveFind(std::string_view text, std::string_view pattern, size_t from) {
  for (size_t at = from; at <= text.size(); ++at) {
    if (OccursAt(text, pattern, at)) return at;
  }
  return kNotFound;
}

size_t NaiveFindLast(std::string_view text, std::string_view pattern) {
  for (size_t at = text.size() + 1; at-- > 0;) {
    if (OccursAt(text, pattern, at)) return at;
  }
  return kNotFound;
}

std::vector<size_t> NaiveMatches(std::string_view text,
                                 std::string_view pattern, size_t from) {
  std::vector<size_t> matches;
  for (size_t at = NaiveFind(text, pattern, from); at != kNotFound;
       at = NaiveFind(text, pattern, at + pattern.size())) {
    matches.push_back(at);
  }
  return matches;
}

size_t NaiveCount(std::string_view text, std::string_view pattern) {
  return NaiveMatches(text, pattern, 0).size();
}

size_t NaiveFindAny(std::string_view text, std::string_view set) {
  for (size_t at = 0; at < text.size(); ++at) {
    if (set.find(text[at]) != std::string_view::npos) return at;
  }
  return kNotFound;
}

int NaiveCompare(std::string_view a, std::string_view b) {
  for (size_t i = 0;; ++i) {
    int x = i < a.size() ? static_cast<signed char>(a[i]) : 0;
    int y = i < b.size() ? static_cast<signed char>(b[i]) : 0;
    if (x != y) return x < y ? -1 : 1;
    if (x == 0) return 0;
  }
}

int32_t Position(size_t offset) {
  return offset == kNotFound ? 0 : static_cast<int32_t>(offset + 1);
}

int32_t Instr(std::string_view source, std::string_view search, int32_t start) {
  size_t from = StartOffset(source, start);
  if (source.empty() || search.empty() || from == kNotFound) return 0;
  return Position(NaiveFind(source, search, from));
}

int32_t FindChar(std::string_view source, std::string_view set, int32_t start) {
  size_t from = StartOffset(source, start);
  if (source.empty() || set.empty() || from == kNotFound) return 0;
  size_t at = NaiveFindAny(source.substr(from), set);
  return at == kNotFound ? 0 : Position(from + at);
}

int32_t FindAscii(std::string_view source, int32_t code, int32_t start) {
  size_t from = StartOffset(source, start);
  char byte = static_cast<char>(code & 0xFF);
  if (source.empty() || byte == '\0' || from == kNotFound) return 0;
  return Position(source.find(byte, from));
}

int32_t MidAscii(std::string_view source, int32_t start) {
  size_t at = static_cast<size_t>(start) - 1;
  return at < source.size() ? static_cast<uint8_t>(source[at]) : 0;
}

}  // namespace vellum::reference
