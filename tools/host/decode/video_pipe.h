// Raw frames in and out: from and to raw files (or the standard streams); on POSIX the
// processed frames can also be encoded by an ffmpeg process. In the Windows build
// ffmpeg runs outside Wine.
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

// Opens a file of raw frames ("-" = standard input). Returns null with a message on
// failure.
FILE* OpenFrameSource(const std::string& path,
                      bool raw,
                      const VideoGeometry& g,
                      std::string* error);
void CloseFrameSource(FILE* f, bool raw);

// Opens the sink for processed frames: an encoded video through ffmpeg (with the audio
// of audioFrom copied in, when named), or raw frames.
FILE* OpenFrameSink(const std::string& path,
                    bool raw,
                    const VideoGeometry& g,
                    const std::string& audioFrom,
                    std::string* error);
// False when the frames could not all be written.
bool CloseFrameSink(FILE* f, bool raw);

// Reads exactly n bytes; false at the end of the stream.
bool ReadFrame(FILE* f, uint8_t* buf, size_t n);

}  // namespace zunkhost
