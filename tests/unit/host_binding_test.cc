// The binding to the core library, run through the native module loaded
// afresh for each test, so that every test starts unbound.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <string>

#include "fake_core/fake_core.h"
#include "host/core_interface.h"
#include "host/core_library.h"
#include "host/platform_stub.h"

namespace vellum {
namespace {

namespace stub = platform::stub;

int glob_ptr_calls;
int quit_calls;
uintptr_t glob_ptr_answer;

uintptr_t CountingGetGlobPtr() {
  ++glob_ptr_calls;
  return glob_ptr_answer;
}
uintptr_t CountingQuit() {
  ++quit_calls;
  return 0;
}

// A host whose allocator never gives a buffer.
void StingyHostStringFn(HostString*, int32_t) {}
int32_t stingy_error_word;
HostGlobals stingy_host{StingyHostStringFn, {}, &stingy_error_word};

using StringCommand = HostString (*)(HostString, const char*);
using LeftCommand = HostString (*)(HostString, const char*, int32_t);
using LengthCommand = int32_t (*)(const char*);

class BindingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    glob_ptr_calls = quit_calls = 0;
    glob_ptr_answer = FakeCoreGetGlobPtr();
    stub::ClearMessages();
    InstallCore(
        {{kGetGlobPtrExport, reinterpret_cast<void*>(CountingGetGlobPtr)}});
  }
  void TearDown() override {
    if (module_) dlclose(module_);
  }

  static void InstallCore(stub::ExportTable exports) {
    stub::InstallLibrary(kCoreLibraryName, std::move(exports));
  }

  // Loads a module of its own: a copy of the module's file under a name
  // never loaded before. The file itself may already be loaded, by other
  // tests of this process that keep it, and loading it again would only
  // hand back that instance with its binding made.
  void LoadModule() {
    namespace fs = std::filesystem;
    static int copies = 0;
    fs::path copy = fs::temp_directory_path() /
                    ("binding_test_" + std::to_string(getpid()) + "_" +
                     std::to_string(++copies) + ".so");
    fs::copy_file(VELLUM_MODULE_PATH, copy,
                  fs::copy_options::overwrite_existing);
    module_ = dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL);
    // Once mapped the file is no longer needed.
    fs::remove(copy);
    ASSERT_NE(module_, nullptr) << dlerror();
  }
  template <typename Function>
  Function Export(const char* name) {
    return reinterpret_cast<Function>(dlsym(module_, name));
  }

  void* module_ = nullptr;
};

TEST_F(BindingTest, NothingIsBoundAtLoad) {
  LoadModule();
  EXPECT_EQ(stub::LoadsTotal(kCoreLibraryName), 0);
  EXPECT_EQ(glob_ptr_calls, 0);
}

TEST_F(BindingTest, TwoCommandsBindOnceAndDropTheLibraryAgain) {
  LoadModule();
  auto upper = Export<StringCommand>("FastUpper");
  HostString first = upper(nullptr, "abc");
  HostString second = upper(first, "def");
  ASSERT_NE(second, nullptr);
  EXPECT_STREQ(second, "DEF");
  EXPECT_EQ(glob_ptr_calls, 1);
  EXPECT_EQ(stub::LoadsTotal(kCoreLibraryName), 1);
  EXPECT_EQ(stub::LoadCount(kCoreLibraryName), 0);
  EXPECT_TRUE(stub::Messages().empty());
  reinterpret_cast<HostGlobals*>(glob_ptr_answer)->host_string_fn(&second, 0);
}

TEST_F(BindingTest, CoreAnsweringZeroIsReportedOnEveryNeed) {
  glob_ptr_answer = 0;
  LoadModule();
  auto upper = Export<StringCommand>("FastUpper");
  auto left = Export<LeftCommand>("FastLeft");
  EXPECT_EQ(upper(nullptr, "abc"), nullptr);
  EXPECT_EQ(left(nullptr, "abc", -1), nullptr);  // the error has nowhere to go
  EXPECT_EQ(Export<LengthCommand>("FastLen")("abc"), 3);
  ASSERT_EQ(stub::Messages().size(), 2u);
  for (const auto& message : stub::Messages()) {
    EXPECT_EQ(message.text, "Unable to get core pointer");
    EXPECT_EQ(message.caption, "No Core Pointer");
    EXPECT_EQ(message.flags, 0u);
  }
  EXPECT_EQ(glob_ptr_calls, 2);
  EXPECT_EQ(stub::LoadCount(kCoreLibraryName), 0);

  // Once the core answers, the record is bound and the messages stop.
  glob_ptr_answer = FakeCoreGetGlobPtr();
  HostString result = upper(nullptr, "abc");
  ASSERT_NE(result, nullptr);
  EXPECT_EQ(stub::Messages().size(), 2u);
  reinterpret_cast<HostGlobals*>(glob_ptr_answer)->host_string_fn(&result, 0);
}

TEST_F(BindingTest, MissingGetGlobPtrExportReadsAsZero) {
  InstallCore({});
  LoadModule();
  EXPECT_EQ(Export<StringCommand>("FastUpper")(nullptr, "abc"), nullptr);
  ASSERT_EQ(stub::Messages().size(), 1u);
  EXPECT_EQ(stub::Messages()[0].text, "Unable to get core pointer");
}

TEST_F(BindingTest, HostThatGivesNoBufferGetsNull) {
  glob_ptr_answer = reinterpret_cast<uintptr_t>(&stingy_host);
  LoadModule();
  EXPECT_EQ(Export<StringCommand>("FastUpper")(nullptr, "abc"), nullptr);
  EXPECT_EQ(Export<LeftCommand>("FastLeft")(nullptr, "abc", 2), nullptr);
}

TEST_F(BindingTest, UnloadReleasesNoLibraryWhenNoForwarderLoadedOne) {
  LoadModule();
  HostString result = Export<StringCommand>("FastUpper")(nullptr, "abc");
  reinterpret_cast<HostGlobals*>(glob_ptr_answer)->host_string_fn(&result, 0);
  dlclose(module_);
  module_ = nullptr;
  EXPECT_EQ(stub::LoadCount(kCoreLibraryName), 0);
  EXPECT_EQ(stub::LoadsTotal(kCoreLibraryName), 1);
}

using BindingDeathTest = BindingTest;

TEST_F(BindingDeathTest,
       MissingCoreShowsTheMessageAndEndsTheProcessWithFailure) {
  stub::RemoveLibrary(kCoreLibraryName);
  LoadModule();
  auto upper = Export<StringCommand>("FastUpper");
  EXPECT_EXIT(upper(nullptr, "abc"), ::testing::ExitedWithCode(1),
              "\\[message box \"DBProCore.dll\"\\] This library is required by "
              "this program");
}

// The forwarders, in-process: they keep the library they load until unload.
TEST(Forwarders, KeepTheirLibraryUntilUnloadAndCallTheHost) {
  stub::InstallLibrary(kCoreLibraryName,
                       {{kQuitExport, reinterpret_cast<void*>(CountingQuit)}});
  quit_calls = 0;
  HostQuit();
  HostQuit();
  HostCloseDisplay();  // no such export: nothing is called
  EXPECT_EQ(quit_calls, 2);
  EXPECT_EQ(stub::LoadsTotal(kCoreLibraryName), 1);
  EXPECT_EQ(stub::LoadCount(kCoreLibraryName), 1);
  ReleaseModuleCoreLibrary();
  EXPECT_EQ(stub::LoadCount(kCoreLibraryName), 0);
}

}  // namespace
}  // namespace vellum
