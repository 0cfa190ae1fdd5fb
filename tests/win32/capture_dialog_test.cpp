// The live logo capture through the real dialog and the built module, with frames playing at
// 25 a second on the host's video thread: the sample's logo over a moving picture, opaque and
// see-through, found within 2 reference pixels of its place and applied at once; Cancel
// undoing it; every way a capture ends without a logo, with its line; a change of picture
// size starting it over; a settings folder that cannot be written; the window closed, Exit
// and the module unloaded in the middle of a capture; a capture while the detector is off;
// and the bundled sample's own programme. Takes pictures of the capture running, found,
// failed and not saved.
#include <windows.h>

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "dialog/resource_ids.h"
#include "dialog_harness.h"
#include "host_harness.h"
#include "learn/synthetic_logo.h"
#include "shown_pixels.h"

namespace {

using zunk::testing_util::LogoArt;
using zunk::testing_util::MakeFrame;
using zunk::testing_util::Scene;
using zunk::testing_util::Shot;
using zunktest::ChannelSection;
using zunktest::Cp1251;
using zunktest::DialogHost;
using zunktest::IniValue;

using Pictures = std::vector<std::vector<uint8_t>>;

// Each picture is shown for 12 frames (0.48 s): the capture, copying a frame each half
// second, sees a new picture every time.
constexpr int kHold = 12;

std::vector<uint8_t> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The bundled sample's logo template (24-bit, bottom-up, black key) as a logo of the given
// opacity: its 72 x 44 pixels, the black ones see-through.
LogoArt SampleLogo(uint8_t alpha) {
  const std::vector<uint8_t> bmp = FileBytes(ZUNK_SAMPLE_DIR "/sample-logo.bmp");
  LogoArt art;
  if (bmp.size() < 54)
    return art;
  auto at = [&](size_t i) {
    return bmp[i] | bmp[i + 1] << 8 | bmp[i + 2] << 16 | bmp[i + 3] << 24;
  };
  const uint32_t offset = at(10);
  art.w = static_cast<int32_t>(at(18));
  art.h = static_cast<int32_t>(at(22));
  const size_t stride = (static_cast<size_t>(art.w) * 3 + 3) / 4 * 4;
  if (art.w <= 0 || art.h <= 0 || offset + stride * art.h > bmp.size())
    return LogoArt();
  art.bgra.resize(static_cast<size_t>(art.w) * art.h * 4);
  for (int32_t y = 0; y < art.h; ++y)
    for (int32_t x = 0; x < art.w; ++x) {
      const uint8_t* p = &bmp[offset + (art.h - 1 - y) * stride + x * 3];
      uint8_t* q = &art.bgra[(static_cast<size_t>(y) * art.w + x) * 4];
      q[0] = p[0];
      q[1] = p[1];
      q[2] = p[2];
      q[3] = (p[0] | p[1] | p[2]) ? alpha : 0;
    }
  return art;
}

// A moving picture with the logo at (x, y) of the 768 x 576 reference scale, `count`
// pictures of width x height packed YUV.
Pictures Programme(const LogoArt* logo,
                   int32_t x,
                   int32_t y,
                   int count,
                   int32_t width = 768,
                   int32_t height = 576) {
  Scene scene;
  scene.width = width;
  scene.height = height;
  scene.logo = logo;
  scene.logoX = x;
  scene.logoY = y;
  Pictures pictures;
  for (int n = 0; n < count; ++n)
    pictures.push_back(MakeFrame(scene, Shot::kProgramme, n));
  return pictures;
}

// Every 13th frame of the sample's first 21 s of programme, decoded when the test was built:
// the frames a capture copies from a live stream.
Pictures SampleProgramme() {
  const std::vector<uint8_t> all = FileBytes(ZUNK_SAMPLE_FRAMES);
  const size_t frame = size_t{768} * 576 * 2;
  Pictures pictures;
  for (size_t at = 0; at + frame <= all.size(); at += frame)
    pictures.emplace_back(all.begin() + static_cast<long>(at),
                          all.begin() + static_cast<long>(at + frame));
  return pictures;
}

// The sample's logo, opaque, where the sample has it (72 x 44 at 656, 32), over a moving
// picture. Made once: the host plays pictures that live as long as the program.
const Pictures& OpaqueLogoProgramme() {
  static const LogoArt logo = SampleLogo(255);
  static const Pictures pictures = Programme(&logo, 656, 32, 48);
  return pictures;
}

// The section the tests start from: a template that does not exist, the left-top pixel
// rule on, levels of its own.
const std::string kOldTemplate = "old-logo.bmp";
std::string StartingSection(const std::vector<std::pair<std::string, std::string>>& more = {}) {
  std::vector<std::pair<std::string, std::string>> keys = {
      {"LogoFileName", kOldTemplate}, {"LogoPosX", "20"},       {"LogoPosY", "20"},
      {"LeftTopPixelColor", "1"},     {"ColorKey", "255"},      {"LogoMatchLevel", "77"},
      {"LogoDetectLevel", "66"},      {"LogoPosTolerance", "5"}};
  keys.insert(keys.end(), more.begin(), more.end());
  return ChannelSection(1, keys);
}

void Open(DialogHost& host) {
  ASSERT_TRUE(host.WaitFrames(2));
  host.Configure();
  ASSERT_NE(host.Window(), nullptr);
  ASSERT_TRUE(host.WaitForChannelLabel("One"));
}

void Press(DialogHost& host) {
  SendMessageA(host.Item(IDC_CAPTURE), BM_CLICK, 0, 0);
}

bool Running(DialogHost& host) {
  return host.Text(IDC_CAPTURE) == Cp1251("Стоп");
}

// Pumps until the capture's line has its answer: the button no longer says "Стоп".
bool WaitForAnswer(DialogHost& host, int timeoutMs = 70000) {
  return host.PumpUntil([&] { return !Running(host); }, timeoutMs);
}

// The frames the running capture's line counts; -1 when no capture runs.
int FramesCounted(DialogHost& host) {
  const std::string line = host.Text(IDC_TEMPLATE_NOTE);
  const size_t digits = line.find_first_of("0123456789");
  return Running(host) && digits != std::string::npos ? std::atoi(line.c_str() + digits) : -1;
}

// Pumps until the running capture's line counts at least `frames` frames.
bool WaitForFrames(DialogHost& host, int frames, int timeoutMs = 40000) {
  return host.PumpUntil([&] { return FramesCounted(host) >= frames; }, timeoutMs);
}

const std::string kNotFound = Cp1251("Логотип не найден: ");

// True when the preview shows more than its dark blue background: a logo or a candidate.
bool PreviewShowsALogo(DialogHost& host) {
  RECT r;
  if (!GetClientRect(host.Item(IDC_PREVIEW), &r))
    return false;
  for (COLORREF c : zunktest::ShownPixels(host.Item(IDC_PREVIEW), r.right, r.bottom))
    if (c != 0x400000)
      return true;
  return false;
}

// The controls that show the channel's template and levels.
struct Shown {
  std::string file, match, detect, tolerance;
  bool leftTop = false;
};
Shown ShownBy(DialogHost& host) {
  return {host.Text(IDC_LOGO_FILE_NAME), host.Text(IDC_MATCH_LEVEL), host.Text(IDC_DETECT_LEVEL),
          host.Text(IDC_TOLERANCE), host.Checked(IDC_LEFT_TOP_PIXEL)};
}

void ExpectStartingSection(const std::string& ini) {
  EXPECT_EQ(IniValue(ini, "1", "LogoFileName"), kOldTemplate);
  EXPECT_EQ(IniValue(ini, "1", "LogoPosX"), "20");
  EXPECT_EQ(IniValue(ini, "1", "LogoPosY"), "20");
  EXPECT_EQ(IniValue(ini, "1", "LeftTopPixelColor"), "1");
  EXPECT_EQ(IniValue(ini, "1", "ColorKey"), "255");
  EXPECT_EQ(IniValue(ini, "1", "LogoMatchLevel"), "77");
  EXPECT_EQ(IniValue(ini, "1", "LogoDetectLevel"), "66");
  EXPECT_EQ(IniValue(ini, "1", "LogoPosTolerance"), "5");
}

const std::string kLogoFile = zunktest::PluginsFolder() + "logo-1.bmp";

// The threads of this process now.
std::set<DWORD> Threads() {
  std::set<DWORD> ids;
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE)
    return ids;
  THREADENTRY32 t;
  t.dwSize = sizeof t;
  for (BOOL more = Thread32First(snapshot, &t); more; more = Thread32Next(snapshot, &t))
    if (t.th32OwnerProcessID == GetCurrentProcessId())
      ids.insert(t.th32ThreadID);
  CloseHandle(snapshot);
  return ids;
}

// The threads of `now` that were not among `before`.
std::set<DWORD> NewThreads(const std::set<DWORD>& before, const std::set<DWORD>& now) {
  std::set<DWORD> added;
  for (DWORD id : now)
    if (!before.count(id))
      added.insert(id);
  return added;
}

// How many pixels of a 24-bit bottom-up template file have the colour 0x00BBGGRR, and how
// many it has in all; {0, 0} when it is not one.
std::pair<int, int> PixelsOfColour(const std::vector<uint8_t>& bmp, uint32_t colour) {
  if (bmp.size() < 54 || bmp[28] != 24)
    return {0, 0};
  const int offset = bmp[10] | bmp[11] << 8 | bmp[12] << 16;
  const int w = bmp[18] | bmp[19] << 8, h = bmp[22] | bmp[23] << 8;
  const size_t stride = (static_cast<size_t>(w) * 3 + 3) / 4 * 4;
  if (w <= 0 || h <= 0 || offset + stride * h > bmp.size())
    return {0, 0};
  int same = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint8_t* p = &bmp[offset + y * stride + x * 3];
      same += (p[2] | p[1] << 8 | p[0] << 16) == static_cast<int>(colour);
    }
  return {same, w * h};
}

// The sample's logo, opaque, where the sample has it: found in place, saved beside the
// settings file, every control showing it at once, and the section written at Exit.
TEST(CaptureDialog, FindsTheLogoInPlaceAndAppliesItAtOnce) {
  DeleteFileA(kLogoFile.c_str());
  ASSERT_EQ(SampleLogo(255).w, 72);
  DialogHost host(StartingSection());
  host.Play(&OpaqueLogoProgramme(), kHold);
  Open(host);
  ASSERT_TRUE(IsWindowVisible(host.Item(IDC_CAPTURE))) << "the module has its logo finder";
  const Shown before = ShownBy(host);

  EXPECT_FALSE(PreviewShowsALogo(host)) << "the channel's template does not load";

  Press(host);
  ASSERT_TRUE(Running(host));
  // The candidate shows in the preview while the capture runs (the guide's picture counts
  // 14 frames).
  ASSERT_TRUE(WaitForFrames(host, 14));
  EXPECT_TRUE(host.PumpUntil([&] { return PreviewShowsALogo(host); }, 3000));
  EXPECT_TRUE(Running(host)) << "the candidate was shown only with the answer";
  host.Screenshot("capture-running");
  ASSERT_TRUE(WaitForAnswer(host));
  EXPECT_EQ(host.Text(IDC_TEMPLATE_NOTE), Cp1251("Логотип найден"));
  host.Screenshot("capture-found");

  const Shown after = ShownBy(host);
  EXPECT_EQ(after.file, kLogoFile);
  EXPECT_FALSE(after.leftTop);
  EXPECT_NE(after.match + after.detect, before.match + before.detect) << "levels calibrated";
  EXPECT_FALSE(FileBytes(kLogoFile).empty());
  // Detection runs with the new template: the logo is on screen.
  EXPECT_TRUE(IsWindowEnabled(host.Item(IDC_MATCH_LEVEL)));

  SendMessageA(host.Item(IDC_OK_BUTTON), BM_CLICK, 0, 0);
  ASSERT_TRUE(host.WaitClosed());
  const std::string ini = host.ExitAndReadSettings();
  EXPECT_EQ(IniValue(ini, "1", "LogoFileName"), kLogoFile);
  EXPECT_NEAR(std::atoi(IniValue(ini, "1", "LogoPosX").c_str()), 656, 2);
  EXPECT_NEAR(std::atoi(IniValue(ini, "1", "LogoPosY").c_str()), 32, 2);
  EXPECT_EQ(IniValue(ini, "1", "LeftTopPixelColor"), "0");
  EXPECT_EQ(IniValue(ini, "1", "LogoMatchLevel"), after.match);
  EXPECT_EQ(IniValue(ini, "1", "LogoDetectLevel"), after.detect);
  EXPECT_EQ(IniValue(ini, "1", "LogoPosTolerance"), after.tolerance);
  // The key is the colour of the saved template's pixels that are not the logo: some are,
  // and the rest are compared.
  const std::pair<int, int> keyed =
      PixelsOfColour(FileBytes(kLogoFile),
                     static_cast<uint32_t>(std::atoll(IniValue(ini, "1", "ColorKey").c_str())));
  EXPECT_GT(keyed.first, 0) << "ColorKey=" << IniValue(ini, "1", "ColorKey");
  EXPECT_LT(keyed.first, keyed.second);
}

// The same logo at 45 % over the picture, in another corner: found in place.
TEST(CaptureDialog, FindsASeeThroughLogoInPlace) {
  DeleteFileA(kLogoFile.c_str());
  const LogoArt logo = SampleLogo(115);
  static const Pictures pictures = Programme(&logo, 40, 500, 48);
  DialogHost host(StartingSection());
  host.Play(&pictures, kHold);
  Open(host);
  Press(host);
  ASSERT_TRUE(WaitForAnswer(host));
  ASSERT_EQ(host.Text(IDC_TEMPLATE_NOTE), Cp1251("Логотип найден"));
  SendMessageA(host.Item(IDC_OK_BUTTON), BM_CLICK, 0, 0);
  ASSERT_TRUE(host.WaitClosed());
  const std::string ini = host.ExitAndReadSettings();
  EXPECT_EQ(IniValue(ini, "1", "LogoFileName"), kLogoFile);
  EXPECT_NEAR(std::atoi(IniValue(ini, "1", "LogoPosX").c_str()), 40, 2);
  EXPECT_NEAR(std::atoi(IniValue(ini, "1", "LogoPosY").c_str()), 500, 2);
}

// Cancel after a logo was found puts every value back, and detection goes back to the
// template the channel had.
TEST(CaptureDialog, CancelUndoesAFoundLogo) {
  DeleteFileA(kLogoFile.c_str());
  DialogHost host(StartingSection());
  host.Play(&OpaqueLogoProgramme(), kHold);
  Open(host);
  const Shown before = ShownBy(host);
  Press(host);
  ASSERT_TRUE(WaitForAnswer(host));
  ASSERT_EQ(host.Text(IDC_TEMPLATE_NOTE), Cp1251("Логотип найден"));
  EXPECT_EQ(host.Text(IDC_LOGO_FILE_NAME), kLogoFile);

  SendMessageA(host.Item(IDC_CANCEL_BUTTON), BM_CLICK, 0, 0);
  ASSERT_TRUE(host.WaitClosed());
  host.Configure();
  ASSERT_TRUE(host.WaitForChannelLabel("One"));
  const Shown restored = ShownBy(host);
  EXPECT_EQ(restored.file, before.file);
  EXPECT_EQ(restored.match, before.match);
  EXPECT_EQ(restored.detect, before.detect);
  EXPECT_EQ(restored.tolerance, before.tolerance);
  EXPECT_EQ(restored.leftTop, before.leftTop);
  EXPECT_EQ(host.Text(IDC_TEMPLATE_NOTE), Cp1251("Шаблон не загружен: файл не найден"))
      << "detection is back on the old template, which does not load";
  SendMessageA(host.Item(IDC_OK_BUTTON), BM_CLICK, 0, 0);
  ASSERT_TRUE(host.WaitClosed());
  ExpectStartingSection(host.ExitAndReadSettings());
}

// Each way a capture ends without a logo says why on its line, and changes nothing.
TEST(CaptureDialog, EachFailureSaysWhyAndChangesNothing) {
  DeleteFileA(kLogoFile.c_str());
  Scene scene;
  static const Pictures black = {MakeFrame(scene, Shot::kBlack, 0)};
  static const Pictures still = {MakeFrame(scene, Shot::kProgramme, 0)};
  static const Pictures moving = Programme(nullptr, 0, 0, 8);
  DialogHost host(StartingSection() + ChannelSection(2));
  host.Play(&black, 1);
  Open(host);
  const Shown before = ShownBy(host);

  // Black: stopped by the viewer after a few frames.
  Press(host);
  ASSERT_TRUE(WaitForFrames(host, 3));
  Press(host);
  ASSERT_TRUE(WaitForAnswer(host));
  EXPECT_EQ(host.Text(IDC_TEMPLATE_NOTE), kNotFound + Cp1251("реклама или чёрный экран"));
  EXPECT_EQ(host.Text(IDC_CAPTURE), Cp1251("Логотип с экрана…"));
  host.Screenshot("capture-failed-black");

  // Stopped before the finder could tell.
  host.Play(&moving, kHold);
  Press(host);
  ASSERT_TRUE(WaitForFrames(host, 2));
  Press(host);
  ASSERT_TRUE(WaitForAnswer(host));
  EXPECT_EQ(host.Text(IDC_TEMPLATE_NOTE), kNotFound + Cp1251("слишком мало кадров"));

  // A still picture, long enough for the finder to judge it.
  host.Play(&still, 1);
  Press(host);
  ASSERT_TRUE(WaitForFrames(host, 22));
  Press(host);
  ASSERT_TRUE(WaitForAnswer(host));
  EXPECT_EQ(host.Text(IDC_TEMPLATE_NOTE), kNotFound + Cp1251("картинка почти не меняется"));
  host.Screenshot("capture-failed-still");

  // The channel changes while it runs.
  host.Play(&moving, kHold);
  Press(host);
  ASSERT_TRUE(WaitForFrames(host, 1));
  host.SetChannel(2, "Two");
  ASSERT_TRUE(WaitForAnswer(host, 5000));
  EXPECT_EQ(host.Text(IDC_TEMPLATE_NOTE), Cp1251("Захват прерван: переключён канал"));
  host.SetChannel(1, "One");
  ASSERT_TRUE(host.WaitForChannelLabel("One"));

  // No frames come at all.
  host.SetChannel(0, "");
  Press(host);
  ASSERT_TRUE(WaitForAnswer(host, 15000));
  EXPECT_EQ(host.Text(IDC_TEMPLATE_NOTE), kNotFound + Cp1251("видео не идёт"));

  const Shown after = ShownBy(host);
  EXPECT_EQ(after.file, before.file);
  EXPECT_EQ(after.match, before.match);
  EXPECT_EQ(after.detect, before.detect);
  EXPECT_EQ(after.tolerance, before.tolerance);
  EXPECT_EQ(after.leftTop, before.leftTop);
  EXPECT_TRUE(FileBytes(kLogoFile).empty()) << "no template written";
  SendMessageA(host.Item(IDC_OK_BUTTON), BM_CLICK, 0, 0);
  ASSERT_TRUE(host.WaitClosed());
  ExpectStartingSection(host.ExitAndReadSettings());
}

// The settings folder turned into a file for as long as it lives: nothing can be written
// into it. A run that ended in the middle of one is put right first.
class UnwritableSettingsFolder {
 public:
  UnwritableSettingsFolder() {
    Restore();
    MoveFileA(folder_.c_str(), away_.c_str());
    const HANDLE f = CreateFileA(folder_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    made_ = f != INVALID_HANDLE_VALUE;
    if (made_)
      CloseHandle(f);
  }
  ~UnwritableSettingsFolder() { Restore(); }
  bool Made() const { return made_; }

 private:
  void Restore() {
    if (GetFileAttributesA(away_.c_str()) == INVALID_FILE_ATTRIBUTES)
      return;
    DeleteFileA(folder_.c_str());
    MoveFileA(away_.c_str(), folder_.c_str());
  }
  static std::string Folder() {
    const std::string p = zunktest::PluginsFolder();
    return p.substr(0, p.size() - 1);
  }
  const std::string folder_ = Folder();
  const std::string away_ = Folder() + "-away";
  bool made_ = false;
};

// A logo found while the settings folder cannot be written: the line says so, and no control,
// no key and no file changes.
TEST(CaptureDialog, ASettingsFolderThatCannotBeWrittenSaysSoAndChangesNothing) {
  DeleteFileA(kLogoFile.c_str());
  DialogHost host(StartingSection());
  host.Play(&OpaqueLogoProgramme(), kHold);
  Open(host);
  const Shown before = ShownBy(host);
  {
    UnwritableSettingsFolder unwritable;
    ASSERT_TRUE(unwritable.Made());
    Press(host);
    ASSERT_TRUE(WaitForAnswer(host));
    EXPECT_EQ(host.Text(IDC_TEMPLATE_NOTE),
              Cp1251("Логотип не сохранён: нет доступа к папке настроек"));
    host.Screenshot("capture-not-saved");
    const Shown after = ShownBy(host);
    EXPECT_EQ(after.file, before.file);
    EXPECT_EQ(after.match, before.match);
    EXPECT_EQ(after.detect, before.detect);
    EXPECT_EQ(after.tolerance, before.tolerance);
    EXPECT_EQ(after.leftTop, before.leftTop);
  }
  EXPECT_TRUE(FileBytes(kLogoFile).empty()) << "no template written";
  SendMessageA(host.Item(IDC_OK_BUTTON), BM_CLICK, 0, 0);
  ASSERT_TRUE(host.WaitClosed());
  ExpectStartingSection(host.ExitAndReadSettings());
}

// The broadcast changes its picture size while the capture runs (the host stops the stream
// and starts it again at 720 x 576): the capture starts over on the new frames, counting
// from nothing, and finds the logo in place at the reference scale.
TEST(CaptureDialog, AChangeOfPictureSizeStartsItOver) {
  DeleteFileA(kLogoFile.c_str());
  static const LogoArt logo = SampleLogo(255);
  static const Pictures narrow = Programme(&logo, 656, 32, 48, 720, 576);
  DialogHost host(StartingSection());
  host.Play(&OpaqueLogoProgramme(), kHold);
  Open(host);
  Press(host);
  ASSERT_TRUE(WaitForFrames(host, 8));
  host.PlayAtSize(&narrow, kHold, 720, 576);
  EXPECT_TRUE(host.PumpUntil(
      [&] {
        const int n = FramesCounted(host);
        return n >= 0 && n < 4;
      },
      10000))
      << "the count did not start again";
  ASSERT_TRUE(WaitForAnswer(host));
  EXPECT_EQ(host.Text(IDC_TEMPLATE_NOTE), Cp1251("Логотип найден"));
  SendMessageA(host.Item(IDC_OK_BUTTON), BM_CLICK, 0, 0);
  ASSERT_TRUE(host.WaitClosed());
  const std::string ini = host.ExitAndReadSettings();
  EXPECT_EQ(IniValue(ini, "1", "LogoFileName"), kLogoFile);
  EXPECT_NEAR(std::atoi(IniValue(ini, "1", "LogoPosX").c_str()), 656, 2);
  EXPECT_NEAR(std::atoi(IniValue(ini, "1", "LogoPosY").c_str()), 32, 2);
}

// The threads of `ids` that still run.
std::set<DWORD> StillRunning(const std::set<DWORD>& ids) {
  const std::set<DWORD> now = Threads();
  std::set<DWORD> running;
  for (DWORD id : ids)
    if (now.count(id))
      running.insert(id);
  return running;
}

// The window closed while a capture runs, by "ОК", by "Отмена" and by its close box: the
// capture's thread ends with the window, no template is written and the channel keeps its
// settings; opened again, the window shows no capture.
TEST(CaptureDialog, ClosingTheWindowDuringACaptureEndsIt) {
  DeleteFileA(kLogoFile.c_str());
  DialogHost host(StartingSection());
  host.Play(&OpaqueLogoProgramme(), kHold);
  Open(host);
  const Shown before = ShownBy(host);
  const std::string idle = host.Text(IDC_TEMPLATE_NOTE);
  for (const int closeBy : {IDC_OK_BUTTON, IDC_CANCEL_BUTTON, 0}) {
    SCOPED_TRACE(closeBy ? closeBy == IDC_OK_BUTTON ? "OK" : "Cancel" : "close box");
    if (!host.Window()) {
      host.Configure();
      ASSERT_TRUE(host.WaitForChannelLabel("One"));
    }
    EXPECT_EQ(host.Text(IDC_CAPTURE), Cp1251("Логотип с экрана…"));
    EXPECT_EQ(host.Text(IDC_TEMPLATE_NOTE), idle);
    const std::set<DWORD> others = Threads();
    Press(host);
    ASSERT_TRUE(WaitForFrames(host, 3));
    const std::set<DWORD> capturing = NewThreads(others, Threads());
    EXPECT_FALSE(capturing.empty()) << "the capture runs on a thread of its own";
    if (closeBy)
      SendMessageA(host.Item(closeBy), BM_CLICK, 0, 0);
    else
      SendMessageA(host.Window(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(host.WaitClosed());
    EXPECT_TRUE(StillRunning(capturing).empty()) << "the capture's thread outlived the window";
  }
  host.Configure();
  ASSERT_TRUE(host.WaitForChannelLabel("One"));
  const Shown after = ShownBy(host);
  EXPECT_EQ(after.file, before.file);
  EXPECT_EQ(after.match, before.match);
  EXPECT_EQ(after.detect, before.detect);
  EXPECT_EQ(after.leftTop, before.leftTop);
  SendMessageA(host.Item(IDC_OK_BUTTON), BM_CLICK, 0, 0);
  ASSERT_TRUE(host.WaitClosed());
  ExpectStartingSection(host.ExitAndReadSettings());
  EXPECT_TRUE(FileBytes(kLogoFile).empty()) << "no template written";
}

// With the detector off on the channel the capture still works, since it needs only frames:
// the logo is found and applied, and the detector stays off.
TEST(CaptureDialog, WorksWhileTheDetectorIsOff) {
  DeleteFileA(kLogoFile.c_str());
  DialogHost host(StartingSection({{"ProcessingEnable", "0"}}));
  host.Play(&OpaqueLogoProgramme(), kHold);
  Open(host);
  Press(host);
  ASSERT_TRUE(WaitForAnswer(host));
  EXPECT_EQ(host.Text(IDC_TEMPLATE_NOTE), Cp1251("Логотип найден"));
  EXPECT_EQ(host.Text(IDC_LOGO_FILE_NAME), kLogoFile);
  EXPECT_FALSE(host.Checked(IDC_PROCESSING_ENABLE));
  SendMessageA(host.Item(IDC_OK_BUTTON), BM_CLICK, 0, 0);
  ASSERT_TRUE(host.WaitClosed());
  const std::string ini = host.ExitAndReadSettings();
  EXPECT_EQ(IniValue(ini, "1", "LogoFileName"), kLogoFile);
  EXPECT_NEAR(std::atoi(IniValue(ini, "1", "LogoPosX").c_str()), 656, 2);
  EXPECT_NEAR(std::atoi(IniValue(ini, "1", "LogoPosY").c_str()), 32, 2);
  EXPECT_EQ(IniValue(ini, "1", "ProcessingEnable"), "0");
}

// Exit while a capture runs and the dialog is open: the capture's thread ends, nothing is
// written, and (but where the dialog's thread could not close its window) the module unloads.
void ExitDuringACapture(DialogHost::ExitFrom from) {
  DeleteFileA(kLogoFile.c_str());
  static const Pictures moving = Programme(nullptr, 0, 0, 8);
  {
    DialogHost host(StartingSection());
    host.Play(&moving, kHold);
    Open(host);
    const std::set<DWORD> others = Threads();
    Press(host);
    ASSERT_TRUE(WaitForFrames(host, 2));
    const std::set<DWORD> capturing = NewThreads(others, Threads());
    EXPECT_FALSE(capturing.empty()) << "the capture runs on a thread of its own";
    const std::string ini = host.ExitAndReadSettings(from);
    EXPECT_TRUE(StillRunning(capturing).empty()) << "the capture's thread outlived Exit";
    ExpectStartingSection(ini);
    EXPECT_TRUE(FileBytes(kLogoFile).empty());
    if (from == DialogHost::ExitFrom::kOtherThreadWaiting) {
      // The window Exit could not close still gets its timers: nothing is left to show.
      host.Pump(1000);
      EXPECT_TRUE(FileBytes(kLogoFile).empty());
      return;
    }
    EXPECT_EQ(host.Window(), nullptr);
  }
  // The capture's thread keeps the module loaded while it runs: unloaded, it has ended.
  EXPECT_EQ(GetModuleHandleA("Zunk_LogoDetector.dll"), nullptr);
}

TEST(CaptureDialog, ExitDuringACaptureIsClean) {
  ExitDuringACapture(DialogHost::ExitFrom::kThisThread);
}

TEST(CaptureDialog, ExitFromAnotherThreadDuringACaptureIsClean) {
  ExitDuringACapture(DialogHost::ExitFrom::kOtherThreadPumping);
}

// The bundled sample's programme comes from a camera that never moves, so the picture
// around its logo stays as still as the logo (72 x 44 at 656, 32), and a wall below it clips
// to white. Played as the capture sees a live stream, every 13th frame, the capture takes the
// whole logo within 2 pixels on every side. The settings it made, and their template, are
// kept in "captured-sample" beside this program for captured_decisions.sh, which judges the
// plug-in's decisions with them over the whole recording.
TEST(CaptureDialog, OnTheSamplesOwnProgrammeItTakesTheWholeLogoAndLittleElse) {
  const std::string plugins = zunktest::PluginsFolder();
  const std::string kept =
      plugins.substr(0, plugins.size() - std::string("Plugins\\").size()) + "captured-sample\\";
  DeleteFileA((kept + "Zunk_LogoDetector.ini").c_str());
  DeleteFileA((kept + "logo-1.bmp").c_str());
  DeleteFileA(kLogoFile.c_str());
  static const Pictures pictures = SampleProgramme();
  ASSERT_GE(pictures.size(), 40u);
  DialogHost host(StartingSection());
  host.Play(&pictures, 13);
  Open(host);
  Press(host);
  ASSERT_TRUE(host.PumpUntil([&] { return !Running(host) || FramesCounted(host) >= 24; }, 40000));
  if (Running(host))
    Press(host);
  ASSERT_TRUE(WaitForAnswer(host));
  const std::string line = host.Text(IDC_TEMPLATE_NOTE);
  host.Screenshot("capture-sample");
  SendMessageA(host.Item(IDC_OK_BUTTON), BM_CLICK, 0, 0);
  ASSERT_TRUE(host.WaitClosed());
  std::string ini = host.ExitAndReadSettings();
  ASSERT_EQ(line, Cp1251("Логотип найден"));
  const std::vector<uint8_t> bmp = FileBytes(kLogoFile);
  ASSERT_GE(bmp.size(), 26u);
  const int x = std::atoi(IniValue(ini, "1", "LogoPosX").c_str());
  const int y = std::atoi(IniValue(ini, "1", "LogoPosY").c_str());
  const int w = bmp[18] | bmp[19] << 8, h = bmp[22] | bmp[23] << 8;
  EXPECT_NEAR(x, 656, 2);
  EXPECT_NEAR(y, 32, 2);
  EXPECT_NEAR(x + w, 656 + 72, 2) << w << " x " << h;
  EXPECT_NEAR(y + h, 32 + 44, 2) << w << " x " << h;

  // The section as the capture left it, its template copied beside it.
  const size_t at = ini.find("LogoFileName=" + kLogoFile + "\r\n");
  ASSERT_NE(at, std::string::npos);
  ini.replace(at + 13, kLogoFile.size(), kept + "logo-1.bmp");
  CreateDirectoryA(kept.c_str(), nullptr);
  ASSERT_TRUE(CopyFileA(kLogoFile.c_str(), (kept + "logo-1.bmp").c_str(), FALSE));
  std::ofstream(kept + "Zunk_LogoDetector.ini", std::ios::binary) << ini;
}

// Exit from another thread while the dialog's thread waits for it, so that the window cannot
// be closed: the capture still ends with Exit. Last in this program: the module stays
// loaded afterwards, since its window does.
TEST(CaptureDialog, ExitFromAnotherThreadWhileTheDialogsThreadWaitsEndsTheCapture) {
  ExitDuringACapture(DialogHost::ExitFrom::kOtherThreadWaiting);
}

}  // namespace
