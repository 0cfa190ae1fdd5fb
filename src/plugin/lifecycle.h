// The descriptor's operations, as plain functions. The exported entry points wrap them
// with the module context, the stack realignment and the exception barrier.
#pragma once

#include <cstdint>

#include "plugin/host_records.h"

namespace zunk {

void Init(const InitInfo* info);
int32_t Start(const StreamFormat* format);
int32_t ProcessFrame(FrameInfo* frame);  // detect/process_frame.cpp
void Stop();
void Configure(void* parentWindowVariable);
void Exit();

// Frees the stream's buffers and releases the message layer (Stop's steps 2 and 3).
void ReleaseStreamResources();

}  // namespace zunk
