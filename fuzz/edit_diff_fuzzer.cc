// The editing exports against the plain references of
// tests/reference/edit_reference.h: REPLACE ALL$, REPLACE$ and REMOVE ALL$
// by search string, the six trims, MID$, REMOVE$, INSERT$ and REPLACE$ by
// position, the two pads with a fill, and DELIMIT CSV$, QUOTE$ and UNQUOTE$.
// Null and an allocated empty string are told apart, and the error word is
// checked.
//
// Input: a script of calls. Each call is an operation byte, a flags byte
// (bits 0-2: which strings are null; bits 3-4: fold every byte into the
// alphabet "ab \xE9", where matches crowd and spaces and high bytes meet, or
// into one of the bytes that decide CSV quoting), three strings, each ending
// at a 0 byte, and two integers read by FuzzInput::TakeInt32.
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <string>

#include "commands/edit/csv_quote.h"
#include "commands/edit/pad.h"
#include "commands/edit/replace.h"
#include "commands/edit/section_edit.h"
#include "commands/edit/trim.h"
#include "fuzz/direct_call.h"
#include "fuzz/fuzz_input.h"
#include "tests/reference/edit_reference.h"

namespace vellum::fuzz {
namespace {

using reference::kBoth;
using reference::kEnd;
using reference::kStart;
using reference::Outcome;

void Fold(Arg& arg, const std::string& alphabet) {
  if (!arg) return;
  for (char& c : *arg) c = alphabet[static_cast<uint8_t>(c) % alphabet.size()];
}

// Runs a string command and compares its result and error word with the
// reference's.
template <typename Command>
void Check(const std::string& call, const Outcome& want, Command command) {
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
  if (value == std::numeric_limits<int32_t>::max() && IsEmpty(insert))
    value %= 4097;
  return value;
}

// One call read from the input: its strings, their exact-size copies and
// its two integers.
struct Call {
  Arg a, b, c;
  CString source, second, third;
  int32_t i, j;

  // The argument list as a report writes it: the source, then `rest`.
  std::string Args(std::initializer_list<std::string> rest) const {
    std::string text = "(" + Show(a);
    for (const std::string& part : rest) text += ", " + part;
    return text + ")";
  }
};

// Replacing and removing by search string, and the trims.
void CheckByString(uint8_t operation, const Call& call) {
  const Arg& a = call.a;
  const Arg& b = call.b;
  const char* source = call.source.get();
  const char* second = call.second.get();
  const std::string one = call.Args({});
  const std::string two = call.Args({Show(b)});
  const std::string set = b.value_or("");
  const size_t all = std::string::npos;
  switch (operation) {
    case 0:
      return Check("REPLACE ALL$" + call.Args({Show(b), Show(call.c)}),
                   reference::Replace(a, b, call.c, all), [&] {
                     return ReplaceStringAll(nullptr, source, second,
                                             call.third.get());
                   });
    case 1:
      return Check("REPLACE$" + call.Args({Show(b), Show(call.c)}),
                   reference::Replace(a, b, call.c, 1), [&] {
                     return ReplaceString(nullptr, source, second,
                                          call.third.get());
                   });
    case 2:
      return Check("REMOVE ALL$" + two,
                   reference::Replace(a, b, std::nullopt, all),
                   [&] { return RemoveStringAll(nullptr, source, second); });
    case 3:
      return Check("TRIM$" + two, reference::Trim(a, set, kBoth),
                   [&] { return TrimChar(nullptr, source, second); });
    case 4:
      return Check("TRIMLEFT$" + two, reference::Trim(a, set, kStart),
                   [&] { return TrimLeftChar(nullptr, source, second); });
    case 5:
      return Check("TRIMRIGHT$" + two, reference::Trim(a, set, kEnd),
                   [&] { return TrimRightChar(nullptr, source, second); });
    case 6:
      return Check("TRIM$" + one, reference::Trim(a, " ", kBoth),
                   [&] { return Trim(nullptr, source); });
    case 7:
      return Check("TRIMLEFT$" + one, reference::Trim(a, " ", kStart),
                   [&] { return TrimLeft(nullptr, source); });
    default:
      return Check("TRIMRIGHT$" + one, reference::Trim(a, " ", kEnd),
                   [&] { return TrimRight(nullptr, source); });
  }
}

// The section commands by position and the pads.
void CheckByPosition(uint8_t operation, const Call& call) {
  const Arg& a = call.a;
  const Arg& b = call.b;
  const char* source = call.source.get();
  const char* second = call.second.get();
  const int32_t i = call.i;
  const int32_t j = call.j;
  switch (operation) {
    case 9:
      return Check("MID$" + call.Args({std::to_string(i), std::to_string(j)}),
                   reference::Mid(a, i, j),
                   [&] { return Mid(nullptr, source, i, j); });
    case 10:
      return Check(
          "REMOVE$" + call.Args({std::to_string(i), std::to_string(j)}),
          reference::RemoveSection(a, i, j),
          [&] { return RemoveSection(nullptr, source, i, j); });
    case 11: {
      int32_t position = ResultLength(i, b);
      return Check("INSERT$" + call.Args({std::to_string(position), Show(b)}),
                   reference::Insert(a, position, b),
                   [&] { return Insert(nullptr, source, position, second); });
    }
    case 12: {
      int32_t start = ResultLength(i, b);
      int32_t size = ClampSize(j);
      return Check(
          "REPLACE$" +
              call.Args({std::to_string(start), std::to_string(size), Show(b)}),
          reference::ReplaceSection(a, start, size, b),
          [&] { return ReplaceSection(nullptr, source, start, size, second); });
    }
    case 13: {
      int32_t size = ClampSize(j);
      return Check("PADLEFT$" + call.Args({Show(b), std::to_string(size)}),
                   reference::Pad(a, b, size, kStart),
                   [&] { return PadLeftChar(nullptr, source, second, size); });
    }
    default: {
      int32_t size = ClampSize(j);
      return Check("PADRIGHT$" + call.Args({Show(b), std::to_string(size)}),
                   reference::Pad(a, b, size, kEnd),
                   [&] { return PadRightChar(nullptr, source, second, size); });
    }
  }
}

// The CSV field commands.
void CheckCsv(uint8_t operation, const Call& call) {
  const Arg& a = call.a;
  const char* source = call.source.get();
  const std::string one = call.Args({});
  switch (operation) {
    case 15:
      return Check("DELIMIT CSV$" + one, reference::DelimitCsv(a, 0),
                   [&] { return DelimitCsv(nullptr, source); });
    case 16:
      return Check("DELIMIT CSV$" + call.Args({std::to_string(call.i)}),
                   reference::DelimitCsv(a, call.i),
                   [&] { return DelimitCsvForce(nullptr, source, call.i); });
    case 17:
      return Check("QUOTE$" + one, reference::Quote(a),
                   [&] { return QuoteString(nullptr, source); });
    default:
      return Check("UNQUOTE$" + one, reference::UnQuote(a),
                   [&] { return UnQuoteString(nullptr, source); });
  }
}

void RunOne(FuzzInput& input) {
  uint8_t operation = input.TakeByte() % 19;
  uint8_t flags = input.TakeByte();
  auto [a, b, c] = input.TakeArguments<3>(flags);
  int32_t i = input.TakeInt32();
  int32_t j = input.TakeInt32();
  if (uint8_t fold = flags >> 3 & 3) {
    const std::string alphabet = fold == 2 ? "a\",= \t\n" : "ab \xE9";
    Fold(a, alphabet);
    Fold(b, alphabet);
    Fold(c, alphabet);
  }
  const Call call{a, b, c, CString(a), CString(b), CString(c), i, j};
  if (operation < 9) return CheckByString(operation, call);
  if (operation < 15) return CheckByPosition(operation, call);
  CheckCsv(operation, call);
}

}  // namespace
}  // namespace vellum::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return vellum::fuzz::RunEach(data, size, vellum::fuzz::RunOne);
}
