// The settings dialog window's life: its creation, focus and destruction across threads
// (the entry points Configure and Exit call), its initialisation, placement, closing and
// teardown.
#include <windows.h>

#include <commctrl.h>

#include <cstring>

#include "dialog/dialog_binding.h"
#include "dialog/dialog_host.h"
#include "dialog/dialog_placement.h"
#include "dialog/resource_ids.h"
#include "dialog/settings_dialog.h"
#include "pipeline/frame_pipeline.h"
#include "pipeline/observed.h"
#include "platform/platform.h"
#include "platform/win32/services.h"
#include "settings/dialog_settings.h"

namespace zunk {

SettingsDialog Dialog = {};
int32_t DialogCreated = 0;

namespace {

// The count of channel changes the dialog last showed the profile for: when the pipeline's
// count has moved on, the level timer shows the current channel's profile again.
uint32_t shownChannelChanges = 0;
constexpr UINT kLevelInterval = 40;  // ms: a frame's time at 25 frames a second

constexpr UINT kDestroyWaitMs = 5000;  // Exit's wait for another thread's window

}  // namespace

void KeepModuleLoaded() {
  char path[MAX_PATH] = "";
  const DWORD n = GetModuleFileNameA(win32::ModuleInstance(), path, MAX_PATH);
  if (n > 0 && n < MAX_PATH)
    LoadLibraryA(path);
}

namespace {

bool OnDialogThread(HWND w) {
  return GetWindowThreadProcessId(w, nullptr) == GetCurrentThreadId();
}

// Adds the items of the template's initialisation data to their lists.
void AddListItems(HWND dlg) {
  HINSTANCE module = win32::ModuleInstance();
  HRSRC found =
      FindResourceA(module, MAKEINTRESOURCEA(IDD_SETTINGS), MAKEINTRESOURCEA(RT_DIALOG_INIT));
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data)
    return;
  for (const ListItem& item :
       ReadListItems(static_cast<const uint8_t*>(data), SizeofResource(module, found)))
    SendDlgItemMessageA(dlg, item.control, CB_ADDSTRING, 0,
                        reinterpret_cast<LPARAM>(item.text.c_str()));
}

}  // namespace

void ReleaseTemplatePictures(HWND dlg) {
  for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    const int id = GetDlgCtrlID(c);
    if (id == IDC_PREVIEW || id == IDC_DETECTION_BAR || id == IDC_MATCH_BAR)
      continue;
    char cls[16] = "";
    GetClassNameA(c, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") != 0 || (GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP)
      continue;
    HGDIOBJ picture = reinterpret_cast<HGDIOBJ>(SendMessageA(c, STM_SETIMAGE, IMAGE_BITMAP, 0));
    if (picture)
      DeleteObject(picture);
  }
}

namespace {

ScreenRect RectOf(HWND w, bool* ok) {
  RECT r = {};
  *ok = w && GetWindowRect(w, &r);
  return {r.left, r.top, r.right, r.bottom};
}

// Centres on the host's window, or on the screen when there is none.
void PlaceWindow(HWND dlg) {
  const int32_t width = GetSystemMetrics(SM_CXSCREEN);
  const int32_t height = GetSystemMetrics(SM_CYSCREEN);
  bool ok;
  const ScreenRect d = RectOf(dlg, &ok);
  ScreenRect h = RectOf(Dialog.host, &ok);
  if (!ok)
    h = {0, 0, width, height};
  PlaceDialog(&DialogLeft, &DialogTop, d, h, width, height);
  SetWindowPos(dlg, nullptr, DialogLeft, DialogTop, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

// The pad's glyphs are characters of the "Marlett" symbol font.
void SetSymbolFont(HWND dlg) {
  Dialog.symbolFont =
      CreateFontA(12, 0, 0, 0, 0, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Marlett");
  if (!Dialog.symbolFont)
    return;
  static const int kPadButtons[] = {
      IDC_ARROW_UP,
      IDC_ARROW_RIGHT,
      IDC_ARROW_LEFT,
      IDC_ARROW_DOWN,
      IDC_CENTRE,
      IDC_CORNER_TOP_RIGHT,
      IDC_CORNER_BOTTOM_RIGHT,
      IDC_CORNER_TOP_LEFT,
      IDC_CORNER_BOTTOM_LEFT,
  };
  for (int id : kPadButtons)
    SendDlgItemMessageA(dlg, id, WM_SETFONT, reinterpret_cast<WPARAM>(Dialog.symbolFont), TRUE);
}

void SetUpSpins(HWND dlg) {
  for (const NumericBinding& b : kNumericBindings) {
    HWND spin = GetDlgItem(dlg, b.spin);
    SendMessageA(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(dlg, b.edit)), 0);
    SendMessageA(spin, UDM_SETRANGE, 0, MAKELPARAM(b.maximum, b.minimum));
    SendDlgItemMessageA(dlg, b.edit, EM_LIMITTEXT, b.lengthLimit, 0);
  }
  SendDlgItemMessageA(dlg, IDC_MSG_STRING, EM_LIMITTEXT, kMessageLengthLimit, 0);
}

}  // namespace

BOOL OnInitDialog(HWND dlg) {
  Dialog.window = dlg;
  AddListItems(dlg);
  PlaceWindow(dlg);
  {
    LockScope lock;
    TakeSnapshot();
  }
  Dialog.preview = CreateLogoPreview(GetDlgItem(dlg, IDC_PREVIEW));
  Dialog.detectionBar = CreateLevelIndicator(GetDlgItem(dlg, IDC_DETECTION_BAR));
  Dialog.matchBar = CreateLevelIndicator(GetDlgItem(dlg, IDC_MATCH_BAR));
  SetSymbolFont(dlg);
  SetUpSpins(dlg);
  CreateTooltips(dlg);
  {
    LockScope lock;
    // A channel met while the window was being built is in the table but not in the
    // snapshot yet.
    CatchUpSnapshot();
    DialogOpen = 1;
    shownChannelChanges = ChannelChanges();
  }
  SetUpCaptureButton(dlg);
  RefreshDialog(dlg);
  InstallMouseHook(dlg);
  SetTimer(dlg, kLevelTimer, kLevelInterval, nullptr);
  return TRUE;
}

// Every frame's time: the levels the frames published, and the profile of a channel met
// since the dialog last showed one.
void OnLevelTimer(HWND dlg) {
  ShowPublishedLevels();
  uint32_t changes;
  {
    LockScope lock;
    changes = ChannelChanges();
  }
  if (changes == shownChannelChanges)
    return;
  shownChannelChanges = changes;
  RefreshDialog(dlg);
}

// Cancel: every profile goes back to the snapshot, then the window goes.
void OnClose(HWND dlg) {
  CancelEdits();
  UndoCaptureOnCancel();
  DestroyWindow(dlg);
}

void OnDestroy(HWND dlg) {
  RECT r;
  if (GetWindowRect(dlg, &r)) {
    DialogLeft = r.left;
    DialogTop = r.top;
  }
  {
    LockScope lock;
    SimulateLogoLoss = 0;
    DialogOpen = 0;
  }
  KillTimer(dlg, kArrowTimer);
  KillTimer(dlg, kFlashTimer);
  KillTimer(dlg, kLevelTimer);
  EndCaptureWithDialog(dlg);
  RemoveMouseHook();
  ReleaseTemplatePictures(dlg);
  DestroyLogoPreview(Dialog.preview);
  Dialog.preview = nullptr;
  DestroyLevelIndicator(Dialog.detectionBar);
  Dialog.detectionBar = nullptr;
  DestroyLevelIndicator(Dialog.matchBar);
  Dialog.matchBar = nullptr;
}

// The window is gone, its controls with it: the font can go, and Configure may create a
// new window.
void OnFinalDestroy() {
  if (Dialog.symbolFont)
    DeleteObject(Dialog.symbolFont);
  Dialog.symbolFont = nullptr;
  Dialog.host = nullptr;
  Dialog.tooltip = nullptr;
  Dialog.window = nullptr;
  Dialog.refreshing = false;
  DialogCreated = 0;
}

const char* ModuleTitle() {
  static char title[MAX_PATH] = "";
  if (title[0])
    return title;
  char path[MAX_PATH] = "";
  DWORD n = GetModuleFileNameA(win32::ModuleInstance(), path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH)
    return "Zunk_LogoDetector";
  const char* name = path;
  for (const char* p = path; *p; ++p)
    if (*p == '\\' || *p == '/')
      name = p + 1;
  std::memcpy(title, name, std::strlen(name) + 1);  // name lies within path: it fits
  if (char* dot = std::strrchr(title, '.'))
    *dot = '\0';
  return title;
}

void OpenSettingsDialog(void* parentWindowVariable) {
  HWND parent = parentWindowVariable ? *static_cast<HWND*>(parentWindowVariable) : nullptr;
  if (parent && !IsWindow(parent))
    parent = nullptr;
  Dialog.host = parent;
  INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_UPDOWN_CLASS | ICC_BAR_CLASSES};
  InitCommonControlsEx(&classes);
  HWND w = CreateDialogParamA(win32::ModuleInstance(), MAKEINTRESOURCEA(IDD_SETTINGS), parent,
                              SettingsDialogProc, 0);
  if (!w) {
    // Nothing was made: the next Configure tries again.
    Dialog.host = nullptr;
    DialogCreated = 0;
    return;
  }
  ShowWindow(w, SW_SHOW);
}

void FocusSettingsDialog() {
  HWND w = Dialog.window;
  if (!w)
    return;
  if (OnDialogThread(w))
    StartCaptionFlash(w);
  else
    PostMessageA(w, kFocusMessage, 0, 0);
}

void DestroySettingsDialog() {
  HWND w = Dialog.window;
  if (!w || !IsWindow(w)) {
    DialogCreated = 0;
    return;
  }
  // The position Exit saves next, taken now in case the window outlives this call.
  RECT r;
  if (GetWindowRect(w, &r)) {
    DialogLeft = r.left;
    DialogTop = r.top;
  }
  // Only the owning thread can destroy a window. Exit waits for it, because the
  // position the destruction records is saved next.
  if (OnDialogThread(w)) {
    // The host called from inside one of the dialog's boxes (its window got a message
    // from the box's loop): the call that opened the box returns into this module after
    // Exit has returned and the host may have unloaded it.
    if (DialogProcDepth() > 0)
      KeepModuleLoaded();
    DestroyWindow(w);
    return;
  }
  DWORD_PTR answer = 0;
  if (SendMessageTimeoutA(w, kDestroyMessage, 0, 0, SMTO_NORMAL, kDestroyWaitMs, &answer) ||
      !IsWindow(w))
    return;
  // The window's thread is not reading its messages (it may be waiting for this very
  // call). It destroys the window when it reads them again, perhaps after the host has
  // unloaded the module: the module then stays loaded, so that its dialog procedure and
  // mouse hook still exist when they are called.
  PostMessageA(w, kDestroyMessage, 0, 0);
  KeepModuleLoaded();
}

}  // namespace zunk
