// Which vector instructions beyond SSE2 the processor and the system offer.
// Scans that use them keep an SSE2 version for processors without.
#pragma once

namespace vellum {

// The string-compare instructions (SSE4.2).
bool HasSse42();

// 32-byte integer vectors (AVX2), with the system saving their registers.
bool HasAvx2();

}  // namespace vellum
