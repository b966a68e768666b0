// Model 3: profile-likelihood intervals of the parameters and of the derived figures.
//
// Every figure is profiled on the log scale u = ln(figure). A and B are held by fixing
// their slot; K, N(t) and the gamma lives by writing K as the figure over the model
// function it multiplies, so that the figure is held exactly while the search maximises
// over the rest. An end is the root of deviance(u) = 3.841, bracketed from the estimate
// outwards (the first try at the Wald end) and found by TOMS748.
//
// The likelihood can have more than one maximum (a ridge of large B beside a maximum
// within the data), so a constrained search that ends at a bound or outside the 95 %
// region is repeated from the estimate and from the point fit's other maxima; from the
// best point of the grid with the figure held when it still ends at a bound outside the
// region, and at an end when it ends at a bound or its deviance is not within 0.01 of
// 3.841. An end is reported only with its deviance within 0.01 of 3.841; otherwise it is
// open, with a note saying why.
#include <Eigen/Dense>
#include <algorithm>
#include <boost/math/tools/toms748_solve.hpp>
#include <cmath>
#include <string>

#include "fit/ml_model.h"

namespace rel::ml {
namespace {

struct Figure {
    enum Kind { kA, kB, kK, kN, kGamma, kRule } kind = kA;
    double tau = 0;              // the time of N(tau)
    double p = 0;                // the share of a gamma life
    const Rule* rule = nullptr;  // kRule: the fleet's count n·K·Σ w·g
};

constexpr double kFail = 1e6;  // deviance of a point where the likelihood cannot be evaluated

// Deviance within which an end counts as found at the 95 % level.
constexpr double kEndTolerance = 0.01;

class Profiler {
public:
    Profiler(Evaluator& ev, const PointFit& pf)
        : ev_(ev), pf_(pf), box_(SearchBox(ev.Data())), grid_(GridData(ev.Data())), gev_(grid_, kGridLambdaTol) {
        Information();
    }

    // Why the last end of End() is open although the range goes on: empty when it is
    // open because it lies beyond the range.
    std::string failure;

    // How hard a constrained search tries. kWarm: from the given starts. kStep: when
    // the search ends at a bound of the range or outside the 95 % region, again from the
    // estimate and from the ends of the point fit's other searches, and when it still ends
    // at a bound outside the region, from the best point of the grid with the figure held.
    // kEnd: as kStep, the grid also when the deviance is not within 0.01 of 3.841.
    enum Effort { kWarm, kStep, kEnd };

    // The deviance with the figure held at exp(u); x: start in, maximiser out; `also`: a
    // further start, taken when the search from x ends outside the 95 % region.
    double Deviance(const Figure& f, double u, Vec& x, Effort effort, const Vec* also = nullptr) {
        Mask free = FreeMask(ev_.Data());
        const Target tg = TargetOf(f, u);
        if (f.kind == Figure::kA) free[kSlotA] = false;
        if (f.kind == Figure::kB) free[kSlotB] = false;
        auto fn = [&](const Vec& y) { return ev_.Evaluate(y, tg, true); };
        double best = -kInf;
        auto run = [&](Vec start) {
            if (f.kind == Figure::kA) start[kSlotA] = u;
            if (f.kind == Figure::kB) start[kSlotB] = u;
            const OptResult o = MaximiseTR(fn, start, free, box_);
            if (o.e.Finite() && o.e.v > best) {
                best = o.e.v;
                x = o.x;
            }
        };
        auto deviance = [&]() { return std::isfinite(best) ? std::max(0.0, 2 * (pf_.ll - best)) : kFail; };
        run(x);
        if (also && deviance() >= kMlDeviance95) run(*also);
        if (effort == kWarm) return deviance();
        if (deviance() >= kMlDeviance95 || AtBound(x, free)) {
            for (const Vec& m : pf_.modes) run(m);
            run(pf_.x);
        }
        const double d = deviance();
        const bool doubtful = effort == kEnd ? std::fabs(d - kMlDeviance95) > kEndTolerance || AtBound(x, free)
                                             : d >= kMlDeviance95 && AtBound(x, free);
        if (doubtful) run(GridStart(f, u, free));
        return deviance();
    }

    // The end on one side of u0 (deviance d0 < 3.841 there), moving in direction dir
    // no further than uLim. NaN: no end within the range, or none found (`failure` says so).
    double End(const Figure& f, double u0, double d0, double dir, double step, double uLim) {
        failure.clear();
        Vec x = pf_.x;
        double ua = u0, da = d0;
        for (int it = 0; it < 80; ++it) {
            double ub = ua + dir * step;
            const bool last = dir * (ub - uLim) >= 0;
            if (last) ub = uLim;
            Vec xb = x;
            const double db = Deviance(f, ub, xb, kStep);
            if (db < kMlDeviance95) {
                if (last) return kNaN;
                ua = ub;
                da = db;
                x = xb;
                step *= 1.6;
                continue;
            }
            // Bracketed: the deviance crosses 3.841 between ua and ub. The root is sought
            // from the maximiser at ua and from the last point tried.
            const Vec xa = x;
            Vec xr = xb;
            auto g = [&](double u) { return Deviance(f, u, xr, kWarm, &xa) - kMlDeviance95; };
            std::uintmax_t iters = 60;
            const bool up = ua < ub;
            const auto r = boost::math::tools::toms748_solve(
                g, up ? ua : ub, up ? ub : ua, (up ? da : db) - kMlDeviance95, (up ? db : da) - kMlDeviance95,
                [](double a, double b) { return std::fabs(b - a) < 1e-7; }, iters);
            const double root = 0.5 * (r.first + r.second);
            const double dr = Deviance(f, root, xr, kEnd, &xa);
            if (std::fabs(dr - kMlDeviance95) <= kEndTolerance) {
                // The upper end of K is open when only the cap on B sets it: the search
                // there has pushed B to the cap along the ridge where K·F(t) stays put.
                if (f.kind == Figure::kK && dir > 0 && xr[kSlotB] >= box_.hi[kSlotB] - 1e-6) return kNaN;
                return root;
            }
            if (dr < kMlDeviance95) {
                // A higher maximum at the root: the region goes on; bracket again from there.
                ua = root;
                da = dr;
                x = xr;
                step = std::max(std::fabs(ub - root), 1e-4);
                continue;
            }
            // The deviance leaps over 3.841 here, whichever start the searches take.
            failure = "отклонение не сходится к порогу 95%";
            return kNaN;
        }
        failure = "поиск не сошелся";
        return kNaN;
    }

    // Wald standard error of ln(figure), a first guess of where the ends lie.
    double WaldSE(const Figure& f) const {
        if (!infOk_) return kNaN;
        Eigen::VectorXd g = Eigen::VectorXd::Zero(static_cast<int>(idx_.size()) + 1);
        const int kk = static_cast<int>(idx_.size());
        auto fromJet = [&](const Jet<4>& j, double gk) {
            for (int i = 0; i < kk; ++i) g(i) = j.g[idx_[i]];
            g(kk) = gk;
        };
        switch (f.kind) {
            case Figure::kA:
            case Figure::kB: {
                const int slot = f.kind == Figure::kA ? kSlotA : kSlotB;
                for (int i = 0; i < kk; ++i) g(i) = idx_[i] == slot ? 1 : 0;
                break;
            }
            case Figure::kK:
                g(kk) = 1;
                break;
            case Figure::kN:
                fromJet(ev_.LnF<4>(pf_.x, f.tau), 1);
                break;
            case Figure::kRule:
                fromJet(ev_.LnRule<4>(pf_.x, *f.rule), 1);
                break;
            case Figure::kGamma: {
                // k + ln F(τ) = ln p defines ln τ: its gradient is −∇(k + ln F)/(∂ ln F/∂ ln τ).
                const double A = std::exp(pf_.x[kSlotA]);
                const double tau = GammaAt(f.p);
                if (!std::isfinite(tau)) return kNaN;
                const double z = std::pow(tau / std::exp(pf_.x[kSlotB]), A);
                const double dlnF = A * z / std::expm1(z);
                fromJet(ev_.LnF<4>(pf_.x, tau), 1);
                g /= -dlnF;
                break;
            }
        }
        const double var = g.dot(cov_ * g);
        return var > 0 ? std::sqrt(var) : kNaN;
    }

    double GammaAt(double p) const {
        if (!(pf_.K > p)) return kNaN;
        return std::exp(pf_.x[kSlotB]) * std::pow(-std::log1p(-p / pf_.K), 1 / std::exp(pf_.x[kSlotA]));
    }

    const Box& box() const { return box_; }

private:
    Target TargetOf(const Figure& f, double u) const {
        switch (f.kind) {
            case Figure::kRule:
                return {Target::kRule, std::exp(u) / ev_.Data().n, 0, f.rule};
            case Figure::kK:
                return {Target::kK, std::exp(u), 0};
            case Figure::kN:
                return {Target::kNAt, std::exp(u), f.tau};
            case Figure::kGamma:
                return {Target::kGammaAt, f.p, std::exp(u)};
            default:
                return {};  // A or B held by its slot
        }
    }

    bool AtBound(const Vec& x, const Mask& free) const {
        for (int i = 0; i < kSlots; ++i)
            if (free[i] && (x[i] <= box_.lo[i] + 1e-6 || x[i] >= box_.hi[i] - 1e-6)) return true;
        return false;
    }

    // The best point of the coarse grid with the figure held at exp(u): over the slot that
    // is not held for A and B, over both for the others; the warranty figures at the fit's.
    Vec GridStart(const Figure& f, double u, const Mask& free) {
        const Target tg = TargetOf(f, u);
        Vec best = pf_.x;
        double bestV = -kInf;
        auto consider = [&](Vec y) {
            if (!free[kSlotA]) y[kSlotA] = u;
            if (!free[kSlotB]) y[kSlotB] = u;
            const double v = gev_.Evaluate(y, tg, false).v;
            if (v > bestV) {
                bestV = v;
                best = y;
            }
        };
        if (f.kind == Figure::kA) {
            for (int j = 0; j < kGridB; ++j) consider(GridPoint(box_, pf_.x, 0, j));
        } else if (f.kind == Figure::kB) {
            for (int i = 0; i < kGridA; ++i) consider(GridPoint(box_, pf_.x, i, 0));
        } else {
            for (int i = 0; i < kGridA; ++i)
                for (int j = 0; j < kGridB; ++j) consider(GridPoint(box_, pf_.x, i, j));
        }
        return best;
    }

    // Observed information over the free slots and k = ln K at the fit, inverted.
    void Information() {
        const Prepared& p = ev_.Data();
        const Mask free = FreeMask(p);
        for (int i = 0; i < kSlots; ++i)
            if (free[i]) idx_.push_back(i);
        const int m = static_cast<int>(idx_.size());
        const double k = std::log(pf_.K);
        const Jet<4> full = ev_.Full<4>(pf_.x, k);
        const Jet<4> L = ev_.Lambda<4>(pf_.x);
        Eigen::MatrixXd I(m + 1, m + 1);
        for (int i = 0; i < m; ++i) {
            for (int j = 0; j < m; ++j) I(i, j) = -full.h[idx_[i] * 4 + idx_[j]];
            I(i, m) = I(m, i) = p.n * pf_.K * L.g[idx_[i]];
        }
        I(m, m) = p.n * pf_.K * L.v;
        Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> es(I);
        if (es.info() != Eigen::Success || !(es.eigenvalues()(0) > 1e-12 * es.eigenvalues().cwiseAbs().maxCoeff()))
            return;
        cov_ = es.eigenvectors() * es.eigenvalues().cwiseInverse().asDiagonal() * es.eigenvectors().transpose();
        infOk_ = true;
    }

    Evaluator& ev_;
    const PointFit& pf_;
    Box box_;
    Prepared grid_;
    Evaluator gev_;
    std::vector<int> idx_;
    Eigen::MatrixXd cov_;
    bool infOk_ = false;
};

double NAt(const PointFit& pf, double tau) {
    const double A = std::exp(pf.x[kSlotA]), B = std::exp(pf.x[kSlotB]);
    return pf.K * -std::expm1(-std::pow(tau / B, A));
}

// An end left open by End() although the range goes on, as a note.
void NoteOpen(const Profiler& pr, const char* name, bool lower, std::vector<std::string>& notes) {
    if (pr.failure.empty()) return;
    notes.push_back(std::string("Модель 3: ") + (lower ? "нижняя" : "верхняя") + " граница интервала " + name +
                    " оставлена открытой — " + pr.failure);
}

// Both ends of a figure whose estimate is est > 0, within [uLo, uHi] on the log scale.
MlEstimate Interval(Profiler& pr, const Figure& f, const char* name, double est, double uLo, double uHi,
                    std::vector<std::string>& notes) {
    MlEstimate r;
    r.est = est;
    const double u0 = std::log(est);
    const double se = pr.WaldSE(f);
    const double step = std::isfinite(se) ? Clamp(1.96 * se, 0.01, 3.0) : 0.5;
    double lo = kNaN, hi = kNaN;
    if (u0 > uLo) {
        lo = pr.End(f, u0, 0, -1, step, uLo);
        NoteOpen(pr, name, true, notes);
    }
    if (u0 < uHi) {
        hi = pr.End(f, u0, 0, +1, step, uHi);
        NoteOpen(pr, name, false, notes);
    }
    r.lo = std::isfinite(lo) ? std::exp(lo) : kNaN;
    r.hi = std::isfinite(hi) ? std::exp(hi) : kNaN;
    return r;
}

}  // namespace

std::vector<RuleCurve> ProfileRuleCurves(Evaluator& ev, const PointFit& pf,
                                         const std::vector<const Rule*>& rules) {
    std::vector<RuleCurve> out(rules.size());
    Profiler pr(ev, pf);
    for (std::size_t i = 0; i < rules.size(); ++i) {
        RuleCurve& c = out[i];
        const double est = ev.Data().n * pf.K * ev.RuleValue(pf.x, *rules[i]);
        if (!(est > 0) || !std::isfinite(est)) continue;
        const Figure f{Figure::kRule, 0, 0, rules[i]};
        const double u0 = std::log(est);
        c.se = pr.WaldSE(f);
        const double step = std::isfinite(c.se) ? Clamp(c.se, 0.01, 2.0) : 0.3;
        c.points.emplace_back(u0, 0.0);
        // The signed root of the deviance out to 4.5 on each side (the predictive mixture
        // reads it to 4), first at multiples of the Wald guess, then in doubling steps where
        // the profile is flatter than the guess; no further than e^50 from the estimate.
        constexpr double kReach = 4.5;
        for (const double dir : {-1.0, 1.0}) {
            Vec x = pf.x;
            double mult = 1.5;
            for (int it = 0; it < 12; ++it) {
                const double u = u0 + dir * mult * step;
                if (std::fabs(u - u0) > 50) break;
                // From the last point's maximiser; from the other starts only when that fails.
                const Vec from = x;
                double d = pr.Deviance(f, u, x, Profiler::kWarm);
                if (d >= kFail) {
                    x = from;
                    d = pr.Deviance(f, u, x, Profiler::kStep);
                }
                if (d >= kFail) break;
                const double r = dir * std::sqrt(d);
                c.points.emplace_back(u, r);
                if (std::fabs(r) >= kReach) break;
                mult = mult < 4.5 ? mult + 1.5 : mult * 2;
            }
        }
        std::sort(c.points.begin(), c.points.end());
    }
    return out;
}

FigureSet PointFigures(Evaluator& ev, const PointFit& pf) {
    FigureSet fs;
    Profiler pr(ev, pf);
    fs.A.est = std::exp(pf.x[kSlotA]);
    fs.B.est = std::exp(pf.x[kSlotB]);
    fs.K.est = pf.K;
    fs.N2000.est = NAt(pf, 2000);
    fs.N4000.est = NAt(pf, 4000);
    fs.N6000.est = NAt(pf, 6000);
    fs.G90.est = pr.GammaAt(0.1);
    fs.G50.est = pr.GammaAt(0.5);
    return fs;
}

bool ProfileFigures(Evaluator& ev, const PointFit& pf, FigureSet& fs, const std::function<bool()>& next) {
    Profiler pr(ev, pf);
    const Box& box = pr.box();
    const double span = 50;  // e^50: far beyond any figure the data can bound
    std::vector<std::string>& notes = fs.notes;
    fs.A = Interval(pr, {Figure::kA}, "A", fs.A.est, box.lo[kSlotA], box.hi[kSlotA], notes);
    if (!next()) return false;
    fs.B = Interval(pr, {Figure::kB}, "B", fs.B.est, box.lo[kSlotB], box.hi[kSlotB], notes);
    if (!next()) return false;
    fs.K = Interval(pr, {Figure::kK}, "K", fs.K.est, std::log(fs.K.est) - span, std::log(fs.K.est) + span, notes);
    if (!next()) return false;
    MlEstimate* ns[3] = {&fs.N2000, &fs.N4000, &fs.N6000};
    const double taus[3] = {2000, 4000, 6000};
    const char* nNames[3] = {"N(2000)", "N(4000)", "N(6000)"};
    for (int i = 0; i < 3; ++i) {
        const double e = ns[i]->est;
        *ns[i] = Interval(pr, {Figure::kN, taus[i]}, nNames[i], e, std::log(e) - span, std::log(e) + span, notes);
        if (!next()) return false;
    }
    // Gamma lives between 1e-3 h and 1e12 h. When K·F(t) never reaches the share at the
    // fit, the upper end is open, and the lower end exists only when holding K at the
    // share itself (the limit of a very late gamma life) stays within the deviance.
    MlEstimate* gs[2] = {&fs.G90, &fs.G50};
    const double shares[2] = {0.1, 0.5};
    const char* gNames[2] = {"Гамма 90%", "Гамма 50%"};
    const double gLo = std::log(1e-3), gHi = std::log(1e12);
    for (int i = 0; i < 2; ++i) {
        const Figure f{Figure::kGamma, 0, shares[i]};
        if (std::isfinite(gs[i]->est)) {
            *gs[i] = Interval(pr, f, gNames[i], gs[i]->est, gLo, gHi, notes);
        } else {
            Vec x = pf.x;
            const double dTop = pr.Deviance(f, gHi, x, Profiler::kStep);
            if (dTop < kMlDeviance95) {
                const double lo = pr.End(f, gHi, dTop, -1, 0.5, gLo);
                NoteOpen(pr, gNames[i], true, notes);
                gs[i]->lo = std::isfinite(lo) ? std::exp(lo) : kNaN;
            }
        }
        if (!next()) return false;
    }
    return true;
}

}  // namespace rel::ml
