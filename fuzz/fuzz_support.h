// Shared pieces of the fuzz targets: the reversed-interval handler that turns a
// reversed time interval reaching the Weibull routine into a finding.
#pragma once

#include <cstdio>
#include <cstdlib>

#include "stats/distrib.h"

namespace relfuzz {

// Loaded data must never reach the reversed-interval routine.
inline void AbortOnReversedInterval(double t1, double t2) {
    std::fprintf(stderr, "%s: t1=%.17g t2=%.17g\n", rel::kReversedIntervalText, t1, t2);
    std::abort();
}

inline void InstallHandler() { rel::SetReversedIntervalHandler(AbortOnReversedInterval); }

// A condition that must hold for every input: a failed one is a finding.
#define RELFUZZ_CHECK(cond)                                                               \
    do {                                                                                  \
        if (!(cond)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                 \
        }                                                                                 \
    } while (0)

}  // namespace relfuzz
