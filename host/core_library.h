// Binding to the host's core library: the loader record, the lazily bound
// global record, the two forwarders and the fatal path.
#pragma once

#include "host/core_interface.h"
#include "host/platform.h"

namespace vellum {

// A loader record for one library, loaded by name on first need.
struct CoreLibrary {
  platform::LibraryHandle handle;  // null until loaded
  char* name;                      // heap copy owned by the record
};

// Loads the record's library; runs the fatal path when it cannot be loaded.
void LoadCoreLibrary(CoreLibrary& record);
// The named export of the record's library (loading it first, fatal path
// included), or null when the library has no such export.
void* GetCoreProc(CoreLibrary& record, const char* decorated_name);
// Frees the name copy and drops the reference the record holds, if any.
void ReleaseCoreLibrary(CoreLibrary& record);

// The host's global record once bound; null until then.
extern HostGlobals* bound_host_globals;

// Binds the host's global record: null, after the "Unable to get core
// pointer" message, while the core cannot give it.
HostGlobals* BindHostGlobals();

// The host's global record, bound on first need and kept for the life of the
// module; every need after a failed binding tries again. Inline, as every
// host string made or given back asks for it.
inline HostGlobals* GetHostGlobals() {
  HostGlobals* globals = bound_host_globals;
  return globals != nullptr ? globals : BindHostGlobals();
}

// Forward to the host's CloseDisplay and Quit, loading the core library into
// the module-wide record on first use. With no library they do nothing.
void HostCloseDisplay();
void HostQuit();

// Start-up: gives the module-wide record its name and registers
// ReleaseModuleCoreLibrary for unload.
void InitModuleCoreLibrary();
// Unload: releases the module-wide record, and with it the library if a
// forwarder loaded it.
void ReleaseModuleCoreLibrary();

}  // namespace vellum
