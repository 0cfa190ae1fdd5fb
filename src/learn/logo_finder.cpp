// The logo finder in two passes. (1) Over every sample, the persistent edges of each corner
// and their strongest group: a first estimate of the logo. The samples whose own gradients
// agree with that group's direction, at about its usual strength, are the samples that
// show the logo (adverts, black and fades do not). (2) Over those samples only, the
// persistent edges again: the logo's group, its mask, colours and place.
#include "learn/logo_finder.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "learn/edge_field.h"
#include "learn/edge_groups.h"
#include "learn/logo_mask.h"

namespace zunk {

namespace {

constexpr int32_t kMinMovement = 3;    // median luma spread of the corners, levels
constexpr int32_t kRivalPercent = 60;  // a second corner this strong is a rival logo

std::string Place(const LogoPlace& p) {
  return std::string(CornerName(p.corner)) + " (x=" + std::to_string(p.x) +
         " y=" + std::to_string(p.y) + ", " + std::to_string(p.width) + "x" +
         std::to_string(p.height) + ")";
}

// How much the corners change from sample to sample: the median over every 16th pixel of
// its luma's median absolute deviation.
int32_t Movement(const std::vector<LearnSample>& samples) {
  std::vector<uint8_t> spreads, values(samples.size());
  for (int32_t c = 0; c < kCorners; ++c)
    for (int32_t p = 0; p < kCornerLumaBytes; p += 16) {
      for (size_t i = 0; i < samples.size(); ++i)
        values[i] = samples[i].Luma(c)[p];
      auto mid = values.begin() + static_cast<long>(values.size() / 2);
      std::nth_element(values.begin(), mid, values.end());
      const int32_t median = *mid;
      for (size_t i = 0; i < samples.size(); ++i)
        values[i] = static_cast<uint8_t>(std::abs(samples[i].Luma(c)[p] - median));
      std::nth_element(values.begin(), mid, values.end());
      spreads.push_back(*mid);
    }
  auto mid = spreads.begin() + static_cast<long>(spreads.size() / 2);
  std::nth_element(spreads.begin(), mid, spreads.end());
  return *mid;
}

EdgeField FieldOf(const std::vector<LearnSample>& samples, const std::vector<uint8_t>* only) {
  EdgeField f = MakeEdgeField();
  for (size_t i = 0; i < samples.size(); ++i)
    if (!only || (*only)[i])
      AddToEdgeField(&f, samples[i]);
  return f;
}

// The strongest group (in the forced corner, if one is), and the strongest of the other
// corners in *second.
EdgeGroup Strongest(const EdgeField& f, int32_t forced, LogoPlace* second) {
  EdgeGroup groups[kCorners];
  int32_t best = -1;
  for (int32_t c = 0; c < kCorners; ++c) {
    groups[c] = StrongestGroup(f, c);
    if (groups[c].corner < 0 || (forced >= 0 && c != forced))
      continue;
    if (best < 0 || groups[c].strength > groups[best].strength)
      best = c;
  }
  *second = LogoPlace();
  for (int32_t c = 0; c < kCorners; ++c) {
    if (c == best || groups[c].corner < 0 || groups[c].strength <= second->strength)
      continue;
    const CornerBox& b = groups[c].box;
    *second = {c,         CornerLeft(c) + b.x0, CornerTop(c) + b.y0,
               b.Width(), b.Height(),           groups[c].strength};
  }
  return best < 0 ? EdgeGroup() : groups[best];
}

float MedianOf(std::vector<float> v) {
  if (v.empty())
    return 0;
  auto mid = v.begin() + static_cast<long>(v.size() / 2);
  std::nth_element(v.begin(), mid, v.end());
  return *mid;
}

// 1 for each sample whose gradients on the group's edge pixels point the way the group's
// do (a share of their length), at no less than half the usual strength (the median over
// the pixels of the sample's aligned gradient against the pixel's mean): fades and
// adverts do not.
std::vector<uint8_t> SamplesShowing(const std::vector<LearnSample>& samples,
                                    const EdgeField& f,
                                    const EdgeGroup& g) {
  const size_t m = g.pixels.size();
  std::vector<float> unit(m * 6), mean(m);
  for (size_t j = 0; j < m; ++j) {
    const size_t p = static_cast<size_t>(g.corner) * kCornerLumaBytes + g.pixels[j];
    double norm = 0;
    for (int32_t k = 0; k < 6; ++k)
      norm += double(f.sum[k][p]) * f.sum[k][p];
    norm = norm > 0 ? std::sqrt(norm) : 1;
    for (int32_t k = 0; k < 6; ++k)
      unit[j * 6 + k] = static_cast<float>(f.sum[k][p] / norm);
    mean[j] = static_cast<float>(norm / f.samples);
  }
  std::vector<float> share(samples.size()), strength(samples.size()), ratio(m);
  for (size_t i = 0; i < samples.size(); ++i) {
    double dot = 0, length = 0;
    for (size_t j = 0; j < m; ++j) {
      const int32_t x = g.pixels[j] % kCornerWidth, y = g.pixels[j] / kCornerWidth;
      const Gradient gr = GradientAt(samples[i], g.corner, x, y);
      double along = 0, l2 = 0;
      for (int32_t k = 0; k < 6; ++k) {
        along += gr.v[k] * unit[j * 6 + k];
        l2 += double(gr.v[k]) * gr.v[k];
      }
      dot += along;
      length += std::sqrt(l2);
      ratio[j] = static_cast<float>(along / mean[j]);
    }
    share[i] = length > 0 ? static_cast<float>(dot / length) : 0.f;
    strength[i] = MedianOf(ratio);
  }
  std::vector<float> sorted = share;
  std::sort(sorted.begin(), sorted.end());
  const float upper =
      MedianOf(std::vector<float>(sorted.begin() + sorted.size() / 2, sorted.end()));
  const float least = std::max(0.2f, upper / 2);
  std::vector<float> strong;
  for (size_t i = 0; i < samples.size(); ++i)
    if (share[i] >= least)
      strong.push_back(strength[i]);
  const float usual = MedianOf(strong);
  std::vector<uint8_t> shows(samples.size(), 0);
  for (size_t i = 0; i < samples.size(); ++i)
    shows[i] = share[i] >= least && strength[i] >= 0.5f * usual;
  return shows;
}

FoundLogo Failure(FoundLogo r, int32_t reason, const std::string& message) {
  r.found = r.sure = false;
  r.reason = reason;
  r.message = message;
  r.confidence = 0;
  return r;
}

// Confidence from the samples showing the logo, how coherent its edges are and how far
// ahead of a rival it is; the message that says what was found.
void Judge(const EdgeGroup& g, FoundLogo* r) {
  const double rival =
      r->second.corner >= 0 && g.strength > 0 ? double(r->second.strength) / g.strength : 0;
  double c =
      std::min(1.0, r->logoSamples / 30.0) * std::min(1.0, g.coherence / 500.0) * (1 - rival / 2);
  r->confidence = static_cast<int32_t>(std::lround(100 * c));
  r->place.strength = g.strength;
  r->found = true;
  const std::string where = "logo found in the " + Place(r->place) + ", shown in " +
                            std::to_string(r->logoSamples) + " of " + std::to_string(r->samples) +
                            " samples";
  if (rival * 100 >= kRivalPercent) {
    r->reason = kFindTwoLogos;
    r->message = "two logos of about the same strength: " + Place(r->place) + " and " +
                 Place(r->second) + "; the stronger, in the " + CornerName(r->place.corner) +
                 " corner, is taken (another corner can be chosen)";
  } else {
    r->reason = kFindFound;
    r->message = where;
  }
  r->sure = r->reason == kFindFound && r->confidence >= 60 && r->logoSamples >= 20;
}

}  // namespace

const char* CornerName(int32_t corner) {
  static const char* const kNames[] = {"top left", "top right", "bottom left", "bottom right"};
  return corner >= 0 && corner < kCorners ? kNames[corner] : "no";
}

FoundLogo FindLogo(const std::vector<LearnSample>& samples, const FindOptions& options) {
  FoundLogo r;
  const int32_t n = static_cast<int32_t>(samples.size());
  r.samples = n;
  r.showsLogo.assign(samples.size(), 0);
  if (n == 0)
    return Failure(r, kFindNoFrames, "no frames to learn from");
  if (n < kMinSamples)
    return Failure(r, kFindTooShort,
                   "too short: " + std::to_string(n) + " usable samples, at least " +
                       std::to_string(kMinSamples) +
                       " are needed; learn from at least 2 minutes of the channel");
  if (Movement(samples) < kMinMovement)
    return Failure(r, kFindTooStill,
                   "the picture hardly changes, so the logo cannot be told from it; learn from "
                   "a stretch with more movement");
  const int32_t forced = options.corner >= 0 && options.corner < kCorners ? options.corner : -1;
  const EdgeField all = FieldOf(samples, nullptr);
  const EdgeGroup first = Strongest(all, forced, &r.second);
  if (first.corner < 0)
    return Failure(r, kFindNoSteadyLogo,
                   "no logo found: nothing in the corners stays in place from sample to sample "
                   "(all advert, or black)");
  r.showsLogo = SamplesShowing(samples, all, first);
  r.logoSamples = static_cast<int32_t>(std::count(r.showsLogo.begin(), r.showsLogo.end(), 1));
  if (r.logoSamples < kMinLogoSamples)
    return Failure(r, kFindNoSteadyLogo,
                   "no logo found: only " + std::to_string(r.logoSamples) + " of " +
                       std::to_string(n) + " samples share a steady corner picture, at least " +
                       std::to_string(kMinLogoSamples) + " are needed");
  const EdgeField logoField = FieldOf(samples, &r.showsLogo);
  const EdgeGroup g = Strongest(logoField, forced, &r.second);
  if (g.corner < 0 || !CutOutLogo(samples, logoField, g, &r))
    return Failure(r, kFindNoSteadyLogo,
                   "no logo found: the corner picture the samples share has no steady edges");
  Judge(g, &r);
  return r;
}

}  // namespace zunk
