// In-process decoding with the libav* libraries: demux the first video stream, decode
// it with frame threads, and hand out 4:2:0 planes (other layouts and mid-stream size
// changes are converted to the stream's first size with swscale). Damaged packets are
// counted and decoded past; frames lost to them are filled with the frame before, by
// the timestamps, so the timeline keeps the recording's clock; a file that ends before
// its index says is reported. A fast scan lets the decoder leave out work (smaller
// pictures, no deblocking, frames nothing refers to); frames it does not decode are
// filled the same way, without counting as damage.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include <chrono>
#include <cmath>
#include <thread>

#include "decode/frame_source.h"
#include "os/files.h"
#include "os/host_os.h"

namespace zunkhost {
namespace {

std::string AvError(int code) {
  char buf[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, buf, sizeof buf);
  return buf;
}

// A recording that is about to be written: its first bytes, within `seconds`.
bool WaitForFirstBytes(const std::string& path, double seconds, std::string* error) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (FileSize(path) <= 0 && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  return CheckVideoFile(path, error);
}

// What a fast scan lets the decoder leave out, per codec. Chosen by measuring decoding
// time and the breaks found against the exact run over the evaluation recordings.
struct Shortcuts {
  int lowres = 0;                 // pictures at half the size per step (MPEG-1/2, MPEG-4 part 2)
  bool skipLoopFilter = false;    // no deblocking (H.264, HEVC)
  bool skipNonReference = false;  // frames no other frame is predicted from are not decoded
};

Shortcuts FastShortcutsFor(const AVCodec* codec) {
  Shortcuts s;
  switch (codec->id) {
    case AV_CODEC_ID_MPEG1VIDEO:
    case AV_CODEC_ID_MPEG2VIDEO:
    case AV_CODEC_ID_MPEG4:
      s.lowres = codec->max_lowres >= 1 ? 1 : 0;
      s.skipNonReference = true;
      break;
    case AV_CODEC_ID_H264:
    case AV_CODEC_ID_HEVC:
      s.skipLoopFilter = true;
      s.skipNonReference = true;
      break;
    default:
      break;
  }
  return s;
}

std::string LeftOutText(const Shortcuts& s) {
  std::string text;
  if (s.lowres)
    text = "decoded at half size";
  if (s.skipLoopFilter)
    text += std::string(text.empty() ? "" : ", ") + "no deblocking";
  if (s.skipNonReference)
    text += std::string(text.empty() ? "" : ", ") +
            "frames no other is predicted from are not decoded (the one before is shown again)";
  return text.empty() ? "nothing the decoder of this codec can leave out" : text;
}

bool Is420(int format) {
  return format == AV_PIX_FMT_YUV420P || format == AV_PIX_FMT_YUVJ420P;
}

class LibavSource : public FrameSource {
 public:
  ~LibavSource() override {
    sws_freeContext(sws_);
    av_frame_free(&frame_);
    av_frame_free(&shown_);
    av_frame_free(&held_);
    av_packet_free(&packet_);
    avcodec_free_context(&decoder_);
    avformat_close_input(&format_);
    av_freep(&converted_[0]);
  }

  bool Open(const std::string& path, int threads, double follow, bool fast, std::string* error) {
    const bool fromStdin = path == "-";
    if (!fromStdin &&
        !(follow > 0 ? WaitForFirstBytes(path, follow, error) : CheckVideoFile(path, error)))
      return false;
    AVDictionary* options = nullptr;
    if (follow > 0) {
      // The file protocol retries at the end of the file until rw_timeout passes.
      av_dict_set(&options, "follow", "1", 0);
      av_dict_set_int(&options, "rw_timeout", static_cast<int64_t>(follow * 1e6), 0);
    }
    int r = avformat_open_input(&format_, fromStdin ? "pipe:0" : path.c_str(), nullptr, &options);
    av_dict_free(&options);
    if (r < 0) {
      *error = path + ": not a video (" + AvError(r) + ")";
      return false;
    }
    r = avformat_find_stream_info(format_, nullptr);
    if (r < 0) {
      *error = path + ": not a video (" + AvError(r) + ")";
      return false;
    }
    const AVCodec* codec = nullptr;
    stream_ = av_find_best_stream(format_, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
    if (stream_ < 0 || !codec) {
      *error = path + (stream_ == AVERROR_DECODER_NOT_FOUND ? ": no decoder for its video"
                                                            : ": not a video (no video stream)");
      return false;
    }
    AVStream* s = format_->streams[stream_];
    decoder_ = avcodec_alloc_context3(codec);
    if (!decoder_ || avcodec_parameters_to_context(decoder_, s->codecpar) < 0) {
      *error = path + ": cannot set up its decoder";
      return false;
    }
    decoder_->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    if (fast) {
      const Shortcuts cut = FastShortcutsFor(codec);
      // A quarter of the pictures' pixels, and those of the frames nothing refers to left
      // out: the decoder's slice threads then cost more processor time in hand-overs than
      // they save in waiting (measured on two cores), while the run's own thread already
      // works beside the decoding one.
      if (cut.lowres && threads == 0)
        threads = 1;
      decoder_->lowres = cut.lowres;
      if (cut.skipLoopFilter)
        decoder_->skip_loop_filter = AVDISCARD_ALL;
      if (cut.skipNonReference)
        decoder_->skip_frame = AVDISCARD_NONREF;
      skipsFrames_ = cut.skipNonReference;
      info_.leftOut = LeftOutText(cut);
    }
    decoder_->thread_count = threads;
    r = avcodec_open2(decoder_, codec, nullptr);
    if (r < 0) {
      *error = path + ": cannot open its decoder (" + AvError(r) + ")";
      return false;
    }
    if (decoder_->width <= 0 || decoder_->height <= 0) {
      *error = path + ": the video has no frame size";
      return false;
    }
    packet_ = av_packet_alloc();
    frame_ = av_frame_alloc();
    shown_ = av_frame_alloc();
    held_ = av_frame_alloc();
    if (!packet_ || !frame_ || !shown_ || !held_) {
      *error = path + ": out of memory";
      return false;
    }
    timeBase_ = av_q2d(s->time_base);
    // Reduced-size decoding gives pictures of 1 / 2^lowres of the coded size.
    info_.width = AV_CEIL_RSHIFT(s->codecpar->width, decoder_->lowres);
    info_.height = AV_CEIL_RSHIFT(s->codecpar->height, decoder_->lowres);
    if (info_.width <= 0 || info_.height <= 0) {
      info_.width = decoder_->width;
      info_.height = decoder_->height;
    }
    AVRational rate = s->avg_frame_rate.num > 0 ? s->avg_frame_rate : s->r_frame_rate;
    if (rate.num > 0 && rate.den > 0)
      info_.fps = av_q2d(rate);
    indexedFrames_ = s->nb_frames > 0 ? s->nb_frames : -1;
    if (indexedFrames_ > 0)
      info_.expectedFrames = indexedFrames_;
    else if (s->duration > 0)
      info_.expectedFrames = static_cast<int64_t>(s->duration * av_q2d(s->time_base) * info_.fps);
    else if (format_->duration > 0)
      info_.expectedFrames =
          static_cast<int64_t>(format_->duration / double(AV_TIME_BASE) * info_.fps);
    for (unsigned i = 0; i < format_->nb_streams; ++i)
      if (format_->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO)
        info_.hasAudio = true;
    if (decoder_->color_range == AVCOL_RANGE_JPEG || decoder_->pix_fmt == AV_PIX_FMT_YUVJ420P)
      info_.matrix = ColourMatrix::kFullRange601;
    else if (decoder_->colorspace == AVCOL_SPC_BT709 ||
             (decoder_->colorspace == AVCOL_SPC_UNSPECIFIED && s->codecpar->height >= 720))
      info_.matrix = ColourMatrix::kBt709;
    path_ = path;
    return true;
  }

  bool Next(PlanarFrame* out) override {
    if (repeats_ > 0) {
      --repeats_;
      damaged_ += !skipsFrames_;
      ++delivered_;
      return Deliver(shown_, out, true);
    }
    if (heldReady_) {
      heldReady_ = false;
      av_frame_unref(shown_);
      av_frame_move_ref(shown_, held_);
      ++delivered_;
      return Deliver(shown_, out);
    }
    for (;;) {
      int r = avcodec_receive_frame(decoder_, frame_);
      if (r == 0) {
        if (frame_->decode_error_flags || (frame_->flags & AV_FRAME_FLAG_CORRUPT))
          ++damaged_;
        int64_t gap = FramesMissingBefore(frame_);
        if (gap > 0) {
          // Show the last good frame for the lost ones, then this one.
          av_frame_move_ref(held_, frame_);
          heldReady_ = true;
          repeats_ = gap - 1;
          damaged_ += !skipsFrames_;
          ++delivered_;
          return Deliver(shown_, out, true);
        }
        av_frame_unref(shown_);
        av_frame_move_ref(shown_, frame_);
        ++delivered_;
        return Deliver(shown_, out);
      }
      if (r == AVERROR_EOF) {
        if (skipsFrames_ && FramesLeftAtEnd() > 0) {
          // The last frames were left out: the last one decoded stands for them.
          repeats_ = FramesLeftAtEnd() - 1;
          ++delivered_;
          return Deliver(shown_, out, true);
        }
        CheckEnd();
        return false;
      }
      if (r != AVERROR(EAGAIN)) {
        // A frame that failed to decode; frame threads report it here.
        ++damaged_;
        if (++failedInRow_ > 1000) {
          failure_ = path_ + ": the video cannot be decoded";
          return false;
        }
        continue;
      }
      if (!Feed())
        return false;
    }
  }

 private:
  // Sends the next packet of the stream to the decoder (or the end of the stream).
  bool Feed() {
    if (inputDone_)
      return true;
    for (;;) {
      int r = av_read_frame(format_, packet_);
      if (r < 0) {
        if (r != AVERROR_EOF)
          readError_ = AvError(r);
        inputDone_ = true;
        avcodec_send_packet(decoder_, nullptr);
        return true;
      }
      if (packet_->stream_index != stream_) {
        av_packet_unref(packet_);
        continue;
      }
      if (packet_->flags & AV_PKT_FLAG_CORRUPT)
        ++damaged_;
      if (skipsFrames_)
        NoteLastTimestamp(packet_->pts);
      r = avcodec_send_packet(decoder_, packet_);
      av_packet_unref(packet_);
      if (r == AVERROR_INVALIDDATA) {
        ++damaged_;
        continue;
      }
      if (r < 0 && r != AVERROR(EAGAIN)) {
        failure_ = path_ + ": decoding failed (" + AvError(r) + ")";
        return false;
      }
      return true;
    }
  }

  // How many frames the decoder lost before f, by its timestamp against the frames
  // handed out so far. A jump of more than ten seconds is a new clock, not a loss.
  int64_t FramesMissingBefore(const AVFrame* f) {
    int64_t ts = f->best_effort_timestamp;
    if (ts == AV_NOPTS_VALUE || timeBase_ <= 0)
      return 0;
    if (firstTs_ == AV_NOPTS_VALUE)
      firstTs_ = ts;
    int64_t index = llround((ts - firstTs_) * timeBase_ * info_.fps) - offset_;
    int64_t gap = index - delivered_;
    if (gap <= 0 || !shown_->data[0])
      return 0;
    if (gap > static_cast<int64_t>(info_.fps * 10) + 1) {
      offset_ += gap;
      return 0;
    }
    return gap;
  }

  // The latest display time among the packets read, on the clock of the last ones: a
  // jump of more than ten seconds either way starts a new clock.
  void NoteLastTimestamp(int64_t pts) {
    if (pts == AV_NOPTS_VALUE || timeBase_ <= 0)
      return;
    if (lastPacketTs_ == AV_NOPTS_VALUE) {
      lastPacketTs_ = pts;
      return;
    }
    const double jump = static_cast<double>(pts - lastPacketTs_) * timeBase_;
    if (jump > 0 || jump < -10)
      lastPacketTs_ = pts;
  }

  // Frames after the last one handed out, up to the latest packet's time.
  int64_t FramesLeftAtEnd() const {
    if (!shown_->data[0] || lastPacketTs_ == AV_NOPTS_VALUE || firstTs_ == AV_NOPTS_VALUE)
      return 0;
    const int64_t last = llround((lastPacketTs_ - firstTs_) * timeBase_ * info_.fps) - offset_;
    return last >= delivered_ && last - delivered_ < info_.fps * 10 ? last - delivered_ + 1 : 0;
  }

  // A file whose index promises more frames than it holds was cut short.
  void CheckEnd() {
    if (delivered_ == 0) {
      failure_ = path_ + ": no video frames could be decoded";
    } else if (indexedFrames_ > 0 && delivered_ < indexedFrames_ - indexedFrames_ / 100 - 2) {
      failure_ = path_ + ": truncated video (" + std::to_string(delivered_) + " of " +
                 std::to_string(indexedFrames_) + " frames)";
    } else if (!readError_.empty() && indexedFrames_ > 0 && delivered_ < indexedFrames_) {
      failure_ = path_ + ": truncated video (" + readError_ + ")";
    }
  }

  // repeat: f is the frame handed out last, given again.
  bool Deliver(const AVFrame* f, PlanarFrame* out, bool repeat = false) {
    failedInRow_ = 0;
    out->repeat = repeat;
    if (Is420(f->format) && f->width == info_.width && f->height == info_.height) {
      out->y = f->data[0];
      out->u = f->data[1];
      out->v = f->data[2];
      out->strideY = f->linesize[0];
      out->strideU = f->linesize[1];
      out->strideV = f->linesize[2];
      return true;
    }
    // Another layout, or a size change in the stream: to 4:2:0 at the first size.
    sws_ = sws_getCachedContext(sws_, f->width, f->height, static_cast<AVPixelFormat>(f->format),
                                info_.width, info_.height, AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr,
                                nullptr, nullptr);
    if (!sws_) {
      failure_ = path_ + ": cannot convert its frames";
      return false;
    }
    if (!converted_[0] && av_image_alloc(converted_, convertedStride_, info_.width, info_.height,
                                         AV_PIX_FMT_YUV420P, 32) < 0) {
      failure_ = path_ + ": out of memory";
      return false;
    }
    sws_scale(sws_, f->data, f->linesize, 0, f->height, converted_, convertedStride_);
    out->y = converted_[0];
    out->u = converted_[1];
    out->v = converted_[2];
    out->strideY = convertedStride_[0];
    out->strideU = convertedStride_[1];
    out->strideV = convertedStride_[2];
    return true;
  }

  std::string path_;
  AVFormatContext* format_ = nullptr;
  AVCodecContext* decoder_ = nullptr;
  AVPacket* packet_ = nullptr;
  AVFrame* frame_ = nullptr;  // the decoder's output
  AVFrame* shown_ = nullptr;  // the frame handed out last
  AVFrame* held_ = nullptr;   // a frame waiting behind the fill of lost ones
  bool heldReady_ = false;
  int64_t repeats_ = 0;
  double timeBase_ = 0;
  int64_t firstTs_ = AV_NOPTS_VALUE;
  int64_t offset_ = 0;
  SwsContext* sws_ = nullptr;
  uint8_t* converted_[4] = {};
  int convertedStride_[4] = {};
  int stream_ = -1;
  bool inputDone_ = false;
  std::string readError_;
  int64_t indexedFrames_ = -1;
  int64_t delivered_ = 0;
  int failedInRow_ = 0;
  bool skipsFrames_ = false;  // frames left out on purpose: their gaps are no damage
  int64_t lastPacketTs_ = AV_NOPTS_VALUE;
};

}  // namespace

bool HaveLibav() {
  return true;
}

std::unique_ptr<FrameSource> OpenLibavSource(const std::string& path,
                                             int threads,
                                             double follow,
                                             bool fast,
                                             std::string* error) {
  av_log_set_level(AV_LOG_QUIET);
  std::unique_ptr<LibavSource> s(new LibavSource);
  if (!s->Open(path, threads, follow, fast, error))
    return nullptr;
  return s;
}

}  // namespace zunkhost
