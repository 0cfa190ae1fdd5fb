// The release archive as make release builds it: the same bytes twice, its entries and
// their headers, the checksums, the shipped module being the one the Windows tests load,
// the guides' encodings and line ends, and the example settings read by the plug-in's own
// settings store.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "settings/channel_profile.h"
#include "settings/dialog_settings.h"
#include "settings/ini_store.h"
#include "zip_read.h"
#include "zip_writer.h"
#include "zunk_version.h"

namespace {

namespace fs = std::filesystem;
using zunktest::ZipRecord;

const std::string kZipName = std::string("Zunk_LogoDetector-") + ZUNK_VERSION_STRING + ".zip";
const std::string kReadMe = "\xD0\x9F\xD0\xA0\xD0\x9E\xD0\xA7\xD0\xA2\xD0\x98.txt";  // ПРОЧТИ.txt

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

int Shell(const std::string& command) {
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Every line ends with CR LF: no LF without CR before it, no CR without LF after it.
bool OnlyCrLf(const std::string& s) {
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\n' && (i == 0 || s[i - 1] != '\r'))
      return false;
    if (s[i] == '\r' && (i + 1 == s.size() || s[i + 1] != '\n'))
      return false;
  }
  return !s.empty() && s.compare(s.size() - 2, 2, "\r\n") == 0;
}

bool ValidUtf8(const std::string& s) {
  for (size_t i = 0; i < s.size();) {
    unsigned char c = s[i];
    int n = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
    if (n < 0 || (n > 0 && c < 0xC2) || i + n >= s.size() + (n == 0 ? 1 : 0))
      return false;
    for (int k = 1; k <= n; ++k)
      if (i + k >= s.size() || (static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
        return false;
    i += n + 1;
  }
  return true;
}

// Windows-1251 text as a plain-text reader shows it: no control bytes but CR, LF and tab,
// nothing in the one unassigned position (0x98), and no UTF-8 left in it (the two-byte
// forms of Cyrillic letters, 0xD0 or 0xD1 before 0x80..0xBF, would read as "Рџ" and such).
bool PlainCp1251(const std::string& s) {
  for (size_t i = 0; i < s.size(); ++i) {
    unsigned char c = s[i];
    if ((c < 0x20 && c != '\r' && c != '\n' && c != '\t') || c == 0x7F || c == 0x98)
      return false;
    if ((c == 0xD0 || c == 0xD1) && i + 1 < s.size() &&
        (static_cast<unsigned char>(s[i + 1]) & 0xC0) == 0x80)
      return false;
  }
  return true;
}

class ReleaseArchive : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!fs::exists(ZUNK_SHIPPED_DLL))
      return;
    root_ = fs::temp_directory_path() / ("zunk_release_" + std::to_string(getpid()));
    fs::remove_all(root_);
    // The second build under another umask: the archive's modes must not follow it.
    built_[0] = Build(root_ / "a", "");
    built_[1] = Build(root_ / "b", "umask 077; ");
  }
  static void TearDownTestSuite() { fs::remove_all(root_); }
  static std::string Build(const fs::path& out, const std::string& prefix) {
    std::string command = prefix + "bash '" ZUNK_SOURCE_DIR "/scripts/make-release.sh' '" +
                          ZUNK_SHIPPED_DLL + "' '" + ZUNK_ZIP_TOOL + "' '" + out.string() +
                          "' >/dev/null";
    if (Shell(command) != 0)
      return std::string();
    return ReadFile(out / kZipName);
  }
  void SetUp() override {
    if (!fs::exists(ZUNK_SHIPPED_DLL))
      GTEST_SKIP() << "no Windows build (" << ZUNK_SHIPPED_DLL << "): make win32";
    ASSERT_FALSE(built_[0].empty()) << "scripts/make-release.sh failed";
    std::string error;
    ASSERT_TRUE(zunktest::ReadZip(built_[0], &records_, &error)) << error;
  }
  const ZipRecord* Entry(const std::string& name) const {
    for (const ZipRecord& r : records_)
      if (r.name == name)
        return &r;
    return nullptr;
  }
  static fs::path root_;
  static std::string built_[2];
  std::vector<ZipRecord> records_;
};
fs::path ReleaseArchive::root_;
std::string ReleaseArchive::built_[2];

TEST_F(ReleaseArchive, TwoBuildsGiveTheSameBytes) {
  EXPECT_EQ(built_[0].size(), built_[1].size());
  EXPECT_TRUE(built_[0] == built_[1]);
}

TEST_F(ReleaseArchive, EntriesInOrderWithUtf8NamesOneTimeAndOneMode) {
  std::vector<std::string> names;
  for (const ZipRecord& r : records_)
    names.push_back(r.name);
  ASSERT_GE(names.size(), 6u);
  EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 4),
            (std::vector<std::string>{"Zunk_LogoDetector.dll", kReadMe, "README-en.txt",
                                      "Zunk_LogoDetector-example.ini"}));
  EXPECT_EQ(names.back(), "SHA256SUMS");
  // Between them the guides' pictures, in name order.
  for (size_t i = 4; i + 1 < names.size(); ++i) {
    EXPECT_EQ(names[i].rfind("images/", 0), 0u) << names[i];
    EXPECT_EQ(names[i].substr(names[i].size() - 4), ".png") << names[i];
    if (i > 4) {
      EXPECT_LT(names[i - 1], names[i]);
    }
  }
  for (const ZipRecord& r : records_) {
    SCOPED_TRACE(r.name);
    EXPECT_TRUE(r.flags & (1u << 11)) << "the UTF-8 name flag";
    EXPECT_EQ(r.flags & ~(1u << 11), 0u);
    EXPECT_TRUE(r.crcMatches);
    EXPECT_EQ(r.extraLength, 0u) << "no owner, no second time stamp";
    EXPECT_EQ(r.madeBy >> 8, 3u);
    EXPECT_EQ(r.externalAttributes, 0100644u << 16);
    EXPECT_EQ(r.dosTime, records_[0].dosTime);
    EXPECT_EQ(r.dosDate, records_[0].dosDate);
  }
  EXPECT_EQ(Entry("Zunk_LogoDetector.dll")->method, 8u) << "the module is deflated";
}

TEST_F(ReleaseArchive, ChecksumsCoverEveryOtherEntry) {
  fs::path unpacked = root_ / "unpacked";
  fs::remove_all(unpacked);
  std::string expected;
  for (const ZipRecord& r : records_) {
    fs::create_directories((unpacked / r.name).parent_path());
    std::ofstream(unpacked / r.name, std::ios::binary) << r.data;
  }
  std::istringstream sums(Entry("SHA256SUMS")->data);
  std::vector<std::string> listed;
  for (std::string line; std::getline(sums, line);) {
    ASSERT_GT(line.size(), 66u) << line;
    EXPECT_EQ(line.substr(64, 2), "  ") << line;
    listed.push_back(line.substr(66));
  }
  std::vector<std::string> others;
  for (const ZipRecord& r : records_)
    if (r.name != "SHA256SUMS")
      others.push_back(r.name);
  EXPECT_EQ(listed, others);
  EXPECT_EQ(Shell("cd '" + unpacked.string() + "' && sha256sum --quiet -c SHA256SUMS"), 0);
}

TEST_F(ReleaseArchive, ShipsTheStrippedModuleTheWindowsTestsLoad) {
  const ZipRecord* dll = Entry("Zunk_LogoDetector.dll");
  ASSERT_NE(dll, nullptr);
  EXPECT_TRUE(dll->data == ReadFile(ZUNK_SHIPPED_DLL));
  EXPECT_EQ(dll->data.substr(0, 2), "MZ");
  // No time in its header (the link and the strip leave it 0), so a rebuild gives the same bytes.
  ASSERT_GT(dll->data.size(), 0x40u);
  size_t pe = static_cast<uint8_t>(dll->data[0x3C]) | static_cast<uint8_t>(dll->data[0x3D]) << 8;
  ASSERT_EQ(dll->data.compare(pe, 4, std::string("PE\0\0", 4)), 0);
  EXPECT_EQ(dll->data.compare(pe + 8, 4, std::string(4, '\0')), 0);
  // The unstripped module beside it keeps its debugging information.
  fs::path full = fs::path(ZUNK_SHIPPED_DLL).parent_path().parent_path() / "Zunk_LogoDetector.dll";
  EXPECT_LT(dll->data.size() * 2, fs::file_size(full));
}

TEST_F(ReleaseArchive, GuidesInTheirEncodingsWithCrLf) {
  const ZipRecord* ru = Entry(kReadMe);
  const ZipRecord* en = Entry("README-en.txt");
  ASSERT_TRUE(ru && en);
  EXPECT_TRUE(OnlyCrLf(ru->data));
  EXPECT_TRUE(PlainCp1251(ru->data));
  // "Детектор логотипов" and "Установка" in Windows-1251.
  EXPECT_NE(ru->data.find("\xC4\xE5\xF2\xE5\xEA\xF2\xEE\xF0 \xEB\xEE\xE3\xEE\xF2\xE8\xEF\xEE\xE2"),
            std::string::npos);
  EXPECT_NE(ru->data.find("\xD3\xF1\xF2\xE0\xED\xEE\xE2\xEA\xE0"), std::string::npos);

  ASSERT_EQ(en->data.substr(0, 3), "\xEF\xBB\xBF") << "a byte-order mark for Notepad";
  EXPECT_TRUE(ValidUtf8(en->data));
  EXPECT_TRUE(OnlyCrLf(en->data));
  EXPECT_NE(en->data.find("Installing"), std::string::npos);

  // No Markdown marks are left, and every picture named is in the archive.
  for (const ZipRecord* guide : {ru, en}) {
    EXPECT_EQ(guide->data.find("**"), std::string::npos);
    EXPECT_EQ(guide->data.find("!["), std::string::npos);
    EXPECT_EQ(guide->data.find("\n#"), std::string::npos);
    for (size_t at = 0; (at = guide->data.find("images/", at)) != std::string::npos; ++at) {
      std::string name = guide->data.substr(at, guide->data.find_first_of(" ]", at) - at);
      EXPECT_NE(Entry(name), nullptr) << name;
    }
  }
}

TEST_F(ReleaseArchive, ExampleSettingsLoadThroughTheSettingsStore) {
  const ZipRecord* ini = Entry("Zunk_LogoDetector-example.ini");
  ASSERT_NE(ini, nullptr);
  EXPECT_TRUE(OnlyCrLf(ini->data));
  EXPECT_TRUE(PlainCp1251(ini->data));

  zunk::Profiles.clear();
  zunk::DialogLeft = zunk::DialogTop = 0;
  zunk::IniStore store;
  ASSERT_TRUE(store.OpenBytes(ini->data));
  store.ReadProfiles();
  store.Close();
  EXPECT_EQ(zunk::DialogLeft, -100);
  EXPECT_EQ(zunk::DialogTop, -100);
  // One channel, every key as written: the comment lines between them are passed over.
  ASSERT_EQ(zunk::Profiles.size(), 1u);
  const zunk::ChannelProfile& p = zunk::Profiles[0];
  EXPECT_EQ(p.ChannelKey, 1001);
  EXPECT_EQ(p.LogoFileName, "C:\\Program Files\\Quintora\\Plugins\\logo-1001.bmp");
  EXPECT_EQ(p.MsgString, "\xD0\xC5\xCA\xCB\xC0\xCC\xC0");  // "РЕКЛАМА"
  EXPECT_EQ(p.LogoPosX, 656);
  EXPECT_EQ(p.LogoPosY, 32);
  EXPECT_EQ(p.LogoPosTolerance, 3);
  EXPECT_EQ(p.LogoOffResponseSpeed, 10);
  EXPECT_EQ(p.LogoOnResponseSpeed, 3);
  EXPECT_EQ(p.LogoDetectLevel, 80);
  EXPECT_EQ(p.LogoMatchLevel, 80);
  EXPECT_EQ(p.PreviewAction, 2);
  EXPECT_EQ(p.RecordAction, 1);
  EXPECT_EQ(p.ShowLogo, 0);
  EXPECT_EQ(p.MsgBackColor, 4210752u);
  EXPECT_EQ(p.MsgTextColor, 49152u);
  zunk::Profiles.clear();
}

TEST_F(ReleaseArchive, GuidesNameTheOldestWindowsTheModuleLoadsOn) {
  // The module imports nothing newer than Windows XP but GetTickCount64 (Vista), which the
  // compiler's thread library brings in; the guides must say which of the two it needs.
  const std::string& dll = Entry("Zunk_LogoDetector.dll")->data;
  bool vista = dll.find(std::string("GetTickCount64\0", 15)) != std::string::npos;
  const std::string windows = vista ? "Windows Vista" : "Windows XP";
  EXPECT_NE(Entry(kReadMe)->data.find(windows), std::string::npos) << windows;
  EXPECT_NE(Entry("README-en.txt")->data.find(windows), std::string::npos) << windows;
}

TEST(ZipWriter, EmptyIncompressibleAndNestedEntriesReadBack) {
  std::string noise(5000, 0);
  uint32_t x = 12345;
  for (char& c : noise)
    c = static_cast<char>((x = x * 1103515245 + 12345) >> 24);
  std::vector<zunkrelease::ZipEntry> entries = {
      {"empty.txt", ""}, {"noise.bin", noise}, {"a/b/text.txt", std::string(3000, 'z')}};
  fs::path zip = fs::temp_directory_path() / ("zunk_zip_" + std::to_string(getpid()) + ".zip");
  std::string error;
  ASSERT_TRUE(zunkrelease::WriteZip(zip.string(), entries, 1767225600, &error)) << error;
  std::vector<ZipRecord> read;
  ASSERT_TRUE(zunktest::ReadZip(ReadFile(zip), &read, &error)) << error;
  fs::remove(zip);
  ASSERT_EQ(read.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(read[i].name, entries[i].name);
    EXPECT_TRUE(read[i].data == entries[i].data) << entries[i].name;
    EXPECT_TRUE(read[i].crcMatches);
  }
  EXPECT_EQ(read[1].method, 0u) << "stored: deflate would not make it smaller";
  EXPECT_EQ(read[2].method, 8u);
  // 2026-01-01 00:00:00 UTC in MS-DOS form.
  EXPECT_EQ(read[0].dosDate, (46u << 9) | (1u << 5) | 1u);
  EXPECT_EQ(read[0].dosTime, 0u);
  EXPECT_FALSE(zunkrelease::WriteZip("/nonexistent-folder/x.zip", entries, 0, &error));
}

}  // namespace
