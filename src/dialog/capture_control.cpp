// The live capture in the settings dialog: the "Логотип с экрана…" button and its "Стоп"
// state, the progress and the outcome on the line beside the file name, the finder's
// candidate in the preview, the found logo applied to the channel, and the capture ended
// with the window. Runs on the dialog's thread.
#include <windows.h>

#include <string>

#include "capture/capture_session.h"
#include "capture/capture_texts.h"
#include "dialog/capture_edit.h"
#include "dialog/resource_ids.h"
#include "dialog/settings_dialog.h"
#include "pipeline/stream.h"
#include "pipeline/stream_template.h"
#include "platform/platform.h"
#include "settings/channel_profile.h"

namespace zunk {

namespace {

constexpr UINT kCaptureTickMs = 200;

std::string captureNote;      // the capture's line beside the file name; empty: none
bool captureWarning = false;  // the line tells of a failure
bool appliedThisOpening = false;

void SetCaptureNote(HWND dlg, const std::string& text, bool warning) {
  captureNote = text;
  captureWarning = warning;
  SetDlgItemTextA(dlg, IDC_TEMPLATE_NOTE, text.c_str());
}

void ShowRunning(HWND dlg, bool running) {
  SetDlgItemTextA(dlg, IDC_CAPTURE, running ? CaptureStopText() : CaptureButtonText());
}

void ShowCandidate() {
  CapturedLogo candidate;
  if (!Dialog.preview || !TakeCaptureCandidate(&candidate) || candidate.width <= 0 ||
      candidate.height <= 0 ||
      candidate.pixels.size() != static_cast<size_t>(candidate.width) * candidate.height)
    return;
  PaintPreviewTemplate(Dialog.preview, candidate.pixels.data(), candidate.width, candidate.height);
  ShowLogoPreview(Dialog.preview);
}

// The capture has its answer: the found logo goes into the channel's profile and every
// control shows it; otherwise the line says why and nothing changes.
void Conclude(HWND dlg, const CaptureProgress& progress) {
  KillTimer(dlg, kCaptureTimer);
  ShowRunning(dlg, false);
  CapturedLogo logo;
  if (progress.state == CaptureState::kFound && TakeCapturedLogo(&logo)) {
    EndCapture();
    const LogoApplyResult applied = ApplyCapturedLogo(logo, progress.channelKey);
    if (applied == LogoApplyResult::kApplied) {
      appliedThisOpening = true;
      SetCaptureNote(dlg, CaptureOutcomeText(progress), false);
      RefreshDialog(dlg);
      return;
    }
    CaptureProgress gone;
    gone.state = CaptureState::kChannelChanged;
    SetCaptureNote(
        dlg,
        applied == LogoApplyResult::kNotSaved ? CaptureSaveFailedText() : CaptureOutcomeText(gone),
        true);
  } else {
    EndCapture();
    SetCaptureNote(dlg, CaptureOutcomeText(progress), true);
  }
  RepaintLogoPreview(Dialog.preview);
}

void StartFromDialog(HWND dlg) {
  CaptureStart from;
  {
    LockScope lock;
    from.channelKey = LastChannelKey;
    from.channelKnown = LastChannelKey != 0;
    if (StreamUsable) {
      from.width = FrameWidth;
      from.height = FrameHeight;
      from.format = PixelFormat;
    }
    if (const ChannelProfile* p = CurrentProfile()) {
      from.onSpeed = p->LogoOnResponseSpeed;
      from.offSpeed = p->LogoOffResponseSpeed;
    }
  }
  EndCapture();  // an answer already shown is done with
  if (!StartCapture(from))
    return;
  ShowRunning(dlg, true);
  SetCaptureNote(dlg, CaptureProgressText(0), false);
  SetTimer(dlg, kCaptureTimer, kCaptureTickMs, nullptr);
}

}  // namespace

bool CaptureNoteShown() {
  return !captureNote.empty();
}

bool CaptureNoteIsWarning() {
  return captureWarning;
}

void SetUpCaptureButton(HWND dlg) {
  captureNote.clear();
  appliedThisOpening = false;
  ShowRunning(dlg, false);
  if (CaptureFinderInForce())
    return;
  // Without a logo finder in this build the button has nothing to run: it goes, and the
  // file chooser and the file name take its room.
  HWND button = GetDlgItem(dlg, IDC_CAPTURE);
  ShowWindow(button, SW_HIDE);
  RECT room, chooser, name;
  if (!GetWindowRect(button, &room) ||
      !GetWindowRect(GetDlgItem(dlg, IDC_CHOOSE_TEMPLATE), &chooser) ||
      !GetWindowRect(GetDlgItem(dlg, IDC_LOGO_FILE_NAME), &name))
    return;
  MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&room), 2);
  MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&chooser), 2);
  MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&name), 2);
  const int gap = room.left - chooser.right;
  const int chooserLeft = room.right - (chooser.right - chooser.left);
  SetWindowPos(GetDlgItem(dlg, IDC_CHOOSE_TEMPLATE), nullptr, chooserLeft, chooser.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(GetDlgItem(dlg, IDC_LOGO_FILE_NAME), nullptr, 0, 0, chooserLeft - gap - name.left,
               name.bottom - name.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool HandleCaptureClick(HWND dlg, int id) {
  if (id != IDC_CAPTURE)
    return false;
  if (ReadCaptureProgress().state == CaptureState::kRunning)
    StopCapture();
  else
    StartFromDialog(dlg);
  return true;
}

void OnCaptureTimer(HWND dlg) {
  const CaptureProgress progress = ReadCaptureProgress();
  if (progress.state == CaptureState::kRunning) {
    SetCaptureNote(dlg, CaptureProgressText(progress.frames), false);
    ShowCandidate();
    return;
  }
  Conclude(dlg, progress);
}

void UndoCaptureOnCancel() {
  // The restored profile names the template it had: detection goes back to it.
  if (!appliedThisOpening)
    return;
  LockScope lock;
  LoadTemplate();
}

void EndCaptureWithDialog(HWND dlg) {
  KillTimer(dlg, kCaptureTimer);
  EndCapture();
  captureNote.clear();
}

}  // namespace zunk
