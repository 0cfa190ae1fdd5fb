// The reader on a collection of real bitmap files (tests/data/bmp): g holds good files,
// q questionable ones, b broken ones. Colours are checked against the collection's own
// PNG renderings at a few points, and the files that draw one picture in different
// encodings must decode to the same pixels.
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "base/aligned_buffer.h"
#include "image/bmp_reader.h"
#include "image/file_bytes.h"
#include "platform/posix/services.h"

namespace zunk {
namespace {

namespace fs = std::filesystem;

const std::string kData = ZUNK_BMP_DATA;

struct Picture {
  bool ok = false;
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

Picture ReadSuiteFile(const std::string& name) {
  Picture p;
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(ReadFileBytes((kData + "/" + name).c_str(), kMaxBitmapFileBytes, &bytes)) << name;
  uint32_t* px = ReadBmp(bytes.data(), bytes.size(), 768, 576, &p.width, &p.height);
  p.ok = px != nullptr;
  if (px) {
    p.pixels.assign(px, px + static_cast<size_t>(p.width) * p.height);
    FreeAligned(px);
  }
  return p;
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(kData + "/" + folder))
    if (e.path().extension() == ".bmp")
      names.push_back(folder + "/" + e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Questionable files the reader refuses on purpose: header forms the system's loader
// refuses (OS/2 2.x), and kinds it cannot draw into a picture (embedded JPEG and PNG,
// alpha bit fields, 2 bits a pixel).
const std::set<std::string> kRefusedQuestionable = {"q/pal8os2v2.bmp", "q/pal8os2v2-16.bmp",
                                                    "q/rgb24jpeg.bmp", "q/rgb24png.bmp",
                                                    "q/rgba32abf.bmp", "q/pal2.bmp"};

TEST(BmpSuite, GoodFilesAllRead) {
  const std::vector<std::string> names = FilesIn("g");
  ASSERT_GE(names.size(), 20u);
  for (const std::string& name : names) {
    const Picture p = ReadSuiteFile(name);
    EXPECT_TRUE(p.ok) << name;
    for (uint32_t px : p.pixels)
      ASSERT_EQ(px >> 24, 0u) << name << ": X is 0";
  }
}

TEST(BmpSuite, QuestionableFilesAsDecided) {
  for (const std::string& name : FilesIn("q"))
    EXPECT_EQ(ReadSuiteFile(name).ok, kRefusedQuestionable.count(name) == 0) << name;
}

TEST(BmpSuite, BadFilesAreAllRefused) {
  const std::vector<std::string> names = FilesIn("b");
  ASSERT_GE(names.size(), 14u);
  for (const std::string& name : names)
    EXPECT_FALSE(ReadSuiteFile(name).ok) << name;
}

TEST(BmpSuite, ColoursMatchTheRenderings) {
  struct Point {
    int x, y;
  };
  const Point points[] = {{0, 0}, {126, 0}, {0, 63}, {126, 63}, {63, 31}, {20, 40}, {100, 10}};
  const struct {
    const char* name;
    uint32_t colours[7];
  } cases[] = {
      {"g/pal1bg.bmp", {0x40FF40, 0x40FF40, 0x4040FF, 0x4040FF, 0x40FF40, 0x40FF40, 0x40FF40}},
      {"g/pal4.bmp", {0xFF0000, 0xFF80FF, 0x000000, 0x000000, 0xFFFFFF, 0xFFFFFF, 0xFF80FF}},
      {"g/pal8.bmp", {0xFF0000, 0x99AACC, 0x000000, 0x665566, 0xFFFFFF, 0x66AACC, 0x99AA99}},
      {"g/rgb16.bmp", {0xFF0000, 0x9C9CBD, 0x000000, 0x63637B, 0xFFFFFF, 0x5AA5A5, 0x94949C}},
      {"g/rgb16-565.bmp", {0xFF0000, 0x9C9EBD, 0x000000, 0x63617B, 0xFFFFFF, 0x5AA6A5, 0x94969C}},
      {"g/rgb24.bmp", {0xFF0000, 0x9F9FBD, 0x000000, 0x60607E, 0xFFFFFF, 0x5DA5A5, 0x959599}},
      // The pixels the stream skips are black.
      {"q/pal4rletrns.bmp", {0xFF0000, 0xFF80FF, 0x000000, 0x000000, 0x000000, 0xFFFFFF, 0xFF80FF}},
      {"q/pal8rletrns.bmp", {0xFF0000, 0x99AACC, 0x000000, 0x665566, 0x000000, 0x66AACC, 0x99AA99}},
      // Four bits a colour, repeated: 0x9 -> 0x99. Alpha plays no part: the colour under
      // the transparent middle shows.
      {"q/rgba16-4444.bmp", {0xFF0000, 0x9999BB, 0x000000, 0x666677, 0x00FF00, 0x55AAAA, 0x999999}},
      {"q/pal1p1.bmp", {0x4040FF, 0x4040FF, 0x4040FF, 0x4040FF, 0x4040FF, 0x4040FF, 0x4040FF}},
  };
  for (const auto& c : cases) {
    const Picture p = ReadSuiteFile(c.name);
    ASSERT_TRUE(p.ok) << c.name;
    ASSERT_EQ(p.width, 127);
    ASSERT_EQ(p.height, 64);
    for (int i = 0; i < 7; ++i)
      EXPECT_EQ(p.At(points[i].x, points[i].y), c.colours[i])
          << c.name << " at " << points[i].x << "," << points[i].y;
  }
}

TEST(BmpSuite, OnePictureInManyEncodings) {
  const std::vector<std::vector<std::string>> groups = {
      {"g/pal8.bmp", "g/pal8-0.bmp", "g/pal8os2.bmp", "g/pal8v4.bmp", "g/pal8v5.bmp",
       "g/pal8topdown.bmp", "g/pal8rle.bmp", "q/pal8offs.bmp", "q/pal8os2sp.bmp",
       "q/pal8oversizepal.bmp"},
      {"g/pal4.bmp", "g/pal4rle.bmp"},
      {"g/rgb24.bmp", "g/rgb24pal.bmp", "q/rgb24largepal.bmp", "q/rgb24prof.bmp",
       "q/rgb24lprof.bmp", "g/rgb32.bmp", "g/rgb32bf.bmp", "q/rgb32bf-xbgr.bmp",
       "q/rgb32fakealpha.bmp"},
      {"g/rgb16-565.bmp", "g/rgb16-565pal.bmp"},
  };
  for (const auto& group : groups) {
    const Picture first = ReadSuiteFile(group[0]);
    ASSERT_TRUE(first.ok) << group[0];
    for (size_t i = 1; i < group.size(); ++i) {
      const Picture p = ReadSuiteFile(group[i]);
      ASSERT_TRUE(p.ok) << group[i];
      EXPECT_TRUE(p.pixels == first.pixels) << group[i] << " differs from " << group[0];
    }
  }
}

TEST(BmpSuite, OddWidthsKeepTheirSize) {
  for (int w : {124, 125, 126}) {
    const Picture p = ReadSuiteFile("g/pal8w" + std::to_string(w) + ".bmp");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.width, w);
    EXPECT_EQ(p.height, w - 63);
    EXPECT_EQ(p.At(0, 0), 0xFF0000u);
  }
  const Picture p = ReadSuiteFile("g/pal8nonsquare.bmp");
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.height, 32);
}

TEST(BmpSuite, PlatformServiceReadsFilesAndRefusesTheRest) {
  int32_t w = -1, h = -1;
  uint32_t* px = posix::LoadBitmapFile((kData + "/g/pal8.bmp").c_str(), 768, 576, &w, &h);
  ASSERT_NE(px, nullptr);
  EXPECT_EQ(w, 127);
  EXPECT_EQ(h, 64);
  EXPECT_EQ(px[0], 0xFF0000u);
  FreeAligned(px);

  w = h = -1;
  EXPECT_EQ(posix::LoadBitmapFile((kData + "/g/pal8.bmp").c_str(), 126, 576, &w, &h), nullptr);
  EXPECT_EQ(posix::LoadBitmapFile((kData + "/b/shortfile.bmp").c_str(), 768, 576, &w, &h), nullptr);
  EXPECT_EQ(posix::LoadBitmapFile((kData + "/missing.bmp").c_str(), 768, 576, &w, &h), nullptr);
  EXPECT_EQ(posix::LoadBitmapFile(kData.c_str(), 768, 576, &w, &h), nullptr) << "a folder";
  EXPECT_EQ(posix::LoadBitmapFile("", 768, 576, &w, &h), nullptr);
  EXPECT_EQ(w, -1);
  EXPECT_EQ(h, -1);
}

TEST(FileBytes, ReadsWholeFilesUpToTheCap) {
  const std::string path = (fs::temp_directory_path() /
                            ("zunk_file_bytes_test_" + std::to_string(getpid()) + ".bin"))
                               .string();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::vector<uint8_t> content(40000);
  for (size_t i = 0; i < content.size(); ++i)
    content[i] = static_cast<uint8_t>(i * 31);
  std::fwrite(content.data(), 1, content.size(), f);
  std::fclose(f);

  std::vector<uint8_t> bytes = {1, 2, 3};
  EXPECT_TRUE(ReadFileBytes(path.c_str(), 40000, &bytes));
  EXPECT_EQ(bytes, content);
  EXPECT_FALSE(ReadFileBytes(path.c_str(), 39999, &bytes));
  EXPECT_TRUE(bytes.empty());
  EXPECT_FALSE(ReadFileBytes((path + ".missing").c_str(), 40000, &bytes));
  EXPECT_FALSE(ReadFileBytes(nullptr, 40000, &bytes));
  std::remove(path.c_str());
}

}  // namespace
}  // namespace zunk
