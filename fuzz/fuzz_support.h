// Shared pieces of the fuzz targets: the reversed-interval handler that turns a
// reversed time interval reaching the Weibull routine into a finding.
#pragma once

#include <cstdio>
#include <cstdlib>

#include "stats/distrib.h"

namespace relfuzz {

// Set while the current input holds a failure with a negative time: such a row is
// known to reach the reversed-interval routine through the model indicators and is
// being fixed in the reader; RELAN_FUZZ_STRICT=1 in the environment reports it anyway.
inline bool g_negativeTimeKnown = false;

inline void AbortOnReversedInterval(double t1, double t2) {
    static const bool strict = std::getenv("RELAN_FUZZ_STRICT") != nullptr;
    if (g_negativeTimeKnown && !strict) return;
    std::fprintf(stderr, "%s: t1=%.17g t2=%.17g\n", rel::kReversedIntervalText, t1, t2);
    std::abort();
}

inline void InstallHandler() { rel::SetReversedIntervalHandler(AbortOnReversedInterval); }

// A condition that must hold for every input: a failed one is a finding.
#define RELFUZZ_CHECK(cond)                                                             \
    do {                                                                                \
        if (!(cond)) {                                                                  \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                               \
        }                                                                               \
    } while (0)

}  // namespace relfuzz
