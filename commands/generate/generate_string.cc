#include "commands/generate/generate_string.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "commands/generate/index_buckets.h"
#include "commands/generate/random_source.h"
#include "host/host_string.h"
#include "scan/byte_scan.h"

namespace vellum {
namespace {

constexpr char kDefaultAlphabet[] =
    "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";

// Writes `size` characters of `alphabet` (2 or more), each the one whose
// bucket an output falls in, an output past the last bucket being rejected
// and the next one taken; the generator's ready words are read a
// half-buffer at a time.
// The buckets of a whole run are found first, so that neither pass carries
// a long chain from one output to the next. A run is never longer than
// what is left of `out`, and the generator gives up exactly the outputs
// that were looked at.
void FillDrawn(std::string_view alphabet, char* out, size_t size) {
  const IndexBuckets buckets(static_cast<uint32_t>(alphabet.size()));
  const uint32_t last = buckets.last();
  const char* chars = alphabet.data();
  char* const end = out + size;
  MersenneTwister& source = RandomSource();
  uint32_t bucket[MersenneTwister::kStateWords];
  while (out != end) {
    MersenneTwister::Words ready = source.Ready();
    size_t run = std::min(ready.count, static_cast<size_t>(end - out));
    if (!buckets.OfWords(ready.words, run, bucket)) {
      for (size_t i = 0; i < run; ++i) out[i] = chars[bucket[i]];
      out += run;
    } else {
      // Branch-free, as rejections are rare but may fall anywhere: a
      // rejected output writes the last character and leaves `out` where
      // it is, so the next accepted one overwrites it. Fewer characters
      // than words are written, so every write stays before `end`.
      for (size_t i = 0; i < run; ++i) {
        *out = chars[std::min(bucket[i], last)];
        out += bucket[i] <= last;
      }
    }
    source.Skip(run);
  }
}

}  // namespace

HostString GenerateSequenceFromList(HostString old_result,
                                    const char* source_chars, int32_t size) {
  if (size < 0) return Fail(old_result, kErrorNegativeSize);
  size_t n = source_chars ? BoundedLength(source_chars, kLongestAlphabet) : 0;
  // No character to pick from: nothing to draw, whatever the size.
  if (n == 0) return Finish(old_result, MakeHostCopy(""));
  // Allocated before any draw: a failed allocation leaves the sequence as
  // it was.
  HostString result = AllocHostString(static_cast<int64_t>(size) + 1);
  if (result == nullptr) return Finish(old_result, nullptr);
  auto length = static_cast<size_t>(size);
  if (n == 1) {
    std::memset(result, source_chars[0], length);
  } else {
    FillDrawn({source_chars, n}, result, length);
  }
  result[length] = '\0';
  return Finish(old_result, result);
}

HostString GenerateSequence(HostString old_result, int32_t size) {
  return GenerateSequenceFromList(old_result, kDefaultAlphabet, size);
}

}  // namespace vellum
