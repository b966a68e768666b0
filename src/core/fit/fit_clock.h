// Elapsed time of a running fit. The fits' time rules look only at the seconds
// field (0..59) of the elapsed time, so a fit asks its timer for that field after
// each pass (or attempt) and for the whole seconds when it writes its memo line.
#pragma once

#include <cstdint>
#include <functional>

namespace rel {

// Seconds of the system's monotonic clock.
double SteadySeconds();

// Where a fit takes its time from.
struct FitClock {
    // Monotonic seconds; empty means SteadySeconds. Tests pass a simulated clock.
    std::function<double()> now;
    // When positive: a virtual clock. The elapsed time is the number of
    // evaluations of the search's own criterion made so far divided by this rate,
    // so a fit gives the same model and the same memo lines on every machine.
    std::int64_t evaluationsPerSecond = 0;
};

// A reading of a fit's elapsed time.
struct ElapsedTime {
    double seconds = 0.0;    // never negative
    std::int64_t whole = 0;  // whole seconds
    // The seconds field, 0..59: minutes and hours are ignored.
    int SecondsField() const { return static_cast<int>(whole % 60); }
};

// The elapsed time of one fit, started when the timer is made. Each Read() of a
// real clock calls it once.
class FitTimer {
public:
    explicit FitTimer(const FitClock& clock);

    // One evaluation of the search's own criterion.
    void CountEvaluation() { ++evaluations_; }
    std::int64_t Evaluations() const { return evaluations_; }

    ElapsedTime Read() const;

private:
    double Now() const;

    const FitClock& clock_;
    double start_ = 0.0;
    std::int64_t evaluations_ = 0;
};

}  // namespace rel
