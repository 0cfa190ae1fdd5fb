// The built module loaded by a test host process, as the host application loads it:
// exports, descriptor, the lifecycle repeated without GDI leaks, and every call made
// through a 4-byte aligned stack.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "host_harness.h"
#include "misaligned_call.h"

namespace {

using zunktest::LoadedPlugin;
using zunktest::ReadSettings;
using zunktest::WriteSettings;

const char kName1251[] = "\xC4\xE5\xF2\xE5\xEA\xF2\xEE\xF0 \xEB\xEE\xE3\xEE\xF2\xE8\xEF\xEE\xE2";
const char kDescription1251[] =
    "\xC4\xE5\xF2\xE5\xEA\xF2\xE8\xF0\xEE\xE2\xE0\xED\xE8\xE5 \xEB\xEE\xE3\xEE\xF2\xE8\xEF\xE0 "
    "\xE2 \xEA\xE0\xE4\xF0\xE5";

typedef void(__cdecl* VoidOp)();
typedef void(__cdecl* InitOp)(const zunk::InitInfo*);
typedef int32_t(__cdecl* StartOp)(const zunk::StreamFormat*);
typedef int32_t(__cdecl* FrameOp)(zunk::FrameInfo*);

// The descriptor read as the host reads it: eight 32-bit fields.
uint32_t Field(const void* descriptor, int offset) {
  uint32_t v;
  std::memcpy(&v, static_cast<const char*>(descriptor) + offset, 4);
  return v;
}
template <typename Fn>
Fn Slot(const void* descriptor, int offset) {
  return reinterpret_cast<Fn>(static_cast<uintptr_t>(Field(descriptor, offset)));
}

struct Frames {
  explicit Frames(int w, int h, uint32_t key) : pixels(static_cast<size_t>(w) * h * 2, 0x80) {
    channel.keyLow = key;
    std::strcpy(channel.name, "Test");
    info.pixels = pixels.data();
    info.channel = &channel;
  }
  std::vector<uint8_t> pixels;
  zunk::ChannelInfo channel = {};
  zunk::FrameInfo info = {};
};

TEST(DllExports, VersionDescriptorAndSlots) {
  LoadedPlugin p;
  ASSERT_TRUE(p.Load()) << "cannot load " << ZUNK_DLL_PATH;
  EXPECT_EQ(p.version(), 3) << "before the descriptor was asked for";
  void* d = p.descriptor();
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(p.descriptor(), d);
  EXPECT_EQ(p.version(), 3);

  EXPECT_STREQ(reinterpret_cast<const char*>(Field(d, 0)), kName1251);
  EXPECT_STREQ(reinterpret_cast<const char*>(Field(d, 4)), kDescription1251);
  for (int offset = 8; offset < 32; offset += 4)
    EXPECT_NE(Field(d, offset), 0u) << offset;

  // Slot order: Init, Start, ProcessFrame, Stop, Configure, Exit.
  zunk::InitInfo init = {0, &RecordingChannelCheck};
  Slot<InitOp>(d, 8)(&init);
  zunk::StreamFormat format = {};
  format.width = 768;
  format.height = 576;
  EXPECT_EQ(Slot<StartOp>(d, 12)(&format), 1);
  zunk::FrameInfo none = {};
  EXPECT_EQ(Slot<FrameOp>(d, 16)(&none), 0);
  Slot<VoidOp>(d, 20)();
  Slot<VoidOp>(d, 28)();
  p.Unload();
}

// The export table of the loaded image: exactly the two names, undecorated.
TEST(DllExports, ExactlyTheTwoNames) {
  LoadedPlugin p;
  ASSERT_TRUE(p.Load());
  auto* base = reinterpret_cast<const uint8_t*>(p.module);
  auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
  EXPECT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_I386);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  ASSERT_NE(dir.VirtualAddress, 0u);
  auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
  auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
  std::vector<std::string> found;
  for (DWORD i = 0; i < exports->NumberOfNames; ++i)
    found.push_back(reinterpret_cast<const char*>(base + names[i]));
  EXPECT_EQ(exports->NumberOfFunctions, 2u);
  EXPECT_EQ(found, (std::vector<std::string>{"Quintora_Plugin_PR", "Quintora_Plugin_Version"}));
  p.Unload();
}

void RunLifecycle(const LoadedPlugin& p, int frames) {
  const zunk::PluginDescriptor* d = p.descriptor();
  zunk::InitInfo init = {0, &RecordingChannelCheck};
  d->Init(&init);
  for (int width : {768, 720}) {
    zunk::StreamFormat format = {};
    format.width = width;
    format.height = 576;
    format.recording = 1;
    EXPECT_EQ(d->Start(&format), 1);
    Frames f(width, 576, 5);
    for (int i = 0; i < frames; ++i)
      d->ProcessFrame(&f.info);
    d->Stop();
  }
  d->Exit();
}

TEST(DllLifecycle, TwiceWithoutGdiLeaks) {
  WriteSettings("");
  for (int round = 0; round < 3; ++round) {
    int before = zunktest::CountGdiObjects();
    LoadedPlugin p;
    ASSERT_TRUE(p.Load());
    RunLifecycle(p, 40);
    p.Unload();
    int after = zunktest::CountGdiObjects();
    // The first round may leave the system's own lazily made objects behind.
    EXPECT_GT(after, 0) << "no GDI objects counted at all";
    if (round > 0) {
      EXPECT_EQ(after, before) << "round " << round;
    }
  }
}

TEST(DllLifecycle, StreamsWithoutStopStillReleaseTheirObjects) {
  LoadedPlugin p;
  ASSERT_TRUE(p.Load());
  const zunk::PluginDescriptor* d = p.descriptor();
  zunk::InitInfo init = {0, &RecordingChannelCheck};
  d->Init(&init);
  zunk::StreamFormat format = {};
  format.width = 320;
  format.height = 240;
  d->Start(&format);
  d->Stop();
  int before = zunktest::CountGdiObjects();
  for (int i = 0; i < 5; ++i)
    d->Start(&format);  // no Stop in between
  d->Stop();
  EXPECT_EQ(zunktest::CountGdiObjects(), before);
  d->Exit();
  p.Unload();
}

// Skipped frames see no channel: only a channel met after the recording's first five
// frames gets a profile, which Exit then writes.
TEST(DllLifecycle, RecordingSkipsItsFirstFiveFrames) {
  for (int frames : {5, 6}) {
    WriteSettings("");
    LoadedPlugin p;
    ASSERT_TRUE(p.Load());
    const zunk::PluginDescriptor* d = p.descriptor();
    zunk::InitInfo init = {0, &RecordingChannelCheck};
    d->Init(&init);
    zunk::StreamFormat format = {};
    format.width = 768;
    format.height = 576;
    format.recording = 1;
    d->Start(&format);
    Frames f(768, 576, 77);
    for (int i = 0; i < frames; ++i)
      EXPECT_EQ(d->ProcessFrame(&f.info), 0);
    d->Stop();
    d->Exit();
    p.Unload();
    bool written = ReadSettings().find("[77]\r\n") != std::string::npos;
    EXPECT_EQ(written, frames == 6) << frames << " frames";
  }
}

// The host's video thread may outlive the module: once unloaded, nothing of the module
// may run when that thread ends.
struct VideoThread {
  LoadedPlugin* plugin;
  HANDLE unloaded;
  HANDLE framesDone;
};

DWORD WINAPI RunVideoThread(void* arg) {
  auto* t = static_cast<VideoThread*>(arg);
  const zunk::PluginDescriptor* d = t->plugin->descriptor();
  zunk::StreamFormat format = {};
  format.width = 320;
  format.height = 240;
  d->Start(&format);
  Frames f(320, 240, 9);
  for (int i = 0; i < 30; ++i)
    d->ProcessFrame(&f.info);
  d->Stop();
  SetEvent(t->framesDone);
  WaitForSingleObject(t->unloaded, INFINITE);
  return 0;
}

TEST(DllLifecycle, VideoThreadEndsAfterTheModuleIsUnloaded) {
  WriteSettings("");
  LoadedPlugin p;
  ASSERT_TRUE(p.Load());
  zunk::InitInfo init = {0, &RecordingChannelCheck};
  p.descriptor()->Init(&init);
  VideoThread t = {&p, CreateEventA(nullptr, TRUE, FALSE, nullptr),
                   CreateEventA(nullptr, TRUE, FALSE, nullptr)};
  HANDLE thread = CreateThread(nullptr, 0, RunVideoThread, &t, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  WaitForSingleObject(t.framesDone, INFINITE);
  p.descriptor()->Exit();
  p.Unload();
  SetEvent(t.unloaded);
  EXPECT_EQ(WaitForSingleObject(thread, 120000), WAIT_OBJECT_0);  // a hang, not a time
  DWORD code = 1;
  GetExitCodeThread(thread, &code);
  EXPECT_EQ(code, 0u);
  CloseHandle(thread);
  CloseHandle(t.unloaded);
  CloseHandle(t.framesDone);
}

TEST(DllStack, EveryEntryRealignsAFourByteAlignedStack) {
  WriteSettings("");
  ChannelCheckCalls = 0;
  LoadedPlugin p;
  ASSERT_TRUE(p.Load());
  EXPECT_EQ(CallMisaligned0(reinterpret_cast<void*>(p.version)), 3u);
  auto* d = reinterpret_cast<zunk::PluginDescriptor*>(
      CallMisaligned0(reinterpret_cast<void*>(p.descriptor)));
  ASSERT_EQ(d, p.descriptor());

  zunk::InitInfo init = {0, &RecordingChannelCheck};
  CallMisaligned1(reinterpret_cast<void*>(d->Init), reinterpret_cast<uintptr_t>(&init));
  for (int recording : {0, 1}) {
    zunk::StreamFormat format = {};
    format.width = 720;
    format.height = 576;
    format.pixelFormat = recording;  // both pixel formats
    format.recording = recording;
    EXPECT_EQ(
        CallMisaligned1(reinterpret_cast<void*>(d->Start), reinterpret_cast<uintptr_t>(&format)),
        1u);
    Frames f(720, 576, 1001 + recording);
    std::vector<uint8_t> rgb(720 * 576 * 3, 0x40);
    if (recording)
      f.info.pixels = rgb.data();
    for (int i = 0; i < 40; ++i)
      CallMisaligned1(reinterpret_cast<void*>(d->ProcessFrame),
                      reinterpret_cast<uintptr_t>(&f.info));
    CallMisaligned0(reinterpret_cast<void*>(d->Stop));
  }
  CallMisaligned0(reinterpret_cast<void*>(d->Exit));
  p.Unload();
  // Exit asks the host about both channels: the callback must find the stack realigned.
  EXPECT_EQ(ChannelCheckCalls, 2u);
  EXPECT_TRUE(EnteredAligned(ChannelCheckEntryStack))
      << "callback entered with stack " << std::hex << ChannelCheckEntryStack;
}

}  // namespace
