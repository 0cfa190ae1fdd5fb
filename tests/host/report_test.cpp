// The emulator's reading of the plug-in's reactions: spans, EDL lines, truth files.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "host/host_commands.h"
#include "spans/report.h"

namespace zunkhost {
namespace {

Command Cmd(int64_t frame, uint32_t command, int64_t value = 0) {
  return {frame, zunk::HostCommandMessage, command, value, true};
}

Command Sent(int64_t frame, uint32_t command) {
  return {frame, zunk::HostCommandMessage, command, 0, false};
}

Reactions Recording(int32_t recordAction) {
  Reactions r;
  r.recording = true;
  r.recordAction = recordAction;
  return r;
}

Reactions Preview(int32_t previewAction) {
  Reactions r;
  r.previewAction = previewAction;
  return r;
}

TEST(ReactionSpansTest, RecordActionOnePausesOverTheBreak) {
  std::vector<Command> log = {
      Sent(0, zunk::HostCmdGetVersion), Cmd(100, zunk::HostCmdPauseRecording),
      Cmd(150, zunk::HostCmdResumeRecording), Cmd(300, zunk::HostCmdPauseRecording)};
  std::vector<Span> spans = ReactionSpans(log, Recording(1), 400);
  ASSERT_EQ(spans.size(), 2u);
  EXPECT_EQ(spans[0].first, 100);
  EXPECT_EQ(spans[0].last, 149);
  EXPECT_EQ(spans[1].first, 300);  // paused to the end
  EXPECT_EQ(spans[1].last, 399);
  // The same commands as toggles of a host older than the pause and resume commands.
  for (Command& c : log)
    if (c.command != zunk::HostCmdGetVersion)
      c.command = zunk::HostCmdTogglePause;
  std::vector<Span> toggled = ReactionSpans(log, Recording(1), 400);
  ASSERT_EQ(toggled.size(), 2u);
  EXPECT_EQ(toggled[0].last, 149);
  EXPECT_EQ(toggled[1].first, 300);
}

TEST(ReactionSpansTest, RecordActionTwoRecordsOnlyTheBreak) {
  // Paused at the change of channel, resumed when the logo goes, paused when it is back.
  std::vector<Command> log = {
      Cmd(5, zunk::HostCmdPauseRecording), Cmd(100, zunk::HostCmdResumeRecording),
      Cmd(150, zunk::HostCmdPauseRecording), Cmd(300, zunk::HostCmdResumeRecording)};
  std::vector<Span> spans = ReactionSpans(log, Recording(2), 400);
  ASSERT_EQ(spans.size(), 2u);
  EXPECT_EQ(spans[0].first, 100);
  EXPECT_EQ(spans[0].last, 149);
  EXPECT_EQ(spans[1].first, 300);
  EXPECT_EQ(spans[1].last, 399);
  for (Command& c : log)
    c.command = zunk::HostCmdTogglePause;
  std::vector<Span> toggled = ReactionSpans(log, Recording(2), 400);
  ASSERT_EQ(toggled.size(), 2u);
  EXPECT_EQ(toggled[0].first, 100);
  EXPECT_EQ(toggled[0].last, 149);
  // Read under RecordAction 1, the same commands give the frames between the breaks.
  std::vector<Span> wrong = ReactionSpans(log, Recording(1), 400);
  ASSERT_FALSE(wrong.empty());
  EXPECT_EQ(wrong[0].first, 5);
}

TEST(ReactionSpansTest, PreviewVolumeLoweredAfterARead) {
  // PreviewAction 2 with a saved 500: 300, then 500 again.
  std::vector<Command> log = {Sent(100, zunk::HostCmdGetVolume),
                              Cmd(100, zunk::HostCmdSetVolume, 300),
                              Cmd(150, zunk::HostCmdSetVolume, 500)};
  std::vector<Span> spans = ReactionSpans(log, Preview(2), 400);
  ASSERT_EQ(spans.size(), 1u);
  EXPECT_EQ(spans[0].first, 100);
  EXPECT_EQ(spans[0].last, 149);
  // PreviewAction 5 with a level of 0: set to 0 and back to 0, still a break.
  std::vector<Command> silent = {
      Sent(10, zunk::HostCmdGetVolume), Cmd(10, zunk::HostCmdSetVolume, 0),
      Cmd(20, zunk::HostCmdSetVolume, 0), Sent(30, zunk::HostCmdGetVolume),
      Cmd(30, zunk::HostCmdSetVolume, 0)};
  spans = ReactionSpans(silent, Preview(5), 50);
  ASSERT_EQ(spans.size(), 2u);
  EXPECT_EQ(spans[0].first, 10);
  EXPECT_EQ(spans[0].last, 19);
  EXPECT_EQ(spans[1].first, 30);
  EXPECT_EQ(spans[1].last, 49);
}

TEST(ReactionSpansTest, CommandsTheActionsDoNotAskForMarkNothing) {
  std::vector<Command> log = {Sent(10, zunk::HostCmdGetVolume), Cmd(10, zunk::HostCmdSetVolume, 60),
                              Cmd(12, zunk::HostCmdPauseRecording),
                              Cmd(20, zunk::HostCmdSetVolume, 100),
                              Cmd(25, zunk::HostCmdResumeRecording)};
  EXPECT_TRUE(ReactionSpans(log, Preview(0), 50).empty());
  EXPECT_TRUE(ReactionSpans(log, Recording(0), 50).empty());
  // A preview does not read pauses, a recording does not read the volume.
  std::vector<Span> preview = ReactionSpans(log, Preview(2), 50);
  ASSERT_EQ(preview.size(), 1u);
  EXPECT_EQ(preview[0].last, 19);
  std::vector<Span> recording = ReactionSpans(log, Recording(1), 50);
  ASSERT_EQ(recording.size(), 1u);
  EXPECT_EQ(recording[0].first, 12);
  EXPECT_EQ(recording[0].last, 24);
  EXPECT_TRUE(ReactionSpans({}, Recording(1), 50).empty());
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
