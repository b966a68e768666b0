// Model 3: fleets simulated from the model, for the goodness-of-fit bootstrap and
// for checking the fit on fleets of known parameters.
#include <algorithm>
#include <boost/math/distributions/normal.hpp>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "fit/ml_fit.h"
#include "fit/ml_model.h"
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

// The generator as a standard uniform random bit generator (for the binomial draws of
// the multinomial counts).
struct Bits {
    using result_type = std::uint64_t;
    Xoshiro256& g;
    static constexpr result_type min() { return 0; }
    static constexpr result_type max() { return ~result_type{0}; }
    result_type operator()() { return g.NextU64(); }
};

// n items into m equally likely classes: sequential binomial draws.
std::vector<double> Multinomial(long n, std::size_t m, Xoshiro256& g) {
    std::vector<double> c(m, 0.0);
    Bits bits{g};
    long left = n;
    for (std::size_t b = 0; b < m && left > 0; ++b) {
        const std::size_t classes = m - b;
        long k = left;
        if (classes > 1) {
            std::binomial_distribution<long> d(left, 1.0 / static_cast<double>(classes));
            k = d(bits);
        }
        c[b] = static_cast<double>(k);
        left -= k;
    }
    return c;
}

constexpr std::size_t kNormalBins = 4096;
constexpr int kTailCells = 64;

// Weibull F(t) = 1 − exp(−(t/B)^A).
double WeibullF(const MlParams& p, double t) { return t > 0 ? -std::expm1(-std::pow(t / p.B, p.A)) : 0.0; }

// A failure time of the Weibull law cut at W (FW = F(W)): F⁻¹(u·F(W)).
double CutWeibullTime(const MlParams& p, double W, double FW, Xoshiro256& g) {
    return std::min(W, p.B * std::pow(-std::log1p(-Open01(g) * FW), 1 / p.A));
}

}  // namespace

MlReplicateDesign MlPrepareReplicates(const MlInput& design, const MlParams& p) {
    MlReplicateDesign d;
    if (!design.warranty.empty()) {
        d.list = design.warranty;
        std::sort(d.list.begin(), d.list.end());
    } else if (p.SKO > 0 && std::isfinite(design.Park) &&
               std::lround(design.Park) > static_cast<long>(kNormalBins)) {
        const boost::math::normal_distribution<double, NoThrow> norm(0.0, 1.0);
        for (std::size_t b = 0; b < kNormalBins; ++b)
            d.normalW.push_back(p.Sred + p.SKO * boost::math::quantile(norm, (b + 0.5) / kNormalBins));
    }
    // The data's failures at or above 1 h: how many, and their distinct times.
    std::size_t D = 0;
    for (double t : design.times)
        if (t >= kMlRejectTime) ++D;
    if (D > kMlCellFailures) {
        d.grid.reserve(D);
        for (double t : design.times)
            if (t >= kMlRejectTime && std::isfinite(t)) d.grid.push_back(t);
        std::sort(d.grid.begin(), d.grid.end());
        d.grid.erase(std::unique(d.grid.begin(), d.grid.end()), d.grid.end());
    }
    return d;
}

std::vector<double> MlSimulateReplicate(const MlInput& design, const MlParams& p, std::uint64_t seed,
                                        const MlReplicateDesign* prepared) {
    std::vector<double> out;
    if (!std::isfinite(design.Park) || design.Park < 0.5 || !(p.A > 0) || !(p.B > 0) || !(p.K >= 0)) return out;
    MlReplicateDesign own;
    if (!prepared) {
        own = MlPrepareReplicates(design, p);
        prepared = &own;
    }
    const MlReplicateDesign& d = *prepared;
    const std::vector<double>& grid = d.grid;
    const long n = std::lround(design.Park);
    Xoshiro256 g(seed);

    // 1. The products counted into warranty bins (W ascending, count).
    std::vector<double> W, count;
    if (!d.list.empty()) {
        const std::vector<double>& list = d.list;
        std::vector<double> c(list.size(), 1.0);
        if (static_cast<long>(list.size()) != n) c = Multinomial(n, list.size(), g);
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (!W.empty() && W.back() == list[i])
                count.back() += c[i];
            else {
                W.push_back(list[i]);
                count.push_back(c[i]);
            }
        }
    } else if (!(p.SKO > 0)) {
        W = {p.Sred};
        count = {static_cast<double>(n)};
    } else if (d.normalW.empty()) {
        const boost::math::normal_distribution<double, NoThrow> norm(0.0, 1.0);
        for (long i = 0; i < n; ++i) W.push_back(p.Sred + p.SKO * boost::math::quantile(norm, Open01(g)));
        std::sort(W.begin(), W.end());
        count.assign(W.size(), 1.0);
    } else {
        count = Multinomial(n, kNormalBins, g);
        W = d.normalW;
    }

    if (grid.empty()) {
        // 3a. Each bin's failures, a Poisson(K·count·F(W)) number at Weibull times cut at W.
        for (std::size_t b = 0; b < W.size(); ++b) {
            if (!(W[b] > 0) || !(count[b] > 0)) continue;
            const double FW = WeibullF(p, W[b]);
            const long k = Poisson(p.K * count[b] * FW, g);
            for (long j = 0; j < k; ++j) out.push_back(CutWeibullTime(p, W[b], FW, g));
        }
        std::sort(out.begin(), out.end());
        return out;
    }

    // 3b. Cells (1 h, t1], (t1, t2], ... and the tail up to the latest warranty end;
    // the mean count of a cell is K·Σ R·(F(b) − F(a)) over the pieces between the
    // cell's ends and the warranty ends inside it.
    std::vector<double> ends = grid;
    const double wmax = W.empty() ? 0.0 : W.back();
    if (wmax > ends.back()) {
        const double r = std::pow(wmax / ends.back(), 1.0 / kTailCells);
        for (int i = 1; i <= kTailCells; ++i)
            ends.push_back(i == kTailCells ? wmax : ends[grid.size() - 1] * std::pow(r, i));
    }
    double R = 0;  // products with W above the current time
    std::size_t b = 0;
    for (std::size_t i = 0; i < W.size(); ++i)
        if (W[i] > kMlRejectTime) R += count[i];
    while (b < W.size() && !(W[b] > kMlRejectTime)) ++b;
    double Fa = WeibullF(p, kMlRejectTime);
    for (const double e : ends) {
        double mu = 0;
        while (b < W.size() && W[b] <= e) {
            const double Fw = WeibullF(p, W[b]);
            mu += R * (Fw - Fa);
            Fa = Fw;
            R -= count[b];
            ++b;
        }
        const double Fe = WeibullF(p, e);
        if (R > 0) mu += R * (Fe - Fa);
        Fa = Fe;
        const long k = Poisson(p.K * std::max(mu, 0.0), g);
        out.insert(out.end(), static_cast<std::size_t>(k), e);
    }
    return out;
}

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
        const double FW = WeibullF(p, W);
        const long k = Poisson(p.K * FW, g);
        for (long j = 0; j < k; ++j) out.push_back(CutWeibullTime(p, W, FW, g));
    }
    std::sort(out.begin(), out.end());
    return out;
}

MlServiceFleet MlSimulateInService(const MlInput& design, const MlParams& p, std::uint64_t seed) {
    MlServiceFleet out;
    if (!design.ages || !(p.A > 0) || !(p.B > 0) || !(p.K >= 0)) return out;
    const FleetAges& a = *design.ages;
    const int horizon = std::clamp(design.horizon, 1, kMlMaxHorizon);
    out.months.assign(static_cast<std::size_t>(horizon), 0.0);
    Xoshiro256 g(seed);
    const boost::math::normal_distribution<double, NoThrow> norm(0.0, 1.0);
    const std::size_t m = design.warranty.size();
    for (std::size_t i = 0; i < a.Age.size(); ++i) {
        double W;
        if (i < a.WarrantyEnd.size() && std::isfinite(a.WarrantyEnd[i]))
            W = a.WarrantyEnd[i];
        else if (m > 0)
            W = design.warranty[std::min<std::size_t>(m - 1, static_cast<std::size_t>(Open01(g) * m))];
        else
            W = p.SKO > 0 ? p.Sred + p.SKO * boost::math::quantile(norm, Open01(g)) : p.Sred;
        if (!(W > 0)) continue;
        const double FW = WeibullF(p, W);
        const long k = Poisson(p.K * FW, g);
        const double age = a.Age[i];
        const double u = i < a.Usage.size() && std::isfinite(a.Usage[i]) ? a.Usage[i] : design.usage;
        for (long j = 0; j < k; ++j) {
            const double t = CutWeibullTime(p, W, FW, g);
            if (t <= age) {
                out.seen.push_back(t);
                continue;
            }
            if (t < kMlRejectTime) continue;
            out.remaining += 1;
            if (u > 0) {
                const double month = std::ceil((t - age) / u);
                if (month >= 1 && month <= horizon) out.months[static_cast<std::size_t>(month) - 1] += 1;
            }
        }
    }
    std::sort(out.seen.begin(), out.seen.end());
    return out;
}

FleetAges MlCohortAges(const MlCohortDesign& d, std::uint64_t seed) {
    FleetAges a;
    Xoshiro256 g(seed);
    const boost::math::normal_distribution<double, NoThrow> norm(0.0, 1.0);
    const int months = std::max(1, d.months);
    for (long i = 0; i < d.n; ++i) {
        // Cohorts in turn, the youngest in service for half a month.
        const double inService = d.firstMonth + (months - 1 - i % months) + 0.5;
        const double u = std::min(kMaxHoursPerMonthInService,
                                  d.usage * std::exp(d.usageSpread * boost::math::quantile(norm, Open01(g))));
        a.Age.push_back(inService * u);
        a.Usage.push_back(u);
        a.WarrantyEnd.push_back(Open01(g) < d.knownShare
                                    ? std::max(1.0, d.Sred + d.SKO * boost::math::quantile(norm, Open01(g)))
                                    : std::numeric_limits<double>::quiet_NaN());
    }
    return a;
}

namespace ml {

std::vector<double> SimulateSeen(const InService& s, const MlParams& p, std::uint64_t seed) {
    // The recorded failures are a Poisson process of intensity n·K·f(t)·G(t), G the share
    // observed at t: candidates of intensity n·K·f(t) on [1 h, the latest window end],
    // each kept with probability G(t).
    std::vector<double> out;
    double top = kMlRejectTime;
    if (!s.knownEnds.empty()) top = std::max(top, s.knownEnds.back());
    if (!s.lawEnds.empty()) top = std::max(top, std::min(s.lawEnds.back(), s.law.Top()));
    if (!(top > kMlRejectTime) || !(p.A > 0) || !(p.B > 0) || !(p.K > 0)) return out;
    Xoshiro256 g(seed);
    const double F1 = WeibullF(p, kMlRejectTime), Ftop = WeibullF(p, top);
    const long k = Poisson(s.n * p.K * (Ftop - F1), g);
    for (long j = 0; j < k; ++j) {
        // F⁻¹ of a uniform point of (F(1 h), F(top)).
        const double u = F1 + Open01(g) * (Ftop - F1);
        const double t = std::clamp(p.B * std::pow(-std::log1p(-u), 1 / p.A), kMlRejectTime, top);
        if (Open01(g) < s.Observed(t)) out.push_back(t);
    }
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace ml

}  // namespace rel
