// The membership map: a set of byte values as eight 32-bit words, built from
// the bytes of a character-set argument up to its NUL (so NUL is not a
// member unless added). Testing a byte is one bit test whatever the size
// of the set.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vellum {

class ByteSet {
 public:
  explicit ByteSet(std::string_view members) {
    for (char c : members) add(c);
  }

  // Makes `member` a member. A scan may add NUL so that one bit test
  // stops at a member and at the terminator alike.
  void add(char member) {
    auto byte = static_cast<unsigned char>(member);
    words_[byte >> 5] |= uint32_t{1} << (byte & 31);
  }

  bool contains(unsigned char byte) const {
    return (words_[byte >> 5] >> (byte & 31)) & 1;
  }
  bool contains(char byte) const {
    return contains(static_cast<unsigned char>(byte));
  }

 private:
  uint32_t words_[8] = {};
};

// Writes the distinct bytes of `members` other than NUL to `out`, in order
// of first appearance, and returns how many there are; stops at
// `capacity` + 1, which then means "more than fit". Scans that compare each
// byte with a few values at once take their values from here.
inline size_t DistinctBytes(std::string_view members, char* out,
                            size_t capacity) {
  size_t count = 0;
  ByteSet seen("");
  seen.add('\0');
  for (char c : members) {
    if (seen.contains(c)) continue;
    if (count == capacity) return capacity + 1;
    seen.add(c);
    out[count++] = c;
  }
  return count;
}

}  // namespace vellum
