// Fuzz target: the fleet ages reader on arbitrary bytes; a loaded fleet in service is then
// fitted by model 3 (its likelihood over the products' windows, its forecast's rules)
// with a few failures within the products' ages.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "data/ages_file.h"
#include "fit/ml_fit.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    relfuzz::InstallHandler();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace rel;
    if (size < 1) return 0;
    // The first byte: the fleet the file must match (1 … 16 products).
    const double fleet = 1 + data[0] % 16;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    auto ages = std::make_shared<FleetAges>();
    const std::string err = ReadAges(bytes, "ages.txt", fleet, *ages);
    if (!err.empty()) {
        RELFUZZ_CHECK(ages->Age.empty());
        return 0;
    }
    RELFUZZ_CHECK(static_cast<double>(ages->Age.size()) == fleet);
    for (std::size_t i = 0; i < ages->Age.size(); ++i) {
        RELFUZZ_CHECK(ages->Age[i] >= 0 && ages->Age[i] <= 1e9);
        RELFUZZ_CHECK(std::isnan(ages->WarrantyEnd[i]) || ages->WarrantyEnd[i] > 0);
        RELFUZZ_CHECK(std::isnan(ages->Usage[i]) || (ages->Usage[i] >= 0 && ages->Usage[i] <= kMaxHoursPerMonth));
    }
    // Failures at fixed shares of the oldest product's age.
    const double oldest = *std::max_element(ages->Age.begin(), ages->Age.end());
    MlInput in;
    in.Park = fleet;
    in.Sred = 2500;
    in.SKO = 500;
    in.ages = ages;
    in.horizon = 1 + (size % 24);
    in.usage = size % 3 ? 100 : std::nan("");
    for (double share : {0.1, 0.35, 0.6, 0.9}) in.times.push_back(share * oldest);
    MlOptions opt;
    opt.bootstrap = size % 5 == 0 ? 3 : 0;
    opt.threads = 1;
    opt.intervals = size % 7 == 0;
    const MlResult r = FitML(in, opt);
    if (!r.ok) return 0;
    RELFUZZ_CHECK(r.Forecast.InService);
    RELFUZZ_CHECK(std::isfinite(r.Forecast.Remaining.est) && r.Forecast.Remaining.est >= 0);
    for (const MlForecastMonth& m : r.Forecast.Months)
        RELFUZZ_CHECK(m.Expected >= 0 && m.Cumulative >= m.Expected - 1e-9 * m.Cumulative);
    return 0;
}
