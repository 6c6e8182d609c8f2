#include "host/core_library.h"

#include <cstdlib>
#include <cstring>

namespace vellum {
namespace {

// The module-wide record serves only the two forwarders; the global record
// is bound through a record of its own that is released again at once.
CoreLibrary module_core_library;

CoreExportFn close_display;
CoreExportFn quit;

char* CopyName(const char* name) {
  size_t size = std::strlen(name) + 1;
  auto* copy = static_cast<char*>(std::malloc(size));
  if (copy) std::memcpy(copy, name, size);
  return copy;
}

[[noreturn]] void RunFatalPath(const CoreLibrary& record) {
  HostCloseDisplay();
  platform::ShowMessage("This library is required by this program",
                        record.name ? record.name : kCoreLibraryName,
                        platform::kMessageIconError);
  HostQuit();
  // A missing core library is a failure: the exit code must not read as
  // success.
  platform::EndProcess(1);
}

// Looks an export up in the module-wide record, loading the library without
// the fatal path: the forwarders run on that path themselves.
CoreExportFn FindModuleExport(const char* decorated_name) {
  if (module_core_library.handle == nullptr) {
    module_core_library.handle = platform::OpenLibrary(
        module_core_library.name ? module_core_library.name : kCoreLibraryName);
    if (module_core_library.handle == nullptr) return nullptr;
  }
  return reinterpret_cast<CoreExportFn>(
      platform::FindExport(module_core_library.handle, decorated_name));
}

// Calls a core export through its cache, binding the cache on first use.
void Forward(CoreExportFn& cache, const char* decorated_name) {
  if (cache == nullptr) cache = FindModuleExport(decorated_name);
  if (cache != nullptr) cache();
}

}  // namespace

void ReleaseModuleCoreLibrary() { ReleaseCoreLibrary(module_core_library); }

void LoadCoreLibrary(CoreLibrary& record) {
  record.handle = platform::OpenLibrary(record.name);
  if (record.handle == nullptr) RunFatalPath(record);
}

void* GetCoreProc(CoreLibrary& record, const char* decorated_name) {
  if (record.handle == nullptr) LoadCoreLibrary(record);
  return platform::FindExport(record.handle, decorated_name);
}

void ReleaseCoreLibrary(CoreLibrary& record) {
  std::free(record.name);
  record.name = nullptr;
  if (record.handle != nullptr) {
    platform::CloseLibrary(record.handle);
    record.handle = nullptr;
  }
}

HostGlobals* bound_host_globals;

HostGlobals* BindHostGlobals() {
  CoreLibrary record{nullptr, CopyName(kCoreLibraryName)};
  // A missing export is treated like a core that answers 0: the record
  // cannot be had either way.
  auto get_glob_ptr =
      reinterpret_cast<CoreExportFn>(GetCoreProc(record, kGetGlobPtrExport));
  if (get_glob_ptr != nullptr) {
    bound_host_globals = reinterpret_cast<HostGlobals*>(get_glob_ptr());
  }
  if (bound_host_globals == nullptr) {
    platform::ShowMessage("Unable to get core pointer", "No Core Pointer",
                          platform::kMessageOk);
  }
  // The host keeps the record valid while the module is loaded, so the
  // reference taken above is not needed any more.
  ReleaseCoreLibrary(record);
  return bound_host_globals;
}

void HostCloseDisplay() { Forward(close_display, kCloseDisplayExport); }

void HostQuit() { Forward(quit, kQuitExport); }

void InitModuleCoreLibrary() {
  module_core_library.name = CopyName(kCoreLibraryName);
  std::atexit(ReleaseModuleCoreLibrary);
}

}  // namespace vellum
