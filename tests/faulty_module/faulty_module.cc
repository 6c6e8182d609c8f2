// A module whose commands each break one rule of the host string exchange,
// to prove that the emulator's audit notices.
#include <cstring>

#include "host/export.h"
#include "host/host_string.h"

using vellum::HostString;

namespace {

HostString Copy(const char* source, size_t extra) {
  size_t length = std::strlen(source);
  HostString result = vellum::AllocHostString(length + 1 + extra);
  std::memcpy(result, source, length + 1);
  return result;
}

}  // namespace

VELLUM_EXPORT HostString WellBehaved(HostString old_result,
                                     const char* source) {
  return vellum::Finish(old_result, Copy(source, 0));
}

VELLUM_EXPORT HostString AllocatesTooMuch(HostString old_result,
                                          const char* source) {
  return vellum::Finish(old_result, Copy(source, 1));
}

VELLUM_EXPORT HostString AllocatesTwice(HostString old_result,
                                        const char* source) {
  vellum::ReleaseHostString(Copy(source, 0));
  return vellum::Finish(old_result, Copy(source, 0));
}

VELLUM_EXPORT HostString ReleasesFirst(HostString old_result,
                                       const char* source) {
  vellum::ReleaseHostString(old_result);
  return Copy(source, 0);
}

VELLUM_EXPORT HostString KeepsOldResult(HostString, const char* source) {
  return Copy(source, 0);
}

VELLUM_EXPORT HostString ReleasesTwice(HostString old_result,
                                       const char* source) {
  vellum::ReleaseHostString(old_result);
  return vellum::Finish(old_result, Copy(source, 0));
}

VELLUM_EXPORT HostString ReturnsOldResult(HostString old_result, const char*) {
  return old_result;
}

VELLUM_EXPORT HostString WritesArgument(HostString old_result,
                                        const char* source) {
  const_cast<char*>(source)[0] = 'X';
  return vellum::Finish(old_result, Copy(source, 0));
}

VELLUM_EXPORT HostString ReadsPastTerminator(HostString old_result,
                                             const char* source) {
  volatile char past = source[std::strlen(source) + 1];
  (void)past;
  return vellum::Finish(old_result, nullptr);
}

VELLUM_EXPORT int ErrorOnInteger(int value) {
  vellum::RaiseHostError(110);
  return value;
}

// Character constants read no argument, so they give the old result back
// first; the rows' ids (the 800s) tell the audit which rows they are.
VELLUM_EXPORT HostString ConstantFirst(HostString old_result) {
  vellum::ReleaseHostString(old_result);
  return Copy("\t", 0);
}

VELLUM_EXPORT HostString ConstantLast(HostString old_result) {
  return vellum::Finish(old_result, Copy("\t", 0));
}
