// TAB$, LF$, CR$, CRLF$ and QUOTE$: the control and punctuation characters
// that are awkward to write as literals. Each returns a new host string that
// holds just its character (two for CRLF$), never null.
#pragma once

#include "host/core_interface.h"
#include "host/export.h"

namespace vellum {

VELLUM_EXPORT HostString Tab(HostString old_result);
VELLUM_EXPORT HostString LF(HostString old_result);
VELLUM_EXPORT HostString CR(HostString old_result);
VELLUM_EXPORT HostString CRLF(HostString old_result);
VELLUM_EXPORT HostString Quote(HostString old_result);

}  // namespace vellum
