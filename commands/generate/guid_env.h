// GENERATE GUID$ and EXPAND ENVIRONMENT$: a platform service's answer handed
// over as a new host string. Neither raises a run-time error; a failing
// service gives an allocated empty string, never null.
#pragma once

#include "host/core_interface.h"
#include "host/export.h"

namespace vellum {

// The text of a new UUID: 36 characters, groups of 8-4-4-4-12 lowercase
// hexadecimal digits joined by hyphens, no braces; two calls never agree.
// An allocated empty string when the UUID service fails.
VELLUM_EXPORT HostString GenerateGuid(HostString old_result);

// `source`, of any length, with each %NAME% reference to a set environment
// variable replaced by its value. A reference to an unset variable, a
// reference too long to name one, %% and a lone % stay as written; text
// without % comes back unchanged. A null or empty source gives an
// allocated empty string.
VELLUM_EXPORT HostString ExpandEnv(HostString old_result, const char* source);

}  // namespace vellum
