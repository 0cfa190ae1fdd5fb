// The table of settings keys in the offline tool's guide against the plug-in's own
// setting table: the same keys in the same order, the same defaults as the file writes
// them, and the ranges the settings dialog accepts.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "dialog/dialog_binding.h"
#include "settings/channel_profile.h"
#include "settings/setting_table.h"

namespace {

struct GuideRow {
  std::string key, range, defaultText;
};

// The cells of a table line "| a | b | c | d |", without their backquotes.
std::vector<std::string> Cells(const std::string& line) {
  std::vector<std::string> cells;
  std::istringstream in(line.substr(1));
  std::string cell;
  while (std::getline(in, cell, '|')) {
    std::string t;
    for (char c : cell)
      if (c != '`')
        t += c;
    const size_t a = t.find_first_not_of(' '), b = t.find_last_not_of(' ');
    cells.push_back(a == std::string::npos ? "" : t.substr(a, b - a + 1));
  }
  return cells;
}

std::vector<GuideRow> GuideKeys() {
  std::ifstream in(ZUNK_SOURCE_DIR "/docs/zunk-host.md");
  std::string line;
  bool inSection = false;
  std::vector<GuideRow> rows;
  while (std::getline(in, line)) {
    if (line.rfind("## ", 0) == 0)
      inSection = line == "## Settings keys";
    if (!inSection || line.rfind("| `", 0) != 0)
      continue;
    const std::vector<std::string> c = Cells(line);
    if (c.size() >= 4)
      rows.push_back({c[0], c[1], c[2]});
  }
  return rows;
}

// Windows-1251 Cyrillic as UTF-8.
std::string Utf8(const char* cp1251) {
  std::string out;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(cp1251); *p; ++p) {
    if (*p < 0xC0) {
      out += static_cast<char>(*p);
      continue;
    }
    const unsigned code = 0x410 + (*p - 0xC0);
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
  return out;
}

std::string DefaultAsWritten(const zunk::ProfileSetting& d) {
  if (d.kind == zunk::kKindText)
    return d.defaultText[0] == ' ' ? "none (the dialog's prompt)" : Utf8(d.defaultText);
  char buf[32];
  if (d.kind == zunk::kKindInt)
    std::snprintf(buf, sizeof buf, "%d", static_cast<int32_t>(d.defaultValue));
  else
    std::snprintf(buf, sizeof buf, "%u", d.defaultValue);
  return buf;
}

// The range the dialog accepts, where it is a number or a switch; "" for the others.
std::string DialogRange(const zunk::ProfileSetting& d) {
  for (const zunk::NumericBinding& b : zunk::kNumericBindings)
    if (d.signedField && b.field == d.signedField)
      return std::to_string(b.minimum) + " .. " + std::to_string(b.maximum);
  if (d.kind == zunk::kKindBool)
    return "0, 1";
  if (d.kind == zunk::kKindColor)
    return "a colour";
  return "";
}

TEST(GuideSettingsKeys, TheTableIsThePluginsSettingTable) {
  const std::vector<GuideRow> rows = GuideKeys();
  ASSERT_EQ(rows.size(), zunk::kSettingCount) << "rows in the guide's table of settings keys";
  for (size_t i = 0; i < zunk::kSettingCount; ++i) {
    const zunk::ProfileSetting& d = zunk::SettingTable[i];
    SCOPED_TRACE(d.key);
    EXPECT_EQ(rows[i].key, d.key);
    EXPECT_EQ(rows[i].defaultText, DefaultAsWritten(d));
    const std::string range = DialogRange(d);
    if (!range.empty()) {
      EXPECT_EQ(rows[i].range, range);
    }
  }
}

}  // namespace
