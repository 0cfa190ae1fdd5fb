// Finding a channel logo in frames sampled far apart from a recording: the pixels that
// stay the same from frame to frame while the picture around them changes. Frames
// without the logo (advert breaks) are found first and left out; black frames are never
// sampled. Everything is in the 768 x 576 reference frame.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zunkhost {

// Frames kept far apart: at most `capacity`, evenly spread over what was offered. When
// full, every other one is dropped and the spacing doubles, so a recording of any
// length costs the same memory.
class FrameSampler {
 public:
  FrameSampler(int width, int height, int firstSpacing, int capacity);
  // Offers frame number n (top-down B, G, R); it is kept when it falls on the spacing
  // and is not black or flat.
  void Offer(int64_t n, const uint8_t* bgr);
  const std::vector<std::vector<uint8_t>>& Frames() const { return frames_; }
  int64_t Spacing() const { return spacing_; }

 private:
  int width_, height_, capacity_;
  int64_t spacing_;
  std::vector<std::vector<uint8_t>> frames_;
  std::vector<int64_t> numbers_;
};

struct FoundLogo {
  int x = 0, y = 0;           // top-left corner, reference pixels
  int width = 0, height = 0;  // reference pixels
  std::vector<uint8_t> bgr;   // width x height, top-down: the logo's typical colours
  std::vector<uint8_t> mask;  // width x height: 1 where the logo is, 0 for background
  // The logo and the picture around it (typical colours of the frames with the logo),
  // for a preview: a rectangle of the frame at contextX, contextY.
  int contextX = 0, contextY = 0, contextWidth = 0, contextHeight = 0;
  std::vector<uint8_t> context;  // top-down B, G, R
  int samples = 0;               // frames looked at
  int logoFrames = 0;            // of which showed the logo
};

// Finds the logo in the corner areas of the frames (W x H top-down B, G, R). False
// with the reason in *why when there is no static logo.
bool FindLogo(const std::vector<std::vector<uint8_t>>& frames,
              int width,
              int height,
              FoundLogo* found,
              std::string* why);

}  // namespace zunkhost
