// Questions about files and folders that both builds answer alike.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zunkhost {

bool IsFolder(const std::string& path);
// Whether both exist and `path` was last written after `than`.
bool IsNewerThan(const std::string& path, const std::string& than);
// The video files under the folder and its subfolders, by their extensions, sorted.
std::vector<std::string> FindRecordings(const std::string& folder);
// The size of the file, or -1.
int64_t FileSize(const std::string& path);
// Makes the folder and its parents; false when it cannot be made.
bool MakeFolders(const std::string& path);

}  // namespace zunkhost
