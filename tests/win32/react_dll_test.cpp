// The reactions through the built module, as the host meets them: a logo template file, a
// channel's settings, frames with and without the logo, and the host emulator's main
// window answering the version and the volume and logging every command. The program runs
// as host instance "r" (its window is "Quintora.Instr"), so that the windows of other test
// programs are never taken for its own.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "host/host_commands.h"
#include "host_harness.h"
#include "session/host_state.h"
#include "session/host_window.h"

namespace {

using Names = std::vector<std::string>;

constexpr int kW = 768, kH = 576, kLogoW = 60, kLogoH = 40;

std::string Folder() {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string p = path;
  return p.substr(0, p.find_last_of("\\/") + 1);
}

// The numbered instance keeps its settings in Instances\r\Plugins.
std::string PluginsFolder() {
  const std::string base = Folder() + "Instances\\";
  CreateDirectoryA(base.c_str(), nullptr);
  CreateDirectoryA((base + "r\\").c_str(), nullptr);
  CreateDirectoryA((base + "r\\Plugins\\").c_str(), nullptr);
  return base + "r\\Plugins\\";
}

// Stripes of irregular widths on a black rim (the colour key).
uint8_t LogoGrey(int x, int y) {
  if (x < 2 || y < 2 || x >= kLogoW - 2 || y >= kLogoH - 2)
    return 0;
  const int band = (x * 7 + (x * x) % 5) / 9;
  return band % 2 ? 235 : static_cast<uint8_t>(40 + (band * 13) % 60);
}

std::string WriteLogo() {
  const std::string path = PluginsFolder() + "logo.bmp";
  const uint32_t row = kLogoW * 3, size = 54 + row * kLogoH;
  std::vector<uint8_t> f(size, 0);
  auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&f[at], &v, 4); };
  f[0] = 'B';
  f[1] = 'M';
  put32(2, size);
  put32(10, 54);
  put32(14, 40);
  put32(18, kLogoW);
  put32(22, kLogoH);
  f[26] = 1;
  f[28] = 24;
  for (int y = 0; y < kLogoH; ++y)
    for (int x = 0; x < kLogoW; ++x)
      std::memset(&f[54 + (kLogoH - 1 - y) * row + x * 3], LogoGrey(x, y), 3);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<char*>(f.data()), f.size());
  return path;
}

// A bottom-up B, G, R frame of noisy grey with the logo's top-left at (lx, 40).
std::vector<uint8_t> Frame(int lx) {
  std::vector<uint8_t> f(static_cast<size_t>(kW) * kH * 3);
  uint32_t seed = 12345;
  auto put = [&](int x, int y, uint8_t v) {
    std::memset(&f[(static_cast<size_t>(kH - 1 - y) * kW + x) * 3], v, 3);
  };
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) {
      seed = seed * 1103515245u + 12345u;
      put(x, y, static_cast<uint8_t>(90 + (seed >> 16) % 9));
    }
  }
  for (int y = 0; y < kLogoH; ++y)
    for (int x = 0; x < kLogoW; ++x)
      if (LogoGrey(x, y))
        put(lx + x, 40 + y, LogoGrey(x, y));
  return f;
}

int32_t __cdecl KeepAll(int64_t) {
  return 1;
}

class DllReactions : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(std::string(GetCommandLineA()).find("/inst:r"), std::string::npos)
        << "run as host instance r";
    present = Frame(600);
    absent = Frame(615);  // the logo far beyond the tolerance: not found
  }
  void TearDown() override { Close(); }

  // The host with its window, and the module with one channel of these actions.
  void Open(uint32_t version, int previewAction, int recordAction) {
    const std::string logo = WriteLogo();
    const std::string settings = "[7]\r\nLogoFileName=" +
                                 (bareLogoName ? logo.substr(logo.find_last_of('\\') + 1) : logo) +
                                 "\r\nLogoPosX=600\r\nLogoPosY=40\r\nShowLogo=0\r\nMsgEnable=0\r\n"
                                 "PreviewAction=" +
                                 std::to_string(previewAction) +
                                 "\r\nRecordAction=" + std::to_string(recordAction) + "\r\n";
    std::ofstream(PluginsFolder() + "Zunk_LogoDetector.ini", std::ios::binary) << settings;
    zunkhost::Host() = zunkhost::HostState{};
    zunkhost::Host().version = version;
    zunkhost::Host().volume = 500;
    ASSERT_TRUE(zunkhost::CreateHostWindow("Quintora.Instr"));
    ASSERT_TRUE(plugin.Load());
    d = plugin.descriptor();
    zunk::InitInfo init = {0, &KeepAll};
    d->Init(&init);
  }
  void Close() {
    if (!d)
      return;
    d->Exit();
    plugin.Unload();
    d = nullptr;
    zunkhost::DestroyHostWindow();
  }
  void StartStream(int recording) {
    zunk::StreamFormat f = {};
    f.width = kW;
    f.height = kH;
    f.pixelFormat = 1;
    f.recording = recording;
    d->Start(&f);
    std::strcpy(channel.name, "Test");
    if (recording)
      Feed(7, true, 5);  // the recording's start skip
  }
  void Feed(int64_t key, bool logo, int frames) {
    channel.keyLow = static_cast<uint32_t>(key);
    for (int i = 0; i < frames; ++i) {
      std::vector<uint8_t> f = logo ? present : absent;
      zunk::FrameInfo info = {};
      info.pixels = f.data();
      info.channel = &channel;
      zunkhost::Host().currentFrame = frame++;
      d->ProcessFrame(&info);
      zunkhost::PumpHostMessages();
    }
  }
  void Stop() {
    d->Stop();
    zunkhost::PumpHostMessages();
  }
  // The commands since the last call, the version queries left out.
  Names Commands() {
    Names n;
    for (const zunkhost::Command& c : zunkhost::Host().log) {
      if (c.command == zunk::HostCmdGetVersion)
        continue;
      std::string s = zunkhost::CommandName(c.command);
      if (c.command == zunk::HostCmdSetVolume)
        s += " " + std::to_string(c.value);
      n.push_back(s);
    }
    zunkhost::Host().log.clear();
    return n;
  }

  zunktest::LoadedPlugin plugin;
  const zunk::PluginDescriptor* d = nullptr;
  zunk::ChannelInfo channel = {};
  std::vector<uint8_t> present, absent;
  int64_t frame = 0;
  bool bareLogoName = false;  // LogoFileName without its folder
};

TEST_F(DllReactions, PreviewLowersTheVolumeAndRestoresIt) {
  for (int action : {2, 5}) {
    Open(0x4000A, action, 0);
    StartStream(0);
    Feed(7, true, 30);
    EXPECT_EQ(Commands(), Names{});
    Feed(7, false, 6);
    EXPECT_EQ(Commands(), (Names{"GetVolume", action == 2 ? "SetVolume 300" : "SetVolume 0"}));
    Feed(7, true, 30);
    EXPECT_EQ(Commands(), (Names{"SetVolume 500"}));
    Stop();
    EXPECT_EQ(Commands(), Names{});
    Close();
  }
}

TEST_F(DllReactions, ARecordingLeavesTheVolumeAlone) {
  Open(0x4000A, 3, 0);
  StartStream(1);
  Feed(7, true, 30);
  Feed(7, false, 10);
  Feed(7, true, 30);
  Stop();
  EXPECT_EQ(Commands(), Names{});
}

// 0x40009 takes the mixer, which this system does not have: nothing changes.
TEST_F(DllReactions, OnlyHostsFrom4000ATakeVolumeCommands) {
  Open(0x40009, 2, 0);
  StartStream(0);
  Feed(7, true, 30);
  Feed(7, false, 10);
  Feed(7, true, 30);
  EXPECT_EQ(Commands(), Names{});
  EXPECT_EQ(zunkhost::Host().volume, 500);
}

TEST_F(DllReactions, RecordingPausesOverTheBreak) {
  for (uint32_t version : {0x3003Cu, 0x3003Bu}) {
    Open(version, 0, 1);
    StartStream(1);
    Feed(7, true, 30);
    Feed(7, false, 10);
    const bool toggle = version < 0x3003C;
    EXPECT_EQ(Commands(), (Names{toggle ? "TogglePause" : "PauseRecording"}));
    EXPECT_TRUE(zunkhost::Host().paused);
    Feed(7, true, 30);
    EXPECT_EQ(Commands(), (Names{toggle ? "TogglePause" : "ResumeRecording"}));
    EXPECT_FALSE(zunkhost::Host().paused);
    Close();
  }
}

TEST_F(DllReactions, ATemplateNamedWithoutItsFolderIsTheOneBesideTheSettings) {
  // The working folder has no logo.bmp: the template is found beside the settings file.
  ASSERT_EQ(GetFileAttributesA("logo.bmp"), INVALID_FILE_ATTRIBUTES);
  bareLogoName = true;
  Open(0x3003C, 0, 1);
  StartStream(1);
  Feed(7, true, 30);
  Feed(7, false, 10);
  EXPECT_EQ(Commands(), (Names{"PauseRecording"}));
  Feed(7, true, 30);
  EXPECT_EQ(Commands(), (Names{"ResumeRecording"}));
}

TEST_F(DllReactions, RecordingOnlyTheBreaksPausesAtTheChannel) {
  Open(0x4000A, 0, 2);
  StartStream(1);
  Feed(7, true, 1);
  EXPECT_EQ(Commands(), (Names{"PauseRecording"})) << "at the change of channel";
  Feed(7, true, 29);
  Feed(7, false, 10);
  EXPECT_EQ(Commands(), (Names{"ResumeRecording"}));
}

TEST_F(DllReactions, StopWhileAbsentResumesOnceAndAPreviewPostsNothing) {
  Open(0x4000A, 0, 1);
  StartStream(1);
  Feed(7, true, 30);
  Feed(7, false, 10);
  EXPECT_EQ(Commands(), (Names{"PauseRecording"}));
  Stop();
  Stop();
  EXPECT_EQ(Commands(), (Names{"ResumeRecording"}));

  StartStream(0);
  Feed(7, true, 30);
  Feed(7, false, 10);
  Stop();
  EXPECT_EQ(Commands(), Names{});
}

}  // namespace
