// A stream driven through ProcessFrame with a synthetic logo: the template picture is
// handed out by a fake bitmap service, frames are painted with or without the logo in
// either pixel format.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host/host_records.h"
#include "settings/channel_profile.h"

namespace zunk {
namespace testing_util {

// A grey BGRX picture, so both pixel formats carry it without colour loss.
struct GreyPicture {
  int32_t w = 0, h = 0;
  std::vector<uint8_t> grey;  // w * h grey levels, top-down
  uint8_t At(int32_t x, int32_t y) const { return grey[static_cast<size_t>(y) * w + x]; }
};

// Vertical stripes of irregular widths on a key-coloured (black) rim: a logo whose
// horizontal placement is unambiguous.
GreyPicture StripedLogo(int32_t w, int32_t h);

class DetectStream : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Makes a profile for `key` with the test defaults and the template file "logo.bmp".
  ChannelProfile& AddChannel(int64_t key);
  // Start with the given geometry; the picture handed out for "logo.bmp" is `logo`.
  void StartStream(int32_t w, int32_t h, int32_t format, int32_t recording = 0);

  // A frame of flat `background` grey with noise, and the logo at frame position (x, y)
  // unless x < 0.
  std::vector<uint8_t> Frame(int32_t x, int32_t y, uint8_t background = 90) const;
  // Writes the grey level v at frame pixel (x, y).
  void Put(std::vector<uint8_t>* frame, int32_t x, int32_t y, uint8_t v) const;
  uint8_t Get(const std::vector<uint8_t>& frame, int32_t x, int32_t y) const;

  int32_t Process(std::vector<uint8_t>* frame, int64_t key);
  // Feeds frames of the channel until the change of channel and its skip are over.
  void EnterChannel(int64_t key, int32_t x, int32_t y);

  GreyPicture logo;
  int32_t W = 0, H = 0, format = 1;
  ChannelInfo channel = {};
};

}  // namespace testing_util
}  // namespace zunk
