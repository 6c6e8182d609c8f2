// Expanding %NAME% references in a source of any length. The platform's
// expansion takes at most kExpandSourceLimit bytes and goes wrong beyond, so
// our own scan finds the references with the platform's rules and asks the
// platform about one reference at a time; the text around them is copied as
// it is.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "scan/byte_scan.h"

namespace vellum {

class ReferenceExpander {
 public:
  // Calls `emit` with the pieces of the expanded `source`, in order. A
  // %NAME% reference to a set variable becomes its value and the scan goes
  // on after its closing %. Anything else stays as written: a reference to
  // an unset variable (the scan goes on from its closing %, which may open
  // the next reference), %%, and a % with no partner:
  //   "%SET%%UNSET%SET%50%" gives value, "%UNSET", value, "50%"
  // Each piece is valid only during its call.
  template <typename Emit>
  void Expand(std::string_view source, Emit emit);

 private:
  // The value of the variable that `reference`, %NAME% with both percent
  // signs, names; nullopt when the name is empty, too long for the
  // platform, or not set. A variable whose value is its own reference text
  // cannot be told from an unset one, and is taken as unset: the text is
  // the same either way, only the scan then goes on from the closing %.
  std::optional<std::string_view> Lookup(std::string_view reference) noexcept;
  // Offset of the first `byte` of `source` at or after `from`, or npos.
  static size_t Find(char byte, std::string_view source, size_t from) {
    const char* at =
        FindByteWithin(source.data() + from, source.size() - from, byte);
    return at == nullptr ? std::string_view::npos
                         : static_cast<size_t>(at - source.data());
  }
  // Lookup for a name the platform can take; throws when out of memory.
  std::optional<std::string_view> LookupValue(std::string_view reference);

  std::string reference_;  // the reference with a NUL, for the platform
  std::string value_;      // the platform's expansion of it
};

template <typename Emit>
void ReferenceExpander::Expand(std::string_view source, Emit emit) {
  size_t text = 0;  // where the text not yet emitted begins
  for (;;) {
    size_t open = Find('%', source, text);
    if (open == std::string_view::npos) break;
    size_t close = Find('%', source, open + 1);
    if (close == std::string_view::npos) break;  // a lone %
    if (auto value = Lookup(source.substr(open, close + 1 - open))) {
      emit(source.substr(text, open - text));
      emit(*value);
      text = close + 1;
    } else {
      emit(source.substr(text, close - text));
      text = close;
    }
  }
  emit(source.substr(text));
}

}  // namespace vellum
