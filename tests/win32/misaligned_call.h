// Calls into the module with the stack only 4-byte aligned at the call, as hosts built
// by other compilers do, and a callback that records the alignment it was called with.
#pragma once

#include <cstdint>

extern "C" {
// fn(), fn(arg): the stack pointer is 4 mod 16 at the call instruction.
uintptr_t CallMisaligned0(void* fn);
uintptr_t CallMisaligned1(void* fn, uintptr_t arg);
// A channel callback (cdecl, 64-bit key) that answers 1 and stores its entry stack pointer.
int32_t RecordingChannelCheck(int64_t key);
extern volatile uintptr_t ChannelCheckEntryStack;
extern volatile uint32_t ChannelCheckCalls;
}

// A callback entered with an ABI-aligned stack sees the return address at 12 mod 16.
inline bool EnteredAligned(uintptr_t entryStack) {
  return (entryStack + 4) % 16 == 0;
}
