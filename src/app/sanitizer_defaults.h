// Included by the main file of each program (once per program). Under
// ThreadSanitizer:
//  - the toolkit's own libraries are not instrumented, so what their copies,
//    allocations and frees touch is left out of the reports (their locking still
//    counts) and every report is about this program's code. A run's worker hands
//    what it reports over through atomics and joins, which the sanitizer sees;
//  - the toolkit starts child processes (pdftoppm, the report run of the window
//    program) with vfork semantics: the child shares the parent's memory until it
//    executes the new program, and the sanitizer would take the parent for a forked
//    child that may start no thread. Every child here executes another program at
//    once, so starting threads afterwards stays allowed.
// Outside a ThreadSanitizer build this is empty.
#pragma once

#if defined(__SANITIZE_THREAD__)
#define RELAN_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define RELAN_TSAN 1
#endif
#endif

#ifdef RELAN_TSAN
extern "C" const char* __tsan_default_options() { return "ignore_noninstrumented_modules=1:die_after_fork=0"; }
#endif
