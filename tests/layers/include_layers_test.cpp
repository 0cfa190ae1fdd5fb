// The core's folders draw one way down: a file of src/ includes files of its own folder
// and of the folders below it, never of one above. The order is written here once.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Top first: the module's entry, then what it runs, down to the ground every layer uses.
const char* const kLayers[] = {
    "plugin",    // exports, descriptor, lifecycle
    "dialog",    // the settings dialog
    "pipeline",  // the frame pipeline: the stream, its template, the decision state, what it
                 // observed for the dialog
    "react",     // volume, recording pause, on-screen message
    "capture",   // the logo taken from the screen: frame store, finder thread, its file
    "learn",     // the logo finder over sampled frames (for tools)
    "detect",    // template buffers, matching, the presence step, overlay: no state, no files
    "settings",  // profiles, the settings codec and store, the settings path
    "host",      // the host's records and commands
    "platform",  // the only door to the operating system
    "image",     // the bitmap reader
    "kernels",   // pixel kernels
    "base",      // MulDiv, aligned buffers, the reference frame, calling conventions
};

int LayerOf(const std::string& folder) {
  for (size_t i = 0; i < sizeof kLayers / sizeof kLayers[0]; ++i) {
    if (folder == kLayers[i])
      return static_cast<int>(i);
  }
  return -1;
}

// The quoted includes of a file, as written.
std::vector<std::string> QuotedIncludes(const fs::path& file) {
  std::vector<std::string> out;
  std::ifstream in(file);
  std::string line;
  while (std::getline(in, line)) {
    size_t i = line.find_first_not_of(" \t");
    if (i == std::string::npos || line[i] != '#')
      continue;
    i = line.find_first_not_of(" \t", i + 1);
    if (i == std::string::npos || line.compare(i, 7, "include") != 0)
      continue;
    const size_t open = line.find('"', i);
    const size_t close = open == std::string::npos ? open : line.find('"', open + 1);
    if (close != std::string::npos)
      out.push_back(line.substr(open + 1, close - open - 1));
  }
  return out;
}

TEST(IncludeLayersTest, EveryIncludeGoesToTheSameLayerOrBelow) {
  const fs::path src = ZUNK_SOURCE_DIR;
  int files = 0;
  for (const fs::directory_entry& e : fs::recursive_directory_iterator(src)) {
    const std::string ext = e.path().extension().string();
    if (!e.is_regular_file() || (ext != ".cpp" && ext != ".h"))
      continue;
    ++files;
    const fs::path relative = fs::relative(e.path(), src);
    const std::string folder = relative.begin()->string();
    const int own = LayerOf(folder);
    EXPECT_GE(own, 0) << relative << ": the folder " << folder << " has no layer";
    for (const std::string& include : QuotedIncludes(e.path())) {
      const size_t slash = include.find('/');
      if (slash == std::string::npos)
        continue;  // beside the file itself
      const std::string target = include.substr(0, slash);
      const int layer = LayerOf(target);
      EXPECT_GE(layer, 0) << relative << " includes " << include << ": no layer " << target;
      EXPECT_GE(layer, own) << relative << " (" << folder << ") includes " << include
                            << " from a layer above it";
    }
  }
  EXPECT_GT(files, 100) << "the sources were not found under " << src;
}

// Detection is pure: template buffers, matching and the presence step, over records its
// callers own. It declares no variable for other files and reaches neither the system
// (files, windows) nor the settings store.
TEST(IncludeLayersTest, DetectionKeepsNoStateAndOpensNoFile) {
  const fs::path detect = fs::path(ZUNK_SOURCE_DIR) / "detect";
  int files = 0;
  for (const fs::directory_entry& e : fs::directory_iterator(detect)) {
    const std::string ext = e.path().extension().string();
    if (ext != ".cpp" && ext != ".h")
      continue;
    ++files;
    for (const std::string& include : QuotedIncludes(e.path())) {
      EXPECT_NE(include.rfind("platform/", 0), 0u)
          << e.path().filename() << " includes " << include;
      EXPECT_NE(include, "settings/ini_store.h") << e.path().filename();
    }
    std::ifstream in(e.path());
    std::string line;
    while (std::getline(in, line))
      EXPECT_NE(line.rfind("extern ", 0), 0u) << e.path().filename() << ": " << line;
  }
  EXPECT_GT(files, 4) << "the detection sources were not found under " << detect;
}

}  // namespace
