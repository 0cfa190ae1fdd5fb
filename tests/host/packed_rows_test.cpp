// A run that writes no processed frames packs only the rows the plug-in and the logo
// edges read; its timeline and skip list are the same bytes as a run that packs whole
// frames (one that writes per-frame lines, which compare whole frames), in both pixel
// formats, at other frame sizes and with the logo's place elsewhere in the frame.
#include <gtest/gtest.h>

#include <string>

#include "host_cli.h"

namespace {

using zunktest::FreshFolder;
using zunktest::HostResult;
using zunktest::ReadAll;
using zunktest::RunZunkHost;

const std::string kData = ZUNK_SOURCE_DIR "/data/sample/";

TEST(PackedRowsTest, OutputsAreThoseOfARunThatPacksWholeFrames) {
  const std::string out = FreshFolder("packed_rows");
  const char* cases[] = {
      "",
      "--format 1 ",
      "--size 1920x1080 ",
      "--size 701x433 --format 1 ",
      "--size 360x288 ",
      // The logo's place at the bottom, and past the frame's edge (kept inside by the plug-in).
      "--set LogoPosY=500 ",
      "--set LogoPosY=570 --format 1 --size 703x431 ",
  };
  for (const char* extra : cases) {
    std::string outputs[2];
    for (int whole : {0, 1}) {
      const std::string stem = out + "/" + std::to_string(whole);
      HostResult r = RunZunkHost("--settings " + kData +
                                 "Zunk_LogoDetector.ini --no-progress --frames 1600 " + extra +
                                 "--json " + stem + ".json --edl " + stem + ".edl " +
                                 (whole ? "--log " + stem + ".log " : "--no-log ") + kData +
                                 "sample.mp4");
      ASSERT_EQ(r.code, 0) << extra << "\n" << r.err;
      outputs[whole] = ReadAll(stem + ".json") + ReadAll(stem + ".edl");
    }
    // The plug-in matched frames (its values are in the timeline).
    EXPECT_NE(outputs[0].find(", 1, "), std::string::npos) << extra;
    EXPECT_TRUE(outputs[0] == outputs[1]) << extra;
  }
}

}  // namespace
