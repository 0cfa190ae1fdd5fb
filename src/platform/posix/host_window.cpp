// The host's main window on POSIX: the host process (zunk-host or a test) exports
// ZunkHostFindWindow, ZunkHostSendMessage and ZunkHostPostMessage; without them there
// is no host window.
#include <dlfcn.h>

#include "platform/posix/services.h"

namespace zunk {
namespace posix {
namespace {

typedef WindowHandle (*FindFn)(const char*, const char*);
typedef intptr_t (*SendFn)(WindowHandle, uint32_t, uintptr_t, intptr_t);
typedef int (*PostFn)(WindowHandle, uint32_t, uintptr_t, intptr_t);

template <typename Fn>
Fn HostSymbol(const char* name) {
  return reinterpret_cast<Fn>(dlsym(RTLD_DEFAULT, name));
}

}  // namespace

WindowHandle FindWindowByClass(const char* className, const char* title) {
  FindFn f = HostSymbol<FindFn>("ZunkHostFindWindow");
  return f ? f(className, title) : 0;
}

int SendToWindow(WindowHandle w,
                 uint32_t msg,
                 uintptr_t wParam,
                 intptr_t lParam,
                 intptr_t* answer) {
  SendFn f = HostSymbol<SendFn>("ZunkHostSendMessage");
  if (!f || !w)
    return 0;
  *answer = f(w, msg, wParam, lParam);
  return 1;
}

int PostToWindow(WindowHandle w, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  PostFn f = HostSymbol<PostFn>("ZunkHostPostMessage");
  return (f && w) ? f(w, msg, wParam, lParam) : 0;
}

}  // namespace posix
}  // namespace zunk
