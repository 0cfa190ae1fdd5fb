// ReadAhead: one reading thread fills the buffers in turn; buffer i % n holds frame i.
// The thread may fill frame i once the caller has released frame i - n, and the caller
// releases a frame by asking for the next one. A caller that finds no frame ready waits
// until n - 1 are (or the last one is), and is woken once for them: while decoding is the
// slower, both threads then wake about once per n - 1 frames instead of once per frame.
#include "decode/read_ahead.h"

namespace zunkhost {

using Clock = std::chrono::steady_clock;

ReadAhead::ReadAhead(FrameReader* reader, size_t frameBytes, int64_t maxFrames, int buffers)
    : reader_(reader), maxFrames_(maxFrames) {
  buffers_.resize(buffers < 1 ? 1 : static_cast<size_t>(buffers));
  repeated_.resize(buffers_.size());
  for (std::vector<uint8_t>& b : buffers_)
    b.resize(frameBytes);
  if (buffers_.size() > 1)
    thread_ = std::thread(&ReadAhead::Fill, this);
}

ReadAhead::~ReadAhead() {
  {
    std::lock_guard<std::mutex> hold(mutex_);
    stop_ = true;
  }
  freed_.notify_one();
  if (thread_.joinable())
    thread_.join();
}

uint8_t* ReadAhead::Next() {
  if (buffers_.size() == 1) {
    // No thread: this frame is read now, into the one buffer.
    if (ended_ || (maxFrames_ >= 0 && handedOut_ >= maxFrames_))
      return nullptr;
    const Clock::time_point t0 = Clock::now();
    ended_ = !reader_->Read(buffers_[0].data());
    repeated_[0] = reader_->Repeated();
    reading_ += Clock::now() - t0;
    if (ended_)
      return nullptr;
    ++handedOut_;
    return buffers_[0].data();
  }
  std::unique_lock<std::mutex> hold(mutex_);
  released_ = handedOut_;
  freed_.notify_one();
  if (read_ == handedOut_ && !ended_) {
    // The thread can fill every buffer now that the caller's frame is released.
    const int64_t batch = static_cast<int64_t>(buffers_.size()) - 1;
    waiting_ = true;
    filled_.wait(hold, [&] { return read_ - handedOut_ >= batch || ended_; });
    waiting_ = false;
  }
  if (read_ > handedOut_)
    return buffers_[handedOut_++ % buffers_.size()].data();
  hold.unlock();
  // The thread has given its last frame and is about to end: what it set in the reader
  // is read after it has.
  if (thread_.joinable())
    thread_.join();
  return nullptr;
}

bool ReadAhead::Repeated() const {
  // The caller's frame: its buffer is not filled again before the next call.
  return handedOut_ > 0 && repeated_[(handedOut_ - 1) % buffers_.size()];
}

Clock::duration ReadAhead::ReadingTime() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return reading_;
}

void ReadAhead::Fill() {
  const int64_t n = static_cast<int64_t>(buffers_.size());
  for (int64_t i = 0; maxFrames_ < 0 || i < maxFrames_; ++i) {
    uint8_t* buffer;
    {
      std::unique_lock<std::mutex> hold(mutex_);
      freed_.wait(hold, [&] { return stop_ || i - released_ < n; });
      if (stop_)
        break;
      buffer = buffers_[i % n].data();
    }
    const Clock::time_point t0 = Clock::now();
    const bool got = reader_->Read(buffer);
    const Clock::duration took = Clock::now() - t0;
    bool wake;
    {
      std::lock_guard<std::mutex> hold(mutex_);
      reading_ += took;
      if (!got)
        break;
      repeated_[i % n] = reader_->Repeated();
      read_ = i + 1;
      wake = waiting_ && read_ - handedOut_ >= n - 1;
    }
    if (wake)
      filled_.notify_one();
  }
  {
    std::lock_guard<std::mutex> hold(mutex_);
    ended_ = true;
  }
  filled_.notify_one();
}

}  // namespace zunkhost
