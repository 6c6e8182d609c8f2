// The one way a file compiles code for instructions beyond the build's
// baseline: the functions between VELLUM_TARGET_REGION("avx2,popcnt") and
// VELLUM_UNTARGET_REGION may use them, and run only where ChosenIsa() says
// so. The intrinsics headers are included at the top as usual; the compilers
// let an intrinsic be used in any function that enables its instructions.
//
// A region opens after the file's #include lines. An ordinary inline
// function first seen inside a region would be compiled for its instructions,
// and the linker, which keeps one copy of such a function for the whole
// program, might then hand that copy to callers on any processor. The one
// kind of header that a region includes is a walk written for any vector
// width (scan/*_walk.h, scan/search/*_walk.h): templates only, in an unnamed
// namespace so that every file's copy is its own, instantiated there with
// the region's vector type so that they take its instructions. The file
// makes the walk's own includes above the region.
//
// With GCC the pair is "#pragma GCC target" between push_options and
// pop_options, with clang an attribute pushed onto every function between.
// MSVC lets any function use any intrinsic, so the pair is empty there.
#pragma once

#if defined(__clang__)
#define VELLUM_TARGET_REGION(isa)                         \
  _Pragma(VELLUM_TARGET_REGION_TEXT(clang attribute push( \
      __attribute__((target(isa))), apply_to = function)))
#define VELLUM_UNTARGET_REGION _Pragma("clang attribute pop")
#elif defined(__GNUC__)
#define VELLUM_TARGET_REGION(isa) \
  _Pragma("GCC push_options")     \
      _Pragma(VELLUM_TARGET_REGION_TEXT(GCC target(isa)))
#define VELLUM_UNTARGET_REGION _Pragma("GCC pop_options")
#else
#define VELLUM_TARGET_REGION(isa)
#define VELLUM_UNTARGET_REGION
#endif

// _Pragma takes a single string literal, which cannot be pasted together
// from pieces; this turns the pragma's words, the instruction set's string
// among them, into one.
#define VELLUM_TARGET_REGION_TEXT(...) #__VA_ARGS__
