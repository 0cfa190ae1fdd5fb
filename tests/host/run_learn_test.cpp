// zunk-host run --learn: a channel the settings file cannot detect yet is learned from the
// recording before the run, once; the key comes from the service name or the file name;
// a recording that cannot be learned fails alone.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "eval/eval.h"
#include "host_cli.h"
#include "run/learn_first.h"

namespace {

using zunktest::FreshFolder;
using zunktest::HostResult;
using zunktest::ReadAll;
using zunktest::RunZunkHost;

const std::string kData = ZUNK_SOURCE_DIR "/data/";

TEST(RunLearnTest, KeyFromNameIsStableAndPositive) {
  // Pinned values: a key written into users' files must not change between versions.
  EXPECT_EQ(zunkhost::KeyFromName("Zunk One"), 2140200202);
  EXPECT_EQ(zunkhost::KeyFromName("sample.mp4"), 809751062);
  EXPECT_NE(zunkhost::KeyFromName("Zunk One"), zunkhost::KeyFromName("Zunk Two"));
  for (const char* name : {"", "a", "sample.mp4", "\xff\xff\xff\xff"}) {
    EXPECT_GT(zunkhost::KeyFromName(name), 0) << name;
    EXPECT_LE(zunkhost::KeyFromName(name), INT32_MAX) << name;
  }
}

TEST(RunLearnTest, LearnsOnceKeepsOtherSectionsFindsTheBreaksAndFailsAlone) {
  const std::string dir = FreshFolder("run_learn");
  // The sample as a broadcast recording: a transport stream naming its service.
  ASSERT_TRUE(zunktest::Shell("ffmpeg -nostdin -v error -i " + kData +
                              "sample/sample.mp4 -c copy -metadata service_name=\"Zunk One\" " +
                              dir + "/news.ts"));
  const std::string settings = dir + "/s.ini";
  const std::string head =
      "; kept by hand\r\n[COMMON]\r\nDlgWndPosX=10\r\n[9]\r\nLogoPosX=5\r\nMine=yes\r\n\r\n";
  std::ofstream(settings, std::ios::binary) << head;
  const int64_t key = zunkhost::KeyFromName("Zunk One");
  const std::string run = "run --learn --no-progress --settings " + settings + " ";

  HostResult first = RunZunkHost(run + "--json " + dir + "/t.json " + dir + "/news.ts");
  ASSERT_EQ(first.code, 0) << first.err;
  EXPECT_NE(first.err.find("learning channel " + std::to_string(key)), std::string::npos)
      << first.err;
  EXPECT_NE(first.out.find("channel key: " + std::to_string(key) +
                           ", from the service name \"Zunk One\""),
            std::string::npos)
      << first.out;
  // The other sections byte for byte, the learned channel's after them.
  const std::string learned = ReadAll(settings);
  ASSERT_EQ(learned.compare(0, head.size(), head), 0) << learned;
  EXPECT_EQ(learned.find("[" + std::to_string(key) + "]\r\nLogoFileName="), head.size()) << learned;
  double fps = 25;
  std::vector<zunkhost::Span> found;
  std::string error;
  ASSERT_TRUE(zunkhost::ReadDetected(dir + "/t.json", &fps, &found, &error)) << error;
  zunkhost::Scores s = zunkhost::Score(zunkhost::ReadTruth(kData + "sample/truth.txt"), found);
  EXPECT_EQ(s.breaks.size(), 2u);
  for (const zunkhost::BreakMatch& b : s.breaks)
    EXPECT_TRUE(b.found);

  // The section is usable now: no learning, the file as it was.
  HostResult second = RunZunkHost(run + "--force " + dir + "/news.ts");
  ASSERT_EQ(second.code, 0) << second.err;
  EXPECT_EQ(second.err.find("learning"), std::string::npos) << second.err;
  EXPECT_EQ(ReadAll(settings), learned);
  EXPECT_NE(ReadAll(dir + "/news.edl"), "");

  // A recording with no logo and no service name: keyed by its file name, reported with
  // learn's message and counted as failed; the other recording still runs.
  ASSERT_TRUE(zunktest::Shell(
      "ffmpeg -nostdin -v error -f lavfi -i nullsrc=s=192x144:r=25:d=40 -vf "
      "\"geq=lum='random(1)*200+20':cb=128:cr=128\" -c:v libx264 -preset ultrafast -threads 2 " +
      dir + "/noise.mp4"));
  std::remove((dir + "/news.edl").c_str());
  HostResult mixed = RunZunkHost(run + "--force " + dir + "/noise.mp4 " + dir + "/news.ts");
  EXPECT_EQ(mixed.code, 1) << mixed.err;
  EXPECT_NE(
      mixed.err.find("learning channel " + std::to_string(zunkhost::KeyFromName("noise.mp4"))),
      std::string::npos)
      << mixed.err;
  EXPECT_NE(mixed.err.find("no logo found"), std::string::npos) << mixed.err;
  EXPECT_NE(mixed.err.find("noise.mp4: failed"), std::string::npos) << mixed.err;
  EXPECT_EQ(ReadAll(settings), learned);
  EXPECT_FALSE(std::ifstream(dir + "/noise.edl").good());
  EXPECT_NE(ReadAll(dir + "/news.edl"), "");
}

TEST(RunLearnTest, UsageErrors) {
  const std::string rec = kData + "sample/sample.mp4";
  const struct {
    std::string args;
    const char* message;
  } cases[] = {
      {"run --learn " + rec, "--learn needs --settings FILE"},
      {"run --learn --settings - " + rec, "--learn needs --settings FILE"},
      {"run --learn --jobs 2 --settings s.ini " + rec, "not with --jobs"},
      {"learn --learn --settings s.ini --input " + rec, "unknown option --learn"},
  };
  for (const auto& c : cases) {
    HostResult r = RunZunkHost(c.args);
    EXPECT_EQ(r.code, 2) << c.args << ": " << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << ": " << r.err;
  }
}

}  // namespace
