// How the editing commands join pieces of their arguments into a result.
#pragma once

#include <cstdint>
#include <string_view>

#include "host/core_interface.h"
#include "scan/short_text.h"

namespace vellum {

// Copies `piece` to `out` and returns the end of the copy. An empty piece,
// which may be a null view, copies nothing; a short one takes no call.
inline char* AppendPiece(char* out, std::string_view piece) {
  short_text::Copy(out, piece.data(), piece.size());
  return out + piece.size();
}

// A new host string holding `head`, then `gap` spaces, then `middle`, then
// `tail`, allocated once at exactly that length plus the NUL. The size is
// summed in 64 bits, so a gap near 2^31 cannot wrap it: null, with nothing
// allocated, when the result would not fit a signed 32-bit size.
HostString Splice(std::string_view head, int64_t gap, std::string_view middle,
                  std::string_view tail);

}  // namespace vellum
