// The length scans and the counted byte scan, each version, against plain
// loops: on strings whose terminator is the last byte before an unreadable
// page or whose first byte follows one, on unterminated bytes that end at
// such a page with the bound, and on random bytes at every alignment.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "scan/byte_scan.h"
#include "tests/unit/guarded_page.h"
#include "tests/unit/isa_versions.h"

namespace vellum {
namespace {

struct LengthScan {
  const char* name;
  size_t (*length)(const char*);
  size_t (*bounded)(const char*, size_t);
  const char* (*find_within)(const char*, size_t, char);
};

std::vector<LengthScan> Versions() {
  std::vector<LengthScan> versions = {
      {"sse2", StringLengthSse2, BoundedLengthSse2, FindByteWithinSse2},
      {"chosen", StringLength, BoundedLength, FindByteWithin}};
  if constexpr (kBuiltIsa >= Isa::kAvx2) {
    if (RunsHere(Isa::kAvx2)) {
      versions.push_back(
          {"avx2", StringLengthAvx2, BoundedLengthAvx2, FindByteWithinAvx2});
    }
  }
  return versions;
}

size_t PlainBoundedLength(const char* text, size_t limit) {
  size_t n = 0;
  while (n < limit && text[n] != '\0') ++n;
  return n;
}

// Bounds below, at and above `length`, and the largest there is.
std::vector<size_t> Bounds(size_t length) {
  std::vector<size_t> bounds = {0,          1,           length / 2,
                                length + 1, length + 64, SIZE_MAX};
  if (length > 0) bounds.push_back(length - 1);
  bounds.push_back(length);
  return bounds;
}

// Lengths 0 to 320 put the terminator at the page's last byte with the
// first byte at every alignment of a 64-byte line, several times over, and
// give the scans' single blocks, whole rounds and the mix of the two.
TEST(LengthScanTest, StopsAtTheTerminatorNextToAnUnreadablePage) {
  GuardedPage page;
  for (const LengthScan& scan : Versions()) {
    for (size_t n = 0; n <= 320; ++n) {
      SCOPED_TRACE(std::string(scan.name) + ", length " + std::to_string(n));
      std::string text(n, '\xFF');
      for (const char* s : {page.AtEnd(text), page.AtStart(text)}) {
        ASSERT_EQ(scan.length(s), n);
        for (size_t limit : Bounds(n)) {
          ASSERT_EQ(scan.bounded(s, limit), std::min(n, limit));
        }
      }
    }
  }
}

// strnlen's case: no terminator at all before the unreadable page, and a
// bound that reaches exactly to it. The counted byte scan is given the same
// bytes, with a NUL among them that must not stop it.
TEST(LengthScanTest, ReadsNothingPastItsBound) {
  GuardedPage page;
  for (const LengthScan& scan : Versions()) {
    for (size_t k = 0; k <= 320; ++k) {
      SCOPED_TRACE(std::string(scan.name) + ", bound " + std::to_string(k));
      char* bytes = page.Tail(k);
      std::fill(bytes, bytes + k, 'a');
      ASSERT_EQ(scan.bounded(bytes, k), k);
      ASSERT_EQ(scan.find_within(bytes, k, 'b'), nullptr);
      if (k == 0) continue;
      bytes[0] = '\0';
      bytes[k - 1] = 'b';
      ASSERT_EQ(scan.find_within(bytes, k, 'b'), bytes + k - 1);
      ASSERT_EQ(scan.find_within(bytes, k - 1, 'b'), nullptr);
    }
  }
}

// Random bytes, the high ones included (a signed compare would take them
// for small values), with NULs sprinkled in, scanned from every alignment.
TEST(LengthScanTest, AgreesWithAPlainLoopAtEveryAlignment) {
  const unsigned seed = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  alignas(64) char buffer[1024];
  for (int round = 0; round < 40; ++round) {
    // NULs here and there in some rounds, only the last byte in others.
    std::uniform_int_distribution<int> byte(round % 2 == 0 ? 0 : 1, 255);
    for (char& c : buffer) c = static_cast<char>(byte(random));
    buffer[sizeof buffer - 1] = '\0';
    for (size_t at = 0; at < 64; ++at) {
      const char* s = buffer + at;
      size_t expected = PlainBoundedLength(s, SIZE_MAX);
      char wanted = s[expected / 2];
      size_t size = sizeof buffer - at;
      const char* found = std::find(s, s + size, wanted);
      for (const LengthScan& scan : Versions()) {
        SCOPED_TRACE(std::string(scan.name) + ", offset " + std::to_string(at));
        ASSERT_EQ(scan.length(s), expected);
        for (size_t limit : Bounds(expected)) {
          ASSERT_EQ(scan.bounded(s, limit), PlainBoundedLength(s, limit));
        }
        ASSERT_EQ(scan.find_within(s, size, wanted), found);
      }
    }
  }
}

}  // namespace
}  // namespace vellum
