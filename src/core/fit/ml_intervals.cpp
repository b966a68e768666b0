// Model 3: profile-likelihood intervals of the parameters and of the derived figures.
//
// Every figure is profiled on the log scale u = ln(figure). A and B are held by fixing
// their slot; K, N(t), the gamma lives and the fleet forecast by writing K as the figure
// over the model function it multiplies, so that the figure is held exactly while the
// search maximises over the rest. An end is the root of deviance(u) = 3.841, bracketed
// from the estimate outwards (the first try at the Wald end) and found by TOMS748.
#include <Eigen/Dense>
#include <algorithm>
#include <boost/math/tools/toms748_solve.hpp>
#include <cmath>

#include "fit/ml_model.h"

namespace rel::ml {
namespace {

struct Figure {
    enum Kind { kA, kB, kK, kN, kGamma, kRemaining } kind = kA;
    double tau = 0;  // the time of N(tau)
    double p = 0;    // the share of a gamma life
};

constexpr double kFail = 1e6;  // deviance of a point where the likelihood cannot be evaluated

class Profiler {
public:
    Profiler(Evaluator& ev, const PointFit& pf) : ev_(ev), pf_(pf), box_(SearchBox(ev.Data())) { Information(); }

    // The largest log-likelihood with the figure held at exp(u); x: start in, maximiser out.
    double MaxAt(const Figure& f, double u, Vec& x) {
        Mask free = FreeMask(ev_.Data());
        Target tg;
        switch (f.kind) {
            case Figure::kA:
                free[kSlotA] = false;
                break;
            case Figure::kB:
                free[kSlotB] = false;
                break;
            case Figure::kK:
                tg = {Target::kK, std::exp(u), 0};
                break;
            case Figure::kN:
                tg = {Target::kNAt, std::exp(u), f.tau};
                break;
            case Figure::kGamma:
                tg = {Target::kGammaAt, f.p, std::exp(u)};
                break;
            case Figure::kRemaining:
                tg = {Target::kRemaining, std::exp(u), 0};
                break;
        }
        auto fn = [&](const Vec& y) { return ev_.Evaluate(y, tg, true); };
        for (int attempt = 0; attempt < 2; ++attempt) {
            Vec start = attempt == 0 ? x : pf_.x;
            if (f.kind == Figure::kA) start[kSlotA] = u;
            if (f.kind == Figure::kB) start[kSlotB] = u;
            const OptResult o = MaximiseTR(fn, start, free, box_);
            if (o.e.Finite()) {
                x = o.x;
                return o.e.v;
            }
        }
        return -kInf;
    }

    double Deviance(const Figure& f, double u, Vec& x) {
        const double v = MaxAt(f, u, x);
        if (!std::isfinite(v)) return kFail;
        return std::max(0.0, 2 * (pf_.ll - v));
    }

    // The end on one side of u0 (deviance d0 < 3.841 there), moving in direction dir
    // no further than uLim. NaN: no end within the range.
    double End(const Figure& f, double u0, double d0, double dir, double step, double uLim) {
        Vec x = pf_.x;
        double ua = u0, da = d0;
        for (int it = 0; it < 60; ++it) {
            double ub = ua + dir * step;
            const bool last = dir * (ub - uLim) >= 0;
            if (last) ub = uLim;
            const double db = Deviance(f, ub, x);
            if (db >= kMlDeviance95) {
                auto g = [&](double u) { return Deviance(f, u, x) - kMlDeviance95; };
                std::uintmax_t iters = 60;
                const bool up = ua < ub;
                const auto r = boost::math::tools::toms748_solve(
                    g, up ? ua : ub, up ? ub : ua, (up ? da : db) - kMlDeviance95, (up ? db : da) - kMlDeviance95,
                    [](double a, double b) { return std::fabs(b - a) < 1e-7; }, iters);
                const double root = 0.5 * (r.first + r.second);
                // The upper end of K is open when only the cap on B sets it: the search
                // there has pushed B to the cap along the ridge where K·F(t) stays put.
                if (f.kind == Figure::kK && dir > 0) {
                    Deviance(f, root, x);
                    if (x[kSlotB] >= box_.hi[kSlotB] - 1e-6) return kNaN;
                }
                return root;
            }
            if (last) return kNaN;
            ua = ub;
            da = db;
            step *= 1.6;
        }
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
            case Figure::kRemaining: {
                const Jet<4> R = ev_.LambdaFrom<4>(pf_.x, ev_.Data().tmax);
                if (!(R.v > 0)) return kNaN;
                fromJet(Log(R), 1);
                break;
            }
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
    std::vector<int> idx_;
    Eigen::MatrixXd cov_;
    bool infOk_ = false;
};

double NAt(const PointFit& pf, double tau) {
    const double A = std::exp(pf.x[kSlotA]), B = std::exp(pf.x[kSlotB]);
    return pf.K * -std::expm1(-std::pow(tau / B, A));
}

// Both ends of a figure whose estimate is est > 0, within [uLo, uHi] on the log scale.
MlEstimate Interval(Profiler& pr, const Figure& f, double est, double uLo, double uHi) {
    MlEstimate r;
    r.est = est;
    const double u0 = std::log(est);
    const double se = pr.WaldSE(f);
    const double step = std::isfinite(se) ? Clamp(1.96 * se, 0.01, 3.0) : 0.5;
    const double lo = u0 > uLo ? pr.End(f, u0, 0, -1, step, uLo) : kNaN;
    const double hi = u0 < uHi ? pr.End(f, u0, 0, +1, step, uHi) : kNaN;
    r.lo = std::isfinite(lo) ? std::exp(lo) : kNaN;
    r.hi = std::isfinite(hi) ? std::exp(hi) : kNaN;
    return r;
}

}  // namespace

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
    fs.Remaining.est = ev.Data().n * pf.K * ev.LambdaFrom<0>(pf.x, ev.Data().tmax).v;
    return fs;
}

bool ProfileFigures(Evaluator& ev, const PointFit& pf, FigureSet& fs, const std::function<bool()>& next) {
    Profiler pr(ev, pf);
    const Box& box = pr.box();
    const double span = 50;  // e^50: far beyond any figure the data can bound
    fs.A = Interval(pr, {Figure::kA}, fs.A.est, box.lo[kSlotA], box.hi[kSlotA]);
    if (!next()) return false;
    fs.B = Interval(pr, {Figure::kB}, fs.B.est, box.lo[kSlotB], box.hi[kSlotB]);
    if (!next()) return false;
    fs.K = Interval(pr, {Figure::kK}, fs.K.est, std::log(fs.K.est) - span, std::log(fs.K.est) + span);
    if (!next()) return false;
    MlEstimate* ns[3] = {&fs.N2000, &fs.N4000, &fs.N6000};
    const double taus[3] = {2000, 4000, 6000};
    for (int i = 0; i < 3; ++i) {
        const double e = ns[i]->est;
        *ns[i] = Interval(pr, {Figure::kN, taus[i]}, e, std::log(e) - span, std::log(e) + span);
        if (!next()) return false;
    }
    // Gamma lives between 1e-3 h and 1e12 h. When K·F(t) never reaches the share at the
    // fit, the upper end is open, and the lower end exists only when holding K at the
    // share itself (the limit of a very late gamma life) stays within the deviance.
    MlEstimate* gs[2] = {&fs.G90, &fs.G50};
    const double shares[2] = {0.1, 0.5};
    const double gLo = std::log(1e-3), gHi = std::log(1e12);
    for (int i = 0; i < 2; ++i) {
        const Figure f{Figure::kGamma, 0, shares[i]};
        if (std::isfinite(gs[i]->est)) {
            *gs[i] = Interval(pr, f, gs[i]->est, gLo, gHi);
        } else {
            Vec x = pf.x;
            const double dTop = pr.Deviance(f, gHi, x);
            if (dTop < kMlDeviance95) {
                const double lo = pr.End(f, gHi, dTop, -1, 0.5, gLo);
                gs[i]->lo = std::isfinite(lo) ? std::exp(lo) : kNaN;
            }
        }
        if (!next()) return false;
    }
    if (fs.Remaining.est > 0) {
        fs.Remaining = Interval(pr, {Figure::kRemaining}, fs.Remaining.est, std::log(fs.Remaining.est) - span,
                                std::log(fs.Remaining.est) + span);
    } else {
        fs.Remaining.lo = fs.Remaining.hi = 0;  // every product left warranty by t_max
    }
    return next();
}

}  // namespace rel::ml
