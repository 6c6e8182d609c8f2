#include "commands/chars/char_constants.h"

#include <string_view>

#include "host/host_string.h"

namespace vellum {
namespace {

// These read no argument, so the old result can go back first.
HostString MakeConstant(HostString old_result, std::string_view text) {
  ReleaseHostString(old_result);
  return MakeHostCopy(text);
}

}  // namespace

HostString Tab(HostString old_result) { return MakeConstant(old_result, "\t"); }
HostString LF(HostString old_result) { return MakeConstant(old_result, "\n"); }
HostString CR(HostString old_result) { return MakeConstant(old_result, "\r"); }
HostString CRLF(HostString old_result) {
  return MakeConstant(old_result, "\r\n");
}
HostString Quote(HostString old_result) {
  return MakeConstant(old_result, "\"");
}

}  // namespace vellum
