#include "emulator/host_stack.h"

#if !defined(_WIN32)
#include <pthread.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#endif

namespace emulator {

#if defined(_WIN32)

int RunOnHostStack(const std::function<int()>& work) { return work(); }

#else

namespace {

struct Job {
  const std::function<int()>* work;
  int result;
};

void* RunJob(void* job) {
  auto* j = static_cast<Job*>(job);
  j->result = (*j->work)();
  return nullptr;
}

[[noreturn]] void Fail(const char* what, int error) {
  std::fprintf(stderr, "cannot start the work thread: %s: %s\n", what,
               std::strerror(error));
  std::exit(2);
}

}  // namespace

int RunOnHostStack(const std::function<int()>& work) {
  Job job{&work, 0};
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  if (int error = pthread_attr_setstacksize(&attributes, kHostStackBytes)) {
    Fail("stack size", error);
  }
  pthread_t thread;
  if (int error = pthread_create(&thread, &attributes, RunJob, &job))
    Fail("create", error);
  pthread_attr_destroy(&attributes);
  pthread_join(thread, nullptr);
  return job.result;
}

#endif

}  // namespace emulator
