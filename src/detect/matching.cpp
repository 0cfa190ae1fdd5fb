// Frame matching: the geometry of the search, the match percentage at the expected place,
// and the scores of the horizontal placements around it.
#include "detect/matching.h"

#include <cstddef>
#include <cstring>

#include "base/mul_div.h"
#include "base/reference_frame.h"
#include "detect/template.h"
#include "kernels/kernels.h"
#include "kernels/placement_sad.h"
#include "settings/channel_profile.h"

namespace zunk {

MatchGeometry ComputeMatchGeometry(ChannelProfile* profile,
                                   int32_t bmW,
                                   int32_t bmH,
                                   int32_t tw,
                                   int32_t th,
                                   int32_t W,
                                   int32_t H,
                                   int32_t S) {
  int32_t X = profile->LogoPosX < 0 ? 0 : profile->LogoPosX;
  int32_t Y = profile->LogoPosY < 0 ? 0 : profile->LogoPosY;
  // 64-bit sums: positions come unchecked from the settings file.
  if (int64_t{X} + bmW > kReferenceWidth)
    X = kReferenceWidth - bmW;
  if (int64_t{Y} + bmH > kReferenceHeight)
    Y = kReferenceHeight - bmH;
  profile->LogoPosX = X;
  profile->LogoPosY = Y;

  MatchGeometry g;
  g.x = MulDiv(X, W, kReferenceWidth);
  g.y = MulDiv(Y, H, kReferenceHeight);
  if (g.x + tw > W)
    g.x = W - tw;
  if (g.y + th > H)
    g.y = H - th;
  g.t = S;
  if (g.x - S < 0)
    g.t = g.x;
  if (g.x + tw + g.t > W)
    g.t = W - tw - g.x;
  // A tolerance far outside the reference frame would overflow the scaling.
  const int32_t tolerance = profile->LogoPosTolerance;
  g.tol = tolerance > kReferenceWidth    ? g.t
          : tolerance < -kReferenceWidth ? -1
                                         : MulDiv(tolerance, W, kReferenceWidth);
  if (g.tol > g.t)
    g.tol = g.t;
  return g;
}

int32_t MatchPercentFromDifferences(uint32_t r, uint32_t g, uint32_t b) {
  uint32_t m = r > g ? r : g;
  m = b > m ? b : m;
  if (m >= 255)
    return 0;
  return static_cast<int32_t>((255 - m) * 100 / 255);
}

void ScorePlacements(uint8_t* scoreRow, int32_t t, int32_t tol, MatchResult* result) {
  const int32_t n = 2 * t + 1;
  // Entry k (16 bytes) is read before word k (4 bytes) is written; word k lies inside entry
  // k / 4 <= k, so no later entry is overwritten before it is read.
  int32_t mn = 765;
  for (int32_t k = 0; k < n; ++k) {
    DiffEntry e;
    std::memcpy(&e, scoreRow + static_cast<size_t>(k) * sizeof(DiffEntry), sizeof e);
    // The sums of three means fit easily: each mean is at most 65535.
    const int32_t score = 765 - static_cast<int32_t>(e.b + e.g + e.r);
    std::memcpy(scoreRow + static_cast<size_t>(k) * 4, &score, 4);
    if (score < mn)
      mn = score;
  }
  int32_t* scores = reinterpret_cast<int32_t*>(scoreRow);
  int32_t contrast = 0;
  for (int32_t k = 0; k < n; ++k) {
    scores[k] -= mn;
    if (scores[k] > contrast)
      contrast = scores[k];
  }
  int32_t found = 0;
  for (int32_t k = t - tol; k <= t + tol; ++k) {
    if (k >= 0 && k < n && scores[k] == contrast)
      found = 1;
  }
  result->scoreContrast = contrast;
  result->logoFound = found;
}

namespace {

// The planes that do not depend on the frame, made once for each key: the picture's, and
// zeros under the normalised template's mask.
void PrepareKeyPlanes(TemplateBuffers* tpl, uint32_t colorKey) {
  if (tpl->KeyPlanesMade && tpl->KeyPlanesKey == colorKey)
    return;
  const int32_t tw = tpl->TemplateWidth, th = tpl->TemplateHeight;
  SadTemplatePlanes(reinterpret_cast<const WorkPixel*>(tpl->TemplateImage), tw, th, colorKey, 0,
                    tpl->ImagePlanes, tpl->ImagePlanesExcess, &tpl->ImagePlanesCounted);
  uint32_t unused[3];
  SadTemplatePlanes(reinterpret_cast<const WorkPixel*>(tpl->TemplateNormalised), tw, th, colorKey,
                    0, tpl->MeanPlanes, unused, &tpl->MeanPlanesCounted);
  std::memset(tpl->MeanPlanes, 0, static_cast<size_t>(SadTemplateBytes(tw, th) / 4 * 3));
  // The mask goes where the template's planes for a grey level keep it.
  const ptrdiff_t plane = SadTemplateBytes(tw, th) / 4;
  tpl->TemplateWordsUsable =
      SadTemplateWords(reinterpret_cast<const WorkPixel*>(tpl->TemplateNormalised), tw, th,
                       colorKey, tpl->TemplateWords, tpl->TemplatePlanes + 3 * plane,
                       tpl->TemplateHistogram, &tpl->TemplateWordsCounted);
  tpl->TemplatePlanesGrey = -1;
  tpl->KeyPlanesKey = colorKey;
  tpl->KeyPlanesMade = 1;
}

}  // namespace

bool ExtractSearchArea(TemplateBuffers* tpl,
                       const FrameView& frame,
                       const MatchGeometry& g,
                       uint32_t colorKey) {
  const KernelTable& k = Kernels();
  const int32_t tw = tpl->TemplateWidth, th = tpl->TemplateHeight;
  const int32_t x0 = g.x - g.t, x1 = g.x + tw + g.t;
  if (FramePlanesFor(k, frame.pixelFormat)(frame.pixels, x0, g.y, x1, g.y + th, frame.width,
                                           frame.height, colorKey, tpl->SearchPlanes))
    return true;
  const int32_t ww = tw + 2 * tpl->SearchHalfWidth;
  CopyRegionFor(k, frame.pixelFormat)(frame.pixels, x0, g.y, x1, g.y + th, frame.width,
                                      frame.height, reinterpret_cast<WorkPixel*>(tpl->SearchWindow),
                                      0, 0, ww, th);
  return false;
}

int32_t MatchAtExpectedPlace(TemplateBuffers* tpl,
                             bool planes,
                             const MatchGeometry& g,
                             uint32_t colorKey,
                             uint64_t* mean) {
  const KernelTable& k = Kernels();
  const int32_t tw = tpl->TemplateWidth, th = tpl->TemplateHeight;
  if (planes) {
    // The area's bytes are 0..255, so |A - T| never saturates, and the sums over byte
    // planes are those of the work pixels.
    PrepareKeyPlanes(tpl, colorKey);
    const int32_t searched = tw + 2 * g.t;
    const uint8_t* here = tpl->SearchPlanes + g.t;
    uint32_t* sums = tpl->PlacementSums;
    DiffEntry d;
    k.PlacementSadRow(here, searched, tpl->ImagePlanes, tw, th, 1, sums);
    SadSumsToDiffEntries(sums, tpl->ImagePlanesExcess, tpl->ImagePlanesCounted, 1, &d);
    const int32_t matchPercent = MatchPercentFromDifferences(d.r, d.g, d.b);
    // Against zeros under the mask, the sums are those of the area's bytes.
    k.PlacementSadRow(here, searched, tpl->MeanPlanes, tw, th, 1, sums);
    const uint32_t n = tpl->MeanPlanesCounted;
    *mean = n == 0
                ? 0
                : uint64_t{sums[0] / n} | uint64_t{sums[1] / n} << 16 | uint64_t{sums[2] / n} << 32;
    return matchPercent;
  }
  const int32_t ww = tw + 2 * tpl->SearchHalfWidth;
  const WorkPixel* window = reinterpret_cast<const WorkPixel*>(tpl->SearchWindow);
  uint32_t r = 0, gr = 0, b = 0;
  k.MaskedMeanAbsDiff(window, ww, th, reinterpret_cast<const WorkPixel*>(tpl->TemplateImage), tw,
                      th, g.t, 0, tw + g.t, th, colorKey, &r, &gr, &b);
  k.MaskedMeanColour(window, ww, th, reinterpret_cast<const WorkPixel*>(tpl->TemplateNormalised),
                     tw, th, g.t, 0, tw + g.t, th, colorKey, mean);
  return MatchPercentFromDifferences(r, gr, b);
}

void PlacementDifferences(TemplateBuffers* tpl,
                          bool planes,
                          int32_t t,
                          uint64_t mean,
                          uint32_t colorKey,
                          DiffEntry* out) {
  const KernelTable& k = Kernels();
  const int32_t tw = tpl->TemplateWidth, th = tpl->TemplateHeight;
  const int32_t ww = tw + 2 * tpl->SearchHalfWidth;
  WorkPixel* window = reinterpret_cast<WorkPixel*>(tpl->SearchWindow);
  const int32_t grey = MeanGreyLevel(mean);
  const int32_t searched = tw + 2 * t;
  // Planes straight from the frame hold no key pixel, so they need no grey level of their
  // own; the window's planes add it under key pixels, or cannot be made.
  if (planes || k.WindowBytePlanes(window, ww, searched, th, colorKey, grey, tpl->SearchPlanes)) {
    // The template's planes hold for one grey level and key; most frames repeat them.
    if (grey != tpl->TemplatePlanesGrey || colorKey != tpl->TemplatePlanesKey) {
      PrepareKeyPlanes(tpl, colorKey);
      if (tpl->TemplateWordsUsable) {
        k.TemplateWordsToBytes(tpl->TemplateWords,
                               static_cast<int32_t>(SadTemplateBytes(tw, th) / 4 * 3), grey,
                               tpl->TemplatePlanes);
        SadExcessFromHistogram(tpl->TemplateHistogram, grey, tpl->TemplatePlanesExcess);
        tpl->TemplatePlanesCounted = tpl->TemplateWordsCounted;
      } else {
        k.TemplateBytePlanes(reinterpret_cast<const WorkPixel*>(tpl->TemplateNormalised), tw, th,
                             colorKey, grey, tpl->TemplatePlanes, tpl->TemplatePlanesExcess,
                             &tpl->TemplatePlanesCounted);
      }
      tpl->TemplatePlanesGrey = grey;
      tpl->TemplatePlanesKey = colorKey;
    }
    k.PlacementSadRow(tpl->SearchPlanes, searched, tpl->TemplatePlanes, tw, th, 2 * t + 1,
                      tpl->PlacementSums);
    SadSumsToDiffEntries(tpl->PlacementSums, tpl->TemplatePlanesExcess, tpl->TemplatePlanesCounted,
                         2 * t + 1, out);
    return;
  }
  k.SubtractMeanGrey(window, ww, th, colorKey, mean);
  k.MaskedMeanAbsDiffRow(window, ww, th,
                         reinterpret_cast<const WorkPixel*>(tpl->TemplateNormalised), tw, th, t, 0,
                         out, t, colorKey);
}

MatchResult MatchFrame(TemplateBuffers* tpl,
                       const FrameView& frame,
                       const MatchGeometry& g,
                       uint32_t colorKey,
                       uint8_t* scoreRow) {
  const bool planes = ExtractSearchArea(tpl, frame, g, colorKey);
  MatchResult result;
  uint64_t mean = 0;
  result.matchPercent = MatchAtExpectedPlace(tpl, planes, g, colorKey, &mean);
  PlacementDifferences(tpl, planes, g.t, mean, colorKey, reinterpret_cast<DiffEntry*>(scoreRow));
  ScorePlacements(scoreRow, g.t, g.tol, &result);
  return result;
}

}  // namespace zunk
