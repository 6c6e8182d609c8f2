// Which vector instructions beyond SSE2 the scans use. Each family of scans
// has an SSE2 version, which every processor the host runs on can run, and
// some have SSE4.2 or AVX2 versions besides; a family's dispatcher picks the
// highest version that both this build and this processor allow.
#pragma once

// The highest instruction set this build holds code for: 0 for SSE2, 1 for
// SSE4.2, 2 for AVX2. The build sets it from its VELLUM_MAX_ISA option;
// versions above it are not compiled at all, so that a build capped at SSE2
// holds no instruction its processor might lack.
#if !defined(VELLUM_MAX_ISA_LEVEL)
#define VELLUM_MAX_ISA_LEVEL 2
#endif

// Keeps a function out of its callers: a version beside its dispatcher, so
// that the dispatcher stays a compare and a jump and the version keeps its
// own name in a profile or a memcheck report; or a rare long path, so that
// the short path that calls it keeps to the registers with no stack frame.
#if defined(_MSC_VER)
#define VELLUM_NOINLINE __declspec(noinline)
#else
#define VELLUM_NOINLINE __attribute__((noinline))
#endif

namespace vellum {

// The instruction sets that scans have versions for. Each includes the ones
// before it; kAvx2 also stands for BMI1, BMI2 and LZCNT, which every
// processor with AVX2 has.
enum class Isa : unsigned char { kSse2, kSse42, kAvx2 };

// The highest that this build holds versions for.
inline constexpr Isa kBuiltIsa = static_cast<Isa>(VELLUM_MAX_ISA_LEVEL);

// The highest that the processor and the system offer, whatever the build.
Isa OfferedIsa();

namespace dispatch {

// What the dispatchers run: the offered set, no higher than kBuiltIsa. Read
// once when the module starts; SSE2 until then, as it is zero-initialised.
extern Isa chosen;

}  // namespace dispatch

// The instruction set that the dispatchers choose versions for. A load and
// a compare, so that the choice costs a call next to nothing.
inline Isa ChosenIsa() { return dispatch::chosen; }

}  // namespace vellum
