// The volume query crosses threads: the host's main window belongs to the host's user
// interface thread, which may itself be waiting for the module lock (the settings dialog
// runs there). Here that thread takes the lock while it answers the query; frame
// processing that held the lock across its SendMessage would never get the answer. A
// watchdog turns such a deadlock into a failure.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "detect/detect_fixture.h"
#include "host/host_commands.h"
#include "host/host_records.h"
#include "pipeline/frame_pipeline.h"
#include "platform/platform.h"
#include "settings/channel_profile.h"
#include "settings/ini_store.h"

extern "C" zunk::PluginDescriptor* Quintora_Plugin_PR();

namespace zunk {
namespace {

// A numbered instance, so that no other host window on the desktop is taken for ours.
constexpr char kInstance[] = "q";
constexpr char kTitle[] = "Quintora.Instq";
constexpr UINT kQuit = WM_APP + 1;

LONG volumeQueries = 0;
std::vector<LPARAM> volumesSet;  // written by the window's thread, read after it ended

__attribute__((force_align_arg_pointer)) LRESULT CALLBACK HostProc(HWND w,
                                                                   UINT msg,
                                                                   WPARAM wp,
                                                                   LPARAM lp) {
  if (msg == kQuit) {
    PostQuitMessage(0);
    return 0;
  }
  if (msg != HostCommandMessage)
    return DefWindowProcA(w, msg, wp, lp);
  switch (wp) {
    case HostCmdGetVersion:
      return 0x4000A;
    case HostCmdGetVolume:
      // The user interface thread needs the module lock at this moment.
      Os().Lock();
      Os().Unlock();
      InterlockedIncrement(&volumeQueries);
      return 500;
    case HostCmdSetVolume:
      volumesSet.push_back(lp);
      return 0;
  }
  return 0;
}

struct UiThread {
  HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HWND window = nullptr;
};

__attribute__((force_align_arg_pointer)) DWORD WINAPI RunUi(void* arg) {
  auto* ui = static_cast<UiThread*>(arg);
  WNDCLASSA wc = {};
  wc.lpfnWndProc = HostProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "TMain";
  RegisterClassA(&wc);
  ui->window = CreateWindowExA(0, "TMain", kTitle, WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                               nullptr, wc.hInstance, nullptr);
  SetEvent(ui->ready);
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0)
    DispatchMessageA(&m);
  DestroyWindow(ui->window);
  return 0;
}

class LockAcrossThreads : public testing_util::DetectStream {
 protected:
  void SetUp() override {
    DetectStream::SetUp();
    // The fixture's template service, with the system's own window functions.
    services = Os();
    services.FindWindowByClass = NativePlatform().FindWindowByClass;
    services.SendToWindow = NativePlatform().SendToWindow;
    services.PostToWindow = NativePlatform().PostToWindow;
    SetPlatformForTest(&services);
    SettingsStore.InstanceNumber = kInstance;
    logo = testing_util::StripedLogo(60, 40);
    uiThread = CreateThread(nullptr, 0, RunUi, &ui, 0, nullptr);
    ASSERT_NE(uiThread, nullptr);
    ASSERT_EQ(WaitForSingleObject(ui.ready, 30000), WAIT_OBJECT_0);
    ASSERT_NE(ui.window, nullptr);
  }
  void TearDown() override {
    PostMessageA(ui.window, kQuit, 0, 0);
    WaitForSingleObject(uiThread, 30000);
    CloseHandle(uiThread);
    CloseHandle(ui.ready);
    SettingsStore.InstanceNumber.clear();
    DetectStream::TearDown();
  }

  Platform services;
  UiThread ui;
  HANDLE uiThread = nullptr;
};

struct Video {
  LockAcrossThreads* test;
  std::vector<uint8_t> present, absent;
  ChannelInfo* channel;
};

__attribute__((force_align_arg_pointer)) DWORD WINAPI RunVideo(void* arg) {
  auto* v = static_cast<Video*>(arg);
  FrameInfo info = {};
  info.channel = v->channel;
  for (int i = 0; i < 30; ++i) {
    info.pixels = v->present.data();
    Quintora_Plugin_PR()->ProcessFrame(&info);
  }
  for (int i = 0; i < 10; ++i) {
    info.pixels = v->absent.data();
    Quintora_Plugin_PR()->ProcessFrame(&info);
  }
  return 0;
}

TEST_F(LockAcrossThreads, TheVolumeQueryIsSentWithoutTheLock) {
  AddChannel(7).PreviewAction = 2;
  StartStream(768, 576, 1);
  EXPECT_EQ(SettingsStore.HostVersion, 0x4000Au) << "the window of this test answered";
  Video v = {this, Frame(600, 40), Frame(615, 40), &channel};
  channel.keyLow = 7;
  HANDLE video = CreateThread(nullptr, 0, RunVideo, &v, 0, nullptr);
  ASSERT_NE(video, nullptr);
  if (WaitForSingleObject(video, 120000) != WAIT_OBJECT_0) {
    // Both threads wait for each other for good: report and end the program.
    std::fprintf(stderr, "deadlock: frame processing held the module lock across the query\n");
    std::fflush(stderr);
    ADD_FAILURE() << "deadlock";
    ExitProcess(3);
  }
  CloseHandle(video);
  EXPECT_EQ(Presence.reactionState, 1);
  EXPECT_EQ(volumeQueries, 1);
  Quintora_Plugin_PR()->Stop();  // posts the restore
  PostMessageA(ui.window, kQuit, 0, 0);
  WaitForSingleObject(uiThread, 30000);
  EXPECT_EQ(volumesSet, (std::vector<LPARAM>{300, 500}));
}

}  // namespace
}  // namespace zunk
