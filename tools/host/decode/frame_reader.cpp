// FrameReader: raw frames straight from a file, or decoded frames through the packer.
#include "decode/frame_reader.h"

#include <vector>

#if ZUNK_HOST_DECODE
#include "decode/frame_pack.h"
#endif

namespace zunkhost {

#if !ZUNK_HOST_DECODE
class FramePacker {};
#endif

FrameReader::FrameReader() = default;
FrameReader::~FrameReader() {
  Close();
}

bool FrameReader::Open(const ReaderSetup& setup, VideoGeometry* g, std::string* error) {
  setup_ = setup;
  if (setup.raw) {
    raw_ = OpenFrameSource(setup.path, true, *g, error);
    geometry_ = *g;
    rawBytes_ = FrameBytes(*g);
    return raw_ != nullptr;
  }
#if ZUNK_HOST_DECODE
  bool useLibav = setup.decoder == "libav" || (setup.decoder == "auto" && HaveLibav());
  source_ = useLibav ? OpenLibavSource(setup.path, setup.threads, setup.follow, setup.fast, error)
                     : OpenPipeSource(setup.path, error);
  if (!source_)
    return false;
  const StreamInfo& info = source_->Info();
  if (!setup.keepSize) {
    g->width = info.width;
    g->height = info.height;
  }
  g->fps = info.fps;
  geometry_ = *g;
  packer_.reset(new FramePacker(info, g->width, g->height, g->pixelFormat));
  return true;
#else
  *error = "this build reads raw frames only (--raw FILE or --raw -)";
  return false;
#endif
}

bool FrameReader::Read(uint8_t* frame) {
  return Next(frame);
}

bool FrameReader::Skip() {
  return Next(nullptr);
}

void FrameReader::PackRows(int first, int last) {
#if ZUNK_HOST_DECODE
  if (packer_)
    packer_->PackRows(first, last);
  lastPacked_ = false;
#else
  (void)first;
  (void)last;
#endif
}

bool FrameReader::Next(uint8_t* frame) {
  if (raw_ && !frame) {
    std::vector<uint8_t> skipped(rawBytes_);
    if (!ReadFrame(raw_, skipped.data(), rawBytes_))
      return false;
    ++rawFrames_;
    return true;
  }
  if (raw_) {
    if (!ReadFrame(raw_, frame, rawBytes_))
      return false;
    ++rawFrames_;
    return true;
  }
#if ZUNK_HOST_DECODE
  PlanarFrame planes;
  repeated_ = false;
  if (!source_ || !source_->Next(&planes)) {
    lastPacked_ = false;
    return false;
  }
  repeated_ = frame && planes.repeat && lastPacked_;
  lastPacked_ = frame != nullptr;
  if (frame)
    packer_->Pack(planes, frame);
  return true;
#else
  return false;
#endif
}

void FrameReader::Close() {
  if (raw_)
    CloseFrameSource(raw_, true);
  raw_ = nullptr;
  packer_.reset();
  source_.reset();
}

int64_t FrameReader::ExpectedFrames() const {
  return source_ ? source_->Info().expectedFrames : -1;
}

bool FrameReader::HasAudio() const {
  return source_ && source_->Info().hasAudio;
}

std::string FrameReader::Failure() const {
  return source_ ? source_->Failure() : failure_;
}

std::string FrameReader::LeftOut() const {
  return source_ ? source_->Info().leftOut : "";
}

int64_t FrameReader::Damaged() const {
  return source_ ? source_->Damaged() : 0;
}

}  // namespace zunkhost
