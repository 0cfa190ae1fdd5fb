// The module's settings as a host meets them: the file beside the host's Plugins folder
// is read at Init, a new channel takes the "DEFAULT" values, Exit rewrites the file with
// the channels the host keeps, and Start asks the host's main window for its version.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "host_harness.h"

namespace {

using zunktest::LoadedPlugin;
using zunktest::ProfileLines;
using zunktest::ReadSettings;
using zunktest::SettingsPath;
using zunktest::WriteSettings;

std::vector<int64_t> asked;
int32_t __cdecl KeepFiveAndMinusTwo(int64_t key) {
  asked.push_back(key);
  return key == 5 || key == -2;
}

struct Channel {
  Channel(int64_t key) : pixels(768 * 576 * 2, 0x80) {
    channel.keyLow = static_cast<uint32_t>(key);
    channel.keyHigh = static_cast<uint32_t>(static_cast<uint64_t>(key) >> 32);
    std::strcpy(channel.name, "\xCF\xE5\xF0\xE2\xFB\xE9");  // "Первый"
    frame.pixels = pixels.data();
    frame.channel = &channel;
  }
  std::vector<uint8_t> pixels;
  zunk::ChannelInfo channel = {};
  zunk::FrameInfo frame = {};
};

TEST(SettingsThroughTheModule, LoadedAtInitSelectedPerChannelSavedAtExit) {
  WriteSettings(
      "[DEFAULT]\r\nLogoPosX=64\r\nMsgString=\xD0\xE5\xEA\xEB\xE0\xEC\xE0\r\n"  // "Реклама"
      "[COMMON]\r\nDlgWndPosX=15\r\nDlgWndPosY=25\r\n"
      "[5]\r\nLogoPosY=30\r\nMsgTextColor=255\r\nunknown=1\r\n"
      "[6]\r\nLogoPosY=31\r\n");
  LoadedPlugin p;
  ASSERT_TRUE(p.Load()) << "cannot load " << ZUNK_DLL_PATH;
  zunk::PluginDescriptor* d = p.descriptor();
  asked.clear();
  zunk::InitInfo init = {0, &KeepFiveAndMinusTwo};
  d->Init(&init);
  zunk::StreamFormat format = {};
  format.width = 768;
  format.height = 576;
  ASSERT_EQ(d->Start(&format), 1);
  Channel five(5), one(1), minusTwo(-2);
  for (Channel* c : {&five, &one, &minusTwo, &five}) {
    for (int i = 0; i < 3; ++i)
      d->ProcessFrame(&c->frame);
  }
  d->Stop();
  d->Exit();
  p.Unload();

  EXPECT_EQ(asked, (std::vector<int64_t>{5, 6, 1, -2}));
  const std::string fromDefault =
      ProfileLines({{"MsgString", "\xD0\xE5\xEA\xEB\xE0\xEC\xE0"}, {"LogoPosX", "64"}});
  EXPECT_EQ(ReadSettings(),
            "[COMMON]\r\nDlgWndPosX=15\r\nDlgWndPosY=25\r\n"
            "[5]\r\n" +
                ProfileLines({{"LogoPosY", "30"}, {"MsgTextColor", "255"}}) + "[1]\r\n" +
                fromDefault + "[-2]\r\n" + fromDefault);
  EXPECT_EQ(GetFileAttributesA((SettingsPath() + ".tmp").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(SettingsThroughTheModule, NoFileGivesDefaultsAndExitWritesOne) {
  DeleteFileA(SettingsPath().c_str());
  LoadedPlugin p;
  ASSERT_TRUE(p.Load());
  zunk::PluginDescriptor* d = p.descriptor();
  zunk::InitInfo init = {0, nullptr};
  d->Init(&init);
  zunk::StreamFormat format = {};
  format.width = 720;
  format.height = 576;
  d->Start(&format);
  Channel c(0x100000001LL);
  d->ProcessFrame(&c.frame);
  d->Stop();
  d->Exit();
  p.Unload();
  EXPECT_EQ(ReadSettings(),
            "[COMMON]\r\nDlgWndPosX=-100\r\nDlgWndPosY=-100\r\n[4294967297]\r\n" + ProfileLines());
}

TEST(SettingsThroughTheModule, FileLockedAtInitIsNotOverwrittenAtExit) {
  const std::string old = "[COMMON]\r\n[8]\r\nLogoPosX=3\r\n";
  WriteSettings(old);
  HANDLE lock = CreateFileA(SettingsPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  LoadedPlugin p;
  ASSERT_TRUE(p.Load());
  zunk::PluginDescriptor* d = p.descriptor();
  zunk::InitInfo init = {0, nullptr};
  d->Init(&init);  // cannot read the file: defaults
  CloseHandle(lock);
  d->Exit();
  p.Unload();
  EXPECT_EQ(ReadSettings(), old);
}

// A main window of the host's class answering the version command.
std::vector<std::string> versionAskedOf;
LRESULT CALLBACK HostWindowProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == 0x4C8 && wp == 0x51D) {
    char title[64] = {};
    GetWindowTextA(w, title, sizeof title);
    versionAskedOf.push_back(title);
    return 0x40009;
  }
  return DefWindowProcA(w, msg, wp, lp);
}

TEST(SettingsThroughTheModule, StartAsksTheHostWindowForItsVersion) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = HostWindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "TMain";
  ASSERT_NE(RegisterClassA(&wc), 0);
  HWND other = CreateWindowA("TMain", "Quintora.Inst2", 0, 0, 0, 10, 10, nullptr, nullptr,
                             wc.hInstance, nullptr);
  HWND host =
      CreateWindowA("TMain", "Quintora", 0, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_TRUE(host && other);

  LoadedPlugin p;
  ASSERT_TRUE(p.Load());
  zunk::PluginDescriptor* d = p.descriptor();
  zunk::InitInfo init = {0, nullptr};
  d->Init(&init);
  zunk::StreamFormat format = {};
  format.width = 768;
  format.height = 576;
  versionAskedOf.clear();
  d->Start(&format);
  d->Stop();
  d->Start(&format);
  d->Stop();
  d->Exit();
  p.Unload();
  DestroyWindow(host);
  DestroyWindow(other);
  UnregisterClassA("TMain", wc.hInstance);
  EXPECT_EQ(versionAskedOf, (std::vector<std::string>{"Quintora", "Quintora"}));
}

}  // namespace
