// The seam's real side: each call is the Win32 function it stands for.
#include "host/platform.h"

// rpc.h needs the types that windows.h declares.
// clang-format off
#include <windows.h>
#include <rpc.h>
// clang-format on

#include <cstring>

#include "scan/byte_scan.h"

namespace vellum::platform {

LibraryHandle OpenLibrary(const char* name) { return LoadLibraryA(name); }

void* FindExport(LibraryHandle library, const char* name) {
  return reinterpret_cast<void*>(
      GetProcAddress(static_cast<HMODULE>(library), name));
}

void CloseLibrary(LibraryHandle library) {
  FreeLibrary(static_cast<HMODULE>(library));
}

void ShowMessage(const char* text, const char* caption, uint32_t flags) {
  MessageBoxA(nullptr, text, caption, flags);
}

void EndProcess(uint32_t exit_code) { ExitProcess(exit_code); }

uint32_t TickCount() { return GetTickCount(); }

bool NewUuidText(char text[37]) {
  UUID uuid;
  // A UUID that is unique on this computer only is still a fresh UUID; every
  // other status leaves `uuid` unset.
  RPC_STATUS status = UuidCreate(&uuid);
  if (status != RPC_S_OK && status != RPC_S_UUID_LOCAL_ONLY) return false;
  RPC_CSTR string = nullptr;
  if (UuidToStringA(&uuid, &string) != RPC_S_OK || string == nullptr) {
    return false;
  }
  bool ok = BoundedLength(reinterpret_cast<char*>(string), 37) == 36;
  if (ok) std::memcpy(text, string, 37);
  RpcStringFreeA(&string);
  return ok;
}

uint32_t ExpandEnvironment(const char* source, char* buffer,
                           uint32_t capacity) {
  return ExpandEnvironmentStringsA(source, buffer, capacity);
}

}  // namespace vellum::platform
