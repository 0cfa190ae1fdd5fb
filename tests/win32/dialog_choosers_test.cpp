// The colour and template choosers of the open dialog, answered through the system's
// own colour and file dialogs: the colour buttons' pictures, a colour chosen and a choice
// cancelled, the left-top pixel box against the key the profile had at opening, and
// template files that load, do not load or were typed without their extension.
#include <windows.h>

#include <commdlg.h>
#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "dialog/resource_ids.h"
#include "dialog_harness.h"
#include "host_harness.h"

namespace {

using zunktest::ChannelSection;
using zunktest::Cp1251;
using zunktest::DialogHost;
using zunktest::IniValue;
using zunktest::WriteTemplate;

const COLORREF kMagenta = RGB(255, 0, 255);
const COLORREF kBackground = 0x400000;

// The colour the window shows on the screen at (x, y) of its client area.
COLORREF ShownAt(HWND w, int x, int y) {
  HDC dc = GetDC(w);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(w, dc);
  return c;
}

COLORREF ShownAtCentre(HWND w) {
  RECT r = {};
  GetClientRect(w, &r);
  return ShownAt(w, r.right / 2, r.bottom / 2);
}

std::string TextOf(HWND w) {
  char buf[MAX_PATH] = "";
  GetWindowTextA(w, buf, sizeof buf);
  return buf;
}

void PressOk(HWND box, int id = IDOK) {
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
}

// What a colour dialog showed when it opened: its red, green and blue edits, which only
// the opened-out dialog shows.
struct ColourOpened {
  std::atomic<bool> seen{false};
  std::atomic<bool> fullOpen{false};
  std::atomic<COLORREF> colour{0};
};

void ReadOpened(HWND box, ColourOpened* opened) {
  HWND red = GetDlgItem(box, 706), green = GetDlgItem(box, 707), blue = GetDlgItem(box, 708);
  opened->fullOpen = red && IsWindowVisible(red);
  opened->colour =
      RGB(atoi(TextOf(red).c_str()), atoi(TextOf(green).c_str()), atoi(TextOf(blue).c_str()));
  opened->seen = true;
}

// Types a number into one of the colour dialog's edits, as the keyboard does.
void TypeNumber(HWND edit, int value) {
  SendMessageA(edit, EM_SETSEL, 0, -1);
  for (char c : std::to_string(value))
    SendMessageA(edit, WM_CHAR, static_cast<WPARAM>(c), 1);
}

// Chooses `colour` in the colour dialog's red, green and blue edits and presses OK.
std::function<void(HWND)> Choose(COLORREF colour, ColourOpened* opened = nullptr) {
  return [colour, opened](HWND box) {
    if (opened)
      ReadOpened(box, opened);
    TypeNumber(GetDlgItem(box, 706), GetRValue(colour));
    TypeNumber(GetDlgItem(box, 707), GetGValue(colour));
    TypeNumber(GetDlgItem(box, 708), GetBValue(colour));
    PressOk(box);
  };
}

// Moves the colour dialog clear of the settings dialog, paints the button black where
// it shows on the screen, and cancels: only a redraw after the choice brings the
// button's colour back.
std::function<void(HWND)> PaintOverAndCancel(HWND button, std::atomic<bool>* painted) {
  return [button, painted](HWND box) {
    SetWindowPos(box, nullptr, 820, 640, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Sleep(300);
    RECT r;
    GetClientRect(button, &r);
    HDC dc = GetDC(button);
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ReleaseDC(button, dc);
    *painted = ShownAtCentre(button) == 0;
    PressOk(box, IDCANCEL);
  };
}

// Types a file name into the file dialog and presses OK; keeps the filter list's items.
std::function<void(HWND)> TypeFileName(const std::string& name, std::string* filters) {
  return [name, filters](HWND box) {
    HWND list = GetDlgItem(box, 0x470);  // the file-type list
    const int n = static_cast<int>(SendMessageA(list, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
      char item[256] = "";
      SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
      *filters += std::string(item) + "|";
    }
    zunktest::OpenFileNamed(box, name);
  };
}

void OpenOnFirstChannel(DialogHost& host) {
  ASSERT_TRUE(host.WaitFrames(2));
  host.Configure();
  ASSERT_NE(host.Window(), nullptr);
  ASSERT_TRUE(host.WaitForChannelLabel("One"));
}

void Click(DialogHost& host, int id) {
  SendMessageA(host.Item(id), BM_CLICK, 0, 0);
  host.Pump(50);
}

TEST(DialogChoosers, ColourButtonsShowTheirColoursAndTheChoicesStoreThem) {
  const std::string logo = WriteTemplate("choosers.bmp", 40, 20, RGB(90, 90, 200));
  DialogHost host(ChannelSection(
      1, {{"LogoFileName", logo}, {"MsgBackColor", "4210752"}, {"MsgTextColor", "49152"}}));
  OpenOnFirstChannel(host);
  ASSERT_TRUE(host.PumpUntil([&] { return IsWindowEnabled(host.Item(IDC_MSG_BACK_COLOR)) != 0; }));
  host.Pump(200);

  // A coloured rectangle inside a bump edge, with no caption.
  const struct {
    int id;
    COLORREF colour;
  } buttons[] = {{IDC_MSG_BACK_COLOR, RGB(64, 64, 64)}, {IDC_MSG_TEXT_COLOR, RGB(0, 0xC0, 0)}};
  for (const auto& b : buttons) {
    SCOPED_TRACE(b.id);
    HWND w = host.Item(b.id);
    RECT r;
    GetClientRect(w, &r);
    for (int x = 2; x < r.right - 2; ++x)
      ASSERT_EQ(ShownAt(w, x, r.bottom / 2), b.colour) << x;
    EXPECT_NE(ShownAt(w, 0, 0), b.colour) << "the edge";
  }

  // Chosen: opened on the field's colour with the custom colours shown, stored, shown.
  ColourOpened opened;
  host.boxes->AnswerNextWith(Choose(RGB(200, 100, 50), &opened));
  Click(host, IDC_MSG_BACK_COLOR);
  EXPECT_TRUE(opened.seen);
  EXPECT_TRUE(opened.fullOpen);
  EXPECT_EQ(opened.colour, RGB(64, 64, 64));
  EXPECT_EQ(ShownAtCentre(host.Item(IDC_MSG_BACK_COLOR)), RGB(200, 100, 50));

  // Cancelled: the colour stays, and the button is redrawn all the same.
  std::atomic<bool> painted{false};
  host.boxes->AnswerNextWith(PaintOverAndCancel(host.Item(IDC_MSG_TEXT_COLOR), &painted));
  SendMessageA(host.Item(IDC_MSG_TEXT_COLOR), BM_CLICK, 0, 0);
  EXPECT_TRUE(painted);
  EXPECT_EQ(ShownAtCentre(host.Item(IDC_MSG_TEXT_COLOR)), RGB(0, 0xC0, 0));

  const std::string ini = host.ExitAndReadSettings();
  EXPECT_EQ(IniValue(ini, "1", "MsgBackColor"), std::to_string(RGB(200, 100, 50)));
  EXPECT_EQ(IniValue(ini, "1", "MsgTextColor"), "49152");
}

TEST(DialogChoosers, TheLeftTopPixelBoxTakesTheTemplatesPixelAndGivesBackTheOpeningKey) {
  const COLORREF logoColour = RGB(10, 20, 30);
  const std::string logo = WriteTemplate("lefttop.bmp", 40, 20, logoColour);
  DialogHost host(ChannelSection(1, {{"LogoFileName", logo},
                                     {"ColorKey", std::to_string(kMagenta)},
                                     {"LeftTopPixelColor", "0"}}));
  OpenOnFirstChannel(host);
  ASSERT_TRUE(host.PumpUntil([&] { return IsWindowEnabled(host.Item(IDC_LEFT_TOP_PIXEL)) != 0; }));
  host.Pump(200);
  HWND key = host.Item(IDC_COLOR_KEY_SHOW);
  HWND chooser = host.Item(IDC_CHOOSE_COLOR_KEY);
  EXPECT_FALSE(IsWindowEnabled(key)) << "the display is never pressed";
  EXPECT_EQ(ShownAtCentre(key), kMagenta);

  Click(host, IDC_LEFT_TOP_PIXEL);
  EXPECT_EQ(ShownAtCentre(key), logoColour);
  EXPECT_FALSE(IsWindowEnabled(chooser));
  Click(host, IDC_LEFT_TOP_PIXEL);
  EXPECT_EQ(ShownAtCentre(key), kMagenta);
  EXPECT_TRUE(IsWindowEnabled(chooser));

  // Another key chosen in between: clearing the box still gives back the opening key.
  host.boxes->AnswerNextWith(Choose(RGB(1, 2, 3)));
  Click(host, IDC_CHOOSE_COLOR_KEY);
  EXPECT_EQ(ShownAtCentre(key), RGB(1, 2, 3));
  Click(host, IDC_LEFT_TOP_PIXEL);
  EXPECT_EQ(ShownAtCentre(key), logoColour);
  Click(host, IDC_LEFT_TOP_PIXEL);
  EXPECT_EQ(ShownAtCentre(key), kMagenta);

  const std::string ini = host.ExitAndReadSettings();
  EXPECT_EQ(IniValue(ini, "1", "ColorKey"), std::to_string(kMagenta));
  EXPECT_EQ(IniValue(ini, "1", "LeftTopPixelColor"), "0");
}

TEST(DialogChoosers, TemplateFilesThatLoadOrNotSetTheEditingControls) {
  const std::string logo = WriteTemplate("first.bmp", 40, 20, RGB(200, 30, 30));
  const std::string green = WriteTemplate("green.bmp", 119, 34, RGB(0, 200, 0));
  const std::string broken = zunktest::PluginsFolder() + "broken.bmp";
  {
    HANDLE f = CreateFileA(broken.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(f, "not a picture", 13, &written, nullptr);
    CloseHandle(f);
  }
  DialogHost host(ChannelSection(1, {{"LogoFileName", logo}}));
  OpenOnFirstChannel(host);
  ASSERT_TRUE(host.PumpUntil([&] { return IsWindowEnabled(host.Item(IDC_ARROW_LEFT)) != 0; }));

  // Cancelled: nothing changes.
  host.boxes->AnswerNextWith([](HWND box) { PressOk(box, IDCANCEL); });
  Click(host, IDC_CHOOSE_TEMPLATE);
  EXPECT_EQ(host.Text(IDC_LOGO_FILE_NAME), logo);

  // A file that is no bitmap: stored and shown, and only the chooser stays enabled.
  std::string filters;
  host.boxes->AnswerNextWith(TypeFileName(broken, &filters));
  Click(host, IDC_CHOOSE_TEMPLATE);
  EXPECT_EQ(filters, Cp1251("Файлы логотипа (*.bmp)") + "|");
  EXPECT_EQ(lstrcmpiA(host.Text(IDC_LOGO_FILE_NAME).c_str(), broken.c_str()), 0)
      << host.Text(IDC_LOGO_FILE_NAME);
  for (int id : {IDC_ARROW_LEFT, IDC_CORNER_TOP_LEFT, IDC_LEFT_TOP_PIXEL, IDC_CHOOSE_COLOR_KEY,
                 IDC_PROCESSING_ENABLE, IDC_MATCH_LEVEL, IDC_MSG_STRING, IDC_MSG_BACK_COLOR})
    EXPECT_FALSE(IsWindowEnabled(host.Item(id))) << id;
  EXPECT_TRUE(IsWindowEnabled(host.Item(IDC_CHOOSE_TEMPLATE)));
  EXPECT_EQ(ShownAtCentre(host.Item(IDC_PREVIEW)), kBackground);

  // A name typed without its extension gets ".bmp"; the template shows at once.
  std::string unused;
  host.boxes->AnswerNextWith(TypeFileName(green.substr(0, green.size() - 4), &unused));
  Click(host, IDC_CHOOSE_TEMPLATE);
  EXPECT_EQ(lstrcmpiA(host.Text(IDC_LOGO_FILE_NAME).c_str(), green.c_str()), 0)
      << host.Text(IDC_LOGO_FILE_NAME);
  EXPECT_TRUE(IsWindowEnabled(host.Item(IDC_ARROW_LEFT)));
  EXPECT_TRUE(IsWindowEnabled(host.Item(IDC_PROCESSING_ENABLE)));
  EXPECT_EQ(ShownAtCentre(host.Item(IDC_PREVIEW)), RGB(0, 200, 0));

  const std::string ini = host.ExitAndReadSettings();
  EXPECT_EQ(lstrcmpiA(IniValue(ini, "1", "LogoFileName").c_str(), green.c_str()), 0);
}

}  // namespace
