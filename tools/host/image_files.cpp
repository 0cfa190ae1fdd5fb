// WriteBmp24 and WritePng. The PNG's zlib stream uses stored blocks: previews are small
// and no compression library is needed.
#include "image_files.h"

#include <string>

namespace zunkhost {
namespace {

void Put32le(std::string* s, uint32_t v) {
  for (int i = 0; i < 4; ++i)
    *s += static_cast<char>(v >> (8 * i));
}

void Put16le(std::string* s, uint16_t v) {
  *s += static_cast<char>(v);
  *s += static_cast<char>(v >> 8);
}

void Put32be(std::string* s, uint32_t v) {
  for (int i = 3; i >= 0; --i)
    *s += static_cast<char>(v >> (8 * i));
}

uint32_t Crc32(const std::string& data, size_t from) {
  static uint32_t table[256];
  if (!table[1])
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k)
        c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      table[n] = c;
    }
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = from; i < data.size(); ++i)
    c = table[(c ^ static_cast<uint8_t>(data[i])) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

void Chunk(std::string* png, const char* type, const std::string& body) {
  Put32be(png, static_cast<uint32_t>(body.size()));
  size_t start = png->size();
  *png += type;
  *png += body;
  Put32be(png, Crc32(*png, start));
}

bool WriteAll(FILE* f, const std::string& bytes) {
  return std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size() && std::fflush(f) == 0;
}

}  // namespace

bool WriteBmp24(FILE* f, int width, int height, const std::vector<uint8_t>& bgr) {
  const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
  const uint32_t image = stride * static_cast<uint32_t>(height);
  std::string s = "BM";
  Put32le(&s, 14 + 40 + image);
  Put32le(&s, 0);
  Put32le(&s, 14 + 40);
  Put32le(&s, 40);  // BITMAPINFOHEADER
  Put32le(&s, static_cast<uint32_t>(width));
  Put32le(&s, static_cast<uint32_t>(height));  // positive: bottom-up
  Put16le(&s, 1);
  Put16le(&s, 24);
  Put32le(&s, 0);  // BI_RGB
  Put32le(&s, image);
  Put32le(&s, 2835);  // 72 dpi
  Put32le(&s, 2835);
  Put32le(&s, 0);
  Put32le(&s, 0);
  for (int y = height - 1; y >= 0; --y) {
    const uint8_t* row = &bgr[static_cast<size_t>(y) * width * 3];
    s.append(reinterpret_cast<const char*>(row), static_cast<size_t>(width) * 3);
    s.append(stride - static_cast<uint32_t>(width) * 3, '\0');
  }
  return WriteAll(f, s);
}

bool WritePng(FILE* f, int width, int height, const std::vector<uint8_t>& rgb) {
  std::string png = "\x89PNG\r\n\x1a\n";
  std::string header;
  Put32be(&header, static_cast<uint32_t>(width));
  Put32be(&header, static_cast<uint32_t>(height));
  header += "\x08\x02";            // 8 bits, RGB
  header += std::string(3, '\0');  // deflate, adaptive filters, no interlace
  Chunk(&png, "IHDR", header);
  std::string raw;
  for (int y = 0; y < height; ++y) {
    raw += '\0';  // no filter
    raw.append(reinterpret_cast<const char*>(&rgb[static_cast<size_t>(y) * width * 3]),
               static_cast<size_t>(width) * 3);
  }
  std::string z = "\x78\x01";
  uint32_t a = 1, b = 0;
  for (unsigned char c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  for (size_t at = 0; at < raw.size() || at == 0; at += 65535) {
    size_t n = std::min<size_t>(65535, raw.size() - at);
    z += static_cast<char>(at + n >= raw.size() ? 1 : 0);
    Put16le(&z, static_cast<uint16_t>(n));
    Put16le(&z, static_cast<uint16_t>(~n));
    z.append(raw, at, n);
    if (raw.empty())
      break;
  }
  Put32be(&z, (b << 16) | a);
  Chunk(&png, "IDAT", z);
  Chunk(&png, "IEND", "");
  return WriteAll(f, png);
}

}  // namespace zunkhost
