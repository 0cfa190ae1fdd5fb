// The Windows emulator kept apart from a real host: a run leaves nothing in the
// program's folder or the temporary folder, and its main window is invisible to other
// programs (a real host's plug-in never finds it), while a real host's window is never
// sent the emulator's commands.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "host_run_util.h"
#include "host/host_commands.h"

namespace {

std::string HostPath() {
  char full[MAX_PATH];
  std::string path = ZUNK_HOST_PATH;
  if (GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr))
    path = full;
  for (char& c : path)
    if (c == '/')
      c = '\\';
  return path;
}

std::set<std::string> Names(const std::string& folder, const std::string& pattern = "*") {
  std::set<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA((folder + "\\" + pattern).c_str(), &found);
  if (h == INVALID_HANDLE_VALUE)
    return names;
  do
    names.insert(found.cFileName);
  while (FindNextFileA(h, &found));
  FindClose(h);
  return names;
}

// A temporary folder of the test's own, given to the runs it starts through TEMP and TMP:
// other tests may run the emulator beside this one, each with its own temporary files.
struct PrivateTemp {
  std::string folder, oldTemp, oldTmp;
  PrivateTemp() {
    char full[MAX_PATH];
    GetFullPathNameA("isolation-temp", MAX_PATH, full, nullptr);
    folder = full;
    CreateDirectoryA(folder.c_str(), nullptr);
    oldTemp = Get("TEMP");
    oldTmp = Get("TMP");
    SetEnvironmentVariableA("TEMP", folder.c_str());
    SetEnvironmentVariableA("TMP", folder.c_str());
  }
  ~PrivateTemp() {
    SetEnvironmentVariableA("TEMP", oldTemp.c_str());
    SetEnvironmentVariableA("TMP", oldTmp.c_str());
    RemoveDirectoryA(folder.c_str());
  }
  static std::string Get(const char* name) {
    char value[MAX_PATH] = "";
    GetEnvironmentVariableA(name, value, MAX_PATH);
    return value;
  }
};

int commandsToFake = 0;

LRESULT CALLBACK FakeHost(HWND w, UINT message, WPARAM wp, LPARAM lp) {
  if (message == zunk::HostCommandMessage)
    ++commandsToFake;
  return DefWindowProcA(w, message, wp, lp);
}

// Grey frames of 768 x 576, format 0.
std::vector<char> GreyFrames(int count) {
  return std::vector<char>(static_cast<size_t>(768) * 576 * 2 * count, '\x80');
}

TEST(HostIsolation, NothingIsLeftInTheProgramsFolderOrTheTemporaryFolder) {
  const std::string host = HostPath();
  const std::string folder = host.substr(0, host.rfind('\\'));
  const std::set<std::string> before = Names(folder);
  const std::vector<char> frames = GreyFrames(10);
  FILE* raw = std::fopen("isolation_frames.raw", "wb");
  ASSERT_NE(raw, nullptr);
  std::fwrite(frames.data(), 1, frames.size(), raw);
  std::fclose(raw);
  PrivateTemp temp;
  // Without settings, with settings of a numbered instance, and one run after another.
  std::string out = zunktest::RunHost("--raw isolation_frames.raw --allow-empty");
  EXPECT_NE(out.find("frames: 10 "), std::string::npos) << out;
  out = zunktest::RunHost("--raw isolation_frames.raw /inst:7 --allow-empty --settings " +
                          std::string(ZUNK_SAMPLE_SETTINGS));
  EXPECT_NE(out.find("frames: 10 "), std::string::npos) << out;
  std::remove("isolation_frames.raw");
  EXPECT_EQ(Names(folder), before);
  std::set<std::string> left = Names(temp.folder);
  left.erase(".");
  left.erase("..");
  EXPECT_TRUE(left.empty()) << *left.begin();
  // Nor in the registry: the run's private key is gone.
  HKEY software;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &software), ERROR_SUCCESS);
  char name[256];
  // Only runs still going keep theirs: other tests may run the emulator beside this one.
  const std::string prefix = "Zunk_LogoDetector host ";
  for (DWORD i = 0; RegEnumKeyA(software, i, name, sizeof name) == ERROR_SUCCESS; ++i) {
    const std::string key = name;
    if (key.rfind(prefix, 0) != 0)
      continue;
    HANDLE run =
        OpenProcess(SYNCHRONIZE, FALSE, std::strtoul(key.c_str() + prefix.size(), nullptr, 10));
    const bool going = run && WaitForSingleObject(run, 0) == WAIT_TIMEOUT;
    if (run)
      CloseHandle(run);
    EXPECT_TRUE(going) << key << " is left by a run that has ended";
  }
  RegCloseKey(software);
}

TEST(HostIsolation, ARealHostAndTheEmulatorNeverFindEachOther) {
  // A real host's main window in this process.
  WNDCLASSA wc = {};
  wc.lpfnWndProc = FakeHost;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "TMain";
  RegisterClassA(&wc);
  HWND fake = CreateWindowExA(0, "TMain", "Quintora", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                              nullptr, wc.hInstance, nullptr);
  ASSERT_NE(fake, nullptr);
  // The emulator reads frames from a pipe that this test feeds slowly, so it is still
  // running while this process looks for its window as a real host's plug-in would.
  FILE* pipe = _popen(
      ("\"" + HostPath() + "\" --raw - --allow-empty > isolation_out.txt 2>&1").c_str(), "wb");
  ASSERT_NE(pipe, nullptr);
  const std::vector<char> frame = GreyFrames(1);
  bool sawEmulator = false;
  for (int i = 0; i < 40; ++i) {
    std::fwrite(frame.data(), 1, frame.size(), pipe);
    std::fflush(pipe);
    Sleep(50);
    HWND found = FindWindowA("TMain", "Quintora");
    sawEmulator = sawEmulator || (found && found != fake);
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
      DispatchMessageA(&m);
  }
  _pclose(pipe);
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
    DispatchMessageA(&m);
  DestroyWindow(fake);
  std::FILE* f = std::fopen("isolation_out.txt", "rb");
  std::string out;
  if (f) {
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
      out.append(buf, n);
    std::fclose(f);
  }
  std::remove("isolation_out.txt");
  EXPECT_NE(out.find("frames: 40 "), std::string::npos) << out;
  // The emulator's plug-in asked its own host window, not this one.
  EXPECT_NE(out.find("GetVersion x1"), std::string::npos) << out;
  EXPECT_EQ(commandsToFake, 0);
  EXPECT_FALSE(sawEmulator) << "the emulator's main window was visible to another program";
}

}  // namespace
