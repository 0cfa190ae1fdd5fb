// Installing the settings file beside the emulated host.
#include "session/settings_install.h"

#include <fstream>
#include <iostream>
#include <sstream>

#include "os/host_os.h"
#include "os/paths.h"

namespace zunkhost {
namespace {

#if defined(_WIN32)
const char kSep = '\\';
#else
const char kSep = '/';
#endif

}  // namespace

std::string InstallSettings(const std::string& source,
                            const std::string& instance,
                            std::string* error) {
  std::ifstream file;
  if (source != "-")
    file.open(source, std::ios::binary);
  std::istream& in = source == "-" ? std::cin : file;
  if (!in) {
    *error = "cannot read " + source;
    return "";
  }
  // Template names are relative to the settings file's folder (the current one for "-").
  std::string folder = source == "-" ? FullPath(".") + kSep : FolderOf(FullPath(source));
  std::ostringstream out;
  std::string line;
  while (std::getline(in, line)) {
    const std::string key = "LogoFileName=";
    if (line.compare(0, key.size(), key) == 0) {
      std::string name = line.substr(key.size());
      bool cr = !name.empty() && name.back() == '\r';
      if (cr)
        name.pop_back();
      if (!name.empty() && name.find_first_of("\\/:") == std::string::npos) {
        std::string candidate = folder + name;
        if (std::ifstream(candidate).good())
          name = FullPath(candidate);
      }
      line = key + name + (cr ? "\r" : "");
    }
    out << line << '\n';
  }
  std::string target = SettingsBaseFolder();
  if (target.empty()) {
    *error = "cannot make a settings folder";
    return "";
  }
  if (!instance.empty()) {
    target += "Instances";
    MakeFolder(target);
    target += kSep + instance;
    MakeFolder(target);
    target += kSep;
  }
  target += "Plugins";
  MakeFolder(target);
  target += kSep;
  target += "Zunk_LogoDetector.ini";
  std::ofstream o(target, std::ios::binary | std::ios::trunc);
  o << out.str();
  if (!o) {
    *error = "cannot write " + target;
    return "";
  }
  return target;
}

void RemoveInstalledSettings() {
  RemoveSettingsBaseFolder();
}

std::string Cp1251ToUtf8(const char* s) {
  std::string r;
  for (; s && *s; ++s) {
    unsigned char c = static_cast<unsigned char>(*s);
    unsigned code = c;
    if (c >= 0xC0)
      code = 0x410 + (c - 0xC0);
    else if (c == 0xA8)
      code = 0x401;
    else if (c == 0xB8)
      code = 0x451;
    else if (c >= 0x80)
      code = '?';
    if (code < 0x80) {
      r += static_cast<char>(code);
    } else {
      r += static_cast<char>(0xC0 | (code >> 6));
      r += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return r;
}

}  // namespace zunkhost
