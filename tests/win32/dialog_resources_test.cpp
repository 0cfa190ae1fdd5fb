// The module's own resources read from the built file: the settings dialog's and the
// about box's templates control by control (identifier, class, caption, style and
// rectangle, in creation order), and the two bitmaps.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "dialog_harness.h"

namespace {

using zunktest::Cp1251;

// One control of an extended dialog template.
struct Item {
  uint32_t style = 0;
  uint32_t exStyle = 0;
  int x = 0, y = 0, cx = 0, cy = 0;
  int id = 0;
  std::string cls;      // predefined classes by name
  std::string caption;  // Windows-1251; "#n" for an ordinal
};

struct Template {
  uint32_t style = 0;
  uint32_t exStyle = 0;
  int cx = 0, cy = 0;
  std::string caption;
  int pointSize = 0;
  std::string face;
  std::vector<Item> items;
};

class Reader {
 public:
  Reader(const uint8_t* p, size_t n) : p_(p), n_(n) {}
  uint16_t Word() { return at_ + 2 <= n_ ? Get<uint16_t>() : (ok_ = false, 0); }
  uint32_t Dword() { return at_ + 4 <= n_ ? Get<uint32_t>() : (ok_ = false, 0); }
  int Short() { return static_cast<int16_t>(Word()); }
  std::string Text() {  // NUL-terminated UTF-16 as Windows-1251
    std::wstring w;
    for (uint16_t c = Word(); ok_ && c; c = Word())
      w.push_back(static_cast<wchar_t>(c));
    char buf[512] = "";
    WideCharToMultiByte(1251, 0, w.c_str(), -1, buf, sizeof buf, nullptr, nullptr);
    return buf;
  }
  std::string NameOrOrdinal() {
    if (at_ + 2 <= n_ && p_[at_] == 0xFF && p_[at_ + 1] == 0xFF) {
      Word();
      return "#" + std::to_string(Word());
    }
    return Text();
  }
  void Align() { at_ = (at_ + 3) & ~size_t{3}; }
  void Skip(size_t k) { at_ += k; }
  bool ok() const { return ok_ && at_ <= n_; }

 private:
  template <typename T>
  T Get() {
    T v;
    std::memcpy(&v, p_ + at_, sizeof v);
    at_ += sizeof v;
    return v;
  }
  const uint8_t* p_;
  size_t n_;
  size_t at_ = 0;
  bool ok_ = true;
};

std::string ClassName(const std::string& c) {
  static const char* kPredefined[] = {"Button",  "Edit",      "Static",
                                      "ListBox", "ScrollBar", "ComboBox"};
  for (int i = 0; i < 6; ++i)
    if (c == "#" + std::to_string(0x80 + i))
      return kPredefined[i];
  return c;
}

bool LoadTemplate(HMODULE module, int id, Template* t) {
  HRSRC r = FindResourceExA(module, MAKEINTRESOURCEA(5), MAKEINTRESOURCEA(id),
                            MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT));
  if (!r)
    return false;
  Reader in(static_cast<const uint8_t*>(LockResource(LoadResource(module, r))),
            SizeofResource(module, r));
  if (in.Word() != 1 || in.Word() != 0xFFFF)
    return false;  // not an extended template
  in.Dword();      // help
  t->exStyle = in.Dword();
  t->style = in.Dword();
  const int count = in.Word();
  in.Short();
  in.Short();
  t->cx = in.Short();
  t->cy = in.Short();
  in.NameOrOrdinal();  // menu
  in.NameOrOrdinal();  // class
  t->caption = in.Text();
  if (t->style & DS_SETFONT) {
    t->pointSize = in.Word();
    in.Word();  // weight
    in.Word();  // italic, charset
    t->face = in.Text();
  }
  for (int i = 0; i < count && in.ok(); ++i) {
    in.Align();
    Item it;
    in.Dword();  // help
    it.exStyle = in.Dword();
    it.style = in.Dword();
    it.x = in.Short();
    it.y = in.Short();
    it.cx = in.Short();
    it.cy = in.Short();
    it.id = static_cast<int>(in.Dword());
    it.cls = ClassName(in.NameOrOrdinal());
    it.caption = in.NameOrOrdinal();
    in.Skip(in.Word());
    t->items.push_back(it);
  }
  return in.ok();
}

// The control-specific low word of a style, and the window flags that matter.
constexpr uint32_t kFlags = WS_TABSTOP | WS_VISIBLE | WS_DISABLED | WS_BORDER | WS_VSCROLL;
constexpr uint32_t V = WS_VISIBLE, T = WS_TABSTOP | WS_VISIBLE, B = WS_BORDER;

struct Expected {
  int id;
  const char* cls;
  uint32_t kind;        // low word of the style
  uint32_t flags;       // of kFlags
  const char* caption;  // UTF-8
  int x, y, cx, cy;
};

constexpr uint32_t kCentred = BS_PUSHBUTTON | BS_CENTER;
constexpr uint32_t kLeftCheck = BS_AUTOCHECKBOX | BS_LEFTTEXT | BS_RIGHT | BS_VCENTER;
constexpr uint32_t kPicture = SS_BITMAP | SS_CENTERIMAGE | SS_NOTIFY;
constexpr uint32_t kSpin = UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS;

const Expected kSettings[] = {
    {5002, "Button", BS_PUSHBUTTON, T, "ОК", 209, 280, 41, 13},
    {5008, "Button", BS_PUSHBUTTON, T, "О плагине", 3, 280, 46, 13},
    {5082, "Button", kCentred, T, "3", 10, 67, 14, 11},
    {5083, "Button", kCentred, T, "4", 38, 67, 14, 11},
    {5084, "Button", kCentred, T, "5", 24, 56, 14, 11},
    {5085, "Button", kCentred, T, "6", 24, 78, 14, 11},
    {5130, "Static", SS_LEFT, V, "Прозрачность:", 216, 106, 51, 10},
    {5089, "Edit", ES_NUMBER, T | B, "", 268, 104, 28, 12},
    {5090, "msctls_updown32", kSpin, V, "", 287, 103, 11, 14},
    {5103, "Button", BS_DEFPUSHBUTTON, T, "Отмена", 261, 280, 41, 13},
    {5107, "Button", kCentred, T, "h", 10, 56, 14, 11},
    {5108, "Button", kCentred, T, "h", 10, 78, 14, 11},
    {5109, "Button", kCentred, T, "h", 38, 56, 14, 11},
    {5110, "Button", kCentred, T, "h", 38, 78, 14, 11},
    {5111, "Button", kCentred, WS_TABSTOP | WS_DISABLED, "h", 36, 94, 14, 11},
    {5068, "Edit", ES_READONLY, T | B, "", 104, 15, 102, 13},
    {5115, "Button", BS_PUSHBUTTON, T, "...", 209, 15, 15, 13},
    {5152, "Button", BS_PUSHBUTTON, T, "Логотип с экрана…", 227, 15, 69, 13},
    {5117, "Button", kLeftCheck, T, "Детектор включен:", 5, 105, 81, 10},
    {-1, "Button", BS_GROUPBOX, V, "", 3, 95, 123, 25},
    {5120, "Button", kLeftCheck, T, "Показать логотип:", 133, 105, 79, 10},
    {5121, "Static", kPicture, V | B, "", 60, 56, 119, 34},
    {-1, "Button", BS_GROUPBOX, V, "", 3, 121, 299, 81},
    {5091, "Edit", ES_NUMBER, T | B, "", 91, 142, 28, 12},
    {5092, "msctls_updown32", kSpin, V, "", 109, 141, 11, 14},
    {5093, "Edit", ES_NUMBER, T | B, "", 91, 156, 28, 12},
    {5094, "msctls_updown32", kSpin, V, "", 109, 155, 11, 14},
    {5095, "Edit", ES_NUMBER, T | B, "", 91, 170, 28, 12},
    {5096, "msctls_updown32", kSpin, V, "", 109, 169, 11, 14},
    {5123, "Static", kPicture, V | B, "", 55, 129, 18, 67},
    {5131, "Static", SS_LEFT, V, "-  Скорость реакции на пропадание логотипа", 133, 145, 154, 8},
    {5132, "Static", SS_LEFT, V, "-  Скорость реакции на появление логотипа", 133, 159, 150, 8},
    {5133, "Static", SS_LEFT, V, "-  Уровень детектирования", 133, 173, 93, 8},
    {5124, "Button", kLeftCheck, T, "Тест:", 87, 105, 34, 10},
    {5127, "Static", kPicture, V | B, "", 18, 129, 18, 67},
    {5097, "Edit", ES_NUMBER, T | B, "", 91, 184, 28, 12},
    {5099, "msctls_updown32", kSpin, V, "", 109, 184, 11, 14},
    {5134, "Static", SS_LEFT, V, "-  Уровень соответствия логотипов", 133, 187, 121, 8},
    {5150, "Button", BS_GROUPBOX, V, "", 3, 46, 299, 49},
    {5102, "Button", BS_OWNERDRAW, V | WS_DISABLED, "Color Key", 191, 74, 76, 13},
    {5100, "Button", BS_PUSHBUTTON, T, "...", 273, 74, 15, 13},
    {5148, "Button", BS_GROUPBOX, V, "Файл шаблона логотипа", 97, 3, 205, 43},
    {-1, "Button", BS_GROUPBOX, V, "", 3, 202, 299, 74},
    {5135, "Static", SS_LEFT, V, "Просмотр:", 8, 213, 37, 8},
    {5136, "Static", SS_LEFT, V, "Запись:", 160, 213, 28, 8},
    {5128, "ComboBox", CBS_DROPDOWNLIST, T | WS_VSCROLL, "", 46, 210, 107, 81},
    {5129, "ComboBox", CBS_DROPDOWNLIST, T | WS_VSCROLL, "", 189, 210, 107, 76},
    {-1, "Static", SS_BITMAP | SS_REALSIZEIMAGE | SS_CENTERIMAGE, V, "#5011", 24, 67, 14, 11},
    {-1, "Button", BS_GROUPBOX, V, "Цвет маски", 185, 52, 111, 38},
    {5137, "Button", BS_AUTOCHECKBOX, T, "Левый верхний пиксел", 192, 62, 94, 10},
    {5138, "Button", BS_AUTOCHECKBOX, T, "Выводить сообщение", 9, 243, 89, 10},
    {5139, "Edit", ES_LEFT, T | B, "", 101, 242, 110, 12},
    {5104, "Button", BS_OWNERDRAW, V, "Back", 133, 259, 51, 12},
    {5105, "Button", BS_OWNERDRAW, V, "Text", 245, 259, 51, 12},
    {5140, "Static", SS_LEFT, V, "Цвет фона:", 91, 261, 39, 8},
    {5141, "Static", SS_LEFT, V, "Цвет текста:", 197, 261, 44, 8},
    {5142, "Static", SS_LEFT, V, "Прозрачность:", 216, 244, 51, 8},
    {-1, "Static", SS_ETCHEDHORZ, V, "", 9, 237, 287, 1},
    {5098, "Edit", ES_NUMBER, T | B, "", 268, 242, 28, 12},
    {5101, "msctls_updown32", kSpin, V, "", 287, 241, 11, 14},
    {5106, "Edit", ES_NUMBER, T | B, "", 91, 128, 28, 12},
    {5112, "msctls_updown32", kSpin, V, "", 109, 127, 11, 14},
    {5143, "Static", SS_LEFT, V, "-  Допуск на смещение логотипа", 133, 131, 112, 8},
    {-1, "Button", BS_GROUPBOX, V, "", 131, 95, 171, 25},
    {5144, "Button", kLeftCheck, T, "Показывать фон:", 6, 260, 75, 10},
    {5145, "Static", SS_CENTER | SS_CENTERIMAGE, V, "Static", 10, 21, 76, 13},
    {5149, "Button", BS_GROUPBOX, V, "Канал", 3, 3, 89, 43},
    {5151, "Static", SS_LEFT, V, "", 104, 31, 192, 8},
    {5153, "Static", SS_LEFT, V, "", 8, 226, 288, 8},
};

const Expected kAbout[] = {
    {IDOK, "Button", BS_DEFPUSHBUTTON, T, "OK", 54, 87, 44, 13},
    {-1, "Static", SS_CENTER, V, "Zunk_LogoDetector плагин", 7, 41, 136, 8},
    {-1, "Static", SS_CENTER, V, "Ver.1.23", 7, 54, 136, 10},
    {-1, "Static", SS_CENTER, V, "Детектирование логотипа в кадре", 7, 70, 136, 10},
    {-1, "Static", SS_BITMAP, V, "#5004", 63, 12, 21, 20},
    {-1, "Button", BS_GROUPBOX, V, "", 3, -2, 144, 106},
};

template <size_t N>
void ExpectItems(const Template& t, const Expected (&rows)[N]) {
  ASSERT_EQ(t.items.size(), N);
  for (size_t i = 0; i < N; ++i) {
    const Item& it = t.items[i];
    const Expected& e = rows[i];
    SCOPED_TRACE("control " + std::to_string(i) + ", ID " + std::to_string(e.id));
    EXPECT_EQ(static_cast<int16_t>(it.id), e.id);
    EXPECT_STRCASEEQ(it.cls.c_str(), e.cls);
    EXPECT_EQ(it.style & 0xFFFF, e.kind);
    EXPECT_EQ(it.style & kFlags, e.flags);
    EXPECT_EQ(it.style & (WS_CHILD | WS_POPUP), static_cast<uint32_t>(WS_CHILD));
    EXPECT_EQ(it.caption, Cp1251(e.caption));
    EXPECT_EQ(it.x, e.x);
    EXPECT_EQ(it.y, e.y);
    EXPECT_EQ(it.cx, e.cx);
    EXPECT_EQ(it.cy, e.cy);
  }
}

TEST(DialogResources, SettingsTemplateControlByControl) {
  zunktest::LoadedPlugin p;
  ASSERT_TRUE(p.Load());
  Template t;
  ASSERT_TRUE(LoadTemplate(p.module, 5000, &t));
  EXPECT_EQ(t.style, static_cast<uint32_t>(WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT))
      << "an overlapped window, not visible when made";
  EXPECT_EQ(t.exStyle, static_cast<uint32_t>(WS_EX_TOOLWINDOW));
  EXPECT_EQ(t.cx, 306);
  EXPECT_EQ(t.cy, 297);
  EXPECT_EQ(t.caption, Cp1251("Zunk_LogoDetector плагин"));
  EXPECT_EQ(t.pointSize, 8);
  EXPECT_EQ(t.face, "MS Sans Serif");
  ExpectItems(t, kSettings);
  p.Unload();
}

TEST(DialogResources, AboutTemplate) {
  zunktest::LoadedPlugin p;
  ASSERT_TRUE(p.Load());
  Template t;
  ASSERT_TRUE(LoadTemplate(p.module, 5002, &t));
  EXPECT_EQ(t.style, static_cast<uint32_t>(WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT));
  EXPECT_EQ(t.exStyle, static_cast<uint32_t>(WS_EX_TOOLWINDOW));
  EXPECT_EQ(t.cx, 150);
  EXPECT_EQ(t.cy, 108);
  EXPECT_EQ(t.caption, "");
  EXPECT_EQ(t.face, "MS Sans Serif");
  ExpectItems(t, kAbout);
  p.Unload();
}

TEST(DialogResources, Bitmaps) {
  zunktest::LoadedPlugin p;
  ASSERT_TRUE(p.Load());
  struct {
    int id, width, height, bits;
  } const bitmaps[] = {{5004, 32, 32, 24}, {5011, 15, 12, 4}};
  for (const auto& b : bitmaps) {
    HRSRC r = FindResourceA(p.module, MAKEINTRESOURCEA(b.id), MAKEINTRESOURCEA(2));
    ASSERT_NE(r, nullptr) << b.id;
    const auto* info =
        static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(p.module, r)));
    EXPECT_EQ(info->biWidth, b.width) << b.id;
    EXPECT_EQ(info->biHeight, b.height) << b.id;
    EXPECT_EQ(info->biBitCount, b.bits) << b.id;
  }
  // The pad's centre: a black cross on light grey in a black frame.
  HBITMAP centre = static_cast<HBITMAP>(
      LoadImageA(p.module, MAKEINTRESOURCEA(5011), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  ASSERT_NE(centre, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, centre);
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 0, 0)) << "frame";
  EXPECT_EQ(GetPixel(dc, 14, 11), RGB(0, 0, 0)) << "frame";
  EXPECT_EQ(GetPixel(dc, 2, 2), RGB(192, 192, 192)) << "ground";
  EXPECT_EQ(GetPixel(dc, 7, 5), RGB(0, 0, 0)) << "cross";
  EXPECT_EQ(GetPixel(dc, 4, 6), RGB(0, 0, 0)) << "cross arm";
  EXPECT_EQ(GetPixel(dc, 7, 3), RGB(0, 0, 0)) << "cross arm";
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(centre);
  p.Unload();
}

}  // namespace
