// zunk-zip: packs files into a reproducible zip archive for the release.
//   zunk-zip --mtime SECONDS ARCHIVE.zip FOLDER NAME...
// Each NAME is read from FOLDER/NAME and stored under NAME, in the order given.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "zip_writer.h"

int main(int argc, char** argv) {
  if (argc < 5 || std::string(argv[1]) != "--mtime") {
    std::fprintf(stderr, "usage: zunk-zip --mtime SECONDS ARCHIVE.zip FOLDER NAME...\n");
    return 2;
  }
  char* end = nullptr;
  long long mtime = std::strtoll(argv[2], &end, 10);
  if (*argv[2] == '\0' || *end) {
    std::fprintf(stderr, "zunk-zip: --mtime takes seconds since 1970\n");
    return 2;
  }
  std::string folder = argv[4];
  std::vector<zunkrelease::ZipEntry> entries;
  for (int i = 5; i < argc; ++i) {
    std::ifstream in(folder + "/" + argv[i], std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "zunk-zip: cannot read %s/%s\n", folder.c_str(), argv[i]);
      return 1;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    entries.push_back({argv[i], bytes.str()});
  }
  std::string error;
  if (!zunkrelease::WriteZip(argv[3], entries, mtime, &error)) {
    std::fprintf(stderr, "zunk-zip: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
