// The dialog's notes on the window: the line beside the template's file name that says why
// the file did not load, and the hint beside the reaction lists while neither reaction is
// chosen. Both are drawn in dark red.
#include <windows.h>

#include <string>

#include "dialog/dialog_notes.h"
#include "dialog/resource_ids.h"
#include "dialog/settings_dialog.h"
#include "pipeline/stream_template.h"
#include "platform/platform.h"
#include "settings/ini_store.h"

namespace zunk {

namespace {

const COLORREF kNoteColour = RGB(176, 0, 0);

// Sets a note's text only when it changes, so a note that stays does not flicker.
void SetNote(HWND dlg, int id, const char* text) {
  char shown[256] = "";
  GetDlgItemTextA(dlg, id, shown, sizeof shown);
  if (lstrcmpA(shown, text) != 0)
    SetDlgItemTextA(dlg, id, text);
}

}  // namespace

void ShowTemplateNote(HWND dlg) {
  if (CaptureNoteShown())
    return;
  bool loaded;
  std::string name;
  {
    LockScope lock;
    const ChannelProfile* p = HandlerTarget();
    loaded = TemplateLoaded != 0;
    name = p ? p->LogoFileName : Dialog.shown.profile.LogoFileName;
  }
  TemplateFileProblem problem = loaded ? TemplateFileProblem::kNone : DiagnoseTemplateFile(name);
  // The load looks for a bare name beside the settings file too: say what is wrong there.
  const std::string beside = SettingsStore.BesideSettingsFile(name);
  if (problem == TemplateFileProblem::kMissing && !beside.empty())
    problem = DiagnoseTemplateFile(beside);
  SetNote(dlg, IDC_TEMPLATE_NOTE, TemplateProblemNote(problem));
}

void ShowReactionNote(HWND dlg) {
  bool none;
  {
    LockScope lock;
    const ChannelProfile* p = HandlerTarget();
    none = NoReactionChosen(p ? *p : Dialog.shown.profile);
  }
  SetNote(dlg, IDC_REACTION_NOTE, none ? NoReactionNote() : "");
}

INT_PTR ColourNote(HDC dc, HWND control) {
  const int id = GetDlgCtrlID(control);
  if (id != IDC_TEMPLATE_NOTE && id != IDC_REACTION_NOTE)
    return FALSE;
  if (id == IDC_TEMPLATE_NOTE && CaptureNoteShown() && !CaptureNoteIsWarning())
    return FALSE;
  SetTextColor(dc, kNoteColour);
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
}

}  // namespace zunk
