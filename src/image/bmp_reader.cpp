// The bitmap reader: header checks, palettes, bit fields, plain rows and RLE streams.
//
// The colour table is read from just after the header (and its bit fields), wherever the
// pixel data starts: the loader copies the whole table from there and reads the pixels at
// the file's pixel offset, so when that offset points inside the table, the table's later
// entries are bytes of the pixel data. A table entry past the end of the file has no
// colour: a pixel that names one makes the file unreadable.
//
// Colours come out as the system's loader gives them once its bitmap is copied into a
// 32-bit picture:
// - palette entries as stored (B, G, R; the fourth byte is ignored);
// - 16- and 32-bit pixels by their red, green and blue masks (5-5-5 when the file gives
//   none for 16 bits, 8-8-8 for 32). Each field keeps at most its top 8 bits, is moved to
//   the top of a byte and has its bits repeated once below: 5 bits v give v << 3 | v >> 2,
//   a 1-bit field gives 0 or 0xC0, a 2-bit field v gives v << 6 | v << 4;
// - pixels that an RLE stream skips are black.
#include "image/bmp_reader.h"

#include <cstring>

#include "base/aligned_buffer.h"

namespace zunk {
namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr uint32_t kCoreHeaderBytes = 12;
constexpr uint32_t kInfoHeaderBytes = 40;
constexpr uint32_t kV4HeaderBytes = 108;
constexpr uint32_t kV5HeaderBytes = 124;
// No picture may need more memory than this, whatever limits the caller passes.
constexpr uint64_t kMaxPixels = uint64_t{1} << 26;
// Resolutions whose ratio passes this give pixels a thousand times taller than wide or
// the reverse: no device writes that, only a damaged header.
constexpr int64_t kMaxDensityRatio = 1000;

uint16_t U16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}
uint32_t U32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
int32_t I32(const uint8_t* p) {
  return static_cast<int32_t>(U32(p));
}

// True when [offset, offset + length) lies inside a file of `size` bytes.
bool Inside(uint64_t offset, uint64_t length, size_t size) {
  return offset <= size && length <= size - offset;
}

bool DensitiesPlausible(int32_t x, int32_t y) {
  if (x <= 0 || y <= 0)
    return true;  // unknown
  return x / y <= kMaxDensityRatio && y / x <= kMaxDensityRatio;
}

struct Field {
  int shift;
  int length;
};

Field FieldOf(uint32_t mask) {
  if (!mask)
    return {0, 0};
  int shift = 0;
  while (!(mask & 1)) {
    mask >>= 1;
    ++shift;
  }
  int length = 0;
  while (mask & 1) {
    mask >>= 1;
    ++length;
  }
  if (length > 8) {
    shift += length - 8;
    length = 8;
  }
  return {shift, length};
}

uint32_t FieldValue(uint32_t pixel, Field f) {
  static const uint32_t kTopBits[9] = {0, 0x80, 0xC0, 0xE0, 0xF0, 0xF8, 0xFC, 0xFE, 0xFF};
  const int shift = f.shift - (8 - f.length);
  uint32_t v = shift < 0 ? pixel << -shift : pixel >> shift;
  v &= kTopBits[f.length];
  return v | v >> f.length;
}

// The colours pixel indices name, as 0x00RRGGBB.
struct Palette {
  uint32_t colours[256];
  uint32_t count;
};

void LoadPalette(const uint8_t* data, const BmpLayout& layout, Palette* palette) {
  palette->count = layout.paletteCount;
  const uint8_t* entry = data + layout.paletteOffset;
  for (uint32_t i = 0; i < layout.paletteCount; ++i, entry += layout.paletteEntryBytes)
    palette->colours[i] = entry[0] | entry[1] << 8 | entry[2] << 16;
}

// Plain rows: any bit count, any row order.
bool DecodeRows(const uint8_t* data, const BmpLayout& layout, uint32_t* pixels) {
  Palette palette;
  LoadPalette(data, layout, &palette);
  const Field red = FieldOf(layout.masks[0]);
  const Field green = FieldOf(layout.masks[1]);
  const Field blue = FieldOf(layout.masks[2]);
  const int bits = layout.bitCount;
  const size_t stride = (static_cast<size_t>(layout.width) * bits + 31) / 32 * 4;
  for (int32_t y = 0; y < layout.height; ++y) {
    const int32_t stored = layout.topDown ? y : layout.height - 1 - y;
    const uint8_t* row = data + layout.bitsOffset + stride * stored;
    uint32_t* out = pixels + static_cast<size_t>(layout.width) * y;
    for (int32_t x = 0; x < layout.width; ++x) {
      if (bits <= 8) {
        const size_t bit = static_cast<size_t>(x) * bits;
        const uint32_t index = row[bit / 8] >> (8 - bits - bit % 8) & ((1u << bits) - 1);
        if (index >= palette.count)
          return false;
        out[x] = palette.colours[index];
      } else if (bits == 24) {
        const uint8_t* p = row + static_cast<size_t>(x) * 3;
        out[x] = p[0] | p[1] << 8 | p[2] << 16;
      } else {
        const uint32_t v = bits == 16 ? U16(row + static_cast<size_t>(x) * 2)
                                      : U32(row + static_cast<size_t>(x) * 4);
        out[x] = FieldValue(v, blue) | FieldValue(v, green) << 8 | FieldValue(v, red) << 16;
      }
    }
  }
  return true;
}

// An RLE8 or RLE4 stream, stored bottom row first. A run, an absolute block or a jump
// that leaves the picture is malformed. The loader keeps the pixels of a line only once a
// mark (end of line, jump, end of bitmap) closes them: when the stream just stops, the
// pixels drawn since the last mark stay black, like everything after them.
bool DecodeRle(const uint8_t* data, const BmpLayout& layout, uint32_t* pixels) {
  Palette palette;
  LoadPalette(data, layout, &palette);
  const bool four = layout.compression == kBmpRle4;
  const uint8_t* p = data + layout.bitsOffset;
  const uint8_t* const end = p + layout.bitsSize;
  const int64_t width = layout.width;
  const int64_t height = layout.height;
  int64_t x = 0;
  int64_t y = 0;          // counted from the bottom row
  int64_t lineStart = 0;  // where the pixels not yet closed by a mark begin
  auto put = [&](uint32_t index) {
    if (index >= palette.count)
      return false;
    pixels[static_cast<size_t>(height - 1 - y) * layout.width + x++] = palette.colours[index];
    return true;
  };
  while (end - p >= 2) {
    const uint8_t count = p[0];
    const uint8_t value = p[1];
    p += 2;
    if (count) {
      if (y >= height || x + count > width)
        return false;
      for (int i = 0; i < count; ++i) {
        const uint32_t index = four ? (i & 1 ? value & 15 : value >> 4) : value;
        if (!put(index))
          return false;
      }
    } else if (value == 0) {  // end of line
      x = lineStart = 0;
      ++y;
    } else if (value == 1) {  // end of bitmap
      return true;
    } else if (value == 2) {  // jump right and up
      if (end - p < 2)
        return false;
      x += p[0];
      y += p[1];
      p += 2;
      if (x > width || y > height)
        return false;
      lineStart = x;
    } else {  // absolute block of `value` pixels, padded to whole 16-bit words
      const size_t bytes = four ? (value + 1u) / 2 : value;
      if (static_cast<size_t>(end - p) < bytes || y >= height || x + value > width)
        return false;
      for (int i = 0; i < value; ++i) {
        const uint32_t index = four ? (i & 1 ? p[i / 2] & 15 : p[i / 2] >> 4) : p[i];
        if (!put(index))
          return false;
      }
      const size_t padded = bytes + (bytes & 1);
      p += padded <= static_cast<size_t>(end - p) ? padded : bytes;
    }
  }
  if (y < height) {
    uint32_t* row = pixels + static_cast<size_t>(height - 1 - y) * layout.width;
    for (int64_t i = lineStart; i < x; ++i)
      row[i] = 0;
  }
  return true;
}

}  // namespace

namespace {

// The info or core header's size, kind and depth into `l`, with the two values that the
// tables and the pixels are checked against later.
bool ReadHeader(const uint8_t* h,
                uint32_t headerBytes,
                int32_t maxWidth,
                int32_t maxHeight,
                BmpLayout* l,
                uint32_t* sizeImage,
                uint32_t* colorsUsed) {
  int64_t width;
  int64_t height;
  uint32_t planes;
  if (headerBytes == kCoreHeaderBytes) {
    width = U16(h + 4);
    height = U16(h + 6);
    planes = U16(h + 8);
    l->bitCount = U16(h + 10);
    l->paletteEntryBytes = 3;
  } else {
    width = I32(h + 4);
    height = I32(h + 8);
    planes = U16(h + 12);
    l->bitCount = U16(h + 14);
    l->compression = U32(h + 16);
    *sizeImage = U32(h + 20);
    *colorsUsed = U32(h + 32);
    if (!DensitiesPlausible(I32(h + 24), I32(h + 28)))
      return false;
  }
  if (planes != 1 || width <= 0 || height == 0)
    return false;
  l->topDown = height < 0;
  if (height < 0)
    height = -height;  // 64-bit: the most negative 32-bit height is fine here
  if (maxWidth <= 0 || maxHeight <= 0 || width > maxWidth || height > maxHeight ||
      static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > kMaxPixels)
    return false;
  l->width = static_cast<int32_t>(width);
  l->height = static_cast<int32_t>(height);
  return true;
}

// The kinds of pixel data the loader draws.
bool KindDrawn(const BmpLayout& l) {
  const int bits = l.bitCount;
  switch (l.compression) {
    case kBmpRgb:
      // 2 bits a pixel is a handheld-only form that the desktop loader leaves black.
      return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    case kBmpRle8:
    case kBmpRle4:
      return bits == (l.compression == kBmpRle8 ? 8 : 4) && !l.topDown;
    case kBmpBitFields:
      return bits == 16 || bits == 32;
    default:
      return false;  // embedded JPEG or PNG, alpha bit fields: the loader draws none of them
  }
}

// The bit fields and the colour table after the header.
bool PlaceTables(const uint8_t* h,
                 uint32_t headerBytes,
                 size_t size,
                 uint32_t colorsUsed,
                 BmpLayout* l) {
  const int bits = l->bitCount;
  // Bit fields follow a 40-byte header and are part of the larger ones.
  l->paletteOffset = kFileHeaderBytes + headerBytes;
  if (l->compression == kBmpBitFields) {
    const uint8_t* m = h + kInfoHeaderBytes;
    if (headerBytes == kInfoHeaderBytes) {
      if (!Inside(l->paletteOffset, 12, size))
        return false;
      l->paletteOffset += 12;
    }
    for (int i = 0; i < 3; ++i)
      l->masks[i] = U32(m + 4 * i);
  } else if (bits == 16) {
    l->masks[0] = 0x7C00;
    l->masks[1] = 0x03E0;
    l->masks[2] = 0x001F;
  } else if (bits == 32) {
    l->masks[0] = 0xFF0000;
    l->masks[1] = 0x00FF00;
    l->masks[2] = 0x0000FF;
  }
  // The colour table: the header's count of colours (all 2^bits when it says 0) must lie in
  // the file. A core header has no count: the loader's table always has 2^bits entries, of
  // which those inside the file have colours.
  const uint32_t fullPalette = bits <= 8 ? 1u << bits : 0;
  if (headerBytes == kCoreHeaderBytes) {
    const uint64_t inFile = (size - l->paletteOffset) / 3;
    l->paletteCount = static_cast<uint32_t>(inFile < fullPalette ? inFile : fullPalette);
    return true;
  }
  const uint64_t declared = colorsUsed ? colorsUsed : fullPalette;
  if (!Inside(l->paletteOffset, declared * 4, size))
    return false;
  l->paletteCount = static_cast<uint32_t>(declared < fullPalette ? declared : fullPalette);
  return true;
}

// The pixel data at the file's offset: within the file, and as long as the header says.
bool PlacePixels(uint32_t bitsOffset, uint32_t sizeImage, size_t size, BmpLayout* l) {
  if (bitsOffset < l->paletteOffset || bitsOffset >= size)
    return false;
  l->bitsOffset = bitsOffset;
  const size_t available = size - bitsOffset;
  if (sizeImage > available)
    return false;  // the header promises more pixel data than the file holds
  if (l->compression == kBmpRle8 || l->compression == kBmpRle4) {
    l->bitsSize = sizeImage ? sizeImage : available;
    return true;
  }
  const uint64_t stride = (static_cast<uint64_t>(l->width) * l->bitCount + 31) / 32 * 4;
  const uint64_t rows = stride * static_cast<uint64_t>(l->height);
  if (rows > available)
    return false;
  l->bitsSize = static_cast<size_t>(rows);
  return true;
}

}  // namespace

bool ParseBmpLayout(const uint8_t* data,
                    size_t size,
                    int32_t maxWidth,
                    int32_t maxHeight,
                    BmpLayout* layout) {
  if (!data || size < kFileHeaderBytes + 4 || data[0] != 'B' || data[1] != 'M')
    return false;
  const uint32_t fileSize = U32(data + 2);  // 0 when the writer left it out
  const uint32_t bitsOffset = U32(data + 10);
  if (fileSize > size)
    return false;  // cut short
  const uint8_t* h = data + kFileHeaderBytes;
  const uint32_t headerBytes = U32(h);
  // The loader takes these four sizes and no other: it refuses the OS/2 2.x header (64 bytes,
  // or cut to 16) and the 52- and 56-byte forms, although their first 40 bytes read as an
  // info header, so a template in those forms never shows.
  if (headerBytes != kCoreHeaderBytes && headerBytes != kInfoHeaderBytes &&
      headerBytes != kV4HeaderBytes && headerBytes != kV5HeaderBytes)
    return false;
  if (!Inside(kFileHeaderBytes, headerBytes, size))
    return false;
  BmpLayout l;
  uint32_t sizeImage = 0;
  uint32_t colorsUsed = 0;
  if (!ReadHeader(h, headerBytes, maxWidth, maxHeight, &l, &sizeImage, &colorsUsed) ||
      !KindDrawn(l) || !PlaceTables(h, headerBytes, size, colorsUsed, &l) ||
      !PlacePixels(bitsOffset, sizeImage, size, &l))
    return false;
  *layout = l;
  return true;
}

bool DecodeBmpPixels(const uint8_t* data, size_t size, const BmpLayout& layout, uint32_t* pixels) {
  if (!Inside(layout.bitsOffset, layout.bitsSize, size) || layout.paletteCount > 256 ||
      !Inside(layout.paletteOffset, uint64_t{layout.paletteCount} * layout.paletteEntryBytes, size))
    return false;
  if (layout.compression == kBmpRle8 || layout.compression == kBmpRle4) {
    std::memset(pixels, 0, static_cast<size_t>(layout.width) * layout.height * 4);
    return DecodeRle(data, layout, pixels);
  }
  return DecodeRows(data, layout, pixels);
}

uint32_t* ReadBmp(const uint8_t* data,
                  size_t size,
                  int32_t maxWidth,
                  int32_t maxHeight,
                  int32_t* width,
                  int32_t* height) {
  BmpLayout layout;
  if (!ParseBmpLayout(data, size, maxWidth, maxHeight, &layout))
    return nullptr;
  auto* pixels =
      static_cast<uint32_t*>(AllocAligned(static_cast<size_t>(layout.width) * layout.height * 4));
  if (!pixels)
    return nullptr;
  if (!DecodeBmpPixels(data, size, layout, pixels)) {
    FreeAligned(pixels);
    return nullptr;
  }
  *width = layout.width;
  *height = layout.height;
  return pixels;
}

}  // namespace zunk
