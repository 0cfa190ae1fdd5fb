// The host's main window: found by class and title, talked to with window messages.
#include <windows.h>

#include "platform/win32/services.h"

namespace zunk {
namespace win32 {

WindowHandle FindWindowByClass(const char* className, const char* title) {
  return reinterpret_cast<WindowHandle>(FindWindowA(className, title));
}

intptr_t SendToWindow(WindowHandle w, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  return SendMessageA(reinterpret_cast<HWND>(w), msg, wParam, lParam);
}

int PostToWindow(WindowHandle w, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  return PostMessageA(reinterpret_cast<HWND>(w), msg, wParam, lParam) ? 1 : 0;
}

}  // namespace win32
}  // namespace zunk
