// The frames the plug-in sees: the in-process decoder and the ffmpeg process give the
// same frames, byte for byte, in both pixel formats; damaged and cut-short files.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "decode/frame_reader.h"

namespace zunkhost {
namespace {

const std::string kSample = ZUNK_SOURCE_DIR "/data/sample/sample.mp4";

uint64_t Fnv1a(const uint8_t* p, size_t n) {
  uint64_t h = 1469598103934665603ull;
  for (size_t i = 0; i < n; ++i)
    h = (h ^ p[i]) * 1099511628211ull;
  return h;
}

struct Decoded {
  VideoGeometry geometry;
  std::vector<uint64_t> sums;  // one per frame
  std::string failure;
  int64_t damaged = 0;
  bool opened = false;
};

Decoded Decode(const std::string& path,
               const std::string& decoder,
               int format,
               int maxFrames = -1,
               int width = 0,
               int height = 0) {
  Decoded d;
  d.geometry.pixelFormat = format;
  ReaderSetup setup;
  setup.path = path;
  setup.decoder = decoder;
  if (width) {
    d.geometry.width = width;
    d.geometry.height = height;
    setup.keepSize = true;
  }
  FrameReader reader;
  std::string error;
  d.opened = reader.Open(setup, &d.geometry, &error);
  if (!d.opened) {
    d.failure = error;
    return d;
  }
  std::vector<uint8_t> frame(FrameBytes(d.geometry));
  while ((maxFrames < 0 || static_cast<int>(d.sums.size()) < maxFrames) &&
         reader.Read(frame.data()))
    d.sums.push_back(Fnv1a(frame.data(), frame.size()));
  d.failure = reader.Failure();
  d.damaged = reader.Damaged();
  return d;
}

// The index of the first frame whose checksums differ, or -1.
long FirstDifference(const Decoded& a, const Decoded& b) {
  for (size_t i = 0; i < a.sums.size() && i < b.sums.size(); ++i)
    if (a.sums[i] != b.sums[i])
      return static_cast<long>(i);
  return a.sums.size() == b.sums.size() ? -1
                                        : static_cast<long>(std::min(a.sums.size(), b.sums.size()));
}

class SameFramesTest : public ::testing::TestWithParam<int> {};

TEST_P(SameFramesTest, InProcessDecoderMatchesThePipeOnEveryFrame) {
  const int format = GetParam();
  Decoded libav = Decode(kSample, "libav", format);
  Decoded pipe = Decode(kSample, "pipe", format);
  ASSERT_TRUE(libav.opened) << libav.failure;
  ASSERT_TRUE(pipe.opened) << pipe.failure;
  EXPECT_EQ(libav.sums.size(), 3016u);
  EXPECT_EQ(libav.geometry.width, 768);
  EXPECT_EQ(libav.geometry.height, 576);
  EXPECT_DOUBLE_EQ(libav.geometry.fps, 25.0);
  EXPECT_EQ(FirstDifference(libav, pipe), -1) << "pixel format " << format;
  EXPECT_EQ(libav.failure, "");
  EXPECT_EQ(pipe.failure, "");
  EXPECT_EQ(libav.damaged, 0);
}

TEST_P(SameFramesTest, ResizedToAnOddSizeBothDecodersAgree) {
  const int format = GetParam();
  Decoded libav = Decode(kSample, "libav", format, 40, 321, 241);
  Decoded pipe = Decode(kSample, "pipe", format, 40, 321, 241);
  ASSERT_EQ(libav.sums.size(), 40u) << libav.failure;
  EXPECT_EQ(libav.geometry.width, 321);
  EXPECT_EQ(FirstDifference(libav, pipe), -1);
}

INSTANTIATE_TEST_SUITE_P(PixelFormats, SameFramesTest, ::testing::Values(0, 1));

TEST(DecodeTest, BottomUpRowsAndYuy2OrderOfAFlatFrame) {
  // The last black frame before the first break: Y 16, U and V 128 in limited range.
  ReaderSetup setup;
  setup.path = kSample;
  for (int format = 0; format < 2; ++format) {
    VideoGeometry g;
    g.pixelFormat = format;
    FrameReader reader;
    std::string error;
    ASSERT_TRUE(reader.Open(setup, &g, &error)) << error;
    std::vector<uint8_t> frame(FrameBytes(g));
    for (int i = 0; i <= 1002; ++i)
      ASSERT_TRUE(reader.Read(frame.data()));
    size_t mid = frame.size() / 2 + 64;
    if (format == 0) {
      EXPECT_NEAR(frame[mid], 16, 2);       // Y
      EXPECT_NEAR(frame[mid + 1], 128, 2);  // U
    } else {
      EXPECT_LE(frame[mid], 3);
    }
  }
  // Bottom-up: the logo sits near the top of the picture, so near the end of the frame.
  VideoGeometry g;
  g.pixelFormat = 1;
  FrameReader reader;
  std::string error;
  ASSERT_TRUE(reader.Open(setup, &g, &error));
  std::vector<uint8_t> frame(FrameBytes(g));
  ASSERT_TRUE(reader.Read(frame.data()));
  // Row 40 from the top (inside the logo's white "Z") is row 535 from the bottom.
  const uint8_t* row = frame.data() + static_cast<size_t>(576 - 1 - 45) * 768 * 3;
  int bright = 0;
  for (int x = 662; x < 690; ++x)
    bright += row[x * 3 + 1] > 200;
  EXPECT_GT(bright, 3);
}

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(DecodeTest, DamagedStretchIsDecodedPastCountedAndKeepsTheClock) {
  std::string bytes = Bytes(kSample);
  ASSERT_GT(bytes.size(), 2600000u);
  uint32_t state = 12345;
  for (int i = 0; i < 2000; ++i) {
    state = state * 1103515245u + 12345u;
    size_t at = 2000000 + (state >> 8) % 600000;
    bytes[at] = static_cast<char>(state >> 3);
  }
  const char* path = "decode_test_damaged.mp4";
  std::ofstream(path, std::ios::binary) << bytes;
  Decoded d = Decode(path, "libav", 0);
  std::remove(path);
  EXPECT_EQ(d.failure, "");
  EXPECT_GT(d.damaged, 0);
  EXPECT_EQ(d.sums.size(), 3016u) << "lost frames are filled in";
}

TEST(DecodeTest, CutShortFileIsReportedAsTruncated) {
  std::string bytes = Bytes(kSample);
  const char* path = "decode_test_cut.mp4";
  std::ofstream(path, std::ios::binary) << bytes.substr(0, bytes.size() / 2);
  for (const char* decoder : {"libav", "pipe"}) {
    Decoded d = Decode(path, decoder, 0);
    EXPECT_TRUE(d.opened) << decoder;
    EXPECT_NE(d.failure.find("truncated video"), std::string::npos) << decoder << d.failure;
  }
  std::remove(path);
}

TEST(DecodeTest, FilesThatAreNoVideo) {
  std::ofstream("decode_test_text.mp4") << "no video here\n";
  std::ofstream("decode_test_empty.mp4");
  for (const char* decoder : {"libav", "pipe"}) {
    EXPECT_NE(Decode("decode_test_text.mp4", decoder, 0).failure.find("not a video"),
              std::string::npos);
    EXPECT_NE(Decode("decode_test_empty.mp4", decoder, 0).failure.find("empty file"),
              std::string::npos);
    EXPECT_NE(Decode("decode_test_missing.mp4", decoder, 0).failure.find("no such file"),
              std::string::npos);
  }
  std::remove("decode_test_text.mp4");
  std::remove("decode_test_empty.mp4");
}

}  // namespace
}  // namespace zunkhost
