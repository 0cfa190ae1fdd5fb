// The Win32 services, one group per file; platform_win32.cpp puts them in the table.
#pragma once

#include <windows.h>

#include "platform/platform.h"

namespace zunk {
namespace win32 {

// This module's instance handle: every resource lookup uses it.
HINSTANCE ModuleInstance();
// The resource instance made current by the innermost module context of this thread.
HINSTANCE CurrentResourceInstance();

Surface* SurfaceCreate();
uint32_t* SurfaceBegin(Surface* s, int32_t width, int32_t height);
void SurfaceEnd(Surface* s);
void SurfaceDestroy(Surface* s);

uint32_t* LoadBitmapFile(const char* path,
                         int32_t maxWidth,
                         int32_t maxHeight,
                         int32_t* width,
                         int32_t* height);
// The surface's device context, for drawing the message.
HDC SurfaceDc(Surface* s);

VersionFamily QueryVersion(int extended);
int ReadMachineDword(const char* key, const char* value, uint32_t* out);
int AppDataFolder(char* buf, size_t size);
int HostExecutablePath(char* buf, size_t size);
int ModulePath(char* buf, size_t size);
const char* CommandLine();
int CreateFolder(const char* path);
uintptr_t FileCreate(const char* path);
int FileWrite(uintptr_t file, const void* data, size_t size);
int FileFlush(uintptr_t file);
int FileClose(uintptr_t file);
int RemoveFile(const char* path);
int MoveFileOver(const char* from, const char* to);

WindowHandle FindWindowByClass(const char* className, const char* title);
int SendToWindow(WindowHandle w,
                 uint32_t msg,
                 uintptr_t wParam,
                 intptr_t lParam,
                 intptr_t* answer);
int PostToWindow(WindowHandle w, uint32_t msg, uintptr_t wParam, intptr_t lParam);

void SurfaceFill(Surface* s, uint32_t colour);
void SurfaceTextExtent(Surface* s, const char* text, int32_t length, int32_t* cx, int32_t* cy);
void SurfaceText(Surface* s,
                 int32_t x,
                 int32_t y,
                 const char* text,
                 int32_t length,
                 uint32_t colour);

uintptr_t MixerOpen();
int MixerVolumeControl(uintptr_t mixer, uint32_t* controlId);
int MixerGetValue(uintptr_t mixer, uint32_t controlId, uint32_t* value);
int MixerSetValue(uintptr_t mixer, uint32_t controlId, uint32_t value);
void MixerClose(uintptr_t mixer);

// threads.cpp
uintptr_t StartThread(void (*body)(void* arg), void* arg);
void JoinThread(uintptr_t thread);
void SleepMs(uint32_t ms);
uint64_t MonotonicMs();

}  // namespace win32
}  // namespace zunk
