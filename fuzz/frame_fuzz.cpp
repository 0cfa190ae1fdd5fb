// Fuzz target of the frame path: a settings file and a template bitmap from the input, a
// stream of the input's size and pixel format, a few frames through ProcessFrame with the
// message and the overlay on, then Stop and a second stream in the other pixel format.
// Frames that come back with result 0 must be unchanged; the sanitizers watch the rest.
//
// Input layout (missing bytes read as 0):
//   flags, two stream sizes (class byte, width, height each), profile values, frame
//   counts, a seed, the length of the settings text (2 bytes), the settings text, and
//   the rest: the template bitmap file.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "detect/decision.h"
#include "host/host_records.h"
#include "image/bmp_reader.h"
#include "pipeline/frame_pipeline.h"
#include "platform/platform.h"
#include "plugin/lifecycle.h"
#include "react/reaction.h"
#include "settings/channel_profile.h"
#include "settings/ini_store.h"

namespace {

using namespace zunk;

struct Input {
  const uint8_t* p;
  size_t n;
  uint8_t U8() {
    if (!n)
      return 0;
    --n;
    return *p++;
  }
  uint16_t U16() { return static_cast<uint16_t>(U8() | U8() << 8); }
  uint32_t U32() { return U16() | static_cast<uint32_t>(U16()) << 16; }
};

// The template bitmap of this input, read by the portable reader whatever the path.
const uint8_t* bitmapBytes = nullptr;
size_t bitmapSize = 0;

uint32_t* LoadFuzzBitmap(const char*, int32_t maxW, int32_t maxH, int32_t* w, int32_t* h) {
  return ReadBmp(bitmapBytes, bitmapSize, maxW, maxH, w, h);
}

WindowHandle NoWindow(const char*, const char*) {
  return 0;
}

// A message layer whose text is boxes of a fixed size: the real glyphs cost far more than
// the frame path under test, and the message's placement and blending are the same.
struct BoxSurface {
  uint32_t* pixels = nullptr;
  int32_t width = 0, height = 0;
};
constexpr int32_t kBoxWidth = 40, kBoxHeight = 75;  // reference units

BoxSurface* Boxes(Surface* s) {
  return reinterpret_cast<BoxSurface*>(s);
}
int32_t Scale(int32_t a, int32_t b, int32_t c) {
  return static_cast<int32_t>(int64_t{a} * b / c);
}
Surface* BoxCreate() {
  return reinterpret_cast<Surface*>(new BoxSurface);
}
void BoxEnd(Surface* s) {
  std::free(Boxes(s)->pixels);
  *Boxes(s) = BoxSurface{};
}
uint32_t* BoxBegin(Surface* s, int32_t width, int32_t height) {
  BoxEnd(s);
  BoxSurface* b = Boxes(s);
  b->pixels = static_cast<uint32_t*>(std::calloc(static_cast<size_t>(width) * height, 4));
  b->width = width;
  b->height = height;
  return b->pixels;
}
void BoxDestroy(Surface* s) {
  BoxEnd(s);
  delete Boxes(s);
}
// The harness's own pixel loops carry no coverage: their compares say nothing about the
// code under test and would only slow every run.
#if defined(__clang__)
#define HARNESS_LOOP __attribute__((no_sanitize("coverage")))
#else
#define HARNESS_LOOP
#endif

// Fills the layer's pixels of the reference rectangle [x0, x1) x [y0, y1).
HARNESS_LOOP void FillReference(BoxSurface* b,
                                int32_t x0,
                                int32_t y0,
                                int32_t x1,
                                int32_t y1,
                                uint32_t v) {
  if (!b->pixels)
    return;
  const int32_t left = std::max(0, Scale(x0, b->width, 768));
  const int32_t right = std::min(b->width, Scale(x1, b->width, 768));
  const int32_t top = std::max(0, Scale(y0, b->height, 576));
  const int32_t bottom = std::min(b->height, Scale(y1, b->height, 576));
  for (int32_t y = top; y < bottom; ++y)
    for (int32_t x = left; x < right; ++x)
      b->pixels[static_cast<size_t>(y) * b->width + x] = v;
}
void BoxFill(Surface* s, uint32_t colour) {
  FillReference(Boxes(s), 0, 0, 768, 576, colour);
}
void BoxExtent(Surface* s, const char*, int32_t length, int32_t* cx, int32_t* cy) {
  *cx = Boxes(s)->pixels ? length * kBoxWidth : 0;
  *cy = Boxes(s)->pixels ? kBoxHeight : 0;
}
void BoxText(Surface* s, int32_t x, int32_t y, const char* text, int32_t length, uint32_t colour) {
  for (int32_t i = 0; i < length; ++i) {
    if (text[i] != ' ')
      FillReference(Boxes(s), x + i * kBoxWidth + 4, y + 8, x + (i + 1) * kBoxWidth - 4,
                    y + kBoxHeight - 8, colour);
  }
}

const Platform& FuzzPlatform() {
  static Platform p = [] {
    Platform fake = NativePlatform();
    fake.LoadBitmapFile = LoadFuzzBitmap;
    fake.FindWindowByClass = NoWindow;
    fake.SurfaceCreate = BoxCreate;
    fake.SurfaceBegin = BoxBegin;
    fake.SurfaceEnd = BoxEnd;
    fake.SurfaceDestroy = BoxDestroy;
    fake.SurfaceFill = BoxFill;
    fake.SurfaceTextExtent = BoxExtent;
    fake.SurfaceText = BoxText;
    return fake;
  }();
  return p;
}

// A frame side: mostly small, now and then up to the reference size, rarely up to 2048.
int32_t Side(uint8_t sizeClass, uint16_t v) {
  if (sizeClass < 224)
    return 1 + v % 64;
  if (sizeClass < 252)
    return 1 + v % 768;
  return 1 + v % 2048;
}

struct Session {
  int32_t width, height, format;
};

Session ReadSession(Input* in, int32_t format) {
  Session s;
  const uint8_t sizeClass = in->U8();
  s.width = Side(sizeClass, in->U16());
  s.height = Side(sizeClass, in->U16());
  s.format = format;
  return s;
}

// The values that decide what is drawn and where, laid over the profile the settings
// text gave, so that the fuzzer reaches them without spelling numbers.
void OverrideProfile(ChannelProfile* p, Input* in) {
  p->LogoPosX = static_cast<int16_t>(in->U16());
  p->LogoPosY = static_cast<int16_t>(in->U16());
  p->LogoPosTolerance = static_cast<int8_t>(in->U8());
  p->LogoDetectLevel = in->U8() % 101;
  p->LogoMatchLevel = in->U8() % 101;
  p->LogoOffResponseSpeed = in->U8();
  p->LogoOnResponseSpeed = in->U8();
  p->LogoTransparency = static_cast<int8_t>(in->U8());
  p->MsgTransparency = static_cast<int8_t>(in->U8());
  p->MsgBackEnable = in->U8() & 1;
  p->ColorKey = in->U32();
  p->LeftTopPixelColor = in->U8() & 1;
}

// Frames are tiled from one block of noise, from an offset the seed picks: cheap, no
// comparisons for the fuzzer to trace, and a frame is checked against the same tiling
// without a copy of it.
const std::vector<uint8_t>& Noise() {
  static const std::vector<uint8_t> noise = [] {
    std::vector<uint8_t> v(65536 + 4096);
    uint32_t x = 1;
    for (uint8_t& b : v) {
      x = x * 1103515245u + 12345u;
      b = static_cast<uint8_t>(x >> 24);
    }
    return v;
  }();
  return noise;
}

// Calls `chunk(offset in frame, noise bytes, count)` over the tiling of `size` bytes.
template <typename Chunk>
HARNESS_LOOP bool Tile(size_t size, uint32_t seed, Chunk chunk) {
  const std::vector<uint8_t>& noise = Noise();
  size_t at = seed % 4096;
  for (size_t done = 0; done < size;) {
    const size_t n = std::min(size - done, noise.size() - at);
    if (!chunk(done, noise.data() + at, n))
      return false;
    done += n;
    at = 0;
  }
  return true;
}

// A frame's bytes, left uninitialised: every frame is tiled in full before it is used.
struct Frame {
  std::unique_ptr<uint8_t[]> bytes;
  size_t size;
};

void Fill(Frame* frame, uint32_t seed) {
  Tile(frame->size, seed, [frame](size_t at, const uint8_t* bytes, size_t n) {
    std::memcpy(frame->bytes.get() + at, bytes, n);
    return true;
  });
}

bool Unchanged(const Frame& frame, uint32_t seed) {
  return Tile(frame.size, seed, [&frame](size_t at, const uint8_t* bytes, size_t n) {
    return std::memcmp(frame.bytes.get() + at, bytes, n) == 0;
  });
}

void RunFrame(Frame* frame, ChannelInfo* channel, uint32_t seed) {
  Fill(frame, seed);
  FrameInfo info = {};
  info.pixels = frame->bytes.get();
  info.channel = channel;
  int32_t result;
  {
    ReactionLockScope lock;
    result = ProcessFrame(&info);
  }
  if (result != 0 && result != 1)
    std::abort();
  if (result == 0 && !Unchanged(*frame, seed))
    std::abort();
}

void RunSession(const Session& s, Input* in, int32_t recording, uint32_t seed) {
  StreamFormat f = {};
  f.width = s.width;
  f.height = s.height;
  f.pixelFormat = s.format;
  f.recording = recording;
  Start(&f);
  const uint8_t frames = in->U8();
  const uint8_t keys = in->U8();
  const uint8_t nameByte = in->U8();
  SimulateLogoLoss = in->U8() & 1;
  const size_t frameBytes = static_cast<size_t>(s.width) * s.height * (s.format == 0 ? 2 : 3);
  Frame frame = {std::unique_ptr<uint8_t[]>(new uint8_t[frameBytes]), frameBytes};
  ChannelInfo channel = {};
  // A name without a terminator inside the record, now and then.
  std::memset(channel.name, nameByte | 1, sizeof channel.name);
  if (nameByte & 1)
    channel.name[nameByte % sizeof channel.name] = '\0';
  for (int i = 0; i < 2 + frames % 7; ++i) {
    // Channel keys 1..4; a change of channel every time the key bits say so.
    channel.keyLow = 1 + ((keys >> (i % 4 * 2)) & 3);
    channel.keyHigh = (keys & 0x80) && i == 1 ? 1 : 0;
    RunFrame(&frame, &channel, seed + i);
    // The skips after Start and after a change of channel only count frames down; cut
    // them short to reach matching within a few frames.
    StartSkip = 0;
    ChangeSkip = 0;
    if (ChannelProfile* p = CurrentProfile()) {
      p->MsgEnable = 1;
      p->ShowLogo = 1;
      p->ProcessingEnable = 1;
    }
  }
  ReactionLockScope lock;
  Stop();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in{data, size};
  const uint8_t flags = in.U8();
  // Pixel formats 0 and 1; now and then one the module does not know.
  const int32_t firstFormat = flags == 0xFF ? 2 : (flags & 1);
  const Session first = ReadSession(&in, firstFormat);
  const Session second = ReadSession(&in, firstFormat == 1 ? 0 : 1);
  uint8_t profileBytes[18];
  for (uint8_t& b : profileBytes)
    b = in.U8();
  uint8_t sessionBytes[8];
  for (uint8_t& b : sessionBytes)
    b = in.U8();
  const uint32_t seed = in.U32();
  size_t textLength = in.U16();
  if (textLength > in.n)
    textLength = in.n;
  const std::string text(reinterpret_cast<const char*>(in.p), textLength);
  bitmapBytes = in.p + textLength;
  bitmapSize = in.n - textLength;

  SetPlatformForTest(&FuzzPlatform());
  // The layer of this platform lives for this input only: the real one's would differ.
  Surface* const realSurface = MessageSurface.surface;
  MessageSurface.surface = Os().SurfaceCreate();

  // The profiles from the settings text; the channels 1..4 it lacks get DefaultProfile.
  IniStore store;
  store.OpenBytes(text);
  store.ReadProfiles();
  store.Close();
  Presence = {};
  if (flags & 2) {
    Input values{profileBytes, sizeof profileBytes};
    OverrideProfile(&DefaultProfile, &values);
    for (ChannelProfile& p : Profiles) {
      values = Input{profileBytes, sizeof profileBytes};
      OverrideProfile(&p, &values);
    }
  }
  DefaultProfile.MsgEnable = 1;
  DefaultProfile.ShowLogo = 1;
  DefaultProfile.ProcessingEnable = 1;

  Input sessionIn{sessionBytes, 4};
  RunSession(first, &sessionIn, (flags >> 2) & 1, seed);
  sessionIn = Input{sessionBytes + 4, 4};
  RunSession(second, &sessionIn, (flags >> 3) & 1, seed ^ 0x9E3779B9u);

  Os().SurfaceDestroy(MessageSurface.surface);
  MessageSurface.surface = realSurface;
  SetPlatformForTest(nullptr);
  bitmapBytes = nullptr;
  bitmapSize = 0;
  // The profiles this input read or added die with it. Otherwise every input would end
  // with more allocations than frees, and the fuzzer would run each one a second time to
  // look for a leak.
  ProfileTable().swap(Profiles);
  ProfileTable().swap(ProfileSnapshot);
  DefaultProfile = ChannelProfile{};
  return 0;
}
