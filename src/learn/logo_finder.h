// The logo finder: from a series of learning samples, the channel logo that persists in one
// corner, cut out as a template at the 768 x 576 reference scale on a colour key, with its
// position, a confidence, and a reason when there is none. The same finder serves a capture
// in progress (call it again as samples come; `sure` says when to stop) and a recording
// learned at once.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "learn/learn_sample.h"

namespace zunk {

enum FindReason : int32_t {
  kFindFound = 0,         // a logo, and nothing like it elsewhere
  kFindTwoLogos = 1,      // a logo, and another of about the same strength in another corner
  kFindNoFrames = 2,      // no samples at all
  kFindTooShort = 3,      // too few samples to tell
  kFindNoSteadyLogo = 4,  // nothing persists in a corner: all advert, or black
  kFindTooStill = 5,      // the picture hardly changes: the logo cannot be told from it
};

// Samples a finding needs at least, and of them showing the logo.
constexpr int32_t kMinSamples = 20;
constexpr int32_t kMinLogoSamples = 10;

struct FindOptions {
  int32_t corner = -1;  // 0..3 to look in that corner only; -1 any
  // Samples a finding needs at least, and of them showing the logo. Fewer serve to show a
  // logo as it forms, never a finding to keep: below kMinSamples a finding is never sure.
  int32_t minSamples = kMinSamples;
  int32_t minLogoSamples = kMinLogoSamples;
};

// A logo's place: corner and rectangle in reference pixels.
struct LogoPlace {
  int32_t corner = -1;  // -1: none
  int32_t x = 0, y = 0, width = 0, height = 0;
  int64_t strength = 0;  // of its persistent edges
};

struct FoundLogo {
  bool found = false;  // the fields below the message describe a logo
  bool sure = false;   // found, with enough samples and no rival: a capture may stop
  int32_t reason = kFindNoFrames;
  std::string message;     // one plain English sentence, for found logos too
  int32_t confidence = 0;  // 0..100

  LogoPlace place;        // the logo chosen
  LogoPlace second;       // the strongest logo in another corner, when one was seen
  uint32_t colorKey = 0;  // COLORREF 0x00BBGGRR that no logo pixel has
  // The template: place.width x place.height top-down B, G, R, X; key outside the mask.
  std::vector<uint32_t> pixels;
  std::vector<uint8_t> mask;  // 1 on the logo's pixels

  // The picture around the logo (typical colours of the samples with the logo), for a
  // preview: top-down B, G, R, X at (contextX, contextY), reference pixels.
  int32_t contextX = 0, contextY = 0, contextWidth = 0, contextHeight = 0;
  std::vector<uint32_t> context;

  int32_t samples = 0;             // samples looked at
  int32_t logoSamples = 0;         // of which showed the logo
  std::vector<uint8_t> showsLogo;  // per sample: 1 when it showed the logo
};

FoundLogo FindLogo(const std::vector<LearnSample>& samples, const FindOptions& options);

// "top left", "top right", "bottom left", "bottom right".
const char* CornerName(int32_t corner);

}  // namespace zunk
