// The POSIX message text: the Windows-1251 table against the C library's converter, and
// the face fontconfig gives for the message font.
#include <iconv.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/posix/cp1251.h"
#include "platform/posix/text_freetype.h"

namespace zunk {
namespace {

TEST(Cp1251Test, EveryByteAsTheSystemConverterMapsIt) {
  iconv_t cd = iconv_open("UTF-32LE", "CP1251");
  ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
  for (int byte = 1; byte < 256; ++byte) {
    char in = static_cast<char>(byte);
    uint32_t out = 0;
    char* inp = &in;
    char* outp = reinterpret_cast<char*>(&out);
    size_t inLeft = 1, outLeft = sizeof out;
    if (iconv(cd, &inp, &inLeft, &outp, &outLeft) == static_cast<size_t>(-1)) {
      EXPECT_EQ(byte, 0x98) << "only 0x98 is unassigned";
      EXPECT_EQ(posix::Cp1251ToUnicode(0x98), 0x98u);
      continue;
    }
    EXPECT_EQ(posix::Cp1251ToUnicode(static_cast<uint8_t>(byte)), out) << std::hex << byte;
  }
  iconv_close(cd);
  EXPECT_EQ(posix::Cp1251ToUnicode(0xD0), 0x0420u);  // Р
  EXPECT_EQ(posix::Cp1251ToUnicode(0xA8), 0x0401u);  // Ё
}

// "Arial" resolves to a face with Arial's metrics: Liberation Sans or Arimo, bold.
TEST(MessageFontTest, BoldArialIsAMetricCompatibleFace) {
  const std::string file = posix::MessageFontFile();
  ASSERT_FALSE(file.empty()) << "no font found for the message";
  const bool compatible = file.find("LiberationSans-Bold") != std::string::npos ||
                          file.find("Arimo-Bold") != std::string::npos ||
                          file.find("Arial") != std::string::npos;
  EXPECT_TRUE(compatible) << file;
}

TEST(MessageFontTest, MeasuresAsTheMappingScales) {
  posix::MessageFont* full = posix::MessageFontCreate(768, 576);
  posix::MessageFont* wide = posix::MessageFontCreate(1536, 576);
  ASSERT_NE(full, nullptr);
  ASSERT_NE(wide, nullptr);
  int32_t cx = 0, cy = 0, wcx = 0, wcy = 0;
  posix::MessageFontExtent(full, "\xD0\xC5\xCA\xCB\xC0\xCC\xC0", 7, &cx, &cy);
  posix::MessageFontExtent(wide, "\xD0\xC5\xCA\xCB\xC0\xCC\xC0", 7, &wcx, &wcy);
  // A 75-pixel bold Arial: cell 86 pixels high (ascent 68 + descent 16 at this size).
  EXPECT_NEAR(cy, 86, 2);
  EXPECT_EQ(wcy, cy) << "the height follows the frame height only";
  EXPECT_NEAR(wcx, 2 * cx, 7) << "the width follows the frame width";
  posix::MessageFontDestroy(full);
  posix::MessageFontDestroy(wide);
}

}  // namespace
}  // namespace zunk
