// REPLACE ALL$ and REMOVE ALL$ where the search string is one byte and the
// insert is one byte or nothing: every byte is a possible match, so these
// run as vector passes over the source instead of a walk from match to
// match, and cost the same however densely the byte occurs.
#pragma once

#include <string_view>

#include "host/core_interface.h"

namespace vellum {

// A new host string: `text` with every `from` byte made `to`.
HostString ReplaceEachByte(std::string_view text, char from, char to);

// A new host string: `text` without its `byte`s; an allocated empty string
// when nothing else is left.
HostString RemoveEachByte(std::string_view text, char byte);

}  // namespace vellum
