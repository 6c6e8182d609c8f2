// Where a run is, kept in a file for when it crashes: a crash (a stack
// overflow under Wine, say) ends the process without a word about the case
// that caused it. Before each call the emulator appends the case's place
// ("FILE:LINE: CALL") and flushes; a run that ends normally removes the
// file, so a file left behind names the call that never returned.
#pragma once

#include <cstdio>
#include <string>

namespace emulator {

class ProgressLog {
 public:
  // Keeps no record when `path` is empty.
  explicit ProgressLog(const std::string& path);
  ~ProgressLog();
  ProgressLog(const ProgressLog&) = delete;
  ProgressLog& operator=(const ProgressLog&) = delete;

  void At(const std::string& place);

 private:
  std::string path_;
  std::FILE* file_ = nullptr;
};

}  // namespace emulator
