// Unit tests call the commands directly, in-process, against the auditing
// fake core installed as the core library.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "fake_core/fake_core.h"
#include "fake_core/install_fake_core.h"

namespace vellum::testing {

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
