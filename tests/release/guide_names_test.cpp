// The users' guides name what the settings window shows as it shows it: every «…» of the
// Russian guide, and every quoted Russian text of the English one, is a caption of the
// dialog's resources without its colon, an item of its lists, a line the window writes, the
// plug-in's name or its message, a heading of the same guide, or one of the few captions of
// Windows and Paint that the guides quote.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "capture/capture_session.h"
#include "capture/capture_texts.h"
#include "dialog/dialog_notes.h"
#include "host/host_records.h"
#include "settings/setting_table.h"

extern "C" zunk::PluginDescriptor* Quintora_Plugin_PR();

namespace {

using zunk::CaptureFailure;
using zunk::CaptureProgress;
using zunk::CaptureState;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Windows-1251 text as UTF-8 (the letters, «», … and the number sign the texts use).
std::string Utf8(const std::string& cp1251) {
  std::string out;
  auto put = [&](unsigned u) {
    if (u < 0x80) {
      out += static_cast<char>(u);
    } else if (u < 0x800) {
      out += static_cast<char>(0xC0 | u >> 6);
      out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | u >> 12);
      out += static_cast<char>(0x80 | (u >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (u & 0x3F));
    }
  };
  for (unsigned char c : cp1251) {
    if (c < 0x80)
      put(c);
    else if (c >= 0xC0)
      put(0x410 + (c - 0xC0));
    else if (c == 0xA8)
      put(0x401);
    else if (c == 0xB8)
      put(0x451);
    else if (c == 0x85)
      put(0x2026);
    else if (c == 0xAB)
      put(0xAB);
    else if (c == 0xBB)
      put(0xBB);
    else if (c == 0xB9)
      put(0x2116);
    else
      put('?');
  }
  return out;
}

// Runs of white space (a quote may be wrapped onto the next line) as one space.
std::string OneLine(const std::string& s) {
  std::string out;
  for (char c : s) {
    const bool space = c == ' ' || c == '\n' || c == '\r';
    if (!space)
      out += c;
    else if (!out.empty() && out.back() != ' ')
      out += ' ';
  }
  return out;
}

// The texts between `open` and `close` in the text, each on one line.
std::vector<std::string> Quoted(const std::string& text,
                                const std::string& open,
                                const std::string& close) {
  std::vector<std::string> found;
  for (size_t at = text.find(open); at != std::string::npos; at = text.find(open, at)) {
    const size_t end = text.find(close, at + open.size());
    if (end == std::string::npos)
      break;
    found.push_back(OneLine(text.substr(at + open.size(), end - at - open.size())));
    at = end + close.size();
  }
  return found;
}

bool HasCyrillic(const std::string& s) {
  for (unsigned char c : s)
    if (c == 0xD0 || c == 0xD1)
      return true;
  return false;
}

// What the window shows: the resource script's captions and list items, as shown (a label's
// colon and a level label's leading dash left out), and the lines the window writes.
std::set<std::string> ShownTexts() {
  std::set<std::string> shown;
  const std::string rc = Utf8(ReadFile(ZUNK_SOURCE_DIR "/src/dialog/settings_dialog.rc"));
  for (std::string t : Quoted(rc, "\"", "\"")) {
    if (t.size() >= 2 && t.compare(t.size() - 2, 2, "\\0") == 0)
      t.resize(t.size() - 2);
    if (t.compare(0, 2, "- ") == 0)  // the levels' labels, their spaces made one
      t.erase(0, 2);
    shown.insert(t);
    if (!t.empty() && t.back() == ':')
      shown.insert(t.substr(0, t.size() - 1));
  }
  shown.insert(Utf8(zunk::CaptureButtonText()));
  shown.insert(Utf8(zunk::CaptureStopText()));
  shown.insert(Utf8(zunk::CaptureSaveFailedText()));
  for (int32_t n = 0; n <= 120; ++n)
    shown.insert(Utf8(zunk::CaptureProgressText(n)));
  CaptureProgress p;
  for (CaptureState s :
       {CaptureState::kFound, CaptureState::kFailed, CaptureState::kChannelChanged}) {
    p.state = s;
    for (CaptureFailure f :
         {CaptureFailure::kNoFrames, CaptureFailure::kNoSteadyLogo, CaptureFailure::kStillPicture,
          CaptureFailure::kFrameTooLarge, CaptureFailure::kTooFewFrames}) {
      p.failure = f;
      shown.insert(Utf8(zunk::CaptureOutcomeText(p)));
    }
  }
  using zunk::TemplateFileProblem;
  for (TemplateFileProblem f : {TemplateFileProblem::kMissing, TemplateFileProblem::kNotBitmap,
                                TemplateFileProblem::kTooLarge, TemplateFileProblem::kNotLoaded})
    shown.insert(Utf8(zunk::TemplateProblemNote(f)));
  shown.insert(Utf8(zunk::NoReactionNote()));
  shown.insert(Utf8(Quintora_Plugin_PR()->name));
  shown.insert(Utf8(zunk::kDefaultMsgString));
  return shown;
}

// The captions of Windows and Paint the guides quote: Explorer's answer to copying into
// Program Files and its button for the redirected files, Paint's resize box and file type.
const std::set<std::string> kSystemCaptions = {"Продолжить", "Файлы совместимости",
                                               "Сохранять пропорции", "24-разрядный рисунок BMP"};

// The guide's own headings, which its cross-references quote.
std::set<std::string> Headings(const std::string& guide) {
  std::set<std::string> headings;
  std::istringstream in(guide);
  std::string line;
  while (std::getline(in, line))
    if (line.compare(0, 1, "#") == 0)
      headings.insert(line.substr(line.find(' ') + 1));
  return headings;
}

TEST(GuideNames, TheRussianGuideQuotesTheWindowAsItShows) {
  const std::string guide = ReadFile(ZUNK_SOURCE_DIR "/docs/guide-ru.md");
  const std::set<std::string> shown = ShownTexts(), headings = Headings(guide);
  const std::vector<std::string> quotes = Quoted(guide, "«", "»");
  ASSERT_GT(quotes.size(), 40u);
  for (const std::string& q : quotes)
    EXPECT_TRUE(shown.count(q) || headings.count(q) || kSystemCaptions.count(q))
        << "«" << q << "» is not what the window shows";
}

TEST(GuideNames, TheEnglishGuideQuotesTheWindowAsItShows) {
  const std::string guide = ReadFile(ZUNK_SOURCE_DIR "/docs/guide-en.md");
  const std::set<std::string> shown = ShownTexts();
  int russian = 0;
  for (const std::string& q : Quoted(guide, "\"", "\"")) {
    if (!HasCyrillic(q))
      continue;
    ++russian;
    EXPECT_TRUE(shown.count(q)) << "\"" << q << "\" is not what the window shows";
  }
  EXPECT_GT(russian, 30);
}

// A control's caption quoted with its colon reads as part of a sentence in Russian.
TEST(GuideNames, NoCaptionIsQuotedWithItsColon) {
  for (const char* name : {"/docs/guide-ru.md", "/docs/guide-en.md"}) {
    const std::string guide = ReadFile(std::string(ZUNK_SOURCE_DIR) + name);
    for (const std::string& q : Quoted(guide, "«", "»"))
      EXPECT_NE(q.back(), ':') << name << ": «" << q << "»";
    for (const std::string& q : Quoted(guide, "\"", "\"")) {
      if (HasCyrillic(q)) {
        EXPECT_NE(q.back(), ':') << name << ": \"" << q << "\"";
      }
    }
  }
}

}  // namespace
