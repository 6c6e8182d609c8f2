#include "commands/edit/byte_replace.h"

#include "host/host_string.h"
#include "scan/search/candidate_starts.h"
#include "scan/sse2_blocks.h"

namespace vellum {
namespace {

using sse2::kBlock;
using sse2::LoadUnaligned;
using sse2::StoreUnaligned;

// Copies the bytes of `text` other than `byte` to `out`; returns the end.
// Writes a byte at that end when the last byte of `text` is dropped.
char* KeepOthers(char* out, std::string_view text, char byte) {
  for (char c : text) {
    *out = c;
    out += c != byte;
  }
  return out;
}

size_t CountByte(std::string_view text, char byte) {
  // The filter of a one-byte pattern passes the bytes themselves.
  const auto filter = StartFilter::For(text.data(), text.size(), &byte, 1);
  return CountCandidates(filter, 0);
}

}  // namespace

HostString ReplaceEachByte(std::string_view text, char from, char to) {
  HostString result = AllocHostString(static_cast<int64_t>(text.size()) + 1);
  if (result == nullptr) return nullptr;
  const __m128i wanted = _mm_set1_epi8(from);
  const __m128i flip = _mm_set1_epi8(static_cast<char>(from ^ to));
  size_t i = 0;
  for (; i + kBlock <= text.size(); i += kBlock) {
    __m128i block = LoadUnaligned(text.data() + i);
    __m128i hits = _mm_cmpeq_epi8(block, wanted);
    StoreUnaligned(result + i, _mm_xor_si128(block, _mm_and_si128(hits, flip)));
  }
  for (; i < text.size(); ++i) result[i] = text[i] == from ? to : text[i];
  result[text.size()] = '\0';
  return result;
}

// Blocks without the byte are copied whole and blocks of nothing else
// write nothing, one compare deciding each. In the others every byte is
// written and the output moves on past it only when it is kept, which costs
// no branch however the bytes fall.
HostString RemoveEachByte(std::string_view text, char byte) {
  size_t kept = text.size() - CountByte(text, byte);
  if (kept == text.size()) return MakeHostCopy(text);
  // The byte after the kept ones holds the NUL, so the mixed blocks may
  // write a dropped byte there.
  HostString result = AllocHostString(static_cast<int64_t>(kept) + 1);
  if (result == nullptr) return nullptr;
  size_t i;
  char* out = sse2::CopyBlocksOfFew(
      result, text, byte, &i, [&](char* to, size_t at, unsigned mask) {
        return mask == 0xFFFF ? to
                              : KeepOthers(to, text.substr(at, kBlock), byte);
      });
  *KeepOthers(out, text.substr(i), byte) = '\0';
  return result;
}

}  // namespace vellum
