// Decoded video before it is packed for the plug-in: what a source knows about its
// stream, one frame as three 8-bit 4:2:0 planes, and the sources that deliver them (the
// decoder libraries in this process, or an ffmpeg process through a pipe).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace zunkhost {

// How the stream's Y'CbCr turns into R'G'B'.
enum class ColourMatrix { kBt601, kBt709, kFullRange601 };

struct StreamInfo {
  int width = 0;
  int height = 0;
  double fps = 25.0;
  int64_t expectedFrames = -1;  // from the container's index or duration; -1 unknown
  bool hasAudio = false;
  ColourMatrix matrix = ColourMatrix::kBt601;
  std::string leftOut;  // what a fast scan's decoder leaves out ("" = nothing)
};

// One frame: 4:2:0 planes, chroma (width + 1) / 2 x (height + 1) / 2. Valid until the
// source's next call.
struct PlanarFrame {
  const uint8_t* y = nullptr;
  const uint8_t* u = nullptr;
  const uint8_t* v = nullptr;
  int strideY = 0;
  int strideU = 0;
  int strideV = 0;
  bool repeat = false;  // the same picture as the frame before it (a lost or left-out frame)
};

class FrameSource {
 public:
  virtual ~FrameSource() = default;
  // The next frame in display order; false at the end or on an error that ends the
  // stream (then Failure() says what).
  virtual bool Next(PlanarFrame* frame) = 0;
  const StreamInfo& Info() const { return info_; }
  // Why the stream ended early ("" after a clean end): the file stops before its
  // declared end, or reading failed.
  const std::string& Failure() const { return failure_; }
  // Damaged packets or frames decoded past so far.
  int64_t Damaged() const { return damaged_; }

 protected:
  StreamInfo info_;
  std::string failure_;
  int64_t damaged_ = 0;
};

// In-process decoding with frame threads (threads 0: every core, but one in a fast scan
// decoded at reduced size); "-" is standard input.
// follow > 0: the file is still being written; at its end reading waits for it to grow
// (and for its first bytes), and ends once it has not grown for `follow` seconds. fast:
// the decoder leaves out what the codec allows for finding breaks (see decode.cpp); the
// frames may then be smaller than the stream's and repeat, but there are as many as in
// the stream. Null with a message in *error when the file cannot be opened as a video.
std::unique_ptr<FrameSource> OpenLibavSource(const std::string& path,
                                             int threads,
                                             double follow,
                                             bool fast,
                                             std::string* error);
// The same frames from an ffmpeg process (ffprobe tells the stream's properties).
std::unique_ptr<FrameSource> OpenPipeSource(const std::string& path, std::string* error);

// Whether this build decodes in-process.
bool HaveLibav();

}  // namespace zunkhost
