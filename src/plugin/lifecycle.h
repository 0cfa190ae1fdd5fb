// The descriptor's operations, as plain functions. The exported entry points wrap them
// with the module context, the stack realignment and the exception barrier. The frame
// operation, ProcessFrame, is the pipeline's.
#pragma once

#include <cstdint>

#include "host/host_records.h"
#include "pipeline/frame_pipeline.h"

namespace zunk {

void Init(const InitInfo* info);
int32_t Start(const StreamFormat* format);
void Stop();
void Configure(void* parentWindowVariable);
void Exit();

// Frees the stream's buffers and releases the message layer (Stop's steps 2 and 3).
void ReleaseStreamResources();

}  // namespace zunk
