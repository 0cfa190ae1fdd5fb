// The decoded frames from an ffmpeg process: ffprobe tells the stream's properties, and
// ffmpeg writes every decoded frame (no frame-rate conversion) as raw 4:2:0 planes.
// Used where the decoder libraries are missing, and to check the in-process decoder.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "decode/frame_source.h"
#include "decode/video_pipe.h"
#include "os/host_os.h"

namespace zunkhost {
namespace {

double Rate(const std::string& text) {
  int num = 0, den = 0;
  if (std::sscanf(text.c_str(), "%d/%d", &num, &den) == 2 && num > 0 && den > 0)
    return double(num) / den;
  return 0;
}

class PipeSource : public FrameSource {
 public:
  ~PipeSource() override {
    if (pipe_)
      pclose(pipe_);
  }

  bool Open(const std::string& path, std::string* error) {
    if (!CheckVideoFile(path, error))
      return false;
    std::string probe =
        "ffprobe -v error -show_entries "
        "stream=codec_type,width,height,avg_frame_rate,r_frame_rate,nb_frames,"
        "pix_fmt,color_range,color_space -of default=nw=1 " +
        ShellQuote(path) + " 2>/dev/null";
    FILE* p = popen(probe.c_str(), "r");
    if (!p) {
      *error = "cannot start ffprobe";
      return false;
    }
    // One "key=value" line per property, streams in order; the first video stream counts.
    std::string pixFmt, range, space;
    double avgRate = 0, baseRate = 0;
    bool inVideo = false, seenVideo = false;
    char line[512];
    while (std::fgets(line, sizeof line, p)) {
      std::string l(line);
      while (!l.empty() && (l.back() == '\n' || l.back() == '\r'))
        l.pop_back();
      size_t eq = l.find('=');
      if (eq == std::string::npos)
        continue;
      std::string key = l.substr(0, eq), value = l.substr(eq + 1);
      if (key == "codec_type") {
        inVideo = value == "video" && !seenVideo;
        seenVideo = seenVideo || value == "video";
        info_.hasAudio = info_.hasAudio || value == "audio";
      } else if (!inVideo) {
        continue;
      } else if (key == "width") {
        info_.width = std::atoi(value.c_str());
      } else if (key == "height") {
        info_.height = std::atoi(value.c_str());
      } else if (key == "avg_frame_rate") {
        avgRate = Rate(value);
      } else if (key == "r_frame_rate") {
        baseRate = Rate(value);
      } else if (key == "nb_frames") {
        info_.expectedFrames = std::atoll(value.c_str()) > 0 ? std::atoll(value.c_str()) : -1;
      } else if (key == "pix_fmt") {
        pixFmt = value;
      } else if (key == "color_range") {
        range = value;
      } else if (key == "color_space") {
        space = value;
      }
    }
    pclose(p);
    if (!seenVideo || info_.width <= 0 || info_.height <= 0) {
      *error = path + ": not a video";
      return false;
    }
    if (avgRate > 0 || baseRate > 0)
      info_.fps = avgRate > 0 ? avgRate : baseRate;
    if (range == "pc" || pixFmt == "yuvj420p")
      info_.matrix = ColourMatrix::kFullRange601;
    else if (space == "bt709" || ((space.empty() || space == "unknown") && info_.height >= 720))
      info_.matrix = ColourMatrix::kBt709;
    // Full-range 4:2:0 is passed as it is; every other layout is converted by ffmpeg.
    std::string format = pixFmt == "yuvj420p" ? "yuvj420p" : "yuv420p";
    std::string cmd = "ffmpeg -nostdin -v fatal -i " + ShellQuote(path) +
                      " -map 0:v:0 -fps_mode passthrough -f rawvideo -pix_fmt " + format + " -";
    pipe_ = popen(cmd.c_str(), "r");
    if (!pipe_) {
      *error = "cannot start ffmpeg";
      return false;
    }
    int cw = (info_.width + 1) / 2, ch = (info_.height + 1) / 2;
    buffer_.resize(static_cast<size_t>(info_.width) * info_.height + 2u * cw * ch);
    path_ = path;
    return true;
  }

  bool Next(PlanarFrame* out) override {
    if (!pipe_ || !ReadFrame(pipe_, buffer_.data(), buffer_.size())) {
      if (pipe_) {
        int status = pclose(pipe_);
        pipe_ = nullptr;
        if (delivered_ == 0)
          failure_ = path_ + ": no video frames could be decoded";
        else if (info_.expectedFrames > 0 &&
                 delivered_ < info_.expectedFrames - info_.expectedFrames / 100 - 2)
          failure_ = path_ + ": truncated video (" + std::to_string(delivered_) + " of " +
                     std::to_string(info_.expectedFrames) + " frames)";
        else if (status != 0 && info_.expectedFrames > 0 && delivered_ < info_.expectedFrames)
          failure_ = path_ + ": truncated video";
      }
      return false;
    }
    ++delivered_;
    int cw = (info_.width + 1) / 2, ch = (info_.height + 1) / 2;
    out->y = buffer_.data();
    out->strideY = info_.width;
    out->u = out->y + static_cast<size_t>(info_.width) * info_.height;
    out->strideU = cw;
    out->v = out->u + static_cast<size_t>(cw) * ch;
    out->strideV = cw;
    return true;
  }

 private:
  std::string path_;
  FILE* pipe_ = nullptr;
  std::vector<uint8_t> buffer_;
  int64_t delivered_ = 0;
};

}  // namespace

std::unique_ptr<FrameSource> OpenPipeSource(const std::string& path, std::string* error) {
  std::unique_ptr<PipeSource> s(new PipeSource);
  if (!s->Open(path, error))
    return nullptr;
  return s;
}

}  // namespace zunkhost
