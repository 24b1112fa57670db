#pragma once
// Every compiler, instruction-set and sanitizer switch of the build, so
// that the code elsewhere asks a named question instead of testing compiler
// macros itself. Macros only: safe to include from any folder.

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

// Whether SSE2 is part of the baseline (every x86-64 build).
#if defined(__SSE2__) || defined(_M_X64)
#define GAUMO_SSE2 1
#include <emmintrin.h>
#else
#define GAUMO_SSE2 0
#endif

// GCC itself (clang defines __GNUC__ too), for its own warning pragmas.
#if defined(__GNUC__) && !defined(__clang__)
#define GAUMO_GCC 1
#else
#define GAUMO_GCC 0
#endif

// Inlining the hot loops' helpers by force, and keeping their rare paths
// out of line. MSVC knows no GNU attribute and, at /W4 /WX, lets no unknown
// one pass.
#if defined(__GNUC__) || defined(__clang__)
#define GAUMO_ALWAYS_INLINE [[gnu::always_inline]] inline
#define GAUMO_NOINLINE [[gnu::noinline]]
#define GAUMO_PREFETCH(p) __builtin_prefetch(p)
#elif defined(_MSC_VER)
#define GAUMO_ALWAYS_INLINE __forceinline
#define GAUMO_NOINLINE __declspec(noinline)
#define GAUMO_PREFETCH(p) ((void)(p))
#else
#define GAUMO_ALWAYS_INLINE inline
#define GAUMO_NOINLINE
#define GAUMO_PREFETCH(p) ((void)(p))
#endif

// Whether AddressSanitizer watches this build.
#if defined(__SANITIZE_ADDRESS__)
#define GAUMO_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define GAUMO_ASAN 1
#endif
#endif
#ifndef GAUMO_ASAN
#define GAUMO_ASAN 0
#endif
