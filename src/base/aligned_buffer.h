// Pixel and score buffers: owned by the module, aligned for the packed kernels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace zunk {

constexpr size_t kBufferAlignment = 32;

// Zero-filled block of `size` bytes aligned to kBufferAlignment, or null.
inline void* AllocAligned(size_t size) {
  if (size > SIZE_MAX - kBufferAlignment - sizeof(void*))
    return nullptr;
  void* raw = std::calloc(1, size + kBufferAlignment + sizeof(void*));
  if (!raw)
    return nullptr;
  uintptr_t p = reinterpret_cast<uintptr_t>(raw) + sizeof(void*);
  p = (p + kBufferAlignment - 1) & ~static_cast<uintptr_t>(kBufferAlignment - 1);
  reinterpret_cast<void**>(p)[-1] = raw;
  return reinterpret_cast<void*>(p);
}

inline void FreeAligned(void* p) {
  if (p)
    std::free(static_cast<void**>(p)[-1]);
}

}  // namespace zunk
