#include "fit/ml_causes.h"

#include <algorithm>
#include <atomic>
#include <boost/math/distributions/chi_squared.hpp>
#include <cmath>
#include <map>
#include <thread>

namespace rel {
namespace {

constexpr double kChi2One95 = 3.841458820694124;  // 95 % point of χ² with one degree of freedom

// The 95 % likelihood-ratio interval of a Poisson mean with d observed: the means μ
// with 2·(d·ln(d/μ) − (d − μ)) within the χ²₁ point.
MlEstimate PoissonInterval(double d) {
    MlEstimate e;
    e.est = d;
    auto dev = [d](double mu) { return 2 * ((d > 0 ? d * std::log(d / mu) : 0.0) - (d - mu)); };
    auto solve = [&](double lo, double hi) {  // dev - χ² changes sign once on [lo, hi]
        const bool risingAtHi = dev(hi) > dev(lo);
        for (int i = 0; i < 200 && hi - lo > 1e-12 * std::max(1.0, hi); ++i) {
            const double mid = 0.5 * (lo + hi);
            ((dev(mid) > kChi2One95) == risingAtHi ? hi : lo) = mid;
        }
        return 0.5 * (lo + hi);
    };
    e.lo = d > 0 ? solve(1e-300, d) : 0.0;
    double top = std::max(1.0, 2 * d + 10);
    while (dev(top) <= kChi2One95) top *= 2;
    e.hi = solve(std::max(d, 1e-300), top);
    return e;
}

MlCauseFit FitCause(const MlInput& in, const MlResult& pooled, const MlCauseOptions& opt, MlCauseFit c,
                    std::vector<double> times) {
    MlInput q = in;
    q.times = std::move(times);
    q.causes.clear();
    q.causeNames.clear();
    q.Sred = pooled.Sred;
    q.SKO = pooled.SKO;
    q.FitSred = q.FitSKO = false;
    const bool service = in.ages != nullptr;
    // A complete warranty record: whatever the law, the expected claims within warranty
    // are estimated by the cause's count, with the Poisson interval of its mean.
    if (!service && in.Park > 0) {
        const MlEstimate e = PoissonInterval(c.failures);
        c.Claims = {e.est / in.Park, e.lo / in.Park, e.hi / in.Park};
    }
    if (c.tooFew && !opt.fewToo) {
        // Such a cause keeps the pooled law with its own share of the failures (for the test).
        MlParams p{pooled.A, pooled.B, pooled.K_powtor * c.failures / std::max(1, pooled.D), pooled.Sred,
                   pooled.SKO};
        c.LogLik = MlLogLik(q, p).value;
        return c;
    }
    MlOptions o;
    o.bootstrap = 0;
    o.threads = 1;
    o.intervals = opt.intervals;
    o.cancelled = opt.cancelled;
    const MlResult r = FitML(q, o);
    if (!r.ok) {
        c.error = r.error;
        return c;
    }
    c.fitted = true;
    c.A = r.A;
    c.B = r.B;
    c.K = r.K_powtor;
    c.Separable = r.Separable;
    c.IntA = r.IntA;
    c.IntB = r.IntB;
    c.N2000 = r.N2000;
    c.N4000 = r.N4000;
    c.LogLik = r.LogLik;
    // A fleet in service: the claims seen so far and those the cause's law brings until
    // every product has left warranty, with the forecast's predictive interval.
    if (service && in.Park > 0 && r.Forecast.InService) {
        const MlEstimate& rem = r.Forecast.Remaining;
        c.Claims = {(c.failures + rem.est) / in.Park, (c.failures + rem.lo) / in.Park,
                    (c.failures + rem.hi) / in.Park};
    }
    return c;
}

}  // namespace

MlCauses FitMLByCause(const MlInput& in, const MlResult& pooled, const MlCauseOptions& opt) {
    MlCauses out;
    if (!pooled.ok || in.causes.size() != in.times.size()) return out;
    // The failures at or above 1 h of each cause, in cause order.
    std::map<int, std::vector<double>> byCause;
    for (std::size_t i = 0; i < in.times.size(); ++i)
        if (in.times[i] >= kMlRejectTime && std::isfinite(in.times[i]))
            byCause[in.causes[i]].push_back(in.times[i]);
    if (byCause.size() < 2) return out;

    std::vector<std::pair<MlCauseFit, std::vector<double>>> work;
    for (auto& [k, times] : byCause) {
        MlCauseFit c;
        c.cause = k;
        c.name = k >= 0 && static_cast<std::size_t>(k) < in.causeNames.size()
                     ? in.causeNames[static_cast<std::size_t>(k)]
                     : std::to_string(k);
        c.failures = static_cast<int>(times.size());
        c.tooFew = c.failures < kMlCauseMinFailures;
        work.emplace_back(std::move(c), std::move(times));
    }
    out.causes.resize(work.size());
    // The causes are independent fits: shared out over threads, each written to its place.
    std::atomic<std::size_t> next{0};
    auto run = [&] {
        for (std::size_t i = next++; i < work.size(); i = next++)
            out.causes[i] = FitCause(in, pooled, opt, work[i].first, work[i].second);
    };
    const unsigned hw = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t threads =
        std::min<std::size_t>(work.size(), opt.threads > 0 ? static_cast<std::size_t>(opt.threads) : hw);
    std::vector<std::thread> pool;
    for (std::size_t t = 1; t < threads; ++t) pool.emplace_back(run);
    run();
    for (std::thread& t : pool) t.join();
    if (opt.cancelled && opt.cancelled()) return {};

    double sum = 0;
    for (const MlCauseFit& c : out.causes)
        if (std::isfinite(c.Claims.est)) sum += c.Claims.est;
    for (MlCauseFit& c : out.causes)
        if (std::isfinite(c.Claims.est) && sum > 0) c.Share = c.Claims.est / sum;

    // The test: under one law each cause's failures are the pooled process thinned by the
    // cause's share; a law per cause adds a shape and a scale for each fitted cause (the
    // causes not fitted keep the pooled law between them).
    int fitted = 0, others = 0;
    double llAlt = 0, llNull = pooled.LogLik;
    const double D = pooled.D;
    bool finite = std::isfinite(llNull);
    for (const MlCauseFit& c : out.causes) {
        llNull += c.failures * std::log(c.failures / D);
        if (c.fitted)
            ++fitted;
        else if (c.error.empty())
            ++others;
        else
            finite = false;  // a cause that could not be fitted leaves the test undefined
        llAlt += c.LogLik;
        finite = finite && std::isfinite(c.LogLik);
    }
    out.Df = 2 * (others > 0 ? fitted : fitted - 1);
    if (finite && out.Df > 0) {
        out.tested = true;
        out.Chi2 = std::max(0.0, 2 * (llAlt - llNull));
        const boost::math::chi_squared_distribution<double> chi2(out.Df);
        out.P = boost::math::cdf(boost::math::complement(chi2, out.Chi2));
        out.Differ = out.P < 0.05;
    }
    return out;
}

}  // namespace rel
