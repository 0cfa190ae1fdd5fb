// The records the host passes to the plug-in and the descriptor it receives. Their
// layout is the host interface: offsets are fixed for the 32-bit module and checked
// below; the native build keeps the same field order with its own pointer size.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/abi.h"

namespace zunk {

// Asked at exit once per profile: nonzero keeps the channel's section in the file.
typedef int32_t(ZUNK_CDECL* ChannelCheckFn)(int64_t channelKey);

struct InitInfo {
  uint32_t hostValue;           // 0: kept, never used
  ChannelCheckFn channelCheck;  // 4
};

struct StreamFormat {
  int32_t width;        // 0
  int32_t height;       // 4
  int32_t reserved8;    // 8
  int32_t pixelFormat;  // 12: 0 packed YUV 4:2:2 (YUY2), 1 B,G,R bottom-up
  int32_t reserved16;   // 16
  int32_t recording;    // 20: nonzero while the stream is recorded
};

// The longest channel name read from the host's record, terminator not counted. The
// record states no length, so the name is read up to its NUL or this many bytes.
constexpr size_t kChannelNameMax = 255;

struct ChannelInfo {
  uint32_t keyLow;   // 0
  uint32_t keyHigh;  // 4
  uint32_t reserved8;
  char name[kChannelNameMax + 1];  // 12: zero-terminated cp1251 text in the record itself
};

struct FrameInfo {
  uint8_t* pixels;             // 0: the frame, changed in place; null = no frame
  uint32_t reserved[10];       // 4..43 on the 32-bit host
  const ChannelInfo* channel;  // 44
};

struct PluginDescriptor {
  const char* name;
  const char* description;
  void(ZUNK_CDECL* Init)(const InitInfo* info);
  int32_t(ZUNK_CDECL* Start)(const StreamFormat* format);
  int32_t(ZUNK_CDECL* ProcessFrame)(FrameInfo* frame);
  void(ZUNK_CDECL* Stop)();
  void(ZUNK_CDECL* Configure)(void* parentWindowVariable);  // points to an HWND variable
  void(ZUNK_CDECL* Exit)();
};

typedef int32_t(ZUNK_CDECL* PluginVersionFn)();
typedef PluginDescriptor*(ZUNK_CDECL* PluginDescriptorFn)();

constexpr int32_t kPluginInterfaceVersion = 3;

#if defined(__i386__)
static_assert(sizeof(PluginDescriptor) == 32, "descriptor is eight 32-bit fields");
static_assert(offsetof(PluginDescriptor, Init) == 8, "Init slot");
static_assert(offsetof(PluginDescriptor, ProcessFrame) == 16, "ProcessFrame slot");
static_assert(offsetof(PluginDescriptor, Exit) == 28, "Exit slot");
static_assert(offsetof(InitInfo, channelCheck) == 4, "InitInfo callback");
static_assert(offsetof(StreamFormat, pixelFormat) == 12, "StreamFormat pixel format");
static_assert(offsetof(StreamFormat, recording) == 20, "StreamFormat recording");
static_assert(offsetof(FrameInfo, channel) == 44, "FrameInfo channel");
static_assert(offsetof(ChannelInfo, keyHigh) == 4, "ChannelInfo key high half");
static_assert(offsetof(ChannelInfo, name) == 12, "ChannelInfo name");
#endif

}  // namespace zunk
