// The settings dialog's test host: module, frames, message loop and box watcher.
#include "dialog_harness.h"

#include <commctrl.h>

#include <cstring>

namespace zunktest {

namespace {

const char kDialogClass[] = "#32770";
const char kHostClass[] = "ZunkDialogTestHost";

LRESULT CALLBACK HostProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(w, message, wParam, lParam);
}

HWND MakeHostWindow() {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = HostProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kHostClass;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
  RegisterClassA(&wc);
  HWND w = CreateWindowExA(0, kHostClass, "Host", WS_OVERLAPPEDWINDOW, 100, 100, 600, 400, nullptr,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
  ShowWindow(w, SW_SHOW);
  return w;
}

std::string WindowText(HWND w) {
  char buf[1024] = "";
  GetWindowTextA(w, buf, sizeof buf);
  return buf;
}

std::string ClassOf(HWND w) {
  char buf[64] = "";
  GetClassNameA(w, buf, sizeof buf);
  return buf;
}

struct FindDialog {
  HWND found = nullptr;
  std::string caption;
};

BOOL CALLBACK FindDialogProc(HWND w, LPARAM p) {
  auto* f = reinterpret_cast<FindDialog*>(p);
  if (ClassOf(w) == kDialogClass && WindowText(w) == f->caption && IsWindowVisible(w)) {
    f->found = w;
    return FALSE;
  }
  return TRUE;
}

struct BoxScan {
  HWND settings;
  std::string settingsCaption;
  std::vector<HWND> boxes;
};

// A settings window that appeared after `settings` was looked up is no box either.
BOOL CALLBACK ScanForBoxes(HWND w, LPARAM p) {
  auto* s = reinterpret_cast<BoxScan*>(p);
  if (w != s->settings && ClassOf(w) == kDialogClass && IsWindowVisible(w) && IsWindowEnabled(w) &&
      WindowText(w) != s->settingsCaption)
    s->boxes.push_back(w);
  return TRUE;
}

}  // namespace

std::string Cp1251(const char* utf8) {
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8, -1, &wide[0], n);
  int m = WideCharToMultiByte(1251, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(m), '\0');
  WideCharToMultiByte(1251, 0, wide.c_str(), -1, &out[0], m, nullptr, nullptr);
  out.resize(static_cast<size_t>(m > 0 ? m - 1 : 0));
  return out;
}

std::string IniValue(const std::string& ini, const std::string& section, const std::string& key) {
  size_t at = ini.find("[" + section + "]\r\n");
  if (at == std::string::npos)
    return "<none>";
  size_t end = ini.find("\r\n[", at + 1);
  size_t line = ini.find("\r\n" + key + "=", at);
  if (line == std::string::npos || (end != std::string::npos && line > end))
    return "<none>";
  line += 2 + key.size() + 1;
  return ini.substr(line, ini.find("\r\n", line) - line);
}

std::string ChannelSection(uint32_t key,
                           const std::vector<std::pair<std::string, std::string>>& changes) {
  return "[" + std::to_string(key) + "]\r\n" + ProfileLines(changes);
}

namespace {

// The folder the test script watches, or empty.
std::string ShotsFolder() {
  char buf[MAX_PATH] = "";
  DWORD n = GetEnvironmentVariableA("ZUNK_SCREENSHOT_DIR", buf, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::string(buf) + "\\" : std::string();
}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The screen as the system composes it, as a 24-bit bitmap file.
void SaveScreen(const std::string& path) {
  const int w = GetSystemMetrics(SM_CXSCREEN);
  const int h = GetSystemMetrics(SM_CYSCREEN);
  BITMAPINFOHEADER info = {};
  info.biSize = sizeof info;
  info.biWidth = w;
  info.biHeight = h;
  info.biPlanes = 1;
  info.biBitCount = 24;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP picture = CreateDIBSection(memory, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                     &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, picture);
  BitBlt(memory, 0, 0, w, h, screen, 0, 0, SRCCOPY);
  WriteBitmapFile(path, w, h, bits);
  SelectObject(memory, old);
  DeleteObject(picture);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

// Starts a picture; returns the file that says it was taken, or empty.
std::string RequestShot(const char* name, bool throughGdi) {
  const std::string folder = ShotsFolder();
  if (folder.empty())
    return "";
  const std::string taken = folder + name + ".taken";
  DeleteFileA(taken.c_str());
  if (throughGdi)
    SaveScreen(folder + name + ".bmp");
  HANDLE f = CreateFileA((folder + name + ".ready").c_str(), GENERIC_WRITE, 0, nullptr,
                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE)
    return "";
  CloseHandle(f);
  return taken;
}

}  // namespace

void Screenshot(const char* name, bool throughGdi) {
  const std::string taken = RequestShot(name, throughGdi);
  for (int i = 0; !taken.empty() && i < 3000 && !Exists(taken); ++i)
    Sleep(10);
}

void MoveMouseTo(int x, int y) {
  SetCursorPos(x, y);
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
  in.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
}

void MouseButtonOn(HWND w, bool down) {
  RECT r = {};
  GetWindowRect(w, &r);
  MoveMouseTo((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  SendInput(1, &in, sizeof in);
}

void OpenFileNamed(HWND box, const std::string& name) {
  // The name box is an extended combo box with the edit inside. On a busy machine the box
  // can show before its controls are filled in: wait until the name is really there.
  for (int i = 0; i < 1000 && IsWindow(box); ++i) {
    HWND edit =
        reinterpret_cast<HWND>(SendMessageA(GetDlgItem(box, 0x47C), CBEM_GETEDITCONTROL, 0, 0));
    if (edit) {
      SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
      if (WindowText(edit) == name)
        break;
    }
    Sleep(10);
  }
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
}

// --- BoxWatcher ---------------------------------------------------------------------

BoxWatcher::BoxWatcher(DWORD uiThread, std::function<HWND()> settingsDialog)
    : uiThread_(uiThread), settingsDialog_(std::move(settingsDialog)) {
  thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
}

BoxWatcher::~BoxWatcher() {
  stop_ = true;
  // The watcher may be waiting for a window of this thread to tell its text: only sent
  // messages are answered meanwhile, nothing posted is dispatched.
  while (MsgWaitForMultipleObjects(1, &thread_, FALSE, INFINITE, QS_SENDMESSAGE) != WAIT_OBJECT_0) {
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  CloseHandle(thread_);
}

std::vector<SeenBox> BoxWatcher::Take() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<SeenBox> out;
  out.swap(seen_);
  return out;
}

void BoxWatcher::AnswerNextWith(std::function<void(HWND box)> answer) {
  std::lock_guard<std::mutex> lock(mutex_);
  answer_ = std::move(answer);
}

DWORD WINAPI BoxWatcher::Run(void* self) {
  auto* w = static_cast<BoxWatcher*>(self);
  while (!w->stop_) {
    w->Poll();
    Sleep(10);
  }
  return 0;
}

void BoxWatcher::Poll() {
  BoxScan scan = {settingsDialog_(), Cp1251("Zunk_LogoDetector плагин"), {}};
  EnumThreadWindows(uiThread_, ScanForBoxes, reinterpret_cast<LPARAM>(&scan));
  for (HWND box : scan.boxes) {
    std::function<void(HWND)> answer;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      answer.swap(answer_);
    }
    if (answer) {
      // A box still busy filling itself in may miss the first answer: given again a few
      // times before giving up.
      for (int tries = 0; tries < 4 && IsWindow(box) && IsWindowVisible(box); ++tries) {
        answer(box);
        for (int i = 0; i < 500 && IsWindow(box) && IsWindowVisible(box); ++i)
          Sleep(10);
      }
      // An answer the box did not take: cancelled, so that the test fails instead of
      // waiting for ever.
      if (IsWindow(box) && IsWindowVisible(box))
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, IDCANCEL)));
      continue;
    }
    SeenBox seen;
    seen.title = WindowText(box);
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      std::string t = WindowText(c);
      const LONG kind = GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK;
      if (ClassOf(c) == "Static" && kind != SS_BITMAP && kind != SS_ICON && !t.empty())
        seen.texts.push_back(t);
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      seen_.push_back(seen);
    }
    if (const char* shot = shot_.exchange(nullptr)) {
      Sleep(300);  // let it paint
      zunktest::Screenshot(shot, true);
    }
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    // Wait for it to go, so that it is answered once.
    for (int i = 0; i < 500 && IsWindow(box) && IsWindowVisible(box); ++i)
      Sleep(10);
  }
}

// --- DialogHost ---------------------------------------------------------------------

DialogHost::DialogHost(const std::string& settings, uint32_t key, const char* name)
    : uiThread_(GetCurrentThreadId()) {
  WriteSettings(settings);
  hostWindow = MakeHostWindow();
  if (!plugin_.Load())
    return;
  zunk::InitInfo init = {0, nullptr};
  Plugin().Init(&init);
  zunk::StreamFormat format = {};
  format.width = 768;
  format.height = 576;
  Plugin().Start(&format);
  SetChannel(key, name);
  video_ = CreateThread(nullptr, 0, VideoThread, this, 0, nullptr);
  boxes = new BoxWatcher(GetCurrentThreadId(), [this] { return Window(); });
}

DialogHost::~DialogHost() {
  if (plugin_.module && !exited_)
    ExitAndReadSettings();
  // Unloaded first, as the host does: whatever the watcher is waiting for this thread to
  // answer meets the module gone.
  plugin_.Unload();
  delete boxes;
  DestroyWindow(hostWindow);
  Pump(20);
}

DWORD WINAPI DialogHost::VideoThread(void* self) {
  auto* h = static_cast<DialogHost*>(self);
  std::vector<uint8_t> pixels(768 * 576 * 2, 0x80);
  zunk::FrameInfo frame = {};
  const std::vector<std::vector<uint8_t>>* playing = nullptr;
  long played = 0;
  DWORD start = 0;
  uint32_t size = h->size_;
  while (h->running_) {
    if (h->size_ != size) {
      size = h->size_;
      h->Plugin().Stop();
      zunk::StreamFormat format = {};
      format.width = static_cast<int32_t>(size >> 16);
      format.height = static_cast<int32_t>(size & 0xFFFF);
      h->Plugin().Start(&format);
      pixels.assign(static_cast<size_t>(format.width) * format.height * 2, 0x80);
    }
    const std::vector<std::vector<uint8_t>>* pictures = h->pictures_;
    if (pictures != playing) {
      playing = pictures;
      played = 0;
      start = GetTickCount();
    }
    // The module may draw into the frame: a copy of the picture goes to it.
    if (pictures && !pictures->empty()) {
      const std::vector<uint8_t>& picture =
          (*pictures)[static_cast<size_t>(played / h->hold_) % pictures->size()];
      pixels.assign(picture.begin(), picture.end());
    }
    frame.pixels = pixels.data();
    frame.channel = h->channel_;
    if (frame.channel) {
      h->Plugin().ProcessFrame(&frame);
      ++h->frames_;
    }
    if (!pictures) {
      Sleep(1);
      continue;
    }
    // 25 frames a second from the first frame of these pictures on.
    ++played;
    const LONG wait = static_cast<LONG>(start + static_cast<DWORD>(played * 40) - GetTickCount());
    if (wait > 0)
      Sleep(static_cast<DWORD>(wait));
  }
  return 0;
}

void DialogHost::Play(const std::vector<std::vector<uint8_t>>* pictures, int hold) {
  hold_ = hold < 1 ? 1 : hold;
  pictures_ = pictures;
}

void DialogHost::PlayAtSize(const std::vector<std::vector<uint8_t>>* pictures,
                            int hold,
                            int w,
                            int h) {
  // Grey frames of the old size until the stream has its new size, then the pictures.
  pictures_ = nullptr;
  WaitFrames(2);
  size_ = static_cast<uint32_t>(w) << 16 | static_cast<uint32_t>(h);
  WaitFrames(2);
  Play(pictures, hold);
}

void DialogHost::SetChannel(uint32_t key, const char* name) {
  if (key == 0) {
    channel_ = nullptr;
    return;
  }
  // Records stay alive and unchanged while frames may read them: one per switch.
  channels_.emplace_back();
  zunk::ChannelInfo& c = channels_.back();
  c.keyLow = key;
  std::strncpy(c.name, name, sizeof c.name - 1);
  channel_ = &c;
}

bool DialogHost::WaitFrames(int count) {
  const long target = frames_ + count;
  return PumpUntil([&] { return frames_ >= target; });
}

void DialogHost::Configure() {
  HWND parent = hostWindow;
  Plugin().Configure(&parent);
}

HWND DialogHost::Window() const {
  FindDialog f;
  f.caption = Cp1251("Zunk_LogoDetector плагин");
  EnumThreadWindows(uiThread_, FindDialogProc, reinterpret_cast<LPARAM>(&f));
  return f.found;
}

std::string DialogHost::Text(int id) const {
  return WindowText(Item(id));
}

bool DialogHost::Checked(int id) const {
  return SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void DialogHost::Enable(int id) const {
  EnableWindow(Item(id), TRUE);
}

void DialogHost::Pump(int ms) {
  const DWORD until = GetTickCount() + static_cast<DWORD>(ms);
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      HWND dlg = Window();
      if (dlg && IsDialogMessageA(dlg, &msg))
        continue;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  } while (static_cast<LONG>(until - GetTickCount()) > 0);
}

bool DialogHost::PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  for (int waited = 0; waited < timeoutMs; waited += 10) {
    if (done())
      return true;
    Pump(10);
  }
  return done();
}

bool DialogHost::WaitForChannelLabel(const std::string& name) {
  return PumpUntil([&] { return Window() && Text(5145) == name; });
}

void DialogHost::Screenshot(const char* name, bool throughGdi) {
  Pump(300);  // every window painted
  const std::string taken = RequestShot(name, throughGdi);
  if (!taken.empty())
    PumpUntil([&] { return Exists(taken); }, 30000);
}

bool DialogHost::WaitClosed() {
  return PumpUntil([&] { return Window() == nullptr; });
}

DWORD WINAPI DialogHost::StopAndExit(void* self) {
  auto* h = static_cast<DialogHost*>(self);
  h->Plugin().Stop();
  h->Plugin().Exit();
  return 0;
}

std::string DialogHost::ExitAndReadSettings(ExitFrom from) {
  running_ = false;
  if (video_) {
    WaitForSingleObject(video_, INFINITE);
    CloseHandle(video_);
    video_ = nullptr;
  }
  if (from == ExitFrom::kThisThread) {
    StopAndExit(this);
  } else {
    HANDLE t = CreateThread(nullptr, 0, StopAndExit, this, 0, nullptr);
    if (from == ExitFrom::kOtherThreadWaiting)
      WaitForSingleObject(t, INFINITE);
    else
      while (MsgWaitForMultipleObjects(1, &t, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
        Pump(0);
    CloseHandle(t);
  }
  exited_ = true;
  if (from != ExitFrom::kOtherThreadWaiting)
    Pump(20);
  return ReadSettings();
}

// A 24-bit template file of w x h pixels beside the test, filled with one colour.
std::string WriteTemplate(const char* name, int w, int h, COLORREF colour) {
  const std::string path = PluginsFolder() + name;
  const int stride = (w * 3 + 3) / 4 * 4;
  std::string rows(static_cast<size_t>(stride * h), '\0');
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      rows[y * stride + x * 3] = static_cast<char>(GetBValue(colour));
      rows[y * stride + x * 3 + 1] = static_cast<char>(GetGValue(colour));
      rows[y * stride + x * 3 + 2] = static_cast<char>(GetRValue(colour));
    }
  CreateDirectoryA(PluginsFolder().c_str(), nullptr);
  WriteBitmapFile(path, w, h, rows.data());
  return path;
}

}  // namespace zunktest
