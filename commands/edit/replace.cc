#include "commands/edit/replace.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string_view>

#include "commands/edit/splice.h"
#include "commands/export_names.h"
#include "host/host_string.h"
#include "scan/byte_replace.h"
#include "scan/string_search.h"

namespace vellum {
namespace {

// Writes a result piece by piece. A short piece is copied 32 bytes at a
// time, its last block running on past the piece: reading bytes that its
// source still owns, writing bytes of the result that the next piece will
// overwrite. On text with matches a hundred bytes apart that is cheaper than
// a call to memcpy per piece. Where the room runs out, it copies exactly.
class PieceWriter {
 public:
  PieceWriter(char* out, char* out_end) : out_(out), out_end_(out_end) {}

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
};

// Matches recorded by the counting walk, so that the copying walk needs to
// search again only past the last of them. On the DLL's 4-byte offsets the
// block takes 32 KiB of the stack.
constexpr size_t kRecorded = 8192;

// Batches of matches for the copying walk: the recorded ones first, then
// those of a second walk from just past the last recorded match, which finds
// the same matches as the first walk would have gone on to find.
class RecordedMatches {
 public:
  RecordedMatches(std::string_view text, std::string_view pattern)
      : text_(text), pattern_(pattern), walker_(text, pattern) {}

  // Walks once, recording what the block holds and counting the rest.
  size_t Count() {
    held_ = walker_.Next(recorded_, kRecorded);
    return held_ < kRecorded ? held_ : held_ + walker_.CountRest();
  }

  // The next batch of at most `limit` matches, or none when all are given.
  size_t Next(const size_t** batch, size_t limit) {
    if (given_ < held_) {
      *batch = recorded_ + given_;
      size_t taken = std::min(held_ - given_, limit);
      given_ += taken;
      return taken;
    }
    if (!rewalking_) {
      walker_ =
          MatchWalker(text_, pattern_, recorded_[held_ - 1] + pattern_.size());
      rewalking_ = true;
    }
    *batch = recorded_;
    return walker_.Next(recorded_, std::min(limit, kRecorded));
  }

 private:
  std::string_view text_;
  std::string_view pattern_;
  MatchWalker walker_;
  size_t held_ = 0;
  size_t given_ = 0;
  bool rewalking_ = false;
  size_t recorded_[kRecorded];
};

// `text` with each of the `count` occurrences of `pattern` replaced by
// `insert`, their offsets coming from `matches`, which counted them.
HostString ReplaceCounted(std::string_view text, std::string_view pattern,
                          std::string_view insert, size_t count,
                          RecordedMatches& matches) {
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
  // The insert is read from a padded copy when short, so that its last
  // block stays inside memory this function owns.
  char padded[64] = {};
  const char* insert_from = insert.data();
  const char* insert_end = insert.data() + insert.size();
  if (insert.size() <= sizeof padded - 32) {
    std::copy(insert.begin(), insert.end(), padded);
    insert_from = padded;
    insert_end = padded + sizeof padded;
  }
  const char* text_end = text.data() + text.size();
  PieceWriter out(result, result + size);
  size_t from = 0;
  const size_t* batch;
  for (size_t left = count, found; left > 0; left -= found) {
    found = matches.Next(&batch, left);
    // The counting walk found `count`; stopping on a short batch only keeps
    // a broken promise from looping.
    if (found == 0) break;
    for (size_t i = 0; i < found; ++i) {
      out.Append(text.data() + from, batch[i] - from, text_end);
      out.Append(insert_from, insert.size(), insert_end);
      from = batch[i] + pattern.size();
    }
  }
  *AppendPiece(out.end(), {text.data() + from, text.size() - from}) = '\0';
  return result;
}

}  // namespace
}  // namespace vellum

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
  std::string_view replacement = ArgView(insert);
  if (pattern.size() == 1 && replacement.size() == 1) {
    return Finish(old_result,
                  vellum::ReplaceEachByte(text, pattern[0], replacement[0]));
  }
  if (pattern.size() == 1 && replacement.empty()) {
    return Finish(old_result, vellum::RemoveEachByte(text, pattern[0]));
  }
  if (pattern.empty()) return Finish(old_result, MakeHostCopy(text));
  vellum::RecordedMatches matches(text, pattern);
  size_t count = matches.Count();
  if (count == 0) return Finish(old_result, MakeHostCopy(text));
  return Finish(old_result, vellum::ReplaceCounted(text, pattern, replacement,
                                                   count, matches));
}

HostString RemoveString(HostString old_result, const char* source,
                        const char* search) {
  return ReplaceString(old_result, source, search, nullptr);
}

HostString RemoveStringAll(HostString old_result, const char* source,
                           const char* search) {
  return ReplaceStringAll(old_result, source, search, nullptr);
}
