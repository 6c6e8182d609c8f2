// A page of memory between two pages that cannot be read, for testing that
// a scan reads nothing past the terminator or before the first byte: such a
// read faults at once instead of passing unnoticed.
#pragma once

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <string>

namespace vellum {

class GuardedPage {
 public:
  GuardedPage() : size_(static_cast<size_t>(sysconf(_SC_PAGESIZE))) {
    void* map = mmap(nullptr, 3 * size_, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    EXPECT_NE(map, MAP_FAILED);
    base_ = static_cast<char*>(map);
    mprotect(base_, size_, PROT_NONE);
    mprotect(base_ + 2 * size_, size_, PROT_NONE);
  }
  ~GuardedPage() { munmap(base_, 3 * size_); }
  GuardedPage(const GuardedPage&) = delete;
  GuardedPage& operator=(const GuardedPage&) = delete;

  // `text` with its terminator on the page's last byte.
  const char* AtEnd(const std::string& text) {
    char* start = Tail(text.size() + 1);
    std::memcpy(start, text.c_str(), text.size() + 1);
    return start;
  }
  // `text` from the page's first byte.
  const char* AtStart(const std::string& text) {
    std::memcpy(base_ + size_, text.c_str(), text.size() + 1);
    return base_ + size_;
  }
  // The last `bytes` bytes of the page, to be filled by the caller.
  char* Tail(size_t bytes) { return base_ + 2 * size_ - bytes; }
  // The page from its byte `offset` on, to be filled by the caller.
  char* From(size_t offset) { return base_ + size_ + offset; }

 private:
  size_t size_;
  char* base_;
};

}  // namespace vellum
