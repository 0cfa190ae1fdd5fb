// The settings a capture makes, judged by what they are for: the plug-in's own decisions over
// a whole recording with the captured template and levels, against those with a careful
// hand-made template of the same logo at its true place. The capture sees the programme as
// it does live (one frame each half second from the start, until the finder is sure); the
// decisions come from zunk-host over every frame. Frame precision and recall within 0.01 of
// the hand-made template's, and every break found.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "capture/core_finder.h"
#include "capture/logo_file.h"
#include "settings/settings_test_util.h"

namespace zunk {
namespace {

using testing_util::ScratchFolder;

const std::string kSampleDir = ZUNK_SOURCE_DIR "/data/sample/";

std::string Shell(const std::string& command) {
  std::string out;
  FILE* p = popen((command + " 2>&1").c_str(), "r");
  if (!p)
    return out;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
    out.append(buf, n);
  pclose(p);
  return out;
}

// Every 13th frame (one each half second at 25 frames a second) of the recording's frames
// [first, last], packed YUV 4:2:2 at width x height.
std::vector<std::vector<uint8_t>> EveryThirteenth(const std::string& video,
                                                  int first,
                                                  int last,
                                                  int width,
                                                  int height) {
  const size_t bytes = size_t(width) * height * 2;
  const std::string command =
      "ffmpeg -nostdin -v error -i '" + video + "' -vf \"select=between(n\\," +
      std::to_string(first) + "\\," + std::to_string(last) +
      ")*not(mod(n\\,13)),scale=" + std::to_string(width) + ":" + std::to_string(height) +
      "\" -fps_mode passthrough "
      "-f rawvideo -pix_fmt yuyv422 -";
  std::vector<std::vector<uint8_t>> frames;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe)
    return frames;
  std::vector<uint8_t> frame(bytes);
  while (std::fread(frame.data(), 1, bytes, pipe) == bytes)
    frames.push_back(frame);
  pclose(pipe);
  return frames;
}

// The frames handed to the finder as the capture thread hands them: until it is sure, then
// its answer.
bool Capture(const std::vector<std::vector<uint8_t>>& frames,
             int width,
             int height,
             CapturedLogo* logo,
             int32_t* handed) {
  CaptureStream stream;
  stream.width = width;
  stream.height = height;
  const CaptureFinder& f = kCoreLogoFinder;
  void* search = f.Begin(stream);
  if (!search)
    return false;
  *handed = 0;
  for (const std::vector<uint8_t>& frame : frames) {
    f.Add(search, WholeFrame({frame.data(), width, height, 0}));
    ++*handed;
    CapturedLogo candidate;
    f.Candidate(search, &candidate);
    if (f.Sure(search))
      break;
  }
  CaptureFailure why = CaptureFailure::kNone;
  const bool found = f.Finish(search, logo, &why);
  f.End(search);
  return found;
}

// The settings file with some keys of its channel's section replaced, as the dialog sets
// them for a captured logo.
std::string WithKeys(std::string ini,
                     const std::vector<std::pair<std::string, std::string>>& keys) {
  for (const auto& [key, value] : keys) {
    const size_t at = ini.find("\r\n" + key + "=");
    if (at == std::string::npos) {
      ini += key + "=" + value + "\r\n";
      continue;
    }
    const size_t from = at + 2 + key.size() + 1;
    ini.replace(from, ini.find("\r\n", from) - from, value);
  }
  return ini;
}

std::string CapturedSettings(const std::string& handMade,
                             const CapturedLogo& logo,
                             const std::string& templatePath) {
  std::vector<std::pair<std::string, std::string>> keys = {
      {"LogoFileName", templatePath},
      {"LogoPosX", std::to_string(logo.x)},
      {"LogoPosY", std::to_string(logo.y)},
      {"ColorKey", std::to_string(logo.colorKey)},
      {"LeftTopPixelColor", "0"}};
  if (logo.matchLevel >= 0)
    keys.push_back({"LogoMatchLevel", std::to_string(logo.matchLevel)});
  if (logo.detectLevel >= 0)
    keys.push_back({"LogoDetectLevel", std::to_string(logo.detectLevel)});
  if (logo.posTolerance >= 0)
    keys.push_back({"LogoPosTolerance", std::to_string(logo.posTolerance)});
  return WithKeys(handMade, keys);
}

struct Score {
  double precision = -1, recall = -1;
  int found = -1, known = -1;
  std::string report;
};

// zunk-host's run over every frame of the recording, its decisions scored against the truth.
Score Decisions(const std::string& video,
                const std::string& settings,
                const std::string& truth,
                const std::string& edl) {
  Score s;
  s.report =
      Shell("'" ZUNK_HOST_PATH "' run --input '" + video + "' --settings '" + settings +
            "' --channel-key 1001 --no-log --no-progress --edl-mode decisions --edl '" + edl + "'");
  const std::string eval =
      Shell("'" ZUNK_HOST_PATH "' eval --truth '" + truth + "' --detected '" + edl + "' --fps 25");
  s.report += eval;
  std::smatch m;
  if (std::regex_search(eval, m, std::regex("precision: ([0-9.]+)")))
    s.precision = std::atof(m[1].str().c_str());
  if (std::regex_search(eval, m, std::regex("recall: ([0-9.]+)")))
    s.recall = std::atof(m[1].str().c_str());
  if (std::regex_search(eval, m, std::regex("breaks: (\\d+) of (\\d+) found"))) {
    s.found = std::atoi(m[1].str().c_str());
    s.known = std::atoi(m[2].str().c_str());
  }
  return s;
}

void ExpectAsGood(const Score& captured, const Score& handMade) {
  ASSERT_GE(handMade.precision, 0) << handMade.report;
  ASSERT_GE(captured.precision, 0) << captured.report;
  EXPECT_GE(captured.precision, handMade.precision - 0.01) << captured.report;
  EXPECT_GE(captured.recall, handMade.recall - 0.01) << captured.report;
  EXPECT_GT(captured.known, 0) << captured.report;
  EXPECT_EQ(captured.found, captured.known) << captured.report;
  std::printf("decisions: captured P %.4f R %.4f, hand-made P %.4f R %.4f\n", captured.precision,
              captured.recall, handMade.precision, handMade.recall);
}

// A live capture of the recording's programme from its first frame, for a minute at most
// (it stops sooner once the finder is sure), then the decisions over every frame with the
// captured settings and with the hand-made ones, channel 1001 in both.
void CaptureAndJudge(const std::string& video,
                     int width,
                     int height,
                     const std::string& handMadeSettings,
                     const std::string& truth) {
  const std::vector<std::vector<uint8_t>> frames = EveryThirteenth(video, 0, 1499, width, height);
  ASSERT_GE(frames.size(), 40u);
  CapturedLogo logo;
  int32_t handed = 0;
  ASSERT_TRUE(Capture(frames, width, height, &logo, &handed));
  int32_t masked = 0;
  for (uint32_t p : logo.pixels)
    masked += (p & 0xFFFFFF) != logo.colorKey;
  std::printf(
      "captured after %d frames: %dx%d at (%d, %d), %d of its pixels logo, key %06X, "
      "levels %d %d %d\n",
      handed, logo.width, logo.height, logo.x, logo.y, masked, logo.colorKey, logo.matchLevel,
      logo.detectLevel, logo.posTolerance);

  ScratchFolder scratch;
  std::string handMadeIni;
  ASSERT_TRUE(testing_util::ReadBytes(handMadeSettings, &handMadeIni));
  const std::string templatePath = CapturedLogoPath(scratch.Folder(), 1001);
  ASSERT_TRUE(SaveCapturedLogo(logo, templatePath));
  const std::string settings = scratch.File("captured.ini");
  testing_util::WriteBytes(settings, CapturedSettings(handMadeIni, logo, templatePath));

  const Score handMade = Decisions(video, handMadeSettings, truth, scratch.File("hand.edl"));
  const Score captured = Decisions(video, settings, truth, scratch.File("captured.edl"));
  ExpectAsGood(captured, handMade);
}

// The bundled sample, a still camera with its logo opaque.
TEST(CapturedSettings, DecideOverTheWholeSampleAsWellAsItsHandMadeTemplate) {
  CaptureAndJudge(kSampleDir + "sample.mp4", 768, 576, kSampleDir + "Zunk_LogoDetector.ini",
                  kSampleDir + "truth.txt");
}

// The evaluation corpus's recordings, where it is built (make corpus; ZUNK_CORPUS names
// another folder), each fed at its own frame size.
std::string CorpusFolder() {
  const char* named = std::getenv("ZUNK_CORPUS");
  return named && *named ? std::string(named) + "/" : std::string(ZUNK_SOURCE_DIR "/out/corpus/");
}

class CapturedCorpus : public testing::TestWithParam<const char*> {};

TEST_P(CapturedCorpus, DecideOverTheWholeRecordingAsWellAsItsHandMadeTemplate) {
#if defined(__SANITIZE_THREAD__)
  // The capture's threads are the sample's to check; a whole corpus recording takes many
  // minutes under the thread checker and is judged in the other builds.
  GTEST_SKIP() << "corpus recordings are judged in the builds without the thread checker";
#endif
  const std::string name = GetParam();
  const std::string folder = CorpusFolder() + name + "/";
  const std::string video = folder + name + ".mp4";
  std::string truth;
  if (!testing_util::ReadBytes(folder + "truth.txt", &truth) || !std::filesystem::exists(video))
    GTEST_SKIP() << "the corpus recording " << folder << " is not built (make corpus)";
  std::smatch size;
  ASSERT_TRUE(std::regex_search(truth, size, std::regex("# size (\\d+)x(\\d+)")));
  CaptureAndJudge(video, std::atoi(size[1].str().c_str()), std::atoi(size[2].str().c_str()),
                  folder + "handmade/Zunk_LogoDetector.ini", folder + "truth.txt");
}

// An opaque logo, an opaque logo with see-through holes, and a logo at 45 % over the picture.
INSTANTIATE_TEST_SUITE_P(Recordings,
                         CapturedCorpus,
                         testing::Values("opacity-100", "holes", "opacity-45"),
                         [](const testing::TestParamInfo<const char*>& p) {
                           std::string n = p.param;
                           for (char& c : n)
                             if (c == '-')
                               c = '_';
                           return n;
                         });

}  // namespace
}  // namespace zunk
