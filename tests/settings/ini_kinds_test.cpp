// The thirteen setting kinds: widths, the old runtime's number reading, text forms.
#include <gtest/gtest.h>

#include <cstring>

#include "settings/ini_text.h"
#include "settings_test_util.h"

namespace zunk {
namespace {

struct AllKinds {
  uint8_t byte;
  uint8_t pad[1];
  int16_t shortValue;
  uint16_t word, word2;
  uint32_t boolValue, color;
  int32_t intValue;
  uint32_t dword;
  int32_t longValue;
  uint32_t dword2;
  int64_t int64Value;
  uint64_t uint64Value;
  std::string text;
  uint32_t unknown;
  uint8_t guard[8];
};

AllKinds target;

const SettingDef kAllKinds[] = {
    {kKindByte, "Byte", &target.byte, 7, 0, nullptr},
    {kKindShort, "Short", &target.shortValue, 0xFFFE, 0, nullptr},
    {kKindWord, "Word", &target.word, 65535, 0, nullptr},
    {kKindWord2, "Word2", &target.word2, 2, 0, nullptr},
    {kKindBool, "Bool", &target.boolValue, 1, 0, nullptr},
    {kKindColor, "Color", &target.color, 0x404040, 0, nullptr},
    {kKindInt, "Int", &target.intValue, 0xFFFFFFFF, 0, nullptr},
    {kKindDword, "Dword", &target.dword, 0x80000000, 0, nullptr},
    {kKindLong, "Long", &target.longValue, 8, 0, nullptr},
    {kKindDword2, "Dword2", &target.dword2, 9, 0, nullptr},
    {kKindInt64, "Int64", &target.int64Value, 0x00000001, 0x80000000, nullptr},
    {kKindUint64, "Uint64", &target.uint64Value, 0xFFFFFFFF, 0xFFFFFFFF, nullptr},
    {kKindText, "Text", &target.text, 0, 0, "t\xE5xt"},
    {static_cast<SettingKind>(13), "Unknown", &target.unknown, 1, 0, nullptr},
};
constexpr size_t kRows = sizeof kAllKinds / sizeof kAllKinds[0];

// The numeric fields, from byte to uint64Value, as raw bytes.
std::string NumberBytes(const AllKinds& k) {
  const auto* begin = reinterpret_cast<const char*>(&k.byte);
  const auto* end = reinterpret_cast<const char*>(&k.uint64Value + 1);
  return std::string(begin, end);
}

void Scramble() {
  std::memset(&target.byte, 0x5A, NumberBytes(target).size());
  target.text = "old";
  target.unknown = 0xABCDABCD;
  std::memset(target.guard, 0x33, sizeof target.guard);
}

TEST(SettingKindsTest, DefaultsWhenTheSectionIsMissing) {
  IniStore s;
  ASSERT_TRUE(s.OpenBytes("[Other]\nByte=1\n"));
  Scramble();
  s.LoadTable("Kinds", kAllKinds, kRows);
  EXPECT_EQ(target.byte, 7);
  EXPECT_EQ(target.shortValue, -2);
  EXPECT_EQ(target.word, 65535);
  EXPECT_EQ(target.word2, 2);
  EXPECT_EQ(target.boolValue, 1u);
  EXPECT_EQ(target.color, 0x404040u);
  EXPECT_EQ(target.intValue, -1);
  EXPECT_EQ(target.dword, 0x80000000u);
  EXPECT_EQ(target.longValue, 8);
  EXPECT_EQ(target.dword2, 9u);
  EXPECT_EQ(target.int64Value, static_cast<int64_t>(0x8000000000000001ULL));
  EXPECT_EQ(target.uint64Value, ~0ULL);
  EXPECT_EQ(target.text, "t\xE5xt");
  EXPECT_EQ(target.unknown, 0xABCDABCDu) << "codes above 12 are skipped";
}

TEST(SettingKindsTest, ReadsWithAtoiIntoEachWidth) {
  IniStore s;
  ASSERT_TRUE(
      s.OpenBytes("[Kinds]\n"
                  "Byte=300\n"     // low 8 bits: 44
                  "Short=70000\n"  // low 16 bits: 4464
                  "Word=-1\n"      // 65535
                  "Word2=+12x\n"   // digits up to the first other character
                  "Bool= \t 1\n"   // leading blanks
                  "Color=4294967295\n"
                  "Int=-2147483648\n"
                  "Dword=4294967296\n"  // wraps to 0
                  "Long=abc\n"          // no digits: 0
                  "Dword2=-\n"
                  "Int64=-9223372036854775808\n"
                  "Uint64=18446744073709551615\n"
                  "Text= keep = all \n"
                  "Unknown=5\n"));
  Scramble();
  s.LoadTable("Kinds", kAllKinds, kRows);
  EXPECT_EQ(target.byte, 44);
  EXPECT_EQ(target.shortValue, 4464);
  EXPECT_EQ(target.word, 65535);
  EXPECT_EQ(target.word2, 12);
  EXPECT_EQ(target.boolValue, 1u);
  EXPECT_EQ(target.color, 0xFFFFFFFFu);
  EXPECT_EQ(target.intValue, -2147483647 - 1);
  EXPECT_EQ(target.dword, 0u);
  EXPECT_EQ(target.longValue, 0);
  EXPECT_EQ(target.dword2, 0u);
  EXPECT_EQ(target.int64Value, -9223372036854775807LL - 1);
  EXPECT_EQ(target.uint64Value, 18446744073709551615ULL);
  EXPECT_EQ(target.text, " keep = all ");
  EXPECT_EQ(target.unknown, 0xABCDABCDu);
  for (uint8_t g : target.guard)
    EXPECT_EQ(g, 0x33) << "no kind writes past its width";
}

TEST(SettingKindsTest, WritesEachKindsFormat) {
  testing_util::ScratchFolder folder;
  IniStore s;
  s.FullPath = folder.File("kinds.ini");
  Scramble();
  target.byte = 255;
  target.shortValue = -32768;
  target.word = 65535;
  target.word2 = 0;
  target.boolValue = 0xFFFFFFFF;
  target.color = 0x00C000;
  target.intValue = -1;
  target.dword = 3000000000u;
  target.longValue = -7;
  target.dword2 = 1;
  target.int64Value = -9000000000LL;
  target.uint64Value = 18000000000000000000ULL;
  target.text = "\xD0\xC5 x=y";
  ASSERT_TRUE(s.OpenForWrite());
  s.SaveTable(kAllKinds, kRows);
  ASSERT_TRUE(s.Close());
  const std::string expected =
      "Byte=255\r\nShort=-32768\r\nWord=65535\r\nWord2=0\r\nBool=4294967295\r\n"
      "Color=49152\r\nInt=-1\r\nDword=3000000000\r\nLong=-7\r\nDword2=1\r\n"
      "Int64=-9000000000\r\nUint64=18000000000000000000\r\nText=\xD0\xC5 x=y\r\n";
  std::string bytes = testing_util::ReadBytes(s.FullPath);
  EXPECT_EQ(bytes, expected);

  // Read back under a header, every value comes back as the same bits.
  const std::string numbers = NumberBytes(target);
  const std::string text = target.text;
  ASSERT_TRUE(s.OpenBytes("[K]\r\n" + bytes));
  Scramble();
  target.pad[0] = numbers[1];
  s.LoadTable("K", kAllKinds, kRows);
  EXPECT_EQ(NumberBytes(target), numbers);
  EXPECT_EQ(target.text, text);
}

TEST(SettingKindsTest, AtoiRules) {
  EXPECT_EQ(AtoI(""), 0);
  EXPECT_EQ(AtoI("  -12abc"), -12);
  EXPECT_EQ(AtoI("- 1"), 0);
  EXPECT_EQ(AtoI("+-1"), 0);
  EXPECT_EQ(AtoI("\v\f\r\n9"), 9);
  EXPECT_EQ(AtoI("\xA0"
                 "9"),
            0)
      << "only the C locale's blanks are skipped";
  EXPECT_EQ(AtoI("2147483648"), -2147483647 - 1);
  EXPECT_EQ(AtoI64("9223372036854775808"), -9223372036854775807LL - 1);
  EXPECT_EQ(AtoI64("-00000000000000000000000000000000000012"), -12);
}

}  // namespace
}  // namespace zunk
