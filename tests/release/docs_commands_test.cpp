// The offline tool's guide (docs/zunk-host.md) and manual page against the tool: every
// shell block of the guide runs, in order, in a folder holding the bundled sample, with
// the tool installed as make install installs it; the SSH block is checked by GNU
// parallel's dry run. Every option the tool lists is in both documents.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

struct ShellRun {
  int status = -1;
  std::string output;
};

// Runs a shell command line with its output (both streams) captured.
ShellRun Shell(const std::string& command) {
  ShellRun r;
  std::FILE* p = popen((command + " 2>&1").c_str(), "r");
  if (!p)
    return r;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
    r.output.append(buf, n);
  int status = pclose(p);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

struct Block {
  std::string info;  // the fence's info string: "sh", or "sh ssh"
  std::string text;
  int line = 0;
};

// The fenced blocks whose info string starts with "sh".
std::vector<Block> ShellBlocks(const std::string& markdown) {
  std::vector<Block> blocks;
  std::istringstream in(markdown);
  std::string line;
  Block* open = nullptr;
  for (int number = 1; std::getline(in, line); ++number) {
    if (line.rfind("```", 0) == 0) {
      if (open) {
        open = nullptr;
      } else if (line.rfind("```sh", 0) == 0) {
        blocks.push_back({line.substr(3), "", number});
        open = &blocks.back();
      } else {
        blocks.push_back({"other", "", number});
        open = &blocks.back();
      }
    } else if (open) {
      open->text += line + "\n";
    }
  }
  std::vector<Block> shell;
  for (const Block& b : blocks)
    if (b.info != "other")
      shell.push_back(b);
  return shell;
}

class OfflineToolGuide : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() / ("zunk_guide_" + std::to_string(getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "work");
  }
  void TearDown() override { fs::remove_all(root); }
  fs::path root;
};

TEST_F(OfflineToolGuide, EveryCommandRunsOnTheSampleWithTheInstalledTool) {
  fs::path prefix = root / "prefix";
  ShellRun install = Shell("\"" ZUNK_CMAKE "\" --install \"" ZUNK_BINARY_DIR "\" --prefix \"" +
                           prefix.string() + "\" >/dev/null");
  ASSERT_EQ(install.status, 0) << install.output;
  EXPECT_TRUE(fs::exists(prefix / "share/man/man1/zunk-host.1"));
  EXPECT_TRUE(fs::exists(prefix / "lib/zunk-host/Zunk_LogoDetector.so"));

  fs::path work = root / "work";
  for (const char* f : {"sample.mp4", "Zunk_LogoDetector.ini", "sample-logo.bmp", "truth.txt"})
    fs::copy_file(fs::path(ZUNK_SOURCE_DIR "/data/sample") / f, work / f);

  std::vector<Block> blocks = ShellBlocks(ReadFile(ZUNK_SOURCE_DIR "/docs/zunk-host.md"));
  ASSERT_GE(blocks.size(), 10u);
  int ssh = 0;
  for (size_t i = 0; i < blocks.size(); ++i) {
    const Block& b = blocks[i];
    SCOPED_TRACE("the block at docs/zunk-host.md line " + std::to_string(b.line));
    fs::path script = root / ("block-" + std::to_string(i) + ".sh");
    std::string text = b.text;
    if (b.info == "sh ssh") {
      // No other machines here: parallel prints what it would run on each.
      text = "parallel() { command parallel --dry-run \"$@\"; }\n" + text;
      ++ssh;
    } else {
      ASSERT_EQ(b.info, "sh");
    }
    std::ofstream(script) << text;
    ShellRun syntax = Shell("bash -n \"" + script.string() + "\"");
    ASSERT_EQ(syntax.status, 0) << syntax.output;
    ShellRun r = Shell("cd \"" + work.string() + "\" && PATH=\"" + (prefix / "bin").string() +
                       ":$PATH\" bash -e -o pipefail \"" + script.string() + "\" </dev/null");
    ASSERT_EQ(r.status, 0) << b.text << "\n--- output:\n" << r.output;
    if (b.info == "sh ssh") {
      EXPECT_NE(r.output.find("zunk-host --threads 1 --settings " + work.string()),
                std::string::npos)
          << r.output;
      EXPECT_NE(r.output.find(work.string() + "/recordings/monday.edl"), std::string::npos)
          << r.output;
    }
  }
  EXPECT_EQ(ssh, 1);

  // What the guide says the commands leave behind.
  for (const char* f : {"sample.edl",
                        "sample.json",
                        "decisions.edl",
                        "frames.log",
                        "processed.mp4",
                        "summary.json", "live.edl",
                        "sample.skip.edl",
                        "sample.cuts",
                        "sample.ffmetadata",
                        "chaptered.mp4",
                        "archive/2026/monday/news.edl",
                        "lists/2026/monday/news.edl",
                        "lists/2026/monday/news.cuts",
                        "recording.json",
                        "preview.json",
                        "frames.bgr",
                        "recordings/breaks-monday.edl",
                        "recordings/breaks-tuesday.edl",
                        "recordings/monday.edl",
                        "recordings/tuesday.edl",
                        "recordings/monday.txt",
                        "jobs.log",
                        "learned/Zunk_LogoDetector.ini",
                        "learned/logo-1001.bmp",
                        "learned/found.png",
                        "learned.edl"})
    EXPECT_TRUE(fs::exists(work / f)) << f;
  // The sample has two breaks; the EDL beside the recording says so, as players read it.
  std::string edl = ReadFile(work / "recordings/monday.edl");
  EXPECT_EQ(std::count(edl.begin(), edl.end(), '\n'), 2) << edl;
  EXPECT_NE(edl.find("\t3\n"), std::string::npos) << edl;
  // parallel's job log: a header and one line per recording.
  std::string log = ReadFile(work / "jobs.log");
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 3) << log;
  // The recording run asked the old host for its pause toggle.
  EXPECT_NE(ReadFile(work / "recording.json").find("TogglePause"), std::string::npos);
  // --set PreviewAction=2: the volume lowered by 40 per cent, from 100 to 60.
  EXPECT_NE(ReadFile(work / "preview.json").find("SetVolume"), std::string::npos);
}

TEST_F(OfflineToolGuide, GuideAndManualPageNameEveryOption) {
  ShellRun help = Shell("\"" ZUNK_HOST "\" --help");
  ASSERT_EQ(help.status, 0);
  std::string guide = ReadFile(ZUNK_SOURCE_DIR "/docs/zunk-host.md");
  std::string manual = ReadFile(ZUNK_SOURCE_DIR "/docs/zunk-host.1");
  // roff writes a minus sign as "\-".
  for (size_t at; (at = manual.find("\\-")) != std::string::npos;)
    manual.erase(at, 1);
  std::vector<std::string> options;
  for (size_t at = 0; (at = help.output.find("--", at)) != std::string::npos;) {
    size_t end = help.output.find_first_not_of("abcdefghijklmnopqrstuvwxyz-", at + 2);
    options.push_back(help.output.substr(at, end - at));
    at = end;
  }
  options.push_back("/inst:");
  for (const char* action : {"learn", "eval", "run"})
    options.push_back(action);
  ASSERT_GE(options.size(), 30u);
  for (const std::string& o : options) {
    EXPECT_NE(guide.find("`" + o), std::string::npos) << o << " is not in docs/zunk-host.md";
    EXPECT_NE(manual.find(o), std::string::npos) << o << " is not in docs/zunk-host.1";
  }
  EXPECT_NE(Shell("\"" ZUNK_HOST "\" --version").output.find(ZUNK_VERSION_TEXT), std::string::npos);
}

}  // namespace
