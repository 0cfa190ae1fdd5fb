// The colour key and the template file: the left-top pixel box, the colour-key display
// and its chooser, the message's two colour buttons and the template file chooser.
#include <windows.h>

#include "detect/template.h"
#include "dialog/resource_ids.h"
#include "dialog/settings_dialog.h"
#include "platform/platform.h"
#include "settings/channel_profile.h"

namespace zunk {

namespace {

// The left-top pixel box: ticked, the colour key is the template's top-left pixel;
// cleared, it is the key the profile had when the dialog opened (or when the channel
// was added while it was open).
void OnLeftTopPixelClick(HWND dlg) {
  const int32_t state = IsDlgButtonChecked(dlg, IDC_LEFT_TOP_PIXEL) == BST_CHECKED ? 1 : 0;
  {
    LockScope lock;
    ChannelProfile* p = HandlerTarget();
    if (p) {
      p->LeftTopPixelColor = state;
      if (state)
        ApplyLeftTopPixelRule();
      else if (static_cast<size_t>(CurrentIndex) < ProfileSnapshot.size())
        p->ColorKey = ProfileSnapshot[CurrentIndex].ColorKey;
    }
  }
  UpdateColourKeyControls(dlg);
}

}  // namespace

void UpdateColourKeyControls(HWND dlg) {
  int32_t leftTop;
  {
    LockScope lock;
    const ChannelProfile* p = HandlerTarget();
    leftTop = p ? p->LeftTopPixelColor : Dialog.shown.profile.LeftTopPixelColor;
  }
  EnableWindow(GetDlgItem(dlg, IDC_CHOOSE_COLOR_KEY), leftTop == 0 ? TRUE : FALSE);
  RedrawWindow(GetDlgItem(dlg, IDC_COLOR_KEY_SHOW), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

bool HandleChooserClick(HWND dlg, int id) {
  if (id == IDC_LEFT_TOP_PIXEL) {
    OnLeftTopPixelClick(dlg);
    return true;
  }
  return false;
}

bool DrawColourButton(HWND dlg, const DRAWITEMSTRUCT* item) {
  (void)dlg;
  (void)item;
  return false;
}

}  // namespace zunk
