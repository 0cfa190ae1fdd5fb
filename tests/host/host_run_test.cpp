// zunk-host end to end: synthetic raw frames through the emulator and the built module,
// checking what the summary reports. The same test runs in both builds.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "host_run_util.h"

namespace {

using zunktest::RunHost;

// Grey frames of the given size and format.
std::string WriteFrames(const char* name, int w, int h, int format, int count) {
  std::vector<char> frame(static_cast<size_t>(w) * h * (format == 0 ? 2 : 3), '\x80');
  std::ofstream out(name, std::ios::binary);
  for (int i = 0; i < count; ++i)
    out.write(frame.data(), static_cast<std::streamsize>(frame.size()));
  return name;
}

TEST(HostRun, RawFramesThroughTheModule) {
  std::string raw = WriteFrames("host_run_yuy2.raw", 768, 576, 0, 30);
  std::string out =
      RunHost("--raw " + raw + " /inst:h --no-progress --no-log --host-version 0x3003C");
  std::remove(raw.c_str());
  EXPECT_NE(out.find("interface 3"), std::string::npos) << out;
  EXPECT_NE(out.find("stream: 768x576, pixel format 0, preview"), std::string::npos) << out;
  EXPECT_NE(out.find("frames: 30 "), std::string::npos) << out;
  EXPECT_NE(out.find("GetVersion x1"), std::string::npos) << "the main window was not found\n"
                                                          << out;
}

TEST(HostRun, BottomUpFramesAndPerFrameLines) {
  std::string raw = WriteFrames("host_run_bgr.raw", 320, 240, 1, 8);
  std::string out = RunHost("--raw " + raw +
                            " --format 1 --size 320x240 /inst:h --recording "
                            "--no-progress --channel-key -5 --log - 2>&1");
  std::remove(raw.c_str());
  EXPECT_NE(out.find("pixel format 1, recording, channel -5"), std::string::npos) << out;
  EXPECT_NE(out.find("frame 7 t=0:00.280 result=0"), std::string::npos) << out;
  EXPECT_EQ(out.find("frame 8 "), std::string::npos) << out;
}

TEST(HostRun, BadOptionsAreRefused) {
  EXPECT_NE(RunHost("--format 7 2>&1").find("--format takes 0 or 1"), std::string::npos);
  EXPECT_NE(RunHost("--raw missing-file.raw 2>&1").find("cannot open"), std::string::npos);
}

}  // namespace
