// The POSIX service table, the (empty) module context and the module lock.
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
    posix::MoveFileOver,
    '/',
    posix::FindWindowByClass,
    posix::SendToWindow,
    posix::PostToWindow,
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
