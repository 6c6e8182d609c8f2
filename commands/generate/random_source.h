// The module-wide pseudo-random generator: a 32-bit Mersenne Twister
// (MT19937) whose outputs are exactly those of the reference generator for
// the same seed. It is seeded once at load from the tick count and never
// reseeded by a command; every GENERATE STRING$ call continues its sequence.
#pragma once

#include <emmintrin.h>

#include <cstddef>
#include <cstdint>

namespace vellum {

class MersenneTwister {
 public:
  static constexpr size_t kStateWords = 624;

  // The standard initialisation: word 0 is the seed, word i is
  // 1812433253 * (w ^ (w >> 30)) + i of the word before it. The next output
  // starts a fresh refill.
  void Seed(uint32_t seed);

  // The next 32-bit output.
  uint32_t Next() {
    uint32_t word = *Ready().words;
    Skip(1);
    return Temper(word);
  }

  // The untempered words that the next outputs come from, in order: the rest
  // of the current half of the buffer, refilled first when it is used up, so
  // never empty. A bulk reader tempers them with Temper and then Skips as
  // many as it used; it reads a table and saves a test per output.
  struct Words {
    const uint32_t* words;
    size_t count;
  };
  Words Ready() {
    if (position_ == kStateWords || position_ == 2 * kStateWords) Refill();
    return {words_ + position_, kStateWords - position_ % kStateWords};
  }
  void Skip(size_t count) { position_ += static_cast<uint32_t>(count); }

  static uint32_t Temper(uint32_t word) {
    word ^= word >> 11;
    word ^= (word << 7) & 0x9D2C5680u;
    word ^= (word << 15) & 0xEFC60000u;
    return word ^ (word >> 18);
  }

  // Temper on four words at once.
  static __m128i Temper(__m128i words) {
    const __m128i mask7 = _mm_set1_epi32(static_cast<int>(0x9D2C5680u));
    const __m128i mask15 = _mm_set1_epi32(static_cast<int>(0xEFC60000u));
    words = _mm_xor_si128(words, _mm_srli_epi32(words, 11));
    words =
        _mm_xor_si128(words, _mm_and_si128(_mm_slli_epi32(words, 7), mask7));
    words =
        _mm_xor_si128(words, _mm_and_si128(_mm_slli_epi32(words, 15), mask15));
    return _mm_xor_si128(words, _mm_srli_epi32(words, 18));
  }

 private:
  void Refill();

  // Two states of 624 words: the outputs are read from one half while the
  // other holds the state it came from. Reaching the end of a half computes
  // its successor into the other half, so a draw is a table read except on
  // every 624th output, and no word is twisted in place.
  uint32_t words_[2 * kStateWords];
  uint32_t position_;  // index of the next word to read, 0 to 1248
};

// The one generator of the module. It lives in static storage without a
// constructor, so it is ready before any start-up code runs and seeding it
// at start-up cannot be undone by a later initialiser.
MersenneTwister& RandomSource();

// Seeds RandomSource. Called once at load with the tick count; the unit
// tests call it to make the sequence known.
void SeedRandomSource(uint32_t seed);

}  // namespace vellum
