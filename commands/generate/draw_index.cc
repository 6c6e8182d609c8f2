#include "commands/generate/draw_index.h"

#include "commands/generate/random_source.h"

namespace vellum {

uint32_t IndexBuckets::Size(uint32_t n) {
  constexpr uint32_t kSpan = UINT32_MAX;
  uint32_t size = kSpan / n;
  if (kSpan % n == n - 1) ++size;
  return size;
}

IndexBuckets::IndexBuckets(uint32_t n) : last_(n - 1), size_(Size(n)) {}

uint32_t DrawIndex(uint32_t n) {
  if (n <= 1) return 0;
  IndexBuckets buckets(n);
  MersenneTwister& source = RandomSource();
  for (;;) {
    uint32_t index = buckets.Of(source.Next());
    if (index <= buckets.last()) return index;
  }
}

}  // namespace vellum
