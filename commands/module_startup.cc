// What the module does when it is loaded, before the host can call any
// command. The steps run in this order so that at unload, when clean-ups run
// in reverse order of registration, the core library is released first.
#include "commands/generate/random_source.h"
#include "commands/split/split_store.h"
#include "host/core_library.h"
#include "host/platform.h"

namespace vellum {
namespace {

struct ModuleStartup {
  ModuleStartup() {
    // 1. the generator of GENERATE STRING$, seeded from the tick count
    SeedRandomSource(platform::TickCount());
    // 2. the split store's arrays, freed at unload after the core library
    RegisterSplitStoreCleanups();
    InitModuleCoreLibrary();
  }
};

ModuleStartup startup;

}  // namespace
}  // namespace vellum
