// Synthetic recordings for the logo finder: a moving colourful picture, a channel logo of a
// chosen kind blended into it at the 768 x 576 reference scale, adverts, black and fades,
// at any frame size, in either pixel format, interlaced or not.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "learn/learn_sample.h"

namespace zunk {
namespace testing_util {

// A logo at the reference scale: B, G, R, A per pixel, straight alpha.
struct LogoArt {
  int32_t w = 0, h = 0;
  std::vector<uint8_t> bgra;
  uint8_t Alpha(int32_t x, int32_t y) const {
    return bgra[(static_cast<size_t>(y) * w + x) * 4 + 3];
  }
};

enum class LogoKind { kBadge, kLetters, kOutline, kHoles };

// A logo of the kind, w reference pixels wide, in `colour` (B, G, R packed 0x00RRGGBB), its
// drawn pixels at `alpha` (0..255).
LogoArt MakeLogo(LogoKind kind, int32_t w, uint32_t colour, uint8_t alpha);

enum class Shot { kProgramme, kAdvert, kBlack, kFade };

struct Scene {
  int32_t width = 768, height = 576, format = 0;
  bool interlaced = false;
  const LogoArt* logo = nullptr;
  int32_t logoX = 0, logoY = 0;     // reference pixels
  const LogoArt* second = nullptr;  // another logo shown with the first
  int32_t secondX = 0, secondY = 0;
  // A white wall (pure white, as a picture clips) behind the programme in all frames but
  // every wallGap-th (0: none), its right side within 12 reference pixels of column wallX.
  int32_t wallX = 0, wallGap = 0;
};

// Frame number `n` of the scene as the plug-in receives it: the picture moves from frame to
// frame; programme frames carry the logo, adverts a picture of their own without it, fades
// the programme at a third of its brightness.
std::vector<uint8_t> MakeFrame(const Scene& scene, Shot shot, int32_t n);

// The logo's top-left corner for a corner 0..3, kept `margin` pixels from the edges.
void PlaceInCorner(const LogoArt& logo, int32_t corner, int32_t* x, int32_t* y);

}  // namespace testing_util
}  // namespace zunk
