// How a command is exported: a plain C function of 32-bit stack words that
// the caller removes (cdecl, the default calling convention of both builds).
// Exports are declared inside namespace vellum like the rest of the module's
// code; C linkage ignores the namespace, so each keeps its plain name.
// On Windows the export list (exports.def) names every export and nothing
// else is exported; elsewhere only functions marked here are visible.
#pragma once

#if defined(_WIN32)
#define VELLUM_EXPORT extern "C"
#else
#define VELLUM_EXPORT extern "C" __attribute__((visibility("default")))
#endif
