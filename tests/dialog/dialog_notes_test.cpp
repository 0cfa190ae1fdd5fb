// The dialog's notes: why a template file does not load, told apart from the file itself,
// and when the reaction hint is due.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "dialog/dialog_notes.h"
#include "settings/setting_table.h"

namespace zunk {
namespace {

namespace fs = std::filesystem;

class TemplateFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("zunk_notes_" + std::to_string(getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Write(const char* name, const std::vector<uint8_t>& bytes) {
    const std::string path = (dir_ / name).string();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return path;
  }

  // A grey 24-bit bitmap of w x h pixels, bottom-up.
  static std::vector<uint8_t> Bitmap(int32_t w, int32_t h) {
    const uint32_t stride = (static_cast<uint32_t>(w) * 3 + 3) & ~3u;
    const uint32_t bits = stride * static_cast<uint32_t>(h);
    std::vector<uint8_t> b(54 + bits, 0x80);
    auto put = [&b](size_t at, uint32_t v, int bytes) {
      for (int i = 0; i < bytes; ++i)
        b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put(2, 54 + bits, 4);
    put(6, 0, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<uint32_t>(w), 4);
    put(22, static_cast<uint32_t>(h), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    for (size_t at = 30; at < 54; at += 4)
      put(at, 0, 4);
    put(34, bits, 4);
    return b;
  }

  fs::path dir_;
};

TEST_F(TemplateFiles, EachFailureIsToldApart) {
  EXPECT_EQ(DiagnoseTemplateFile(""), TemplateFileProblem::kNone);
  EXPECT_EQ(DiagnoseTemplateFile(kDefaultLogoFileName), TemplateFileProblem::kNone)
      << "the placeholder of a channel without a template names no file";
  EXPECT_EQ(DiagnoseTemplateFile((dir_ / "gone.bmp").string()), TemplateFileProblem::kMissing);

  const std::string text = Write("text.bmp", {'n', 'o', 't', ' ', 'a', ' ', 'b', 'm', 'p'});
  EXPECT_EQ(DiagnoseTemplateFile(text), TemplateFileProblem::kNotBitmap);
  std::vector<uint8_t> cut = Bitmap(40, 20);
  cut.resize(cut.size() - 100);
  EXPECT_EQ(DiagnoseTemplateFile(Write("cut.bmp", cut)), TemplateFileProblem::kNotBitmap);

  EXPECT_EQ(DiagnoseTemplateFile(Write("wide.bmp", Bitmap(769, 20))),
            TemplateFileProblem::kTooLarge);
  EXPECT_EQ(DiagnoseTemplateFile(Write("tall.bmp", Bitmap(20, 577))),
            TemplateFileProblem::kTooLarge);
  // A whole reference frame is still a template the reader takes.
  EXPECT_EQ(DiagnoseTemplateFile(Write("frame.bmp", Bitmap(768, 576))),
            TemplateFileProblem::kNotLoaded);
}

TEST(DialogNotes, EveryProblemHasItsOwnNote) {
  EXPECT_STREQ(TemplateProblemNote(TemplateFileProblem::kNone), "");
  const TemplateFileProblem problems[] = {
      TemplateFileProblem::kMissing, TemplateFileProblem::kNotBitmap,
      TemplateFileProblem::kTooLarge, TemplateFileProblem::kNotLoaded};
  for (TemplateFileProblem a : problems) {
    EXPECT_STRNE(TemplateProblemNote(a), "");
    for (TemplateFileProblem b : problems) {
      if (a != b) {
        EXPECT_STRNE(TemplateProblemNote(a), TemplateProblemNote(b));
      }
    }
  }
}

TEST(DialogNotes, ReactionHintWhileNeitherReactionIsChosen) {
  ChannelProfile p;
  p.PreviewAction = 0;
  p.RecordAction = 0;
  EXPECT_TRUE(NoReactionChosen(p));
  p.PreviewAction = 2;
  EXPECT_FALSE(NoReactionChosen(p));
  p.PreviewAction = 0;
  p.RecordAction = 1;
  EXPECT_FALSE(NoReactionChosen(p));
  EXPECT_STRNE(NoReactionNote(), "");
}

}  // namespace
}  // namespace zunk
