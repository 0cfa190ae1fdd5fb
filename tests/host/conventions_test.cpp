// zunk-host's command line as a tool: every exit code, values after "=", "-" for
// standard output, quiet by default, and detection that never ran.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "eval/json_read.h"
#include "host_cli.h"

namespace {

using zunktest::FilesIn;
using zunktest::FreshFolder;
using zunktest::HostResult;
using zunktest::ReadAll;
using zunktest::RunZunkHost;

const std::string kData = ZUNK_SOURCE_DIR "/data/sample/";
const std::string kSample = kData + "sample.mp4";
const std::string kSettings = kData + "Zunk_LogoDetector.ini";
// The first break of the sample starts at frame 1000.
const std::string kFirstBreak = " --frames 1200 ";

struct UsageCase {
  std::string args;
  const char* message;
};

TEST(Conventions, EveryWrongCommandLineExitsWithTwo) {
  HostResult none = RunZunkHost("");
  EXPECT_EQ(none.code, 2);
  EXPECT_EQ(none.out, "");
  EXPECT_EQ(none.err.rfind("usage: zunk-host", 0), 0u) << none.err;

  FreshFolder("conv_usage");
  std::ofstream("conv_usage/two.edl") << "1.0 2.0 3\n";
  const std::vector<UsageCase> cases = {
      {"--frobnicate " + kSample, "unknown option --frobnicate"},
      {"--volume loud " + kSample, "--volume takes a number"},
      {"--frames 12x " + kSample, "--frames takes a number of frames"},
      {"--format=2 " + kSample, "--format takes 0 or 1"},
      {"--recording=1 " + kSample, "--recording takes no value"},
      {"--outputs edl,srt " + kSample, "--outputs takes a list"},
      {"--edl - --json - " + kSample, "only one output can go to standard output"},
      {"--set RecordAction=1 " + kSample, "--set needs --settings"},
      {"conv_usage", "conv_usage is a folder (--recursive"},
      {"--settings " + kSettings, "no recording named"},
      {"learn --input " + kSample, "learn needs --settings FILE"},
      {"eval --truth " + kData + "truth.txt", "eval needs --truth FILE and --detected FILE"},
      {"eval --truth conv_usage/two.edl --detected conv_usage/two.edl",
       "give --fps N or --recording REC"},
  };
  for (const UsageCase& c : cases) {
    HostResult r = RunZunkHost(c.args);
    EXPECT_EQ(r.code, 2) << c.args << "\n" << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << "\n" << r.err;
    EXPECT_EQ(r.out, "") << c.args;
  }
  HostResult help = RunZunkHost("--help");
  EXPECT_EQ(help.code, 0);
  EXPECT_NE(help.out.find("Exit status: 0 done; 1 failed"), std::string::npos);
}

TEST(Conventions, FailureExitsWithOneAndSuccessWithZero) {
  const std::string out = FreshFolder("conv_codes");
  HostResult missing = RunZunkHost("--edl " + out + "/m.edl " + out + "/missing.mp4");
  EXPECT_EQ(missing.code, 1);
  EXPECT_EQ(zunktest::LineCount(missing.err), 1) << missing.err;
  HostResult done =
      RunZunkHost("--settings " + kSettings + kFirstBreak + "--edl " + out + "/a.edl " + kSample);
  EXPECT_EQ(done.code, 0) << done.err;
  EXPECT_EQ(FilesIn(out), (std::set<std::string>{"a.edl"}));
}

TEST(Conventions, DetectionThatNeverRanExitsWithThreeAndSaysWhy) {
  const std::string out = FreshFolder("conv_idle");
  const std::vector<std::pair<std::string, const char*>> cases = {
      {"", "no settings file (--settings FILE), so channel 1001 has no logo template"},
      {"--settings " + kSettings + " --channel-key 77", "has no section [77] for channel 77"},
      {"--settings " + kSettings + " --set ProcessingEnable=0",
       "the detector is off for channel 1001 (ProcessingEnable=0"},
  };
  for (const auto& c : cases) {
    HostResult r = RunZunkHost(c.first + " --frames 60 --edl " + out + "/b.edl " + kSample);
    EXPECT_EQ(r.code, 3) << c.first << "\n" << r.err;
    EXPECT_EQ(zunktest::LineCount(r.err), 1) << r.err;
    EXPECT_NE(r.err.find("detection never ran: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(c.second), std::string::npos) << r.err;
    EXPECT_TRUE(FilesIn(out).empty()) << "an empty skip list was written for " << c.first;
  }
  // Where it is expected, the empty list is written and the run counts as done.
  HostResult r = RunZunkHost("--allow-empty --frames 60 --edl " + out + "/b.edl " + kSample);
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(ReadAll(out + "/b.edl"), "");
}

TEST(Conventions, ValuesAfterAnEqualsSignAreTheSameAsAfterASpace) {
  const std::string out = FreshFolder("conv_equals");
  HostResult spaced = RunZunkHost("--settings " + kSettings + " --frames 1200 --set " +
                                  "PreviewAction=2 --edl " + out + "/a.edl " + kSample);
  HostResult equals = RunZunkHost("--settings=" + kSettings + " --frames=1200 --set=" +
                                  "PreviewAction=2 --edl=" + out + "/b.edl " + kSample);
  ASSERT_EQ(spaced.code, 0) << spaced.err;
  ASSERT_EQ(equals.code, 0) << equals.err;
  std::string same = equals.out;
  same.replace(same.find("b.edl"), 5, "a.edl");
  EXPECT_EQ(spaced.out, same);
  EXPECT_NE(equals.out.find("SetVolume 60"), std::string::npos) << equals.out;
  EXPECT_EQ(ReadAll(out + "/a.edl"), ReadAll(out + "/b.edl"));
  EXPECT_EQ(ReadAll(out + "/a.edl"), "40.000\t48.000\t3\n");
}

TEST(Conventions, DashIsStandardOutputAndTheSummaryMovesAside) {
  const std::string out = FreshFolder("conv_dash");
  HostResult edl = RunZunkHost("--settings " + kSettings + kFirstBreak + "--edl - " + kSample);
  ASSERT_EQ(edl.code, 0) << edl.err;
  EXPECT_EQ(edl.out, "40.000\t48.000\t3\n");
  EXPECT_NE(edl.err.find("zunk-host summary"), std::string::npos) << edl.err;

  HostResult json = RunZunkHost("--settings " + kSettings + kFirstBreak + "--json - " + kSample);
  ASSERT_EQ(json.code, 0) << json.err;
  zunkhost::JsonValue root;
  std::string why;
  ASSERT_TRUE(zunkhost::ParseJson(json.out, &root, &why)) << why;
  ASSERT_NE(root.Find("breaks"), nullptr);
  EXPECT_EQ(root.Find("breaks")->items.size(), 1u);

  // A recording from standard input (a transport stream, which needs no seeking).
  ASSERT_TRUE(zunktest::Shell("ffmpeg -nostdin -v error -y -i " + kSample +
                              " -frames:v 1200 -c copy -f mpegts conv_piped.ts"));
  HostResult fromPipe = RunZunkHost("--settings " + kSettings + " --edl - - < conv_piped.ts");
  std::remove("conv_piped.ts");
  EXPECT_EQ(fromPipe.code, 0) << fromPipe.err;
  // Copied without re-encoding, the stream is cut at a packet: its end may be a frame on.
  EXPECT_EQ(fromPipe.out.rfind("40.000\t", 0), 0u) << fromPipe.out;
  EXPECT_EQ(zunktest::LineCount(fromPipe.out), 1) << fromPipe.out;

  // Settings from standard input: template names are relative to the current folder.
  ASSERT_TRUE(zunktest::Shell("cp " + kData + "sample-logo.bmp ."));
  HostResult piped =
      RunZunkHost("--settings - " + kFirstBreak + "--edl - " + kSample + " < " + kSettings);
  EXPECT_EQ(piped.code, 0) << piped.err;
  std::remove("sample-logo.bmp");
  EXPECT_EQ(piped.out, "40.000\t48.000\t3\n");
  EXPECT_TRUE(FilesIn(out).empty());
}

TEST(Conventions, QuietByDefault) {
  FreshFolder("conv_quiet");
  zunktest::Shell("cp " + kSample + " conv_quiet/rec.mp4");
  HostResult r = RunZunkHost("--settings " + kSettings + kFirstBreak + "conv_quiet/rec.mp4");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.err, "");
  // Standard output holds the summary and nothing else: no line per frame.
  EXPECT_EQ(r.out.rfind("\nzunk-host summary\n", 0), 0u) << r.out;
  EXPECT_EQ(r.out.find("frame 0 "), std::string::npos);
  EXPECT_NE(r.out.find("written: conv_quiet/rec.edl\n"), std::string::npos) << r.out;

  HostResult j = RunZunkHost("--settings " + kSettings + kFirstBreak +
                             "--summary json --force conv_quiet/rec.mp4");
  ASSERT_EQ(j.code, 0) << j.err;
  zunkhost::JsonValue root;
  std::string why;
  ASSERT_TRUE(zunkhost::ParseJson(j.out, &root, &why)) << why << "\n" << j.out;
  ASSERT_NE(root.Find("detectionRan"), nullptr);
  EXPECT_GT(root.Find("detectionRan")->number, 1000);
  ASSERT_NE(root.Find("breaks"), nullptr);
  ASSERT_EQ(root.Find("breaks")->items.size(), 1u);
  EXPECT_EQ(root.Find("breaks")->items[0].Find("first")->number, 1000);
}

}  // namespace
