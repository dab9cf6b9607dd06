#pragma once

// Marks a function whose loops the compiler vectorises: it is built twice,
// for plain x86-64 and for AVX2, and the loader picks the one the processor
// runs at start. Plain x86-64 has 16-byte vectors without a 32-bit multiply
// or cheap narrowing, and some loops fall behind memory with them.
// GCC only: clang 14 leaves the dispatching symbol of such a function out of
// a static library, and its builds (the thread and fuzz checks) need no speed.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define VELMORA_WIDE_VECTORS __attribute__((target_clones("avx2", "default")))
#else
#define VELMORA_WIDE_VECTORS
#endif
