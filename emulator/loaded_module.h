// The plug-in as the host loads it: by file, with its exports looked up by
// name and its command table read from its own resources (natively, from
// the resource script it is built from).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "table/command_table.h"

namespace emulator {

class LoadedModule {
 public:
  // Loads the module and reads its command table as the runtime's compiler
  // does (table::ReadCommandTable); `table_script` is the resource script the
  // native module was built from (not used on Windows). Null with `error`
  // set when the module cannot be loaded or its table is refused.
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

}  // namespace emulator
