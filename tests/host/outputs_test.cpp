// zunk-host's outputs beside each recording: every format read back (the chapters by
// ffprobe after muxing them into a copy of the sample), folders run with --recursive,
// recordings with newer outputs passed over unless --force, --out-dir keeping the
// tree, and runs side by side that share no settings file and leave nothing behind.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "eval/eval.h"
#include "host_cli.h"

namespace {

using zunktest::FilesIn;
using zunktest::FreshFolder;
using zunktest::HostResult;
using zunktest::ReadAll;
using zunktest::RunZunkHost;
using zunktest::Shell;

const std::string kData = ZUNK_SOURCE_DIR "/data/sample/";
const std::string kSettings = kData + "Zunk_LogoDetector.ini";

std::vector<std::vector<double>> Numbers(const std::string& text) {
  std::vector<std::vector<double>> rows;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::vector<double> row;
    for (double v; fields >> v;)
      row.push_back(v);
    rows.push_back(row);
  }
  return rows;
}

// The first seconds of the sample.
void Clip(const std::string& name, int frames) {
  ASSERT_TRUE(Shell("ffmpeg -nostdin -v error -y -i " + kData + "sample.mp4 -frames:v " +
                    std::to_string(frames) + " -c:v libx264 -preset ultrafast -threads 2 " + name));
}

TEST(Outputs, EveryFormatReadsBack) {
  const std::string dir = FreshFolder("out_formats");
  ASSERT_TRUE(Shell("cp " + kData + "sample.mp4 " + dir + "/rec.mp4"));
  HostResult r = RunZunkHost("--settings " + kSettings +
                             " --outputs edl,edl-skip,chapters,cuts,json " + dir + "/rec.mp4");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(FilesIn(dir), (std::set<std::string>{"rec.mp4", "rec.edl", "rec.skip.edl",
                                                 "rec.ffmetadata", "rec.cuts", "rec.json"}));
  std::vector<zunkhost::Span> json, edl;
  double fps = 25;
  std::string error;
  ASSERT_TRUE(zunkhost::ReadDetected(dir + "/rec.json", &fps, &json, &error)) << error;
  ASSERT_TRUE(zunkhost::ReadDetected(dir + "/rec.edl", &fps, &edl, &error)) << error;
  ASSERT_EQ(json.size(), 2u);
  ASSERT_EQ(edl.size(), 2u);
  const auto edlRows = Numbers(ReadAll(dir + "/rec.edl"));
  const auto skipRows = Numbers(ReadAll(dir + "/rec.skip.edl"));
  ASSERT_EQ(skipRows.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(edl[i].first, json[i].first);
    EXPECT_EQ(edl[i].last, json[i].last);
    EXPECT_EQ(edlRows[i][2], 3);
    EXPECT_EQ(skipRows[i][0], edlRows[i][0]);
    EXPECT_EQ(skipRows[i][1], edlRows[i][1]);
    EXPECT_EQ(skipRows[i][2], 0);
  }
  // The programme parts are what the breaks leave of the 3016 frames.
  const auto cuts = Numbers(ReadAll(dir + "/rec.cuts"));
  ASSERT_EQ(cuts.size(), 3u);
  EXPECT_EQ(cuts[0], (std::vector<double>{0, edlRows[0][0]}));
  EXPECT_EQ(cuts[1], (std::vector<double>{edlRows[0][1], edlRows[1][0]}));
  EXPECT_EQ(cuts[2], (std::vector<double>{edlRows[1][1], 3016 / 25.0}));

  // The chapters as a player sees them, after muxing them into a copy.
  ASSERT_TRUE(Shell("cd " + dir +
                    " && ffmpeg -nostdin -v error -y -i rec.mp4 -i rec.ffmetadata -map_metadata 1 "
                    "-codec copy chaptered.mp4 && ffprobe -v error -show_chapters -of "
                    "csv=p=0 chaptered.mp4 > chapters.csv"));
  std::istringstream lines(ReadAll(dir + "/chapters.csv"));
  std::vector<std::string> chapters;
  for (std::string line; std::getline(lines, line);)
    chapters.push_back(line);
  ASSERT_EQ(chapters.size(), 5u) << ReadAll(dir + "/chapters.csv");
  EXPECT_NE(chapters[0].find("Programme 1"), std::string::npos) << chapters[0];
  EXPECT_NE(chapters[1].find(",40.000000,"), std::string::npos) << chapters[1];
  EXPECT_NE(chapters[1].find("Advert break 1"), std::string::npos) << chapters[1];
  EXPECT_NE(chapters[3].find("Advert break 2"), std::string::npos) << chapters[3];
  EXPECT_NE(chapters[4].find("Programme 3"), std::string::npos) << chapters[4];
}

time_t ModifiedAt(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? st.st_mtime : 0;
}

TEST(Outputs, ANameThatIsNotAPlainFileIsWrittenIntoAndStaysWhatItIs) {
  // /dev/null or a pipe given as an output: the list goes into it, and the name is never
  // replaced by a plain file (a rename over /dev/null run as root would break the system).
  const std::string dir = FreshFolder("out_pipe");
  Clip(dir + "/rec.mp4", 150);
  const std::string pipe = dir + "/breaks.pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  // Opened for reading first, without waiting: the run's writes then stay in the pipe
  // (a list is far below its size) until read here.
  const int end = open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(end, 0);
  HostResult r = RunZunkHost("--settings " + kSettings + " --allow-empty --edl " + pipe +
                             " --json " + dir + "/rec.json " + dir + "/rec.mp4");
  std::string got;
  char piece[4096];
  for (ssize_t n; (n = read(end, piece, sizeof piece)) > 0;)
    got.append(piece, static_cast<size_t>(n));
  close(end);
  EXPECT_EQ(r.code, 0) << r.err;
  struct stat there;
  ASSERT_EQ(stat(pipe.c_str(), &there), 0);
  EXPECT_TRUE(S_ISFIFO(there.st_mode));
  r = RunZunkHost("--settings " + kSettings + " --allow-empty --edl " + dir + "/plain.edl " + dir +
                  "/rec.mp4 --json " + dir + "/rec.json");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(got, ReadAll(dir + "/plain.edl"));
  EXPECT_EQ(FilesIn(dir),
            (std::set<std::string>{"rec.mp4", "rec.json", "breaks.pipe", "plain.edl"}));
}

TEST(Outputs, FoldersAreRunRecursivelyAndDoneRecordingsPassedOver) {
  const std::string tree = FreshFolder("out_tree");
  ASSERT_TRUE(Shell("mkdir -p " + tree + "/week/monday"));
  Clip(tree + "/a.mp4", 60);
  Clip(tree + "/week/monday/b.mp4", 50);
  std::ofstream(tree + "/notes.txt") << "not a recording\n";
  const std::string common = "--settings " + kSettings + " --jobs 2 --recursive ";
  HostResult first = RunZunkHost(common + tree);
  ASSERT_EQ(first.code, 0) << first.err;
  EXPECT_EQ(FilesIn(tree), (std::set<std::string>{"a.mp4", "a.edl", "notes.txt", "week"}));
  EXPECT_EQ(FilesIn(tree + "/week/monday"), (std::set<std::string>{"b.mp4", "b.edl"}));

  // Both are done: passed over, their lists left as they are.
  ASSERT_TRUE(Shell("touch -d '2001-01-01' " + tree + "/a.edl " + tree + "/week/monday/b.edl"));
  ASSERT_TRUE(Shell("touch -d '2000-01-01' " + tree + "/a.mp4 " + tree + "/week/monday/b.mp4"));
  HostResult again = RunZunkHost(common + tree);
  EXPECT_EQ(again.code, 0) << again.err;
  EXPECT_NE(again.err.find(tree + "/a.mp4: skipped"), std::string::npos) << again.err;
  EXPECT_NE(again.err.find(tree + "/week/monday/b.mp4: skipped"), std::string::npos);
  // A recording newer than its list is run again; --force runs every one.
  ASSERT_TRUE(Shell("touch " + tree + "/a.mp4"));
  HostResult newer = RunZunkHost(common + tree);
  EXPECT_EQ(newer.code, 0) << newer.err;
  EXPECT_GT(ModifiedAt(tree + "/a.edl"), ModifiedAt(tree + "/week/monday/b.edl"));
  HostResult forced = RunZunkHost(common + "--force " + tree);
  EXPECT_EQ(forced.code, 0) << forced.err;
  EXPECT_EQ(forced.err.find("skipped"), std::string::npos) << forced.err;
  EXPECT_GT(ModifiedAt(tree + "/week/monday/b.edl"), ModifiedAt(tree + "/week/monday/b.mp4"));

  // Under --out-dir the folder tree is kept.
  const std::string out = FreshFolder("out_tree_lists");
  HostResult elsewhere = RunZunkHost(common + "--outputs edl,cuts --out-dir " + out + " " + tree);
  EXPECT_EQ(elsewhere.code, 0) << elsewhere.err;
  EXPECT_EQ(FilesIn(out), (std::set<std::string>{"a.edl", "a.cuts", "week"}));
  EXPECT_EQ(FilesIn(out + "/week/monday"), (std::set<std::string>{"b.edl", "b.cuts"}));
}

// Everything under the folder, with sizes: what a run may have left.
std::string Listing(const std::string& folder) {
  const std::string list = "listing." + std::to_string(getpid());
  Shell("find '" + folder + "' -printf '%P %s\\n' | sort > " + list);
  const std::string text = ReadAll(list);
  std::remove(list.c_str());
  return text;
}

TEST(Outputs, RunsSideBySideShareNoSettingsAndLeaveNothingBehind) {
  const std::string work = FreshFolder("out_trace");
  ASSERT_TRUE(Shell("mkdir -p " + work + "/home " + work + "/tmp " + work + "/recs"));
  Clip(work + "/recs/one.mp4", 1200);
  ASSERT_TRUE(Shell("cp " + work + "/recs/one.mp4 " + work + "/recs/two.mp4"));
  const std::string binFolder =
      std::string(ZUNK_HOST_PATH).substr(0, std::string(ZUNK_HOST_PATH).rfind('/'));
  const std::string binBefore = Listing(binFolder);
  const std::string env = "HOME=$PWD/" + work + "/home TMPDIR=$PWD/" + work + "/tmp ";
  // Two processes at once on one settings file, each with another action: each run
  // reads its own.
  const std::string common = "--settings " + kSettings + " --edl - ";
  ASSERT_TRUE(Shell("(" + env + "'" + ZUNK_HOST_PATH + "' " + common + "--set PreviewAction=1 " +
                    work + "/recs/one.mp4 > " + work + "/../out_trace_a.txt 2>&1 & " + env + "'" +
                    ZUNK_HOST_PATH + "' " + common + "--set PreviewAction=3 " + work +
                    "/recs/two.mp4 > " + work + "/../out_trace_b.txt 2>&1; wait)"));
  EXPECT_NE(ReadAll("out_trace_a.txt").find("SetVolume 80"), std::string::npos);
  EXPECT_EQ(ReadAll("out_trace_a.txt").find("SetVolume 40"), std::string::npos);
  EXPECT_NE(ReadAll("out_trace_b.txt").find("SetVolume 40"), std::string::npos);
  EXPECT_EQ(ReadAll("out_trace_b.txt").find("SetVolume 80"), std::string::npos);
  // A run of two jobs, and one without settings: only the asked-for lists appear.
  HostResult jobs = RunZunkHost(
      "--settings " + kSettings + " --jobs 2 " + work + "/recs/one.mp4 " + work + "/recs/two.mp4",
      env);
  EXPECT_EQ(jobs.code, 0) << jobs.err;
  HostResult bare = RunZunkHost("--frames 30 --edl - " + work + "/recs/one.mp4", env);
  EXPECT_EQ(bare.code, 3) << bare.err;
  std::string after = Listing(work);
  EXPECT_EQ(after.find("tmp/"), std::string::npos) << after;
  EXPECT_EQ(after.find("home/"), std::string::npos) << after;
  EXPECT_EQ(FilesIn(work + "/recs"),
            (std::set<std::string>{"one.mp4", "two.mp4", "one.edl", "two.edl"}));
  EXPECT_EQ(Listing(binFolder), binBefore);
}

}  // namespace
