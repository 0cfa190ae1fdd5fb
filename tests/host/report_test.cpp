// The emulator's reading of the plug-in's reactions: spans, EDL lines, truth files.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "plugin/host_commands.h"
#include "report.h"

namespace zunkhost {
namespace {

Command Cmd(int64_t frame, uint32_t command, int64_t value = 0) {
  return {frame, zunk::HostCommandMessage, command, value, true};
}

TEST(ReactionSpansTest, VolumeAndPauseOpenAndCloseSpans) {
  std::vector<Command> log = {
      {0, zunk::HostCommandMessage, zunk::HostCmdGetVersion, 0, false},
      Cmd(100, zunk::HostCmdSetVolume, 40),   // lowered: break starts
      Cmd(150, zunk::HostCmdSetVolume, 100),  // restored: ends before frame 150
      Cmd(200, zunk::HostCmdPauseRecording),
      Cmd(220, zunk::HostCmdResumeRecording),
      Cmd(300, zunk::HostCmdTogglePause),  // toggled on, never off: runs to the end
  };
  std::vector<Span> spans = ReactionSpans(log, 100, 400);
  ASSERT_EQ(spans.size(), 3u);
  EXPECT_EQ(spans[0].first, 100);
  EXPECT_EQ(spans[0].last, 149);
  EXPECT_EQ(spans[1].first, 200);
  EXPECT_EQ(spans[1].last, 219);
  EXPECT_EQ(spans[2].first, 300);
  EXPECT_EQ(spans[2].last, 399);
}

TEST(ReactionSpansTest, OverlappingReactionsMakeOneSpan) {
  std::vector<Command> log = {
      Cmd(10, zunk::HostCmdSetVolume, 20), Cmd(12, zunk::HostCmdPauseRecording),
      Cmd(20, zunk::HostCmdSetVolume, 100), Cmd(25, zunk::HostCmdResumeRecording)};
  std::vector<Span> spans = ReactionSpans(log, 100, 50);
  ASSERT_EQ(spans.size(), 1u);
  EXPECT_EQ(spans[0].first, 10);
  EXPECT_EQ(spans[0].last, 24);
  EXPECT_TRUE(ReactionSpans({}, 100, 50).empty());
}

TEST(ReportFilesTest, TruthEdlAndOverlap) {
  const char* path = "report_test_truth.txt";
  std::ofstream(path) << "# first last\n100 149 4.00 6.00\n\n300 310 # tail\nbad line\n50 40\n";
  std::vector<Span> truth = ReadTruth(path);
  std::remove(path);
  ASSERT_EQ(truth.size(), 2u);
  EXPECT_EQ(SpanFrames(truth), 50 + 11);
  std::vector<Span> seen = {{120, 160}, {305, 305}};
  EXPECT_EQ(OverlapFrames(truth, seen), 30 + 1);

  char buf[128] = {};
  FILE* f = std::tmpfile();
  WriteEdl(f, {{25, 49}}, 25.0);
  std::rewind(f);
  ASSERT_NE(std::fgets(buf, sizeof buf, f), nullptr);
  std::fclose(f);
  EXPECT_STREQ(buf, "1.000\t2.000\t3\n");
}

}  // namespace
}  // namespace zunkhost
