// The fake environment behind the platform seam.
#include "settings_test_util.h"

#include <cstring>

namespace zunk {
namespace testing_util {

namespace {

FakeEnv env;
Platform fake;

int CopyOut(const std::string& s, char* buf, size_t size) {
  if (s.empty() || s.size() + 1 > size)
    return 0;
  std::memcpy(buf, s.c_str(), s.size() + 1);
  return 1;
}

VersionFamily QueryVersion(int extended) {
  ++env.versionCalls;
  return extended ? env.extendedVersion : env.basicVersion;
}

int ReadMachineDword(const char* key, const char* value, uint32_t* out) {
  env.registryKeyAsked = key;
  env.registryValueAsked = value;
  if (!env.hasRegistryValue)
    return 0;
  *out = env.registryValue;
  return 1;
}

int AppDataFolder(char* buf, size_t size) {
  return CopyOut(env.appData, buf, size);
}
int HostExecutablePath(char* buf, size_t size) {
  return CopyOut(env.executable, buf, size);
}
int ModulePath(char* buf, size_t size) {
  return CopyOut(env.module, buf, size);
}
const char* CommandLine() {
  return env.commandLine.c_str();
}

int CreateFolder(const char* path) {
  env.created.push_back(path);
  return env.createReally ? NativePlatform().CreateFolder(path) : 0;
}

int MoveFileOver(const char* from, const char* to) {
  if (env.replaceFails)
    return 0;
  return NativePlatform().MoveFileOver(from, to);
}

WindowHandle FindWindowByClass(const char* className, const char* title) {
  env.titlesAsked.push_back(title ? title : "");
  if (std::string(className) != "TMain" || !title)
    return 0;
  auto it = env.windows.find(title);
  return it == env.windows.end() ? 0 : it->second.first;
}

int SendToWindow(WindowHandle w, uint32_t msg, uintptr_t wParam, intptr_t, intptr_t* answer) {
  if (msg != 0x4C8 || wParam != 0x51D)
    return 0;
  for (const auto& entry : env.windows) {
    if (entry.second.first == w) {
      *answer = static_cast<intptr_t>(entry.second.second);
      return 1;
    }
  }
  return 0;
}

}  // namespace

FakeEnv& Env() {
  return env;
}

FakeEnvScope::FakeEnvScope() {
  env = FakeEnv();
  fake = NativePlatform();
  fake.QueryVersion = QueryVersion;
  fake.ReadMachineDword = ReadMachineDword;
  fake.AppDataFolder = AppDataFolder;
  fake.HostExecutablePath = HostExecutablePath;
  fake.ModulePath = ModulePath;
  fake.CommandLine = CommandLine;
  fake.CreateFolder = CreateFolder;
  fake.MoveFileOver = MoveFileOver;
  fake.FindWindowByClass = FindWindowByClass;
  fake.SendToWindow = SendToWindow;
  SetPlatformForTest(&fake);
}

FakeEnvScope::~FakeEnvScope() {
  SetPlatformForTest(nullptr);
}

void ResetProfileState() {
  Profiles.clear();
  ProfileSnapshot.clear();
  CurrentIndex = 0;
  DefaultProfile = ChannelProfile();
  DialogOpen = 0;
  DialogLeft = 0;
  DialogTop = 0;
  LastChannelKey = 0;
  ChannelCheckCallback = nullptr;
}

// " * * *  В ы б е р и т е   ш а б л о н   л о г о т и п а  * * *" and "РЕКЛАМА" in
// Windows-1251.
const char kDefaultSectionLines[] =
    "LogoFileName= * * *  \xC2 \xFB \xE1 \xE5 \xF0 \xE8 \xF2 \xE5   \xF8 \xE0 \xE1 \xEB \xEE "
    "\xED   \xEB \xEE \xE3 \xEE \xF2 \xE8 \xEF \xE0  * * *\r\n"
    "MsgString=\xD0\xC5\xCA\xCB\xC0\xCC\xC0\r\n"
    "LogoPosX=20\r\n"
    "LogoPosY=20\r\n"
    "LogoPosTolerance=3\r\n"
    "LeftTopPixelColor=0\r\n"
    "ColorKey=0\r\n"
    "ProcessingEnable=1\r\n"
    "ShowLogo=1\r\n"
    "LogoTransparency=60\r\n"
    "LogoOffResponseSpeed=10\r\n"
    "LogoOnResponseSpeed=3\r\n"
    "LogoDetectLevel=80\r\n"
    "LogoMatchLevel=80\r\n"
    "PreviewAction=0\r\n"
    "RecordAction=0\r\n"
    "MsgEnable=1\r\n"
    "MsgBackEnable=0\r\n"
    "MsgBackColor=4210752\r\n"
    "MsgTextColor=49152\r\n"
    "MsgTransparency=60\r\n";

}  // namespace testing_util
}  // namespace zunk
