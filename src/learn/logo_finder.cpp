// The logo finder in two passes. (1) Over every sample, the persistent edges of each corner
// and their strongest group: a first estimate of the logo. The samples whose own gradients
// agree with that group's direction, at about its usual strength, are the samples that
// show the logo (adverts, black and fades do not). (2) Over those samples only, the
// persistent edges again: the logo's group, its mask, colours and place.
#include "learn/logo_finder.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "learn/edge_persistence.h"
#include "learn/edge_groups.h"
#include "learn/logo_mask.h"
#include "learn/still_logo.h"

namespace zunk {

namespace {

constexpr int32_t kMinMovement = 3;    // median luma spread of the corners, levels
constexpr int32_t kRivalPercent = 75;  // a second corner this persistent is a rival logo

std::string Place(const LogoPlace& p) {
  return std::string(CornerName(p.corner)) + " (x=" + std::to_string(p.x) +
         " y=" + std::to_string(p.y) + ", " + std::to_string(p.width) + "x" +
         std::to_string(p.height) + ")";
}

// The share of samples the logo's edges persist in: high among the corners' pixels (the
// few hundred most persistent ones), so that a level relative to it keeps what persists
// about as much as the logo does, however often the logo is on.
int32_t LogoPersistence(const EdgeCounts& f, int32_t forced) {
  std::vector<int32_t> v;
  for (int32_t c = 0; c < kCorners; ++c) {
    if (forced >= 0 && c != forced)
      continue;
    for (int32_t p = 0; p < kCornerLumaBytes; ++p) {
      const int32_t e = Excess(f, static_cast<size_t>(c) * kCornerLumaBytes + p);
      if (e > 0)
        v.push_back(e);
    }
  }
  if (v.empty())
    return 0;
  auto at = v.end() - 1 - static_cast<long>(std::min<size_t>(v.size() - 1, 80));
  std::nth_element(v.begin(), at, v.end());
  return *at;
}

// The level edges must persist at to count: half the logo's, and never what a few samples
// of one scene give.
int32_t LeastPersistence(const EdgeCounts& f, int32_t forced) {
  const int32_t total = *std::max_element(f.total, f.total + kCorners);
  return std::max({LogoPersistence(f, forced) / 2, total / 8, 3 * kWhole});
}

// The strongest group (in the forced corner, if one is), and the strongest of the other
// corners in *second.
EdgeGroup Strongest(const EdgeCounts& f, int32_t forced, EdgeGroup* second) {
  const int32_t least = LeastPersistence(f, forced);
  EdgeGroup groups[kCorners];
  int32_t best = -1;
  for (int32_t c = 0; c < kCorners; ++c) {
    groups[c] = StrongestGroup(f, c, least);
    if (groups[c].corner < 0 || (forced >= 0 && c != forced))
      continue;
    if (best < 0 || groups[c].strength > groups[best].strength)
      best = c;
  }
  *second = EdgeGroup();
  for (int32_t c = 0; c < kCorners; ++c)
    if (c != best && groups[c].corner >= 0 && groups[c].strength > second->strength)
      *second = groups[c];
  return best < 0 ? EdgeGroup() : groups[best];
}

LogoPlace PlaceOf(const EdgeGroup& g) {
  if (g.corner < 0)
    return LogoPlace();
  return {g.corner,      CornerLeft(g.corner) + g.box.x0, CornerTop(g.corner) + g.box.y0,
          g.box.Width(), g.box.Height(),                  g.strength};
}

// Another corner's group is a rival logo when its edges persist about as much as the logo's
// do (per pixel) and it is not a speck beside it.
bool IsRival(const EdgeGroup& logo, const EdgeGroup& other) {
  return other.corner >= 0 && other.coherence * 100 >= logo.coherence * kRivalPercent &&
         other.strength * 4 >= logo.strength;
}

// 1 for each sample with an edge along the group's own orientation at a good share of the
// group's pixels (half the share that the better quarter of the samples reach), at no less
// than half the usual strength: adverts, black and fades do not have them.
std::vector<uint8_t> SamplesShowing(const std::vector<LearnSample>& samples,
                                    const EdgeCounts& f,
                                    const EdgeGroup& g) {
  const size_t m = g.pixels.size();
  std::vector<int64_t> norm(m);
  std::vector<size_t> at(m);
  for (size_t j = 0; j < m; ++j) {
    at[j] = static_cast<size_t>(g.corner) * kCornerLumaBytes + g.pixels[j];
    norm[j] = ISqrt(int64_t{f.c[at[j]]} * f.c[at[j]] + int64_t{f.s[at[j]]} * f.s[at[j]]);
  }
  std::vector<int32_t> share(samples.size()), strength(samples.size());
  std::vector<EdgeAt> edges;
  for (size_t i = 0; i < samples.size(); ++i) {
    int64_t along = 0, sum = 0;
    CornerEdges(samples[i], g.corner, &edges);
    for (size_t j = 0; j < m; ++j) {
      const EdgeAt& e = edges[g.pixels[j]];
      if (Along(e, f.c[at[j]], f.s[at[j]], norm[j])) {
        ++along;
        sum += e.strength;
      }
    }
    share[i] = m ? static_cast<int32_t>(along * 1000 / static_cast<int64_t>(m)) : 0;
    strength[i] = m ? static_cast<int32_t>(sum / static_cast<int64_t>(m)) : 0;
  }
  std::vector<int32_t> sorted = share;
  std::sort(sorted.begin(), sorted.end());
  const int32_t upper = sorted.empty() ? 0 : sorted[sorted.size() * 3 / 4];
  const int32_t least = std::max(200, upper / 2);
  std::vector<int32_t> strong;
  for (size_t i = 0; i < samples.size(); ++i)
    if (share[i] >= least)
      strong.push_back(strength[i]);
  std::sort(strong.begin(), strong.end());
  const int32_t usual = strong.empty() ? 0 : strong[strong.size() / 2];
  std::vector<uint8_t> shows(samples.size(), 0);
  for (size_t i = 0; i < samples.size(); ++i)
    shows[i] = share[i] >= least && strength[i] * 2 >= usual;
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
void Judge(const EdgeGroup& g, const EdgeGroup& second, FoundLogo* r) {
  const bool rival = IsRival(g, second);
  const double c = std::min(1.0, r->logoSamples / 30.0) * std::min(1.0, g.coherence / 400.0) *
                   (rival ? 0.5 : 1.0);
  r->confidence = static_cast<int32_t>(std::lround(100 * c));
  r->place.strength = g.strength;
  r->found = true;
  const std::string where = "logo found in the " + Place(r->place) + ", shown in " +
                            std::to_string(r->logoSamples) + " of " + std::to_string(r->samples) +
                            " samples";
  if (rival) {
    r->reason = kFindTwoLogos;
    r->message = "two logos of about the same strength: " + Place(r->place) + " and " +
                 Place(r->second) + "; the stronger, in the " + CornerName(r->place.corner) +
                 " corner, is taken (another corner can be chosen)";
  } else {
    r->reason = kFindFound;
    r->message = where;
  }
  r->sure = r->reason == kFindFound && r->confidence >= 60 && r->logoSamples >= 20 &&
            r->samples >= kMinSamples;
}


// A logo on a still picture, found by its steadiness.
FoundLogo FindOnStillPicture(const std::vector<LearnSample>& samples,
                             int32_t forced,
                             int32_t minLogoSamples,
                             FoundLogo r) {
  if (r.logoSamples < minLogoSamples)
    r.showsLogo.assign(samples.size(), 1);
  const StillLogo still = FindStillLogo(samples, r.showsLogo, forced);
  r.showsLogo = still.shows;
  r.logoSamples = static_cast<int32_t>(std::count(r.showsLogo.begin(), r.showsLogo.end(), 1));
  if (still.corner < 0 || r.logoSamples < minLogoSamples)
    return Failure(r, kFindTooStill,
                   "the picture hardly changes, so the logo cannot be told from it; learn from "
                   "a stretch with more movement");
  TemplateFrom(samples, still.corner, still.box, still.mask, &r);
  EdgeGroup g, none;
  g.corner = still.corner;
  g.box = still.box;
  g.coherence = still.steadyShare;
  g.strength = static_cast<int64_t>(std::count(still.mask.begin(), still.mask.end(), 1)) *
               r.logoSamples;
  r.second = LogoPlace();
  Judge(g, none, &r);
  return r;
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
  const int32_t minSamples = std::max(1, options.minSamples);
  const int32_t minLogoSamples = std::max(1, options.minLogoSamples);
  if (n < minSamples)
    return Failure(r, kFindTooShort,
                   "too short: " + std::to_string(n) + " usable samples, at least " +
                       std::to_string(minSamples) +
                       " are needed; learn from at least 2 minutes of the channel");
  const int32_t forced = options.corner >= 0 && options.corner < kCorners ? options.corner : -1;
  EdgeGroup second;
  {
    // What persists most, counting every sample: when the samples that show it are one
    // still picture, every edge of it persists as the logo's do.
    const EdgeCounts all = CountEdges(samples, nullptr);
    const EdgeGroup first = Strongest(all, forced, &second);
    if (first.corner >= 0) {
      r.showsLogo = SamplesShowing(samples, all, first);
      r.logoSamples = static_cast<int32_t>(std::count(r.showsLogo.begin(), r.showsLogo.end(), 1));
    }
    if (Movement(samples, r.logoSamples > 0 ? &r.showsLogo : nullptr) < kMinMovement)
      return FindOnStillPicture(samples, forced, minLogoSamples, r);
  }
  // Otherwise what persists through the most distinct pictures: a scene held still or shown
  // again counts about once. Its counts go before the logo's own are made (a capture's
  // memory holds one set at a time).
  EdgeGroup first;
  r.showsLogo.assign(samples.size(), 0);
  r.logoSamples = 0;
  {
    const EdgeCounts all = CountEdges(samples, nullptr, true);
    first = Strongest(all, forced, &second);
    if (first.corner >= 0) {
      r.showsLogo = SamplesShowing(samples, all, first);
      r.logoSamples = static_cast<int32_t>(std::count(r.showsLogo.begin(), r.showsLogo.end(), 1));
    }
  }
  if (first.corner < 0)
    return Failure(r, kFindNoSteadyLogo,
                   "no logo found: nothing in the corners stays in place from sample to sample "
                   "(all advert, or black)");
  if (r.logoSamples < minLogoSamples)
    return Failure(r, kFindNoSteadyLogo,
                   "no logo found: only " + std::to_string(r.logoSamples) + " of " +
                       std::to_string(n) + " samples share a steady corner picture, at least " +
                       std::to_string(minLogoSamples) + " are needed");
  const EdgeCounts logoField = CountEdges(samples, &r.showsLogo, true);
  const EdgeGroup g = Strongest(logoField, forced, &second);
  r.second = PlaceOf(second);
  if (g.corner < 0 ||
      !CutOutLogo(samples, PersistentEdges(logoField, g.corner, LeastPersistence(logoField, forced)),
                  true, g, &r))
    return Failure(r, kFindNoSteadyLogo,
                   "no logo found: the corner picture the samples share has no steady edges");
  Judge(g, second, &r);
  return r;
}

}  // namespace zunk
