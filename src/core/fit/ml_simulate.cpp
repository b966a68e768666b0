// Model 3: fleets simulated from the model, for the goodness-of-fit bootstrap and
// for checking the fit on fleets of known parameters.
#include <algorithm>
#include <boost/math/distributions/normal.hpp>
#include <cmath>
#include <vector>

#include "fit/ml_fit.h"
#include "stats/random.h"

namespace rel {
namespace {

using NoThrow =
    boost::math::policies::policy<boost::math::policies::domain_error<boost::math::policies::ignore_error>,
                                  boost::math::policies::overflow_error<boost::math::policies::ignore_error>>;

// A uniform draw strictly inside (0, 1).
double Open01(Xoshiro256& g) { return (static_cast<double>(g.NextU64() >> 11) + 0.5) * 0x1.0p-53; }

// Poisson(mu) by the inverse distribution function; a large mean as a sum of parts
// of at most 20, so that exp(−mu) never underflows.
long Poisson(double mu, Xoshiro256& g) {
    long n = 0;
    while (mu > 0) {
        const double part = std::min(mu, 20.0);
        mu -= part;
        const double u = Open01(g);
        double p = std::exp(-part), F = p;
        long k = 0;
        while (u > F && k < 10000) {
            ++k;
            p *= part / k;
            F += p;
        }
        n += k;
    }
    return n;
}

std::uint64_t SplitMix(std::uint64_t& s) {
    std::uint64_t z = (s += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

}  // namespace

std::uint64_t MlReplicateSeed(std::uint64_t seed, int r) {
    std::uint64_t s = seed;
    const std::uint64_t a = SplitMix(s);
    std::uint64_t t = a ^ (static_cast<std::uint64_t>(r) * 0xD1B54A32D192ED03ULL);
    return SplitMix(t);
}

std::vector<double> MlSimulateFleet(const MlInput& design, const MlParams& p, std::uint64_t seed) {
    std::vector<double> out;
    if (!std::isfinite(design.Park) || design.Park < 0.5 || !(p.A > 0) || !(p.B > 0) || !(p.K >= 0)) return out;
    const long n = std::lround(design.Park);
    Xoshiro256 g(seed);
    const boost::math::normal_distribution<double, NoThrow> norm(0.0, 1.0);
    const bool oneEach = !design.warranty.empty() && static_cast<long>(design.warranty.size()) == n;
    for (long i = 0; i < n; ++i) {
        double W;
        if (design.warranty.empty())
            W = p.SKO > 0 ? p.Sred + p.SKO * boost::math::quantile(norm, Open01(g)) : p.Sred;
        else if (oneEach)
            W = design.warranty[i];
        else {
            const std::size_t m = design.warranty.size();
            W = design.warranty[std::min<std::size_t>(m - 1, static_cast<std::size_t>(Open01(g) * m))];
        }
        // Of the product's Poisson(K) failures, those at or before W are Poisson(K·F(W)),
        // at times drawn from the Weibull law cut at W: F⁻¹(u·F(W)).
        if (!(W > 0)) continue;
        const double FW = -std::expm1(-std::pow(W / p.B, p.A));
        const long k = Poisson(p.K * FW, g);
        for (long j = 0; j < k; ++j)
            out.push_back(std::min(W, p.B * std::pow(-std::log1p(-Open01(g) * FW), 1 / p.A)));
    }
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace rel
