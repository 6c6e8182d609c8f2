#pragma once

#include <cstddef>
#include <string>

namespace emulator {

// Memory for a string argument that ends at the very end of a readable page,
// followed by a page that cannot be read, so that a read past the terminator
// faults at once.
class GuardedString {
 public:
  explicit GuardedString(const std::string& bytes);
  ~GuardedString();
  GuardedString(const GuardedString&) = delete;
  GuardedString& operator=(const GuardedString&) = delete;
  char* data() const { return data_; }

 private:
  char* region_ = nullptr;
  size_t region_size_ = 0;
  char* data_ = nullptr;
};

}  // namespace emulator
