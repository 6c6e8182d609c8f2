// TAB$, LF$, CR$, CRLF$ and QUOTE$: the control and punctuation characters
// that are awkward to write as literals. Each returns a new host string that
// holds just its character (two for CRLF$), never null.
#pragma once

#include "host/core_interface.h"
#include "host/export.h"

VELLUM_EXPORT vellum::HostString Tab(vellum::HostString old_result);
VELLUM_EXPORT vellum::HostString LF(vellum::HostString old_result);
VELLUM_EXPORT vellum::HostString CR(vellum::HostString old_result);
VELLUM_EXPORT vellum::HostString CRLF(vellum::HostString old_result);
VELLUM_EXPORT vellum::HostString Quote(vellum::HostString old_result);
