// The only door to the operating system. The core calls these services through one
// table of function pointers; win32/ fills it with the real Windows calls, posix/ with
// small stand-ins, and tests swap in fakes with SetPlatformForTest.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zunk {

// Opaque handles owned by the platform side.
struct Surface;  // frame-size drawing surface with the 768 x 576 reference mapping
using WindowHandle = uintptr_t;

// Result of the system version query.
enum VersionFamily : int32_t {
  kVersionUnknown = 0,  // both version queries failed
  kVersionWin9x = 1,    // Windows 95/98/Me, Win32s
  kVersionNt = 2,       // NT family
};

struct Platform {
  // --- module context ---------------------------------------------------------------
  // Makes the module's own resources current for the calling thread and returns a
  // token for the previous state; LeaveModuleContext puts that state back.
  void* (*EnterModuleContext)();
  void (*LeaveModuleContext)(void* previous);

  // --- one lock: frame processing against the dialog's template and profile work ---
  void (*Lock)();
  void (*Unlock)();

  // --- message surface ----------------------------------------------------------------
  // SurfaceCreate makes the screen-compatible context once (at Init). SurfaceBegin makes
  // the W x H 32-bit top-down layer, the message font and the 768 x 576 -> W x H mapping
  // and returns the layer's pixels (B, G, R, X), or null when they could not be made.
  // SurfaceEnd puts the previous objects back and releases the layer and the font.
  Surface* (*SurfaceCreate)();
  uint32_t* (*SurfaceBegin)(Surface* s, int32_t width, int32_t height);
  void (*SurfaceEnd)(Surface* s);
  void (*SurfaceDestroy)(Surface* s);

  // --- template pictures ----------------------------------------------------------------
  // Loads a Windows bitmap file of any kind the system's loader accepts as a top-down
  // 32-bit picture, 4 bytes per pixel B, G, R, X (X = 0), of the file's own size. Files
  // wider than maxWidth or taller than maxHeight, and malformed files, are rejected.
  // Returns the pixels (AllocAligned, the caller frees them with FreeAligned) and sets
  // *width and *height, or returns null and leaves them alone.
  uint32_t* (*LoadBitmapFile)(const char* path,
                              int32_t maxWidth,
                              int32_t maxHeight,
                              int32_t* width,
                              int32_t* height);

  // --- settings environment -------------------------------------------------------------
  // extended != 0 asks with the extended version record first. Returns the family.
  VersionFamily (*QueryVersion)(int extended);
  // Reads a 32-bit number from HKLM\key\value. Returns nonzero when the value was read.
  int (*ReadMachineDword)(const char* key, const char* value, uint32_t* out);
  // Fills buf (size bytes) with the roaming application-data folder, no trailing
  // separator. Returns nonzero on success.
  int (*AppDataFolder)(char* buf, size_t size);
  // Full path of the host's executable. Returns nonzero on success.
  int (*HostExecutablePath)(char* buf, size_t size);
  // Full path of this plug-in module's own file. Returns nonzero on success.
  int (*ModulePath)(char* buf, size_t size);
  // The host process's command line.
  const char* (*CommandLine)();
  // Creates one directory level; the result is not needed by callers.
  int (*CreateFolder)(const char* path);
  // The settings file's rewrite: a new file is written whole, made durable and closed,
  // then replaces the old one in one step. FileCreate makes `path` empty (creating it)
  // and returns a handle, or 0. FileWrite writes all `size` bytes, FileFlush makes what
  // was written durable on the disk, FileClose closes the handle (always, also when it
  // reports a failure); each returns nonzero on success.
  uintptr_t (*FileCreate)(const char* path);
  int (*FileWrite)(uintptr_t file, const void* data, size_t size);
  int (*FileFlush)(uintptr_t file);
  int (*FileClose)(uintptr_t file);
  // Deletes a file, a read-only one too. Returns nonzero on success.
  int (*RemoveFile)(const char* path);
  // Replaces `to` by `from` in one step. Returns nonzero on success; on failure both files
  // are left as they were.
  int (*MoveFileOver)(const char* from, const char* to);
  // Folder separator of paths built by the settings code: '\\' or '/'.
  char pathSeparator;

  // --- host main window -----------------------------------------------------------------
  WindowHandle (*FindWindowByClass)(const char* className, const char* title);
  // Sends and waits for the answer, but not for ever: returns nonzero and sets *answer when
  // the window answered; 0 when it is gone or did not answer within a bounded wait (its
  // thread may itself be waiting for the caller's), so that no call of the module stays
  // blocked while the host unloads it.
  int (*SendToWindow)(WindowHandle w,
                      uint32_t msg,
                      uintptr_t wParam,
                      intptr_t lParam,
                      intptr_t* answer);
  int (*PostToWindow)(WindowHandle w, uint32_t msg, uintptr_t wParam, intptr_t lParam);

  // --- drawing on the message surface, in 768 x 576 reference units ----------------------
  // Colours are 0x00BBGGRR. Each call has finished writing the layer's pixels when it
  // returns. SurfaceFill paints the whole reference area. SurfaceTextExtent measures
  // `length` characters (Windows-1251) in the message font; SurfaceText draws them with
  // the top-left of their cell at (x, y), leaving the pixels between the glyphs alone.
  void (*SurfaceFill)(Surface* s, uint32_t colour);
  void (*SurfaceTextExtent)(Surface* s, const char* text, int32_t length, int32_t* cx, int32_t* cy);
  void (*SurfaceText)(Surface* s,
                      int32_t x,
                      int32_t y,
                      const char* text,
                      int32_t length,
                      uint32_t colour);

  // --- the system mixer's speaker volume ------------------------------------------------
  // MixerOpen returns the open mixer of device 0, or 0. MixerVolumeControl finds the
  // speaker line's volume control and sets *controlId only when it was found. The value
  // calls return nonzero on success; MixerSetValue reads the control before it sets it.
  uintptr_t (*MixerOpen)();
  int (*MixerVolumeControl)(uintptr_t mixer, uint32_t* controlId);
  int (*MixerGetValue)(uintptr_t mixer, uint32_t controlId, uint32_t* value);
  int (*MixerSetValue)(uintptr_t mixer, uint32_t controlId, uint32_t value);
  void (*MixerClose)(uintptr_t mixer);

  // --- a worker thread and the time, for work kept off the host's threads ---------------
  // StartThread runs body(arg) on a new thread and returns its handle, or 0 when no thread
  // could be made. The thread keeps the module loaded until body has returned. JoinThread
  // waits until it has ended and releases the handle. SleepMs pauses the calling thread.
  // MonotonicMs is a clock in milliseconds that never goes back.
  uintptr_t (*StartThread)(void (*body)(void* arg), void* arg);
  void (*JoinThread)(uintptr_t thread);
  void (*SleepMs)(uint32_t ms);
  uint64_t (*MonotonicMs)();
};

// The services in force: the real ones unless a test replaced them.
const Platform& Os();
// The real services of this build.
const Platform& NativePlatform();
// Replaces the services (null restores the real ones). For tests.
void SetPlatformForTest(const Platform* p);

// Holds the module context for one scope.
class ModuleContextScope {
 public:
  ModuleContextScope() : previous_(Os().EnterModuleContext()) {}
  ~ModuleContextScope() { Os().LeaveModuleContext(previous_); }
  ModuleContextScope(const ModuleContextScope&) = delete;
  ModuleContextScope& operator=(const ModuleContextScope&) = delete;

 private:
  void* previous_;
};

// Holds the module lock for one scope.
class LockScope {
 public:
  LockScope() { Os().Lock(); }
  ~LockScope() { Os().Unlock(); }
  LockScope(const LockScope&) = delete;
  LockScope& operator=(const LockScope&) = delete;
};

}  // namespace zunk
