#include "bench/bench_support.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "fake_core/fake_core.h"
#include "fake_core/install_fake_core.h"
#include "scan/byte_scan.h"

namespace vellum::bench {
namespace {

HostGlobals& Globals() {
  return *reinterpret_cast<HostGlobals*>(FakeCoreGetGlobPtr());
}

// The allocator the fake core installed, before InstallPlainHost replaced
// it.
HostStringFn AuditedAllocator() {
  static const HostStringFn audited = Globals().host_string_fn;
  return audited;
}

void PlainAllocator(HostString* handle, int32_t size) {
  if (size > 0) {
    *handle = static_cast<HostString>(std::malloc(static_cast<size_t>(size)));
  } else {
    std::free(*handle);
  }
}

}  // namespace

void InstallAuditedHost() {
  InstallFakeCore();
  Globals().host_string_fn = AuditedAllocator();
}

void InstallPlainHost() {
  InstallFakeCore();
  AuditedAllocator();
  Globals().host_string_fn = PlainAllocator;
}

void Release(HostString result) {
  if (result != nullptr) Globals().host_string_fn(&result, 0);
}

void AllocCopy(State& state, const std::string& bytes) {
  InstallAuditedHost();
  for (auto _ : state) {
    HostString copy = nullptr;
    Globals().host_string_fn(&copy, static_cast<int32_t>(bytes.size() + 1));
    std::memcpy(copy, bytes.c_str(), bytes.size() + 1);
    DoNotOptimize(copy);
    Release(copy);
  }
}

void LengthScanAllocCopy(State& state, const std::string& source,
                         size_t measured, size_t result_size) {
  InstallAuditedHost();
  const char* text = source.c_str();
  const size_t copied = std::min(result_size, source.size());
  for (auto _ : state) {
    DoNotOptimize(text);
    size_t length = measured == source.size() ? StringLength(text)
                                              : BoundedLength(text, measured);
    DoNotOptimize(length);
    HostString copy = nullptr;
    Globals().host_string_fn(&copy, static_cast<int32_t>(result_size + 1));
    std::memcpy(copy, text, copied);
    std::memset(copy + copied, ' ', result_size - copied);
    copy[result_size] = '\0';
    DoNotOptimize(copy);
    Release(copy);
  }
}

std::string EnglishText(size_t size) {
  static const char* const kWords[] = {
      "the",   "quick", "brown",  "fox",    "jumps", "over",  "lazy",
      "dog",   "and",   "a",      "string", "with",  "many",  "words",
      "of",    "some",  "length", "which",  "reads", "like",  "prose",
      "while", "being", "plain",  "text",   "for",   "search"};
  std::string text;
  uint32_t state = 12345;
  while (text.size() < size) {
    state = state * 1103515245u + 12345u;
    text += kWords[(state >> 16) % (sizeof kWords / sizeof *kWords)];
    text += (state >> 8) % 11 == 0 ? ". " : " ";
  }
  text.resize(size);
  return text;
}

const std::string& Prose1MiB() {
  static const std::string text = EnglishText(kMiB);
  return text;
}

const std::string& BlankFramedText() {
  static const std::string text = [] {
    std::string blanks;
    while (blanks.size() < 1000) blanks += kBlanks;
    blanks.resize(1000);
    return blanks + EnglishText(kMiB - 2000) + blanks;
  }();
  return text;
}

}  // namespace vellum::bench
