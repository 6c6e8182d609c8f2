#include "commands/edit/replace.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

#include "commands/edit/byte_replace.h"
#include "commands/edit/splice.h"
#include "host/host_string.h"
#include "scan/cpu_features.h"
#include "scan/search/short_matches.h"
#include "scan/search/string_search.h"
#include "scan/short_text.h"

namespace vellum {
namespace {

// Writes a result piece by piece, each piece of the source followed by the
// insert. A short piece is copied 32 bytes at a time, its last block running
// on past the piece: reading bytes that its source still owns, writing bytes
// of the result that the next piece will overwrite. On text with matches a
// hundred bytes apart that is cheaper than a call to memcpy per piece. An
// insert of up to 16 bytes is kept in a register and stored whole. Where the
// room runs out, it copies exactly.
class PieceWriter {
 public:
  PieceWriter(char* out, char* out_end, std::string_view insert)
      : out_(out), out_end_(out_end), insert_(insert) {
    // Read from a zero-padded copy, so that the block stays inside memory
    // this function owns.
    char padded[sizeof(__m128i)] = {};
    if (insert.size() <= sizeof padded) {
      std::copy(insert.begin(), insert.end(), padded);
      insert_block_ = _mm_loadu_si128(reinterpret_cast<__m128i*>(padded));
    }
  }

  void AppendInsert() {
    if (insert_.size() <= sizeof(__m128i) &&
        sizeof(__m128i) <= static_cast<size_t>(out_end_ - out_)) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out_), insert_block_);
      out_ += insert_.size();
    } else {
      out_ = AppendPiece(out_, insert_);
    }
  }

  // Appends the `size` bytes at `from`, whose source ends at `source_end`.
  void Append(const char* from, size_t size, const char* source_end) {
    constexpr size_t kShort = 256;
    size_t rounded = (size + 31) & ~size_t{31};
    if (size <= kShort && rounded <= static_cast<size_t>(out_end_ - out_) &&
        rounded <= static_cast<size_t>(source_end - from)) {
      for (size_t i = 0; i < size; i += 32) {
        auto source = reinterpret_cast<const __m128i*>(from + i);
        __m128i low = _mm_loadu_si128(source);
        __m128i high = _mm_loadu_si128(source + 1);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out_ + i), low);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out_ + i + 16), high);
      }
      out_ += size;
    } else {
      out_ = AppendPiece(out_, {from, size});
    }
  }

  char* end() const { return out_; }

 private:
  char* out_;
  char* out_end_;
  std::string_view insert_;
  __m128i insert_block_ = _mm_setzero_si128();
};

// Matches recorded by the counting walk, so that the copying walk needs to
// search again only past the last of them. On the DLL's 4-byte offsets the
// block takes 32 KiB of the stack, which Windows must probe page by page on
// every call that holds it.
constexpr size_t kRecorded = 8192;

// The block for a source that cannot hold more matches: one of fewer than
// short_text::kReach bytes, or one measured to be that short for its
// search string. It leaves room for the pair of 64-byte chunks that
// ScanShortMatches stores at once.
constexpr size_t kRecordedFew = 160;

// Batches of matches for the copying walk: the recorded ones first, then
// those of a second walk from just past the last recorded match, which finds
// the same matches as the first walk would have gone on to find.
template <size_t kCapacity>
class RecordedMatches {
 public:
  // Walks `text` once, recording what the block holds and counting the rest.
  RecordedMatches(std::string_view text, std::string_view pattern)
      : text_(text), pattern_(pattern) {
    MatchWalker& walker = walker_.emplace(text, pattern);
    held_ = walker.Next(recorded_, kCapacity);
    count_ = held_ < kCapacity ? held_ : held_ + walker.CountRest();
    walker_.reset();
  }

  // The same for a pattern that IsShortUnbordered takes, measuring the
  // NUL-terminated `source` in the same pass.
  RecordedMatches(const char* source, std::string_view pattern)
      : pattern_(pattern) {
    ShortMatches found =
        ScanShortMatches(source, pattern, recorded_, kCapacity);
    text_ = {source, found.length};
    count_ = found.count;
    held_ = found.stored;
  }

  std::string_view text() const { return text_; }
  size_t count() const { return count_; }

  // The next batch of at most `limit` matches, or none when all are given.
  size_t Next(const size_t** batch, size_t limit) {
    if (given_ < held_) {
      *batch = recorded_ + given_;
      size_t taken = std::min(held_ - given_, limit);
      given_ += taken;
      return taken;
    }
    if (!walker_) {
      walker_.emplace(text_, pattern_,
                      held_ == 0 ? 0 : recorded_[held_ - 1] + pattern_.size());
    }
    *batch = recorded_;
    return walker_->Next(recorded_, std::min(limit, kCapacity));
  }

 private:
  std::string_view text_;
  std::string_view pattern_;
  std::optional<MatchWalker> walker_;
  size_t count_ = 0;
  size_t held_ = 0;
  size_t given_ = 0;
  size_t recorded_[kCapacity + kShortMatchSlack];
};

// The text with each of the occurrences of `pattern` that `matches` counted
// replaced by `insert`; null for an empty text.
template <class Matches>
HostString ReplaceCounted(std::string_view pattern, std::string_view insert,
                          Matches& matches) {
  std::string_view text = matches.text();
  size_t count = matches.count();
  if (text.empty()) return nullptr;
  if (count == 0) return MakeHostCopy(text);
  int64_t growth = static_cast<int64_t>(insert.size()) -
                   static_cast<int64_t>(pattern.size());
  // Refuse a product that could overflow before forming it; the sum that
  // remains is checked by AllocHostString.
  constexpr auto kLargest =
      static_cast<uint64_t>(std::numeric_limits<int32_t>::max());
  if (growth > 0 && count > kLargest / static_cast<uint64_t>(growth)) {
    return nullptr;
  }
  int64_t size = static_cast<int64_t>(text.size()) +
                 static_cast<int64_t>(count) * growth + 1;
  HostString result = AllocHostString(size);
  if (result == nullptr) return nullptr;
  const char* text_end = text.data() + text.size();
  PieceWriter out(result, result + size, insert);
  size_t from = 0;
  const size_t* batch;
  for (size_t left = count, found; left > 0; left -= found) {
    found = matches.Next(&batch, left);
    // The counting walk found `count`; stopping on a short batch only keeps
    // a broken promise from looping.
    if (found == 0) break;
    for (size_t i = 0; i < found; ++i) {
      out.Append(text.data() + from, batch[i] - from, text_end);
      out.AppendInsert();
      from = batch[i] + pattern.size();
    }
  }
  *AppendPiece(out.end(), {text.data() + from, text.size() - from}) = '\0';
  return result;
}

// A source that ends within its first kShortSource bytes, all of which
// lie in the page of its first byte, is searched as two windows of
// short_text::kSpan starts each, in registers: no walker, no recorded block.
constexpr size_t kShortSource = 2 * short_text::kSpan;

// The length of `source` when it is such a source, otherwise kShortSource.
size_t ShortSourceLength(const char* source) {
  const char* second = source + short_text::kSpan;
  if (!short_text::InReach(source) || !short_text::InReach(second)) {
    return kShortSource;
  }
  if (uint32_t zeros = short_text::Zeros32(source)) return LowestBit(zeros);
  if (uint32_t zeros = short_text::Zeros32(second)) {
    return short_text::kSpan + LowestBit(zeros);
  }
  return kShortSource;
}

// REPLACE ALL$ on a non-empty `text` of fewer than kShortSource bytes, read
// in place, with a `pattern` that short_text::MatchStartsAt takes.
HostString ReplaceInShort(std::string_view text, std::string_view pattern,
                          std::string_view insert) {
  const size_t m = pattern.size();
  size_t starts[kShortSource];
  size_t count = 0;
  if (m <= text.size()) {
    const size_t last = text.size() - m + 1;  // starts to test
    size_t resume = 0;
    for (size_t window = 0; window < last; window += short_text::kSpan) {
      uint32_t found = short_text::MatchStartsAt(
          text.data() + window, std::min(last - window, short_text::kSpan),
          pattern);
      for (; found != 0; found &= found - 1) {
        size_t start = window + LowestBit(found);
        if (start < resume) continue;  // overlaps the last match
        starts[count++] = start;
        resume = start + m;
      }
    }
  }
  if (count == 0) return MakeHostCopy(text);
  // At most 64 matches: the size cannot overflow 64 bits, and
  // AllocHostString refuses one past a 32-bit count.
  int64_t size =
      static_cast<int64_t>(text.size()) +
      static_cast<int64_t>(count) *
          (static_cast<int64_t>(insert.size()) - static_cast<int64_t>(m)) +
      1;
  HostString result = AllocHostString(size);
  if (result == nullptr) return nullptr;
  char* out = result;
  size_t from = 0;
  for (size_t i = 0; i < count; ++i) {
    out = AppendPiece(out, text.substr(from, starts[i] - from));
    out = AppendPiece(out, insert);
    from = starts[i] + m;
  }
  *AppendPiece(out, text.substr(from)) = '\0';
  return result;
}

// The arguments of REPLACE$ and REMOVE$ measured, and the offset of the
// first match in the source, kNotFound when there is none or the search
// string is empty.
struct FirstMatch {
  std::string_view text;
  size_t pattern_size;
  size_t at;
};

FirstMatch FindFirstMatch(const char* source, const char* search) {
  short_text::ShortSearch found;
  if (source != nullptr && search != nullptr &&
      short_text::FindMatches(source, search, &found)) {
    return {{source, found.text_size},
            found.pattern_size,
            found.matches != 0 ? LowestBit(found.matches) : kNotFound};
  }
  std::string_view text = short_text::View(source);
  std::string_view pattern = short_text::View(search);
  return {text, pattern.size(),
          pattern.empty() ? kNotFound : FindString(text, pattern)};
}

// Every occurrence of `pattern` in `text` (a measured view, or a
// NUL-terminated source for a pattern that IsShortUnbordered takes)
// replaced by `insert`, with a block of `kCapacity` recorded matches. The
// large block keeps to a function of its own, so that only the calls that
// use it pay for its probe.
template <size_t kCapacity, typename Text>
VELLUM_NOINLINE HostString ReplaceAll(Text text, std::string_view pattern,
                                      std::string_view insert) {
  RecordedMatches<kCapacity> matches(text, pattern);
  return ReplaceCounted(pattern, insert, matches);
}

}  // namespace

HostString ReplaceString(HostString old_result, const char* source,
                         const char* search, const char* insert) {
  const FirstMatch first = FindFirstMatch(source, search);
  std::string_view text = first.text;
  if (text.empty()) return Finish(old_result, nullptr);
  if (first.at == kNotFound) {
    return Finish(old_result, MakeHostCopy(text));
  }
  return Finish(old_result,
                Splice(text.substr(0, first.at), 0, short_text::View(insert),
                       text.substr(first.at + first.pattern_size)));
}

HostString ReplaceStringAll(HostString old_result, const char* source,
                            const char* search, const char* insert) {
  std::string_view pattern = short_text::View(search);
  std::string_view replacement = short_text::View(insert);
  if (source != nullptr && !pattern.empty() &&
      pattern.size() < short_text::kSpan &&
      short_text::InReach(pattern.data())) {
    size_t length = ShortSourceLength(source);
    if (length == 0) return Finish(old_result, nullptr);
    if (length < kShortSource) {
      return Finish(old_result,
                    ReplaceInShort({source, length}, pattern, replacement));
    }
  }
  if (source != nullptr && IsShortUnbordered(pattern)) {
    return Finish(old_result,
                  short_text::EndsInReach(source)
                      ? ReplaceAll<kRecordedFew>(source, pattern, replacement)
                      : ReplaceAll<kRecorded>(source, pattern, replacement));
  }
  std::string_view text = short_text::View(source);
  if (text.empty()) return Finish(old_result, nullptr);
  if (pattern.size() == 1 && replacement.size() == 1) {
    return Finish(old_result,
                  ReplaceEachByte(text, pattern[0], replacement[0]));
  }
  if (pattern.size() == 1 && replacement.empty()) {
    return Finish(old_result, RemoveEachByte(text, pattern[0]));
  }
  if (pattern.empty()) return Finish(old_result, MakeHostCopy(text));
  return Finish(old_result,
                text.size() / pattern.size() < kRecordedFew
                    ? ReplaceAll<kRecordedFew>(text, pattern, replacement)
                    : ReplaceAll<kRecorded>(text, pattern, replacement));
}

HostString RemoveString(HostString old_result, const char* source,
                        const char* search) {
  return ReplaceString(old_result, source, search, nullptr);
}

HostString RemoveStringAll(HostString old_result, const char* source,
                           const char* search) {
  return ReplaceStringAll(old_result, source, search, nullptr);
}

}  // namespace vellum
