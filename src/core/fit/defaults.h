// The default settings of one analysis, in one place: the window's fields, relan-cli's
// options and the report take them from here.
#pragma once

#include <cstdint>
#include <string>

namespace rel::defaults {

// A decimal default as a field shows it: whole part and fractional digits, joined
// by the separator in use ("1,00025" in the Russian window, "1.00025" on the command
// line), and its value.
struct Decimal {
    const char* whole;
    const char* fraction;
    double value;

    std::string Text(char sep) const { return std::string(whole) + sep + fraction; }
};

// Step-reduction coefficients of the coordinate searches of models 1.1, 1.2 and 2.
inline constexpr Decimal kStepCoef11{"1", "00025", 1.00025};
inline constexpr Decimal kStepCoef12{"1", "00025", 1.00025};
inline constexpr Decimal kStepCoef2{"1", "0005", 1.0005};

// The models fitted when none are named: model 1.1 and model 3, as the window's
// check boxes start.
inline constexpr bool kModel11 = true, kModel12 = false, kModel2 = false, kModel3 = true;
inline constexpr const char* kModelsText = "1.1,3";

// Burn-in time, h: failures before it are left out of the figures after burn-in.
inline constexpr double kBurnIn = 300.0;
inline constexpr const char* kBurnInText = "300";

// Model 3: bootstrap replicates of the goodness of fit, and the seed of their draws.
inline constexpr int kBootstrap = 200;
inline constexpr const char* kBootstrapText = "200";
inline constexpr std::uint64_t kSeed = 1;

// The optimiser: population, generations before a data file sets them by its size,
// precision (the window's start-up text; a data file's load sets kPrecisionLoaded),
// and the number of best members copied on request.
inline constexpr const char* kPopulationText = "3000";
inline constexpr const char* kGenerationsText = "1500";
inline constexpr Decimal kPrecision{"0", "0000001", 0.0000001};
inline constexpr Decimal kPrecisionLoaded{"0", "0000002", 0.0000002};
inline constexpr const char* kCopyCountText = "50";

}  // namespace rel::defaults
