// scripts/test-totals.sh over GoogleTest XML reports written here: the counts of the
// totals line, the tests it names as skipped, and its exit status.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// A report as GoogleTest writes it: one suite, with the given test cases.
std::string Report(int tests, int failures, int disabled, const std::string& cases) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites tests=\"" +
         std::to_string(tests) + "\" failures=\"" + std::to_string(failures) + "\" disabled=\"" +
         std::to_string(disabled) +
         "\" errors=\"0\" time=\"0.1\" timestamp=\"2024-01-01T00:00:00.000\" name=\"AllTests\">\n"
         "  <testsuite name=\"Suite\" tests=\"" +
         std::to_string(tests) + "\" failures=\"" + std::to_string(failures) + "\" disabled=\"" +
         std::to_string(disabled) + "\" skipped=\"0\" errors=\"0\">\n" + cases +
         "  </testsuite>\n</testsuites>\n";
}

std::string Passed(const std::string& name) {
  return "    <testcase name=\"" + name +
         "\" file=\"a.cpp\" line=\"1\" status=\"run\" result=\"completed\" time=\"0\" "
         "classname=\"Suite\" />\n";
}

std::string Failed(const std::string& name) {
  return "    <testcase name=\"" + name +
         "\" file=\"a.cpp\" line=\"2\" status=\"run\" result=\"completed\" time=\"0\" "
         "classname=\"Suite\">\n      <failure message=\"a.cpp:3&#x0A;Expected equality\" "
         "type=\"\"><![CDATA[a.cpp:3\nExpected equality]]></failure>\n    </testcase>\n";
}

std::string Skipped(const std::string& name, const std::string& reason) {
  return "    <testcase name=\"" + name +
         "\" file=\"a.cpp\" line=\"4\" status=\"run\" result=\"skipped\" time=\"0\" "
         "classname=\"Suite\">\n      <skipped message=\"a.cpp:5&#x0A;" +
         reason + "\"><![CDATA[a.cpp:5\n" + reason + "]]></skipped>\n    </testcase>\n";
}

std::string Disabled(const std::string& name) {
  return "    <testcase name=\"" + name +
         "\" file=\"a.cpp\" line=\"6\" status=\"notrun\" result=\"suppressed\" time=\"0\" "
         "classname=\"Suite\" />\n";
}

struct ScriptRun {
  std::string output;
  int status = -1;
  std::string LastLine() const {
    std::string s = output;
    while (!s.empty() && s.back() == '\n')
      s.pop_back();
    return s.substr(s.rfind('\n') == std::string::npos ? 0 : s.rfind('\n') + 1);
  }
};

class TestTotals : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("zunk_totals_" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "a");
    fs::create_directories(dir_ / "b");
  }
  void TearDown() override { fs::remove_all(dir_); }

  void Write(const std::string& file, const std::string& text) {
    std::ofstream(dir_ / file) << text;
  }

  ScriptRun Totals(const std::string& environment = "") {
    std::string command = environment + " bash " ZUNK_TOTALS_SCRIPT " '" + (dir_ / "a").string() +
                          "' '" + (dir_ / "b").string() + "' 2>&1";
    ScriptRun run;
    FILE* p = popen(command.c_str(), "r");
    if (!p)
      return run;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
      run.output.append(buf, n);
    int raw = pclose(p);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return run;
  }

  fs::path dir_;
};

TEST_F(TestTotals, AllPassedAcrossFoldersAndPrograms) {
  Write("a/one.xml", Report(2, 0, 0, Passed("A") + Passed("B")));
  Write("a/two.xml", Report(1, 0, 0, Passed("C")));
  Write("b/three.xml", Report(3, 0, 0, Passed("D") + Passed("E") + Passed("F")));
  ScriptRun run = Totals();
  EXPECT_EQ(run.output, "6 passed, 0 failed, 0 skipped\n");
  EXPECT_EQ(run.status, 0);
}

TEST_F(TestTotals, SkippedAndDisabledAreCountedAndNamedNotPassed) {
  Write("a/settings_test.xml",
        Report(5, 1, 1,
               Passed("A") + Failed("B") + Skipped("C", "this account can write into it") +
                   Disabled("DISABLED_D") + Passed("E")));
  Write("b/other.xml", Report(1, 0, 0, Skipped("F", "no display")));
  ScriptRun run = Totals();
  EXPECT_EQ(run.LastLine(), "2 passed, 1 failed, 3 skipped") << run.output;
  EXPECT_NE(run.output.find("skipped: settings_test Suite.C: this account can write into it\n"),
            std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("skipped: settings_test Suite.DISABLED_D (disabled)\n"),
            std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("skipped: other Suite.F: no display\n"), std::string::npos)
      << run.output;
  EXPECT_NE(run.status, 0);
}

TEST_F(TestTotals, ProgramsWithoutReportCountAsFailures) {
  Write("a/one.xml", Report(2, 0, 0, Passed("A") + Passed("B")));
  ScriptRun run = Totals("ZUNK_MISSING_REPORTS=2");
  EXPECT_EQ(run.LastLine(), "2 passed, 2 failed, 0 skipped");
  EXPECT_NE(run.status, 0);

  // Only a skip, nothing failed: the run is a success.
  Write("b/two.xml", Report(1, 0, 0, Skipped("C", "why")));
  run = Totals();
  EXPECT_EQ(run.LastLine(), "2 passed, 0 failed, 1 skipped");
  EXPECT_EQ(run.status, 0);
}

}  // namespace
