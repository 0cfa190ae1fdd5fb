// ReadAhead: the frames of a reader read and packed on a thread of its own while the
// run's thread works on the ones before, through a few frame buffers used in turn. The
// frames come out in the reader's order, each exactly as the reader packs it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "decode/frame_reader.h"

namespace zunkhost {

class ReadAhead {
 public:
  // Reads at most maxFrames frames (-1: all) of frameBytes each from an open reader.
  // buffers: how many frames may be in hand at once, the caller's included; 1 reads each
  // frame on the caller's thread when it is asked for, with no thread of its own.
  ReadAhead(FrameReader* reader, size_t frameBytes, int64_t maxFrames, int buffers);
  // Stops reading (the frames read ahead are dropped) and waits for the thread.
  ~ReadAhead();
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;

  // The next frame, the caller's to read and change until the next call; null at the end
  // (then the reader's Failure() and Damaged() are final).
  uint8_t* Next();
  // Whether the frame Next gave last is a repeat of the one before it (FrameReader::Repeated).
  bool Repeated() const;
  // Time spent reading and packing frames, so far.
  std::chrono::steady_clock::duration ReadingTime() const;

 private:
  void Fill();

  FrameReader* reader_;
  const int64_t maxFrames_;
  std::vector<std::vector<uint8_t>> buffers_;
  std::vector<char> repeated_;  // per buffer, for the frame it holds
  mutable std::mutex mutex_;
  std::condition_variable filled_, freed_;
  int64_t read_ = 0;      // frames in buffers so far
  int64_t released_ = 0;  // frames the caller is done with
  int64_t handedOut_ = 0;
  bool ended_ = false;    // the reader has given its last frame
  bool waiting_ = false;  // the caller waits for frames
  bool stop_ = false;
  std::chrono::steady_clock::duration reading_{};
  std::thread thread_;
};

}  // namespace zunkhost
