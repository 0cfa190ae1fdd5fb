// The host's main window on Windows: a real top-level window of class "TMain". Its
// window procedure answers the plug-in's commands; posted ones arrive through the
// message loop run between frames.
#include <windows.h>

#include "session/host_state.h"
#include "session/host_window.h"

namespace zunkhost {
namespace {

HWND window = nullptr;
// Posted messages reach the procedure through DispatchMessage, sent ones directly.
bool dispatching = false;

__attribute__((force_align_arg_pointer)) LRESULT CALLBACK MainWindowProc(HWND hwnd,
                                                                         UINT msg,
                                                                         WPARAM wp,
                                                                         LPARAM lp) {
  if (msg >= WM_USER)
    return HandleHostMessage(msg, wp, lp, dispatching);
  return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

bool CreateHostWindow(const std::string& title) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = MainWindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "TMain";
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  RegisterClassA(&wc);
  window = CreateWindowExA(0, "TMain", title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                           CW_USEDEFAULT, 320, 200, nullptr, nullptr, wc.hInstance, nullptr);
  return window != nullptr;
}

void PumpHostMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    dispatching = msg.hwnd == window && msg.message >= WM_USER;
    DispatchMessageA(&msg);
    dispatching = false;
  }
}

void DestroyHostWindow() {
  PumpHostMessages();
  if (window)
    DestroyWindow(window);
  window = nullptr;
}

}  // namespace zunkhost
