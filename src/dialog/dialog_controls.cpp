// The settings dialog's controls at work: the handlers that read a control and hand its
// value to the dialog's edits (numeric validators, the message text, check boxes, lists),
// the refresh that shows the profile, and the template-state pass that enables the editing
// controls. The profile is touched only under the module lock, and the lock is never
// held across a message box or a message to a window.
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "dialog/dialog_binding.h"
#include "dialog/dialog_edits.h"
#include "dialog/resource_ids.h"
#include "dialog/settings_dialog.h"
#include "pipeline/stream_template.h"
#include "platform/platform.h"
#include "settings/dialog_settings.h"

namespace zunk {

ChannelProfile* HandlerTarget() {
  return EditTarget(Dialog.refreshing, Dialog.shown.index);
}

EditOrigin HandlerOrigin() {
  return {&Dialog.shown, Dialog.refreshing};
}

namespace {

void SetSpin(HWND dlg, int spin, int32_t value) {
  SendDlgItemMessageA(dlg, spin, UDM_SETPOS, 0, MAKELPARAM(SpinPosition(value), 0));
}

std::string ItemText(HWND dlg, int id) {
  HWND item = GetDlgItem(dlg, id);
  const int length = GetWindowTextLengthA(item);
  std::string text(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
  const int got = GetWindowTextA(item, &text[0], length + 1);
  text.resize(static_cast<size_t>(got > 0 ? got : 0));
  return text;
}

void CheckItem(HWND dlg, int id, int32_t value) {
  CheckDlgButton(dlg, id, value != 0 ? BST_CHECKED : BST_UNCHECKED);
}

void Enable(HWND dlg, int id, bool on) {
  EnableWindow(GetDlgItem(dlg, id), on ? TRUE : FALSE);
}

// A numeric edit changed: its number is stored if it is within the row's bounds, otherwise
// the box says so; then the spin shows the value the profile holds, which puts it back into
// the edit whenever the text differs.
void OnNumericChange(HWND dlg, const NumericBinding& b) {
  if (!SetNumber(HandlerOrigin(), b, ItemText(dlg, b.edit).c_str()))
    MessageBoxA(dlg, b.message, ModuleTitle(), MB_OK | MB_ICONEXCLAMATION);
  SetSpin(dlg, b.spin, HeldNumber(HandlerOrigin(), b.field));
}

void OnMessageTextChange(HWND dlg) {
  const std::string text = ItemText(dlg, IDC_MSG_STRING);
  if (SetMessageText(HandlerOrigin(), text))
    return;
  // Nothing holds the edit: the text shown goes back (the same text ends the exchange).
  if (text != Dialog.shown.profile.MsgString)
    SetDlgItemTextA(dlg, IDC_MSG_STRING, Dialog.shown.profile.MsgString.c_str());
}

void OnCheckClick(HWND dlg, const CheckBinding& b) {
  const int32_t state =
      SendDlgItemMessageA(dlg, b.control, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
  const int32_t held = SetCheck(HandlerOrigin(), b, state);
  if ((held != 0) != (state != 0))
    CheckItem(dlg, b.control, held);
}

void OnListChange(HWND dlg, const ListBinding& b) {
  const LRESULT selected = SendDlgItemMessageA(dlg, b.control, CB_GETCURSEL, 0, 0);
  if (selected == CB_ERR)
    return;
  if (!SetListChoice(HandlerOrigin(), b, static_cast<int32_t>(selected)))
    SendDlgItemMessageA(dlg, b.control, CB_SETCURSEL, Dialog.shown.profile.*b.field, 0);
  ShowReactionNote(dlg);
}

// Sets a spin from the profile shown. The up-down control clamps the position into its
// range and writes it into the edit, whose notification stores it; when the edit already
// showed that text no notification comes, so a value outside the range is stored as the
// clamped value here.
void ShowNumber(HWND dlg, const NumericBinding& b, int32_t value) {
  SetSpin(dlg, b.spin, value);
  if (value < b.minimum || value > b.maximum)
    OnNumericChange(dlg, b);
}

}  // namespace

bool HandleControlNotification(HWND dlg, int id, int code) {
  // Notifications while the window is being built or torn down edit nothing.
  if (!DialogOpen)
    return false;
  if (code == EN_CHANGE) {
    if (const NumericBinding* b = FindNumericByEdit(id)) {
      OnNumericChange(dlg, *b);
      return true;
    }
    if (id == IDC_MSG_STRING) {
      OnMessageTextChange(dlg);
      return true;
    }
    return false;
  }
  if (code == BN_CLICKED) {
    if (const CheckBinding* b = FindCheck(id)) {
      OnCheckClick(dlg, *b);
      return true;
    }
    return PadCornerClicked(dlg, id) || HandleChooserClick(dlg, id) || HandleCaptureClick(dlg, id);
  }
  if (code == CBN_SELCHANGE) {
    if (const ListBinding* b = FindList(id)) {
      OnListChange(dlg, *b);
      return true;
    }
  }
  return false;
}

void RefreshDialog(HWND dlg) {
  if (!DialogOpen)
    return;
  ProfileView view;
  {
    LockScope lock;
    view = ReadProfileView();
  }
  const bool outerRefresh = Dialog.refreshing;
  Dialog.shown = view;
  Dialog.refreshing = true;
  const ChannelProfile& p = view.profile;

  RepaintLogoPreview(Dialog.preview);
  SetDlgItemTextA(dlg, IDC_CHANNEL_NAME, view.channelName.c_str());
  CheckItem(dlg, IDC_LEFT_TOP_PIXEL, p.LeftTopPixelColor);
  UpdateColourKeyControls(dlg);
  SetDlgItemTextA(dlg, IDC_LOGO_FILE_NAME, p.LogoFileName.c_str());
  CheckItem(dlg, IDC_PROCESSING_ENABLE, p.ProcessingEnable);
  CheckItem(dlg, IDC_SHOW_LOGO, p.ShowLogo);
  for (int32_t spin : kRefreshSpins) {
    const NumericBinding& b = *FindNumericBySpin(spin);
    ShowNumber(dlg, b, p.*b.field);
  }
  CheckItem(dlg, IDC_TEST, view.simulateLogoLoss);
  for (const ListBinding& b : kListBindings)
    SendDlgItemMessageA(dlg, b.control, CB_SETCURSEL, p.*b.field, 0);
  CheckItem(dlg, IDC_MSG_ENABLE, p.MsgEnable);
  CheckItem(dlg, IDC_MSG_BACK_ENABLE, p.MsgBackEnable);
  SetDlgItemTextA(dlg, IDC_MSG_STRING, p.MsgString.c_str());
  ShowNumber(dlg, *FindNumericBySpin(IDC_MSG_TRANSPARENCY_SPIN), p.MsgTransparency);
  for (int id : {IDC_MSG_BACK_COLOR, IDC_MSG_TEXT_COLOR})
    RedrawWindow(GetDlgItem(dlg, id), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);

  Dialog.refreshing = outerRefresh;
  ShowReactionNote(dlg);
  RunTemplateStatePass(dlg);
}

void RunTemplateStatePass(HWND dlg) {
  bool ready;
  int32_t leftTop = 0;
  int32_t detectLevel = 0;
  int32_t matchLevel = 0;
  {
    LockScope lock;
    // Without a profile there is nothing to edit: the defaults are shown disabled.
    const ChannelProfile* p = CurrentProfile();
    ready = TemplateLoaded != 0 && p;
    const ChannelProfile& shown = p ? *p : DefaultProfile;
    leftTop = shown.LeftTopPixelColor;
    detectLevel = shown.LogoDetectLevel;
    matchLevel = shown.LogoMatchLevel;
  }
  for (int32_t id : kPadControls)
    Enable(dlg, id, ready);
  // A disabled arrow sees no button-up: one held while the template went stops here.
  if (!ready)
    KillTimer(dlg, kArrowTimer);
  Enable(dlg, IDC_CHOOSE_COLOR_KEY, ready && leftTop == 0);
  for (int32_t id : kEditingControls)
    Enable(dlg, id, ready);
  ResetLevelBars(ready, detectLevel, matchLevel);
  ShowTemplateNote(dlg);
}

}  // namespace zunk
