// zunk-host run --fast: refused beside a processed video and wherever there is nothing to
// decode less of; on a short SD MPEG-2 and a short 1920x1080 H.264 recording made here
// from the sample (one break each, B-frames in both), the exact run's breaks within one
// second at each edge and as many frames as the exact run, also over a damaged stretch.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "eval/json_read.h"
#include "host_cli.h"

namespace {

using zunktest::FilesIn;
using zunktest::FreshFolder;
using zunktest::HostResult;
using zunktest::RunZunkHost;
using zunktest::Shell;

const std::string kData = ZUNK_SOURCE_DIR "/data/sample/";
const std::string kSettings = "--settings " + kData + "Zunk_LogoDetector.ini ";

// The sample's second break (frames 2258-2565) cut down to 11 seconds: programme, the
// break's start, its end, programme. The break is frames 58-196 of the clip.
const char kClip[] = "select='between(n\\,2200\\,2330)+between(n\\,2500\\,2640)',setpts=N/25/TB";
const int kClipFrames = 272;

struct Scan {
  int code = -1;
  std::string err;
  double frames = -1;
  double width = 0;
  std::string fastScan;
  std::vector<std::pair<long, long>> breaks;
};

Scan RunOver(const std::string& recording, const std::string& extra) {
  Scan s;
  HostResult r = RunZunkHost(kSettings + "--summary json --no-progress --edl /dev/null " + extra +
                             " " + recording);
  s.code = r.code;
  s.err = r.err;
  zunkhost::JsonValue summary;
  std::string error;
  if (r.code != 0 || !zunkhost::ParseJson(r.out, &summary, &error))
    return s;
  s.frames = summary.Find("frames")->number;
  s.width = summary.Find("width")->number;
  if (const zunkhost::JsonValue* f = summary.Find("fastScan"))
    s.fastScan = f->text;
  for (const zunkhost::JsonValue& b : summary.Find("breaks")->items)
    s.breaks.push_back({std::lround(b.Find("first")->number), std::lround(b.Find("last")->number)});
  return s;
}

class FastScanTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new std::string(FreshFolder("fast_scan"));
    const std::string in =
        "ffmpeg -nostdin -v error -y -i " + kData + "sample.mp4 -an -vf \"" + kClip;
    // A broadcast's SD MPEG-2 in a transport stream (two B-frames between references),
    // and HD H.264 (B-frames of which some are not references).
    sdMade_ = Shell(in + ",scale=720:576\" -c:v mpeg2video -b:v 3500k -g 12 -bf 2 -f mpegts " +
                    *dir_ + "/sd.ts");
    hdMade_ = Shell(in + ",scale=1920:1080\" -c:v libx264 -preset superfast -crf 26 -g 50 " +
                    "-threads 2 " + *dir_ + "/hd.mp4");
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }

  static std::string* dir_;
  static bool sdMade_, hdMade_;
};

std::string* FastScanTest::dir_ = nullptr;
bool FastScanTest::sdMade_ = false;
bool FastScanTest::hdMade_ = false;

TEST_F(FastScanTest, RefusedBesideAProcessedVideoAndWithoutADecoder) {
  ASSERT_TRUE(hdMade_);
  const std::string out = FreshFolder("fast_scan_refused");
  const std::string rec = " " + *dir_ + "/hd.mp4";
  const struct {
    std::string args;
    const char* message;
  } cases[] = {
      {"--fast --output " + out + "/p.mp4" + rec, "--output cannot be given with --fast"},
      {"--output=" + out + "/p.mp4 --fast" + rec, "--output cannot be given with --fast"},
      {"--fast --raw-output " + out + "/p.raw" + rec, "--raw-output cannot be given with --fast"},
      {"--fast --decoder pipe" + rec, "--fast decodes recordings in this process"},
      {"--fast --raw " + out + "/frames.raw", "--fast decodes recordings in this process"},
      {"learn --fast --input" + rec + " --settings " + out + "/s.ini", "unknown option --fast"},
  };
  for (const auto& c : cases) {
    HostResult r = RunZunkHost(c.args + " --edl " + out + "/b.edl");
    EXPECT_EQ(r.code, 2) << c.args << "\n" << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << "\n" << r.err;
    EXPECT_TRUE(FilesIn(out).empty()) << c.args << ": " << *FilesIn(out).begin();
  }
}

TEST_F(FastScanTest, FindsTheExactRunsBreaksWithinASecondOnSdMpeg2AndHdH264) {
  ASSERT_TRUE(sdMade_ && hdMade_);
  for (const char* name : {"sd.ts", "hd.mp4"}) {
    SCOPED_TRACE(name);
    const std::string rec = *dir_ + "/" + name;
    const Scan exact = RunOver(rec, "");
    const Scan fast = RunOver(rec, "--fast");
    ASSERT_EQ(exact.code, 0) << exact.err;
    ASSERT_EQ(fast.code, 0) << fast.err;
    // The clip's one break, found by the exact run where it is.
    ASSERT_EQ(exact.breaks.size(), 1u);
    EXPECT_NEAR(exact.breaks[0].first, 58, 25);
    EXPECT_NEAR(exact.breaks[0].second, 196, 25);
    // The fast scan: the same frames on the same clock, each edge within a second.
    EXPECT_EQ(exact.frames, kClipFrames);
    EXPECT_EQ(fast.frames, exact.frames);
    ASSERT_EQ(fast.breaks.size(), exact.breaks.size());
    EXPECT_NEAR(fast.breaks[0].first, exact.breaks[0].first, 25);
    EXPECT_NEAR(fast.breaks[0].second, exact.breaks[0].second, 25);
    EXPECT_EQ(exact.fastScan, "");
    EXPECT_NE(fast.fastScan.find("frames no other is predicted from are not decoded"),
              std::string::npos)
        << fast.fastScan;
  }
  // MPEG-2 is decoded at half size, and the plug-in is given that size.
  EXPECT_EQ(RunOver(*dir_ + "/sd.ts", "--fast").width, 360);
}

TEST_F(FastScanTest, KeepsTheClockOverADamagedStretch) {
  ASSERT_TRUE(hdMade_);
  std::string bytes = zunktest::ReadAll(*dir_ + "/hd.mp4");
  ASSERT_GT(bytes.size(), 400000u);
  // Random bytes over a stretch in the middle, inside the break.
  uint32_t state = 4242;
  for (int i = 0; i < 400; ++i) {
    state = state * 1103515245u + 12345u;
    bytes[bytes.size() * 2 / 5 + (state >> 8) % (bytes.size() / 10)] =
        static_cast<char>(state >> 3);
  }
  const std::string damaged = *dir_ + "/damaged.mp4";
  std::ofstream(damaged, std::ios::binary) << bytes;
  const Scan exact = RunOver(damaged, "");
  const Scan fast = RunOver(damaged, "--fast");
  ASSERT_EQ(exact.code, 0) << exact.err;
  ASSERT_EQ(fast.code, 0) << fast.err;
  EXPECT_NE(exact.err.find("damaged packets or frames decoded past"), std::string::npos);
  EXPECT_NE(fast.err.find("damaged packets or frames decoded past"), std::string::npos);
  EXPECT_EQ(exact.frames, kClipFrames);
  EXPECT_EQ(fast.frames, kClipFrames);
}

}  // namespace
