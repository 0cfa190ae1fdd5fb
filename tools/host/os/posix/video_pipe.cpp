// Raw frames from files or the standard streams, and processed frames encoded by an
// ffmpeg process (with the recording's audio copied in).
#include <cstdio>
#include <string>

#include "decode/video_pipe.h"
#include "os/host_os.h"

namespace zunkhost {
FILE* OpenFrameSource(const std::string& path,
                      bool raw,
                      const VideoGeometry& g,
                      std::string* error) {
  (void)g;
  if (!raw) {
    *error = "encoded video is decoded by the frame reader";
    return nullptr;
  }
  FILE* f = path == "-" ? stdin : std::fopen(path.c_str(), "rb");
  if (!f)
    *error = path + ": cannot open";
  return f;
}

void CloseFrameSource(FILE* f, bool raw) {
  if (f && f != stdin)
    std::fclose(f);
}

FILE* OpenFrameSink(const std::string& path,
                    bool raw,
                    const VideoGeometry& g,
                    const std::string& audioFrom,
                    std::string* error) {
  if (raw) {
    FILE* f = path == "-" ? stdout : std::fopen(path.c_str(), "wb");
    if (!f)
      *error = "cannot write " + path;
    return f;
  }
  char size[32], rate[32];
  std::snprintf(size, sizeof size, "%dx%d", g.width, g.height);
  std::snprintf(rate, sizeof rate, "%.6f", g.fps);
  std::string cmd = std::string("ffmpeg -nostdin -v error -y -f rawvideo -pix_fmt ") +
                    (g.pixelFormat == 0 ? "yuyv422" : "bgr24") + " -s " + size + " -r " + rate +
                    " -i - ";
  if (!audioFrom.empty())
    cmd += "-i " + ShellQuote(audioFrom) + " -map 0:v:0 -map 1:a? -c:a copy ";
  cmd += std::string(g.pixelFormat == 1 ? "-vf vflip " : "") +
         "-c:v libx264 -preset veryfast -crf 23 -pix_fmt yuv420p " +
         (path == "-" ? std::string("-f matroska -") : ShellQuote(path));
  FILE* f = popen(cmd.c_str(), "w");
  if (!f)
    *error = "cannot start ffmpeg";
  return f;
}

bool CloseFrameSink(FILE* f, bool raw) {
  if (!f)
    return true;
  if (!raw)
    return pclose(f) == 0;
  if (f == stdout)
    return std::fflush(f) == 0;
  return std::fclose(f) == 0;
}

}  // namespace zunkhost
