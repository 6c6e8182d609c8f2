// Controls of the native stand-in for the platform seam. Libraries are not
// files here: a test or the host emulator installs an in-process library
// under a name, with its exports, and can then watch the references that the
// module takes on it and the messages it shows.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace vellum::platform::stub {

using ExportTable = std::map<std::string, void*>;

// Makes `name` loadable with these exports, replacing any earlier library of
// that name (and forgetting its references).
void InstallLibrary(const std::string& name, ExportTable exports);
// Makes `name` unloadable again.
void RemoveLibrary(const std::string& name);
// References held on `name` now: loads minus frees.
int LoadCount(const std::string& name);
// Loads of `name` so far, whether freed or not.
int LoadsTotal(const std::string& name);

struct Message {
  std::string text;
  std::string caption;
  uint32_t flags;
};
// Every message shown so far, oldest first.
const std::vector<Message>& Messages();
void ClearMessages();

}  // namespace vellum::platform::stub
