// Init, Start, Stop, Configure and Exit: the module's life between load and unload.
#include "plugin/lifecycle.h"

#include "base/aligned_buffer.h"
#include "base/mul_div.h"
#include "base/reference_frame.h"
#include "capture/capture_session.h"
#include "dialog/dialog_host.h"
#include "pipeline/frame_pipeline.h"
#include "pipeline/stream.h"
#include "pipeline/stream_template.h"
#include "platform/platform.h"
#include "react/mixer.h"
#include "react/reaction.h"
#include "settings/channel_profile.h"
#include "settings/ini_store.h"

namespace zunk {

namespace {
// The host's value from InitInfo: kept, never used.
uint32_t HostValue = 0;
}  // namespace

void Init(const InitInfo* info) {
  if (info) {
    HostValue = info->hostValue;
    ChannelCheckCallback = info->channelCheck;
  }
  SettingsStore.ResolveSettingsPath();
  SettingsStore.LoadProfiles();
  if (!MessageSurface.surface)
    MessageSurface.surface = Os().SurfaceCreate();
  OpenMixer();
}

static bool SaneStream(const StreamFormat& f) {
  return f.width > 0 && f.height > 0 && f.width <= kMaxFrameSide && f.height <= kMaxFrameSide &&
         (f.pixelFormat == 0 || f.pixelFormat == 1);
}

int32_t Start(const StreamFormat* format) {
  // A Start without a Stop ends the previous stream's reactions as Stop would have.
  {
    ReactionLockScope lock;
    EndReactionInForce();
  }
  // Asks the host's window for its version: done before the lock is taken.
  SettingsStore.FindHostWindows();
  // Frames of the previous stream may have come meanwhile and begun a new absence: it is
  // ended here too, with the lock released, before the stream is replaced.
  ReactionLockScope lock;
  EndReactionInForce();
  // A Start without a Stop before it must not leak the previous stream's buffers.
  ReleaseStreamResources();

  StreamFormat f = {};
  if (format)
    f = *format;
  PixelFormat = f.pixelFormat;
  FrameWidth = f.width;
  FrameHeight = f.height;
  RecordingStream = f.recording;
  StreamUsable = SaneStream(f);

  LastChannelKey = 0;
  SimulateLogoLoss = 0;
  FreeTemplateBuffersForNewStream();
  StartSkip = RecordingStream ? 5 : 0;

  SearchHalfWidth = StreamUsable ? MulDiv(30, FrameWidth, kReferenceWidth) : 0;
  if (StreamUsable) {
    ScoreRow = static_cast<uint8_t*>(AllocAligned(static_cast<size_t>(SearchHalfWidth) * 32 + 16));
    if (MessageSurface.surface)
      MessageSurface.pixels = Os().SurfaceBegin(MessageSurface.surface, FrameWidth, FrameHeight);
    // Without its buffers the stream cannot be processed; frames then pass unchanged.
    if (!ScoreRow)
      StreamUsable = false;
  }
  return 1;
}

void ReleaseStreamResources() {
  FreeAligned(ScoreRow);
  ScoreRow = nullptr;
  FreeStreamTemplate();
  if (MessageSurface.surface && MessageSurface.pixels)
    Os().SurfaceEnd(MessageSurface.surface);
  MessageSurface.pixels = nullptr;
  ForgetMessageLayer();
}

void Stop() {
  EndReactionInForce();
  ReleaseStreamResources();
  StreamUsable = false;
}

void Configure(void* parentWindowVariable) {
  if (DialogCreated) {
    FocusSettingsDialog();
    return;
  }
  DialogCreated = 1;
  OpenSettingsDialog(parentWindowVariable);
}

void Exit() {
  if (DialogCreated)
    DestroySettingsDialog();
  // A logo capture the dialog did not end ends here, writing nothing.
  EndCapture();
  // A stream the host never stopped ends here as Stop ends it: its sound back, its
  // recording resumed, its buffers freed. Frames that still come (a video thread the host
  // did not stop) then pass unchanged and add no profile while the file is written.
  {
    ReactionLockScope lock;
    Stop();
  }
  CloseMixer();
  SettingsStore.SaveProfiles();
}

}  // namespace zunk

namespace {
// The screen-compatible context lives until the module unloads.
struct SurfaceReleaser {
  ~SurfaceReleaser() {
    if (zunk::MessageSurface.surface)
      zunk::Os().SurfaceDestroy(zunk::MessageSurface.surface);
    zunk::MessageSurface.surface = nullptr;
  }
} surfaceReleaser;
}  // namespace
