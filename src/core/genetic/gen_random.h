// Random numbers of the genetic optimiser.
//
// The optimiser draws uniform numbers in [0, 1) from a generator it is given. The
// default generator behaves as the optimiser always has: seeded from the clock when a
// run starts and reseeded from the clock before every fitness evaluation, so no two
// runs are alike. Given a fixed seed and with the reseeding off, a run is repeatable:
// the same seed gives the same draws, the same memo lines and the same model.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "stats/random.h"

namespace rel {

class GenRandom {
public:
    virtual ~GenRandom() = default;
    // Called once when a run starts, before the first draw.
    virtual void StartRun() = 0;
    // Called before every fitness evaluation.
    virtual void BeforeEvaluation() = 0;
    // A uniform number in [0, 1).
    virtual double Next() = 0;
};

// A monotonic high-resolution counter (nanoseconds of the steady clock).
std::uint64_t ClockCounter();

// The optimiser's own generator.
//  seed            none: the run starts from the clock counter; a value: from that seed.
//  reseedEachEval  before every fitness evaluation the state is seeded again from the
//                  clock counter mixed with the generator's next output.
// `clock` replaces the clock counter (tests).
class SystemRandom final : public GenRandom {
public:
    SystemRandom(std::optional<std::uint64_t> seed, bool reseedEachEval,
                 std::function<std::uint64_t()> clock = {});
    void StartRun() override;
    void BeforeEvaluation() override;
    double Next() override { return gen_.NextDouble(); }

private:
    std::uint64_t Clock() const { return clock_ ? clock_() : ClockCounter(); }
    std::optional<std::uint64_t> seed_;
    bool reseed_;
    std::function<std::uint64_t()> clock_;
    Xoshiro256 gen_;
};

// Draws supplied by a function (tests script the draws with it); no reseeding.
class FunctionRandom final : public GenRandom {
public:
    explicit FunctionRandom(std::function<double()> f) : f_(std::move(f)) {}
    void StartRun() override {}
    void BeforeEvaluation() override {}
    double Next() override { return f_(); }

private:
    std::function<double()> f_;
};

}  // namespace rel
