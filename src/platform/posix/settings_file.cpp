// Writing the settings file anew: a file descriptor per file, the data forced to the disk
// before the new file replaces the old one by rename.
#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "platform/posix/services.h"

namespace zunk {
namespace posix {

// Handles are the descriptor plus one, so that 0 stays "no file".
uintptr_t FileCreate(const char* path) {
  int fd;
  do {
    fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  return fd < 0 ? 0 : static_cast<uintptr_t>(fd) + 1;
}

int FileWrite(uintptr_t file, const void* data, size_t size) {
  const int fd = static_cast<int>(file - 1);
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = write(fd, p, size);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      return 0;
    p += n;
    size -= static_cast<size_t>(n);
  }
  return 1;
}

int FileFlush(uintptr_t file) {
  return fsync(static_cast<int>(file - 1)) == 0 ? 1 : 0;
}

int FileClose(uintptr_t file) {
  // Linux releases the descriptor even when close reports an error: never close twice.
  return close(static_cast<int>(file - 1)) == 0 ? 1 : 0;
}

int RemoveFile(const char* path) {
  return unlink(path) == 0 ? 1 : 0;
}

int MoveFileOver(const char* from, const char* to) {
  return std::rename(from, to) == 0 ? 1 : 0;
}

}  // namespace posix
}  // namespace zunk
