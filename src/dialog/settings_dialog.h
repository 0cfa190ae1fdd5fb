// The settings dialog's window state and what its Windows files share: the window's life
// (settings_dialog.cpp), the message dispatch (dialog_dispatch.cpp), the control handlers
// and refresh (dialog_controls.cpp), the tooltips and mouse hook (dialog_tooltips.cpp), the
// preview and pad (logo_preview.cpp), the level bars (level_indicator.cpp) and the colour
// and template choosers (choosers.cpp). Everything here runs on the thread that owns the
// window.
#pragma once

#include <windows.h>

#include "dialog/dialog_edits.h"
#include "dialog/dialog_profile.h"

namespace zunk {

struct LogoPreview;
struct LevelIndicator;

// Private messages of the dialog window.
constexpr UINT kRefreshMessage = WM_APP + 1;  // shows the current profile again
constexpr UINT kDestroyMessage = WM_APP + 2;  // sent by Exit from another thread
constexpr UINT kFocusMessage = WM_APP + 3;    // posted by Configure from another thread

// Timers of the dialog window.
constexpr UINT_PTR kArrowTimer = 1;
constexpr UINT_PTR kFlashTimer = 2;
constexpr UINT_PTR kLevelTimer = 3;    // shows the levels frames published
constexpr UINT_PTR kCaptureTimer = 4;  // follows a live logo capture

// The one dialog. Its window is created and destroyed any number of times; the created
// flag is dialog/dialog_host.h's; the open flag and the stored position are kept with the
// settings (settings/dialog_settings.h).
struct SettingsDialog {
  HWND window;
  HWND host;  // the parent given to Configure: owner and centring reference, never destroyed
  HWND tooltip;
  HFONT symbolFont;  // "Marlett", for the pad's glyphs
  HHOOK mouseHook;
  int32_t flashCounter;  // caption inversions still to do
  int32_t pressedArrow;  // control ID of the arrow held down
  double ArrowStep;
  LogoPreview* preview;
  LevelIndicator* matchBar;
  LevelIndicator* detectionBar;
  // While a refresh fills the controls, the notifications it raises write only into the
  // profile it shows (see EditTarget).
  bool refreshing;
  ProfileView shown;  // what the last refresh showed
};
extern SettingsDialog Dialog;

// settings_dialog.cpp: the window's life.
// The module's name without folder and extension: the title of the message boxes.
const char* ModuleTitle();
// The window's messages: its creation, the level timer (the published levels, and the
// profile again after a change of channel), Cancel, and its destruction in two steps.
BOOL OnInitDialog(HWND dlg);
void OnLevelTimer(HWND dlg);
void OnClose(HWND dlg);
void OnDestroy(HWND dlg);
void OnFinalDestroy();
// One more reference to this module, never released: the host's unloading leaves it
// mapped.
void KeepModuleLoaded();
// Picture statics of a template load their bitmaps themselves and leave them behind
// when they are destroyed: each is taken back and deleted. The preview and the bars show
// bitmaps of their own, which they release themselves.
void ReleaseTemplatePictures(HWND dlg);

// dialog_dispatch.cpp: the message dispatch.
// The dialog procedure: realigns the stack and lets no exception reach the system.
INT_PTR CALLBACK SettingsDialogProc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam);
// Calls of the dialog procedure in progress on the dialog's thread.
int32_t DialogProcDepth();
// Focuses the window and inverts its caption four times, 80 ms apart.
void StartCaptionFlash(HWND dlg);

// dialog_controls.cpp
// Shows the current profile in every control (does nothing unless the dialog is open).
void RefreshDialog(HWND dlg);
// Enables the editing controls exactly while a template is loaded and resets the bars.
void RunTemplateStatePass(HWND dlg);
// A control's WM_COMMAND notification; returns false for controls it does not handle.
bool HandleControlNotification(HWND dlg, int id, int code);
// The profile a handler edits (the module lock must be held).
ChannelProfile* HandlerTarget();
// Where the handlers' edits come from: what the dialog shows, and whether it is refreshing.
EditOrigin HandlerOrigin();

// dialog_tooltips.cpp
void CreateTooltips(HWND dlg);
void InstallMouseHook(HWND dlg);
void RemoveMouseHook();

// logo_preview.cpp
LogoPreview* CreateLogoPreview(HWND previewStatic);
void DestroyLogoPreview(LogoPreview* preview);
// Fits a top-down 32-bit picture of w x h pixels into the preview, centred with its
// aspect kept, on the dark blue background.
void PaintPreviewTemplate(LogoPreview* preview, const uint32_t* pixels, int32_t w, int32_t h);
// Fills the preview with its background.
void PaintPreviewEmpty(LogoPreview* preview);
// Copies the preview's section onto its static.
void ShowLogoPreview(LogoPreview* preview);
// The loaded template, or the background without one, painted and shown.
void RepaintLogoPreview(LogoPreview* preview);
// The pad: an arrow's button going down or up (from the mouse hook), timer 1, and the
// corner buttons.
void PadArrowMouse(HWND dlg, int arrow, UINT message);
void PadArrowTimer(HWND dlg);
bool PadCornerClicked(HWND dlg, int id);

// level_indicator.cpp
LevelIndicator* CreateLevelIndicator(HWND barStatic);
void DestroyLevelIndicator(LevelIndicator* bar);
// A bar's four line colours: below the threshold and below the value, below the
// threshold at or above the value, at or above the threshold below the value, at or above
// both.
using LevelBarColours = COLORREF[4];
// Paints the bar into its bitmap: a line on every second pixel row from the bottom, its
// colour by where the row lies against the threshold and the value (per cent).
void DrawLevelBar(LevelIndicator* bar,
                  const LevelBarColours& colours,
                  int32_t threshold,
                  int32_t value);
// Copies the bar's bitmap onto its static.
void ShowLevelBar(LevelIndicator* bar);
// The template-state pass's reset: both bars show their thresholds only.
void ResetLevelBars(bool templateReady, int32_t detectLevel, int32_t matchLevel);
// The level timer's tick: draws the levels frames published since the last drawing.
void ShowPublishedLevels();

// dialog_notes_win32.cpp
// Says beside the file name why the template did not load; empty while one is loaded.
void ShowTemplateNote(HWND dlg);
// The hint beside the reaction lists, shown while neither reaction is chosen.
void ShowReactionNote(HWND dlg);
// WM_CTLCOLORSTATIC of the notes: their colours; FALSE for other controls.
INT_PTR ColourNote(HDC dc, HWND control);

// capture_control.cpp
// The capture button: shown only where a logo finder is built in.
void SetUpCaptureButton(HWND dlg);
bool HandleCaptureClick(HWND dlg, int id);
void OnCaptureTimer(HWND dlg);
// Cancel: detection goes back to the template the restored profile names.
void UndoCaptureOnCancel();
// The window goes: a capture still running ends, writing nothing.
void EndCaptureWithDialog(HWND dlg);
// The capture's line holds the place of the template note while it is shown.
bool CaptureNoteShown();
bool CaptureNoteIsWarning();

// choosers.cpp
// Enables the colour-key chooser exactly while the left-top pixel option is off, and
// redraws the colour-key display.
void UpdateColourKeyControls(HWND dlg);
bool HandleChooserClick(HWND dlg, int id);
// WM_DRAWITEM of the owner-drawn colour buttons; returns false for other controls.
bool DrawColourButton(HWND dlg, const DRAWITEMSTRUCT* item);

}  // namespace zunk
