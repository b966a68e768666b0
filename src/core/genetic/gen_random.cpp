#include "genetic/gen_random.h"

#include <chrono>

namespace rel {

std::uint64_t ClockCounter() {
    return static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

SystemRandom::SystemRandom(std::optional<std::uint64_t> seed, bool reseedEachEval,
                           std::function<std::uint64_t()> clock)
    : seed_(seed), reseed_(reseedEachEval), clock_(std::move(clock)) {}

void SystemRandom::StartRun() { gen_.Seed(seed_ ? *seed_ : Clock()); }

void SystemRandom::BeforeEvaluation() {
    if (reseed_) gen_.Seed(Clock() ^ gen_.NextU64());
}

}  // namespace rel
