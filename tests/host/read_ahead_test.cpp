// Frames decoded ahead of the plug-in: the same frames in the same order as reading each
// when it is wanted, byte for byte, with the limit of --frames, the repeated frames and
// the reader's end state unchanged; a repeat is the frame before it again; a run's outputs
// (timeline, skip list, per-frame lines) are the same bytes with and without reading
// ahead, on the sample and on an H.264 clip with B-frames, whole and with a damaged
// stretch; stopping early never hangs. (Over damage, frame threads conceal errors by how
// far the other threads have got, so the damaged clip is decoded with one thread, which
// gives the same pictures every time.)
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "decode/frame_reader.h"
#include "decode/read_ahead.h"
#include "host_cli.h"

namespace zunkhost {
namespace {

using zunktest::FreshFolder;
using zunktest::HostResult;
using zunktest::ReadAll;
using zunktest::RunZunkHost;
using zunktest::Shell;

const std::string kData = ZUNK_SOURCE_DIR "/data/sample/";

uint64_t Fnv1a(const uint8_t* p, size_t n) {
  uint64_t h = 1469598103934665603ull;
  for (size_t i = 0; i < n; ++i)
    h = (h ^ p[i]) * 1099511628211ull;
  return h;
}

struct Frames {
  std::vector<uint64_t> sums;
  std::string failure;
  int64_t damaged = 0;
  std::vector<int> repeats;  // the frames given as repeats of the one before
};

// buffers 0: each frame read with Read(); otherwise through ReadAhead with that many.
Frames Collect(const std::string& path,
               int threads,
               int format,
               int buffers,
               int64_t maxFrames,
               bool fast = false) {
  Frames f;
  ReaderSetup setup;
  setup.path = path;
  setup.threads = threads;
  setup.fast = fast;
  VideoGeometry g;
  g.pixelFormat = format;
  FrameReader reader;
  std::string error;
  EXPECT_TRUE(reader.Open(setup, &g, &error)) << error;
  const size_t bytes = FrameBytes(g);
  if (buffers == 0) {
    std::vector<uint8_t> frame(bytes);
    while ((maxFrames < 0 || static_cast<int64_t>(f.sums.size()) < maxFrames) &&
           reader.Read(frame.data())) {
      if (reader.Repeated())
        f.repeats.push_back(static_cast<int>(f.sums.size()));
      f.sums.push_back(Fnv1a(frame.data(), bytes));
    }
  } else {
    ReadAhead ahead(&reader, bytes, maxFrames, buffers);
    while (uint8_t* frame = ahead.Next()) {
      if (ahead.Repeated())
        f.repeats.push_back(static_cast<int>(f.sums.size()));
      f.sums.push_back(Fnv1a(frame, bytes));
      // The caller may write into its frame, as the plug-in draws into it.
      frame[bytes / 2] ^= 0xFF;
    }
    EXPECT_EQ(ahead.Next(), nullptr);
  }
  f.failure = reader.Failure();
  f.damaged = reader.Damaged();
  return f;
}

// A short H.264 clip from the sample with B-frames that are references (a pyramid), so
// the decoder gives frames in another order than it reads them; and a copy of it with
// random bytes over a stretch in the middle.
class ReadAheadTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new std::string(FreshFolder("read_ahead"));
    made_ = Shell("ffmpeg -nostdin -v error -y -i " + kData +
                  "sample.mp4 -an -vf \"select='between(n\\,950\\,1150)',setpts=N/25/TB\" "
                  "-c:v libx264 -preset veryfast -bf 3 -b_strategy 0 "
                  "-x264-params b-pyramid=normal -g 30 -threads 2 " +
                  *dir_ + "/bframes.mp4");
    if (!made_)
      return;
    std::string bytes = ReadAll(*dir_ + "/bframes.mp4");
    uint32_t state = 777;
    for (int i = 0; i < 300; ++i) {
      state = state * 1103515245u + 12345u;
      bytes[bytes.size() * 2 / 5 + (state >> 8) % (bytes.size() / 8)] =
          static_cast<char>(state >> 3);
    }
    std::ofstream(*dir_ + "/damaged.mp4", std::ios::binary) << bytes;
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }

  static std::string* dir_;
  static bool made_;
};

std::string* ReadAheadTest::dir_ = nullptr;
bool ReadAheadTest::made_ = false;

TEST_F(ReadAheadTest, GivesTheReadersFramesInOrderWithItsLimitAndEndState) {
  ASSERT_TRUE(made_);
  for (const std::string name : {"bframes.mp4", "damaged.mp4"}) {
    const int threads = name == "damaged.mp4" ? 1 : 0;
    // Both pixel formats over the whole clip; the limit in one.
    const struct {
      int format;
      int64_t limit;
    } reads[] = {{0, -1}, {1, -1}, {0, 0}, {0, 1}, {0, 57}};
    for (const auto& read : reads) {
      const Frames plain = Collect(*dir_ + "/" + name, threads, read.format, 0, read.limit);
      if (read.limit < 0) {
        EXPECT_EQ(plain.sums.size(), 201u) << name;
        EXPECT_EQ(plain.damaged > 0, name == "damaged.mp4");
      }
      for (int buffers : {1, 2, 8}) {
        SCOPED_TRACE(name + ", format " + std::to_string(read.format) + ", limit " +
                     std::to_string(read.limit) + ", buffers " + std::to_string(buffers));
        const Frames ahead = Collect(*dir_ + "/" + name, threads, read.format, buffers, read.limit);
        EXPECT_EQ(ahead.sums, plain.sums);
        EXPECT_EQ(ahead.repeats, plain.repeats);
        EXPECT_EQ(ahead.failure, plain.failure);
        EXPECT_EQ(ahead.damaged, plain.damaged);
      }
    }
  }
}

// A frame the decoder stands in for one it lost (damage) or left out (a fast scan) is
// given as a repeat, and is then the same bytes as the frame before it; a clip decoded
// whole has none.
TEST_F(ReadAheadTest, RepeatsAreTheFrameBeforeAgain) {
  ASSERT_TRUE(made_);
  const struct {
    std::string name;
    int threads;
    bool fast;
    bool someRepeat;
  } cases[] = {{"bframes.mp4", 0, false, false},
               {"bframes.mp4", 0, true, true},
               {"damaged.mp4", 1, false, true},
               {"damaged.mp4", 1, true, true}};
  for (const auto& c : cases) {
    for (int format : {0, 1}) {
      for (int buffers : {0, 3}) {
        SCOPED_TRACE(c.name + (c.fast ? " fast" : "") + ", format " + std::to_string(format) +
                     ", buffers " + std::to_string(buffers));
        const Frames f = Collect(*dir_ + "/" + c.name, c.threads, format, buffers, -1, c.fast);
        EXPECT_EQ(f.sums.size(), 201u);
        EXPECT_EQ(!f.repeats.empty(), c.someRepeat);
        for (int i : f.repeats) {
          ASSERT_GT(i, 0);
          EXPECT_EQ(f.sums[i], f.sums[i - 1]) << "frame " << i;
        }
      }
    }
  }
}

TEST_F(ReadAheadTest, StopsWhenDroppedBeforeTheEnd) {
  ASSERT_TRUE(made_);
  for (int taken : {0, 1, 5}) {
    ReaderSetup setup;
    setup.path = *dir_ + "/bframes.mp4";
    VideoGeometry g;
    FrameReader reader;
    std::string error;
    ASSERT_TRUE(reader.Open(setup, &g, &error)) << error;
    ReadAhead ahead(&reader, FrameBytes(g), -1, 4);
    for (int i = 0; i < taken; ++i)
      ASSERT_NE(ahead.Next(), nullptr);
    // Leaving the scope with frames still to come ends the reading thread.
  }
}

TEST_F(ReadAheadTest, RunOutputsAreTheSameBytesWithAndWithoutReadingAhead) {
  ASSERT_TRUE(made_);
  const std::string out = FreshFolder("read_ahead_runs");
  const struct {
    std::string recording, extra;
  } cases[] = {
      {kData + "sample.mp4", ""},
      {kData + "sample.mp4", "--format 1 --frames 1200 "},
      {*dir_ + "/bframes.mp4", ""},
      {*dir_ + "/damaged.mp4", "--threads 1 "},
  };
  for (const auto& c : cases) {
    std::string outputs[2];
    for (int ahead : {0, 1}) {
      const std::string stem = out + "/" + std::to_string(ahead);
      HostResult r =
          RunZunkHost("--settings " + kData + "Zunk_LogoDetector.ini --no-progress " + c.extra +
                      (ahead ? "" : "--read-ahead 0 ") + "--json " + stem + ".json --edl " + stem +
                      ".edl --log " + stem + ".log " + c.recording);
      ASSERT_EQ(r.code, 0) << c.recording << " " << c.extra << "\n" << r.err;
      outputs[ahead] = ReadAll(stem + ".json") + ReadAll(stem + ".edl") + ReadAll(stem + ".log");
    }
    EXPECT_GT(outputs[0].size(), 1000u);
    EXPECT_TRUE(outputs[0] == outputs[1]) << c.recording << " " << c.extra;
  }
}

}  // namespace
}  // namespace zunkhost
