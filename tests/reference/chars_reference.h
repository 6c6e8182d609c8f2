// The letter-case commands as plain references, a byte at a time.
#pragma once

#include <string>
#include <string_view>

namespace vellum::reference {

// `text` with 'a' to 'z' made capitals (FAST UPPER$), and with 'A' to 'Z'
// made small letters (FAST LOWER$); every other byte is left as it is.
std::string Upper(std::string_view text);
std::string Lower(std::string_view text);

}  // namespace vellum::reference
