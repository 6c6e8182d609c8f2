// How the editing commands join pieces of their arguments into a result.
#pragma once

#include <cstdint>
#include <string_view>

#include "host/core_interface.h"
#include "host/host_string.h"
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
// allocated, when the result would not fit a signed 32-bit size. Inline, so
// that the pieces a command never has, most often the gap, cost nothing.
inline HostString Splice(std::string_view head, int64_t gap,
                         std::string_view middle, std::string_view tail) {
  int64_t size = static_cast<int64_t>(head.size()) + gap +
                 static_cast<int64_t>(middle.size()) +
                 static_cast<int64_t>(tail.size()) + 1;
  HostString result = AllocHostString(size);
  if (result == nullptr) return nullptr;
  char* out = AppendPiece(result, head);
  short_text::Fill(out, ' ', static_cast<size_t>(gap));
  out = AppendPiece(out + gap, middle);
  *AppendPiece(out, tail) = '\0';
  return result;
}

}  // namespace vellum
