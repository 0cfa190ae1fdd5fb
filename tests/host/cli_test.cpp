// zunk-host run from the command line: bad inputs (one line, an exit code, no output
// files), several recordings in parallel, the audio of the processed video, and the
// breaks found in the bundled sample.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "eval/eval.h"
#include "eval/json_read.h"
#include "host_cli.h"

namespace {

using zunktest::FilesIn;
using zunktest::FreshFolder;
using zunktest::HostResult;
using zunktest::LineCount;
using zunktest::RunZunkHost;
using zunktest::Shell;

const std::string kData = ZUNK_SOURCE_DIR "/data/sample/";
const std::string kSample = kData + "sample.mp4";

// Every output a run can write, into the folder.
std::string AllOutputs(const std::string& folder) {
  return " --json " + folder + "/t.json --edl " + folder + "/b.edl --log " + folder +
         "/f.log --output " + folder + "/p.mp4";
}

// A folder this process cannot write into (a fresh read-only one, or, for the
// superuser whom modes do not stop, a system folder), or "".
std::string UnwritableFolder() {
  if (geteuid() != 0) {
    std::string f = FreshFolder("cli_readonly");
    Shell("chmod 555 " + f);
    return f;
  }
  return access("/sys", F_OK) == 0 && !std::ofstream("/sys/zunk-probe") ? "/sys" : "";
}

// The first seconds of the sample, 25 frames a second.
std::string Clip(const std::string& name, int seconds, bool audio = false) {
  std::string cmd = "ffmpeg -nostdin -v error -y -i " + kSample;
  if (audio)
    cmd += " -f lavfi -i sine=frequency=440:sample_rate=48000 -map 0:v -map 1:a -c:a aac -shortest";
  cmd += " -frames:v " + std::to_string(seconds * 25) +
         " -c:v libx264 -preset ultrafast -threads 2 " + name;
  EXPECT_TRUE(Shell(cmd)) << cmd;
  return name;
}

struct BadCase {
  const char* what;
  std::string args;
  int code;
  const char* message;
};

TEST(CliTest, BadInputsGiveOneLineAnExitCodeAndNoFiles) {
  FreshFolder("cli_inputs");
  std::ofstream("cli_inputs/text.mp4") << "not a video at all\n";
  std::ofstream("cli_inputs/empty.mp4");
  std::string sample = zunktest::ReadAll(kSample);
  std::ofstream("cli_inputs/cut.mp4", std::ios::binary) << sample.substr(0, sample.size() / 3);
  std::string unwritable = UnwritableFolder();
  std::vector<BadCase> cases = {
      {"missing", "--input cli_inputs/missing.mp4", 1, "cli_inputs/missing.mp4: no such file"},
      {"text", "--input cli_inputs/text.mp4", 1, "cli_inputs/text.mp4: not a video"},
      {"empty", "--input cli_inputs/empty.mp4", 1, "empty file (zero length)"},
      {"cut", "--input cli_inputs/cut.mp4", 1, "cli_inputs/cut.mp4: truncated video"},
      {"jobs", "--jobs 0 --input " + kSample, 2, "--jobs takes a number from 1 to 256"},
      {"option", "--frobnicate --input " + kSample, 2, "unknown option --frobnicate"},
      {"value", "--input", 2, "--input needs a value"},
  };
  for (const BadCase& c : cases) {
    std::string out = FreshFolder(std::string("cli_bad_") + c.what);
    HostResult r = RunZunkHost(AllOutputs(out) + " --no-progress " + c.args);
    EXPECT_EQ(r.code, c.code) << c.what << "\n" << r.err;
    EXPECT_EQ(LineCount(r.err), 1) << c.what << "\n" << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.what << "\n" << r.err;
    EXPECT_TRUE(FilesIn(out).empty()) << c.what << ": " << *FilesIn(out).begin();
  }
  if (unwritable.empty())
    return;
  // An output folder without write rights: refused before any frame, nothing left.
  std::string out = FreshFolder("cli_bad_folder");
  HostResult r = RunZunkHost("--input " + kSample + " --no-progress --no-log --json " + out +
                             "/t.json --edl " + unwritable + "/b.edl");
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(LineCount(r.err), 1) << r.err;
  EXPECT_NE(r.err.find("cannot write " + unwritable + "/b.edl"), std::string::npos) << r.err;
  EXPECT_TRUE(FilesIn(out).empty());
}

TEST(CliTest, DamagedStretchIsDecodedPastWithAWarning) {
  std::string bytes = zunktest::ReadAll(kSample);
  uint32_t state = 777;
  for (int i = 0; i < 1500; ++i) {
    state = state * 1103515245u + 12345u;
    bytes[1500000 + (state >> 8) % 400000] = static_cast<char>(state >> 3);
  }
  std::string out = FreshFolder("cli_damaged");
  std::ofstream(out + "/damaged.mp4", std::ios::binary) << bytes;
  HostResult r =
      RunZunkHost("--allow-empty --edl " + out + "/b.edl --input " + out + "/damaged.mp4");
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.err.find("warning: " + out + "/damaged.mp4: "), std::string::npos) << r.err;
  EXPECT_NE(r.err.find(" damaged packets or frames decoded past"), std::string::npos);
  EXPECT_NE(r.out.find("frames: 3016 "), std::string::npos) << r.out;
  EXPECT_EQ(FilesIn(out), (std::set<std::string>{"damaged.mp4", "b.edl"}));
}

TEST(CliTest, SeveralRecordingsRunInParallelEachIntoItsOwnOutputs) {
  FreshFolder("cli_jobs");
  Clip("cli_jobs/one.mp4", 3);
  Clip("cli_jobs/two.mp4", 2);
  std::ofstream("cli_jobs/bad.mp4") << "junk";
  std::string out = FreshFolder("cli_jobs_out");
  HostResult r = RunZunkHost("--jobs 2 --allow-empty --json " + out + "/t.json --edl " + out +
                             "/b.edl cli_jobs/one.mp4 --input cli_jobs/two.mp4");
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(FilesIn(out),
            (std::set<std::string>{"b-one.edl", "b-two.edl", "t-one.json", "t-two.json"}));
  EXPECT_NE(r.out.find("frames: 75 "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("frames: 50 "), std::string::npos) << r.out;

  out = FreshFolder("cli_jobs_bad");
  r = RunZunkHost("--jobs=2 --allow-empty --edl=" + out +
                  "/b.edl cli_jobs/one.mp4 cli_jobs/bad.mp4");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("cli_jobs/bad.mp4: not a video"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("1 of 2 recordings failed"), std::string::npos) << r.err;
  EXPECT_EQ(FilesIn(out), (std::set<std::string>{"b-one.edl"}));
  r = RunZunkHost("--edl " + out + "/b.edl cli_jobs/one.mp4 cli_jobs_out/one.mp4");
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.err.find("two recordings would write " + out + "/b-one.edl"), std::string::npos)
      << r.err;
}

TEST(CliTest, ProcessedVideoKeepsTheAudioAndNoProgressGoesToAPipe) {
  FreshFolder("cli_audio");
  Clip("cli_audio/with-audio.mp4", 2, true);
  HostResult r = RunZunkHost(
      "--input cli_audio/with-audio.mp4 --allow-empty --output cli_audio/processed.mp4");
  ASSERT_EQ(r.code, 0) << r.err;
  // Standard error is a file here, not a terminal: no progress bar.
  EXPECT_EQ(r.err, "");
  std::string probe =
      "ffprobe -v error -show_entries stream=codec_type -of csv=p=0 "
      "cli_audio/processed.mp4 > cli_audio/streams.txt";
  ASSERT_TRUE(Shell(probe));
  std::string streams = zunktest::ReadAll("cli_audio/streams.txt");
  EXPECT_NE(streams.find("video"), std::string::npos) << streams;
  EXPECT_NE(streams.find("audio"), std::string::npos) << streams;
  EXPECT_EQ(FilesIn("cli_audio"),
            (std::set<std::string>{"with-audio.mp4", "processed.mp4", "streams.txt"}));
}

// The breaks of a JSON timeline and of an EDL, as frame spans.
void ReadBoth(const std::string& json,
              const std::string& edl,
              std::vector<zunkhost::Span>* a,
              std::vector<zunkhost::Span>* b) {
  double fps = 25;
  std::string error;
  ASSERT_TRUE(zunkhost::ReadDetected(json, &fps, a, &error)) << error;
  ASSERT_TRUE(zunkhost::ReadDetected(edl, &fps, b, &error)) << error;
}

TEST(CliTest, SampleBreaksFromTheBundledSettings) {
  std::string out = FreshFolder("cli_sample");
  HostResult r = RunZunkHost("--input " + kSample + " --settings " + kData +
                             "Zunk_LogoDetector.ini --no-progress --no-log --json " + out +
                             "/t.json --edl " + out + "/b.edl");
  ASSERT_EQ(r.code, 0) << r.err;
  std::vector<zunkhost::Span> json, edl;
  ReadBoth(out + "/t.json", out + "/b.edl", &json, &edl);
  ASSERT_EQ(json.size(), edl.size());
  for (size_t i = 0; i < json.size(); ++i) {
    EXPECT_EQ(json[i].first, edl[i].first);
    EXPECT_EQ(json[i].last, edl[i].last);
  }
  std::vector<zunkhost::Span> truth = zunkhost::ReadTruth(kData + "truth.txt");
  zunkhost::Scores s = zunkhost::Score(truth, json);
  EXPECT_GE(s.recall, 0.99) << r.out;
  EXPECT_GE(s.precision, 0.99) << r.out;

  // The plug-in's own moments lag behind: they start later than the refined ones.
  HostResult d = RunZunkHost("--input " + kSample + " --settings " + kData +
                             "Zunk_LogoDetector.ini --no-progress --no-log --edl-mode decisions "
                             "--edl " +
                             out + "/d.edl --json " + out + "/d.json");
  ASSERT_EQ(d.code, 0) << d.err;
  std::vector<zunkhost::Span> djson, dedl;
  ReadBoth(out + "/d.json", out + "/d.edl", &djson, &dedl);
  ASSERT_EQ(djson.size(), json.size());
  EXPECT_GT(djson[0].first, json[0].first);
  EXPECT_EQ(djson[0].first, dedl[0].first);

  HostResult e = RunZunkHost("eval --truth " + kData + "truth.txt --detected " + out + "/b.edl");
  EXPECT_EQ(e.code, 0) << e.err;
  EXPECT_NE(e.out.find("breaks: 2 of 2 found, 0 missed"), std::string::npos) << e.out;
}

}  // namespace
