// Scans of NUL-terminated strings for one byte value or for either of two,
// a whole vector at a time. They read no page that the string does not own,
// so they may run on a string that ends right before an unreadable page.
#pragma once

namespace vellum {

// Address of the first byte at or after `from` that equals `byte`, or null
// when the terminator comes first. A `byte` of 0 is never found.
const char* FindByte(const char* from, char byte);

// Address of the first byte at or after `from` that equals `first` or
// `second`, or null when the terminator comes first. 0 is never found.
const char* FindEitherByte(const char* from, char first, char second);

// The same scans 16 bytes at a time (SSE2, every processor) and 32 at a
// time (AVX2, only where HasAvx2()); the two above choose between them.
const char* FindByteSse2(const char* from, char byte);
const char* FindEitherByteSse2(const char* from, char first, char second);
const char* FindByteAvx2(const char* from, char byte);
const char* FindEitherByteAvx2(const char* from, char first, char second);

}  // namespace vellum
