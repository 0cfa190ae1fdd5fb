// The host's main window: found by class and title, talked to with window messages.
#include <windows.h>

#include "platform/win32/services.h"

namespace zunk {
namespace win32 {

WindowHandle FindWindowByClass(const char* className, const char* title) {
  return reinterpret_cast<WindowHandle>(FindWindowA(className, title));
}

namespace {
// The longest wait for the host's answer. The host answers its queries at once; a longer
// silence means its thread is busy, perhaps waiting for the caller's.
constexpr UINT kAnswerWaitMs = 2000;
}  // namespace

int SendToWindow(WindowHandle w,
                 uint32_t msg,
                 uintptr_t wParam,
                 intptr_t lParam,
                 intptr_t* answer) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(reinterpret_cast<HWND>(w), msg, wParam, lParam,
                           SMTO_NORMAL | SMTO_ABORTIFHUNG, kAnswerWaitMs, &result))
    return 0;
  *answer = static_cast<intptr_t>(result);
  return 1;
}

int PostToWindow(WindowHandle w, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  return PostMessageA(reinterpret_cast<HWND>(w), msg, wParam, lParam) ? 1 : 0;
}

}  // namespace win32
}  // namespace zunk
