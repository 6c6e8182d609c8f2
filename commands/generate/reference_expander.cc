#include "commands/generate/reference_expander.h"

#include <exception>

#include "host/platform.h"
#include "scan/bounded_scans.h"
#include "scan/byte_scan.h"

namespace vellum {

std::optional<std::string_view> ReferenceExpander::Lookup(
    std::string_view reference) noexcept {
  if (reference.size() <= 2 ||
      reference.size() >= platform::kExpandSourceLimit) {
    return std::nullopt;
  }
  try {
    return LookupValue(reference);
  } catch (const std::exception&) {
    return std::nullopt;  // no room for the value: the reference stays
  }
}

std::optional<std::string_view> ReferenceExpander::LookupValue(
    std::string_view reference) {
  reference_.assign(reference);
  uint32_t needed = platform::ExpandEnvironment(reference_.c_str(), nullptr, 0);
  // The count is only a size to offer: the platform's narrow expansion may
  // want a byte more than it measured, and some versions report it wrongly,
  // so the value is read up to its NUL in a zeroed buffer, and a larger
  // count asked for on writing is offered once more.
  for (int attempt = 0; attempt < 2 && needed != 0; ++attempt) {
    uint32_t capacity = needed + 1;
    value_.assign(capacity, '\0');
    needed = platform::ExpandEnvironment(reference_.c_str(), value_.data(),
                                         capacity);
    if (needed == 0 || needed > capacity) continue;
    std::string_view value(value_.data(),
                           BoundedLength(value_.data(), capacity));
    bool unchanged = value.size() == reference.size() &&
                     CommonPrefix(value.data(), reference.data(),
                                  value.size()) == value.size();
    if (unchanged) break;
    return value;
  }
  return std::nullopt;
}

}  // namespace vellum
