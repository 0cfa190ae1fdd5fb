// Where the plug-in's frames come from: raw frames in the plug-in's pixel format, or a
// video decoded in this process (or by an ffmpeg process) and packed for the plug-in.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "decode/frame_source.h"
#include "decode/video_pipe.h"

namespace zunkhost {

class FramePacker;

struct ReaderSetup {
  std::string path;
  bool raw = false;              // raw frames of *geometry ("-" = standard input)
  std::string decoder = "auto";  // "libav", "pipe" or "auto" (libav where built in)
  int threads = 0;               // decoder threads; 0 = every core
  bool keepSize = false;         // resize decoded frames to geometry's size
  double follow = 0;             // > 0: a growing file, ended after that many idle seconds
  bool fast = false;             // decode only what finding the breaks needs
};

class FrameReader {
 public:
  FrameReader();
  ~FrameReader();
  // Opens the source. For decoded video *geometry takes the stream's frame rate, and its
  // size unless keepSize. False with one line in *error.
  bool Open(const ReaderSetup& setup, VideoGeometry* geometry, std::string* error);
  // The next frame, packed (FrameBytes of the geometry); false at the end.
  bool Read(uint8_t* frame);
  // Passes over the next frame without packing it; false at the end.
  bool Skip();
  // Decoded video: from the next frame on, packs only the picture's rows [first, last)
  // (from the top, first taken down to an even row); the other rows of the frame keep what
  // the buffer held. For a run in which nothing reads the other rows. Raw frames are read
  // whole.
  void PackRows(int first, int last);
  void Close();

  int64_t ExpectedFrames() const;  // -1 when unknown
  bool HasAudio() const;
  // Why the stream ended early ("" after a clean end).
  std::string Failure() const;
  int64_t Damaged() const;
  // What a fast scan's decoder leaves out ("" = nothing).
  std::string LeftOut() const;
  // Whether the frame the last Read packed is the same picture, packed the same way, as
  // the frame the Read before it packed (the decoder stands it in for a frame lost or
  // left out).
  bool Repeated() const { return repeated_; }

 private:
  ReaderSetup setup_;
  VideoGeometry geometry_;
  FILE* raw_ = nullptr;
  size_t rawBytes_ = 0;
  int64_t rawFrames_ = 0;
  std::string failure_;
  bool repeated_ = false;
  bool lastPacked_ = false;  // the frame before was packed, not skipped
  bool Next(uint8_t* frame);  // frame null: not packed
  std::unique_ptr<FrameSource> source_;
  std::unique_ptr<FramePacker> packer_;
};

}  // namespace zunkhost
