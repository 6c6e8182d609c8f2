#include "commands/edit/splice.h"

#include "host/host_string.h"
#include "scan/short_text.h"

namespace vellum {

HostString Splice(std::string_view head, int64_t gap, std::string_view middle,
                  std::string_view tail) {
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
