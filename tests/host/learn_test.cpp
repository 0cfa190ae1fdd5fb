// Learning a channel's logo: synthetic frames for the finder, the bitmap read back by the
// plug-in's own reader, and zunk-host learn on the bundled sample and on a recording
// with the logo in another corner and of another size.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "eval/eval.h"
#include "host_cli.h"
#include "image/bmp_reader.h"
#include "image_files.h"
#include "logo_finder.h"
#include "plugin/aligned_buffer.h"

namespace {

using zunktest::FilesIn;
using zunktest::FreshFolder;
using zunktest::HostResult;
using zunktest::ReadAll;
using zunktest::RunZunkHost;

const std::string kData = ZUNK_SOURCE_DIR "/data/";

// Noise frames (a new picture every frame); frames from `logoFrom` on carry a static
// two-colour badge at (x, y).
std::vector<std::vector<uint8_t>> Frames(int count, int logoFrom, int x, int y, int lw, int lh) {
  const int w = 768, h = 576;
  std::vector<std::vector<uint8_t>> frames;
  uint32_t state = 99;
  for (int f = 0; f < count; ++f) {
    std::vector<uint8_t> bgr(static_cast<size_t>(w) * h * 3);
    for (uint8_t& v : bgr) {
      state = state * 1664525u + 1013904223u;
      v = static_cast<uint8_t>(40 + (state >> 24) % 160);
    }
    if (f >= logoFrom)
      for (int j = 0; j < lh; ++j)
        for (int i = 0; i < lw; ++i) {
          uint8_t* p = &bgr[(static_cast<size_t>(y + j) * w + x + i) * 3];
          bool rim = i < 2 || j < 2 || i >= lw - 2 || j >= lh - 2;
          p[0] = rim ? 240 : 120;
          p[1] = rim ? 240 : 20;
          p[2] = rim ? 240 : 30;
        }
    frames.push_back(std::move(bgr));
  }
  return frames;
}

TEST(LogoFinderTest, FindsAStaticBadgeAndLeavesOutFramesWithoutIt) {
  zunkhost::FoundLogo logo;
  std::string why;
  // A third of the frames (the first ones) have no logo.
  ASSERT_TRUE(zunkhost::FindLogo(Frames(30, 10, 600, 480, 90, 40), 768, 576, &logo, &why)) << why;
  EXPECT_EQ(logo.x, 600);
  EXPECT_EQ(logo.y, 480);
  EXPECT_EQ(logo.width, 90);
  EXPECT_EQ(logo.height, 40);
  EXPECT_EQ(logo.logoFrames, 20);
  EXPECT_EQ(logo.bgr[0], 240);
  const size_t inside = (10 * 90 + 10) * 3;
  EXPECT_EQ(logo.bgr[inside + 1], 20);
  EXPECT_EQ(logo.mask[10 * 90 + 10], 1);
}

TEST(LogoFinderTest, NoStaticCornerAndTooFewFramesAreRefused) {
  zunkhost::FoundLogo logo;
  std::string why;
  EXPECT_FALSE(zunkhost::FindLogo(Frames(20, 1000, 0, 0, 1, 1), 768, 576, &logo, &why));
  EXPECT_NE(why.find("no logo found"), std::string::npos) << why;
  // A static area in the middle of the picture is no channel logo.
  EXPECT_FALSE(zunkhost::FindLogo(Frames(20, 0, 340, 250, 90, 40), 768, 576, &logo, &why));
  EXPECT_FALSE(zunkhost::FindLogo(Frames(11, 0, 600, 480, 90, 40), 768, 576, &logo, &why));
  EXPECT_NE(why.find("too short"), std::string::npos) << why;
}

TEST(LogoFinderTest, SamplerKeepsFramesFarApartAndSkipsBlackOnes) {
  zunkhost::FrameSampler sampler(8, 8, 5, 4);
  std::vector<uint8_t> grey(8 * 8 * 3), black(8 * 8 * 3, 0);
  for (size_t i = 0; i < grey.size(); ++i)
    grey[i] = static_cast<uint8_t>(60 + (i * 37) % 120);
  for (int n = 0; n < 100; ++n)
    sampler.Offer(n, n >= 50 && n < 60 ? black.data() : grey.data());
  // Spacing 5 then 10, 20, 40 as the four places fill: frames 0, 40, 80 kept.
  EXPECT_EQ(sampler.Spacing(), 40);
  EXPECT_EQ(sampler.Frames().size(), 3u);
}

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

// "logo: x=.. y=.., WxH" from learn's output.
struct Learned {
  int x = -1, y = -1, w = -1, h = -1;
};
Learned Parse(const std::string& out) {
  Learned l;
  size_t at = out.find("logo: x=");
  if (at != std::string::npos)
    std::sscanf(out.c_str() + at, "logo: x=%d y=%d, %dx%d", &l.x, &l.y, &l.w, &l.h);
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
  EXPECT_NEAR(l.h, 44, 2);
  EXPECT_EQ(FilesIn(dir),
            (std::set<std::string>{"Zunk_LogoDetector.ini", "logo-1001.bmp", "logo-1001.png"}));
  // The plug-in's own layout: CR LF lines, "COMMON" first, the keys in table order.
  std::string ini = ReadAll(dir + "/Zunk_LogoDetector.ini");
  EXPECT_EQ(ini.rfind("[COMMON]\r\nDlgWndPosX=-100\r\nDlgWndPosY=-100\r\n[1001]\r\n"
                      "LogoFileName=logo-1001.bmp\r\nMsgString=\xD0\xC5\xCA\xCB\xC0\xCC\xC0\r\n"
                      "LogoPosX=" +
                          std::to_string(l.x) + "\r\nLogoPosY=" + std::to_string(l.y) +
                          "\r\nLogoPosTolerance=3\r\n",
                      0),
            0u)
      << ini;
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

TEST(LearnTest, LogoInAnotherCornerOfAnotherSizeIntoAnExistingFile) {
  std::string dir = FreshFolder("learn_corner");
  // Channel 7 exists with settings of its own, channel 9 beside it.
  std::ofstream(dir + "/s.ini", std::ios::binary)
      << "[COMMON]\r\nDlgWndPosX=10\r\nDlgWndPosY=20\r\n[7]\r\nLogoFileName=old.bmp\r\n"
         "LogoDetectLevel=70\r\nMsgString=Advert\r\n[9]\r\nLogoPosX=5\r\n";
  HostResult r = RunZunkHost("learn --no-progress --channel-key 7 --input " + kData +
                             "corner/corner.mp4 --settings " + dir + "/s.ini");
  ASSERT_EQ(r.code, 0) << r.err;
  Learned l = Parse(r.out);
  EXPECT_NEAR(l.x, 32, 2) << r.out;
  EXPECT_NEAR(l.y, 508, 2);
  EXPECT_NEAR(l.w, 104, 2);
  EXPECT_NEAR(l.h, 38, 2);
  std::string ini = ReadAll(dir + "/s.ini");
  EXPECT_NE(ini.find("DlgWndPosX=10\r\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("[7]\r\nLogoFileName=logo-7.bmp\r\nMsgString=Advert\r\n"), std::string::npos);
  EXPECT_NE(ini.find("LogoDetectLevel=70\r\n"), std::string::npos);
  EXPECT_NE(ini.find("[9]\r\nLogoFileName="), std::string::npos);
  EXPECT_NE(ini.find("LogoPosX=5\r\n"), std::string::npos);
}

TEST(LearnTest, NoLogoTooShortAndUnwritableFolderWriteNothing) {
  std::string dir = FreshFolder("learn_bad");
  ASSERT_TRUE(zunktest::Shell(
      "ffmpeg -nostdin -v error -f lavfi -i nullsrc=s=192x144:r=25:d=16 -vf "
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
