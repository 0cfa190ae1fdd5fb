// Worker threads and the monotonic clock on Windows. A worker holds a reference to this
// module and drops it only as the thread ends, so the host may unload the module while one
// still runs: its code stays mapped until the thread is gone.
#include <windows.h>

#include <new>

#include "base/abi.h"
#include "platform/win32/services.h"

namespace zunk {
namespace win32 {

namespace {

struct ThreadStart {
  void (*body)(void*);
  void* arg;
  HMODULE module;  // the reference the thread holds
};

ZUNK_ENTRY DWORD WINAPI ThreadEntry(void* p) {
  const ThreadStart start = *static_cast<ThreadStart*>(p);
  delete static_cast<ThreadStart*>(p);
  start.body(start.arg);
  FreeLibraryAndExitThread(start.module, 0);
  return 0;
}

}  // namespace

uintptr_t StartThread(void (*body)(void* arg), void* arg) {
  HMODULE module = nullptr;
  static const char anchor = 0;
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, &anchor, &module))
    return 0;
  auto* start = new (std::nothrow) ThreadStart{body, arg, module};
  HANDLE thread = start ? CreateThread(nullptr, 0, ThreadEntry, start, 0, nullptr) : nullptr;
  if (!thread) {
    delete start;
    FreeLibrary(module);
    return 0;
  }
  return reinterpret_cast<uintptr_t>(thread);
}

void JoinThread(uintptr_t thread) {
  if (!thread)
    return;
  HANDLE h = reinterpret_cast<HANDLE>(thread);
  WaitForSingleObject(h, INFINITE);
  CloseHandle(h);
}

void SleepMs(uint32_t ms) {
  Sleep(ms);
}

uint64_t MonotonicMs() {
  // The performance counter: 64 bits on every system, never set back.
  static const int64_t frequency = [] {
    LARGE_INTEGER f;
    return QueryPerformanceFrequency(&f) && f.QuadPart > 0 ? f.QuadPart : int64_t{1000};
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  const uint64_t count = static_cast<uint64_t>(now.QuadPart);
  const uint64_t f = static_cast<uint64_t>(frequency);
  return count / f * 1000 + count % f * 1000 / f;
}

}  // namespace win32
}  // namespace zunk
