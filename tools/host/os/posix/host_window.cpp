// The host window on POSIX: one emulated window whose class and title the plug-in finds
// through the functions exported below. Posted messages wait for PumpHostMessages, as
// they wait for the message loop of a real host.
#include <cstdint>
#include <cstring>
#include <deque>
#include <string>

#include "session/host_state.h"
#include "session/host_window.h"

namespace {

constexpr uintptr_t kWindow = 0x4C8;  // any nonzero handle
std::string windowTitle;
bool windowExists = false;

struct Posted {
  uint32_t message;
  uintptr_t wParam;
  intptr_t lParam;
};
std::deque<Posted> queue;

}  // namespace

extern "C" __attribute__((visibility("default"))) uintptr_t ZunkHostFindWindow(
    const char* className,
    const char* title) {
  if (!windowExists || !className || !title)
    return 0;
  return (std::strcmp(className, "TMain") == 0 && windowTitle == title) ? kWindow : 0;
}

extern "C" __attribute__((visibility("default"))) intptr_t ZunkHostSendMessage(uintptr_t w,
                                                                               uint32_t message,
                                                                               uintptr_t wParam,
                                                                               intptr_t lParam) {
  if (!windowExists || w != kWindow)
    return 0;
  return zunkhost::HandleHostMessage(message, wParam, lParam, false);
}

extern "C" __attribute__((visibility("default"))) int ZunkHostPostMessage(uintptr_t w,
                                                                          uint32_t message,
                                                                          uintptr_t wParam,
                                                                          intptr_t lParam) {
  if (!windowExists || w != kWindow)
    return 0;
  queue.push_back({message, wParam, lParam});
  return 1;
}

namespace zunkhost {

bool CreateHostWindow(const std::string& title) {
  windowTitle = title;
  windowExists = true;
  return true;
}

void PumpHostMessages() {
  while (!queue.empty()) {
    Posted p = queue.front();
    queue.pop_front();
    HandleHostMessage(p.message, p.wParam, p.lParam, true);
  }
}

void DestroyHostWindow() {
  PumpHostMessages();
  windowExists = false;
}

}  // namespace zunkhost
