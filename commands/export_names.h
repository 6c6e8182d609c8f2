// The exports are plain C functions at global scope, outside the module's
// namespace. These are the host-string steps their bodies are written with,
// named once here rather than in a block of using-declarations in each
// family's files.
#pragma once

#include "host/host_string.h"

using vellum::ArgView;
using vellum::Fail;
using vellum::FailInteger;
using vellum::Finish;
using vellum::HostString;
using vellum::MakeHostCopy;
