// The POSIX service table, the (empty) module context, the module lock and the absent
// mixer.
#include <mutex>

#include "platform/posix/services.h"

namespace zunk {
namespace posix {
namespace {

void* EnterModuleContext() {
  return nullptr;
}
void LeaveModuleContext(void*) {}

std::recursive_mutex& ModuleLock() {
  static std::recursive_mutex m;
  return m;
}
void Lock() {
  ModuleLock().lock();
}
void Unlock() {
  ModuleLock().unlock();
}

// There is no system mixer: opening it fails, as on a machine without a sound device.
uintptr_t MixerOpen() {
  return 0;
}
int MixerVolumeControl(uintptr_t, uint32_t*) {
  return 0;
}
int MixerGetValue(uintptr_t, uint32_t, uint32_t*) {
  return 0;
}
int MixerSetValue(uintptr_t, uint32_t, uint32_t) {
  return 0;
}
void MixerClose(uintptr_t) {}

}  // namespace
}  // namespace posix

namespace {
const Platform kPosix = {
    posix::EnterModuleContext,
    posix::LeaveModuleContext,
    posix::Lock,
    posix::Unlock,
    posix::SurfaceCreate,
    posix::SurfaceBegin,
    posix::SurfaceEnd,
    posix::SurfaceDestroy,
    posix::LoadBitmapFile,
    posix::QueryVersion,
    posix::ReadMachineDword,
    posix::AppDataFolder,
    posix::HostExecutablePath,
    posix::ModulePath,
    posix::CommandLine,
    posix::CreateFolder,
    posix::FileCreate,
    posix::FileWrite,
    posix::FileFlush,
    posix::FileClose,
    posix::RemoveFile,
    posix::MoveFileOver,
    '/',
    posix::FindWindowByClass,
    posix::SendToWindow,
    posix::PostToWindow,
    posix::SurfaceFill,
    posix::SurfaceTextExtent,
    posix::SurfaceText,
    posix::MixerOpen,
    posix::MixerVolumeControl,
    posix::MixerGetValue,
    posix::MixerSetValue,
    posix::MixerClose,
    posix::StartThread,
    posix::JoinThread,
    posix::SleepMs,
    posix::MonotonicMs,
};
const Platform* current = &kPosix;
}  // namespace

const Platform& Os() {
  return *current;
}
const Platform& NativePlatform() {
  return kPosix;
}
void SetPlatformForTest(const Platform* p) {
  current = p ? p : &kPosix;
}

}  // namespace zunk
