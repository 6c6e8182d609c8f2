// What the module does when it is loaded, before the host can call any
// command. The steps run in this order so that at unload, when clean-ups run
// in reverse order of registration, the core library is released first.
#include "host/core_library.h"
#include "host/platform.h"

namespace vellum {
namespace {

struct ModuleStartup {
  ModuleStartup() {
    // 1. random generator seed
    // 2. split store clean-ups
    InitModuleCoreLibrary();
  }
};

ModuleStartup startup;

}  // namespace
}  // namespace vellum
