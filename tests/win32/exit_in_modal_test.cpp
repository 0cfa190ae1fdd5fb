// A host that closes while the settings dialog shows a box of its own: a number out of
// range, the about box, a colour or a template chooser. The box's message loop runs
// inside the dialog's code and hands the host's window its messages; the host calls Exit
// there and frees the module, and the dialog's code must still be there to return to.
// Each case runs in this one process, so later cases also load a module kept loaded.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "dialog/resource_ids.h"
#include "host_harness.h"

namespace {

using zunktest::LoadedPlugin;
using zunktest::ReadSettings;
using zunktest::WriteSettings;

constexpr UINT kCloseNow = WM_APP + 7;

int32_t __cdecl KeepEveryChannel(int64_t) {
  return 1;
}

// What the host's window does on kCloseNow: Exit, then the module goes.
struct ClosingHost {
  const zunk::PluginDescriptor* plugin = nullptr;
  HMODULE module = nullptr;
  bool closed = false;
  bool dialogGoneAtExit = false;
};
ClosingHost* closing = nullptr;
HWND dialogWindow = nullptr;

LRESULT CALLBACK HostProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kCloseNow && closing && !closing->closed) {
    closing->closed = true;
    closing->plugin->Exit();
    closing->dialogGoneAtExit = !IsWindow(dialogWindow);
    FreeLibrary(closing->module);
    return 0;
  }
  return DefWindowProcA(w, message, wParam, lParam);
}

HWND CreateHostWindow() {
  WNDCLASSA c = {};
  c.lpfnWndProc = HostProc;
  c.hInstance = GetModuleHandleA(nullptr);
  c.lpszClassName = "ZunkClosingHost";
  RegisterClassA(&c);
  return CreateWindowA("ZunkClosingHost", "host", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                       nullptr, c.hInstance, nullptr);
}

BOOL CALLBACK FindSettingsDialog(HWND w, LPARAM found) {
  if (IsWindowVisible(w) && GetDlgItem(w, IDC_TOLERANCE)) {
    *reinterpret_cast<HWND*>(found) = w;
    return FALSE;
  }
  return TRUE;
}

void PumpMessages() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
    DispatchMessageA(&m);
}

void Click(HWND dlg, int id) {
  SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
}

// Opens the dialog on a channel with a profile, has the host close from inside the box
// `openBox` opens, and checks what is left afterwards.
void CloseWhileABoxIsOpen(void (*openBox)(HWND dlg)) {
  WriteSettings("");
  HWND host = CreateHostWindow();
  ASSERT_TRUE(host);
  LoadedPlugin p;
  ASSERT_TRUE(p.Load());
  const zunk::PluginDescriptor* d = p.descriptor();
  zunk::InitInfo init = {0, &KeepEveryChannel};
  d->Init(&init);
  zunk::StreamFormat format = {};
  format.width = 320;
  format.height = 240;
  d->Start(&format);
  std::string pixels(320 * 240 * 2, '\x80');
  zunk::ChannelInfo channel = {};
  channel.keyLow = 31;
  std::strcpy(channel.name, "Test");
  zunk::FrameInfo frame = {};
  frame.pixels = reinterpret_cast<uint8_t*>(&pixels[0]);
  frame.channel = &channel;
  d->ProcessFrame(&frame);
  d->Configure(&host);
  PumpMessages();
  dialogWindow = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindSettingsDialog,
                    reinterpret_cast<LPARAM>(&dialogWindow));
  ASSERT_TRUE(dialogWindow) << "the dialog did not open";

  ClosingHost state;
  state.plugin = d;
  state.module = p.module;
  closing = &state;
  // The box's loop takes this from the queue once it runs.
  PostMessageA(host, kCloseNow, 0, 0);
  openBox(dialogWindow);
  closing = nullptr;

  EXPECT_TRUE(state.closed) << "the box never ran a message loop";
  EXPECT_TRUE(state.dialogGoneAtExit) << "the dialog outlived Exit";
  EXPECT_FALSE(IsWindow(dialogWindow));
  EXPECT_NE(ReadSettings().find("[31]\r\n"), std::string::npos) << "Exit saved nothing";
  PumpMessages();  // messages left for the module's windows find nothing of it gone
  DestroyWindow(host);
}

TEST(ExitInModal, NumberOutOfRangeBox) {
  CloseWhileABoxIsOpen([](HWND dlg) { SetDlgItemTextA(dlg, IDC_TOLERANCE, "99"); });
}

TEST(ExitInModal, AboutBox) {
  CloseWhileABoxIsOpen([](HWND dlg) { Click(dlg, IDC_ABOUT_BUTTON); });
}

TEST(ExitInModal, ColourChooser) {
  CloseWhileABoxIsOpen([](HWND dlg) { Click(dlg, IDC_MSG_BACK_COLOR); });
}

TEST(ExitInModal, TemplateChooser) {
  CloseWhileABoxIsOpen([](HWND dlg) { Click(dlg, IDC_CHOOSE_TEMPLATE); });
}

// The dialog lives on a thread of its own, which shows the about box; the host's thread
// calls Exit and frees the module meanwhile, and the box's thread returns from it after.
struct DialogThread {
  const zunk::PluginDescriptor* plugin = nullptr;
  HANDLE opened = nullptr;
  HWND dialog = nullptr;
  DWORD id = 0;
};

DWORD WINAPI RunDialogThread(void* arg) {
  auto* t = static_cast<DialogThread*>(arg);
  t->plugin->Configure(nullptr);
  PumpMessages();
  EnumThreadWindows(GetCurrentThreadId(), FindSettingsDialog,
                    reinterpret_cast<LPARAM>(&t->dialog));
  SetEvent(t->opened);
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  return 0;
}

BOOL CALLBACK CountShown(HWND w, LPARAM count) {
  if (IsWindowVisible(w))
    ++*reinterpret_cast<int*>(count);
  return TRUE;
}

TEST(ExitInModal, AboutBoxOnTheDialogsOwnThread) {
  WriteSettings("");
  LoadedPlugin p;
  ASSERT_TRUE(p.Load());
  const zunk::PluginDescriptor* d = p.descriptor();
  zunk::InitInfo init = {0, &KeepEveryChannel};
  d->Init(&init);
  DialogThread t;
  t.plugin = d;
  t.opened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE thread = CreateThread(nullptr, 0, RunDialogThread, &t, 0, &t.id);
  ASSERT_EQ(WaitForSingleObject(t.opened, 20000), WAIT_OBJECT_0);
  ASSERT_TRUE(t.dialog) << "the dialog did not open";
  PostMessageA(t.dialog, WM_COMMAND, MAKEWPARAM(IDC_ABOUT_BUTTON, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(t.dialog, IDC_ABOUT_BUTTON)));
  int shown = 0;
  for (int i = 0; i < 400 && shown < 2; ++i) {
    Sleep(25);
    shown = 0;
    EnumThreadWindows(t.id, CountShown, reinterpret_cast<LPARAM>(&shown));
  }
  ASSERT_EQ(shown, 2) << "the about box did not open";
  d->Exit();
  EXPECT_FALSE(IsWindow(t.dialog)) << "the dialog outlived Exit";
  p.Unload();
  PostThreadMessageA(t.id, WM_QUIT, 0, 0);
  EXPECT_EQ(WaitForSingleObject(thread, 20000), WAIT_OBJECT_0);
  DWORD code = 1;
  GetExitCodeThread(thread, &code);
  EXPECT_EQ(code, 0u);
  CloseHandle(thread);
  CloseHandle(t.opened);
}

// The module a closed host left loaded still serves the next host that loads it.
TEST(ExitInModal, TheModuleLeftLoadedServesAgain) {
  WriteSettings("[COMMON]\r\n[7]\r\n");
  LoadedPlugin p;
  ASSERT_TRUE(p.Load());
  const zunk::PluginDescriptor* d = p.descriptor();
  zunk::InitInfo init = {0, &KeepEveryChannel};
  d->Init(&init);
  d->Exit();
  p.Unload();
  const std::string saved = ReadSettings();
  EXPECT_NE(saved.find("[7]\r\n"), std::string::npos) << saved;
  EXPECT_EQ(saved.find("[31]"), std::string::npos) << "profiles of the earlier host came back";
}

}  // namespace
