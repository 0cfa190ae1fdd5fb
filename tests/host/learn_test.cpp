// Learning a channel's logo: the bitmap read back by the plug-in's own reader, and
// zunk-host learn on the bundled sample and on a recording with the logo in another corner
// and of another size.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "base/aligned_buffer.h"
#include "eval/eval.h"
#include "host_cli.h"
#include "image/bmp_reader.h"
#include "image_files.h"

namespace {

using zunktest::FilesIn;
using zunktest::FreshFolder;
using zunktest::HostResult;
using zunktest::ReadAll;
using zunktest::RunZunkHost;

const std::string kData = ZUNK_SOURCE_DIR "/data/";

TEST(ImageFilesTest, BitmapReadsBackWithThePluginsReader) {
  const int w = 5, h = 3;  // an odd width: rows are padded to 4 bytes
  std::vector<uint8_t> bgr(w * h * 3);
  for (size_t i = 0; i < bgr.size(); ++i)
    bgr[i] = static_cast<uint8_t>(i * 11);
  FILE* f = std::tmpfile();
  ASSERT_TRUE(zunkhost::WriteBmp24(f, w, h, bgr));
  std::rewind(f);
  std::vector<uint8_t> bytes(200);
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
  std::fclose(f);
  EXPECT_EQ(bytes.size(), 54u + 16 * 3);
  int32_t rw = 0, rh = 0;
  uint32_t* pixels = zunk::ReadBmp(bytes.data(), bytes.size(), 768, 576, &rw, &rh);
  ASSERT_NE(pixels, nullptr);
  EXPECT_EQ(rw, w);
  EXPECT_EQ(rh, h);
  for (int i = 0; i < w * h; ++i)
    EXPECT_EQ(pixels[i], bgr[i * 3] | bgr[i * 3 + 1] << 8 | bgr[i * 3 + 2] << 16) << i;
  zunk::FreeAligned(pixels);

  f = std::tmpfile();
  ASSERT_TRUE(zunkhost::WritePng(f, w, h, bgr));
  std::rewind(f);
  char head[16] = {};
  ASSERT_EQ(std::fread(head, 1, 16, f), 16u);
  std::fclose(f);
  EXPECT_EQ(std::string(head, 8), "\x89PNG\r\n\x1a\n");
  EXPECT_EQ(std::string(head + 12, 4), "IHDR");
}

// The folder's absolute path, as learn names the template in the settings.
std::string FullPathOf(const std::string& folder) {
  char buf[PATH_MAX];
  return realpath(folder.c_str(), buf) ? std::string(buf) : folder;
}

// "logo: x=.. y=.., WxH" and the levels from learn's output.
struct Learned {
  int x = -1, y = -1, w = -1, h = -1;
  int match = -1, detect = -1, tolerance = -1;
};
Learned Parse(const std::string& out) {
  Learned l;
  size_t at = out.find("logo: x=");
  if (at != std::string::npos)
    std::sscanf(out.c_str() + at, "logo: x=%d y=%d, %dx%d", &l.x, &l.y, &l.w, &l.h);
  at = out.find("levels: ");
  if (at != std::string::npos)
    std::sscanf(out.c_str() + at, "levels: LogoMatchLevel=%d LogoDetectLevel=%d LogoPosTolerance=%d",
                &l.match, &l.detect, &l.tolerance);
  return l;
}

TEST(LearnTest, SampleLogoThenRunFindsBothBreaks) {
  std::string dir = FreshFolder("learn_sample");
  HostResult r = RunZunkHost("learn --no-progress --input " + kData +
                             "sample/sample.mp4 --settings " + dir + "/Zunk_LogoDetector.ini");
  ASSERT_EQ(r.code, 0) << r.err;
  Learned l = Parse(r.out);
  EXPECT_NEAR(l.x, 656, 2) << r.out;
  EXPECT_NEAR(l.y, 32, 2);
  EXPECT_NEAR(l.w, 72, 2);
  // The sample's programme is one still scene, and a still white van touches the logo's
  // lower edge: nothing in the recording tells its roof from the logo's white rim, so the
  // template may take in a few rows of it.
  EXPECT_GE(l.h, 42);
  EXPECT_LE(l.h, 56);
  EXPECT_EQ(FilesIn(dir),
            (std::set<std::string>{"Zunk_LogoDetector.ini", "logo-1001.bmp", "logo-1001.png"}));
  // A new file holds the channel's section in the plug-in's own layout: CR LF lines, the
  // keys in table order, the template by its full path, the logo not painted over.
  std::string ini = ReadAll(dir + "/Zunk_LogoDetector.ini");
  EXPECT_EQ(ini.rfind("[1001]\r\nLogoFileName=" + FullPathOf(dir) +
                          "/logo-1001.bmp\r\n"
                          "MsgString=\xD0\xC5\xCA\xCB\xC0\xCC\xC0\r\n"
                          "LogoPosX=" +
                          std::to_string(l.x) + "\r\nLogoPosY=" + std::to_string(l.y) +
                          "\r\nLogoPosTolerance=" + std::to_string(l.tolerance) + "\r\n",
                      0),
            0u)
      << ini;
  EXPECT_NE(ini.find("\r\nShowLogo=0\r\n"), std::string::npos);
  EXPECT_NE(ini.find("\r\nMsgTransparency=60\r\n"), std::string::npos);

  HostResult run =
      RunZunkHost("--no-progress --no-log --input " + kData + "sample/sample.mp4 --settings " +
                  dir + "/Zunk_LogoDetector.ini --json " + dir + "/t.json");
  ASSERT_EQ(run.code, 0) << run.err;
  double fps = 25;
  std::vector<zunkhost::Span> found;
  std::string error;
  ASSERT_TRUE(zunkhost::ReadDetected(dir + "/t.json", &fps, &found, &error)) << error;
  zunkhost::Scores s = zunkhost::Score(zunkhost::ReadTruth(kData + "sample/truth.txt"), found);
  EXPECT_GE(s.recall, 0.99) << run.out;
  EXPECT_GE(s.precision, 0.99) << run.out;
  EXPECT_EQ(s.breaks.size(), 2u);
  for (const zunkhost::BreakMatch& b : s.breaks)
    EXPECT_TRUE(b.found);
}

TEST(LearnTest, IntoAnExistingFileOnlyTheChannelsKeysChange) {
  std::string dir = FreshFolder("learn_corner");
  // A file as a user keeps it: a comment, "COMMON", "DEFAULT", channel 7 with settings of
  // its own and a key no version knows, channel 9 and channel 5 around it, odd spacing.
  const std::string head =
      "; kept by hand\r\n[COMMON]\r\nDlgWndPosX=10\r\nDlgWndPosY=20\r\n[DEFAULT]\r\n"
      "LogoDetectLevel=60\r\nRecordAction=1\r\n[9]\r\nLogoPosX=5\r\nMine=yes\r\n\r\n";
  const std::string channel7 =
      "[7]\r\nLogoFileName=old.bmp\r\nLogoDetectLevel=70\r\nFuture=1\r\nMsgString=Advert\r\n"
      "LogoPosX=1\r\n";
  const std::string tail = "[5]\r\nShowLogo=1\n";
  std::ofstream(dir + "/s.ini", std::ios::binary) << head << channel7 << tail;
  HostResult r = RunZunkHost("learn --no-progress --channel-key 7 --input " + kData +
                             "corner/corner.mp4 --settings " + dir +
                             "/s.ini --set RecordAction=2 --set MsgString=Werbung");
  ASSERT_EQ(r.code, 0) << r.err;
  Learned l = Parse(r.out);
  EXPECT_NEAR(l.x, 32, 2) << r.out;
  EXPECT_NEAR(l.y, 508, 2);
  EXPECT_NEAR(l.w, 104, 2);
  EXPECT_NEAR(l.h, 38, 2);
  std::string ini = ReadAll(dir + "/s.ini");
  // Everything but channel 7's section is byte for byte as it was; in it, the keys it had
  // keep their places with the learned values, the unknown one stays, and the keys it
  // lacked follow it.
  ASSERT_EQ(ini.compare(0, head.size(), head), 0) << ini;
  ASSERT_GE(ini.size(), head.size() + tail.size());
  EXPECT_EQ(ini.substr(ini.size() - tail.size()), tail) << ini;
  const std::string section = ini.substr(head.size(), ini.size() - head.size() - tail.size());
  // The levels calibrated on the recording replace the channel's.
  ASSERT_GT(l.detect, 0) << r.out;
  const std::string expected = "[7]\r\nLogoFileName=" + FullPathOf(dir) + "/logo-7.bmp\r\n" +
                               "LogoDetectLevel=" + std::to_string(l.detect) +
                               "\r\nFuture=1\r\nMsgString=Werbung\r\n" +
                               "LogoPosX=" + std::to_string(l.x) +
                               "\r\nLogoPosY=" + std::to_string(l.y) + "\r\n";
  EXPECT_EQ(section.compare(0, expected.size(), expected), 0) << section;
  for (const char* line : {"\r\nLeftTopPixelColor=0\r\n", "\r\nShowLogo=0\r\n",
                           "\r\nRecordAction=2\r\n", "\r\nColorKey="})
    EXPECT_NE(section.find(line), std::string::npos) << line << " in " << section;
  // The run reads what was learned and set.
  HostResult run =
      RunZunkHost("--no-progress --no-log --recording --channel-key 7 --input " + kData +
                  "corner/corner.mp4 --settings " + dir + "/s.ini --out-dir " + dir);
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_NE(run.out.find("RecordAction 2"), std::string::npos) << run.out;
}

TEST(LearnTest, NoLogoTooShortAndUnwritableFolderWriteNothing) {
  std::string dir = FreshFolder("learn_bad");
  ASSERT_TRUE(zunktest::Shell(
      "ffmpeg -nostdin -v error -f lavfi -i nullsrc=s=192x144:r=25:d=40 -vf "
      "\"geq=lum='random(1)*200+20':cb=128:cr=128\" -c:v libx264 -preset ultrafast -threads 2 " +
      dir + "/noise.mp4"));
  ASSERT_TRUE(zunktest::Shell("ffmpeg -nostdin -v error -i " + kData +
                              "sample/sample.mp4 -frames:v 150 -c:v libx264 -preset ultrafast "
                              "-threads 2 " +
                              dir + "/short.mp4"));
  std::string out = FreshFolder("learn_bad_out");
  struct Case {
    std::string input;
    const char* message;
  } cases[] = {{dir + "/noise.mp4", "no logo found"},
               {dir + "/short.mp4", "too short a recording"},
               {dir + "/missing.mp4", "no such file"}};
  for (const Case& c : cases) {
    HostResult r =
        RunZunkHost("learn --no-progress --input " + c.input + " --settings " + out + "/s.ini");
    EXPECT_EQ(r.code, 1) << c.input;
    EXPECT_EQ(zunktest::LineCount(r.err), 1) << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_TRUE(FilesIn(out).empty()) << c.input;
  }
  // A settings file that is there stays as it was.
  const std::string kept = "[COMMON]\r\nDlgWndPosX=1\r\n[3]\r\nLogoPosX=9\r\n";
  std::ofstream(out + "/s.ini", std::ios::binary) << kept;
  HostResult failed =
      RunZunkHost("learn --no-progress --input " + dir + "/noise.mp4 --settings " + out + "/s.ini");
  EXPECT_EQ(failed.code, 1);
  EXPECT_EQ(ReadAll(out + "/s.ini"), kept);
  EXPECT_EQ(FilesIn(out), std::set<std::string>{"s.ini"});
  HostResult r = RunZunkHost("learn --no-progress --input " + kData + "sample/sample.mp4");
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.err.find("learn needs --settings FILE"), std::string::npos) << r.err;
  if (access("/sys", F_OK) == 0 && !std::ofstream("/sys/zunk-probe")) {
    r = RunZunkHost("learn --no-progress --input " + kData +
                    "sample/sample.mp4 --settings "
                    "/sys/Zunk_LogoDetector.ini");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(zunktest::LineCount(r.err), 1) << r.err;
    EXPECT_NE(r.err.find("cannot write /sys/logo-1001.bmp"), std::string::npos) << r.err;
  }
}

}  // namespace
