// The plug-in as the host loads it: by file, with its exports looked up by
// name and its command table read from its own resources (natively, from
// the resource script it is built from).
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "table/command_table.h"

namespace emulator {

class LoadedModule {
 public:
  // Loads the module; `table_script` is the resource script the native
  // module was built from (not used on Windows). Null with `error` set when
  // the module cannot be loaded.
  static std::unique_ptr<LoadedModule> Load(const std::string& path,
                                            const std::string& table_script,
                                            std::string& error);
  ~LoadedModule();

  void* Export(const std::string& name) const;
  const std::vector<table::CommandRow>& rows() const { return rows_; }

 private:
  void* handle_ = nullptr;
  std::vector<table::CommandRow> rows_;
};

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
