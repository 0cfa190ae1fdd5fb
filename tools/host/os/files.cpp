// File questions through the standard library's file system, in both builds.
#include "os/files.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace zunkhost {
namespace fs = std::filesystem;

bool IsFolder(const std::string& path) {
  std::error_code e;
  return fs::is_directory(fs::path(path), e);
}

bool IsNewerThan(const std::string& path, const std::string& than) {
  std::error_code e1, e2;
  const fs::file_time_type a = fs::last_write_time(fs::path(path), e1);
  const fs::file_time_type b = fs::last_write_time(fs::path(than), e2);
  return !e1 && !e2 && a > b;
}

namespace {

bool IsVideoName(const fs::path& p) {
  static const char* const kExtensions[] = {".ts",  ".m2ts", ".mts", ".tp",   ".trp",    ".mp4",
                                            ".m4v", ".mkv",  ".mpg", ".mpeg", ".vob",    ".avi",
                                            ".mov", ".wmv",  ".flv", ".webm", ".dvr-ms", ".wtv"};
  std::string ext = p.extension().string();
  for (char& c : ext)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const char* e : kExtensions)
    if (ext == e)
      return true;
  return false;
}

}  // namespace

std::vector<std::string> FindRecordings(const std::string& folder) {
  std::vector<std::string> found;
  std::error_code e;
  fs::recursive_directory_iterator it(fs::path(folder), e), end;
  for (; !e && it != end; it.increment(e)) {
    const std::string name = it->path().filename().string();
    if (!name.empty() && name[0] == '.')
      continue;  // hidden files, among them our own outputs being written
    std::error_code fileError;
    if (it->is_regular_file(fileError) && IsVideoName(it->path()))
      found.push_back(it->path().string());
  }
  std::sort(found.begin(), found.end());
  return found;
}

int64_t FileSize(const std::string& path) {
  std::error_code e;
  const uintmax_t n = fs::file_size(fs::path(path), e);
  return e ? -1 : static_cast<int64_t>(n);
}

bool MakeFolders(const std::string& path) {
  std::error_code e;
  fs::create_directories(fs::path(path), e);
  return IsFolder(path);
}

}  // namespace zunkhost
