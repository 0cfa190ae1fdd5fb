// The files a run writes. Each is written under a temporary name beside its final one
// and renamed only when the whole run succeeded; a failed run removes them, so no
// partial output is ever left under a final name.
#pragma once

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace zunkhost {

class OutputSet {
 public:
  OutputSet() = default;
  OutputSet(const OutputSet&) = delete;
  OutputSet& operator=(const OutputSet&) = delete;
  ~OutputSet() { Discard(); }

  // The temporary name for finalPath: hidden, beside it, with the same extension.
  std::string Add(const std::string& finalPath);
  // Add, then open the temporary file for writing. Null with one line in *error.
  FILE* Open(const std::string& finalPath, std::string* error);
  // The temporary name given to finalPath by Add ("" when none was).
  std::string TemporaryOf(const std::string& finalPath) const;
  // Renames every temporary file to its final name. False with one line in *error
  // (the files not yet renamed are removed).
  bool Commit(std::string* error);
  // Removes the temporary file of finalPath; it will not be renamed.
  void Drop(const std::string& finalPath);
  // Removes every temporary file.
  void Discard();

 private:
  std::vector<std::pair<std::string, std::string>> files_;  // temporary, final
};

}  // namespace zunkhost
