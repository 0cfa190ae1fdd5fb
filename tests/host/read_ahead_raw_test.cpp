// ReadAhead over raw frames, where no video library is involved, so that the
// ThreadSanitizer build checks the hand-over between the reading thread and the caller:
// every frame once, in order, with its own bytes, whatever the number of buffers, the
// limit, and a caller slower or faster than the reading; a file that ends in a partial
// frame ends there.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "decode/frame_reader.h"
#include "decode/read_ahead.h"

namespace zunkhost {
namespace {

// Frame i: every byte (i * 7 + offset) & 0xFF, so a frame from another place or one
// written while it was read shows.
uint8_t ByteOf(int64_t frame, size_t offset) {
  return static_cast<uint8_t>(frame * 7 + offset);
}

std::string WriteFrames(const std::string& name, const VideoGeometry& g, int frames, size_t tail) {
  const std::string path = "read_ahead_raw_" + name + ".raw";
  std::ofstream out(path, std::ios::binary);
  std::vector<char> frame(FrameBytes(g));
  for (int i = 0; i < frames; ++i) {
    for (size_t b = 0; b < frame.size(); ++b)
      frame[b] = static_cast<char>(ByteOf(i, b));
    out.write(frame.data(), static_cast<std::streamsize>(frame.size()));
  }
  out.write(frame.data(), static_cast<std::streamsize>(tail));
  return path;
}

// The frames read through ReadAhead; -1 for a frame whose bytes are wrong.
std::vector<int64_t> ReadThrough(const std::string& path,
                                 const VideoGeometry& g,
                                 int buffers,
                                 int64_t limit,
                                 int callerPauseUs) {
  ReaderSetup setup;
  setup.path = path;
  setup.raw = true;
  VideoGeometry geometry = g;
  FrameReader reader;
  std::string error;
  EXPECT_TRUE(reader.Open(setup, &geometry, &error)) << error;
  const size_t bytes = FrameBytes(g);
  std::vector<int64_t> seen;
  ReadAhead ahead(&reader, bytes, limit, buffers);
  while (uint8_t* frame = ahead.Next()) {
    const int64_t n = static_cast<int64_t>(seen.size());
    bool right = true;
    for (size_t b = 0; b < bytes; b += 97)
      right = right && frame[b] == ByteOf(n, b);
    seen.push_back(right ? n : -1);
    // The caller owns its frame until it asks for the next: what it writes stays, and
    // the reading thread does not write into it meanwhile.
    for (size_t b = 0; b < bytes; b += 61)
      frame[b] = 0xEE;
    if (callerPauseUs)
      std::this_thread::sleep_for(std::chrono::microseconds(callerPauseUs));
    for (size_t b = 0; b < bytes; ++b)
      if (frame[b] != (b % 61 == 0 ? 0xEE : ByteOf(n, b)))
        seen.back() = -2;
  }
  return seen;
}

std::vector<int64_t> Count(int64_t n) {
  std::vector<int64_t> v;
  for (int64_t i = 0; i < n; ++i)
    v.push_back(i);
  return v;
}

TEST(ReadAheadRawTest, EveryFrameOnceInOrderWithItsOwnBytes) {
  VideoGeometry g;
  g.width = 64;
  g.height = 36;
  const std::string path = WriteFrames("whole", g, 150, 0);
  for (int buffers : {1, 2, 3, 8}) {
    for (int pause : {0, 200}) {
      SCOPED_TRACE("buffers " + std::to_string(buffers) + ", pause " + std::to_string(pause));
      EXPECT_EQ(ReadThrough(path, g, buffers, -1, pause), Count(150));
      EXPECT_EQ(ReadThrough(path, g, buffers, 0, pause), Count(0));
      EXPECT_EQ(ReadThrough(path, g, buffers, 1, pause), Count(1));
      EXPECT_EQ(ReadThrough(path, g, buffers, 149, pause), Count(149));
      EXPECT_EQ(ReadThrough(path, g, buffers, 500, pause), Count(150));
    }
  }
}

TEST(ReadAheadRawTest, APartialLastFrameIsNotGiven) {
  VideoGeometry g;
  g.width = 33;
  g.height = 17;
  g.pixelFormat = 1;
  const std::string path = WriteFrames("partial", g, 20, 100);
  for (int buffers : {1, 4})
    EXPECT_EQ(ReadThrough(path, g, buffers, -1, 0), Count(20)) << "buffers " << buffers;
}

TEST(ReadAheadRawTest, DroppedEarlyWhileTheThreadWaitsOrReads) {
  VideoGeometry g;
  const std::string path = WriteFrames("dropped", g, 40, 0);
  for (int taken : {0, 1, 3, 10}) {
    ReaderSetup setup;
    setup.path = path;
    setup.raw = true;
    VideoGeometry geometry = g;
    FrameReader reader;
    std::string error;
    ASSERT_TRUE(reader.Open(setup, &geometry, &error)) << error;
    ReadAhead ahead(&reader, FrameBytes(g), -1, 3);
    for (int i = 0; i < taken; ++i)
      ASSERT_NE(ahead.Next(), nullptr);
  }
}

}  // namespace
}  // namespace zunkhost
