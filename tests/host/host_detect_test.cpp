// Detection end to end through zunk-host and the built module (under Wine in the Windows
// build): a striped logo shown, moved away beyond the tolerance, shown again, in both pixel
// formats. The recording pauses and resumes at the frames the decision rules give, and the
// logo overlay writes exactly the template's pixels or nothing.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "host_run_util.h"

namespace {

constexpr int kW = 768, kH = 576, kLogoW = 60, kLogoH = 40, kLogoX = 600, kLogoY = 40;

uint8_t LogoGrey(int x, int y) {
  if (x < 2 || y < 2 || x >= kLogoW - 2 || y >= kLogoH - 2)
    return 0;  // the colour key
  const int band = (x * 7 + (x * x) % 5) / 9;
  return band % 2 ? 235 : static_cast<uint8_t>(40 + (band * 13) % 60);
}

void Put32(std::string* s, uint32_t v) {
  for (int i = 0; i < 4; ++i)
    s->push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// The logo as a 24-bit bottom-up bitmap file.
void WriteLogo(const char* name) {
  const int stride = (kLogoW * 3 + 3) & ~3;
  std::string f = "BM";
  Put32(&f, 54 + stride * kLogoH);
  Put32(&f, 0);
  Put32(&f, 54);
  Put32(&f, 40);
  Put32(&f, kLogoW);
  Put32(&f, kLogoH);
  Put32(&f, 1 | (24 << 16));
  for (int i = 0; i < 6; ++i)
    Put32(&f, 0);
  for (int y = kLogoH - 1; y >= 0; --y) {
    for (int x = 0; x < kLogoW; ++x)
      f.append(3, static_cast<char>(LogoGrey(x, y)));
    f.append(stride - kLogoW * 3, '\0');
  }
  std::ofstream(name, std::ios::binary) << f;
}

void WriteSettings(const char* name, const std::string& extra) {
  std::string s =
      "[COMMON]\r\nDlgWndPosX=-100\r\nDlgWndPosY=-100\r\n[1001]\r\n"
      "LogoFileName=host_detect_logo.bmp\r\nLogoPosX=600\r\nLogoPosY=40\r\n"
      "LogoPosTolerance=3\r\nColorKey=0\r\nProcessingEnable=1\r\nLogoOffResponseSpeed=10\r\n"
      "LogoOnResponseSpeed=3\r\nLogoDetectLevel=80\r\nLogoMatchLevel=80\r\nRecordAction=1\r\n"
      "MsgEnable=0\r\n" +
      extra;
  std::ofstream(name, std::ios::binary) << s;
}

struct Clip {
  int format;
  std::vector<uint8_t> bytes;
  size_t frameBytes() const { return static_cast<size_t>(kW) * kH * (format == 0 ? 2 : 3); }
  void Put(uint8_t* f, int x, int y, uint8_t v) const {
    if (format == 1) {
      uint8_t* p = f + (static_cast<size_t>(kH - 1 - y) * kW + x) * 3;
      p[0] = p[1] = p[2] = v;
    } else {
      f[(static_cast<size_t>(y) * kW + x) * 2] = v;
    }
  }
  // One frame: noise around the logo at (x, y).
  void Add(const std::vector<uint8_t>& background, int logoX) {
    const size_t start = bytes.size();
    bytes.insert(bytes.end(), background.begin(), background.end());
    uint8_t* f = bytes.data() + start;
    for (int y = 0; y < kLogoH; ++y)
      for (int x = 0; x < kLogoW; ++x)
        if (LogoGrey(x, y))
          Put(f, logoX + x, kLogoY + y, LogoGrey(x, y));
  }
};

// Frames 0..39 with the logo, 40..44 with it moved 15 pixels right, 45..59 with it back.
Clip MakeClip(int format) {
  Clip c{format, {}};
  std::vector<uint8_t> background(c.frameBytes(), 128);
  uint32_t seed = 7;
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) {
      seed = seed * 1103515245u + 12345u;
      c.Put(background.data(), x, y, static_cast<uint8_t>(90 + (seed >> 16) % 9));
    }
  }
  for (int i = 0; i < 60; ++i)
    c.Add(background, i >= 40 && i < 45 ? kLogoX + 15 : kLogoX);
  return c;
}

std::string FormatName(int format) {
  return format == 0 ? "yuy2" : "bgr";
}

class HostDetect : public ::testing::TestWithParam<int> {};

TEST_P(HostDetect, PauseAndResumeAtTheFramesTheRulesGive) {
  const int format = GetParam();
  WriteLogo("host_detect_logo.bmp");
  WriteSettings("host_detect.ini", "ShowLogo=0\r\n");
  const Clip clip = MakeClip(format);
  const std::string raw = "host_detect_" + FormatName(format) + ".raw";
  std::ofstream(raw, std::ios::binary)
      .write(reinterpret_cast<const char*>(clip.bytes.data()), clip.bytes.size());
  const std::string out = zunktest::RunHost("--raw " + raw + " --format " + std::to_string(format) +
                                            " --settings host_detect.ini /inst:d --recording "
                                            "--host-version 0x3003C --no-progress --log -");
  std::remove(raw.c_str());
  // Start skip 5, the change of channel at frame 5 and 24 frames after it: matching from
  // frame 30. Gone at 40: 90, 80, 70 -> paused at 42, then 60, 50. Back at 45: 53, 56, ...
  // 80 at 54, where the hold-off of 12 frames ends; 83 at 55 is evaluated: resumed.
  std::vector<std::string> commands;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) {
    const size_t post = line.find(" post:");
    if (line.rfind("frame ", 0) == 0 && post != std::string::npos)
      commands.push_back(line.substr(0, line.find(' ', 6)) + line.substr(post));
  }
  EXPECT_EQ(commands, (std::vector<std::string>{"frame 42 post:PauseRecording(0)",
                                                "frame 55 post:ResumeRecording(0)"}))
      << out;
  EXPECT_NE(out.find("frame 29 t=0:01.160 result=0"), std::string::npos);
  EXPECT_NE(out.find("frame 30 t=0:01.200 result=1"), std::string::npos);
}

// The summary lists each reaction at its frame and reads the break from what the commands
// mean under the channel's actions, set with --set in the installed copy of the file.
TEST_P(HostDetect, BreaksReadFromTheCommandsUnderTheActions) {
  const int format = GetParam();
  WriteLogo("host_detect_logo.bmp");
  WriteSettings("host_detect.ini", "ShowLogo=0\r\n");
  const Clip clip = MakeClip(format);
  const std::string raw = "host_actions_" + FormatName(format) + ".raw";
  std::ofstream(raw, std::ios::binary)
      .write(reinterpret_cast<const char*>(clip.bytes.data()), clip.bytes.size());
  const std::string common = "--raw " + raw + " --format " + std::to_string(format) +
                             " --settings host_detect.ini /inst:d --no-progress --no-log ";
  const std::string recordOnlyBreaks =
      zunktest::RunHost(common + "--recording --set RecordAction=2 --host-version 0x3003C");
  EXPECT_NE(recordOnlyBreaks.find("  frame 5 (0:00.200) PauseRecording\n"
                                  "  frame 42 (0:01.680) ResumeRecording\n"
                                  "  frame 55 (0:02.200) PauseRecording\n"),
            std::string::npos)
      << recordOnlyBreaks;
  EXPECT_NE(recordOnlyBreaks.find("advert breaks (from the host commands under RecordAction 2): "
                                  "1\n  frames 42-54 "),
            std::string::npos)
      << recordOnlyBreaks;
  const std::string preview =
      zunktest::RunHost(common + "--set PreviewAction=2 --set RecordAction=1");
  EXPECT_NE(preview.find("  frame 42 (0:01.680) SetVolume 60\n"
                         "  frame 55 (0:02.200) SetVolume 100\n"),
            std::string::npos)
      << preview;
  EXPECT_NE(preview.find("advert breaks (from the host commands under PreviewAction 2): "
                         "1\n  frames 42-54 "),
            std::string::npos)
      << preview;
  // The file given keeps its own values.
  std::ifstream in("host_detect.ini", std::ios::binary);
  const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(file.find("RecordAction=1\r\n"), std::string::npos);
  EXPECT_EQ(file.find("PreviewAction"), std::string::npos);
  std::remove(raw.c_str());
}

TEST_P(HostDetect, OverlayWritesTheTemplateOrNothing) {
  const int format = GetParam();
  WriteLogo("host_detect_logo.bmp");
  const Clip clip = MakeClip(format);
  const std::string raw = "host_overlay_" + FormatName(format) + ".raw";
  const std::string processed = raw + ".out";
  std::ofstream(raw, std::ios::binary)
      .write(reinterpret_cast<const char*>(clip.bytes.data()), clip.bytes.size());
  for (int level : {0, 100}) {
    WriteSettings("host_detect.ini",
                  "ShowLogo=1\r\nLogoTransparency=" + std::to_string(level) + "\r\n");
    zunktest::RunHost("--raw " + raw + " --format " + std::to_string(format) +
                      " --settings host_detect.ini /inst:d --raw-output " + processed +
                      " --no-progress --no-log");
    std::ifstream in(processed, std::ios::binary);
    const std::vector<uint8_t> got((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
    ASSERT_EQ(got.size(), clip.bytes.size()) << level;
    if (level == 0) {
      EXPECT_TRUE(got == clip.bytes) << "level 0 changed the frames";
      continue;
    }
    // Frame 42 was matched with the logo moved away: the stored logo is drawn at the stored
    // place over whatever the frame shows there.
    const size_t fb = clip.frameBytes();
    const uint8_t* before = clip.bytes.data() + 42 * fb;
    const uint8_t* after = got.data() + 42 * fb;
    int differing = 0;
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x) {
        const bool inside =
            x >= kLogoX && x < kLogoX + kLogoW && y >= kLogoY && y < kLogoY + kLogoH;
        const uint8_t t = inside ? LogoGrey(x - kLogoX, y - kLogoY) : 0;
        const size_t at = format == 1 ? (static_cast<size_t>(kH - 1 - y) * kW + x) * 3
                                      : (static_cast<size_t>(y) * kW + x) * 2;
        if (!inside || t == 0) {
          ASSERT_EQ(after[at], before[at]) << x << "," << y;
        } else if (format == 1) {
          ASSERT_EQ(after[at], t) << x << "," << y;
        } else {
          ASSERT_NEAR(after[at], t, 2) << x << "," << y;
        }
        differing += after[at] != before[at];
      }
    }
    EXPECT_GT(differing, 1000);
    // The first 30 frames are not matched and keep their bytes.
    EXPECT_TRUE(std::equal(got.begin(), got.begin() + 30 * fb, clip.bytes.begin()));
  }
  std::remove(raw.c_str());
  std::remove(processed.c_str());
}

INSTANTIATE_TEST_SUITE_P(Formats, HostDetect, ::testing::Values(0, 1));

}  // namespace
