// Model 3 on a fleet in service: the claims still to come under warranty.
//
// A count to come is the fleet's K·∫ f over the windows ahead (from each product's age to
// its warranty end, or over a month's operating hours), a rule of the fleet's layout. Its
// 95 % predictive interval holds both the parameters' uncertainty and the Poisson variation
// of a future count: the count's profile likelihood gives its confidence distribution,
// H(μ) = Φ(r(μ)) with r the signed root of the profile deviance, and the future count is
// the Poisson mixture over it, P(Y ≤ y) = ∫ P_Poisson(Y ≤ y | μ) dH(μ), read on a grid of
// r; the interval runs from its 2.5 % to its 97.5 % point.
#include <algorithm>
#include <boost/math/special_functions/gamma.hpp>
#include <cmath>

#include "fit/ml_model.h"

namespace rel::ml {
namespace {

// Poisson probabilities in double precision (a quantile of a count needs no more), and no
// exception out of them: an overflow gives the largest value, a domain error NaN.
using Fast =
    boost::math::policies::policy<boost::math::policies::promote_double<false>,
                                  boost::math::policies::overflow_error<boost::math::policies::ignore_error>,
                                  boost::math::policies::domain_error<boost::math::policies::ignore_error>,
                                  boost::math::policies::evaluation_error<boost::math::policies::ignore_error>>;

// Counts beyond this are not a forecast of a fleet's claims: where the confidence
// distribution reaches them, the predictive interval's upper end is left open.
constexpr double kMaxCount = 1e12;

constexpr int kMixturePoints = 41;  // r from −4 to 4 by 0.2
constexpr double kMixtureReach = 4.0;

// ln μ at each point of the mixture's grid of r, from the profile's points.
std::vector<double> MixtureCounts(const std::vector<std::pair<double, double>>& curve, double u0, double se) {
    std::vector<double> us, rs;
    for (const auto& [u, r] : curve) {
        // The root grows with the count; a point that would turn it back is left out.
        if (!rs.empty() && r <= rs.back()) continue;
        us.push_back(u);
        rs.push_back(r);
    }
    const double wald = std::isfinite(se) && se > 0 ? se : 0.3;
    std::vector<double> out;
    for (int k = 0; k < kMixturePoints; ++k) {
        const double z = -kMixtureReach + 2 * kMixtureReach * k / (kMixturePoints - 1);
        double u;
        if (us.size() < 2) {
            u = u0 + z * wald;
        } else {
            // Linear in r between the profile's points, and along the last piece beyond them.
            std::size_t i = static_cast<std::size_t>(std::upper_bound(rs.begin(), rs.end(), z) - rs.begin());
            i = std::clamp<std::size_t>(i, 1, rs.size() - 1);
            const double slope = (us[i] - us[i - 1]) / (rs[i] - rs[i - 1]);
            u = us[i - 1] + (z - rs[i - 1]) * slope;
        }
        out.push_back(std::min(u, 700.0));
    }
    return out;
}

// The 2.5 % and 97.5 % points of the Poisson mixture over the counts exp(lnMu[k]) with
// normal weights of r; the upper point NaN (open) when the mixture reaches beyond kMaxCount.
std::pair<double, double> MixtureQuantiles(const std::vector<double>& lnMu) {
    std::vector<double> mu, w;
    double wsum = 0;
    bool open = false;
    for (int k = 0; k < kMixturePoints; ++k) {
        const double z = -kMixtureReach + 2 * kMixtureReach * k / (kMixturePoints - 1);
        const double wk = std::exp(-0.5 * z * z);
        const double m = std::exp(lnMu[static_cast<std::size_t>(k)]);
        open = open || !(m <= kMaxCount);
        mu.push_back(std::isfinite(m) ? std::min(m, kMaxCount) : (m > 0 ? kMaxCount : 0.0));
        w.push_back(wk);
        wsum += wk;
    }
    for (double& x : w) x /= wsum;
    auto cdf = [&](double y) {
        double c = 0;
        for (std::size_t k = 0; k < mu.size(); ++k)
            if (mu[k] > 0) {
                const double q = boost::math::gamma_q(y + 1, mu[k], Fast());
                c += w[k] * (std::isfinite(q) ? q : 0.0);
            } else {
                c += w[k];
            }
        return c;
    };
    const double top = *std::max_element(mu.begin(), mu.end());
    auto quantile = [&](double q) {
        double lo = 0, hi = std::ceil(top + 12 * std::sqrt(top) + 30);
        if (cdf(0) >= q) return 0.0;
        // cdf(lo) < q <= cdf(hi)
        while (hi - lo > 1) {
            const double mid = std::floor(0.5 * (lo + hi));
            if (cdf(mid) >= q)
                hi = mid;
            else
                lo = mid;
        }
        return hi;
    };
    return {quantile(0.025), open ? kNaN : quantile(0.975)};
}

// The expected count of a rule and, from its profile curve, its predictive interval.
void CountWithInterval(Evaluator& ev, const PointFit& pf, const Rule& rule, const RuleCurve* curve, double& est,
                       double& lo, double& hi) {
    est = ev.Data().n * pf.K * ev.RuleValue(pf.x, rule);
    lo = hi = kNaN;
    if (!(est > 0)) {
        est = 0;
        lo = hi = 0;
        return;
    }
    if (!curve) return;
    const auto q = MixtureQuantiles(MixtureCounts(curve->points, std::log(est), curve->se));
    lo = q.first;
    hi = q.second;
}

}  // namespace

bool ForecastClaims(Evaluator& ev, const PointFit& pf, bool intervals, MlForecast& out,
                    const std::function<bool()>& next) {
    out = MlForecast{};
    const auto& s = ev.Data().service;
    if (!s) return true;
    out.InService = true;
    std::vector<const Rule*> rules{&s->remaining};
    for (std::size_t m = 0; m < s->months.size(); ++m) {
        rules.push_back(&s->months[m]);
        rules.push_back(&s->cumulative[m]);
    }
    const std::vector<RuleCurve> curves = intervals ? ProfileRuleCurves(ev, pf, rules) : std::vector<RuleCurve>{};
    auto curve = [&](std::size_t i) { return intervals ? &curves[i] : nullptr; };
    CountWithInterval(ev, pf, s->remaining, curve(0), out.Remaining.est, out.Remaining.lo, out.Remaining.hi);
    for (std::size_t m = 0; m < s->months.size(); ++m) {
        MlForecastMonth row;
        row.Month = static_cast<int>(m) + 1;
        CountWithInterval(ev, pf, s->months[m], curve(1 + 2 * m), row.Expected, row.Lo, row.Hi);
        CountWithInterval(ev, pf, s->cumulative[m], curve(2 + 2 * m), row.Cumulative, row.CumLo, row.CumHi);
        out.Months.push_back(row);
    }
    return next();
}

}  // namespace rel::ml
