// Calling-convention and entry attributes shared by everything the host calls into.
#pragma once

#if defined(__i386__)
// cdecl: the caller removes the arguments.
#define ZUNK_CDECL __attribute__((cdecl))
// Hosts built by other compilers call with a 4-byte aligned stack while our 32-bit code
// keeps SSE values in 16-byte stack slots: every entry from outside realigns.
#define ZUNK_ENTRY __attribute__((force_align_arg_pointer))
#else
#define ZUNK_CDECL
#define ZUNK_ENTRY
#endif

#if defined(_WIN32)
#define ZUNK_EXPORT extern "C" __declspec(dllexport)
#else
#define ZUNK_EXPORT extern "C" __attribute__((visibility("default")))
#endif
