// The upper halves of the processor's wide vector registers.
//
// Code that leaves the upper halves of the AVX registers in use (without the
// closing vzeroupper that compilers add) makes every later SSE instruction of the
// thread wait on them: the criterion's exponentials and logarithms then run many
// times slower. A thread inherits this state from the thread that creates it, and
// the toolkit's start-up leaves it so on the window's thread. A run's worker
// thread clears it when it starts (it makes no call into the toolkit afterwards).
#pragma once

namespace relan {

inline void ClearUpperVectorState() {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    static const bool avx = __builtin_cpu_supports("avx");
    if (avx) __asm__ volatile("vzeroupper" ::: "memory");
#endif
}

}  // namespace relan
