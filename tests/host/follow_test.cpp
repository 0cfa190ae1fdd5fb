// zunk-host --follow on a recording still being written: a writer appends the sample in
// chunks while the tool runs; the skip list is rewritten when a break has ended, and the
// final one equals that of a run over the finished file.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "host_cli.h"

namespace {

using zunktest::FreshFolder;
using zunktest::HostResult;
using zunktest::ReadAll;
using zunktest::RunZunkHost;

const std::string kData = ZUNK_SOURCE_DIR "/data/sample/";

TEST(Follow, AGrowingRecordingEndsWithTheListOfTheFinishedOne) {
  const std::string dir = FreshFolder("follow");
  // A recorder writes transport streams: the sample as one.
  ASSERT_TRUE(zunktest::Shell("ffmpeg -nostdin -v error -y -i " + kData +
                              "sample.mp4 -c copy -f mpegts " + dir + "/whole.ts"));
  const std::string whole = ReadAll(dir + "/whole.ts");
  ASSERT_GT(whole.size(), 100000u);
  const std::string settings = "--settings " + kData + "Zunk_LogoDetector.ini ";
  HostResult finished = RunZunkHost(settings + dir + "/whole.ts");
  ASSERT_EQ(finished.code, 0) << finished.err;
  const std::string expected = ReadAll(dir + "/whole.edl");
  ASSERT_EQ(zunktest::LineCount(expected), 2) << expected;

  // The writer: three quarters in chunks, then the rest once the list shows the first
  // break (which ends halfway through), so the list was rewritten while it grew.
  bool sawFirstBreak = false;
  std::thread writer([&] {
    std::ofstream out(dir + "/live.ts", std::ios::binary);
    const size_t chunk = 188 * 512, part = whole.size() * 3 / 4;
    for (size_t at = 0; at < part; at += chunk) {
      out.write(whole.data() + at, static_cast<std::streamsize>(std::min(chunk, part - at)));
      out.flush();
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    for (int i = 0; i < 1200 && !sawFirstBreak; ++i) {
      sawFirstBreak = zunktest::LineCount(ReadAll(dir + "/live.edl")) == 1;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    out.write(whole.data() + part, static_cast<std::streamsize>(whole.size() - part));
  });
  // The tool starts as the recording does: the file may not hold a byte yet.
  HostResult live = RunZunkHost(settings + "--follow --follow-timeout 5 " + dir + "/live.ts");
  writer.join();
  ASSERT_EQ(live.code, 0) << live.err;
  EXPECT_TRUE(sawFirstBreak) << "the list was not written before the recording ended";
  EXPECT_EQ(ReadAll(dir + "/live.edl"), expected);
}

}  // namespace
