// Where the settings file lives, and which host window is asked for its version, each
// rule driven through a fake environment.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings_test_util.h"

namespace zunk {
namespace {

using testing_util::Env;

// Joins path parts with the separator of this build.
std::string J(std::initializer_list<std::string> parts, bool trailing = false) {
  std::string s;
  for (const std::string& p : parts) {
    if (!s.empty())
      s += Os().pathSeparator;
    s += p;
  }
  if (trailing)
    s += Os().pathSeparator;
  return s;
}

class SettingsPathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Env().createReally = false;
    Env().executable = J({"C:", "TV", "Quintora.exe"});
    Env().module = J({"C:", "TV", "Plugins", "Zunk_LogoDetector.dll"});
    Env().appData = J({"C:", "Users", "u", "AppData"});
  }
  std::string Resolve(const std::string& commandLine) {
    Env().commandLine = commandLine;
    store.ResolveSettingsPath();
    return store.FullPath;
  }
  testing_util::FakeEnvScope fake;
  IniStore store;
};

TEST_F(SettingsPathTest, ProgramFolderWithoutInstance) {
  Env().extendedVersion = kVersionUnknown;  // an old system: only the basic record works
  Env().basicVersion = kVersionWin9x;
  Env().hasRegistryValue = true;
  Env().registryValue = 1;  // ignored outside the NT family
  EXPECT_EQ(Resolve("\"C:\\TV\\Quintora.exe\""),
            J({"C:", "TV", "Plugins", "Zunk_LogoDetector.ini"}));
  EXPECT_EQ(Env().versionCalls, 2);
  EXPECT_EQ(Env().registryKeyAsked, "SOFTWARE\\Quintora");
  EXPECT_EQ(Env().registryValueAsked, "StoreInUsersFolder");
  EXPECT_EQ(store.SettingsFolder, J({"C:", "TV", "Plugins"}, true));
  EXPECT_EQ(store.ModuleBaseName, "Zunk_LogoDetector");
  EXPECT_EQ(store.FileName, "Zunk_LogoDetector.ini");
  EXPECT_EQ(store.InstanceNumber, "");
  EXPECT_EQ(Env().created, std::vector<std::string>{store.SettingsFolder});

  // NT family, value missing or 0: the program folder too.
  Env().extendedVersion = kVersionNt;
  Env().hasRegistryValue = false;
  EXPECT_EQ(Resolve("q"), J({"C:", "TV", "Plugins", "Zunk_LogoDetector.ini"}));
  Env().hasRegistryValue = true;
  Env().registryValue = 0;
  EXPECT_EQ(Resolve("q"), J({"C:", "TV", "Plugins", "Zunk_LogoDetector.ini"}));
}

TEST_F(SettingsPathTest, UsersFolderAndInstance) {
  Env().hasRegistryValue = true;
  Env().registryValue = 1;
  EXPECT_EQ(Resolve("Quintora.exe /inst:2"),
            J({"C:", "Users", "u", "AppData", "Quintora", "Instances", "2", "Plugins",
               "Zunk_LogoDetector.ini"}));
  EXPECT_EQ(store.InstanceNumber, "2");
  EXPECT_EQ(Env().versionCalls, 1);
  ASSERT_EQ(Env().created.size(), 1u) << "only the last level is created";
  EXPECT_EQ(Env().created[0], store.SettingsFolder);

  // Without the application-data folder there is no settings file at all.
  Env().appData.clear();
  EXPECT_EQ(Resolve("x"), "");
  EXPECT_EQ(store.SettingsFolder, "");
}

TEST_F(SettingsPathTest, InstanceSwitches) {
  const struct {
    const char* commandLine;
    const char* instance;
  } cases[] = {
      {"Q.EXE -INST:3", "3"},   {"q -inst:1 /inst:2", "2"}, {"q /inst:2 -inst:1", "2"},
      {"q -inst:12", "1"},      {"q /Inst:B", "b"},         {"q -inst:", ""},
      {"q -inst:4 /inst:", ""}, {"q inst:5", ""},
  };
  for (const auto& c : cases) {
    std::string path = Resolve(c.commandLine);
    EXPECT_EQ(store.InstanceNumber, c.instance) << c.commandLine;
    std::string folder = *c.instance ? J({"C:", "TV", "Instances", c.instance, "Plugins"}, true)
                                     : J({"C:", "TV", "Plugins"}, true);
    EXPECT_EQ(store.SettingsFolder, folder) << c.commandLine;
  }
}

TEST_F(SettingsPathTest, FailuresLeaveEverythingEmpty) {
  store.FullPath = "stale";
  Env().extendedVersion = kVersionUnknown;
  Env().basicVersion = kVersionUnknown;
  EXPECT_EQ(Resolve("q /inst:2"), "");
  EXPECT_EQ(store.InstanceNumber, "");
  EXPECT_TRUE(Env().created.empty());
  EXPECT_EQ(Env().registryKeyAsked, "") << "nothing after the version query";
  EXPECT_FALSE(store.OpenForRead());
  EXPECT_FALSE(store.OpenForWrite());

  Env().extendedVersion = kVersionNt;
  Env().executable.clear();
  EXPECT_EQ(Resolve("q"), "");
}

TEST_F(SettingsPathTest, ModuleBaseName) {
  Env().module = J({"C:", "TV", "Plugins", "My.Detector.dll"});
  Resolve("q");
  EXPECT_EQ(store.FileName, "My.Detector.ini");
  Env().module.clear();
  Resolve("q");
  EXPECT_EQ(store.FileName, "Zunk_LogoDetector.ini");
}

TEST_F(SettingsPathTest, MissingParentFolderMeansDefaultsAndNoSave) {
  testing_util::ScratchFolder folder;
  Env().createReally = true;
  Env().executable = folder.File("Quintora.exe");
  Resolve("q /inst:7");  // Instances/7 does not exist: Plugins cannot be made
  EXPECT_FALSE(testing_util::Exists(store.SettingsFolder));
  EXPECT_FALSE(store.OpenForRead());
  EXPECT_FALSE(store.OpenForWrite());

  Resolve("q");
  EXPECT_TRUE(testing_util::Exists(store.SettingsFolder));
  EXPECT_TRUE(store.OpenForRead());
  store.Close();
  Resolve("q");  // the folder exists already
  EXPECT_TRUE(testing_util::Exists(store.FullPath));
}

TEST(HostWindowTest, TitleFollowsTheInstance) {
  testing_util::FakeEnvScope fake;
  Env().windows["Quintora"] = {11, 0x40009};
  Env().windows["Quintora.Inst2"] = {22, 0x3003B};
  IniStore store;
  store.FindHostWindows();
  EXPECT_EQ(store.HostMainWindow, 11u);
  EXPECT_EQ(store.HostVersion, 0x40009u);

  store.InstanceNumber = "2";
  store.FindHostWindows();
  EXPECT_EQ(store.HostMainWindow, 22u);
  EXPECT_EQ(store.HostVersion, 0x3003Bu);

  store.InstanceNumber = "3";  // only a plain "Quintora" window runs
  store.FindHostWindows();
  EXPECT_EQ(store.HostMainWindow, 0u);
  EXPECT_EQ(store.HostVersion, 0u);
  EXPECT_EQ(Env().titlesAsked,
            (std::vector<std::string>{"Quintora", "Quintora.Inst2", "Quintora.Inst3"}));
}

}  // namespace
}  // namespace zunk
