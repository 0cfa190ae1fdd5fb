// The settings dialog opened, edited and closed over and over while a video thread feeds
// frames through the module and switches channels, and the host exiting with the dialog
// still open. A watchdog ends the program with a message naming the side that stopped
// moving: a deadlock between the two threads fails the test instead of hanging it.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "dialog/resource_ids.h"
#include "dialog/settings_dialog.h"
#include "dialog_harness.h"
#include "host_harness.h"

namespace {

using zunktest::ChannelSection;
using zunktest::DialogHost;
using zunktest::IniValue;

constexpr int kWidth = 768, kHeight = 576;
constexpr int kLogoW = 64, kLogoH = 32;
constexpr DWORD kStuckMs = 8000;  // no progress for this long on one side is a deadlock

// Progress of the two sides, watched by a thread of its own.
struct Watchdog {
  std::atomic<long> frames{0};
  std::atomic<long> steps{0};
  std::atomic<bool> videoRunning{false};
  std::atomic<const char*> doing{"starting"};
  std::atomic<bool> stop{false};
  HANDLE thread = nullptr;

  Watchdog() { thread = CreateThread(nullptr, 0, Run, this, 0, nullptr); }
  ~Watchdog() {
    stop = true;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
  }
  void Step(const char* what) {
    doing = what;
    ++steps;
  }

  static DWORD WINAPI Run(void* self) {
    auto* w = static_cast<Watchdog*>(self);
    long frames = w->frames, steps = w->steps;
    DWORD framesMoved = GetTickCount(), stepsMoved = framesMoved;
    while (!w->stop) {
      Sleep(100);
      const DWORD now = GetTickCount();
      if (w->frames != frames || !w->videoRunning) {
        frames = w->frames;
        framesMoved = now;
      }
      if (w->steps != steps) {
        steps = w->steps;
        stepsMoved = now;
      }
      const bool video = now - framesMoved > kStuckMs;
      const bool dialog = now - stepsMoved > kStuckMs;
      const char* stuck = video && dialog ? "both threads"
                          : video         ? "the video thread: a frame call never returned"
                          : dialog        ? "the dialog's thread"
                                          : nullptr;
      if (stuck) {
        std::fprintf(stderr, "[ WATCHDOG ] no progress for %lu ms on %s (dialog thread was: %s)\n",
                     static_cast<unsigned long>(kStuckMs), stuck, w->doing.load());
        std::fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
      }
    }
    return 0;
  }
};

// Frames of two channels, switching between them every few dozen frames unless the test
// holds one.
struct Video {
  DialogHost* host = nullptr;
  Watchdog* dog = nullptr;
  zunk::ChannelInfo channels[2] = {};
  std::atomic<int> held{-1};
  std::atomic<int> current{0};
  std::atomic<bool> running{true};
  HANDLE thread = nullptr;

  ~Video() { End(); }
  void Begin(DialogHost* h, Watchdog* d) {
    host = h;
    dog = d;
    channels[0].keyLow = 1;
    std::strcpy(channels[0].name, "One");
    channels[1].keyLow = 2;
    std::strcpy(channels[1].name, "Two");
    dog->videoRunning = true;
    thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
  }
  void End() {
    if (!thread)
      return;
    running = false;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    thread = nullptr;
    dog->videoRunning = false;
  }

  static DWORD WINAPI Run(void* self) {
    static_cast<Video*>(self)->Loop();
    return 0;
  }
  void Loop() {
    std::vector<uint8_t> pixels(static_cast<size_t>(kWidth * kHeight * 2), 0x80);
    zunk::FrameInfo frame = {};
    frame.pixels = pixels.data();
    uint32_t seed = 12345;
    int c = 0;
    for (long n = 0; running; ++n) {
      seed = seed * 1103515245u + 12345u;
      const int hold = held;
      if (hold >= 0)
        c = hold;
      else if ((seed >> 16) % 40 == 0)
        c = 1 - c;
      current = c;
      frame.channel = &channels[c];
      host->Plugin().ProcessFrame(&frame);
      ++dog->frames;
      Sleep(3);
    }
  }
};

// Counts the faults of code running where the module's image was: the system may
// swallow a fault in a window procedure, so a call into the unloaded module is seen here.
struct UnloadedCodeFaults {
  static std::atomic<uintptr_t> begin, end;
  static std::atomic<long> count;
  void* handler = nullptr;

  explicit UnloadedCodeFaults(HMODULE module) {
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        reinterpret_cast<const char*>(module) + dos->e_lfanew);
    begin = reinterpret_cast<uintptr_t>(module);
    end = begin + nt->OptionalHeader.SizeOfImage;
    count = 0;
    handler = AddVectoredExceptionHandler(1, Seen);
  }
  ~UnloadedCodeFaults() { RemoveVectoredExceptionHandler(handler); }

  static LONG CALLBACK Seen(EXCEPTION_POINTERS* e) {
    const auto at = reinterpret_cast<uintptr_t>(e->ExceptionRecord->ExceptionAddress);
    if (e->ExceptionRecord->ExceptionCode == EXCEPTION_ACCESS_VIOLATION && at >= begin && at < end)
      ++count;
    return EXCEPTION_CONTINUE_SEARCH;
  }
};
std::atomic<uintptr_t> UnloadedCodeFaults::begin{0}, UnloadedCodeFaults::end{0};
std::atomic<long> UnloadedCodeFaults::count{0};

std::vector<std::pair<std::string, std::string>> WithTemplate(const std::string& logo) {
  return {{"LogoFileName", logo}, {"LogoPosX", "600"}, {"LogoPosY", "40"}};
}

// Pumps in short slices, each a step the watchdog sees.
void Pump(DialogHost* host, Watchdog* dog, int ms, const char* what) {
  for (int waited = 0; waited < ms; waited += 20) {
    dog->Step(what);
    host->Pump(20);
  }
}

bool PumpUntil(DialogHost* host,
               Watchdog* dog,
               const char* what,
               const std::function<bool()>& done) {
  for (int waited = 0; waited < 5000; waited += 10) {
    dog->Step(what);
    if (done())
      return true;
    host->Pump(10);
  }
  return done();
}

void SetText(HWND item, const std::string& text) {
  SendMessageA(item, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

const int kCorners[] = {IDC_CORNER_TOP_LEFT, IDC_CORNER_TOP_RIGHT, IDC_CORNER_BOTTOM_LEFT,
                        IDC_CORNER_BOTTOM_RIGHT};

// A value an OK round may leave behind, or the file's own: a cancelled round's never
// survives. Rounds with an even number end with OK.
bool LevelFromAnOkRound(const std::string& level) {
  const int round = std::atoi(level.c_str()) - 10;
  return level == "80" || (round >= 0 && round % 2 == 0);
}
bool TextFromAnOkRound(const std::string& text) {
  if (text == zunktest::Cp1251("РЕКЛАМА"))
    return true;
  const int round = std::atoi(text.c_str() + (text.size() > 3 ? 3 : text.size()));
  return round % 2 == 0 && text == "Ok " + std::to_string(round);
}

TEST(DialogStress, OpenEditCloseWhileFramesFlowAndChannelsChange) {
  const std::string logo = zunktest::WriteTemplate("stress.bmp", kLogoW, kLogoH, RGB(0xFF, 0, 0));
  Watchdog dog;  // outlives the module, so that its unloading is watched too
  DialogHost host(ChannelSection(1, WithTemplate(logo)) + ChannelSection(2, WithTemplate(logo)), 0);
  ASSERT_NE(host.hostWindow, nullptr);
  Video video;
  video.Begin(&host, &dog);
  Pump(&host, &dog, 300, "waiting for the first frames");

  constexpr int kRounds = 40;
  int okRounds = 0, cancelRounds = 0;
  std::set<std::string> labels;  // the channels the open dialog showed
  for (int round = 0; round < kRounds; ++round) {
    dog.Step("Configure");
    host.Configure();
    ASSERT_TRUE(PumpUntil(&host, &dog, "waiting for the window",
                          [&] { return host.Window() && !host.Text(IDC_CHANNEL_NAME).empty(); }))
        << "round " << round;
    HWND dlg = host.Window();
    const bool ok = round % 2 == 0;
    const std::string text = (ok ? "Ok " : "Cancel ") + std::to_string(round);
    dog.Step("editing the detection level");
    SetText(host.Item(IDC_DETECT_LEVEL), std::to_string(10 + round));
    Pump(&host, &dog, 40, "pumping after an edit");
    dog.Step("editing the message text");
    SetText(host.Item(IDC_MSG_STRING), text);
    dog.Step("ticking the logo box");
    SendMessageA(host.Item(IDC_SHOW_LOGO), BM_CLICK, 0, 0);
    Pump(&host, &dog, 40, "pumping after a tick");
    if (round % 3 == 0) {
      dog.Step("ticking the test box");
      SendMessageA(host.Item(IDC_TEST), BM_CLICK, 0, 0);
    }
    labels.insert(host.Text(IDC_CHANNEL_NAME));
    dog.Step("clicking a pad corner");
    SendMessageA(host.Item(kCorners[round % 4]), BM_CLICK, 0, 0);
    PostMessageA(dlg, zunk::kRefreshMessage, 0, 0);
    Pump(&host, &dog, 60, "pumping after the pad");
    for (const zunktest::SeenBox& box : host.boxes->Take())
      ADD_FAILURE() << "round " << round << ": a box \"" << box.title
                    << "\": " << (box.texts.empty() ? std::string() : box.texts.back());
    if (ok) {
      dog.Step("OK");
      SendMessageA(host.Item(IDC_OK_BUTTON), BM_CLICK, 0, 0);
      ++okRounds;
    } else if (round % 4 == 1) {
      dog.Step("Cancel");
      SendMessageA(host.Item(IDC_CANCEL_BUTTON), BM_CLICK, 0, 0);
      ++cancelRounds;
    } else {
      dog.Step("the close box");
      PostMessageA(dlg, WM_SYSCOMMAND, SC_CLOSE, 0);
      ++cancelRounds;
    }
    ASSERT_TRUE(PumpUntil(&host, &dog, "waiting for the window to go",
                          [&] { return host.Window() == nullptr; }))
        << "round " << round;
    EXPECT_FALSE(IsWindow(dlg));
    EXPECT_EQ(UnloadedCodeFaults::count, 0) << "the module's code ran after it was unloaded";
    Pump(&host, &dog, 20, "between rounds");
  }

  // The last two rounds on one channel, so that their outcome is known: an OK, then a
  // Cancel whose edits must not survive.
  video.held = 0;
  ASSERT_TRUE(
      PumpUntil(&host, &dog, "waiting for channel one", [&] { return video.current == 0; }));
  Pump(&host, &dog, 100, "frames of channel one");
  const int corner[2] = {IDC_CORNER_BOTTOM_RIGHT, IDC_CORNER_TOP_LEFT};
  for (int last = 0; last < 2; ++last) {
    dog.Step("Configure");
    host.Configure();
    ASSERT_TRUE(PumpUntil(&host, &dog, "waiting for channel one's label",
                          [&] { return host.Window() && host.Text(IDC_CHANNEL_NAME) == "One"; }));
    SetText(host.Item(IDC_DETECT_LEVEL), last == 0 ? "41" : "77");
    SetText(host.Item(IDC_MSG_STRING), last == 0 ? "Kept" : "Dropped");
    if (host.Checked(IDC_SHOW_LOGO) != (last == 0))
      SendMessageA(host.Item(IDC_SHOW_LOGO), BM_CLICK, 0, 0);
    SendMessageA(host.Item(corner[last]), BM_CLICK, 0, 0);
    Pump(&host, &dog, 60, "pumping after the last edits");
    SendMessageA(host.Item(last == 0 ? IDC_OK_BUTTON : IDC_CANCEL_BUTTON), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil(&host, &dog, "waiting for the window to go",
                          [&] { return host.Window() == nullptr; }));
  }

  const long frames = dog.frames;
  video.End();
  dog.Step("Stop and Exit");
  const std::string ini = host.ExitAndReadSettings();
  dog.Step("done");
  std::printf("[  STRESS  ] %d rounds (%d OK, %d cancelled), %ld frames\n", kRounds + 2,
              okRounds + 1, cancelRounds + 1, frames);

  EXPECT_EQ(IniValue(ini, "1", "LogoDetectLevel"), "41");
  EXPECT_EQ(IniValue(ini, "1", "MsgString"), "Kept");
  EXPECT_EQ(IniValue(ini, "1", "ShowLogo"), "1");
  EXPECT_EQ(IniValue(ini, "1", "LogoPosX"), std::to_string(kWidth - kLogoW));
  EXPECT_EQ(IniValue(ini, "1", "LogoPosY"), std::to_string(kHeight - kLogoH));
  EXPECT_EQ(IniValue(ini, "1", "LogoFileName"), logo);
  // The other channel holds values of OK rounds or its own, never a cancelled round's and
  // never a torn text.
  EXPECT_TRUE(LevelFromAnOkRound(IniValue(ini, "2", "LogoDetectLevel")))
      << IniValue(ini, "2", "LogoDetectLevel");
  EXPECT_TRUE(TextFromAnOkRound(IniValue(ini, "2", "MsgString")))
      << IniValue(ini, "2", "MsgString");
  EXPECT_EQ(IniValue(ini, "2", "LogoFileName"), logo);
  EXPECT_GT(frames, 500);
  EXPECT_EQ(labels, (std::set<std::string>{"One", "Two"})) << "channels changed under the dialog";
}

// The host closes with the settings window up: the stream stops, then Exit, from the
// dialog's own thread, from another while the dialog's thread keeps pumping, or from
// another while the dialog's thread waits for it and then unloads the module at once. The
// edits are kept as "ОК" would keep them, the window's position is saved, the window is
// gone, and nothing of the module runs after it is unloaded.
void ExitWithTheDialogOpen(DialogHost::ExitFrom from) {
  const std::string logo = zunktest::WriteTemplate("exit.bmp", kLogoW, kLogoH, RGB(0, 0, 0xFF));
  HWND dlg = nullptr;
  RECT where = {};
  std::string ini;
  Watchdog dog;
  std::unique_ptr<UnloadedCodeFaults> faults;
  {
    DialogHost host(ChannelSection(1, WithTemplate(logo)), 0);
    faults.reset(new UnloadedCodeFaults(GetModuleHandleA(ZUNK_DLL_PATH)));
    Video video;
    video.held = 0;
    video.Begin(&host, &dog);
    host.Configure();
    ASSERT_TRUE(PumpUntil(&host, &dog, "waiting for the window",
                          [&] { return host.Window() && host.Text(IDC_CHANNEL_NAME) == "One"; }));
    dlg = host.Window();
    SetText(host.Item(IDC_DETECT_LEVEL), "55");
    SetText(host.Item(IDC_MSG_STRING), "Bye");
    SendMessageA(host.Item(IDC_SHOW_LOGO), BM_CLICK, 0, 0);
    SendMessageA(host.Item(IDC_CORNER_TOP_RIGHT), BM_CLICK, 0, 0);
    SetWindowPos(dlg, nullptr, 123, 87, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Pump(&host, &dog, 200, "frames with the dialog open");
    ASSERT_TRUE(GetWindowRect(dlg, &where));
    EXPECT_TRUE(host.boxes->Take().empty());

    video.End();
    dog.Step("Stop and Exit with the dialog open");
    ini = host.ExitAndReadSettings(from);
    dog.Step("after Exit");
    if (from != DialogHost::ExitFrom::kOtherThreadWaiting) {
      EXPECT_FALSE(IsWindow(dlg)) << "Exit destroys the dialog's window";
      EXPECT_EQ(host.Window(), nullptr);
    }
    dog.Step("unloading the module");
  }  // the module is unloaded here, then the host's messages are pumped
  dog.Step("pumping after the unload");
  // Whatever the module left in this thread's queue or hooked into it is gone with it.
  MSG msg;
  for (int i = 0; i < 20; ++i) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(10);
  }
  EXPECT_FALSE(IsWindow(dlg));
  EXPECT_EQ(UnloadedCodeFaults::count, 0) << "the module's code ran after it was unloaded";

  EXPECT_EQ(IniValue(ini, "COMMON", "DlgWndPosX"), std::to_string(where.left));
  EXPECT_EQ(IniValue(ini, "COMMON", "DlgWndPosY"), std::to_string(where.top));
  EXPECT_EQ(IniValue(ini, "1", "LogoDetectLevel"), "55");
  EXPECT_EQ(IniValue(ini, "1", "MsgString"), "Bye");
  EXPECT_EQ(IniValue(ini, "1", "ShowLogo"), "0");
  EXPECT_EQ(IniValue(ini, "1", "LogoPosX"), std::to_string(kWidth - kLogoW));
  EXPECT_EQ(IniValue(ini, "1", "LogoPosY"), "0");
}

TEST(DialogStress, ExitWithTheDialogOpenKeepsItsEditsAndTheModuleUnloads) {
  ExitWithTheDialogOpen(DialogHost::ExitFrom::kThisThread);
}

TEST(DialogStress, ExitFromAnotherThreadWithTheDialogOpen) {
  ExitWithTheDialogOpen(DialogHost::ExitFrom::kOtherThreadPumping);
}

// The dialog's thread cannot be asked to destroy its window: Exit gives up waiting for
// it, and the module is unloaded while its window still exists. Last in this program:
// the module stays loaded afterwards.
TEST(DialogStress, ExitFromAnotherThreadWhileTheDialogsThreadWaits) {
  ExitWithTheDialogOpen(DialogHost::ExitFrom::kOtherThreadWaiting);
}

}  // namespace
