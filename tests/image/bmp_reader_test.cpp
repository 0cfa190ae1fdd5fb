// The bitmap reader on hand-built files: each header kind, depth and compression with
// known colours, and the malformed files it must refuse.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "base/aligned_buffer.h"
#include "image/bmp_builder.h"
#include "image/bmp_reader.h"

namespace zunk {
namespace {

using testing_util::BmpSpec;
using testing_util::BuildBmp;
using testing_util::Bytes;
using testing_util::PackRows;
using testing_util::Set32;

struct Picture {
  bool ok = false;
  int32_t width = -7;
  int32_t height = -7;
  std::vector<uint32_t> pixels;  // 0x00RRGGBB, top row first
};

Picture Read(const Bytes& file, int32_t maxWidth = 768, int32_t maxHeight = 576) {
  Picture p;
  uint32_t* px = ReadBmp(file.data(), file.size(), maxWidth, maxHeight, &p.width, &p.height);
  p.ok = px != nullptr;
  if (px) {
    p.pixels.assign(px, px + static_cast<size_t>(p.width) * p.height);
    FreeAligned(px);
  }
  return p;
}

void ExpectRejected(const Bytes& file, const std::string& why) {
  const Picture p = Read(file);
  EXPECT_FALSE(p.ok) << why;
  EXPECT_EQ(p.width, -7) << why << ": width left alone";
  EXPECT_EQ(p.height, -7) << why << ": height left alone";
}

const std::vector<uint32_t> kFourColours = {0x000000, 0xFF0000, 0x00FF00, 0x123456};

// A 5 x 3 picture of palette indices 0..3, top row first.
const std::vector<uint32_t> kIndices = {0, 1, 2, 3, 0,  //
                                        3, 3, 2, 1, 1,  //
                                        2, 0, 0, 0, 3};

std::vector<uint32_t> Colours(const std::vector<uint32_t>& indices,
                              const std::vector<uint32_t>& palette) {
  std::vector<uint32_t> out;
  for (uint32_t i : indices)
    out.push_back(palette[i]);
  return out;
}

BmpSpec PalettedSpec(uint32_t headerBytes, int32_t height) {
  BmpSpec s;
  s.headerBytes = headerBytes;
  s.width = 5;
  s.height = height;
  s.bitCount = 8;
  s.palette = kFourColours;
  if (headerBytes == 12)
    s.palette.resize(256, 0x777777);  // a core table is always full
  s.bits = PackRows(5, height, 8, kIndices);
  return s;
}

TEST(BmpReader, EveryHeaderKindAndRowOrderGivesTheSamePicture) {
  const std::vector<uint32_t> expected = Colours(kIndices, kFourColours);
  for (uint32_t header : {12u, 40u, 108u, 124u}) {
    for (int32_t height : {3, -3}) {
      if (header == 12 && height < 0)
        continue;  // core headers have no top-down form
      SCOPED_TRACE("header " + std::to_string(header) + " height " + std::to_string(height));
      const Picture p = Read(BuildBmp(PalettedSpec(header, height)));
      ASSERT_TRUE(p.ok);
      EXPECT_EQ(p.width, 5);
      EXPECT_EQ(p.height, 3);
      EXPECT_EQ(p.pixels, expected);
    }
  }
}

TEST(BmpReader, PalettedDepthsUnpackEveryPixelOfOddWidths) {
  for (int bits : {1, 4, 8}) {
    for (int32_t width : {1, 7, 9, 31, 33}) {
      SCOPED_TRACE("bits " + std::to_string(bits) + " width " + std::to_string(width));
      const uint32_t colours = 1u << bits;
      BmpSpec s;
      s.width = width;
      s.height = -2;
      s.bitCount = static_cast<uint16_t>(bits);
      for (uint32_t i = 0; i < colours; ++i)
        s.palette.push_back((0x010305 * i + 0x100000) & 0xFFFFFF);
      std::vector<uint32_t> indices;
      for (int32_t i = 0; i < width * 2; ++i)
        indices.push_back((i * 7 + i / 3) % colours);
      s.bits = PackRows(width, -2, bits, indices);
      const Picture p = Read(BuildBmp(s));
      ASSERT_TRUE(p.ok);
      EXPECT_EQ(p.pixels, Colours(indices, s.palette));
    }
  }
}

TEST(BmpReader, PaletteLengthsAndIndices) {
  // Fewer colours than the depth allows, used within range: fine.
  BmpSpec s = PalettedSpec(40, 3);
  EXPECT_TRUE(Read(BuildBmp(s)).ok);
  // An index past the header's count of colours has no colour: refused.
  s.colorsUsed = 3;
  ExpectRejected(BuildBmp(s), "index 3 with 3 colours");
  // More colours than the depth allows: the first 2^bits count.
  s = PalettedSpec(40, 3);
  s.palette.resize(300, 0xABCDEF);
  const Picture p = Read(BuildBmp(s));
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.pixels, Colours(kIndices, kFourColours));
  // The table's fourth byte plays no part.
  s = PalettedSpec(40, 3);
  Bytes file = BuildBmp(s);
  for (int i = 0; i < 4; ++i)
    file[54 + 4 * i + 3] = 0xFF;
  EXPECT_EQ(Read(file).pixels, Colours(kIndices, kFourColours));
}

// The loader reads the whole colour table from just after the header and the pixels from
// the file's pixel offset. A table shorter than that, with the pixels right after it, runs
// into the pixel data: the bytes there are the colours of the later entries.
TEST(BmpReader, ShortTablesRunIntoThePixelData) {
  // One row of six 8-bit pixels after two stored colours: bytes 0 1 2 3 1 0 and two of
  // padding. A core table always has 256 entries; the info header further on counts 4.
  const std::vector<uint32_t> indices = {0, 1, 2, 3, 1, 0};
  BmpSpec s;
  s.width = 6;
  s.bitCount = 8;
  s.palette = {0x112233, 0x445566};
  s.bits = PackRows(6, 1, 8, indices);

  s.headerBytes = 12;
  // Entry 2 is bytes 0 1 2 (B, G, R), entry 3 bytes 3 1 0.
  const std::vector<uint32_t> core = {0x112233, 0x445566, 0x020100, 0x000103, 0x445566, 0x112233};
  Picture p = Read(BuildBmp(s));
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.pixels, core);
  // Entry 4 would be bytes 0 0 and one past the end of the file: no colour.
  s.bits = PackRows(6, 1, 8, {0, 1, 2, 3, 4, 0});
  ExpectRejected(BuildBmp(s), "core entry 4 runs past the end of the file");
  Bytes longer = BuildBmp(s);
  longer.push_back(0x77);
  p = Read(longer);
  ASSERT_TRUE(p.ok) << "one more byte completes entry 4";
  EXPECT_EQ(p.pixels[4], 0x770000u);
  // With a 4-bit core table of one stored colour, the pixel bytes name entries 1 to 15.
  BmpSpec four;
  four.headerBytes = 12;
  four.width = 32;
  four.height = 3;
  four.bitCount = 4;
  four.palette = {0xABCDEF};
  std::vector<uint32_t> all;
  for (uint32_t i = 0; i < 96; ++i)
    all.push_back(i * 7 % 16);
  four.bits = PackRows(32, 3, 4, all);
  const Bytes fourFile = BuildBmp(four);
  p = Read(fourFile);
  ASSERT_TRUE(p.ok);
  for (size_t i = 0; i < all.size(); ++i) {
    const uint8_t* entry = fourFile.data() + 26 + 3 * all[i];
    EXPECT_EQ(p.pixels[i], static_cast<uint32_t>(entry[0] | entry[1] << 8 | entry[2] << 16))
        << "pixel " << i;
  }

  // The same with an info header that counts 4 colours and stores 2: entry 2 is bytes
  // 0 1 2 3, entry 3 bytes 1 0 0 0 (the fourth byte of each is not a colour).
  s.headerBytes = 40;
  s.colorsUsed = 4;
  s.bits = PackRows(6, 1, 8, indices);
  p = Read(BuildBmp(s));
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.pixels,
            (std::vector<uint32_t>{0x112233, 0x445566, 0x020100, 0x000001, 0x445566, 0x112233}));
}

// Header sizes that other readers take as an info header followed by more fields, and the
// system's loader refuses: a template in these forms would never show, so the reader
// refuses it too. The same picture with a 40-byte header is read.
TEST(BmpReader, HeaderFormsTheLoaderRefusesAreRefused) {
  const std::vector<uint32_t> expected = Colours(kIndices, kFourColours);
  ASSERT_EQ(Read(BuildBmp(PalettedSpec(40, 3))).pixels, expected);
  const struct {
    uint32_t size;
    const char* what;
  } forms[] = {{16, "OS/2 2.x cut to 16 bytes"},
               {52, "info header with the three masks"},
               {56, "info header with four masks"},
               {64, "OS/2 2.x"}};
  for (const auto& f : forms)
    ExpectRejected(BuildBmp(PalettedSpec(f.size, 3)), f.what);
}

// One 16- or 32-bit pixel value decoded through the given masks (none: the defaults).
uint32_t DecodeOne(int bits, uint32_t value, std::vector<uint32_t> masks = {}) {
  BmpSpec s;
  s.bitCount = static_cast<uint16_t>(bits);
  s.compression = masks.empty() ? 0 : 3;
  s.masks = masks;
  s.bits = PackRows(1, 1, bits, {value});
  const Picture p = Read(BuildBmp(s));
  EXPECT_TRUE(p.ok);
  return p.ok ? p.pixels[0] : 0xDEADBEEF;
}

TEST(BmpReader, SixteenBitFieldsRepeatTheirTopBitsOnce) {
  // 5-5-5 by default: v << 3 | v >> 2, so full fields are 255.
  EXPECT_EQ(DecodeOne(16, 0x7FFF), 0xFFFFFFu);
  EXPECT_EQ(DecodeOne(16, 0x0000), 0x000000u);
  EXPECT_EQ(DecodeOne(16, 0x0001), 0x000008u);
  EXPECT_EQ(DecodeOne(16, 0x0010), 0x000084u);
  EXPECT_EQ(DecodeOne(16, 0x7C00), 0xFF0000u);
  EXPECT_EQ(DecodeOne(16, 0x03E0), 0x00FF00u);
  EXPECT_EQ(DecodeOne(16, 0x8000), 0x000000u) << "the top bit is unused";
  // 5-6-5 through bit fields.
  const std::vector<uint32_t> k565 = {0xF800, 0x07E0, 0x001F};
  EXPECT_EQ(DecodeOne(16, 0xFFFF, k565), 0xFFFFFFu);
  EXPECT_EQ(DecodeOne(16, 0x0020, k565), 0x000400u);
  EXPECT_EQ(DecodeOne(16, 0x0400, k565), 0x008200u);
  // Narrow fields get a single repetition: 2-3-1 bits.
  const std::vector<uint32_t> k231 = {0x30, 0x0E, 0x01};
  EXPECT_EQ(DecodeOne(16, 0x01, k231), 0x0000C0u);
  EXPECT_EQ(DecodeOne(16, 0x0E, k231), 0x00FC00u);
  EXPECT_EQ(DecodeOne(16, 0x08, k231), 0x009000u);
  EXPECT_EQ(DecodeOne(16, 0x20, k231), 0xA00000u);
  EXPECT_EQ(DecodeOne(16, 0x30, k231), 0xF00000u);
  // 4-4-4 with alpha bits that play no part.
  const std::vector<uint32_t> k444 = {0x0F00, 0x00F0, 0x000F};
  EXPECT_EQ(DecodeOne(16, 0xF80F, k444), 0x8800FFu);
  // A field of no bits is 0.
  EXPECT_EQ(DecodeOne(16, 0xFFFF, {0xF800, 0, 0x001F}), 0xFF00FFu);
}

TEST(BmpReader, ThirtyTwoBitFieldsKeepTheirTopEightBits) {
  EXPECT_EQ(DecodeOne(32, 0xAB123456), 0x123456u) << "the fourth byte is dropped";
  EXPECT_EQ(DecodeOne(32, 0x12345678, {0xFF000000, 0x0000FF00, 0x00FF0000}), 0x125634u);
  const std::vector<uint32_t> k11_11_10 = {0xFFE00000, 0x001FFC00, 0x000003FF};
  EXPECT_EQ(DecodeOne(32, 0xFFFFFFFF, k11_11_10), 0xFFFFFFu);
  EXPECT_EQ(DecodeOne(32, 0x80100200, k11_11_10), 0x808080u);
  EXPECT_EQ(DecodeOne(32, 0x001FFFFF, k11_11_10), 0x00FFFFu);
  // A mask of separate runs counts its lowest run only.
  EXPECT_EQ(DecodeOne(32, 0x0000FFFF, {0x0000F00F, 0x0, 0x0}), 0xFF0000u);
}

TEST(BmpReader, TwentyFourBitRowsArePaddedToFourBytes) {
  BmpSpec s;
  s.width = 3;
  s.height = 2;
  const std::vector<uint32_t> values = {0x010203, 0x040506, 0x070809, 0xA0B0C0, 0xD0E0F0, 0xFFFFFF};
  s.bits = PackRows(3, 2, 24, values);
  ASSERT_EQ(s.bits.size(), 24u);
  const Picture p = Read(BuildBmp(s));
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.pixels, values);
}

BmpSpec RleSpec(int bits, int32_t width, int32_t height, Bytes stream) {
  BmpSpec s;
  s.width = width;
  s.height = height;
  s.bitCount = static_cast<uint16_t>(bits);
  s.compression = bits == 8 ? 1 : 2;
  s.palette = {0x000001, 0x0000AA, 0x00BB00, 0xCC0000, 0xDDDDDD};
  s.bits = std::move(stream);
  return s;
}

TEST(BmpReader, Rle8RunsBlocksJumpsAndLineEnds) {
  // 6 x 3, bottom row first: row 2 (bottom) = run of 3 x 1, absolute 3 (2, 3, 4) + pad;
  // row 1 = jump 2 right, run 2 x 3, end of line; row 0 = run 6 x 2, end of bitmap.
  const Bytes stream = {3, 1, 0, 3, 2, 3, 4, 0, 0, 0,  //
                        0, 2, 2, 0, 2, 3, 0, 0,        //
                        6, 2, 0, 1};
  const Picture p = Read(BuildBmp(RleSpec(8, 6, 3, stream)));
  ASSERT_TRUE(p.ok);
  const uint32_t k = 0, a = 0xAA, b = 0xBB00, c = 0xCC0000, d = 0xDDDDDD;
  EXPECT_EQ(p.pixels, (std::vector<uint32_t>{b, b, b, b, b, b,  //
                                             k, k, c, c, k, k,  //
                                             a, a, a, b, c, d}))
      << "skipped pixels are black";
}

TEST(BmpReader, Rle4AlternatesNibbles) {
  // 5 x 2: bottom row = run of 5 alternating 1 and 2; top row = absolute 3 (4, 3, 1),
  // no padding after 2 bytes, and the end mark.
  const Bytes stream = {5, 0x12, 0, 0, 0, 3, 0x43, 0x10, 0, 1};
  const Picture p = Read(BuildBmp(RleSpec(4, 5, 2, stream)));
  ASSERT_TRUE(p.ok);
  const uint32_t k = 0, a = 0xAA, b = 0xBB00, c = 0xCC0000, d = 0xDDDDDD;
  EXPECT_EQ(p.pixels, (std::vector<uint32_t>{d, c, a, k, k,  //
                                             a, b, a, b, a}));
}

TEST(BmpReader, RlePixelsAfterTheLastMarkStayBlackWhenTheStreamStops) {
  const uint32_t k = 0, a = 0xAA, b = 0xBB00, c = 0xCC0000;
  // 4 x 2: bottom row = run of 2, closed by a jump 1 right; run of 1, then the data ends.
  Picture p = Read(BuildBmp(RleSpec(8, 4, 2, {2, 1, 0, 2, 1, 0, 1, 2})));
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.pixels, (std::vector<uint32_t>{k, k, k, k, a, a, k, k}));
  // An end of line closes the row: the top row's absolute block then stops unclosed.
  p = Read(BuildBmp(RleSpec(8, 4, 2, {4, 2, 0, 0, 0, 3, 3, 3, 3, 0})));
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.pixels, (std::vector<uint32_t>{k, k, k, k, b, b, b, b}));
  // Closed by a final end of line, the same block stays.
  p = Read(BuildBmp(RleSpec(8, 4, 2, {4, 2, 0, 0, 0, 3, 3, 3, 3, 0, 0, 0})));
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.pixels, (std::vector<uint32_t>{c, c, c, k, b, b, b, b}));
}

TEST(BmpReader, MalformedRleStreamsAreRefused) {
  struct Case {
    const char* why;
    int bits;
    Bytes stream;
  };
  const Case cases[] = {
      {"run past the right edge", 8, {7, 1}},
      {"run after the top row", 8, {0, 0, 0, 0, 0, 0, 1, 1}},
      {"absolute block past the right edge", 8, {0, 7, 1, 1, 1, 1, 1, 1, 1, 0}},
      {"absolute block cut by the end of the data", 8, {0, 5, 1, 1, 1}},
      {"jump past the right edge", 8, {0, 2, 7, 0}},
      {"jump past the top", 8, {0, 2, 0, 4}},
      {"jump cut by the end of the data", 8, {0, 2, 1}},
      {"index past the palette in a run", 8, {2, 5}},
      {"index past the palette in a block", 8, {0, 3, 1, 9, 1, 0}},
      {"RLE4 run past the right edge", 4, {7, 0x11}},
      {"RLE4 index past the palette", 4, {2, 0x1F}},
      {"RLE4 block cut short", 4, {0, 5, 0x11}},
  };
  for (const Case& c : cases)
    ExpectRejected(BuildBmp(RleSpec(c.bits, 6, 3, c.stream)), c.why);
  // The same streams within bounds are fine: a jump to the corner, a last byte alone.
  EXPECT_TRUE(Read(BuildBmp(RleSpec(8, 6, 3, {0, 2, 6, 3, 0, 1}))).ok);
  EXPECT_TRUE(Read(BuildBmp(RleSpec(8, 6, 3, {6, 1, 0}))).ok);
  EXPECT_TRUE(Read(BuildBmp(RleSpec(4, 6, 3, {6, 0x34}))).ok);
}

// A valid 8-bit 5 x 3 file with the byte offsets of its fields.
Bytes ValidFile() {
  return BuildBmp(PalettedSpec(40, 3));
}
constexpr size_t kWidthAt = 18, kHeightAt = 22, kPlanesAt = 26, kBitsAt = 28, kCompressionAt = 30,
                 kSizeImageAt = 34, kDensityAt = 38, kColoursAt = 46;

TEST(BmpReader, MalformedHeadersAreRefused) {
  using Edit = std::function<void(Bytes*)>;
  auto set16 = [](size_t at, uint32_t v) {
    return Edit([=](Bytes* b) {
      (*b)[at] = v & 0xFF;
      (*b)[at + 1] = v >> 8 & 0xFF;
    });
  };
  auto set32 = [](size_t at, uint32_t v) { return Edit([=](Bytes* b) { Set32(b, at, v); }); };
  const struct {
    const char* why;
    Edit edit;
  } cases[] = {
      {"not BM", [](Bytes* b) { (*b)[1] = 'A'; }},
      {"file size past the end", set32(2, 1000000)},
      {"header size 66", set32(14, 66)},
      {"header size huge", set32(14, 0xFFFFFFF0)},
      {"two planes", set16(kPlanesAt, 2)},
      {"zero planes", set16(kPlanesAt, 0)},
      {"2 bits", set16(kBitsAt, 2)},
      {"3 bits", set16(kBitsAt, 3)},
      {"0 bits", set16(kBitsAt, 0)},
      {"30000 bits", set16(kBitsAt, 30000)},
      {"width 0", set32(kWidthAt, 0)},
      {"negative width", set32(kWidthAt, static_cast<uint32_t>(-5))},
      {"height 0", set32(kHeightAt, 0)},
      {"most negative height", set32(kHeightAt, 0x80000000u)},
      {"JPEG inside", set32(kCompressionAt, 4)},
      {"PNG inside", set32(kCompressionAt, 5)},
      {"alpha bit fields", set32(kCompressionAt, 6)},
      {"RLE4 on 8 bits", set32(kCompressionAt, 2)},
      {"bit fields on 8 bits", set32(kCompressionAt, 3)},
      {"image size past the end", set32(kSizeImageAt, 0x7F000000)},
      {"palette past the end", set32(kColoursAt, 0x12345678)},
      {"palette count wraps", set32(kColoursAt, 0x40000001)},
      {"pixels inside the header", set32(10, 53)},
      {"pixels inside the file header", set32(10, 2)},
      {"pixels past the end", set32(10, 1000)},
      {"pixels cut short", [](Bytes* b) { Set32(b, 10, static_cast<uint32_t>(b->size() - 14)); }},
      {"pixels 3000 times wider than tall", set32(kDensityAt, 3000 * 2835)},
      {"pixels 3000 times taller than wide", set32(kDensityAt + 4, 3000 * 2835)},
  };
  ASSERT_TRUE(Read(ValidFile()).ok);
  for (const auto& c : cases) {
    Bytes file = ValidFile();
    c.edit(&file);
    ExpectRejected(file, c.why);
  }
}

TEST(BmpReader, OddButHarmlessFieldsAreAccepted) {
  Bytes file = ValidFile();
  Set32(&file, 2, 0);             // no file size
  Set32(&file, kSizeImageAt, 0);  // no image size
  Set32(&file, kDensityAt, 0);    // unknown resolution
  EXPECT_TRUE(Read(file).ok);
  // No count of colours means all 256; the table may then run into the pixels.
  BmpSpec big;
  big.width = 40;
  big.height = 30;
  big.bitCount = 8;
  big.palette = kFourColours;
  big.colorsUsed = 0;
  big.bits = PackRows(40, 30, 8, std::vector<uint32_t>(1200, 3));
  EXPECT_EQ(Read(BuildBmp(big)).pixels, std::vector<uint32_t>(1200, 0x123456));
  file = ValidFile();
  Set32(&file, kColoursAt, 0);
  ExpectRejected(file, "a table of 256 colours past the end");
  file = ValidFile();
  file.resize(file.size() + 100, 0x55);  // trailing bytes
  EXPECT_TRUE(Read(file).ok);
  BmpSpec s = PalettedSpec(40, 3);
  s.gap = 37;  // unused bytes before the pixels
  EXPECT_EQ(Read(BuildBmp(s)).pixels, Colours(kIndices, kFourColours));
  s.xDensity = 2835;
  s.yDensity = 1417;  // pixels twice as tall as wide
  EXPECT_TRUE(Read(BuildBmp(s)).ok);
}

TEST(BmpReader, RleMayNotBeStoredTopDown) {
  ExpectRejected(BuildBmp(RleSpec(8, 6, -3, {6, 1, 0, 1})), "top-down RLE8");
  ExpectRejected(BuildBmp(RleSpec(4, 6, -3, {6, 1, 0, 1})), "top-down RLE4");
}

TEST(BmpReader, EveryCutOfAValidFileIsRefused) {
  std::vector<Bytes> files = {ValidFile(), BuildBmp(PalettedSpec(12, 3)),
                              BuildBmp(RleSpec(8, 6, 3, {3, 1, 0, 3, 2, 3, 4, 0, 0, 1}))};
  BmpSpec bf;
  bf.bitCount = 16;
  bf.compression = 3;
  bf.masks = {0xF800, 0x07E0, 0x001F};
  bf.width = 3;
  bf.height = 2;
  bf.bits = PackRows(3, 2, 16, {1, 2, 3, 4, 5, 6});
  files.push_back(BuildBmp(bf));
  const bool compressed[] = {false, false, true, false};
  for (size_t f = 0; f < files.size(); ++f) {
    ASSERT_TRUE(Read(files[f]).ok) << "file " << f;
    for (size_t n = 0; n < files[f].size(); ++n) {
      // A copy of exactly n bytes, so that a read past the cut is an error under ASan.
      Bytes cut(files[f].begin(), files[f].begin() + n);
      const std::string why = "file " + std::to_string(f) + " cut to " + std::to_string(n);
      ExpectRejected(cut, why);
      // Without the file size the other checks see the cut; an RLE stream cut between
      // its pairs just ends early.
      if (n >= 6) {
        Set32(&cut, 2, 0);
        if (!compressed[f])
          ExpectRejected(cut, why + " without its file size");
        else
          Read(cut);
      }
    }
  }
}

TEST(BmpReader, SizeLimits) {
  auto blank = [](int32_t width, int32_t height) {
    BmpSpec s;
    s.bitCount = 1;
    s.width = width;
    s.height = height;
    s.palette = {0, 0xFFFFFF};
    s.bits.assign((static_cast<size_t>(width) + 31) / 32 * 4 * (height < 0 ? -height : height), 0);
    return BuildBmp(s);
  };
  EXPECT_TRUE(Read(blank(768, 576)).ok);
  EXPECT_TRUE(Read(blank(768, -576)).ok);
  EXPECT_FALSE(Read(blank(769, 576)).ok);
  EXPECT_FALSE(Read(blank(768, 577)).ok);
  EXPECT_FALSE(Read(blank(768, -577)).ok);
  EXPECT_FALSE(Read(blank(10, 10), 9, 576).ok);
  EXPECT_FALSE(Read(blank(10, 10), 0, 0).ok);
  EXPECT_FALSE(Read(blank(10, 10), -1, -1).ok);
  // However generous the caller, no picture may need gigabytes.
  EXPECT_FALSE(Read(blank(65536, 2048), INT_MAX, INT_MAX).ok);
  EXPECT_TRUE(Read(blank(4096, 2048), INT_MAX, INT_MAX).ok);
}

TEST(BmpReader, NoDataIsRefused) {
  int32_t w = 1, h = 1;
  EXPECT_EQ(ReadBmp(nullptr, 0, 768, 576, &w, &h), nullptr);
  const uint8_t bm[] = {'B', 'M'};
  EXPECT_EQ(ReadBmp(bm, sizeof bm, 768, 576, &w, &h), nullptr);
  EXPECT_EQ(w, 1);
  EXPECT_EQ(h, 1);
}

TEST(BmpReader, DecodeChecksTheLayoutItIsGiven) {
  const Bytes file = ValidFile();
  BmpLayout layout;
  ASSERT_TRUE(ParseBmpLayout(file.data(), file.size(), 768, 576, &layout));
  std::vector<uint32_t> pixels(15);
  EXPECT_TRUE(DecodeBmpPixels(file.data(), file.size(), layout, pixels.data()));
  EXPECT_FALSE(DecodeBmpPixels(file.data(), file.size() - 1, layout, pixels.data()));
  layout.paletteCount = 257;
  EXPECT_FALSE(DecodeBmpPixels(file.data(), file.size(), layout, pixels.data()));
}

}  // namespace
}  // namespace zunk
