#include "commands/chars/fast_commands.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstring>
#include <string_view>

#include "host/host_string.h"

namespace vellum {
namespace {

// Switches the case of the 26 letters from `first` in `count` bytes. Sixteen
// bytes at a time: a letter is a byte whose distance from `first`, moved into
// the signed range, compares below -128 + 26; its 0x20 bit flips.
void MapLetters(const unsigned char* in, unsigned char* out, size_t count,
                unsigned char first) {
  const __m128i to_signed = _mm_set1_epi8(static_cast<char>(0x80 - first));
  const __m128i limit = _mm_set1_epi8(static_cast<char>(-128 + 26));
  const __m128i case_bit = _mm_set1_epi8(0x20);
  size_t i = 0;
  for (; i + 16 <= count; i += 16) {
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    __m128i letters =
        _mm_cmplt_epi8(_mm_add_epi8(bytes, to_signed), limit);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                     _mm_xor_si128(bytes, _mm_and_si128(letters, case_bit)));
  }
  for (; i < count; ++i) {
    unsigned char byte = in[i];
    out[i] = byte ^ (static_cast<unsigned char>(byte - first) < 26 ? 0x20 : 0);
  }
}

HostString CaseCopy(HostString old_result, const char* source,
                    unsigned char first) {
  std::string_view text = ArgView(source);
  if (text.empty()) return Finish(old_result, nullptr);
  HostString result = AllocHostString(static_cast<int64_t>(text.size()) + 1);
  if (result == nullptr) return Finish(old_result, nullptr);
  MapLetters(reinterpret_cast<const unsigned char*>(text.data()),
             reinterpret_cast<unsigned char*>(result), text.size(), first);
  result[text.size()] = '\0';
  return Finish(old_result, result);
}

}  // namespace
}  // namespace vellum

using vellum::ArgView;
using vellum::Fail;
using vellum::Finish;
using vellum::HostString;
using vellum::MakeHostCopy;

int32_t FastLen(const char* source) {
  return source ? static_cast<int32_t>(std::strlen(source)) : 0;
}

HostString FastLeft(HostString old_result, const char* source, int32_t size) {
  if (size < 0) return Fail(old_result, vellum::kErrorNegativeSize);
  if (source == nullptr || size == 0) return Finish(old_result, nullptr);
  // strnlen stops at `size` bytes: a short prefix of a long string never
  // measures the whole string.
  size_t length = strnlen(source, static_cast<size_t>(size));
  if (length == 0) return Finish(old_result, nullptr);
  return Finish(old_result, MakeHostCopy({source, length}));
}

HostString FastRight(HostString old_result, const char* source, int32_t size) {
  if (size < 0) return Fail(old_result, vellum::kErrorNegativeSize);
  std::string_view text = ArgView(source);
  if (text.empty() || size == 0) return Finish(old_result, nullptr);
  return Finish(old_result,
                MakeHostCopy(text.substr(
                    text.size() - std::min<size_t>(size, text.size()))));
}

HostString FastUpper(HostString old_result, const char* source) {
  return vellum::CaseCopy(old_result, source, 'a');
}

HostString FastLower(HostString old_result, const char* source) {
  return vellum::CaseCopy(old_result, source, 'A');
}
