// Break spans from per-frame values, the JSON timeline and its reader, the output names
// of several recordings, temporary outputs, and the scoring of eval.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "eval/eval.h"
#include "eval/json_read.h"
#include "run/run.h"
#include "spans/output_files.h"
#include "spans/timeline.h"

namespace zunkhost {
namespace {

// A frame with (found) or without the logo, and the decision of the plug-in.
FrameValues V(bool logo, int decision) {
  FrameValues v;
  v.logoFound = 1;
  v.matchPercent = logo ? 97 : 40;
  v.scoreContrast = logo ? 200 : 0;
  v.confidence = logo ? 100 : 0;
  v.decision = decision;
  return v;
}

// frames [0, n): the logo goes at lost and returns at back; the decision lags by
// `down` frames going absent and `up` frames coming back.
SpanTracker Track(int n, int lost, int back, int down, int up) {
  SpanTracker t(SpanLevels{});
  for (int f = 0; f < n; ++f) {
    bool logo = f < lost || f >= back;
    int decision = f >= lost + down && f < back + up ? 1 : 0;
    t.Add(f, V(logo, decision));
  }
  t.Finish(n);
  return t;
}

TEST(SpanTrackerTest, RefinedSpanIsWhereTheLogoWasReallyAway) {
  SpanTracker t = Track(400, 100, 200, 2, 27);
  ASSERT_EQ(t.Decisions().size(), 1u);
  EXPECT_EQ(t.Decisions()[0].first, 102);
  EXPECT_EQ(t.Decisions()[0].last, 226);
  ASSERT_EQ(t.Refined().size(), 1u);
  EXPECT_EQ(t.Refined()[0].first, 100);
  EXPECT_EQ(t.Refined()[0].last, 199);
}

TEST(SpanTrackerTest, WeakMatchesCountAsNoLogoAndEdgesOfTheStream) {
  // A found position with a match below the level is not the logo; a break open at the
  // end runs to the last frame; one that the first looked-at frame starts reaches back
  // to frame 0.
  SpanTracker t(SpanLevels{});
  for (int f = 0; f < 200; ++f) {
    FrameValues v = V(true, f >= 52 && f < 127 ? 1 : 0);
    if (f >= 50 && f < 100)
      v.matchPercent = 79;
    t.Add(f, v);
  }
  t.Finish(200);
  ASSERT_EQ(t.Refined().size(), 1u);
  EXPECT_EQ(t.Refined()[0].first, 50);
  EXPECT_EQ(t.Refined()[0].last, 99);
  SpanTracker u(SpanLevels{});
  for (int f = 25; f < 60; ++f) {
    FrameValues v = V(false, f >= 27 ? 1 : 0);
    u.Add(f, v);
  }
  u.Finish(60);
  ASSERT_EQ(u.Refined().size(), 1u);
  EXPECT_EQ(u.Refined()[0].first, 0);
  EXPECT_EQ(u.Refined()[0].last, 59);
  EXPECT_EQ(u.Decisions()[0].first, 27);
}

TEST(SpanTrackerTest, AFlickerInsideABreakEndsTheRefinedSpanAtTheLastReturn) {
  SpanTracker t(SpanLevels{});
  for (int f = 0; f < 300; ++f) {
    bool logo = f < 50 || f == 120 || f >= 150;  // one stray match inside the break
    t.Add(f, V(logo, f >= 52 && f < 180 ? 1 : 0));
  }
  t.Finish(300);
  ASSERT_EQ(t.Refined().size(), 1u);
  EXPECT_EQ(t.Refined()[0].first, 50);
  EXPECT_EQ(t.Refined()[0].last, 149);
}

TEST(SpanTrackerTest, EdgesStayAtTheDecisionWhereNoCrossingIsClear) {
  // A see-through logo that matches between the two levels for a long stretch before the
  // break: the refined start does not reach back into the programme, and keeps the
  // decision's edge; the return is clear and refined.
  SpanTracker t(SpanLevels{});
  for (int f = 0; f < 700; ++f) {
    FrameValues v = V(f < 100 || f >= 500, f >= 405 && f < 527 ? 1 : 0);
    if (f >= 100 && f < 400) {
      v.matchPercent = 70;  // between 2/3 of the level and the level
      v.scoreContrast = 100;
    }
    t.Add(f, v);
  }
  t.Finish(700);
  ASSERT_EQ(t.Refined().size(), 1u);
  EXPECT_EQ(t.Refined()[0].first, 405);
  EXPECT_EQ(t.Refined()[0].last, 499);
}

TEST(SpanTrackerTest, AConfidenceHeldStillByGoneFramesIsFollowedBackToTheCrossing) {
  // A flat advert picture: every placement scores alike, so the logo counts as found and the
  // confidence neither falls nor climbs; the decision to absent comes only 150 frames after
  // the logo went. The refined start goes back over the gone frames to the crossing; a
  // frame between the levels on the way stops it at the decision.
  auto run = [](bool between) {
    SpanTracker t(SpanLevels{});
    for (int f = 0; f < 600; ++f) {
      FrameValues v = V(f < 100 || f >= 400, f >= 250 && f < 412 ? 1 : 0);
      if (f >= 100 && f < 200) {
        v.logoFound = 1;  // found everywhere, with a poor match
        v.matchPercent = 30;
      }
      if (between && f == 150) {
        v.matchPercent = 70;
        v.scoreContrast = 100;
      }
      t.Add(f, v);
    }
    t.Finish(600);
    return t.Refined().at(0);
  };
  EXPECT_EQ(run(false).first, 100);
  EXPECT_EQ(run(true).first, 250);
  EXPECT_EQ(run(false).last, 399);
}

TEST(SpanTrackerTest, TheWindowsFollowTheChannelsSpeeds) {
  // With an on-speed of 10 the climb takes at most 12 + 2 * 10 + 2 frames: a run of shown
  // frames longer than that before the return is no crossing the decision waited for.
  auto run = [](int32_t onSpeed) {
    SpanTracker t(SpanLevels{80, onSpeed, 10});
    for (int f = 0; f < 400; ++f)
      t.Add(f, V(f < 100 || f >= 200, f >= 102 && f < 250 ? 1 : 0));
    t.Finish(400);
    return t.Refined().at(0);
  };
  EXPECT_EQ(run(3).last, 199);   // window 82 frames: the return at 200 is inside it
  EXPECT_EQ(run(10).last, 249);  // window 34 frames: it is not
  EXPECT_EQ(run(10).first, 100);
}

TEST(JsonTimelineTest, WrittenTimelineParsesAndCarriesTheSpans) {
  FILE* f = std::tmpfile();
  ASSERT_NE(f, nullptr);
  JsonTimeline j(f);
  j.Begin("a \"quoted\"\\name.ts", 720, 576, 1, 25.0, true);
  FrameValues v = V(true, 0);
  j.Frame(0, 0, nullptr);
  j.Frame(1, 1, &v);
  std::vector<Command> commands = {{-1, 0x4C8, 0x51D, 0, false}, {1, 0x4C8, 0x518, 20, true}};
  j.End(2, "refined", {{1, 1}}, {{1, 1}}, commands, 3);
  std::rewind(f);
  std::string text;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
    text.append(buf, n);
  std::fclose(f);

  JsonValue root;
  std::string error;
  ASSERT_TRUE(ParseJson(text, &root, &error)) << error << "\n" << text;
  EXPECT_EQ(root.Find("input")->text, "a \"quoted\"\\name.ts");
  EXPECT_EQ(root.Find("fps")->number, 25.0);
  const JsonValue* frames = root.Find("frames");
  ASSERT_EQ(frames->items.size(), 2u);
  EXPECT_EQ(frames->items[0].items[2].type, JsonValue::kNull);
  EXPECT_EQ(frames->items[1].items[2].number, 97);
  const JsonValue* breaks = root.Find("breaks");
  ASSERT_EQ(breaks->items.size(), 1u);
  EXPECT_EQ(breaks->items[0].Find("start")->number, 0.04);
  EXPECT_EQ(breaks->items[0].Find("end")->number, 0.08);
  const JsonValue* cmds = root.Find("commands");
  ASSERT_EQ(cmds->items.size(), 2u);
  EXPECT_EQ(cmds->items[1].Find("command")->text, "SetVolume");
  EXPECT_EQ(cmds->items[1].Find("delivery")->text, "post");
  EXPECT_EQ(root.Find("damaged")->number, 3);

  JsonValue skipped;
  ASSERT_TRUE(ParseJson(text, &skipped, &error, "frames"));
  EXPECT_EQ(skipped.Find("frames"), nullptr);
}

TEST(JsonReadTest, RejectsBrokenText) {
  JsonValue v;
  std::string error;
  for (const char* bad :
       {"", "{", "{\"a\":}", "[1,]", "{\"a\":1} x", "\"\x01\"", "tru", "{\"a\" 1}", "[\"\\q\"]"})
    EXPECT_FALSE(ParseJson(bad, &v, &error)) << bad;
  std::string deep(100, '[');
  EXPECT_FALSE(ParseJson(deep, &v, &error));
  ASSERT_TRUE(ParseJson(" {\"k\": [true, false, null, -1.5e2, \"\\u00e9\\n\"]} ", &v, &error));
  const JsonValue* k = v.Find("k");
  ASSERT_EQ(k->items.size(), 5u);
  EXPECT_EQ(k->items[3].number, -150);
  EXPECT_EQ(k->items[4].text, "\xC3\xA9\n");
}

TEST(OutputNamesTest, EachRecordingGetsItsOwnOutputs) {
  EXPECT_EQ(OutputNameFor("out/breaks.edl", "/rec/news.ts"), "out/breaks-news.edl");
  EXPECT_EQ(OutputNameFor("timeline", "a.b.mp4"), "timeline-a.b");
  EXPECT_EQ(OutputNameFor("dir.d/timeline", "x.mp4"), "dir.d/timeline-x");
  EXPECT_EQ(OutputNameFor(".hidden", "x.mp4"), ".hidden-x");
  EXPECT_EQ(OutputNameFor("-", "x.mp4"), "-");
}

TEST(OutputSetTest, FilesAppearOnlyOnCommit) {
  std::string error;
  {
    OutputSet set;
    FILE* f = set.Open("output_set_a.txt", &error);
    ASSERT_NE(f, nullptr) << error;
    std::fputs("a", f);
    std::fclose(f);
    EXPECT_FALSE(std::ifstream("output_set_a.txt").good());
    EXPECT_TRUE(std::ifstream(set.TemporaryOf("output_set_a.txt")).good());
  }  // dropped without a commit
  EXPECT_FALSE(std::ifstream("output_set_a.txt").good());
  OutputSet set;
  FILE* f = set.Open("output_set_b.txt", &error);
  ASSERT_NE(f, nullptr);
  std::fputs("b", f);
  std::fclose(f);
  std::string temp = set.TemporaryOf("output_set_b.txt");
  ASSERT_TRUE(set.Commit(&error)) << error;
  EXPECT_TRUE(std::ifstream("output_set_b.txt").good());
  EXPECT_FALSE(std::ifstream(temp).good());
  std::remove("output_set_b.txt");
  EXPECT_EQ(set.Open("no-such-folder/x.txt", &error), nullptr);
  EXPECT_NE(error.find("cannot write no-such-folder/x.txt"), std::string::npos);
}

TEST(EvalTest, ScoresFramesBreaksAndBoundaries) {
  std::vector<Span> truth = {{1000, 1507}, {2258, 2565}, {2800, 2809}};
  std::vector<Span> found = {{1002, 1510}, {2258, 2560}, {500, 509}};
  Scores s = Score(truth, found);
  EXPECT_EQ(s.truthFrames, 508 + 308 + 10);
  EXPECT_EQ(s.detectedFrames, 509 + 303 + 10);
  EXPECT_EQ(s.bothFrames, 506 + 303);
  EXPECT_NEAR(s.recall, 809.0 / 826, 1e-12);
  EXPECT_NEAR(s.precision, 809.0 / 822, 1e-12);
  ASSERT_EQ(s.breaks.size(), 3u);
  EXPECT_TRUE(s.breaks[0].found);
  EXPECT_EQ(s.breaks[0].detected.first, 1002);
  EXPECT_FALSE(s.breaks[2].found);
  EXPECT_FALSE(s.breaks[2].overlapped);
  EXPECT_EQ(s.extra, 1);
  Scores none = Score(truth, {});
  EXPECT_EQ(none.precision, 1.0);
  EXPECT_EQ(none.recall, 0.0);
}

TEST(EvalTest, ReadsEdlAndJsonAndTheTruthsFrameRate) {
  std::ofstream("eval_test.edl") << "40.000\t60.320\t3\n# note\n\n1.0 2.0 1\n90.32 102.64\n";
  double fps = 25;
  std::vector<Span> spans;
  std::string error;
  ASSERT_TRUE(ReadDetected("eval_test.edl", &fps, &spans, &error)) << error;
  ASSERT_EQ(spans.size(), 2u);  // the mute line (type 1) is no break
  EXPECT_EQ(spans[0].first, 1000);
  EXPECT_EQ(spans[0].last, 1507);
  EXPECT_EQ(spans[1].first, 2258);
  EXPECT_EQ(spans[1].last, 2565);
  std::ofstream("eval_test.edl") << "40 sixty 3\n";
  EXPECT_FALSE(ReadDetected("eval_test.edl", &fps, &spans, &error));
  EXPECT_NE(error.find("line 1"), std::string::npos);
  std::remove("eval_test.edl");

  std::ofstream("eval_test.json")
      << "{\"fps\": 29.97, \"frames\": [[0, 1]], \"breaks\": [{\"first_frame\": 5, "
         "\"last_frame\": 9}]}";
  ASSERT_TRUE(ReadDetected("eval_test.json", &fps, &spans, &error)) << error;
  EXPECT_EQ(fps, 29.97);
  ASSERT_EQ(spans.size(), 1u);
  EXPECT_EQ(spans[0].last, 9);
  std::ofstream("eval_test.json") << "{\"fps\": 25}";
  EXPECT_FALSE(ReadDetected("eval_test.json", &fps, &spans, &error));
  std::remove("eval_test.json");
  EXPECT_DOUBLE_EQ(TruthFps(ZUNK_SOURCE_DIR "/data/sample/truth.txt"), 25.0);
}

}  // namespace
}  // namespace zunkhost
