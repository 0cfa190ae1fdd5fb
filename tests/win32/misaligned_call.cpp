// The misaligning thunks and the recording callback, in assembly so that the compiler
// cannot repair the alignment on its own.
#include "misaligned_call.h"

extern "C" {
volatile uintptr_t ChannelCheckEntryStack = 0;
volatile uint32_t ChannelCheckCalls = 0;
}

asm(R"(
  .text
  .globl _CallMisaligned0
_CallMisaligned0:
  push %ebp
  mov %esp, %ebp
  mov 8(%ebp), %eax
  and $-16, %esp
  sub $12, %esp
  call *%eax
  mov %ebp, %esp
  pop %ebp
  ret

  .globl _CallMisaligned1
_CallMisaligned1:
  push %ebp
  mov %esp, %ebp
  mov 8(%ebp), %eax
  mov 12(%ebp), %ecx
  and $-16, %esp
  sub $8, %esp
  push %ecx
  call *%eax
  mov %ebp, %esp
  pop %ebp
  ret

  .globl _RecordingChannelCheck
_RecordingChannelCheck:
  mov %esp, %eax
  mov %eax, _ChannelCheckEntryStack
  incl _ChannelCheckCalls
  mov $1, %eax
  ret
)");
