#include "fit/fit_clock.h"

#include <chrono>
#include <cmath>

namespace rel {

double SteadySeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

FitTimer::FitTimer(const FitClock& clock) : clock_(clock) {
    if (clock_.evaluationsPerSecond <= 0) start_ = Now();
}

double FitTimer::Now() const { return clock_.now ? clock_.now() : SteadySeconds(); }

ElapsedTime FitTimer::Read() const {
    ElapsedTime e;
    if (clock_.evaluationsPerSecond > 0) {
        e.seconds = static_cast<double>(evaluations_) / static_cast<double>(clock_.evaluationsPerSecond);
        e.whole = evaluations_ / clock_.evaluationsPerSecond;
        return e;
    }
    const double d = Now() - start_;
    e.seconds = d > 0.0 ? d : 0.0;                                  // also turns NaN from a broken clock into 0
    const double capped = e.seconds < 9.0e15 ? e.seconds : 9.0e15;  // keeps the conversion defined
    e.whole = static_cast<std::int64_t>(std::floor(capped));
    return e;
}

}  // namespace rel
