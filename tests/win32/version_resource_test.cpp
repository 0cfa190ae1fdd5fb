// The module's version resource as Windows reads it (the file's properties): the numbers
// and texts of the built module and of the stripped copy that ships, against the project's
// version.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "zunk_version.h"

namespace {

struct VersionInfo {
  std::vector<char> block;
  bool Read(const char* path) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0)
      return false;
    block.assign(size, 0);
    return GetFileVersionInfoA(path, 0, size, block.data()) != 0;
  }
  void* Value(const char* name, UINT* length) {
    void* value = nullptr;
    *length = 0;
    if (!VerQueryValueA(block.data(), name, &value, length))
      return nullptr;
    return value;
  }
  std::string Text(const char* key) {
    std::string name = std::string("\\StringFileInfo\\041904E3\\") + key;
    UINT length = 0;
    const char* text = static_cast<const char*>(Value(name.c_str(), &length));
    return text ? std::string(text) : "(missing)";
  }
};

class VersionResource : public ::testing::TestWithParam<const char*> {};

TEST_P(VersionResource, NumbersTextsAndTranslationAreTheProjectsVersion) {
  VersionInfo info;
  ASSERT_TRUE(info.Read(GetParam())) << "no version resource in " << GetParam();

  UINT length = 0;
  auto* fixed = static_cast<VS_FIXEDFILEINFO*>(info.Value("\\", &length));
  ASSERT_NE(fixed, nullptr);
  ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  const DWORD high = (ZUNK_VERSION_MAJOR << 16) | ZUNK_VERSION_MINOR;
  const DWORD low = ZUNK_VERSION_PATCH << 16;
  EXPECT_EQ(fixed->dwFileVersionMS, high);
  EXPECT_EQ(fixed->dwFileVersionLS, low);
  EXPECT_EQ(fixed->dwProductVersionMS, high);
  EXPECT_EQ(fixed->dwProductVersionLS, low);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
  EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask, 0u);

  // One translation: Russian in Windows-1251, the block the texts are under.
  auto* translation = static_cast<WORD*>(info.Value("\\VarFileInfo\\Translation", &length));
  ASSERT_NE(translation, nullptr);
  ASSERT_EQ(length, 4u);
  EXPECT_EQ(translation[0], 0x0419);
  EXPECT_EQ(translation[1], 1251);

  EXPECT_EQ(info.Text("FileVersion"), ZUNK_VERSION_STRING);
  EXPECT_EQ(info.Text("ProductVersion"), ZUNK_VERSION_STRING);
  EXPECT_EQ(info.Text("OriginalFilename"), "Zunk_LogoDetector.dll");
  EXPECT_EQ(info.Text("ProductName"), "Zunk_LogoDetector");
  // "Детектор логотипов — плагин для Quintora" in Windows-1251.
  EXPECT_EQ(info.Text("FileDescription"),
            "\xC4\xE5\xF2\xE5\xEA\xF2\xEE\xF0 \xEB\xEE\xE3\xEE\xF2\xE8\xEF\xEE\xE2 \x97 "
            "\xEF\xEB\xE0\xE3\xE8\xED \xE4\xEB\xFF Quintora");
}

INSTANTIATE_TEST_SUITE_P(BuiltAndShipped,
                         VersionResource,
                         ::testing::Values(ZUNK_DLL_PATH, ZUNK_SHIPPED_DLL_PATH));

}  // namespace
