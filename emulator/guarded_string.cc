#include "emulator/guarded_string.h"

#include <cstring>

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace emulator {
namespace {

size_t PageSize() {
#if defined(_WIN32)
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  return info.dwPageSize;
#else
  return static_cast<size_t>(sysconf(_SC_PAGESIZE));
#endif
}

}  // namespace

GuardedString::GuardedString(const std::string& bytes) {
  size_t page = PageSize();
  size_t used = bytes.size() + 1;
  region_size_ = (used + page - 1) / page * page + page;
#if defined(_WIN32)
  region_ = static_cast<char*>(VirtualAlloc(
      nullptr, region_size_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
  DWORD old;
  VirtualProtect(region_ + region_size_ - page, page, PAGE_NOACCESS, &old);
#else
  region_ =
      static_cast<char*>(mmap(nullptr, region_size_, PROT_READ | PROT_WRITE,
                              MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
  mprotect(region_ + region_size_ - page, page, PROT_NONE);
#endif
  data_ = region_ + region_size_ - page - used;
  std::memcpy(data_, bytes.c_str(), used);
}

GuardedString::~GuardedString() {
#if defined(_WIN32)
  VirtualFree(region_, 0, MEM_RELEASE);
#else
  munmap(region_, region_size_);
#endif
}

}  // namespace emulator
