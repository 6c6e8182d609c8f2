// The storage of the split store's arrays: one heap block sized to what the
// last split asked for. A 32-bit host maps well under 2 GiB and needs each
// array as one contiguous block, so the block is never grown by doubling
// and never copied; and since one huge split must not hold its memory until
// unload, a block larger than the need by more than a bounded spare is
// given back.
#pragma once

#include <cstddef>
#include <memory>

namespace vellum {

template <typename T>
class StoreArray {
 public:
  // The most a block may hold beyond what the current split needs.
  static constexpr size_t kSpareBytes = size_t{4} << 20;

  // Makes the array `size` elements long and returns its first element; the
  // contents are undefined. The block is kept when it is large enough and
  // at most kSpareBytes too large. Otherwise it is freed before the new one
  // is allocated, so that the two are never held at once, and a failure
  // (std::bad_alloc) leaves the array empty with no storage.
  T* Resize(size_t size) {
    if (size > capacity_ || capacity_ - size > kSpareBytes / sizeof(T)) {
      Release();
      if (size == 0) return nullptr;
      storage_.reset(new T[size]);
      capacity_ = size;
    }
    size_ = size;
    return storage_.get();
  }

  void Release() noexcept {
    storage_.reset();
    size_ = 0;
    capacity_ = 0;
  }

  T* data() { return storage_.get(); }
  const T* data() const { return storage_.get(); }
  const T& operator[](size_t index) const { return storage_[index]; }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  size_t capacity() const { return capacity_; }
  size_t storage_bytes() const { return capacity_ * sizeof(T); }

 private:
  std::unique_ptr<T[]> storage_;
  size_t size_ = 0;
  size_t capacity_ = 0;
};

}  // namespace vellum
