// The dialog's tooltips and its thread mouse hook. The tooltip control does not subclass
// its tools: it sees their mouse messages only because the hook relays every mouse
// message of the dialog's thread to it. The hook also tells the pad's arrows when a
// button goes down or up over them.
#include <windows.h>

#include <commctrl.h>

#include "base/abi.h"
#include "dialog/resource_ids.h"
#include "dialog/settings_dialog.h"
#include "platform/win32/services.h"
#include "settings/dialog_settings.h"

namespace zunk {

namespace {

struct Tool {
  int control;
  const char* text;  // Windows-1251
};

const Tool kTools[] = {
    // "Шаблон логотипа"
    {IDC_PREVIEW, "\xD8\xE0\xE1\xEB\xEE\xED \xEB\xEE\xE3\xEE\xF2\xE8\xEF\xE0"},
    // "Цвет левого верхнего пиксела шаблона логотипа"
    {IDC_LEFT_TOP_PIXEL,
     "\xD6\xE2\xE5\xF2 \xEB\xE5\xE2\xEE\xE3\xEE \xE2\xE5\xF0\xF5\xED\xE5\xE3\xEE \xEF\xE8\xEA"
     "\xF1\xE5\xEB\xE0 \xF8\xE0\xE1\xEB\xEE\xED\xE0 \xEB\xEE\xE3\xEE\xF2\xE8\xEF\xE0"},
    // "Выбрать цвет маски логотипа"
    {IDC_CHOOSE_COLOR_KEY,
     "\xC2\xFB\xE1\xF0\xE0\xF2\xFC \xF6\xE2\xE5\xF2 \xEC\xE0\xF1\xEA\xE8 \xEB\xEE\xE3\xEE\xF2"
     "\xE8\xEF\xE0"},
    // "Выбрать шаблон логотипа"
    {IDC_CHOOSE_TEMPLATE,
     "\xC2\xFB\xE1\xF0\xE0\xF2\xFC \xF8\xE0\xE1\xEB\xEE\xED \xEB\xEE\xE3\xEE\xF2\xE8\xEF\xE0"},
    // "Индикатор соответствия логотипов"
    {IDC_MATCH_BAR,
     "\xC8\xED\xE4\xE8\xEA\xE0\xF2\xEE\xF0 \xF1\xEE\xEE\xF2\xE2\xE5\xF2\xF1\xF2\xE2\xE8\xFF "
     "\xEB\xEE\xE3\xEE\xF2\xE8\xEF\xEE\xE2"},
    // "Уровень детектирования"
    {IDC_DETECTION_BAR,
     "\xD3\xF0\xEE\xE2\xE5\xED\xFC \xE4\xE5\xF2\xE5\xEA\xF2\xE8\xF0\xEE\xE2"
     "\xE0\xED\xE8\xFF"},
    // "Действие на исчезновение логотипа при просмотре"
    {IDC_PREVIEW_ACTION,
     "\xC4\xE5\xE9\xF1\xF2\xE2\xE8\xE5 \xED\xE0 \xE8\xF1\xF7\xE5\xE7\xED\xEE\xE2\xE5\xED\xE8"
     "\xE5 \xEB\xEE\xE3\xEE\xF2\xE8\xEF\xE0 \xEF\xF0\xE8 \xEF\xF0\xEE\xF1\xEC\xEE\xF2\xF0\xE5"},
    // "Действие на исчезновение логотипа при записи"
    {IDC_RECORD_ACTION,
     "\xC4\xE5\xE9\xF1\xF2\xE2\xE8\xE5 \xED\xE0 \xE8\xF1\xF7\xE5\xE7\xED\xEE\xE2\xE5\xED\xE8"
     "\xE5 \xEB\xEE\xE3\xEE\xF2\xE8\xEF\xE0 \xEF\xF0\xE8 \xE7\xE0\xEF\xE8\xF1\xE8"},
    // "Имитация пропадания логотипа"
    {IDC_TEST,
     "\xC8\xEC\xE8\xF2\xE0\xF6\xE8\xFF \xEF\xF0\xEE\xEF\xE0\xE4\xE0\xED\xE8\xFF \xEB\xEE\xE3"
     "\xEE\xF2\xE8\xEF\xE0"},
};

// A mouse message of the dialog's thread, whatever window it is for.
void OnHookedMouse(UINT message, const MOUSEHOOKSTRUCT& m) {
  HWND dlg = Dialog.window;
  if (!dlg || !DialogOpen)
    return;
  HWND under = m.hwnd;
  // Only the dialog's own arrows: the host's windows on this thread may use the same IDs.
  const int id = under && GetParent(under) == dlg ? GetDlgCtrlID(under) : 0;
  if (id >= IDC_ARROW_LEFT && id <= IDC_ARROW_DOWN &&
      (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK || message == WM_LBUTTONUP))
    PadArrowMouse(dlg, id, message);
  if (!Dialog.tooltip)
    return;
  POINT client = m.pt;
  if (under)
    ScreenToClient(under, &client);
  MSG relayed = {};
  relayed.hwnd = under;
  relayed.message = message;
  relayed.lParam = MAKELPARAM(client.x, client.y);
  relayed.time = static_cast<DWORD>(GetMessageTime());
  relayed.pt = m.pt;
  SendMessageA(Dialog.tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

ZUNK_ENTRY LRESULT CALLBACK MouseHookProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code >= 0 && lParam) {
    try {
      OnHookedMouse(static_cast<UINT>(wParam), *reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam));
    } catch (...) {
    }
  }
  return CallNextHookEx(Dialog.mouseHook, code, wParam, lParam);
}

}  // namespace

void CreateTooltips(HWND dlg) {
  HWND tip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dlg, nullptr,
                             win32::ModuleInstance(), nullptr);
  Dialog.tooltip = tip;
  if (!tip)
    return;
  for (const Tool& t : kTools) {
    TOOLINFOA info = {};
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.uFlags = TTF_IDISHWND;
    info.hwnd = dlg;
    info.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(dlg, t.control));
    info.hinst = win32::ModuleInstance();
    info.lpszText = const_cast<char*>(t.text);
    SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
  }
  SendMessageA(tip, TTM_ACTIVATE, TRUE, 0);
}

void InstallMouseHook(HWND dlg) {
  Dialog.mouseHook =
      SetWindowsHookExA(WH_MOUSE, MouseHookProc, nullptr, GetWindowThreadProcessId(dlg, nullptr));
}

void RemoveMouseHook() {
  if (Dialog.mouseHook)
    UnhookWindowsHookEx(Dialog.mouseHook);
  Dialog.mouseHook = nullptr;
}

}  // namespace zunk
