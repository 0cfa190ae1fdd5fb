// The settings dialog's message dispatch: the dialog procedure, the commands of its own
// buttons, its timers and private messages, the caption flash of a repeated Configure, and
// the about box. The controls' notifications go to dialog_controls.cpp.
#include <windows.h>

#include "base/abi.h"
#include "dialog/resource_ids.h"
#include "dialog/settings_dialog.h"
#include "platform/win32/services.h"

namespace zunk {

namespace {

// Calls of the dialog procedure in progress on the dialog's thread. More than one means
// a message reached it from a loop that one of its own calls runs: a message box, the
// about box or a chooser.
int32_t procDepth = 0;

constexpr UINT kFlashInterval = 80;  // ms
constexpr int32_t kFlashInversions = 4;

}  // namespace

int32_t DialogProcDepth() {
  return procDepth;
}

void StartCaptionFlash(HWND dlg) {
  SetFocus(dlg);
  Dialog.flashCounter = kFlashInversions;
  SetTimer(dlg, kFlashTimer, kFlashInterval, nullptr);
}

namespace {

void OnFlashTimer(HWND dlg) {
  if (Dialog.flashCounter != 0) {
    FlashWindow(dlg, TRUE);
    --Dialog.flashCounter;
  } else {
    KillTimer(dlg, kFlashTimer);
  }
}

ZUNK_ENTRY INT_PTR CALLBACK AboutProc(HWND dlg, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG)
    return TRUE;
  if (message == WM_DESTROY) {
    ReleaseTemplatePictures(dlg);
    return FALSE;
  }
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    EndDialog(dlg, LOWORD(wParam));
    return TRUE;
  }
  return FALSE;
}

BOOL OnCommand(HWND dlg, int id, int code) {
  switch (id) {
    case IDOK:
    case IDCANCEL:
      // Enter and Escape never close the window: only its own buttons and close box do.
      return TRUE;
    case IDC_OK_BUTTON:
      if (code == BN_CLICKED)
        DestroyWindow(dlg);
      return TRUE;
    case IDC_CANCEL_BUTTON:
      if (code == BN_CLICKED)
        PostMessageA(dlg, WM_CLOSE, 0, 0);
      return TRUE;
    case IDC_ABOUT_BUTTON:
      if (code == BN_CLICKED)
        DialogBoxParamA(win32::ModuleInstance(), MAKEINTRESOURCEA(IDD_ABOUT), dlg, AboutProc, 0);
      return TRUE;
    default:
      return HandleControlNotification(dlg, id, code) ? TRUE : FALSE;
  }
}

INT_PTR HandleMessage(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog(dlg);
    case WM_COMMAND:
      return OnCommand(dlg, LOWORD(wParam), HIWORD(wParam));
    case WM_CLOSE:
      OnClose(dlg);
      return TRUE;
    case WM_DESTROY:
      OnDestroy(dlg);
      return FALSE;
    case WM_NCDESTROY:
      OnFinalDestroy();
      return FALSE;
    case WM_TIMER:
      if (wParam == kFlashTimer)
        OnFlashTimer(dlg);
      else if (wParam == kArrowTimer)
        PadArrowTimer(dlg);
      else if (wParam == kLevelTimer)
        OnLevelTimer(dlg);
      else if (wParam == kCaptureTimer)
        OnCaptureTimer(dlg);
      return FALSE;
    case WM_CTLCOLORSTATIC:
      return ColourNote(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DRAWITEM:
      return DrawColourButton(dlg, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)) ? TRUE : FALSE;
    case kRefreshMessage:
      RefreshDialog(dlg);
      return TRUE;
    case kFocusMessage:
      StartCaptionFlash(dlg);
      return TRUE;
    case kDestroyMessage:
      // Exit on another thread asked for this from inside one of the dialog's boxes: the
      // call that opened the box returns into this module after Exit has returned and
      // the host may have unloaded it.
      if (procDepth > 1)
        KeepModuleLoaded();
      DestroyWindow(dlg);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

ZUNK_ENTRY INT_PTR CALLBACK SettingsDialogProc(HWND dlg,
                                               UINT message,
                                               WPARAM wParam,
                                               LPARAM lParam) {
  struct Depth {
    Depth() { ++procDepth; }
    ~Depth() { --procDepth; }
  } depth;
  try {
    return HandleMessage(dlg, message, wParam, lParam);
  } catch (...) {
    return FALSE;
  }
}

}  // namespace zunk
