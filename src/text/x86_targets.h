#pragma once
// Whether this build can carry code for x86 extensions beyond its baseline,
// to be picked at run time: that needs the GNU target attribute and the
// compiler's CPU check. MinGW is left out: its compilers do not keep the
// stack aligned for the 32-byte vectors that a target function spills.

#if defined(__x86_64__) && !defined(_WIN32) && \
    (defined(__GNUC__) || defined(__clang__))
#define GAUMO_X86_TARGETS 1
#include <immintrin.h>
#else
#define GAUMO_X86_TARGETS 0
#endif
