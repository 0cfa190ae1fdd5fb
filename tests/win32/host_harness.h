// A test host: loads the built module by its path, as the host application does, and
// counts the process's GDI objects.
#pragma once

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "host/host_records.h"

namespace zunktest {

struct LoadedPlugin {
  HMODULE module = nullptr;
  zunk::PluginVersionFn version = nullptr;
  zunk::PluginDescriptorFn descriptor = nullptr;

  bool Load() {
    module = LoadLibraryA(ZUNK_DLL_PATH);
    if (!module)
      return false;
    version = reinterpret_cast<zunk::PluginVersionFn>(
        reinterpret_cast<void*>(GetProcAddress(module, "Quintora_Plugin_Version")));
    descriptor = reinterpret_cast<zunk::PluginDescriptorFn>(
        reinterpret_cast<void*>(GetProcAddress(module, "Quintora_Plugin_PR")));
    return version && descriptor;
  }
  void Unload() {
    if (module)
      FreeLibrary(module);
    module = nullptr;
  }
};

// Live GDI objects of the process. GetGuiResources where the system has it; otherwise
// (Wine) every handle slot is probed by its index, which the GDI handle table accepts.
inline int CountGdiObjects() {
  SetLastError(0);
  DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (n != 0 || GetLastError() == 0)
    return static_cast<int>(n);
  int count = 0;
  for (ULONG_PTR i = 1; i < 0x10000; ++i)
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(i)))
      ++count;
  return count;
}

// The module keeps its settings in "Plugins" beside the host's executable: here, the test.
inline std::string PluginsFolder() {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string p = path;
  return p.substr(0, p.find_last_of("\\/") + 1) + "Plugins\\";
}

inline std::string SettingsPath() {
  return PluginsFolder() + "Zunk_LogoDetector.ini";
}

inline void WriteSettings(const std::string& bytes) {
  CreateDirectoryA(PluginsFolder().c_str(), nullptr);
  std::ofstream(SettingsPath(), std::ios::binary) << bytes;
}

inline std::string ReadSettings() {
  std::ifstream in(SettingsPath(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The key lines of a profile with the built-in defaults, with some lines replaced.
// " * * *  В ы б е р и т е   ш а б л о н   л о г о т и п а  * * *" and "РЕКЛАМА" are
// Windows-1251 bytes.
inline std::string ProfileLines(
    const std::vector<std::pair<std::string, std::string>>& changes = {}) {
  std::string s =
      "LogoFileName= * * *  \xC2 \xFB \xE1 \xE5 \xF0 \xE8 \xF2 \xE5   \xF8 \xE0 \xE1 \xEB \xEE "
      "\xED   \xEB \xEE \xE3 \xEE \xF2 \xE8 \xEF \xE0  * * *\r\n"
      "MsgString=\xD0\xC5\xCA\xCB\xC0\xCC\xC0\r\nLogoPosX=20\r\nLogoPosY=20\r\n"
      "LogoPosTolerance=3\r\nLeftTopPixelColor=0\r\nColorKey=0\r\nProcessingEnable=1\r\n"
      "ShowLogo=1\r\nLogoTransparency=60\r\nLogoOffResponseSpeed=10\r\n"
      "LogoOnResponseSpeed=3\r\nLogoDetectLevel=80\r\nLogoMatchLevel=80\r\n"
      "PreviewAction=0\r\nRecordAction=0\r\nMsgEnable=1\r\nMsgBackEnable=0\r\n"
      "MsgBackColor=4210752\r\nMsgTextColor=49152\r\nMsgTransparency=60\r\n";
  for (const auto& c : changes) {
    size_t at = s.find(c.first + "=");
    size_t end = s.find("\r\n", at);
    s.replace(at, end - at, c.first + "=" + c.second);
  }
  return s;
}

// A 24-bit bitmap file of width x height pixels; rows bottom-up, each padded to 4 bytes.
inline bool WriteBitmapFile(const std::string& path, int width, int height, const void* rows) {
  BITMAPINFOHEADER info = {};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  const DWORD size = static_cast<DWORD>((width * 3 + 3) / 4 * 4 * height);
  BITMAPFILEHEADER file = {0x4D42, static_cast<DWORD>(sizeof file + sizeof info + size), 0, 0,
                           static_cast<DWORD>(sizeof file + sizeof info)};
  HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE)
    return false;
  DWORD written = 0;
  bool ok = WriteFile(f, &file, sizeof file, &written, nullptr) &&
            WriteFile(f, &info, sizeof info, &written, nullptr) &&
            WriteFile(f, rows, size, &written, nullptr);
  CloseHandle(f);
  return ok;
}

}  // namespace zunktest
