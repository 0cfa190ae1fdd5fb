// The synthetic recordings of the finder's tests.
#include "learn/synthetic_logo.h"

#include <algorithm>
#include <cmath>

namespace zunk {
namespace testing_util {

namespace {

constexpr int32_t kTexture = 1024;

// Smooth colourful noise, the same for every caller: a few octaves of value noise.
const std::vector<uint8_t>& Texture() {
  static const std::vector<uint8_t> texture = [] {
    std::vector<int32_t> sum(static_cast<size_t>(kTexture) * kTexture * 3, 0);
    uint32_t seed = 7;
    for (int32_t cell : {128, 32, 8, 2}) {
      const int32_t n = kTexture / cell + 2;
      std::vector<int32_t> grid(static_cast<size_t>(n) * n * 3);
      for (int32_t& v : grid) {
        seed = seed * 1664525u + 1013904223u;
        v = static_cast<int32_t>((seed >> 24) % 256) - 128;
      }
      const int32_t weight = cell >= 128 ? 5 : cell >= 32 ? 4 : cell >= 8 ? 2 : 1;
      for (int32_t y = 0; y < kTexture; ++y)
        for (int32_t x = 0; x < kTexture; ++x) {
          const int32_t gx = x / cell, gy = y / cell, fx = x % cell, fy = y % cell;
          for (int32_t c = 0; c < 3; ++c) {
            auto g = [&](int32_t i, int32_t j) {
              return grid[(static_cast<size_t>(j) * n + i) * 3 + c];
            };
            const int32_t top = g(gx, gy) * (cell - fx) + g(gx + 1, gy) * fx;
            const int32_t bottom = g(gx, gy + 1) * (cell - fx) + g(gx + 1, gy + 1) * fx;
            sum[(static_cast<size_t>(y) * kTexture + x) * 3 + c] +=
                weight * (top * (cell - fy) + bottom * fy) / (cell * cell);
          }
        }
    }
    std::vector<uint8_t> out(sum.size());
    for (size_t i = 0; i < sum.size(); ++i)
      out[i] = static_cast<uint8_t>(std::clamp(120 + sum[i] / 9, 8, 247));
    return out;
  }();
  return texture;
}

uint32_t Hash(uint32_t v) {
  v ^= v >> 16;
  v *= 0x7feb352du;
  v ^= v >> 15;
  v *= 0x846ca68bu;
  return v ^ (v >> 16);
}

void Fill(LogoArt* a,
          int32_t x0,
          int32_t y0,
          int32_t x1,
          int32_t y1,
          uint32_t colour,
          uint8_t alpha) {
  for (int32_t y = std::max(0, y0); y < std::min(a->h, y1); ++y)
    for (int32_t x = std::max(0, x0); x < std::min(a->w, x1); ++x) {
      uint8_t* p = &a->bgra[(static_cast<size_t>(y) * a->w + x) * 4];
      p[0] = colour & 0xFF;
      p[1] = (colour >> 8) & 0xFF;
      p[2] = (colour >> 16) & 0xFF;
      p[3] = alpha;
    }
}

// Three letter-like blocks, each a frame of bars.
void Letters(LogoArt* a, uint32_t colour, uint8_t alpha) {
  const int32_t stroke = std::max(2, a->w / 14), letter = a->w / 3;
  for (int32_t i = 0; i < 3; ++i) {
    const int32_t x0 = i * letter + stroke / 2, x1 = (i + 1) * letter - stroke / 2;
    Fill(a, x0, 0, x0 + stroke, a->h, colour, alpha);
    Fill(a, x0, 0, x1, stroke, colour, alpha);
    if (i != 1)
      Fill(a, x0, a->h - stroke, x1, a->h, colour, alpha);
    if (i != 2)
      Fill(a, x1 - stroke, 0, x1, a->h, colour, alpha);
    Fill(a, x0, a->h / 2 - stroke / 2, x1 - stroke, a->h / 2 + (stroke + 1) / 2, colour, alpha);
  }
}

// Blends the logo's pixel over reference pixel (rx, ry) into p, when the logo covers it.
void Blend(const LogoArt* logo, int32_t x, int32_t y, int32_t rx, int32_t ry, uint8_t* p) {
  if (!logo || rx < x || ry < y || rx >= x + logo->w || ry >= y + logo->h)
    return;
  const uint8_t* l = &logo->bgra[(static_cast<size_t>(ry - y) * logo->w + rx - x) * 4];
  for (int32_t c = 0; c < 3; ++c)
    p[c] = static_cast<uint8_t>((l[c] * l[3] + p[c] * (255 - l[3]) + 127) / 255);
}

}  // namespace

LogoArt MakeLogo(LogoKind kind, int32_t w, uint32_t colour, uint8_t alpha) {
  LogoArt a;
  a.w = w;
  a.h = std::max(12, w / 2);
  a.bgra.assign(static_cast<size_t>(a.w) * a.h * 4, 0);
  const uint32_t other = colour == 0xFFFFFF ? 0x303030 : 0xF0F0F0;
  switch (kind) {
    case LogoKind::kBadge:
      Fill(&a, 0, 0, a.w, a.h, colour, alpha);
      Fill(&a, a.w / 5, a.h / 3, a.w * 4 / 5, a.h * 2 / 3, other, alpha);
      break;
    case LogoKind::kLetters:
      Letters(&a, colour, alpha);
      break;
    case LogoKind::kOutline: {
      const int32_t t = 2;
      Fill(&a, 0, 0, a.w, t, colour, alpha);
      Fill(&a, 0, a.h - t, a.w, a.h, colour, alpha);
      Fill(&a, 0, 0, t, a.h, colour, alpha);
      Fill(&a, a.w - t, 0, a.w, a.h, colour, alpha);
      break;
    }
    case LogoKind::kHoles: {
      Fill(&a, 0, 0, a.w, a.h, colour, alpha);
      // Two square holes that show the picture behind.
      const int32_t s = std::max(4, a.h / 3);
      Fill(&a, a.w / 4 - s / 2, a.h / 2 - s / 2, a.w / 4 + s / 2, a.h / 2 + s / 2, 0, 0);
      Fill(&a, a.w * 3 / 4 - s / 2, a.h / 2 - s / 2, a.w * 3 / 4 + s / 2, a.h / 2 + s / 2, 0, 0);
      break;
    }
  }
  return a;
}

void PlaceInCorner(const LogoArt& logo, int32_t corner, int32_t* x, int32_t* y) {
  *x = (corner & 1) ? 768 - 36 - logo.w : 36;
  *y = (corner & 2) ? 576 - 28 - logo.h : 28;
}

std::vector<uint8_t> MakeFrame(const Scene& s, Shot shot, int32_t n) {
  const std::vector<uint8_t>& tex = Texture();
  const uint32_t h = Hash(static_cast<uint32_t>(n) * 2654435761u + (shot == Shot::kAdvert));
  const int32_t ox = h % kTexture, oy = (h >> 10) % kTexture;
  // Adverts look different: the texture's colours turned round.
  const int32_t turn = shot == Shot::kAdvert ? 1 : 0;
  std::vector<uint8_t> bgr(static_cast<size_t>(s.width) * s.height * 3);
  for (int32_t y = 0; y < s.height; ++y) {
    // The second field of an interlaced frame is taken a moment later: the picture moved.
    const int32_t shift = s.interlaced && (y & 1) ? 5 : 0;
    const int32_t ry = y * 576 / s.height;
    for (int32_t x = 0; x < s.width; ++x) {
      const int32_t rx = x * 768 / s.width;
      const uint8_t* t = &tex[(static_cast<size_t>((oy + ry) % kTexture) * kTexture +
                               (ox + rx + shift) % kTexture) *
                              3];
      uint8_t* p = &bgr[(static_cast<size_t>(y) * s.width + x) * 3];
      for (int32_t c = 0; c < 3; ++c)
        p[c] = t[(c + turn) % 3];
      if (shot == Shot::kBlack) {
        p[0] = p[1] = p[2] = 8;
        continue;
      }
      if (shot != Shot::kAdvert && s.wallGap > 0 && n % s.wallGap != 0 &&
          rx < s.wallX + (n * 7) % 25 - 12)
        p[0] = p[1] = p[2] = 255;
      if (shot != Shot::kAdvert) {
        Blend(s.logo, s.logoX, s.logoY, rx, ry, p);
        Blend(s.second, s.secondX, s.secondY, rx, ry, p);
      }
      if (shot == Shot::kFade)
        for (int32_t c = 0; c < 3; ++c)
          p[c] = static_cast<uint8_t>(p[c] / 3);
    }
  }
  if (s.format == 1) {
    std::vector<uint8_t> up(bgr.size());
    const size_t row = static_cast<size_t>(s.width) * 3;
    for (int32_t y = 0; y < s.height; ++y)
      std::copy(&bgr[y * row], &bgr[y * row] + row, &up[(s.height - 1 - y) * row]);
    return up;
  }
  std::vector<uint8_t> yuy2(static_cast<size_t>(s.width) * s.height * 2);
  for (int32_t y = 0; y < s.height; ++y)
    for (int32_t x = 0; x + 1 < s.width; x += 2) {
      const uint8_t* a = &bgr[(static_cast<size_t>(y) * s.width + x) * 3];
      const uint8_t* b = a + 3;
      const int32_t B = (a[0] + b[0]) / 2, G = (a[1] + b[1]) / 2, R = (a[2] + b[2]) / 2;
      uint8_t* q = &yuy2[(static_cast<size_t>(y) * s.width + x) * 2];
      q[0] = static_cast<uint8_t>((29 * a[0] + 150 * a[1] + 77 * a[2]) >> 8);
      q[1] = static_cast<uint8_t>(((128 * B - 85 * G - 43 * R) >> 8) + 128);
      q[2] = static_cast<uint8_t>((29 * b[0] + 150 * b[1] + 77 * b[2]) >> 8);
      q[3] = static_cast<uint8_t>(((-21 * B - 107 * G + 128 * R) >> 8) + 128);
    }
  return yuy2;
}

}  // namespace testing_util
}  // namespace zunk
