// Text helpers of the programs around the module: the host emulator and
// docgen read case files, help sources and style sheets with them. The
// module's own code never uses them; it scans bytes with scan/.
#pragma once

#include <string>
#include <string_view>

namespace text {

// `s` without the ASCII white space (space, \t, \n, \v, \f, \r) at either
// end: what every reader here means by the words of a line or a field.
inline std::string TrimWhiteSpace(std::string_view s) {
  constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";
  size_t first = s.find_first_not_of(kWhiteSpace);
  if (first == std::string_view::npos) return "";
  size_t last = s.find_last_not_of(kWhiteSpace);
  return std::string(s.substr(first, last - first + 1));
}

}  // namespace text
