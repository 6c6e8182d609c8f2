// The editing exports against plain references written from their rules:
// REPLACE ALL$, REPLACE$ and REMOVE ALL$ by search string (the byte walk
// that takes occurrences leftmost first without overlap), the six trims
// (stripping one byte at a time), MID$, REMOVE$, INSERT$ and REPLACE$ by
// position and the two pads with a fill (string slicing), and DELIMIT CSV$,
// QUOTE$ and UNQUOTE$. Null and an allocated empty string are told apart,
// and the error word is checked.
//
// Input: a script of calls. Each call is an operation byte, a flags byte
// (bits 0-2: which strings are null; bits 3-4: fold every byte into the
// alphabet "ab \xE9", where matches crowd and spaces and high bytes meet, or
// into one of the bytes that decide CSV quoting), three strings, each ending
// at a 0 byte, and two integers read by FuzzInput::TakeInt32.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "commands/edit/csv_quote.h"
#include "commands/edit/pad.h"
#include "commands/edit/replace.h"
#include "commands/edit/section_edit.h"
#include "commands/edit/trim.h"
#include "fuzz/direct_call.h"
#include "fuzz/fuzz_input.h"

namespace vellum::fuzz {
namespace {

// What a command must give: its result and its error word.
struct Want {
  Arg text;
  int32_t error = 0;
};

// The longest result the host can be asked for: its length plus the NUL
// must fit a signed 32-bit size. Longer ones come back as null.
constexpr int64_t kLongestResult = std::numeric_limits<int32_t>::max() - 1;

// --- search and replace ----------------------------------------------------

// Compares at every read position: a match writes the insert and jumps over
// itself, anything else copies one byte. At most `limit` replacements.
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

Want RefReplace(const Arg& source, const Arg& search, const Arg& insert,
                size_t limit) {
  if (IsEmpty(source)) return {};
  if (IsEmpty(search)) return {*source};
  return {WalkReplace(*source, *search, insert.value_or(""), limit)};
}

// --- trims -----------------------------------------------------------------

enum Ends { kStart = 1, kEnd = 2, kBoth = 3 };

// `members` is the set (spaces for the forms without one). An empty source
// or set gives null; stripping everything gives null from the two-sided
// trims and an allocated empty string from the one-sided ones.
Want RefTrim(const Arg& source, const std::string& members, Ends ends) {
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

// --- sections by position --------------------------------------------------

// The checks every section command makes first: the position, then the size.
std::optional<Want> BadSection(int32_t start, int32_t size) {
  if (start < 1) return Want{std::nullopt, 110};
  if (size < 0) return Want{std::nullopt, 112};
  return std::nullopt;
}

Want RefMid(const Arg& source, int32_t start, int32_t size) {
  if (auto bad = BadSection(start, size)) return *bad;
  size_t skip = static_cast<size_t>(start) - 1;
  if (IsEmpty(source) || skip > source->size()) return {};
  return {source->substr(skip, size == 0 ? std::string::npos : static_cast<size_t>(size))};
}

Want RefRemoveSection(const Arg& source, int32_t start, int32_t size) {
  if (auto bad = BadSection(start, size)) return *bad;
  size_t skip = static_cast<size_t>(start) - 1;
  if (IsEmpty(source)) return {};
  if (skip > source->size()) return {*source};
  size_t rest = source->size() - skip;
  size_t removed = size == 0 ? rest : std::min(static_cast<size_t>(size), rest);
  return {source->substr(0, skip) + source->substr(skip + removed)};
}

// The source with `insert` in place of `cut` bytes from `skip`; past the end
// the gap is filled with spaces. Either way the result is the `skip` bytes
// before the insert, the insert and what is left after the cut.
Want Splice(const std::string& source, size_t skip, size_t cut,
            const std::string& insert) {
  const size_t size = source.size();
  const size_t tail = skip < size ? size - std::min(skip + cut, size) : 0;
  if (static_cast<int64_t>(skip + insert.size() + tail) > kLongestResult) return {};
  if (skip >= size) return {source + std::string(skip - size, ' ') + insert};
  return {source.substr(0, skip) + insert + source.substr(size - tail)};
}

Want RefInsert(const Arg& source, int32_t position, const Arg& insert) {
  if (position < 1) return {std::nullopt, 110};
  return Splice(source.value_or(""), static_cast<size_t>(position) - 1, 0,
                insert.value_or(""));
}

Want RefReplaceSection(const Arg& source, int32_t start, int32_t size,
                       const Arg& insert) {
  if (auto bad = BadSection(start, size)) return *bad;
  return Splice(source.value_or(""), static_cast<size_t>(start) - 1,
                static_cast<size_t>(size), insert.value_or(""));
}

// --- pads ------------------------------------------------------------------

Want RefPad(const Arg& source, const Arg& fill, int32_t size, Ends side) {
  if (size < 0) return {std::nullopt, 112};
  const std::string text = source.value_or("");
  if (!text.empty() && static_cast<size_t>(size) <= text.size()) return {text};
  if (size > kLongestResult) return {};
  std::string padding(static_cast<size_t>(size) - text.size(),
                      IsEmpty(fill) ? ' ' : (*fill)[0]);
  return {side == kStart ? padding + text : text + padding};
}

// --- CSV fields ----------------------------------------------------------------

Want RefDelimitCsv(const Arg& source, int32_t force) {
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

// A lone double quote both starts and ends the source; the module gives it
// back unchanged.
Want RefUnQuote(const Arg& source) {
  if (IsEmpty(source)) return {};
  const std::string& text = *source;
  if (text.size() < 2 || text.front() != '"' || text.back() != '"') return {text};
  return {text.substr(1, text.size() - 2)};
}

// --- driving -----------------------------------------------------------------

void Fold(Arg& arg, const std::string& alphabet) {
  if (!arg) return;
  for (char& c : *arg) c = alphabet[static_cast<uint8_t>(c) % alphabet.size()];
}

// Runs a string command and compares its result and error word with the
// reference's.
template <typename Command>
void Check(const std::string& call, const Want& want, Command command) {
  Taken got = TakeCall([&] { return call; }, command);
  if (got.text != want.text || got.error != want.error) {
    Mismatch(call, Show(got.text) + " ! " + std::to_string(got.error),
             Show(want.text) + " ! " + std::to_string(want.error));
  }
}

// A position or size that sets the result's length: a few thousand at
// most, the edge values aside. The largest position would make INSERT$ and
// REPLACE$ fill 2 GiB with spaces unless an insert string pushes the size
// past what the host can be asked for, so without one it is folded too.
int32_t ResultLength(int32_t value, const Arg& insert) {
  value = ClampSize(value);
  if (value == std::numeric_limits<int32_t>::max() && IsEmpty(insert)) value %= 4097;
  return value;
}

void RunOne(FuzzInput& input) {
  uint8_t operation = input.TakeByte() % 19;
  uint8_t flags = input.TakeByte();
  Arg a = input.TakeArgument(flags & 1);
  Arg b = input.TakeArgument(flags & 2);
  Arg c = input.TakeArgument(flags & 4);
  int32_t i = input.TakeInt32();
  int32_t j = input.TakeInt32();
  if (uint8_t fold = flags >> 3 & 3) {
    const std::string alphabet = fold == 2 ? "a\",= \t\n" : "ab \xE9";
    Fold(a, alphabet);
    Fold(b, alphabet);
    Fold(c, alphabet);
  }
  const CString source(a), second(b), third(c);
  const std::string one = "(" + Show(a) + ")";
  const std::string two = "(" + Show(a) + ", " + Show(b) + ")";
  const std::string three = "(" + Show(a) + ", " + Show(b) + ", " + Show(c) + ")";
  auto with = [&](std::initializer_list<std::string> rest) {
    std::string text = "(" + Show(a);
    for (const std::string& part : rest) text += ", " + part;
    return text + ")";
  };
  const std::string set = b.value_or("");
  const size_t all = std::string::npos;
  switch (operation) {
    case 0:
      return Check("REPLACE ALL$" + three, RefReplace(a, b, c, all), [&] {
        return ReplaceStringAll(nullptr, source.get(), second.get(), third.get());
      });
    case 1:
      return Check("REPLACE$" + three, RefReplace(a, b, c, 1), [&] {
        return ReplaceString(nullptr, source.get(), second.get(), third.get());
      });
    case 2:
      return Check("REMOVE ALL$" + two, RefReplace(a, b, std::nullopt, all),
                   [&] { return RemoveStringAll(nullptr, source.get(), second.get()); });
    case 3:
      return Check("TRIM$" + two, RefTrim(a, set, kBoth),
                   [&] { return TrimChar(nullptr, source.get(), second.get()); });
    case 4:
      return Check("TRIMLEFT$" + two, RefTrim(a, set, kStart),
                   [&] { return TrimLeftChar(nullptr, source.get(), second.get()); });
    case 5:
      return Check("TRIMRIGHT$" + two, RefTrim(a, set, kEnd),
                   [&] { return TrimRightChar(nullptr, source.get(), second.get()); });
    case 6:
      return Check("TRIM$" + one, RefTrim(a, " ", kBoth),
                   [&] { return Trim(nullptr, source.get()); });
    case 7:
      return Check("TRIMLEFT$" + one, RefTrim(a, " ", kStart),
                   [&] { return TrimLeft(nullptr, source.get()); });
    case 8:
      return Check("TRIMRIGHT$" + one, RefTrim(a, " ", kEnd),
                   [&] { return TrimRight(nullptr, source.get()); });
    case 9:
      return Check("MID$" + with({std::to_string(i), std::to_string(j)}),
                   RefMid(a, i, j), [&] { return Mid(nullptr, source.get(), i, j); });
    case 10:
      return Check("REMOVE$" + with({std::to_string(i), std::to_string(j)}),
                   RefRemoveSection(a, i, j),
                   [&] { return RemoveSection(nullptr, source.get(), i, j); });
    case 11: {
      int32_t position = ResultLength(i, b);
      return Check("INSERT$" + with({std::to_string(position), Show(b)}),
                   RefInsert(a, position, b),
                   [&] { return Insert(nullptr, source.get(), position, second.get()); });
    }
    case 12: {
      int32_t start = ResultLength(i, b);
      int32_t size = ClampSize(j);
      return Check("REPLACE$" + with({std::to_string(start), std::to_string(size), Show(b)}),
                   RefReplaceSection(a, start, size, b), [&] {
                     return ReplaceSection(nullptr, source.get(), start, size, second.get());
                   });
    }
    case 13: {
      int32_t size = ClampSize(j);
      return Check("PADLEFT$" + with({Show(b), std::to_string(size)}),
                   RefPad(a, b, size, kStart),
                   [&] { return PadLeftChar(nullptr, source.get(), second.get(), size); });
    }
    case 14: {
      int32_t size = ClampSize(j);
      return Check("PADRIGHT$" + with({Show(b), std::to_string(size)}),
                   RefPad(a, b, size, kEnd),
                   [&] { return PadRightChar(nullptr, source.get(), second.get(), size); });
    }
    case 15:
      return Check("DELIMIT CSV$" + one, RefDelimitCsv(a, 0),
                   [&] { return DelimitCsv(nullptr, source.get()); });
    case 16:
      return Check("DELIMIT CSV$" + with({std::to_string(i)}), RefDelimitCsv(a, i),
                   [&] { return DelimitCsvForce(nullptr, source.get(), i); });
    case 17:
      return Check("QUOTE$" + one, Want{"\"" + a.value_or("") + "\""},
                   [&] { return QuoteString(nullptr, source.get()); });
    default:
      return Check("UNQUOTE$" + one, RefUnQuote(a),
                   [&] { return UnQuoteString(nullptr, source.get()); });
  }
}

}  // namespace
}  // namespace vellum::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vellum::fuzz::UseFakeCore();
  vellum::fuzz::FuzzInput input(data, size);
  while (!input.empty()) vellum::fuzz::RunOne(input);
  return 0;
}
