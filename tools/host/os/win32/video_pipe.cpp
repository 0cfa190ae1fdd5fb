// Raw frames from and to files or the standard streams; ffmpeg runs outside Wine
// (scripts/run-host-win32.sh).
#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "decode/video_pipe.h"

namespace zunkhost {

FILE* OpenFrameSource(const std::string& path,
                      bool raw,
                      const VideoGeometry& g,
                      std::string* error) {
  (void)g;
  if (!raw) {
    *error = "this build reads raw frames only (--raw FILE or --raw -)";
    return nullptr;
  }
  if (path == "-") {
    _setmode(_fileno(stdin), _O_BINARY);
    return stdin;
  }
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f)
    *error = "cannot open " + path;
  return f;
}

void CloseFrameSource(FILE* f, bool raw) {
  (void)raw;
  if (f && f != stdin)
    std::fclose(f);
}

FILE* OpenFrameSink(const std::string& path,
                    bool raw,
                    const VideoGeometry& g,
                    const std::string& audioFrom,
                    std::string* error) {
  (void)g;
  (void)audioFrom;
  if (!raw) {
    *error = "this build writes raw frames only (--raw-output FILE)";
    return nullptr;
  }
  if (path == "-") {
    _setmode(_fileno(stdout), _O_BINARY);
    return stdout;
  }
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f)
    *error = "cannot create " + path;
  return f;
}

bool CloseFrameSink(FILE* f, bool raw) {
  (void)raw;
  if (f == stdout)
    return std::fflush(f) == 0;
  return !f || std::fclose(f) == 0;
}

}  // namespace zunkhost
