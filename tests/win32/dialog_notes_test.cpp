// The open dialog's notes through real messages: why a template file did not load, shown
// beside its name, and the hint beside the reaction lists while neither reaction is chosen.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "dialog/resource_ids.h"
#include "dialog_harness.h"
#include "host_harness.h"

namespace {

using zunktest::ChannelSection;
using zunktest::Cp1251;
using zunktest::DialogHost;
using zunktest::WriteTemplate;

void OpenOn(DialogHost& host, const char* name) {
  ASSERT_TRUE(host.WaitFrames(2));
  host.Configure();
  ASSERT_NE(host.Window(), nullptr);
  ASSERT_TRUE(host.WaitForChannelLabel(name));
}

// Chooses a template file through the system's file dialog.
void ChooseTemplate(DialogHost& host, const std::string& path) {
  host.boxes->AnswerNextWith([path](HWND box) { zunktest::OpenFileNamed(box, path); });
  SendMessageA(host.Item(IDC_CHOOSE_TEMPLATE), BM_CLICK, 0, 0);
  host.Pump(50);
  // The box took the name: a note that did not change is then the note's own fault.
  EXPECT_EQ(lstrcmpiA(host.Text(IDC_LOGO_FILE_NAME).c_str(), path.c_str()), 0)
      << host.Text(IDC_LOGO_FILE_NAME);
}

void SelectAction(DialogHost& host, int list, int item) {
  SendMessageA(host.Item(list), CB_SETCURSEL, item, 0);
  SendMessageA(host.Window(), WM_COMMAND, MAKEWPARAM(list, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(host.Item(list)));
}

// The folder is made first: on a fresh build this is the first file the program writes.
std::string WriteFileBytes(const char* name, const char* bytes) {
  const std::string path = zunktest::PluginsFolder() + name;
  CreateDirectoryA(zunktest::PluginsFolder().c_str(), nullptr);
  HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  EXPECT_NE(f, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  EXPECT_TRUE(WriteFile(f, bytes, lstrlenA(bytes), &written, nullptr));
  CloseHandle(f);
  return path;
}

TEST(DialogNotes, ATemplateThatDoesNotLoadSaysWhyBesideItsName) {
  const std::string missing = zunktest::PluginsFolder() + "no-such-logo.bmp";
  const std::string broken = WriteFileBytes("not-a-picture.bmp", "not a picture");
  const std::string large = WriteTemplate("large.bmp", 800, 40, RGB(0, 0, 200));
  const std::string good = WriteTemplate("good.bmp", 60, 30, RGB(0, 200, 0));
  WriteFileBytes("bare.bmp", "not a picture either");
  DialogHost host(ChannelSection(1, {{"LogoFileName", missing}, {"PreviewAction", "2"}}) +
                  ChannelSection(3, {{"LogoFileName", "bare.bmp"}}));
  OpenOn(host, "One");
  EXPECT_EQ(host.Text(IDC_TEMPLATE_NOTE), Cp1251("Шаблон не загружен: файл не найден"));
  EXPECT_TRUE(IsWindowVisible(host.Item(IDC_TEMPLATE_NOTE)));

  ChooseTemplate(host, broken);
  EXPECT_EQ(host.Text(IDC_TEMPLATE_NOTE), Cp1251("Шаблон не загружен: это не рисунок BMP"));
  ChooseTemplate(host, large);
  EXPECT_EQ(host.Text(IDC_TEMPLATE_NOTE), Cp1251("Шаблон не загружен: рисунок больше 768 на 576"));
  host.Screenshot("dialog-template-not-loaded");

  ChooseTemplate(host, good);
  EXPECT_EQ(host.Text(IDC_TEMPLATE_NOTE), "") << "a template that loads needs no note";
  EXPECT_TRUE(IsWindowEnabled(host.Item(IDC_ARROW_LEFT)));

  // A channel whose template is missing says so when the dialog shows it.
  host.SetChannel(2, "Two");
  ASSERT_TRUE(host.WaitForChannelLabel("Two"));
  EXPECT_EQ(host.Text(IDC_TEMPLATE_NOTE), "")
      << "a new channel shows the placeholder, which names no file";
  // A bare name is looked for beside the settings file too, and judged there.
  host.SetChannel(3, "Three");
  ASSERT_TRUE(host.WaitForChannelLabel("Three"));
  EXPECT_EQ(host.Text(IDC_TEMPLATE_NOTE), Cp1251("Шаблон не загружен: это не рисунок BMP"));
  host.ExitAndReadSettings();
}

TEST(DialogNotes, TheReactionHintShowsUntilAReactionIsChosen) {
  const std::string good = WriteTemplate("hint.bmp", 60, 30, RGB(0, 200, 0));
  const std::string hint = Cp1251("Действие не выбрано: на рекламе звук и запись не изменятся");
  DialogHost host(ChannelSection(1, {{"LogoFileName", good}}) +
                  ChannelSection(2, {{"LogoFileName", good}, {"RecordAction", "1"}}));
  OpenOn(host, "One");
  EXPECT_EQ(host.Text(IDC_REACTION_NOTE), hint);
  host.Screenshot("dialog-no-reaction-hint");

  SelectAction(host, IDC_PREVIEW_ACTION, 2);
  EXPECT_EQ(host.Text(IDC_REACTION_NOTE), "");
  SelectAction(host, IDC_PREVIEW_ACTION, 0);
  EXPECT_EQ(host.Text(IDC_REACTION_NOTE), hint) << "both lists back on \"Нет\"";
  SelectAction(host, IDC_RECORD_ACTION, 2);
  EXPECT_EQ(host.Text(IDC_REACTION_NOTE), "");
  SelectAction(host, IDC_RECORD_ACTION, 0);
  EXPECT_EQ(host.Text(IDC_REACTION_NOTE), hint);

  // The refresh at a change of channel shows that channel's state.
  host.SetChannel(2, "Two");
  ASSERT_TRUE(host.WaitForChannelLabel("Two"));
  EXPECT_EQ(host.Text(IDC_REACTION_NOTE), "");
  host.SetChannel(1, "One");
  ASSERT_TRUE(host.WaitForChannelLabel("One"));
  EXPECT_EQ(host.Text(IDC_REACTION_NOTE), hint);
  host.ExitAndReadSettings();
}

}  // namespace
