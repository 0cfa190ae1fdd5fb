// eval with its truth as frame spans, as an EDL in seconds or as a JSON timeline; the
// frame rate from --fps, the recording or the files, never guessed; files of the wrong
// kind refused.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "host_cli.h"

namespace {

using zunktest::FreshFolder;
using zunktest::HostResult;
using zunktest::RunZunkHost;

const std::string kData = ZUNK_SOURCE_DIR "/data/sample/";

TEST(EvalForms, EveryFormOfTruthScoresTheSame) {
  const std::string dir = FreshFolder("eval_forms");
  // The sample's known breaks three ways, and a detection that found the first one late.
  std::ofstream(dir + "/truth.edl") << "40.000\t60.320\t3\n90.320\t102.640\t3\n";
  std::ofstream(dir + "/truth.json")
      << "{\"fps\": 25, \"breaks\": [{\"first_frame\": 1000, \"last_frame\": 1507},"
         " {\"first_frame\": 2258, \"last_frame\": 2565}]}\n";
  std::ofstream(dir + "/found.edl") << "41.000 60.320 3\n";
  const std::string expected =
      "breaks: 1 of 2 found, 1 missed, 0 detected outside known breaks\n"
      "| known break (frames) | detected (frames) | start error (s) | end error (s) |\n"
      "|---|---|---:|---:|\n"
      "| 1000-1507 | 1025-1507 | +1.00 | +0.00 |\n"
      "| 2258-2565 | missed | | |\n";
  const std::string found = " --detected " + dir + "/found.edl";
  for (const std::string& truth :
       {kData + "truth.txt --fps 25", dir + "/truth.edl --fps 25", dir + "/truth.json",
        dir + "/truth.edl --recording " + kData + "sample.mp4"}) {
    HostResult r = RunZunkHost("eval --truth " + truth + found);
    ASSERT_EQ(r.code, 0) << truth << "\n" << r.err;
    EXPECT_NE(r.out.find("(25.000 fps)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(expected), std::string::npos) << truth << "\n" << r.out;
  }
  // From standard input.
  HostResult piped = RunZunkHost("eval --truth - --fps 25" + found + " < " + dir + "/truth.edl");
  EXPECT_EQ(piped.code, 0) << piped.err;
  EXPECT_NE(piped.out.find(expected), std::string::npos) << piped.out;
}

TEST(EvalForms, TheFrameRateIsNeverGuessed) {
  const std::string dir = FreshFolder("eval_rate");
  std::ofstream(dir + "/truth.edl") << "40.000\t60.320\t3\n";
  std::ofstream(dir + "/spans.txt") << "1000 1507\n";
  for (const std::string& pair : {dir + "/truth.edl --detected " + dir + "/truth.edl",
                                 dir + "/spans.txt --detected " + dir + "/truth.edl",
                                 dir + "/spans.txt --detected " + dir + "/spans.txt"}) {
    HostResult r = RunZunkHost("eval --truth " + pair);
    EXPECT_EQ(r.code, 2) << pair;
    EXPECT_NE(r.err.find("give --fps N or --recording REC"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
}

TEST(EvalForms, AFileOfTheWrongKindIsAnErrorNotAScore) {
  const std::string dir = FreshFolder("eval_wrong");
  std::ofstream(dir + "/notes.txt") << "recorded on monday\n";
  std::ofstream(dir + "/other.json") << "{\"title\": \"not a timeline\"}\n";
  std::ofstream(dir + "/truth.edl") << "40.000\t60.320\t3\n";
  const std::vector<std::pair<std::string, const char*>> cases = {
      {dir + "/notes.txt", "line 1 is no \"start end type\" line"},
      {dir + "/other.json", "a JSON file without \"breaks\""},
      {kData + "sample.mp4", "not a file of breaks"},
      {dir + "/missing.edl", "cannot read"},
  };
  for (const auto& c : cases) {
    HostResult r = RunZunkHost("eval --fps 25 --truth " + dir + "/truth.edl --detected " + c.first);
    EXPECT_EQ(r.code, 1) << c.first;
    EXPECT_NE(r.err.find(c.second), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
}

}  // namespace
