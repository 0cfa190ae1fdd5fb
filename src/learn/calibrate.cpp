// Calibration: the samples rebuilt into frames of the reference size (format 0, the logo's
// corner filled from the sample), matched with the plug-in's own functions, the two groups
// compared and the decision's arithmetic run over them.
#include "learn/calibrate.h"

#include <algorithm>
#include <cstdlib>

#include "base/reference_frame.h"
#include "detect/decision.h"
#include "detect/matching.h"
#include "detect/template.h"
#include "settings/channel_profile.h"

namespace zunk {

namespace {

constexpr int32_t kSearch = 30;    // the plug-in's search half-width in a 768-wide frame
constexpr int32_t kTolerance = 3;  // the tolerance of a logo that stays put
constexpr int32_t kWarmUp = 30;    // frames before a simulated stretch counts
constexpr int32_t kStretch = 600;  // frames of a simulated stretch
// The plug-in's usual detect level, and how far programme and adverts must stay from it
// for it to be kept.
constexpr int32_t kUsualDetectLevel = 80;
constexpr int32_t kDetectMargin = 10;

struct Scored {
  int32_t match, contrast, offset;
  bool ownCorner;  // the sample's own picture, not the opposite corner's
};

// Corner `from` of the sample into the area of corner `to` of a 768 x 576 YUY2 frame.
void PaintCorner(const LearnSample& s, int32_t from, int32_t to, std::vector<uint8_t>* frame) {
  const uint8_t *y = s.Luma(from), *u = s.U(from), *v = s.V(from);
  for (int32_t j = 0; j < kCornerHeight; ++j) {
    uint8_t* row = frame->data() +
                   (static_cast<size_t>(CornerTop(to) + j) * kReferenceWidth + CornerLeft(to)) * 2;
    for (int32_t i = 0; i < kCornerWidth; i += 2) {
      const int32_t c = (j / 2) * (kCornerWidth / 2) + i / 2;
      row[i * 2] = y[j * kCornerWidth + i];
      row[i * 2 + 1] = u[c];
      row[i * 2 + 2] = y[j * kCornerWidth + i + 1];
      row[i * 2 + 3] = v[c];
    }
  }
}

// The plug-in's match of the frame at the logo's place: its results and the offset of the
// best placement (the one nearest the place among equals).
bool MatchAt(TemplateBuffers* b,
             const std::vector<uint8_t>& frame,
             const FoundLogo& logo,
             std::vector<uint8_t>* scoreRow,
             Scored* out) {
  ChannelProfile p;
  p.LogoPosX = logo.place.x;
  p.LogoPosY = logo.place.y;
  p.LogoPosTolerance = kTolerance;
  const MatchGeometry g =
      ComputeMatchGeometry(&p, logo.place.width, logo.place.height, b->TemplateWidth,
                           b->TemplateHeight, kReferenceWidth, kReferenceHeight, kSearch);
  if (g.x < 0 || g.y < 0 || g.t < 0)
    return false;
  const FrameView view = {frame.data(), kReferenceWidth, kReferenceHeight, 0};
  const MatchResult m = MatchFrame(b, view, g, logo.colorKey, scoreRow->data());
  const int32_t* scores = reinterpret_cast<const int32_t*>(scoreRow->data());
  int32_t best = g.t;
  for (int32_t k = 0; k <= 2 * g.t; ++k)
    if (scores[k] > scores[best] ||
        (scores[k] == scores[best] && std::abs(k - g.t) < std::abs(best - g.t)))
      best = k;
  *out = {m.matchPercent, m.scoreContrast, best - g.t, true};
  return true;
}

int32_t Percentile(std::vector<int32_t> v, int32_t percent) {
  if (v.empty())
    return 0;
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, v.size() * percent / 100)];
}

// The confidence over a long stretch of frames like `frames` (in their order, repeated),
// from 100: the least (or the most) it takes after a warm-up. A frame counts as found when
// its best placement (the nearest to the place among equals) lies within the tolerance.
int32_t Stretch(const std::vector<Scored>& frames,
                int32_t on,
                int32_t off,
                int32_t level,
                int32_t tolerance,
                bool least) {
  if (frames.empty())
    return least ? 100 : 0;
  int32_t c = 100, extreme = least ? 100 : 0;
  for (int32_t i = 0; i < kStretch; ++i) {
    const Scored& s = frames[i % frames.size()];
    const int32_t found = std::abs(s.offset) <= tolerance;
    c = NextConfidence(c, found, DampedOnSpeed(on, s.contrast, s.match, level), off);
    if (i >= kWarmUp)
      extreme = least ? std::min(extreme, c) : std::max(extreme, c);
  }
  return extreme;
}

// The match percentages, with and without the logo, and how far the logo moved.
void Score(const std::vector<LearnSample>& samples,
           const FoundLogo& logo,
           std::vector<Scored>* with,
           std::vector<Scored>* without) {
  TemplateBuffers b = {};
  const TemplatePictureData picture = {const_cast<uint32_t*>(logo.pixels.data()), logo.place.width,
                                       logo.place.height};
  if (!PrepareTemplateBuffers(&b, picture, kReferenceWidth, kReferenceHeight, kSearch,
                              logo.colorKey)) {
    FreeTemplateBuffers(&b);
    return;
  }
  std::vector<uint8_t> frame(static_cast<size_t>(kReferenceWidth) * kReferenceHeight * 2, 128);
  std::vector<uint8_t> scoreRow(kSearch * 32 + 16);
  const int32_t corner = logo.place.corner;
  for (size_t i = 0; i < samples.size(); ++i) {
    Scored s;
    // The sample as it was, and the opposite corner's picture where the logo would be.
    PaintCorner(samples[i], corner, corner, &frame);
    if (MatchAt(&b, frame, logo, &scoreRow, &s))
      (logo.showsLogo[i] ? with : without)->push_back(s);
    PaintCorner(samples[i], corner ^ 1, corner, &frame);
    if (MatchAt(&b, frame, logo, &scoreRow, &s)) {
      s.ownCorner = false;
      without->push_back(s);
    }
  }
  FreeTemplateBuffers(&b);
}

}  // namespace

Calibration Calibrate(const std::vector<LearnSample>& samples,
                      const FoundLogo& logo,
                      int32_t onSpeed,
                      int32_t offSpeed) {
  Calibration c;
  if (!logo.found || logo.showsLogo.size() != samples.size()) {
    c.message = "no logo to calibrate for: default levels kept";
    return c;
  }
  std::vector<Scored> with, without;
  Score(samples, logo, &with, &without);
  // Samples the finder left out whose best placement lies off the place, as clearly as the
  // logo's usually does: the logo, moved.
  std::vector<int32_t> contrasts;
  for (const Scored& s : with)
    contrasts.push_back(s.contrast);
  const int32_t clear = std::max(1, Percentile(contrasts, 10));
  for (size_t i = 0; i < without.size();) {
    const Scored& s = without[i];
    if (s.ownCorner && std::abs(s.offset) > kTolerance && s.contrast >= clear) {
      with.push_back(s);
      without.erase(without.begin() + static_cast<long>(i));
    } else {
      ++i;
    }
  }
  c.withCount = static_cast<int32_t>(with.size());
  c.withoutCount = static_cast<int32_t>(without.size());
  std::vector<int32_t> mw, mo, offsets;
  for (const Scored& s : with) {
    mw.push_back(s.match);
    offsets.push_back(std::abs(s.offset));
  }
  for (const Scored& s : without)
    mo.push_back(s.match);
  c.withLow = Percentile(mw, 10);
  c.withoutHigh = Percentile(mo, 90);
  const std::string groups = "match with the logo " + std::to_string(c.withLow) +
                             " or more in 9 of 10 samples, without it " +
                             std::to_string(c.withoutHigh) + " or less";
  if (with.empty() || without.empty() || c.withLow <= c.withoutHigh) {
    c.message = "the samples with and without the logo overlap (" + groups +
                "): they cannot be told apart, default levels kept";
    return c;
  }
  const int32_t moved = Percentile(offsets, 90);
  const int32_t tolerance = moved > kTolerance ? std::min(kSearch, moved + 1) : kTolerance;
  const int32_t matchLevel = (c.withLow + c.withoutHigh + 1) / 2;
  c.programmeLeast = Stretch(with, onSpeed, offSpeed, matchLevel, tolerance, true);
  c.advertMost = Stretch(without, onSpeed, offSpeed, matchLevel, tolerance, false);
  if (c.programmeLeast <= c.advertMost) {
    c.message = "the confidence of programme and adverts overlap (programme falls to " +
                std::to_string(c.programmeLeast) + ", adverts reach " +
                std::to_string(c.advertMost) + "; " + groups + "): default levels kept";
    return c;
  }
  c.separated = true;
  c.matchLevel = matchLevel;
  // The usual level where both stay clear of it: the midpoint of a wide gap lies low, and an
  // advert whose picture the logo's template half matches (a see-through logo's) keeps
  // the confidence above it longer than above the usual level.
  if (c.advertMost + kDetectMargin <= kUsualDetectLevel &&
      c.programmeLeast - kDetectMargin >= kUsualDetectLevel)
    c.detectLevel = kUsualDetectLevel;
  else
    c.detectLevel = std::clamp((c.programmeLeast + c.advertMost + 1) / 2, 1, 100);
  c.posTolerance = tolerance;
  c.message = "match level " + std::to_string(c.matchLevel) + " (" + groups + "), detect level " +
              std::to_string(c.detectLevel) + " (programme keeps " +
              std::to_string(c.programmeLeast) + ", adverts reach " + std::to_string(c.advertMost) +
              "), position tolerance " + std::to_string(c.posTolerance);
  return c;
}

}  // namespace zunk
