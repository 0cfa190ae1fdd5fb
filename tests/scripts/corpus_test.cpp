// The evaluation corpus builder (scripts/corpus/make-corpus.sh) on short versions of two
// recordings (a dissolve into each break; interlaced H.264 in MPEG-TS): each is built and
// checked frame by frame against its truth file, zunk-host decodes the frame count the
// truth gives, the run with the hand-made template finds every break, and the checker
// rejects a truth file whose break is in the wrong place.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kRecordings = {"dissolve", "interlaced"};

struct Command {
  int status = -1;
  std::string output;
};

Command Shell(const std::string& command) {
  Command c;
  FILE* p = popen((command + " 2>&1").c_str(), "r");
  if (!p)
    return c;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
    c.output.append(buf, n);
  int raw = pclose(p);
  c.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return c;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The shared footage and logos the corpus is made from, as the script finds them.
bool SharedDataPresent() {
  return Shell("cd '" ZUNK_SOURCE_DIR "' && DATA=${DATA_DIR:-../shared/data}; "
             "[ -d \"$DATA/video\" ] || "
             "DATA=$(dirname \"$(dirname \"$(git rev-parse --path-format=absolute "
             "--git-common-dir)\")\")/shared/data; [ -d \"$DATA/video\" ] && [ -d \"$DATA/logos\" ]")
             .status == 0;
}

class CorpusTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!SharedDataPresent())
      return;
    dir_ = new fs::path(fs::absolute("corpus-test"));
    fs::remove_all(*dir_);
    std::string names;
    for (const std::string& n : kRecordings)
      names += " " + n;
    build_ = new Command(Shell("bash '" ZUNK_SOURCE_DIR "/scripts/corpus/make-corpus.sh' --short "
                             "--force --only" + names + " '" + dir_->string() + "'"));
  }
  static void TearDownTestSuite() {
    delete build_;
    build_ = nullptr;
    delete dir_;
    dir_ = nullptr;
  }
  void SetUp() override {
    if (!build_)
      GTEST_SKIP() << "no shared footage and logos (../shared/data or DATA_DIR)";
    ASSERT_EQ(build_->status, 0) << build_->output;
  }

  static fs::path* dir_;
  static Command* build_;
};

fs::path* CorpusTest::dir_ = nullptr;
Command* CorpusTest::build_ = nullptr;

int TruthNumber(const std::string& truth, const std::string& key) {
  std::smatch m;
  std::regex line("# " + key + " ([0-9]+)\n");
  return std::regex_search(truth, m, line) ? std::stoi(m[1]) : -1;
}

std::vector<std::pair<int, int>> TruthSpans(const std::string& truth) {
  std::vector<std::pair<int, int>> spans;
  std::istringstream in(truth);
  std::string line;
  while (std::getline(in, line)) {
    int first, last;
    if (!line.empty() && line[0] != '#' && std::sscanf(line.c_str(), "%d %d", &first, &last) == 2)
      spans.push_back({first, last});
  }
  return spans;
}

fs::path Video(const fs::path& folder, const std::string& name) {
  for (const char* ext : {".mp4", ".ts"})
    if (fs::exists(folder / (name + ext)))
      return folder / (name + ext);
  return {};
}

TEST_F(CorpusTest, EachRecordingHasWhatItsTruthSays) {
  for (const std::string& name : kRecordings) {
    SCOPED_TRACE(name);
    fs::path folder = *dir_ / name;
    std::string truth = ReadFile(folder / "truth.txt");
    ASSERT_FALSE(Video(folder, name).empty());
    EXPECT_EQ(ReadFile(folder / "check.txt").find("FAIL"), std::string::npos);
    int frames = TruthNumber(truth, "frames");
    EXPECT_EQ(TruthNumber(truth, "fps"), 25);
    EXPECT_TRUE(std::regex_search(truth, std::regex("# logo x=\\d+ y=\\d+ w=\\d+ h=\\d+\n")));
    std::vector<std::pair<int, int>> spans = TruthSpans(truth);
    ASSERT_EQ(spans.size(), 2u);
    int advert = 0;
    for (const auto& s : spans) {
      EXPECT_GE(s.first, 0);
      EXPECT_GT(s.second, s.first);
      EXPECT_LT(s.second, frames);
      advert += s.second - s.first + 1;
    }
    EXPECT_LE(advert * 2, frames);
    // zunk-host reads as many frames as the truth counts.
    Command run = Shell("'" ZUNK_HOST_PATH "' run --input '" + Video(folder, name).string() +
                      "' --no-log --no-progress");
    EXPECT_NE(run.output.find("frames: " + std::to_string(frames) + " "), std::string::npos)
        << run.output;
  }
}

TEST_F(CorpusTest, HandMadeTemplateFindsEveryBreak) {
  for (const std::string& name : kRecordings) {
    SCOPED_TRACE(name);
    fs::path folder = *dir_ / name;
    fs::path out = *dir_ / ("run-" + name);
    fs::create_directories(out);
    Command run = Shell("'" ZUNK_HOST_PATH "' run --input '" + Video(folder, name).string() +
                      "' --settings '" + (folder / "handmade/Zunk_LogoDetector.ini").string() +
                      "' --channel-key 1001 --no-log --no-progress --edl '" +
                      (out / "refined.edl").string() + "'");
    ASSERT_EQ(run.status, 0) << run.output;
    Command eval = Shell("'" ZUNK_HOST_PATH "' eval --truth '" + (folder / "truth.txt").string() +
                       "' --detected '" + (out / "refined.edl").string() + "'");
    EXPECT_NE(eval.output.find("breaks: 2 of 2 found"), std::string::npos) << eval.output;
  }
}

TEST_F(CorpusTest, LearnedSettingsFindEveryBreak) {
  // learn -> run -> eval with what was learned, untouched: the logo where the truth has it,
  // every break found, and the refined frames at least as right as the plug-in's own.
  for (const std::string& name : kRecordings) {
    SCOPED_TRACE(name);
    fs::path folder = *dir_ / name;
    fs::path out = *dir_ / ("learn-" + name);
    fs::remove_all(out);
    fs::create_directories(out);
    const std::string settings = (out / "Zunk_LogoDetector.ini").string();
    Command learn = Shell("'" ZUNK_HOST_PATH "' learn --input '" + Video(folder, name).string() +
                          "' --settings '" + settings + "' --channel-key 1001 --no-progress");
    ASSERT_EQ(learn.status, 0) << learn.output;
    std::smatch place, truth;
    const std::string truthText = ReadFile(folder / "truth.txt");
    ASSERT_TRUE(std::regex_search(learn.output, place, std::regex("logo: x=(\\d+) y=(\\d+)")));
    ASSERT_TRUE(std::regex_search(truthText, truth, std::regex("# logo x=(\\d+) y=(\\d+)")));
    EXPECT_NEAR(std::stoi(place[1]), std::stoi(truth[1]), 2) << learn.output;
    EXPECT_NEAR(std::stoi(place[2]), std::stoi(truth[2]), 2) << learn.output;
    // The refined breaks and the plug-in's own, each scored against the truth.
    double scores[2][2] = {};
    const char* modes[2] = {"refined", "decisions"};
    for (int m = 0; m < 2; ++m) {
      const std::string edl = (out / (std::string(modes[m]) + ".edl")).string();
      Command run = Shell("'" ZUNK_HOST_PATH "' run --input '" + Video(folder, name).string() +
                          "' --settings '" + settings +
                          "' --channel-key 1001 --no-log --no-progress --edl-mode " + modes[m] +
                          " --edl '" + edl + "'");
      ASSERT_EQ(run.status, 0) << run.output;
      Command eval = Shell("'" ZUNK_HOST_PATH "' eval --truth '" +
                           (folder / "truth.txt").string() + "' --detected '" + edl + "'");
      if (m == 0) {
        EXPECT_NE(eval.output.find("breaks: 2 of 2 found"), std::string::npos) << eval.output;
      }
      std::smatch p, r;
      ASSERT_TRUE(std::regex_search(eval.output, p, std::regex("precision: ([0-9.]+)")));
      ASSERT_TRUE(std::regex_search(eval.output, r, std::regex("recall: ([0-9.]+)")));
      scores[m][0] = std::stod(p[1]);
      scores[m][1] = std::stod(r[1]);
    }
    // Refined breaks are never worse than the plug-in's decisions they refine.
    EXPECT_GE(scores[0][0], scores[1][0]) << "precision";
    EXPECT_GE(scores[0][1], scores[1][1]) << "recall";
  }
}

TEST_F(CorpusTest, CheckRejectsABreakInTheWrongPlace) {
  const std::string name = kRecordings[0];
  fs::path folder = *dir_ / name;
  std::string truth = ReadFile(folder / "truth.txt");
  std::vector<std::pair<int, int>> spans = TruthSpans(truth);
  ASSERT_FALSE(spans.empty());
  // The first break two seconds later than it is.
  std::string wrong = truth.substr(0, truth.find("\n" + std::to_string(spans[0].first) + " ")) +
                      "\n" + std::to_string(spans[0].first + 50) + " " +
                      std::to_string(spans[0].second + 50) + " 0.00 2.00\n";
  for (size_t i = 1; i < spans.size(); ++i)
    wrong += std::to_string(spans[i].first) + " " + std::to_string(spans[i].second) + "\n";
  fs::path work = *dir_ / "wrong";
  fs::create_directories(work);
  std::ofstream(work / "truth.txt") << wrong;
  Command check = Shell("python3 -B '" ZUNK_SOURCE_DIR "/scripts/corpus/check.py' '" +
                      Video(folder, name).string() + "' '" + (work / "truth.txt").string() +
                      "' '" + folder.string() + "' '" + work.string() + "'");
  EXPECT_EQ(check.status, 1) << check.output;
  EXPECT_NE(check.output.find("no logo in the programme"), std::string::npos) << check.output;
  EXPECT_NE(check.output.find("a logo in an advert"), std::string::npos) << check.output;

  // The right truth passes the same check.
  Command right = Shell("python3 -B '" ZUNK_SOURCE_DIR "/scripts/corpus/check.py' '" +
                      Video(folder, name).string() + "' '" + (folder / "truth.txt").string() +
                      "' '" + folder.string() + "' '" + work.string() + "'");
  EXPECT_EQ(right.status, 0) << right.output;
}

}  // namespace
