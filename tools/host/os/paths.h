// Path text: the folder and the name of a path, with either separator. Nothing here
// touches the file system.
#pragma once

#include <string>

namespace zunkhost {

// The folder of a path with its trailing separator, or "" for a bare name.
std::string FolderOf(const std::string& path);
// The name after the last separator.
std::string BaseName(const std::string& path);

}  // namespace zunkhost
