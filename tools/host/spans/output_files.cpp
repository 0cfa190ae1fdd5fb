// OutputSet: temporary names and the renames at the end.
#include "spans/output_files.h"

#include <cerrno>
#include <cstring>

#include "os/host_os.h"

namespace zunkhost {

std::string OutputSet::Add(const std::string& finalPath) {
  size_t slash = finalPath.find_last_of("\\/");
  std::string folder = slash == std::string::npos ? "" : finalPath.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? finalPath : finalPath.substr(slash + 1);
  std::string temp = folder + ".zunk-part-" + std::to_string(ProcessId()) + "-" +
                     std::to_string(files_.size()) + "-" + name;
  files_.emplace_back(temp, finalPath);
  return temp;
}

FILE* OutputSet::Open(const std::string& finalPath, std::string* error) {
  std::string temp = Add(finalPath);
  FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) {
    *error = "cannot write " + finalPath + " (" + std::strerror(errno) + ")";
    files_.pop_back();
  }
  return f;
}

std::string OutputSet::TemporaryOf(const std::string& finalPath) const {
  for (const auto& f : files_)
    if (f.second == finalPath)
      return f.first;
  return "";
}

bool OutputSet::Commit(std::string* error) {
  while (!files_.empty()) {
    const auto& f = files_.front();
    if (!MoveFileOver(f.first, f.second)) {
      *error = "cannot write " + f.second + " (" + std::strerror(errno) + ")";
      Discard();
      return false;
    }
    files_.erase(files_.begin());
  }
  return true;
}

void OutputSet::Drop(const std::string& finalPath) {
  for (size_t i = 0; i < files_.size(); ++i)
    if (files_[i].second == finalPath) {
      std::remove(files_[i].first.c_str());
      files_.erase(files_.begin() + static_cast<long>(i));
      return;
    }
}

void OutputSet::Discard() {
  for (const auto& f : files_)
    std::remove(f.first.c_str());
  files_.clear();
}

}  // namespace zunkhost
