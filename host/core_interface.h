// What the module needs of the host: its core library, three exports of it
// and two words of the host's global record.
#pragma once

#include <cstdint>

namespace vellum {

// A host string: NUL-terminated 8-bit bytes whose memory the host owns.
// A null address stands for the empty string, as argument and as result.
using HostString = char*;

// The host's allocator. Given the address of a handle word that holds 0 and
// a size above 0, it stores the address of a new buffer of that many bytes in
// the word; with size 0 it deletes the host string whose address the word
// holds. The caller removes the arguments.
using HostStringFn = void (*)(HostString* handle, int32_t size);

// The host's global record: a row of machine words of which the module uses
// word 0 and word 11. The layout is the host's, so it must not change.
struct HostGlobals {
  HostStringFn host_string_fn;  // word 0
  uintptr_t words_1_to_10[10];  // not used by the module
  int32_t* error_word;          // word 11: where run-time errors are stored
};

// A core export: no argument, one machine word back.
using CoreExportFn = uintptr_t (*)();

inline constexpr char kCoreLibraryName[] = "DBProCore.dll";
inline constexpr char kGetGlobPtrExport[] = "?GetGlobPtr@@YAKXZ";
inline constexpr char kCloseDisplayExport[] = "?CloseDisplay@@YAKXZ";
inline constexpr char kQuitExport[] = "?Quit@@YAKXZ";

}  // namespace vellum
