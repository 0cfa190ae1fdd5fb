// Frame processing on the host's video thread against the settings dialog's work on its
// own thread: the dialog's own edits (template choice, the left-top pixel, numbers, texts,
// check boxes, lists, colours, the pad, Cancel's copy-back), the snapshot and the
// refresh's reads.
// Every message text that reaches a frame must be one of the texts written whole, and
// a watchdog fails the run when the threads stop (a deadlock). Run under ThreadSanitizer
// the data races show as reports.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/aligned_buffer.h"
#include "dialog/dialog_binding.h"
#include "dialog/dialog_edits.h"
#include "dialog/dialog_profile.h"
#include "dialog/resource_ids.h"
#include "host/host_records.h"
#include "pipeline/frame_pipeline.h"
#include "pipeline/observed.h"
#include "pipeline/stream_template.h"
#include "platform/platform.h"
#include "react/reaction.h"
#include "settings/channel_profile.h"
#include "settings/dialog_settings.h"

extern "C" zunk::PluginDescriptor* Quintora_Plugin_PR();

#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define ZUNK_UNDER_TSAN 1
#endif
#endif
#if defined(__SANITIZE_THREAD__)
#define ZUNK_UNDER_TSAN 1
#endif

namespace zunk {
namespace {

#if defined(ZUNK_UNDER_TSAN)
constexpr auto kRunTime = std::chrono::seconds(4);
#else
constexpr auto kRunTime = std::chrono::milliseconds(600);
#endif
// Far beyond what the threads need to notice the end of the run, even on a loaded machine
// under ThreadSanitizer.
constexpr auto kWatchdogGrace = std::chrono::seconds(120);

// The texts the dialog writes: lengths from one character to more than a short string
// holds in place, so that a torn copy would show.
const std::vector<std::string>& Texts() {
  static const std::vector<std::string> texts = {
      "\xD0\xC5\xCA\xCB\xC0\xCC\xC0",  // the default, in Windows-1251
      "A",
      "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",
      "CCCCCCCCCCCCCCC",
      "DDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDD",
  };
  return texts;
}

std::atomic<int> textsDrawn{0};
std::atomic<int> tornTexts{0};

void CheckText(const char* text, int32_t length) {
  const std::string seen(text, static_cast<size_t>(length));
  for (const std::string& t : Texts()) {
    if (t == seen) {
      ++textsDrawn;
      return;
    }
  }
  ++tornTexts;
}

void TextExtent(Surface*, const char* text, int32_t length, int32_t* cx, int32_t* cy) {
  CheckText(text, length);
  *cx = length * 40;
  *cy = 75;
}

void Text(Surface*, int32_t, int32_t, const char* text, int32_t length, uint32_t) {
  CheckText(text, length);
}

// Two template files of different sizes; "a.bmp" has a white top-left pixel.
uint32_t* LoadPicture(const char* path, int32_t maxW, int32_t maxH, int32_t* w, int32_t* h) {
  const std::string name = path;
  const int32_t pw = name == "a.bmp" ? 40 : 64;
  const int32_t ph = name == "a.bmp" ? 30 : 20;
  if ((name != "a.bmp" && name != "b.bmp") || pw > maxW || ph > maxH)
    return nullptr;
  uint32_t* p = static_cast<uint32_t*>(AllocAligned(static_cast<size_t>(pw) * ph * 4));
  for (int32_t i = 0; i < pw * ph; ++i)
    p[i] = (i * 37 % 11) * 0x151515u;
  p[0] = name == "a.bmp" ? 0xFFFFFF : 0x202020;
  *w = pw;
  *h = ph;
  return p;
}

WindowHandle NoWindow(const char*, const char*) {
  return 0;
}

// Fails the run when `done` is not reached in time: the threads are stuck.
class Watchdog {
 public:
  void Done() {
    std::lock_guard<std::mutex> hold(m_);
    done_ = true;
    cv_.notify_all();
  }
  void WaitOrAbort(std::chrono::steady_clock::time_point deadline) {
    std::unique_lock<std::mutex> hold(m_);
    if (!cv_.wait_until(hold, deadline, [this] { return done_; })) {
      std::fprintf(stderr, "watchdog: the threads did not finish: a deadlock\n");
      std::fflush(stderr);
      std::abort();
    }
  }

 private:
  std::mutex m_;
  std::condition_variable cv_;
  bool done_ = false;
};

class ThreadStressTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake = NativePlatform();
    fake.LoadBitmapFile = LoadPicture;
    fake.FindWindowByClass = NoWindow;
    fake.SurfaceTextExtent = TextExtent;
    fake.SurfaceText = Text;
    SetPlatformForTest(&fake);
    if (!MessageSurface.surface)
      MessageSurface.surface = Os().SurfaceCreate();
    Profiles.clear();
    ProfileSnapshot.clear();
    CurrentIndex = 0;
    DefaultProfile = ChannelProfile();
    DefaultProfile.LogoFileName = "a.bmp";
    DefaultProfile.LogoPosX = 300;
    DefaultProfile.LogoPosY = 40;
    DefaultProfile.LogoPosTolerance = 3;
    DefaultProfile.ProcessingEnable = 1;
    DefaultProfile.ShowLogo = 1;
    DefaultProfile.LogoTransparency = 60;
    // The logo is never in the frames: the decision turns absent at once and the message
    // is drawn on every matched frame.
    DefaultProfile.LogoOffResponseSpeed = 100;
    DefaultProfile.LogoOnResponseSpeed = 3;
    DefaultProfile.LogoDetectLevel = 80;
    DefaultProfile.LogoMatchLevel = 80;
    DefaultProfile.PreviewAction = 2;
    DefaultProfile.MsgEnable = 1;
    DefaultProfile.MsgString = Texts()[0];
    DefaultProfile.MsgTransparency = 60;
    DefaultProfile.MsgTextColor = 0x00C000;
    d = Quintora_Plugin_PR();
  }
  void TearDown() override {
    d->Stop();
    DialogOpen = 0;
    SimulateLogoLoss = 0;
    Profiles.clear();
    ProfileSnapshot.clear();
    SetPlatformForTest(nullptr);
  }

  void StartStream(int32_t format) {
    StreamFormat f = {};
    f.width = 192;
    f.height = 144;
    f.pixelFormat = format;
    d->Start(&f);
  }

  // The host's video thread: frames of channels 1 to 3, a new channel every 40 frames and
  // a new stream in the other pixel format every 600.
  void FeedFrames() {
    int32_t format = 1;
    std::vector<uint8_t> frame(192 * 144 * 3);
    ChannelInfo channel = {};
    std::strcpy(channel.name, "Channel");
    uint32_t seed = 1;
    for (int n = 0; !stop.load(); ++n) {
      if (n % 600 == 599) {
        d->Stop();
        format ^= 1;
        StartStream(format);
      }
      channel.keyLow = 1 + (n / 40) % 3;
      for (uint8_t& b : frame) {
        seed = seed * 1103515245u + 12345u;
        b = static_cast<uint8_t>(seed >> 24);
      }
      FrameInfo info = {};
      info.pixels = frame.data();
      info.channel = &channel;
      d->ProcessFrame(&info);
      ++frames;
    }
  }

  // The dialog's thread: the dialog's own edits and reads, in a random order, each as the
  // window's handlers call them.
  void EditSettings() {
    uint32_t seed = 7;
    auto next = [&seed] {
      seed = seed * 1103515245u + 12345u;
      return seed >> 16;
    };
    {
      LockScope lock;
      TakeSnapshot();
      DialogOpen = 1;
    }
    ProfileView shown;
    const EditOrigin user = {&shown, false};
    const EditOrigin refresh = {&shown, true};
    while (!stop.load()) {
      const uint32_t r = next();
      const EditOrigin& origin = r & 0x200 ? refresh : user;
      switch (r % 10) {
        case 0:  // a template chosen in the dialog
          ChooseTemplate(origin, r & 0x100 ? "a.bmp" : "b.bmp");
          break;
        case 1:  // the left-top pixel check box
          SetLeftTopPixel(origin, r & 0x100 ? 1 : 0);
          break;
        case 2:
        case 3:  // the message text edited
          SetMessageText(origin, Texts()[(r >> 8) % Texts().size()]);
          break;
        case 4: {  // Cancel, then the dialog opened again
          CancelEdits();
          {
            LockScope lock;
            SimulateLogoLoss = 0;
            DialogOpen = 0;
          }
          LockScope lock;
          TakeSnapshot();
          DialogOpen = 1;
          break;
        }
        case 5: {  // a refresh: the view is read under the lock and shown outside it
          {
            LockScope lock;
            shown = ReadProfileView();
          }
          CheckText(shown.profile.MsgString.data(),
                    static_cast<int32_t>(shown.profile.MsgString.size()));
          break;
        }
        case 6: {  // the test check box, a numeric edit and a list
          SetCheck(origin, *FindCheck(IDC_TEST), r & 0x100 ? 1 : 0);
          const NumericBinding& b = kNumericBindings[(r >> 4) % kNumericBindingCount];
          SetNumber(origin, b, std::to_string((r >> 8) % 120).c_str());
          HeldNumber(origin, b.field);
          SetListChoice(origin, kListBindings[(r >> 4) & 1], static_cast<int32_t>((r >> 6) % 3));
          break;
        }
        case 7: {  // the level bars' timer
          LockScope lock;
          LatestLevels();
          break;
        }
        case 8: {  // the preview reads the picture
          LockScope lock;
          if (TemplateLoaded && TemplatePicture.pixels)
            picturePixels += TemplatePicture.pixels[0] & 1;
          break;
        }
        case 9:  // the pad: a corner, an arrow, a colour
          PlaceLogo(origin, static_cast<LogoPlace>((r >> 8) % 5));
          MoveLogo(origin, static_cast<int32_t>((r >> 4) % 3) - 1, 1);
          SetColour(origin, &ChannelProfile::MsgBackColor, r);
          break;
      }
      ++edits;
      if (r % 4 == 0)
        std::this_thread::yield();
    }
  }

  Platform fake;
  PluginDescriptor* d = nullptr;
  std::atomic<bool> stop{false};
  std::atomic<long> frames{0};
  std::atomic<long> edits{0};
  long picturePixels = 0;
};

TEST_F(ThreadStressTest, DialogWorkAgainstFramesKeepsEveryTextWhole) {
  textsDrawn = 0;
  tornTexts = 0;
  StartStream(1);
  Watchdog watchdog;
  std::atomic<int> running{2};
  auto finished = [&] {
    if (--running == 0)
      watchdog.Done();
  };
  std::thread video([&] {
    FeedFrames();
    finished();
  });
  std::thread dialog([&] {
    EditSettings();
    finished();
  });
  std::this_thread::sleep_for(kRunTime);
  stop = true;
  watchdog.WaitOrAbort(std::chrono::steady_clock::now() + kWatchdogGrace);
  video.join();
  dialog.join();

  EXPECT_GT(frames.load(), 0);
  EXPECT_GT(edits.load(), 0);
  EXPECT_GT(textsDrawn.load(), 0) << "no message was drawn: the test checked nothing";
  EXPECT_EQ(tornTexts.load(), 0);
}

}  // namespace
}  // namespace zunk
