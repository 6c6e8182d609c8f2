// Turns a fuzzer's bytes into the arguments of command calls. Every read
// succeeds: past the end of the input, bytes read as 0, so any input is a
// complete, replayable script of calls.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

namespace vellum::fuzz {

class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool empty() const { return size_ == 0; }

  uint8_t TakeByte() {
    if (size_ == 0) return 0;
    --size_;
    return *data_++;
  }

  // The bytes up to the next 0 byte (which is consumed) or the end. A
  // C string argument cannot hold a NUL anyway, so 0 is the natural end.
  std::string TakeString() {
    const void* nul = size_ ? std::memchr(data_, 0, size_) : nullptr;
    size_t length = nul ? static_cast<const uint8_t*>(nul) - data_ : size_;
    std::string text(reinterpret_cast<const char*>(data_), length);
    size_t used = nul ? length + 1 : length;
    data_ += used;
    size_ -= used;
    return text;
  }

  // A string argument, or nullopt for a null pointer when `null` is set.
  std::optional<std::string> TakeArgument(bool null) {
    if (null) return std::nullopt;
    return TakeString();
  }

  // `N` string arguments in order; bit k of `nulls` makes the k-th a null
  // pointer.
  template <size_t N>
  std::array<std::optional<std::string>, N> TakeArguments(uint8_t nulls) {
    std::array<std::optional<std::string>, N> arguments;
    for (size_t k = 0; k < N; ++k) arguments[k] = TakeArgument(nulls >> k & 1);
    return arguments;
  }

  // A 32-bit integer biased towards the values where commands change
  // behaviour: 0, -1, 1, the two extremes and small numbers. One selector
  // byte picks the kind, so mutations move between kinds in one step.
  int32_t TakeInt32() {
    uint8_t kind = TakeByte();
    switch (kind % 8) {
      case 0:
        return 0;
      case 1:
        return -1;
      case 2:
        return 1;
      case 3:
        return std::numeric_limits<int32_t>::max();
      case 4:
        return std::numeric_limits<int32_t>::min();
      case 5:
      case 6:
        return static_cast<int32_t>(TakeByte()) - 16;  // -16 .. 239
      default: {
        uint32_t bits = 0;
        for (int i = 0; i < 4; ++i) bits = bits << 8 | TakeByte();
        return static_cast<int32_t>(bits);
      }
    }
  }

 private:
  const uint8_t* data_;
  size_t size_;
};

// The exact edge values that must reach a size parameter unchanged.
inline bool IsEdgeValue(int32_t value) {
  return value == 0 || value == -1 || value == 1 ||
         value == std::numeric_limits<int32_t>::max() ||
         value == std::numeric_limits<int32_t>::min();
}

// A size parameter: arbitrary values are folded into -4096 .. 4096 so that
// padding and generating stay cheap; the edge values pass unchanged (the
// largest is refused by the checked allocation, not by the fuzzer).
inline int32_t ClampSize(int32_t value) {
  return IsEdgeValue(value) ? value : value % 4097;
}

}  // namespace vellum::fuzz
