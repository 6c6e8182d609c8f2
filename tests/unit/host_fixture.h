// Unit tests call the commands directly, in-process, against the auditing
// fake core installed as the core library.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "fake_core/fake_core.h"
#include "host/core_interface.h"
#include "host/platform_stub.h"

namespace vellum::testing {

inline void InstallFakeCore() {
  platform::stub::InstallLibrary(
      kCoreLibraryName,
      {{kGetGlobPtrExport, reinterpret_cast<void*>(FakeCoreGetGlobPtr)},
       {kCloseDisplayExport, reinterpret_cast<void*>(FakeCoreCloseDisplay)},
       {kQuitExport, reinterpret_cast<void*>(FakeCoreQuit)}});
}

// Installs the fake core and starts every test with a clean error word.
class HostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallFakeCore();
    FakeCoreBeginCall();
  }
  static int32_t ErrorWord() { return FakeCoreErrorWord(); }
};

}  // namespace vellum::testing
