// Frames through ffmpeg pipes.
#include <cstdio>
#include <string>

#include "video_pipe.h"

namespace zunkhost {
namespace {

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) {
    if (c == '\'')
      q += "'\\''";
    else
      q += c;
  }
  return q + "'";
}

const char* PixFmt(const VideoGeometry& g) {
  return g.pixelFormat == 0 ? "yuyv422" : "bgr24";
}

}  // namespace

FILE* OpenFrameSource(const std::string& path,
                      bool raw,
                      const VideoGeometry& g,
                      std::string* error) {
  if (raw) {
    FILE* f = path == "-" ? stdin : std::fopen(path.c_str(), "rb");
    if (!f)
      *error = "cannot open " + path;
    return f;
  }
  // Format 1 is delivered bottom-up, as the host does.
  std::string filter = "scale=" + std::to_string(g.width) + ":" + std::to_string(g.height);
  if (g.pixelFormat == 1)
    filter += ",vflip";
  std::string cmd = "ffmpeg -nostdin -v fatal -i " + Quote(path) + " -vf " + filter +
                    " -f rawvideo -pix_fmt " + PixFmt(g) + " -";
  FILE* f = popen(cmd.c_str(), "r");
  if (!f)
    *error = "cannot start ffmpeg";
  return f;
}

void CloseFrameSource(FILE* f, bool raw) {
  if (!f)
    return;
  if (!raw)
    pclose(f);
  else if (f != stdin)
    std::fclose(f);
}

FILE* OpenFrameSink(const std::string& path, bool raw, const VideoGeometry& g, std::string* error) {
  if (raw) {
    FILE* f = path == "-" ? stdout : std::fopen(path.c_str(), "wb");
    if (!f)
      *error = "cannot create " + path;
    return f;
  }
  char size[32];
  std::snprintf(size, sizeof size, "%dx%d", g.width, g.height);
  std::string cmd = std::string("ffmpeg -nostdin -v error -y -f rawvideo -pix_fmt ") + PixFmt(g) +
                    " -s " + size + " -r " + std::to_string(g.fps) + " -i - " +
                    (g.pixelFormat == 1 ? "-vf vflip " : "") +
                    "-c:v libx264 -preset veryfast -crf 23 -pix_fmt yuv420p " + Quote(path);
  FILE* f = popen(cmd.c_str(), "w");
  if (!f)
    *error = "cannot start ffmpeg";
  return f;
}

void CloseFrameSink(FILE* f, bool raw) {
  if (!f)
    return;
  if (!raw)
    pclose(f);
  else if (f != stdout)
    std::fclose(f);
  else
    std::fflush(f);
}

}  // namespace zunkhost
