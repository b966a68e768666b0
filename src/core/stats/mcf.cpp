#include "stats/mcf.h"

#include <algorithm>
#include <cmath>

namespace rel {

namespace {

constexpr double kRejectTime = 1.0;  // failures below 1 h are rejects

// The products still observed at t.
class AtRisk {
public:
    explicit AtRisk(const AnalysisState& st) : st_(st) {
        n_ = st.Park;
        list_ = st.ArrGar;
        std::sort(list_.begin(), list_.end());
        if (st.Ages) {
            const FleetAges& a = *st.Ages;
            for (std::size_t i = 0; i < a.Age.size(); ++i) {
                const bool known = i < a.WarrantyEnd.size() && std::isfinite(a.WarrantyEnd[i]);
                if (known)
                    knownEnds_.push_back(std::min(a.Age[i], a.WarrantyEnd[i]));
                else
                    lawEnds_.push_back(a.Age[i]);
            }
            std::sort(knownEnds_.begin(), knownEnds_.end());
            std::sort(lawEnds_.begin(), lawEnds_.end());
        }
    }

    double operator()(double t) const {
        if (st_.Ages) {
            const double unknown = AtOrAfter(lawEnds_, t);
            return AtOrAfter(knownEnds_, t) + (unknown > 0 ? unknown * LawShare(t) : 0.0);
        }
        if (!list_.empty() && static_cast<double>(list_.size()) == n_) return AtOrAfter(list_, t);
        return n_ * LawShare(t);
    }

    // The latest time with at least one product observed, to a hundredth of an hour.
    double Reach() const {
        double lo = 0, hi = 1;
        if (!((*this)(lo) >= 1)) return 0;
        while ((*this)(hi) >= 1 && hi < 1e12) hi *= 2;
        while (hi - lo > 0.01) {
            const double mid = 0.5 * (lo + hi);
            ((*this)(mid) >= 1 ? lo : hi) = mid;
        }
        return lo;
    }

private:
    static double AtOrAfter(const std::vector<double>& v, double t) {
        return static_cast<double>(v.end() - std::lower_bound(v.begin(), v.end(), t));
    }
    // The warranty law's share still under warranty at t.
    double LawShare(double t) const {
        if (!list_.empty()) return AtOrAfter(list_, t) / static_cast<double>(list_.size());
        if (!(st_.SKOGar > 0)) return t <= st_.SredGar ? 1.0 : 0.0;
        return 0.5 * std::erfc((t - st_.SredGar) / (st_.SKOGar * std::sqrt(2.0)));
    }

    const AnalysisState& st_;
    double n_ = 0;
    std::vector<double> list_, knownEnds_, lawEnds_;
};

}  // namespace

Mcf ComputeMcf(const AnalysisState& st) {
    Mcf m;
    if (!(st.Park > 0)) return m;
    const AtRisk risk(st);
    m.reach = risk.Reach();
    double value = 0, var = 0;
    const std::vector<double> times = st.ArrProblems.Times();
    std::vector<double> t;
    t.reserve(times.size());
    for (double x : times)
        if (x >= kRejectTime && std::isfinite(x)) t.push_back(x);
    std::sort(t.begin(), t.end());
    for (std::size_t i = 0; i < t.size();) {
        std::size_t j = i;
        while (j < t.size() && t[j] == t[i]) ++j;
        const double R = risk(t[i]);
        if (!(R >= 1)) {
            m.stopped = true;
            break;
        }
        const double d = static_cast<double>(j - i);
        value += d / R;
        var += d / (R * R);
        const double spread = std::exp(1.959963984540054 * std::sqrt(var) / value);
        m.points.push_back({t[i], value, value / spread, value * spread});
        i = j;
    }
    return m;
}

namespace {
const McfPoint* LastAtOrBefore(const Mcf& m, double t) {
    const auto it =
        std::upper_bound(m.points.begin(), m.points.end(), t, [](double x, const McfPoint& p) { return x < p.t; });
    return it == m.points.begin() ? nullptr : &*std::prev(it);
}
}  // namespace

double McfAt(const Mcf& m, double t) {
    const McfPoint* p = LastAtOrBefore(m, t);
    return p ? p->Value : 0.0;
}

std::optional<McfPoint> McfPointAt(const Mcf& m, double t) {
    if (!(t <= m.reach)) return std::nullopt;
    const McfPoint* p = LastAtOrBefore(m, t);
    return p ? *p : McfPoint{};
}

}  // namespace rel
