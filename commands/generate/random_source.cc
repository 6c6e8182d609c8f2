#include "commands/generate/random_source.h"

namespace vellum {
namespace {

constexpr size_t kShift = 397;  // the middle word
constexpr size_t kHead = MersenneTwister::kStateWords - kShift;

// Two neighbouring words combined and twisted: the top bit of `word`, the
// low 31 bits of `next`, shifted right, with the twist constant XORed in
// when the low bit was set (as a mask, so that the loops vectorise).
inline uint32_t Twist(uint32_t word, uint32_t next) {
  uint32_t joined = (word & 0x80000000u) | (next & 0x7FFFFFFFu);
  return (joined >> 1) ^ ((0u - (joined & 1u)) & 0x9908B0DFu);
}

// Writes the successor of the state `from` into `to`. Word i of the
// successor needs old words i, i + 1 and i + 397; past the end of the old
// state those are the successor's own first words, which are already done.
void Successor(const uint32_t* __restrict from, uint32_t* __restrict to) {
  constexpr size_t kLast = MersenneTwister::kStateWords - 1;
  for (size_t i = 0; i < kHead; ++i) {
    to[i] = from[i + kShift] ^ Twist(from[i], from[i + 1]);
  }
  for (size_t i = kHead; i < kLast; ++i) {
    to[i] = to[i - kHead] ^ Twist(from[i], from[i + 1]);
  }
  to[kLast] = to[kLast - kHead] ^ Twist(from[kLast], to[0]);
}

// Zero-initialised static storage: no constructor runs, in any order.
MersenneTwister random_source;

}  // namespace

void MersenneTwister::Seed(uint32_t seed) {
  words_[0] = seed;
  for (uint32_t i = 1; i < kStateWords; ++i) {
    uint32_t before = words_[i - 1];
    words_[i] = 1812433253u * (before ^ (before >> 30)) + i;
  }
  position_ = kStateWords;
}

void MersenneTwister::Refill() {
  if (position_ == kStateWords) {
    Successor(words_, words_ + kStateWords);
  } else {
    Successor(words_ + kStateWords, words_);
    position_ = 0;
  }
}

MersenneTwister& RandomSource() { return random_source; }

void SeedRandomSource(uint32_t seed) { random_source.Seed(seed); }

}  // namespace vellum
