// Model 3 on a fleet in service: the window rules (see ml_model.h).
#include <algorithm>
#include <array>
#include <boost/math/quadrature/gauss.hpp>
#include <cmath>

#include "fit/ml_model.h"
#include "text/format.h"

namespace rel::ml {
namespace {

constexpr int P = kRuleNodes;

// The Gauss–Legendre nodes of [−1, 1], ascending, and the antiderivatives of their
// Lagrange basis polynomials from −1 as coefficients (degree P).
struct Basis {
    std::array<double, P> v{}, w{};
    std::array<std::array<double, P + 1>, P> anti{};
    Basis() {
        using G = boost::math::quadrature::gauss<double, P>;
        std::vector<double> x;
        for (double a : G::abscissa()) {
            x.push_back(a);
            if (a != 0) x.push_back(-a);
        }
        std::sort(x.begin(), x.end());
        for (int j = 0; j < P; ++j) v[j] = x[j];
        for (int j = 0; j < P; ++j) {
            std::array<double, P> c{};  // L_j, ascending powers
            c[0] = 1;
            int deg = 0;
            for (int k = 0; k < P; ++k) {
                if (k == j) continue;
                const double d = v[j] - v[k];
                std::array<double, P> nc{};
                for (int i = 0; i <= deg; ++i) {
                    nc[i + 1] += c[i] / d;
                    nc[i] -= c[i] * v[k] / d;
                }
                c = nc;
                ++deg;
            }
            for (int i = 0; i < P; ++i) anti[j][i + 1] = c[i] / (i + 1);
            anti[j][0] = 0;
            anti[j][0] = -Anti(j, -1.0);
            w[j] = Anti(j, 1.0);
        }
    }
    // ∫_{−1}^{x} L_j.
    double Anti(int j, double x) const {
        double r = 0;
        for (int i = P; i >= 0; --i) r = r * x + anti[j][i];
        return r;
    }
};

const Basis& TheBasis() {
    static const Basis b;
    return b;
}

double Q(double t, double Sred, double SKO) { return 0.5 * std::erfc((t - Sred) / (SKO * std::sqrt(2.0))); }

// Sweeps one part's events over the bins: full weights of each bin's nodes, and the
// partial weights up to each mark.
void Sweep(const RuleLayout& L, const std::vector<std::pair<double, double>>& ev, std::vector<double>& w,
           const std::vector<double>* marks, std::vector<double>* partial) {
    const Basis& B = TheBasis();
    const std::size_t nb = L.Bins();
    w.assign(nb * P, 0.0);
    if (partial) partial->assign(marks->size() * P, 0.0);
    std::size_t e = 0, m = 0;
    double level = 0;
    while (e < ev.size() && ev[e].first <= L.edges[0]) level += ev[e++].second;
    if (marks)
        while (m < marks->size() && (*marks)[m] < L.edges[0]) ++m;
    for (std::size_t b = 0; b < nb; ++b) {
        const double lo = L.edges[b], hi = L.edges[b + 1];
        const double mid = 0.5 * (lo + hi), half = 0.5 * (hi - lo);
        const double start = level;
        double s1 = 0;
        std::array<double, P> s2{};
        const bool last = b + 1 == nb;
        auto within = [&](double u) { return u < hi || (last && u <= hi); };
        // The partial weights of the next mark, which it passes.
        auto mark = [&]() {
            const double x = std::clamp(((*marks)[m] - mid) / half, -1.0, 1.0);
            for (int j = 0; j < P; ++j) (*partial)[m * P + j] = half * ((start + s1) * B.Anti(j, x) - s2[j]);
            ++m;
        };
        while (e < ev.size() && within(ev[e].first)) {
            // Marks at the same time as a step come before it (a window's end still counts there).
            if (marks)
                while (m < marks->size() && (*marks)[m] <= ev[e].first) mark();
            const double x = std::clamp((ev[e].first - mid) / half, -1.0, 1.0);
            const double d = ev[e].second;
            s1 += d;
            for (int j = 0; j < P; ++j) s2[j] += d * B.Anti(j, x);
            ++e;
        }
        if (marks)
            while (m < marks->size() && within((*marks)[m])) mark();
        for (int j = 0; j < P; ++j) w[b * P + j] = half * ((start + s1) * B.w[j] - s2[j]);
        level = start + s1;
    }
}

}  // namespace

double WarrantyLaw::Share(double t) const {
    if (!list) return Q(t, Sred, SKO);
    // Ends at or beyond t: a look-up, as the bootstrap asks it of every simulated failure.
    const std::size_t k = static_cast<std::size_t>(std::lower_bound(W.begin(), W.end(), t) - W.begin());
    return k < tail.size() ? tail[k] : 0.0;
}

double WarrantyLaw::Top() const { return list ? (W.empty() ? 0.0 : W.back()) : Sred + 13 * SKO; }

WarrantyLaw LawOf(const Prepared& p) {
    WarrantyLaw law;
    law.list = p.list;
    law.W = p.W;
    law.Ww = p.Ww;
    law.tail.assign(p.Ww.size(), 0.0);
    double sum = 0;
    for (std::size_t k = p.Ww.size(); k-- > 0;) law.tail[k] = sum += p.Ww[k];
    law.Sred = p.Sred;
    law.SKO = p.SKO;
    return law;
}

RuleLayout MakeLayout(double tLo, double tHi, const WarrantyLaw& law) {
    RuleLayout L;
    const double uLo = std::log(tLo), uHi = std::log(std::max(tHi, tLo));
    if (!(uHi > uLo)) return L;
    std::vector<double> e;
    const int base = std::max(1, static_cast<int>(std::ceil((uHi - uLo) / kRuleBin)));
    for (int i = 0; i <= base; ++i) e.push_back(uLo + (uHi - uLo) * i / base);
    if (!law.list && law.SKO > 0)
        for (int k = -16; k <= 16; ++k) {
            // Only where the warranty law's steps are finer than the bins.
            const double t = law.Sred + 0.5 * k * law.SKO;
            if (t > tLo && t < tHi && 0.5 * law.SKO / t < kRuleBin) e.push_back(std::log(t));
        }
    std::sort(e.begin(), e.end());
    for (double x : e)
        if (L.edges.empty() || x > L.edges.back() + 1e-12 * std::max(1.0, std::fabs(x))) L.edges.push_back(x);
    if (L.edges.back() < uHi) L.edges.back() = uHi;
    const Basis& B = TheBasis();
    for (std::size_t b = 0; b + 1 < L.edges.size(); ++b) {
        const double mid = 0.5 * (L.edges[b] + L.edges[b + 1]), half = 0.5 * (L.edges[b + 1] - L.edges[b]);
        for (int j = 0; j < P; ++j) L.u.push_back(mid + half * B.v[j]);
    }
    return L;
}

RuleEvents MakeEvents(const std::vector<Window>& windows, const WarrantyLaw& law) {
    RuleEvents r;
    std::vector<std::pair<double, double>> lawT;  // in t first: the listed law folds in by t
    for (const Window& w : windows) {
        const double s = std::max(w.s, kMlRejectTime);
        const double e = w.law ? std::min(w.e, law.Top()) : w.e;
        if (!(e > s) || !(w.weight > 0)) continue;
        auto& to = w.law ? lawT : r.known;
        to.emplace_back(s, w.weight);
        to.emplace_back(e, -w.weight);
    }
    std::sort(lawT.begin(), lawT.end());
    if (law.list) {
        // The product of the windows' count and the listed law's share, a step function
        // too: its jumps at the union of their steps.
        std::size_t i = 0, k = 0;
        double c = 0, s = 1, prev = 0;
        while (i < lawT.size() || k < law.W.size()) {
            const double t =
                i < lawT.size() && (k >= law.W.size() || lawT[i].first <= law.W[k]) ? lawT[i].first : law.W[k];
            while (i < lawT.size() && lawT[i].first == t) c += lawT[i++].second;
            while (k < law.W.size() && law.W[k] == t) s -= law.Ww[k++];
            const double now = c * std::max(s, 0.0);
            if (now != prev) r.known.emplace_back(t, now - prev);
            prev = now;
        }
    } else {
        r.law = std::move(lawT);
    }
    std::sort(r.known.begin(), r.known.end());
    for (auto& x : r.known) x.first = std::log(x.first);
    for (auto& x : r.law) x.first = std::log(x.first);
    return r;
}

Rule MakeRule(const RuleLayout& L, const RuleEvents& ev, const WarrantyLaw& law, const std::vector<double>* marks,
              RuleMarks* marked) {
    Rule r;
    const std::size_t nb = L.Bins();
    if (nb == 0) return r;
    std::vector<double> wk, wl, pk, pl;
    const bool withMarks = marks && marked;
    Sweep(L, ev.known, wk, withMarks ? marks : nullptr, withMarks ? &pk : nullptr);
    std::vector<double> q;
    if (!ev.law.empty()) {
        Sweep(L, ev.law, wl, withMarks ? marks : nullptr, withMarks ? &pl : nullptr);
        q.resize(L.u.size());
        for (std::size_t k = 0; k < L.u.size(); ++k) q[k] = Q(std::exp(L.u[k]), law.Sred, law.SKO);
        for (std::size_t k = 0; k < wk.size(); ++k) wk[k] += q[k] * wl[k];
    }
    if (withMarks) {
        marked->bin.assign(marks->size(), nb);
        marked->w = std::move(pk);
        for (std::size_t m = 0; m < marks->size(); ++m) {
            // The mark's bin: the last edge at or below it.
            const auto it = std::upper_bound(L.edges.begin(), L.edges.end(), (*marks)[m]);
            std::size_t b = static_cast<std::size_t>(it - L.edges.begin());
            b = b == 0 ? 0 : std::min(b - 1, nb - 1);
            marked->bin[m] = b;
            if (!q.empty())
                for (int j = 0; j < P; ++j) marked->w[m * P + j] += q[b * P + j] * pl[m * P + j];
        }
    }
    std::size_t b0 = 0, b1 = nb;
    auto zero = [&](std::size_t b) {
        for (int j = 0; j < P; ++j)
            if (wk[b * P + j] != 0) return false;
        return true;
    };
    while (b0 < b1 && zero(b0)) ++b0;
    while (b1 > b0 && zero(b1 - 1)) --b1;
    r.b0 = b0;
    r.b1 = b1;
    r.w.assign(wk.begin() + static_cast<std::ptrdiff_t>(b0 * P), wk.begin() + static_cast<std::ptrdiff_t>(b1 * P));
    return r;
}

Rule AddRules(const Rule& a, const Rule& b) {
    if (a.Empty()) return b;
    if (b.Empty()) return a;
    Rule r;
    r.b0 = std::min(a.b0, b.b0);
    r.b1 = std::max(a.b1, b.b1);
    r.w.assign((r.b1 - r.b0) * P, 0.0);
    for (std::size_t k = 0; k < a.w.size(); ++k) r.w[(a.b0 - r.b0) * P + k] += a.w[k];
    for (std::size_t k = 0; k < b.w.size(); ++k) r.w[(b.b0 - r.b0) * P + k] += b.w[k];
    return r;
}

double InService::Observed(double t) const {
    auto atOrAfter = [&](const std::vector<double>& v) {
        return static_cast<double>(v.end() - std::lower_bound(v.begin(), v.end(), t));
    };
    const double known = atOrAfter(knownEnds);
    const double unknown = atOrAfter(lawEnds);
    return (known + (unknown > 0 ? unknown * law.Share(t) : 0.0)) / n;
}

std::shared_ptr<const InService> MakeInService(const MlInput& in, const WarrantyLaw& law, bool forecast) {
    if (!in.ages) return nullptr;
    const FleetAges& a = *in.ages;
    auto s = std::make_shared<InService>();
    s->n = in.Park;
    s->law = law;
    const double share = 1 / in.Park;
    const std::size_t n = a.Age.size();
    std::vector<Window> seen;
    seen.reserve(n);
    double tHi = kMlRejectTime;
    auto known = [&](std::size_t i) { return i < a.WarrantyEnd.size() && std::isfinite(a.WarrantyEnd[i]); };
    for (std::size_t i = 0; i < n; ++i) {
        const double age = a.Age[i];
        if (known(i)) {
            const double end = std::min(age, a.WarrantyEnd[i]);
            seen.push_back({kMlRejectTime, end, false, share});
            s->knownEnds.push_back(end);
            tHi = std::max(tHi, end);
        } else {
            seen.push_back({kMlRejectTime, age, true, share});
            s->lawEnds.push_back(age);
            tHi = std::max(tHi, std::min(age, law.Top()));
        }
    }
    std::sort(s->knownEnds.begin(), s->knownEnds.end());
    std::sort(s->lawEnds.begin(), s->lawEnds.end());

    // The forecast's windows: from each product's age to its warranty end, and month by
    // month at its hours per month (the fleet's figure where its line gives none).
    std::vector<Window> remaining;
    std::vector<std::vector<Window>> months;
    if (forecast) {
        double usageSum = 0;
        std::size_t usageCount = 0;
        for (std::size_t i = 0; i < n; ++i)
            if (i < a.Usage.size() && std::isfinite(a.Usage[i])) {
                usageSum += a.Usage[i];
                ++usageCount;
            }
        double fleetUsage = in.usage;
        const char sep = '.';
        if (!std::isfinite(fleetUsage) && usageCount > 0 && usageCount < n) {
            fleetUsage = usageSum / static_cast<double>(usageCount);
            s->notes.push_back("Модель 3: наработка в месяц не задана для " + std::to_string(n - usageCount) +
                               " изделий — взята средняя по остальным, " + FormatFixed(fleetUsage, 0, 1, sep) +
                               " ч");
        }
        const int horizon = std::clamp(in.horizon, 1, kMlMaxHorizon);
        const bool monthly = usageCount == n || std::isfinite(fleetUsage);
        if (!monthly)
            s->notes.push_back(
                "Модель 3: помесячный прогноз не построен — не задана наработка в месяц (ни в файле наработок, ни "
                "для парка)");
        if (monthly) months.assign(static_cast<std::size_t>(horizon), {});
        for (std::size_t i = 0; i < n; ++i) {
            const double age = a.Age[i];
            const bool k = known(i);
            const double end = k ? a.WarrantyEnd[i] : law.Top();
            if (end > age) {
                remaining.push_back({age, end, !k, share});
                tHi = std::max(tHi, end);
            }
            if (!monthly) continue;
            const double u = i < a.Usage.size() && std::isfinite(a.Usage[i]) ? a.Usage[i] : fleetUsage;
            for (int m = 0; m < horizon; ++m) {
                const double s0 = age + m * u, s1 = std::min(age + (m + 1) * u, end);
                if (s1 > s0) months[static_cast<std::size_t>(m)].push_back({s0, s1, !k, share});
            }
        }
    }
    s->layout = MakeLayout(kMlRejectTime, tHi, law);
    s->seenEvents = MakeEvents(seen, law);
    s->seenRule = MakeRule(s->layout, s->seenEvents, law);
    if (forecast) {
        s->remaining = MakeRule(s->layout, MakeEvents(remaining, law), law);
        Rule sum;
        for (const auto& m : months) {
            s->months.push_back(MakeRule(s->layout, MakeEvents(m, law), law));
            sum = AddRules(sum, s->months.back());
            s->cumulative.push_back(sum);
        }
    }
    return s;
}

}  // namespace rel::ml
