// Hosts that call the built module out of order or with odd records: frames before Init,
// before Start and after Stop and Exit, Stop and Start twice, Exit without Stop, Configure
// without a proper window, frames smaller than the template or of a new size, a channel
// name without its terminator, and Exit while the video thread still delivers frames.
// Frames and channel records end at a page the process may not touch, so a read or
// write beyond them faults.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <vector>

#include "host_harness.h"

namespace {

using zunktest::LoadedPlugin;
using zunktest::ReadSettings;
using zunktest::WriteSettings;

int32_t __cdecl KeepEveryChannel(int64_t) {
  return 1;
}

// `size` bytes that end where a page without access begins.
class GuardedBytes {
 public:
  explicit GuardedBytes(size_t size) : size_(size) {
    const size_t page = 4096;
    span_ = (size + page - 1) / page * page + page;
    base_ = static_cast<uint8_t*>(VirtualAlloc(nullptr, span_, MEM_COMMIT, PAGE_READWRITE));
    DWORD old = 0;
    VirtualProtect(base_ + span_ - page, page, PAGE_NOACCESS, &old);
  }
  ~GuardedBytes() { VirtualFree(base_, 0, MEM_RELEASE); }
  GuardedBytes(const GuardedBytes&) = delete;
  GuardedBytes& operator=(const GuardedBytes&) = delete;
  uint8_t* data() const { return base_ + span_ - 4096 - size_; }

 private:
  size_t size_;
  size_t span_ = 0;
  uint8_t* base_ = nullptr;
};

// A frame of the stream's size and a channel record, both guarded.
struct GuardedFrame {
  GuardedFrame(int w, int h, int pixelFormat, uint32_t key)
      : pixels(static_cast<size_t>(w) * h * (pixelFormat == 1 ? 3 : 2)),
        record(sizeof(zunk::ChannelInfo)) {
    std::memset(pixels.data(), 0x80, static_cast<size_t>(w) * h * (pixelFormat == 1 ? 3 : 2));
    channel()->keyLow = key;
    std::strcpy(channel()->name, "Test");
    info.pixels = pixels.data();
    info.channel = channel();
  }
  zunk::ChannelInfo* channel() { return reinterpret_cast<zunk::ChannelInfo*>(record.data()); }
  GuardedBytes pixels;
  GuardedBytes record;
  zunk::FrameInfo info = {};
};

zunk::StreamFormat Format(int w, int h, int pixelFormat = 0, int recording = 0) {
  zunk::StreamFormat f = {};
  f.width = w;
  f.height = h;
  f.pixelFormat = pixelFormat;
  f.recording = recording;
  return f;
}

// A 72 x 44 template at (20, 20) of the reference frame for channel 1001, and the same
// reaching past the frame's bottom-right corner for channel 1002.
void WriteTemplateSettings() {
  std::vector<uint8_t> rows(static_cast<size_t>(72 * 3) * 44);
  for (size_t i = 0; i < rows.size(); ++i)
    rows[i] = static_cast<uint8_t>(i * 7 % 251);
  const std::string logo = zunktest::PluginsFolder() + "misuse_logo.bmp";
  CreateDirectoryA(zunktest::PluginsFolder().c_str(), nullptr);
  ASSERT_TRUE(zunktest::WriteBitmapFile(logo, 72, 44, rows.data()));
  WriteSettings(
      "[COMMON]\r\n[1001]\r\n" + zunktest::ProfileLines({{"LogoFileName", logo}}) + "[1002]\r\n" +
      zunktest::ProfileLines({{"LogoFileName", logo}, {"LogoPosX", "740"}, {"LogoPosY", "560"}}));
}

TEST(HostMisuse, FramesOutsideAStreamPassUnchanged) {
  WriteSettings("");
  LoadedPlugin p;
  ASSERT_TRUE(p.Load());
  const zunk::PluginDescriptor* d = p.descriptor();
  GuardedFrame f(320, 240, 0, 7);
  EXPECT_EQ(d->ProcessFrame(&f.info), 0) << "before Init";
  zunk::InitInfo init = {0, &KeepEveryChannel};
  d->Init(&init);
  EXPECT_EQ(d->ProcessFrame(&f.info), 0) << "before Start";
  const zunk::StreamFormat format = Format(320, 240);
  EXPECT_EQ(d->Start(&format), 1);
  EXPECT_EQ(d->Start(&format), 1) << "Start twice";
  for (int i = 0; i < 40; ++i)
    d->ProcessFrame(&f.info);
  d->Stop();
  d->Stop();
  EXPECT_EQ(d->ProcessFrame(&f.info), 0) << "after Stop";
  d->Exit();
  EXPECT_EQ(d->ProcessFrame(&f.info), 0) << "after Exit";
  p.Unload();
  EXPECT_NE(ReadSettings().find("[7]\r\n"), std::string::npos);

  // A stream started before Init: the module works with a new channel's built-in values.
  WriteSettings("");
  ASSERT_TRUE(p.Load());
  d = p.descriptor();
  EXPECT_EQ(d->Start(&format), 1);
  for (int i = 0; i < 40; ++i)
    d->ProcessFrame(&f.info);
  d->Stop();
  d->Exit();
  p.Unload();
}

// Exit ends a stream the host never stopped: its buffers and drawing surface are freed,
// and frames that still come pass unchanged and make no profile.
TEST(HostMisuse, ExitWithoutStopEndsTheStream) {
  WriteTemplateSettings();
  const int before = zunktest::CountGdiObjects();
  LoadedPlugin p;
  ASSERT_TRUE(p.Load());
  const zunk::PluginDescriptor* d = p.descriptor();
  zunk::InitInfo init = {0, &KeepEveryChannel};
  d->Init(&init);
  const zunk::StreamFormat format = Format(768, 576);
  d->Start(&format);
  GuardedFrame f(768, 576, 0, 1001);
  int processed = 0;
  for (int i = 0; i < 40; ++i)
    processed += d->ProcessFrame(&f.info);
  EXPECT_GT(processed, 0) << "the template was not used";
  d->Exit();
  f.channel()->keyLow = 555;
  EXPECT_EQ(d->ProcessFrame(&f.info), 0);
  d->Exit();
  p.Unload();
  EXPECT_EQ(ReadSettings().find("[555]"), std::string::npos) << ReadSettings();
  EXPECT_NE(ReadSettings().find("[1001]"), std::string::npos);
  // The first load may leave the system's own lazily made objects behind: load again.
  const int between = zunktest::CountGdiObjects();
  ASSERT_TRUE(p.Load());
  d = p.descriptor();
  d->Init(&init);
  d->Start(&format);
  for (int i = 0; i < 40; ++i)
    d->ProcessFrame(&f.info);
  d->Exit();
  p.Unload();
  EXPECT_EQ(zunktest::CountGdiObjects(), between) << "before the first load: " << before;
}

BOOL CALLBACK CountShown(HWND w, LPARAM count) {
  if (IsWindowVisible(w))
    ++*reinterpret_cast<int*>(count);
  return TRUE;
}

// The windows this thread owns that are shown (the dialog, while it is open).
int ShownWindowsOfThisThread() {
  int n = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountShown, reinterpret_cast<LPARAM>(&n));
  return n;
}

TEST(HostMisuse, ConfigureWithoutAProperWindowAndExitWithTheDialogOpen) {
  WriteSettings("");
  HWND desktop = GetDesktopWindow();
  HWND stale = CreateWindowA("STATIC", "gone", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  DestroyWindow(stale);
  HWND none = nullptr;
  HWND* variables[] = {nullptr, &none, &desktop, &stale};
  for (HWND* variable : variables) {
    LoadedPlugin p;
    ASSERT_TRUE(p.Load());
    const zunk::PluginDescriptor* d = p.descriptor();
    zunk::InitInfo init = {0, &KeepEveryChannel};
    d->Init(&init);
    d->Configure(variable);
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
      DispatchMessageA(&m);
    EXPECT_EQ(ShownWindowsOfThisThread(), 1) << "the dialog did not open";
    d->Configure(variable);  // brought forward, not opened twice
    d->Exit();
    EXPECT_EQ(ShownWindowsOfThisThread(), 0) << "the dialog outlived Exit";
    p.Unload();
  }
}

// Frames smaller than the template, a stream size that changes with or without a Stop,
// sizes the module cannot use, in both pixel formats.
TEST(HostMisuse, FrameSizesAgainstTheTemplate) {
  WriteTemplateSettings();
  LoadedPlugin p;
  ASSERT_TRUE(p.Load());
  const zunk::PluginDescriptor* d = p.descriptor();
  zunk::InitInfo init = {0, &KeepEveryChannel};
  d->Init(&init);
  struct Size {
    int w, h;
    bool stopBefore;
    int matched;  // 1: frames are matched after the skip; -1: either way
  };
  const Size sizes[] = {{16, 16, true, -1},   {768, 576, false, 1}, {320, 240, false, 1},
                        {50, 30, true, -1},   {1, 1, false, -1},    {1920, 1080, true, 1},
                        {31, 577, false, -1}, {577, 3, false, -1}};
  for (int pixelFormat : {0, 1}) {
    for (const Size& s : sizes) {
      for (uint32_t key : {1001u, 1002u}) {
        if (s.stopBefore)
          d->Stop();
        const zunk::StreamFormat format = Format(s.w, s.h, pixelFormat);
        d->Start(&format);
        GuardedFrame f(s.w, s.h, pixelFormat, key);
        int processed = 0;
        for (int i = 0; i < 30; ++i)
          processed += d->ProcessFrame(&f.info);
        if (key == 1001 && s.matched != -1) {
          EXPECT_EQ(processed > 0, s.matched == 1)
              << s.w << "x" << s.h << " format " << pixelFormat;
        }
      }
    }
  }
  for (const zunk::StreamFormat& bad :
       {Format(0, 0), Format(-5, 100), Format(100000, 10), Format(320, 240, 2)}) {
    d->Start(&bad);
    GuardedFrame f(64, 64, 0, 1001);
    for (int i = 0; i < 30; ++i)
      EXPECT_EQ(d->ProcessFrame(&f.info), 0) << bad.width << "x" << bad.height;
  }
  d->Stop();
  d->Exit();
  p.Unload();
}

// The host's record gives the name no length: one that fills the record without a
// terminator is read up to the record's end and no further.
TEST(HostMisuse, ChannelNameWithoutTerminator) {
  WriteSettings("");
  LoadedPlugin p;
  ASSERT_TRUE(p.Load());
  const zunk::PluginDescriptor* d = p.descriptor();
  zunk::InitInfo init = {0, &KeepEveryChannel};
  d->Init(&init);
  d->Configure(nullptr);  // the open dialog shows the channel's name
  const zunk::StreamFormat format = Format(320, 240);
  d->Start(&format);
  GuardedFrame f(320, 240, 0, 31);
  std::memset(f.channel()->name, 'N', sizeof f.channel()->name);
  for (int i = 0; i < 30; ++i) {
    d->ProcessFrame(&f.info);
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
      DispatchMessageA(&m);
  }
  d->Stop();
  d->Exit();
  p.Unload();
  EXPECT_NE(ReadSettings().find("[31]\r\n"), std::string::npos);
}

struct Feeder {
  const zunk::PluginDescriptor* d;
  std::atomic<bool> stop{false};
  std::atomic<int> frames{0};
};

// Every frame comes from a channel not seen before, so the profile table grows all along.
DWORD WINAPI FeedNewChannels(void* arg) {
  auto* feeder = static_cast<Feeder*>(arg);
  const zunk::StreamFormat format = Format(320, 240);
  feeder->d->Start(&format);
  GuardedFrame f(320, 240, 0, 0);
  for (uint32_t key = 1000; !feeder->stop; ++key) {
    f.channel()->keyLow = key;
    feeder->d->ProcessFrame(&f.info);
    ++feeder->frames;
  }
  return 0;
}

// Exit while the video thread still delivers frames (the host's fault): the file written
// is whole, every channel section exactly as a new channel's, keys in the order met.
TEST(HostMisuse, ExitWhileTheVideoThreadStillCalls) {
  for (int round = 0; round < 5; ++round) {
    WriteSettings("");
    LoadedPlugin p;
    ASSERT_TRUE(p.Load());
    Feeder feeder;
    feeder.d = p.descriptor();
    zunk::InitInfo init = {0, &KeepEveryChannel};
    feeder.d->Init(&init);
    HANDLE thread = CreateThread(nullptr, 0, FeedNewChannels, &feeder, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    while (feeder.frames < 200 + 300 * round)
      Sleep(1);
    feeder.d->Exit();
    const int atExit = feeder.frames;
    while (feeder.frames < atExit + 50)
      Sleep(1);
    feeder.stop = true;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    p.Unload();

    const std::string file = ReadSettings();
    // "[COMMON]" and its two lines, then the channels.
    size_t at = 0;
    for (int line = 0; line < 3 && at != std::string::npos; ++line)
      at = file.find("\r\n", at) + 2;
    ASSERT_EQ(file.compare(0, 20, "[COMMON]\r\nDlgWndPosX"), 0) << file.substr(0, 200);
    int sections = 0;
    for (uint32_t key = 1000; at < file.size(); ++key, ++sections) {
      const std::string section = "[" + std::to_string(key) + "]\r\n" + zunktest::ProfileLines();
      ASSERT_EQ(file.compare(at, section.size(), section), 0)
          << "round " << round << ", section " << key << ":\n"
          << file.substr(at, 300);
      at += section.size();
    }
    EXPECT_GT(sections, 0);
    // The frame in progress when Exit came is counted once its call has returned, which
    // may be after Exit returned.
    EXPECT_LE(sections, atExit + 1) << "channels met after Exit were saved";
  }
}

}  // namespace
