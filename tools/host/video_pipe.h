// Raw frames in and out: through an ffmpeg pipe on POSIX; from and to raw files (or the
// standard streams) in the Windows build, where ffmpeg runs outside Wine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace zunkhost {

struct VideoGeometry {
  int width = 768;
  int height = 576;
  int pixelFormat = 0;  // 0 yuyv422, 1 bgr24 bottom-up
  double fps = 25.0;
};

size_t FrameBytes(const VideoGeometry& g);

// Opens the frame source: a video decoded by ffmpeg, or raw frames when `raw` is set
// ("-" = standard input). Returns null with a message on failure.
FILE* OpenFrameSource(const std::string& path,
                      bool raw,
                      const VideoGeometry& g,
                      std::string* error);
void CloseFrameSource(FILE* f, bool raw);

// Opens the sink for processed frames: an encoded video through ffmpeg, or raw frames.
FILE* OpenFrameSink(const std::string& path, bool raw, const VideoGeometry& g, std::string* error);
void CloseFrameSink(FILE* f, bool raw);

// Reads exactly n bytes; false at the end of the stream.
bool ReadFrame(FILE* f, uint8_t* buf, size_t n);

}  // namespace zunkhost
