#include "emulator/loaded_module.h"

#include <fstream>
#include <optional>
#include <sstream>
#include <utility>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace emulator {

#if defined(_WIN32)
namespace {

// String-table resources hold 16 strings per block, each a length word and
// that many UTF-16 units. Rows are read in the table's own language only.
std::vector<table::StoredRow> StoredRowsOfModule(HMODULE module) {
  std::vector<table::StoredRow> rows;
  const WORD language = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK);
  for (int block = 1; block <= 4096; ++block) {
    HRSRC found = FindResourceExA(module, MAKEINTRESOURCEA(6),
                                  MAKEINTRESOURCEA(block), language);
    if (!found) continue;
    auto* units =
        static_cast<const WCHAR*>(LockResource(LoadResource(module, found)));
    for (int i = 0; i < 16; ++i) {
      WORD length = *units++;
      std::string text;
      for (WORD k = 0; k < length; ++k) text += static_cast<char>(units[k]);
      units += length;
      if (length != 0) rows.push_back({(block - 1) * 16 + i, text});
    }
  }
  return rows;
}

}  // namespace
#endif

std::unique_ptr<LoadedModule> LoadedModule::Load(
    const std::string& path, const std::string& table_script,
    std::string& error) {
  auto module = std::unique_ptr<LoadedModule>(new LoadedModule);
#if defined(_WIN32)
  (void)table_script;
  HMODULE handle = LoadLibraryA(path.c_str());
  if (!handle) {
    error = "cannot load " + path + " (error " +
            std::to_string(GetLastError()) + ")";
    return nullptr;
  }
  module->handle_ = handle;
  std::vector<table::StoredRow> stored = StoredRowsOfModule(handle);
#else
  module->handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module->handle_) {
    error = dlerror();
    return nullptr;
  }
  std::ifstream file(table_script);
  if (!file) {
    error = "cannot read the command table " + table_script;
    return nullptr;
  }
  std::stringstream script;
  script << file.rdbuf();
  std::vector<table::StoredRow> stored =
      table::StoredRowsOfScript(script.str());
#endif
  std::optional<std::vector<table::CommandRow>> rows =
      table::ReadCommandTable(std::move(stored), error);
  if (!rows) return nullptr;
  module->rows_ = std::move(*rows);
  return module;
}

LoadedModule::~LoadedModule() {
  if (handle_ == nullptr) return;
#if defined(_WIN32)
  FreeLibrary(static_cast<HMODULE>(handle_));
#else
  dlclose(handle_);
#endif
}

void* LoadedModule::Export(const std::string& name) const {
#if defined(_WIN32)
  return reinterpret_cast<void*>(
      GetProcAddress(static_cast<HMODULE>(handle_), name.c_str()));
#else
  return dlsym(handle_, name.c_str());
#endif
}

}  // namespace emulator
