#include "fake_core/install_fake_core.h"

#include "fake_core/fake_core.h"

#if !defined(_WIN32)
#include "host/core_interface.h"
#include "host/platform_stub.h"
#endif

void InstallFakeCore() {
#if !defined(_WIN32)
  vellum::platform::stub::InstallLibrary(
      vellum::kCoreLibraryName,
      {{vellum::kGetGlobPtrExport, reinterpret_cast<void*>(FakeCoreGetGlobPtr)},
       {vellum::kCloseDisplayExport,
        reinterpret_cast<void*>(FakeCoreCloseDisplay)},
       {vellum::kQuitExport, reinterpret_cast<void*>(FakeCoreQuit)}});
#endif
}
