// Writing the settings file anew: the data flushed to the disk before the new file
// replaces the old one in one step.
#include <windows.h>

#include "platform/win32/services.h"

namespace zunk {
namespace win32 {

uintptr_t FileCreate(const char* path) {
  HANDLE h =
      CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  return h == INVALID_HANDLE_VALUE ? 0 : reinterpret_cast<uintptr_t>(h);
}

int FileWrite(uintptr_t file, const void* data, size_t size) {
  HANDLE h = reinterpret_cast<HANDLE>(file);
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const DWORD chunk = size > (1u << 20) ? (1u << 20) : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(h, p, chunk, &written, nullptr) || written == 0)
      return 0;
    p += written;
    size -= written;
  }
  return 1;
}

int FileFlush(uintptr_t file) {
  return FlushFileBuffers(reinterpret_cast<HANDLE>(file)) ? 1 : 0;
}

int FileClose(uintptr_t file) {
  return CloseHandle(reinterpret_cast<HANDLE>(file)) ? 1 : 0;
}

int RemoveFile(const char* path) {
  // A read-only file is deleted too.
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
    SetFileAttributesA(path, attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  return DeleteFileA(path) ? 1 : 0;
}

int MoveFileOver(const char* from, const char* to) {
  // One step on every system the module loads on (Vista and later): when the replace
  // fails, for instance because another program holds the old file open, both files are
  // as they were, so the caller may drop the new one. There is deliberately no fallback
  // that deletes the old file first.
  return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? 1 : 0;
}

}  // namespace win32
}  // namespace zunk
