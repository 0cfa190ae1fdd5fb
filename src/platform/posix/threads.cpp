// Worker threads and the monotonic clock on POSIX systems.
#include <pthread.h>
#include <time.h>

#include <new>

#include "platform/posix/services.h"

namespace zunk {
namespace posix {

namespace {

struct ThreadStart {
  void (*body)(void*);
  void* arg;
};

void* ThreadEntry(void* p) {
  const ThreadStart start = *static_cast<ThreadStart*>(p);
  delete static_cast<ThreadStart*>(p);
  start.body(start.arg);
  return nullptr;
}

}  // namespace

uintptr_t StartThread(void (*body)(void* arg), void* arg) {
  auto* start = new (std::nothrow) ThreadStart{body, arg};
  auto* thread = new (std::nothrow) pthread_t;
  if (!start || !thread || pthread_create(thread, nullptr, ThreadEntry, start) != 0) {
    delete start;
    delete thread;
    return 0;
  }
  return reinterpret_cast<uintptr_t>(thread);
}

void JoinThread(uintptr_t thread) {
  if (!thread)
    return;
  auto* t = reinterpret_cast<pthread_t*>(thread);
  pthread_join(*t, nullptr);
  delete t;
}

void SleepMs(uint32_t ms) {
  timespec wait = {static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
  while (nanosleep(&wait, &wait) != 0) {
  }
}

uint64_t MonotonicMs() {
  timespec now = {};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
}

}  // namespace posix
}  // namespace zunk
