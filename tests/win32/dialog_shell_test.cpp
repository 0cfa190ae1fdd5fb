// The settings dialog's shell as a host meets it while frames flow: opening at its place,
// the controls set up, one window however often Configure is called, the caption flash,
// Escape, closing and what closing clears, the about box, the tooltips through the mouse
// hook, and many openings without a leak.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog/resource_ids.h"
#include "dialog_harness.h"

namespace {

using zunktest::Cp1251;
using zunktest::DialogHost;
using zunktest::IniValue;
using zunktest::MoveMouseTo;

std::string Common(int x, int y) {
  return "[COMMON]\r\nDlgWndPosX=" + std::to_string(x) + "\r\nDlgWndPosY=" + std::to_string(y) +
         "\r\n";
}

RECT WindowRectOf(HWND w) {
  RECT r = {};
  GetWindowRect(w, &r);
  return r;
}

std::string ListItem(HWND list, int i) {
  char buf[256] = "";
  SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buf));
  return buf;
}

TEST(DialogShell, OpensCentredOnTheHostWithItsControlsSetUp) {
  DialogHost host(zunktest::ChannelSection(1));
  ASSERT_TRUE(host.WaitFrames(3));
  host.Configure();
  HWND dlg = host.Window();
  ASSERT_NE(dlg, nullptr);
  EXPECT_TRUE(IsWindowVisible(dlg));
  EXPECT_EQ(GetWindow(dlg, GW_OWNER), host.hostWindow);
  EXPECT_TRUE(GetWindowLongA(dlg, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);

  // No stored position: centred on the host's window (100, 100, 700, 500).
  const RECT d = WindowRectOf(dlg);
  const int width = d.right - d.left;
  const int height = d.bottom - d.top;
  EXPECT_EQ(d.left, 400 - width / 2);
  EXPECT_EQ(d.top, 300 - height / 2);

  EXPECT_TRUE(host.WaitForChannelLabel("One"));

  const char* preview[] = {"Нет",
                           "Громкость -20%",
                           "Громкость -40%",
                           "Громкость -60%",
                           "Громкость -80%",
                           "Громкость -100%"};
  const char* record[] = {"Нет", "Пауза если логотипа нет", "Пауза если логотип есть"};
  ASSERT_EQ(SendMessageA(host.Item(IDC_PREVIEW_ACTION), CB_GETCOUNT, 0, 0), 6);
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(ListItem(host.Item(IDC_PREVIEW_ACTION), i), Cp1251(preview[i])) << i;
  ASSERT_EQ(SendMessageA(host.Item(IDC_RECORD_ACTION), CB_GETCOUNT, 0, 0), 3);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(ListItem(host.Item(IDC_RECORD_ACTION), i), Cp1251(record[i])) << i;

  // The pad's nine buttons in the symbol font.
  for (int id : {IDC_ARROW_LEFT, IDC_ARROW_RIGHT, IDC_ARROW_UP, IDC_ARROW_DOWN, IDC_CENTRE,
                 IDC_CORNER_TOP_LEFT, IDC_CORNER_TOP_RIGHT, IDC_CORNER_BOTTOM_LEFT,
                 IDC_CORNER_BOTTOM_RIGHT}) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(host.Item(id), WM_GETFONT, 0, 0));
    LOGFONTA lf = {};
    ASSERT_TRUE(font && GetObjectA(font, sizeof lf, &lf)) << id;
    EXPECT_STREQ(lf.lfFaceName, "Marlett") << id;
    EXPECT_EQ(lf.lfHeight, 12) << id;
    EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET) << id;
    // The system really has the font: the glyphs are triangles, not digits.
    HDC dc = GetDC(host.Item(id));
    HGDIOBJ old = SelectObject(dc, font);
    char face[LF_FACESIZE] = "";
    GetTextFaceA(dc, sizeof face, face);
    SelectObject(dc, old);
    ReleaseDC(host.Item(id), dc);
    EXPECT_STREQ(face, "Marlett") << id;
  }

  // Each spin bound to its edit with its range; the edits' length limits.
  struct Spin {
    int spin, edit, low, high, limit;
  } const spins[] = {
      {IDC_TOLERANCE_SPIN, IDC_TOLERANCE, 0, 15, 2},
      {IDC_LOGO_TRANSPARENCY_SPIN, IDC_LOGO_TRANSPARENCY, 0, 100, 3},
      {IDC_OFF_SPEED_SPIN, IDC_OFF_SPEED, 1, 100, 3},
      {IDC_ON_SPEED_SPIN, IDC_ON_SPEED, 1, 100, 3},
      {IDC_DETECT_LEVEL_SPIN, IDC_DETECT_LEVEL, 0, 100, 3},
      {IDC_MATCH_LEVEL_SPIN, IDC_MATCH_LEVEL, 0, 100, 3},
      {IDC_MSG_TRANSPARENCY_SPIN, IDC_MSG_TRANSPARENCY, 0, 100, 3},
  };
  for (const Spin& s : spins) {
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(host.Item(s.spin), UDM_GETBUDDY, 0, 0)),
              host.Item(s.edit))
        << s.spin;
    int low = -1, high = -1;
    SendMessageA(host.Item(s.spin), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                 reinterpret_cast<LPARAM>(&high));
    EXPECT_EQ(low, s.low) << s.spin;
    EXPECT_EQ(high, s.high) << s.spin;
    EXPECT_EQ(SendMessageA(host.Item(s.edit), EM_GETLIMITTEXT, 0, 0), s.limit) << s.edit;
  }
  EXPECT_EQ(SendMessageA(host.Item(IDC_MSG_STRING), EM_GETLIMITTEXT, 0, 0), 16);
  EXPECT_TRUE(host.boxes->Take().empty()) << "opening shows no message";

  host.Screenshot("dialog-open");

  SendMessageA(host.Item(IDC_OK_BUTTON), BM_CLICK, 0, 0);
  ASSERT_TRUE(host.WaitClosed());
  const std::string ini = host.ExitAndReadSettings();
  EXPECT_EQ(IniValue(ini, "COMMON", "DlgWndPosX"), std::to_string(d.left));
  EXPECT_EQ(IniValue(ini, "COMMON", "DlgWndPosY"), std::to_string(d.top));
}

// Screen 1280 x 1024; host window (100, 100, 700, 500) unless moved.
struct PlacementCase {
  int storedX, storedY;
  RECT hostRect;
  int expectX, expectY;  // -1: centred on the host
  const char* what;
};

TEST(DialogShell, PlacementFromTheStoredPosition) {
  const RECT normal = {100, 100, 700, 500};
  const PlacementCase cases[] = {
      {-100, -100, normal, -1, -1, "nothing stored"},
      {1280, 10, normal, -1, -1, "right of the screen"},
      {10, 1024, normal, -1, -1, "below the screen"},
      {-30, 50, normal, -30, 50, "partly off the left edge, used as stored"},
      {-100, 40, normal, -100, 40, "one of the pair is not enough to centre"},
      {-100, -100, {1000, 800, 1600, 1200}, -2, -2, "centred, then kept on the screen"},
      {-100, -100, {-900, -700, -300, -300}, 0, 0, "centred, then kept at the origin"},
  };
  for (const PlacementCase& c : cases) {
    SCOPED_TRACE(c.what);
    DialogHost host(Common(c.storedX, c.storedY) + zunktest::ChannelSection(1));
    SetWindowPos(host.hostWindow, nullptr, c.hostRect.left, c.hostRect.top,
                 c.hostRect.right - c.hostRect.left, c.hostRect.bottom - c.hostRect.top,
                 SWP_NOZORDER);
    host.Configure();
    HWND dlg = host.Window();
    ASSERT_NE(dlg, nullptr);
    const RECT d = WindowRectOf(dlg);
    const int w = d.right - d.left;
    const int h = d.bottom - d.top;
    int x = c.expectX, y = c.expectY;
    if (x == -1) {
      x = (c.hostRect.left + c.hostRect.right) / 2 - w / 2;
      y = (c.hostRect.top + c.hostRect.bottom) / 2 - h / 2;
    } else if (x == -2) {
      x = 1280 - w;
      y = 1024 - h;
    }
    EXPECT_EQ(d.left, x);
    EXPECT_EQ(d.top, y);
    SendMessageA(dlg, WM_CLOSE, 0, 0);
    ASSERT_TRUE(host.WaitClosed());
    const std::string ini = host.ExitAndReadSettings();
    EXPECT_EQ(IniValue(ini, "COMMON", "DlgWndPosX"), std::to_string(x));
    EXPECT_EQ(IniValue(ini, "COMMON", "DlgWndPosY"), std::to_string(y));
  }
}

BOOL CALLBACK CountDialogs(HWND w, LPARAM p) {
  char cls[32] = "";
  GetClassNameA(w, cls, sizeof cls);
  if (std::string(cls) == "#32770")
    ++*reinterpret_cast<int*>(p);
  return TRUE;
}

// What FlashWindow does to the caption is seen as the non-client activation messages.
std::vector<WPARAM> captionStates;
HWND watchedDialog = nullptr;
LRESULT CALLBACK WatchCaption(int code, WPARAM wParam, LPARAM lParam) {
  const auto* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code >= 0 && m->hwnd == watchedDialog && m->message == WM_NCACTIVATE)
    captionStates.push_back(m->wParam);
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(DialogShell, SecondConfigureFocusesAndFlashesWithoutASecondWindow) {
  DialogHost host(zunktest::ChannelSection(1));
  host.Configure();
  HWND dlg = host.Window();
  ASSERT_NE(dlg, nullptr);
  host.Pump(100);
  SetFocus(host.hostWindow);
  watchedDialog = dlg;
  captionStates.clear();
  HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchCaption, nullptr, GetCurrentThreadId());

  host.Configure();
  host.Pump(800);  // four inversions 80 ms apart, and the timer's end
  const size_t afterFlash = captionStates.size();
  host.Pump(300);
  UnhookWindowsHookEx(hook);

  EXPECT_EQ(host.Window(), dlg);
  int dialogs = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountDialogs, reinterpret_cast<LPARAM>(&dialogs));
  EXPECT_EQ(dialogs, 1);
  HWND focus = GetFocus();
  EXPECT_TRUE(focus == dlg || IsChild(dlg, focus));

  // The focus may activate the caption first; the flash is the last four states, each
  // the inverse of the one before, so that the caption ends as it was.
  ASSERT_GE(captionStates.size(), 4u);
  EXPECT_LE(captionStates.size(), 5u);
  EXPECT_EQ(captionStates.size(), afterFlash) << "the flash timer stopped";
  const size_t n = captionStates.size();
  for (size_t i = n - 3; i < n; ++i)
    EXPECT_NE(captionStates[i] != 0, captionStates[i - 1] != 0) << i;
  if (n == 5) {
    EXPECT_EQ(captionStates[4] != 0, captionStates[0] != 0);
  }
}

TEST(DialogShell, EscapeAndTheDialogManagersCommandsDoNothing) {
  DialogHost host(zunktest::ChannelSection(1));
  host.Configure();
  HWND dlg = host.Window();
  ASSERT_NE(dlg, nullptr);
  host.Enable(IDC_LOGO_TRANSPARENCY);
  SetFocus(host.Item(IDC_LOGO_TRANSPARENCY));
  PostMessageA(host.Item(IDC_LOGO_TRANSPARENCY), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  PostMessageA(host.Item(IDC_LOGO_TRANSPARENCY), WM_KEYUP, VK_ESCAPE, 0xC0010001);
  host.Pump(100);
  EXPECT_EQ(host.Window(), dlg) << "Escape";
  SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  host.Pump(100);
  EXPECT_EQ(host.Window(), dlg) << "IDOK and IDCANCEL";

  // The close box closes.
  SendMessageA(dlg, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(host.WaitClosed());
}

TEST(DialogShell, ClosingClearsTheTestMode) {
  DialogHost host(zunktest::ChannelSection(1));
  for (int closing = 0; closing < 3; ++closing) {
    host.Configure();
    ASSERT_NE(host.Window(), nullptr);
    EXPECT_FALSE(host.Checked(IDC_TEST)) << closing;
    host.Enable(IDC_TEST);
    SendMessageA(host.Item(IDC_TEST), BM_CLICK, 0, 0);
    EXPECT_TRUE(host.Checked(IDC_TEST));
    if (closing == 0)
      SendMessageA(host.Item(IDC_OK_BUTTON), BM_CLICK, 0, 0);
    else if (closing == 1)
      SendMessageA(host.Item(IDC_CANCEL_BUTTON), BM_CLICK, 0, 0);
    else
      SendMessageA(host.Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(host.WaitClosed());
  }
}

TEST(DialogShell, AboutBoxIsModalAndClosesWithItsButton) {
  DialogHost host(zunktest::ChannelSection(1));
  host.Configure();
  HWND dlg = host.Window();
  ASSERT_NE(dlg, nullptr);
  host.boxes->ShootNext("about-box");
  SendMessageA(host.Item(IDC_ABOUT_BUTTON), BM_CLICK, 0, 0);  // returns once it is closed
  std::vector<zunktest::SeenBox> seen = host.boxes->Take();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].title, "");
  EXPECT_EQ(seen[0].texts, (std::vector<std::string>{Cp1251("Zunk_LogoDetector плагин"), "Ver.1.23",
                                                     Cp1251("Детектирование логотипа в кадре")}));
  EXPECT_EQ(host.Window(), dlg);
  EXPECT_TRUE(IsWindowEnabled(dlg)) << "enabled again behind the closed box";

  // Its picture goes with it.
  const int gdi = zunktest::CountGdiObjects();
  for (int i = 0; i < 3; ++i)
    SendMessageA(host.Item(IDC_ABOUT_BUTTON), BM_CLICK, 0, 0);
  EXPECT_EQ(host.boxes->Take().size(), 3u);
  EXPECT_EQ(zunktest::CountGdiObjects(), gdi);
}

struct FindTip {
  HWND owner, found;
};

BOOL CALLBACK FindTipProc(HWND w, LPARAM p) {
  auto* f = reinterpret_cast<FindTip*>(p);
  char cls[64] = "";
  GetClassNameA(w, cls, sizeof cls);
  if (std::string(cls) == TOOLTIPS_CLASSA && GetWindow(w, GW_OWNER) == f->owner)
    f->found = w;
  return TRUE;
}

// A host whose user-interface thread is not the thread that calls Exit.
struct UiThread {
  const zunk::PluginDescriptor* plugin;
  HANDLE opened;
  DWORD id;
};

DWORD WINAPI RunUiThread(void* arg) {
  auto* t = static_cast<UiThread*>(arg);
  HWND owner = CreateWindowExA(0, "STATIC", "UI host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50,
                               400, 300, nullptr, nullptr, nullptr, nullptr);
  t->plugin->Configure(&owner);
  SetEvent(t->opened);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  DestroyWindow(owner);
  return 0;
}

HWND FindSettingsDialog() {
  return FindWindowA("#32770", Cp1251("Zunk_LogoDetector плагин").c_str());
}

TEST(DialogShell, ConfigureAndExitFromAnotherThreadWorkOnTheDialogsThread) {
  DialogHost host(zunktest::ChannelSection(1));
  UiThread ui = {&host.Plugin(), CreateEventA(nullptr, TRUE, FALSE, nullptr), 0};
  HANDLE thread = CreateThread(nullptr, 0, RunUiThread, &ui, 0, &ui.id);
  ASSERT_EQ(WaitForSingleObject(ui.opened, 10000), WAIT_OBJECT_0);
  HWND dlg = FindSettingsDialog();
  ASSERT_NE(dlg, nullptr);
  EXPECT_EQ(GetWindowThreadProcessId(dlg, nullptr), ui.id);

  host.Configure();  // from this thread: the open dialog is only brought forward
  Sleep(200);
  EXPECT_EQ(FindSettingsDialog(), dlg);
  EXPECT_EQ(FindWindowExA(nullptr, dlg, "#32770", Cp1251("Zunk_LogoDetector плагин").c_str()),
            nullptr)
      << "a second window";

  RECT r;
  GetWindowRect(dlg, &r);
  const std::string ini = host.ExitAndReadSettings();
  EXPECT_FALSE(IsWindow(dlg)) << "Exit returns once the window is gone";
  EXPECT_EQ(IniValue(ini, "COMMON", "DlgWndPosX"), std::to_string(r.left));
  EXPECT_EQ(IniValue(ini, "COMMON", "DlgWndPosY"), std::to_string(r.top));

  PostThreadMessageA(ui.id, WM_QUIT, 0, 0);
  EXPECT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
  CloseHandle(thread);
  CloseHandle(ui.opened);
}

HWND FindTooltip(HWND dlg) {
  FindTip f = {dlg, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), FindTipProc, reinterpret_cast<LPARAM>(&f));
  return f.found;
}

TEST(DialogShell, TooltipsShowEachToolsTextThroughTheMouseHook) {
  DialogHost host(zunktest::ChannelSection(1));
  host.Configure();
  HWND dlg = host.Window();
  ASSERT_NE(dlg, nullptr);
  HWND tip = FindTooltip(dlg);
  ASSERT_NE(tip, nullptr);
  EXPECT_TRUE(GetWindowLongA(tip, GWL_STYLE) & TTS_ALWAYSTIP);
  EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 9);

  const struct {
    int id;
    const char* text;
  } tools[] = {
      {IDC_PREVIEW, "Шаблон логотипа"},
      {IDC_LEFT_TOP_PIXEL, "Цвет левого верхнего пиксела шаблона логотипа"},
      {IDC_CHOOSE_COLOR_KEY, "Выбрать цвет маски логотипа"},
      {IDC_CHOOSE_TEMPLATE, "Выбрать шаблон логотипа"},
      {IDC_MATCH_BAR, "Индикатор соответствия логотипов"},
      {IDC_DETECTION_BAR, "Уровень детектирования"},
      {IDC_PREVIEW_ACTION, "Действие на исчезновение логотипа при просмотре"},
      {IDC_RECORD_ACTION, "Действие на исчезновение логотипа при записи"},
      {IDC_TEST, "Имитация пропадания логотипа"},
  };
  for (const auto& t : tools) {
    SCOPED_TRACE(t.id);
    HWND control = host.Item(t.id);
    host.Enable(t.id);  // disabled controls take no mouse messages
    // The tool is the control's window, and the tooltip does not subclass it.
    TOOLINFOA info = {};
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.hwnd = dlg;
    info.uId = reinterpret_cast<UINT_PTR>(control);
    ASSERT_TRUE(SendMessageA(tip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&info)));
    EXPECT_TRUE(info.uFlags & TTF_IDISHWND);
    EXPECT_FALSE(info.uFlags & TTF_SUBCLASS);

    // Away from every tool first, then onto the control's centre.
    MoveMouseTo(1270, 1010);
    host.Pump(50);
    RECT r = WindowRectOf(control);
    MoveMouseTo((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    bool shown = host.PumpUntil(
        [&] {
          TOOLINFOA current = {};
          current.cbSize = TTTOOLINFOA_V2_SIZE;
          return IsWindowVisible(tip) &&
                 SendMessageA(tip, TTM_GETCURRENTTOOLA, 0, reinterpret_cast<LPARAM>(&current)) &&
                 current.uId == reinterpret_cast<UINT_PTR>(control);
        },
        5000);
    EXPECT_TRUE(shown);
    char text[256] = "";
    TOOLINFOA current = {};
    current.cbSize = TTTOOLINFOA_V2_SIZE;
    current.hwnd = dlg;
    current.uId = reinterpret_cast<UINT_PTR>(control);
    current.lpszText = text;
    SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&current));
    EXPECT_EQ(std::string(text), Cp1251(t.text));
    if (t.id == IDC_PREVIEW)
      host.Screenshot("dialog-tooltip", true);
  }
  MoveMouseTo(1270, 1010);
}

int CountWindows(HWND parent) {
  int n = 0;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    n += 1 + CountWindows(c);
  return n;
}

BOOL CALLBACK CountTree(HWND w, LPARAM p) {
  *reinterpret_cast<int*>(p) += 1 + CountWindows(w);
  return TRUE;
}

int ThreadWindows() {
  int n = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountTree, reinterpret_cast<LPARAM>(&n));
  return n;
}

TEST(DialogShell, OpenAndClose50TimesWhileFramesFlowAndChannelsChange) {
  int gdiAfterFirst = 0;
  int windowsAfterFirst = 0;
  {
    DialogHost host(zunktest::ChannelSection(1) + zunktest::ChannelSection(2));
    for (int round = 0; round < 50; ++round) {
      host.Configure();
      HWND dlg = host.Window();
      ASSERT_NE(dlg, nullptr) << round;
      ASSERT_TRUE(host.WaitFrames(2));
      host.SetChannel(round % 2 ? 1 : 2, round % 2 ? "One" : "Two");
      ASSERT_TRUE(host.WaitFrames(2));
      host.Pump(5);
      switch (round % 3) {
        case 0:
          SendMessageA(host.Item(IDC_OK_BUTTON), BM_CLICK, 0, 0);
          break;
        case 1:
          SendMessageA(host.Item(IDC_CANCEL_BUTTON), BM_CLICK, 0, 0);
          break;
        default:
          SendMessageA(dlg, WM_CLOSE, 0, 0);
      }
      ASSERT_TRUE(host.WaitClosed()) << round;
      if (round == 0) {
        gdiAfterFirst = zunktest::CountGdiObjects();
        windowsAfterFirst = ThreadWindows();
      }
    }
    EXPECT_EQ(zunktest::CountGdiObjects(), gdiAfterFirst);
    EXPECT_EQ(ThreadWindows(), windowsAfterFirst);
    EXPECT_TRUE(host.boxes->Take().empty());
    // The module goes while the dialog is open: Exit closes it first.
    host.Configure();
    ASSERT_NE(host.Window(), nullptr);
  }
  // The module is unloaded: a mouse hook left behind would now run freed code.
  for (int i = 0; i < 5; ++i) {
    MoveMouseTo(300 + i * 40, 300);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
      DispatchMessageA(&msg);
    Sleep(20);
  }
  SUCCEED();
}

}  // namespace
