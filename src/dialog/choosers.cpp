// The colour key and the template file: the left-top pixel box, the colour-key display
// and its chooser, the message's two colour buttons and the template file chooser.
#include <windows.h>

#include <commdlg.h>

#include <string>

#include "dialog/resource_ids.h"
#include "dialog/settings_dialog.h"
#include "settings/channel_profile.h"

namespace zunk {

namespace {

// "Файлы логотипа (*.bmp)" / "*.bmp": the file dialog's one filter, as a double-NUL
// terminated list.
const char kTemplateFilter[] =
    "\xD4\xE0\xE9\xEB\xFB \xEB\xEE\xE3\xEE\xF2\xE8\xEF\xE0 (*.bmp)\0*.bmp\0";

// The custom colours the colour dialog offers, kept while the module is loaded.
COLORREF customColours[16];

void RedrawNow(HWND dlg, int id) {
  RedrawWindow(GetDlgItem(dlg, id), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

// The colour dialog for a field, opened on its colour with the custom colours shown.
// Cancelled, the field stays; either way the button that shows it is redrawn.
void ChooseColour(HWND dlg, uint32_t ChannelProfile::*field, int shownBy) {
  CHOOSECOLORA choice = {};
  choice.lStructSize = sizeof choice;
  // Owned by the dialog, which is disabled meanwhile: nothing else of it runs while the
  // choice is open, and closing it closes the choice too.
  choice.hwndOwner = dlg;
  choice.rgbResult = HeldColour(HandlerOrigin(), field);
  choice.lpCustColors = customColours;
  choice.Flags = CC_RGBINIT | CC_FULLOPEN;
  if (ChooseColorA(&choice))
    SetColour(HandlerOrigin(), field, choice.rgbResult);
  RedrawNow(dlg, shownBy);
}

// The left-top pixel box: ticked, the colour key is the template's top-left pixel;
// cleared, it is the key the profile had when the dialog opened (or when the channel
// was added while it was open).
void OnLeftTopPixelClick(HWND dlg) {
  const int32_t state = IsDlgButtonChecked(dlg, IDC_LEFT_TOP_PIXEL) == BST_CHECKED ? 1 : 0;
  SetLeftTopPixel(HandlerOrigin(), state);
  UpdateColourKeyControls(dlg);
}

// The template file: stored and shown whether or not it loads; the preview and the
// enabled controls then follow the load.
void OnChooseTemplate(HWND dlg) {
  char path[MAX_PATH] = "";
  OPENFILENAMEA open = {};
  open.lStructSize = sizeof open;
  open.hwndOwner = dlg;  // as the colour dialog's
  open.lpstrFilter = kTemplateFilter;
  open.nFilterIndex = 1;
  open.lpstrFile = path;
  open.nMaxFile = MAX_PATH;
  open.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
  open.lpstrDefExt = "bmp";
  if (!GetOpenFileNameA(&open) || !ChooseTemplate(HandlerOrigin(), path))
    return;
  SetDlgItemTextA(dlg, IDC_LOGO_FILE_NAME, path);
  RepaintLogoPreview(Dialog.preview);
  RunTemplateStatePass(dlg);
}

}  // namespace

void UpdateColourKeyControls(HWND dlg) {
  const int32_t leftTop = HeldLeftTopPixel(HandlerOrigin());
  EnableWindow(GetDlgItem(dlg, IDC_CHOOSE_COLOR_KEY), leftTop == 0 ? TRUE : FALSE);
  RedrawNow(dlg, IDC_COLOR_KEY_SHOW);
}

bool HandleChooserClick(HWND dlg, int id) {
  switch (id) {
    case IDC_LEFT_TOP_PIXEL:
      OnLeftTopPixelClick(dlg);
      return true;
    case IDC_CHOOSE_COLOR_KEY:
      ChooseColour(dlg, &ChannelProfile::ColorKey, IDC_COLOR_KEY_SHOW);
      return true;
    case IDC_MSG_BACK_COLOR:
      ChooseColour(dlg, &ChannelProfile::MsgBackColor, IDC_MSG_BACK_COLOR);
      return true;
    case IDC_MSG_TEXT_COLOR:
      ChooseColour(dlg, &ChannelProfile::MsgTextColor, IDC_MSG_TEXT_COLOR);
      return true;
    case IDC_CHOOSE_TEMPLATE:
      OnChooseTemplate(dlg);
      return true;
    default:
      return false;
  }
}

bool DrawColourButton(HWND dlg, const DRAWITEMSTRUCT* item) {
  (void)dlg;
  if (!item)
    return false;
  uint32_t ChannelProfile::*field;
  switch (item->CtlID) {
    case IDC_COLOR_KEY_SHOW:
      field = &ChannelProfile::ColorKey;
      break;
    case IDC_MSG_BACK_COLOR:
      field = &ChannelProfile::MsgBackColor;
      break;
    case IDC_MSG_TEXT_COLOR:
      field = &ChannelProfile::MsgTextColor;
      break;
    default:
      return false;
  }
  // A coloured rectangle with a bump edge: no caption, focus or pressed state.
  RECT r = item->rcItem;
  HBRUSH brush = CreateSolidBrush(HeldColour(HandlerOrigin(), field));
  HGDIOBJ old = SelectObject(item->hDC, brush);
  FillRect(item->hDC, &r, brush);
  SelectObject(item->hDC, old);
  DeleteObject(brush);
  DrawEdge(item->hDC, &r, EDGE_BUMP, BF_RECT);
  return true;
}

}  // namespace zunk
