// Worker threads and the monotonic clock on Windows. A worker holds a reference to this
// module and drops it only as the thread ends, so the host may unload the module while one
// still runs: its code stays mapped until the thread is gone.
#include <windows.h>

#include <new>

#include "platform/win32/services.h"
#include "plugin/abi.h"

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
  return GetTickCount64();
}

}  // namespace win32
}  // namespace zunk
