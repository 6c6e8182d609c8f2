// The search routines and the search exports against the plain references
// of tests/reference/search_reference.h: FindString from several start
// offsets, FindLastString and CountStrings, then INSTR, LAST INSTR, STRING
// COUNT, FIND CHAR, FIND ASCII, COMPARE and MID ASCII with their start
// positions and errors. Texts and patterns can be made long and periodic
// (repeated pieces over a folded alphabet), which is where filters fall back
// and two-way's shifts and memory matter.
//
// Input: a flags byte (bits 0-1: fold bytes into an alphabet of 2, 3 or 4
// letters, or not at all; bits 2-7: a multiple of 256 added to the FIND
// ASCII code), a text repeat count byte, a pattern repeat count byte, a
// start offset byte, then the text piece, the pattern piece and a tail for
// the text, each ending at a 0 byte.
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "commands/search/search_commands.h"
#include "fuzz/direct_call.h"
#include "fuzz/fuzz_input.h"
#include "scan/search/string_search.h"
#include "tests/reference/search_reference.h"

namespace vellum::fuzz {
namespace {

using reference::NaiveCompare;
using reference::NaiveCount;
using reference::NaiveFind;
using reference::NaiveFindLast;
using reference::Position;

constexpr size_t kMaxText = 8192;
constexpr size_t kMaxPattern = 512;

// --- input shaping -------------------------------------------------------

// `piece` repeated `times` times, capped at `limit` bytes.
std::string Repeat(const std::string& piece, size_t times, size_t limit) {
  std::string out;
  for (size_t i = 0; i < times && out.size() < limit; ++i) out += piece;
  if (out.size() > limit) out.resize(limit);
  return out;
}

void Fold(std::string& text, uint8_t letters) {
  for (char& c : text)
    c = static_cast<char>('a' + static_cast<uint8_t>(c) % letters);
}

std::string ShowOffset(size_t offset) {
  return offset == kNotFound ? "none" : std::to_string(offset);
}

// --- the checks ----------------------------------------------------------

void CheckRoutines(const std::string& text, const std::string& pattern,
                   size_t chosen) {
  // Exact-size copies, so that a read past either end is seen.
  const CString text_copy(text), pattern_copy(pattern);
  const std::string_view t(text_copy.get(), text.size());
  const std::string_view p(pattern_copy.get(), pattern.size());
  const std::string args = Show(text) + ", " + Show(pattern);
  for (size_t from :
       {size_t{0}, size_t{1}, chosen, text.size(), text.size() + 1}) {
    size_t got = FindString(t, p, from), want = NaiveFind(text, pattern, from);
    if (got != want) {
      Mismatch("FindString(" + args + ", " + std::to_string(from) + ")",
               ShowOffset(got), ShowOffset(want));
    }
  }
  if (size_t got = FindLastString(t, p), want = NaiveFindLast(text, pattern);
      got != want) {
    Mismatch("FindLastString(" + args + ")", ShowOffset(got), ShowOffset(want));
  }
  if (size_t got = CountStrings(t, p), want = NaiveCount(text, pattern);
      got != want) {
    Mismatch("CountStrings(" + args + ")", ShowOffset(got), ShowOffset(want));
  }
}

// Runs an integer export and compares its result and error word.
template <typename Command>
void Check(const std::string& call, int32_t want, int32_t want_error,
           Command command) {
  FakeCoreBeginCall();
  int32_t got = command();
  int32_t error = FakeCoreErrorWord();
  if (got != want || error != want_error) {
    Mismatch(call, std::to_string(got) + " ! " + std::to_string(error),
             std::to_string(want) + " ! " + std::to_string(want_error));
  }
}

void CheckExports(const std::string& text, const std::string& pattern,
                  size_t chosen, uint8_t flags) {
  const CString source(text), search(pattern);
  const std::string args = "(" + Show(text) + ", " + Show(pattern);
  const auto length = static_cast<int32_t>(text.size());
  const int32_t kMax = std::numeric_limits<int32_t>::max();
  const int32_t kMin = std::numeric_limits<int32_t>::min();

  Check("INSTR" + args + ")", reference::Instr(text, pattern, 1), 0,
        [&] { return Instr_2(source.get(), search.get()); });
  Check("LAST INSTR" + args + ")", Position(NaiveFindLast(text, pattern)), 0,
        [&] { return ReverseInstr(source.get(), search.get()); });
  Check("STRING COUNT" + args + ")",
        static_cast<int32_t>(NaiveCount(text, pattern)), 0,
        [&] { return CountString(source.get(), search.get()); });
  Check("FIND CHAR" + args + ")", reference::FindChar(text, pattern, 1), 0,
        [&] { return FindChar_2(source.get(), search.get()); });

  // FIND ASCII looks for the code modulo 256, given as unsigned, as signed
  // and with a multiple of 256 added.
  const auto byte = static_cast<uint8_t>(pattern[0]);
  const int32_t codes[] = {byte, static_cast<signed char>(byte),
                           byte + 256 * (flags >> 2), 256};
  for (int32_t code : codes) {
    Check("FIND ASCII(" + Show(text) + ", " + std::to_string(code) + ")",
          reference::FindAscii(text, code, 1), 0,
          [&] { return FindAsc_2(source.get(), code); });
  }

  const int32_t starts[] = {static_cast<int32_t>(chosen) + 1,
                            1,
                            0,
                            -1,
                            length,
                            length + 1,
                            length + 2,
                            kMax,
                            kMin};
  for (int32_t start : starts) {
    const std::string at = ", " + std::to_string(start) + ")";
    const bool low = start < 1;
    Check("INSTR" + args + at, low ? 0 : reference::Instr(text, pattern, start),
          low ? 110 : 0,
          [&] { return Instr_3(source.get(), search.get(), start); });
    Check("FIND CHAR" + args + at,
          low ? 0 : reference::FindChar(text, pattern, start), low ? 110 : 0,
          [&] { return FindChar_3(source.get(), search.get(), start); });
    Check("FIND ASCII(" + Show(text) + ", " + std::to_string(codes[0]) + at,
          low ? 0 : reference::FindAscii(text, codes[0], start), low ? 110 : 0,
          [&] { return FindAsc_3(source.get(), codes[0], start); });
    Check("MID ASCII(" + Show(text) + at,
          low ? 0 : reference::MidAscii(text, start), low ? 110 : 0,
          [&] { return MidAsc(source.get(), start); });
  }

  // COMPARE both ways round, and against a prefix of the text.
  const std::string prefix = text.substr(0, chosen);
  const CString prefix_copy(prefix);
  Check("COMPARE" + args + ")", NaiveCompare(text, pattern), 0,
        [&] { return Compare(source.get(), search.get()); });
  Check("COMPARE(" + Show(pattern) + ", " + Show(text) + ")",
        NaiveCompare(pattern, text), 0,
        [&] { return Compare(search.get(), source.get()); });
  Check("COMPARE(" + Show(text) + ", " + Show(prefix) + ")",
        NaiveCompare(text, prefix), 0,
        [&] { return Compare(source.get(), prefix_copy.get()); });
}

}  // namespace
}  // namespace vellum::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vellum::fuzz;
  UseFakeCore();
  FuzzInput input(data, size);
  uint8_t flags = input.TakeByte();
  size_t text_times = 1 + input.TakeByte() % 64;
  size_t pattern_times = 1 + input.TakeByte() % 16;
  size_t from_byte = input.TakeByte();
  std::string text_piece = input.TakeString();
  std::string pattern_piece = input.TakeString();
  // A tail that breaks the text's period often decides where a match is.
  std::string tail = input.TakeString();
  if (uint8_t letters = flags % 4) {
    Fold(text_piece, letters + 1);
    Fold(pattern_piece, letters + 1);
    Fold(tail, letters + 1);
  }
  std::string text = Repeat(text_piece, text_times, kMaxText) + tail;
  std::string pattern = Repeat(pattern_piece, pattern_times, kMaxPattern);
  if (pattern.empty()) return 0;  // the routines take non-empty patterns
  size_t chosen = from_byte % (text.size() + 2);
  CheckRoutines(text, pattern, chosen);
  CheckExports(text, pattern, chosen, flags);
  return 0;
}
