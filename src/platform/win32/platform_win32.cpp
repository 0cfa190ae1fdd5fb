// The Win32 service table, the module context and the module lock.
#include <windows.h>

#include "platform/win32/services.h"

namespace zunk {
namespace win32 {

namespace {

thread_local HINSTANCE currentResources = nullptr;

void* EnterModuleContext() {
  HINSTANCE previous = currentResources;
  currentResources = ModuleInstance();
  return previous;
}

void LeaveModuleContext(void* previous) {
  currentResources = static_cast<HINSTANCE>(previous);
}

CRITICAL_SECTION* ModuleLock() {
  // Made on first use from DllMain-free code; InitOnce is not available on older systems,
  // so a static local of a POD wrapper constructed under the compiler's guard is used.
  struct Holder {
    CRITICAL_SECTION cs;
    Holder() { InitializeCriticalSection(&cs); }
    ~Holder() { DeleteCriticalSection(&cs); }
  };
  static Holder holder;
  return &holder.cs;
}

void Lock() {
  EnterCriticalSection(ModuleLock());
}
void Unlock() {
  LeaveCriticalSection(ModuleLock());
}

}  // namespace

HINSTANCE ModuleInstance() {
  HMODULE module = nullptr;
  static const char anchor = 0;
  GetModuleHandleExA(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      &anchor, &module);
  return module;
}

HINSTANCE CurrentResourceInstance() {
  return currentResources ? currentResources : ModuleInstance();
}

}  // namespace win32

namespace {
const Platform kWin32 = {
    win32::EnterModuleContext,
    win32::LeaveModuleContext,
    win32::Lock,
    win32::Unlock,
    win32::SurfaceCreate,
    win32::SurfaceBegin,
    win32::SurfaceEnd,
    win32::SurfaceDestroy,
    win32::LoadBitmapFile,
    win32::QueryVersion,
    win32::ReadMachineDword,
    win32::AppDataFolder,
    win32::HostExecutablePath,
    win32::ModulePath,
    win32::CommandLine,
    win32::CreateFolder,
    win32::FileCreate,
    win32::FileWrite,
    win32::FileFlush,
    win32::FileClose,
    win32::RemoveFile,
    win32::MoveFileOver,
    '\\',
    win32::FindWindowByClass,
    win32::SendToWindow,
    win32::PostToWindow,
    win32::SurfaceFill,
    win32::SurfaceTextExtent,
    win32::SurfaceText,
    win32::MixerOpen,
    win32::MixerVolumeControl,
    win32::MixerGetValue,
    win32::MixerSetValue,
    win32::MixerClose,
    win32::StartThread,
    win32::JoinThread,
    win32::SleepMs,
    win32::MonotonicMs,
};
const Platform* current = &kWin32;
}  // namespace

const Platform& Os() {
  return *current;
}
const Platform& NativePlatform() {
  return kWin32;
}
void SetPlatformForTest(const Platform* p) {
  current = p ? p : &kWin32;
}

}  // namespace zunk
