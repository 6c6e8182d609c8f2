// The narrow seam through which the module reaches its platform. The product
// uses the real Win32 calls (platform_win32.cc); the native build uses a
// stand-in of our own (platform_stub.cc) that tests can steer, so both builds
// run the very same binding logic above it.
#pragma once

#include <cstdint>

namespace vellum::platform {

using LibraryHandle = void*;

// LoadLibraryA: a counted reference to the named library, or null.
LibraryHandle OpenLibrary(const char* name);
// GetProcAddress: the export's address, or null when there is none.
void* FindExport(LibraryHandle library, const char* name);
// FreeLibrary: drops one reference.
void CloseLibrary(LibraryHandle library);

inline constexpr uint32_t kMessageOk = 0;          // MB_OK
inline constexpr uint32_t kMessageIconError = 16;  // MB_ICONERROR
// MessageBoxA with no owner window.
void ShowMessage(const char* text, const char* caption, uint32_t flags);

// ExitProcess.
[[noreturn]] void EndProcess(uint32_t exit_code);

// GetTickCount: milliseconds since some fixed moment, wrapping at 2^32.
uint32_t TickCount();

// Writes the 36-character text form of a new UUID (lowercase, no braces) and
// its NUL into `text`. False when the UUID service fails.
bool NewUuidText(char text[37]);

// The longest source ExpandEnvironment takes, NUL included. The platform
// documents its buffers as limited to 32K; we read that as 32,768 bytes for
// the source with its NUL, so 32,767 characters is the longest source, and
// the native stand-in refuses anything longer in the same way. Larger
// sources make the platform return wrong counts and garbage, so callers
// hand it one %NAME% reference at a time.
inline constexpr uint32_t kExpandSourceLimit = 32 * 1024;

// ExpandEnvironmentStringsA: replaces each %NAME% reference of `source` with
// the variable's value and returns the bytes the result needs, NUL included,
// or 0 on failure (also for a source over kExpandSourceLimit). Writes the
// result only when `capacity` is large enough.
uint32_t ExpandEnvironment(const char* source, char* buffer, uint32_t capacity);

}  // namespace vellum::platform
