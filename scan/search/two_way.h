// Two-way string matching (Crochemore and Perrin): time linear in the text
// plus the pattern whatever their contents, constant space. Written over a
// byte view so that the same code searches backwards through reversed views.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

#include "scan/bounded_scans.h"

namespace vellum {

// Bytes read front to back.
struct ForwardBytes {
  const char* data;
  size_t size;
  unsigned char operator[](size_t i) const {
    return static_cast<unsigned char>(data[i]);
  }
};

// Bytes read back to front: element 0 is the last byte.
struct ReversedBytes {
  const char* data;
  size_t size;
  unsigned char operator[](size_t i) const {
    return static_cast<unsigned char>(data[size - 1 - i]);
  }
};

namespace two_way {

inline constexpr size_t kNone = SIZE_MAX;

// The search's three inner steps, over runs of elements, so that each view
// can run them sixteen bytes at a time in its own direction through memory:
//   AgreeUpTo: the first k in [i, end) where pattern[k] != text[j + k], or end;
//   AgreeDownTo: the least k in [stop, i] with pattern[t] == text[j + t]
//     for every t in [k, i);
//   NextWith: the least p in [from, last] where text[p] is `byte`, or kNone.

inline size_t AgreeUpTo(const ForwardBytes& text, const ForwardBytes& pattern,
                        size_t j, size_t i, size_t end) {
  return i + CommonPrefix(pattern.data + i, text.data + j + i, end - i);
}

inline size_t AgreeDownTo(const ForwardBytes& text, const ForwardBytes& pattern,
                          size_t j, size_t i, size_t stop) {
  return i - CommonSuffix(pattern.data + stop, text.data + j + stop, i - stop);
}

inline size_t NextWith(const ForwardBytes& text, unsigned char byte,
                       size_t from, size_t last) {
  if (from > last) return kNone;
  size_t at = FindFirstByteInline({text.data + from, last - from + 1},
                                  static_cast<char>(byte));
  return at == std::string_view::npos ? kNone : from + at;
}

// Element k of a reversed view is byte size - 1 - k: runs of rising
// elements are runs of falling addresses.
inline size_t AgreeUpTo(const ReversedBytes& text, const ReversedBytes& pattern,
                        size_t j, size_t i, size_t end) {
  return i + CommonSuffix(pattern.data + pattern.size - end,
                          text.data + text.size - j - end, end - i);
}

inline size_t AgreeDownTo(const ReversedBytes& text,
                          const ReversedBytes& pattern, size_t j, size_t i,
                          size_t stop) {
  return i - CommonPrefix(pattern.data + pattern.size - i,
                          text.data + text.size - j - i, i - stop);
}

inline size_t NextWith(const ReversedBytes& text, unsigned char byte,
                       size_t from, size_t last) {
  if (from > last) return kNone;
  size_t at =
      FindLastByteInline({text.data + text.size - 1 - last, last - from + 1},
                         static_cast<char>(byte));
  return at == std::string_view::npos ? kNone : last - at;
}

// Start of the maximal suffix of `pattern` under the byte order `less`, and
// the period of that suffix. `before` is one less than the start, kNone
// standing for -1, so that `before + k` wraps to k - 1.
template <class Bytes, class Less>
size_t MaximalSuffix(const Bytes& pattern, Less less, size_t* period) {
  size_t before = kNone;
  size_t j = 0;
  size_t k = 1;
  size_t p = 1;
  while (j + k < pattern.size) {
    unsigned char a = pattern[j + k];
    unsigned char b = pattern[before + k];
    if (less(a, b)) {  // the suffix at j + k is smaller: skip past it
      j += k;
      k = 1;
      p = j - before;
    } else if (a == b) {  // still repeating the current period
      if (k != p) {
        ++k;
      } else {
        j += p;
        k = 1;
      }
    } else {  // a larger suffix starts at j + 1
      before = j++;
      k = p = 1;
    }
  }
  *period = p;
  return before + 1;
}

// A critical position of the pattern: the later of the starts of its two
// maximal suffixes, under the byte order and under its reverse.
struct Factorization {
  size_t critical;
  size_t period;  // period of the right part
};

template <class Bytes>
Factorization Factorize(const Bytes& pattern) {
  Factorization by_less;
  Factorization by_greater;
  by_less.critical =
      MaximalSuffix(pattern, std::less<unsigned char>(), &by_less.period);
  by_greater.critical =
      MaximalSuffix(pattern, std::greater<unsigned char>(), &by_greater.period);
  return by_less.critical > by_greater.critical ? by_less : by_greater;
}

}  // namespace two_way

// Index of the first occurrence of a non-empty `pattern` in `text` that
// starts at or after `from`, or SIZE_MAX.
template <class Bytes>
size_t TwoWayFind(const Bytes& text, const Bytes& pattern, size_t from) {
  const size_t m = pattern.size;
  if (m > text.size || from > text.size - m) return two_way::kNone;
  const size_t last = text.size - m;
  const two_way::Factorization split = two_way::Factorize(pattern);
  const size_t critical = split.critical;

  size_t repeats = 0;
  while (repeats < critical &&
         pattern[repeats] == pattern[repeats + split.period]) {
    ++repeats;
  }
  // A mismatch on the critical byte itself shifts by one, and so would
  // every start until that byte lines up: those starts are skipped with one
  // scan for it.
  auto after_miss = [&](size_t j, size_t i) {
    if (i != critical) return j + i - critical + 1;
    size_t next = two_way::NextWith(text, pattern[critical], j + 1 + critical,
                                    last + critical);
    return next == two_way::kNone ? two_way::kNone : next - critical;
  };
  if (repeats == critical) {
    // The left part repeats with the period, so a mismatch there shifts by
    // the period only; `memory` bytes of the pattern's start are known to
    // match after such a shift and are not compared again.
    size_t memory = 0;
    for (size_t j = from; j <= last;) {
      size_t i = two_way::AgreeUpTo(text, pattern, j,
                                    critical > memory ? critical : memory, m);
      if (i < m) {
        j = after_miss(j, i);
        if (j == two_way::kNone) break;
        memory = 0;
        continue;
      }
      if (critical <= memory ||
          two_way::AgreeDownTo(text, pattern, j, critical, memory) <= memory) {
        return j;
      }
      j += split.period;
      memory = m - split.period;
    }
  } else {
    // The left part does not repeat: any mismatch shifts past it.
    const size_t shift =
        (critical > m - critical ? critical : m - critical) + 1;
    for (size_t j = from; j <= last;) {
      size_t i = two_way::AgreeUpTo(text, pattern, j, critical, m);
      if (i < m) {
        j = after_miss(j, i);
        if (j == two_way::kNone) break;
        continue;
      }
      if (two_way::AgreeDownTo(text, pattern, j, critical, 0) == 0) return j;
      j += shift;
    }
  }
  return two_way::kNone;
}

}  // namespace vellum
