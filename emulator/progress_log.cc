#include "emulator/progress_log.h"

namespace emulator {

ProgressLog::ProgressLog(const std::string& path) : path_(path) {
  if (path_.empty()) return;
  file_ = std::fopen(path_.c_str(), "w");
  if (file_ == nullptr)
    std::fprintf(stderr, "cannot write the progress file %s\n", path_.c_str());
}

ProgressLog::~ProgressLog() {
  if (file_ == nullptr) return;
  std::fclose(file_);
  std::remove(path_.c_str());
}

void ProgressLog::At(const std::string& place) {
  if (file_ == nullptr) return;
  std::fprintf(file_, "%s\n", place.c_str());
  std::fflush(file_);
}

}  // namespace emulator
