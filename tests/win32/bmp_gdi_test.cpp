// The bitmap reader, compiled for Windows, against GDI on the same files: the system's
// loader (LoadImage from the file) read back as a 32-bit top-down picture must give the
// reader's pixels for every file of tests/data/bmp/g and q and for hand-built files of
// every kind. Then the Windows template picture service, which checks each file with
// the reader before the loader sees it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "base/aligned_buffer.h"
#include "image/bmp_builder.h"
#include "image/bmp_reader.h"
#include "image/file_bytes.h"
#include "platform/win32/services.h"

namespace zunk {
namespace {

using testing_util::BmpSpec;
using testing_util::BuildBmp;
using testing_util::Bytes;
using testing_util::PackRows;

const std::string kData = ZUNK_BMP_DATA;

// Files the reader refuses although Wine's loader returns a bitmap for them: it draws
// none of them (the bitmap stays black), so the reader refuses them everywhere.
const std::set<std::string> kRefusedUndrawn = {"q/pal2.bmp", "q/rgb24jpeg.bmp", "q/rgb24png.bmp",
                                               "q/rgba32abf.bmp"};

struct Picture {
  bool ok = false;
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;  // X cleared
  bool AllBlack() const {
    return std::all_of(pixels.begin(), pixels.end(), [](uint32_t p) { return p == 0; });
  }
};

std::string Difference(const Picture& a, const Picture& b) {
  if (a.width != b.width || a.height != b.height)
    return "sizes differ";
  for (size_t i = 0; i < a.pixels.size(); ++i)
    if (a.pixels[i] != b.pixels[i]) {
      char text[96];
      snprintf(text, sizeof text, "first difference at %d,%d: %06X against %06X",
               static_cast<int>(i % a.width), static_cast<int>(i / a.width),
               static_cast<unsigned>(a.pixels[i]), static_cast<unsigned>(b.pixels[i]));
      return text;
    }
  return "";
}

Picture FromReader(const Bytes& file) {
  Picture p;
  uint32_t* px = ReadBmp(file.data(), file.size(), 768, 576, &p.width, &p.height);
  if (px) {
    p.ok = true;
    p.pixels.assign(px, px + static_cast<size_t>(p.width) * p.height);
    FreeAligned(px);
  }
  return p;
}

// The loader's bitmap read back through GetDIBits: another road than the service's
// BitBlt to the same 32-bit picture.
Picture FromGdi(const std::string& path) {
  Picture p;
  HBITMAP bitmap =
      static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  if (!bitmap)
    return p;
  BITMAP bm = {};
  GetObjectA(bitmap, sizeof bm, &bm);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = bm.bmWidth;
  info.bmiHeader.biHeight = -bm.bmHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  p.width = bm.bmWidth;
  p.height = bm.bmHeight;
  p.pixels.resize(static_cast<size_t>(p.width) * p.height);
  HDC screen = GetDC(nullptr);
  p.ok = GetDIBits(screen, bitmap, 0, p.height, p.pixels.data(), &info, DIB_RGB_COLORS) == p.height;
  ReleaseDC(nullptr, screen);
  DeleteObject(bitmap);
  for (uint32_t& px : p.pixels)
    px &= 0x00FFFFFF;
  return p;
}

Picture FromService(const std::string& path, int32_t maxWidth = 768, int32_t maxHeight = 576) {
  Picture p;
  p.width = p.height = -1;
  uint32_t* px = win32::LoadBitmapFile(path.c_str(), maxWidth, maxHeight, &p.width, &p.height);
  if (px) {
    p.ok = true;
    p.pixels.assign(px, px + static_cast<size_t>(p.width) * p.height);
    FreeAligned(px);
  }
  return p;
}

std::string TempPath(const std::string& name) {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  return std::string(folder) + "zunk_bmp_" + name + ".bmp";
}

void WriteFile(const std::string& path, const Bytes& bytes) {
  FILE* f = fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr) << path;
  fwrite(bytes.data(), 1, bytes.size(), f);
  fclose(f);
}

// The same picture stored bottom row first (plain rows only).
Bytes BottomUpTwin(const Bytes& file, const BmpLayout& layout) {
  Bytes twin = file;
  const size_t stride = (static_cast<size_t>(layout.width) * layout.bitCount + 31) / 32 * 4;
  for (int32_t y = 0; y < layout.height; ++y)
    std::copy_n(file.begin() + layout.bitsOffset + stride * y, stride,
                twin.begin() + layout.bitsOffset + stride * (layout.height - 1 - y));
  testing_util::Set32(&twin, 22, static_cast<uint32_t>(layout.height));
  return twin;
}

struct Sample {
  std::string name;
  std::string path;
  Bytes bytes;
};

std::vector<Sample> SuiteFiles(const std::string& folder) {
  std::vector<Sample> files;
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA((kData + "/" + folder + "/*.bmp").c_str(), &found);
  EXPECT_NE(h, INVALID_HANDLE_VALUE) << folder;
  if (h == INVALID_HANDLE_VALUE)
    return files;
  do {
    Sample s;
    s.name = folder + "/" + found.cFileName;
    s.path = kData + "/" + s.name;
    EXPECT_TRUE(ReadFileBytes(s.path.c_str(), kMaxBitmapFileBytes, &s.bytes)) << s.name;
    files.push_back(s);
  } while (FindNextFileA(h, &found));
  FindClose(h);
  std::sort(files.begin(), files.end(),
            [](const Sample& a, const Sample& b) { return a.name < b.name; });
  return files;
}

std::vector<uint32_t> Pattern(size_t count, uint32_t modulo, uint32_t seed) {
  std::vector<uint32_t> v(count);
  uint32_t x = seed;
  for (uint32_t& e : v) {
    x = x * 1103515245u + 12345u;
    e = (x ^ x >> 16) % modulo;
  }
  return v;
}

BmpSpec Spec(uint32_t header, int32_t width, int32_t height, int bits, uint32_t compression) {
  BmpSpec s;
  s.headerBytes = header;
  s.width = width;
  s.height = height;
  s.bitCount = static_cast<uint16_t>(bits);
  s.compression = compression;
  return s;
}

// Files of each kind beyond those of the collection, written to the temporary folder.
// Plain rows are filled with pseudo-random values below `modulo`.
std::vector<Sample> HandBuiltFiles() {
  std::vector<Sample> files;
  auto add = [&](const std::string& name, BmpSpec s, uint32_t modulo) {
    if (s.bits.empty()) {
      const size_t count = static_cast<size_t>(s.width) * (s.height < 0 ? -s.height : s.height);
      s.bits = PackRows(s.width, s.height, s.bitCount, Pattern(count, modulo, 7 + files.size()));
    }
    Sample sample;
    sample.name = name;
    sample.path = TempPath(name);
    sample.bytes = BuildBmp(s);
    WriteFile(sample.path, sample.bytes);
    files.push_back(sample);
  };
  auto palette = [](size_t n, uint32_t seed) { return Pattern(n, 0x1000000, seed); };

  add("rgb24-topdown", Spec(40, 7, -5, 24, 0), 0x1000000);
  BmpSpec s = Spec(40, 13, -4, 1, 0);
  s.palette = {0x336699, 0xFFCC00};
  add("pal1-topdown", s, 2);
  s = Spec(40, 5, -3, 16, 3);
  s.masks = {0xF800, 0x07E0, 0x001F};
  add("rgb16-565-topdown", s, 0x10000);
  s = Spec(12, 9, 4, 4, 0);
  s.palette = palette(16, 4);
  add("core-pal4", s, 16);
  s = Spec(12, 17, 3, 1, 0);
  s.palette = {0x000000, 0xFFFFFF};
  add("core-pal1-black-white", s, 2);
  s = Spec(40, 17, 3, 1, 0);
  s.palette = {0xFFFFFF, 0x000000};
  add("pal1-white-black", s, 2);
  s = Spec(40, 11, 3, 8, 0);
  s.palette = palette(5, 8);
  add("pal8-five-colours", s, 5);
  add("rgb16-555-width3", Spec(40, 3, 3, 16, 0), 0x10000);
  s = Spec(108, 6, 2, 16, 3);
  s.masks = {0xF800, 0x07E0, 0x001F};
  add("v4-rgb16-565", s, 0x10000);
  s = Spec(124, 4, 3, 32, 3);
  s.masks = {0x0000FF00, 0x00FF0000, 0xFF000000};
  add("v5-rgb32-bgrx", s, 0xFFFFFFFF);
  s = Spec(40, 4, 3, 16, 3);
  s.masks = {0x0F00, 0x0000, 0x00F3};
  add("rgb16-odd-masks", s, 0x10000);
  // Colour tables shorter than the loader's, the pixels right after them: the later
  // entries are bytes of the pixel data, every one of them named.
  s = Spec(12, 32, 32, 8, 0);
  s.palette = palette(16, 16);
  add("core-pal8-table-into-pixels", s, 256);
  s = Spec(12, 16, 8, 4, 0);
  s.palette = {0xC86432, 0x102030};
  add("core-pal4-table-into-pixels", s, 16);
  s = Spec(40, 32, 32, 8, 0);
  s.palette = palette(40, 17);
  s.colorsUsed = 256;
  add("pal8-table-into-pixels", s, 256);
  // Bottom row: run of 2, jump 3 right and 1 up, run of 1; then an end of line and an
  // absolute block of 3 (padded); the stream ends without its end mark.
  s = Spec(40, 6, 3, 8, 1);
  s.palette = palette(4, 14);
  s.bits = {2, 1, 0, 2, 3, 1, 1, 3, 0, 0, 0, 3, 2, 3, 1, 0};
  add("rle8-jump-no-end", s, 0);
  // Run of 1, absolute block of 5 nibbles (3 bytes, padded), end of line, jump, run of 6.
  s = Spec(40, 7, 3, 4, 2);
  s.palette = palette(6, 15);
  s.bits = {1, 0x12, 0, 5, 0x45, 0x30, 0x12, 0, 0, 0, 0, 2, 1, 1, 6, 0x51, 0, 1};
  add("rle4-jump-odd-block", s, 0);
  return files;
}

std::vector<Sample> AllGoodFiles() {
  std::vector<Sample> files = SuiteFiles("g");
  const std::vector<Sample> q = SuiteFiles("q");
  const std::vector<Sample> built = HandBuiltFiles();
  files.insert(files.end(), q.begin(), q.end());
  files.insert(files.end(), built.begin(), built.end());
  return files;
}

bool IsTopDown(const Sample& s) {
  BmpLayout layout;
  return ParseBmpLayout(s.bytes.data(), s.bytes.size(), 768, 576, &layout) && layout.topDown;
}

TEST(BmpAgainstGdi, ReaderGivesTheLoadersPixels) {
  const std::vector<Sample> files = AllGoodFiles();
  ASSERT_GE(files.size(), 50u);
  int compared = 0;
  for (const Sample& s : files) {
    SCOPED_TRACE(s.name);
    const Picture reader = FromReader(s.bytes);
    Picture gdi = FromGdi(s.path);
    if (kRefusedUndrawn.count(s.name)) {
      EXPECT_FALSE(reader.ok);
      EXPECT_TRUE(!gdi.ok || gdi.AllBlack()) << "the loader drew it after all";
      continue;
    }
    ASSERT_EQ(reader.ok, gdi.ok);
    if (!reader.ok)
      continue;
    if (IsTopDown(s)) {
      // Wine's loader leaves a valid top-down file black. That is Wine's fault, not the
      // file's: the truth for such a file is the loader's picture of its bottom-up twin,
      // and only here a black picture from the loader is let pass.
      if (!gdi.AllBlack()) {
        EXPECT_EQ(Difference(reader, gdi), "") << "top-down, as loaded";
      }
      BmpLayout layout;
      ASSERT_TRUE(ParseBmpLayout(s.bytes.data(), s.bytes.size(), 768, 576, &layout));
      const std::string twin = TempPath("twin");
      WriteFile(twin, BottomUpTwin(s.bytes, layout));
      gdi = FromGdi(twin);
      DeleteFileA(twin.c_str());
      ASSERT_TRUE(gdi.ok);
    }
    EXPECT_EQ(Difference(reader, gdi), "");
    ++compared;
  }
  EXPECT_GE(compared, 45);
  for (const Sample& s : files)
    if (s.path.find("zunk_bmp_") != std::string::npos)
      DeleteFileA(s.path.c_str());
}

TEST(BmpAgainstGdi, ServiceGivesTheReadersPixels) {
  const std::vector<Sample> files = AllGoodFiles();
  for (const Sample& s : files) {
    SCOPED_TRACE(s.name);
    const Picture reader = FromReader(s.bytes);
    const Picture service = FromService(s.path);
    ASSERT_EQ(service.ok, reader.ok);
    if (!reader.ok)
      continue;
    EXPECT_EQ(service.width, reader.width);
    EXPECT_EQ(service.height, reader.height);
    if (IsTopDown(s) && service.AllBlack())
      continue;  // Wine's top-down fault, as above
    EXPECT_EQ(Difference(service, reader), "");
  }
  for (const Sample& s : files)
    if (s.path.find("zunk_bmp_") != std::string::npos)
      DeleteFileA(s.path.c_str());
}

// Header sizes whose first 40 bytes read as an info header: the loader refuses them all,
// and so do the reader and the service. With a 40-byte header the same picture loads.
TEST(BmpAgainstGdi, HeaderFormsTheLoaderRefusesAreRefused) {
  for (uint32_t header : {40u, 16u, 52u, 56u, 64u}) {
    SCOPED_TRACE("header of " + std::to_string(header) + " bytes");
    BmpSpec s = Spec(header, 9, 4, 8, 0);
    s.palette = Pattern(5, 0x1000000, header);
    s.bits = PackRows(9, 4, 8, Pattern(36, 5, 3));
    const std::string path = TempPath("header" + std::to_string(header));
    WriteFile(path, BuildBmp(s));
    const bool info = header == 40;
    EXPECT_EQ(FromGdi(path).ok, info);
    EXPECT_EQ(FromReader(BuildBmp(s)).ok, info);
    EXPECT_EQ(FromService(path).ok, info);
    DeleteFileA(path.c_str());
  }
}

TEST(BmpAgainstGdi, ServiceRefusesBadFilesAndSizesBeyondTheLimits) {
  for (const Sample& s : SuiteFiles("b")) {
    const Picture p = FromService(s.path);
    EXPECT_FALSE(p.ok) << s.name;
    EXPECT_EQ(p.width, -1) << s.name;
    EXPECT_EQ(p.height, -1) << s.name;
  }
  const std::string pal8 = kData + "/g/pal8.bmp";
  EXPECT_TRUE(FromService(pal8, 127, 64).ok);
  EXPECT_FALSE(FromService(pal8, 126, 64).ok);
  EXPECT_FALSE(FromService(pal8, 127, 63).ok);
  EXPECT_FALSE(FromService(kData + "/g/missing.bmp").ok);
  EXPECT_FALSE(FromService("").ok);
}

}  // namespace
}  // namespace zunk
