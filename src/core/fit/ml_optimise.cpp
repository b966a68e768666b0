// Model 3: the trust-region Newton search and the point fit.
#include <Eigen/Dense>
#include <algorithm>
#include <cmath>

#include "fit/ml_model.h"

namespace rel::ml {

Box SearchBox(const Prepared& p) {
    Box b;
    b.lo = {std::log(kMlShapeMin), std::log(kMlScaleMin), std::log(kMlRejectTime), std::log(1e-2)};
    b.hi = {std::log(kMlShapeMax), std::log(kMlScaleMax), std::log(1e8), std::log(1e8)};
    (void)p;
    return b;
}

Vec StartVector(const Prepared& p) {
    return {0.0, std::log(std::max(p.tmax, kMlScaleMin)), std::log(std::max(p.Sred, kMlRejectTime)),
            std::log(p.SKO > 0 ? p.SKO : 1.0)};
}

Mask FreeMask(const Prepared& p) { return {true, true, p.fitSred, p.fitSKO}; }

namespace {

// Step minimising γ·s + ½·sᵀ·B·s within |s| <= radius (B symmetric, any definiteness).
// `newton` tells whether the unconstrained Newton step was taken.
Eigen::VectorXd TrustStep(const Eigen::MatrixXd& B, const Eigen::VectorXd& g, double radius, bool& newton) {
    Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> es(B);
    const Eigen::VectorXd lam = es.eigenvalues();
    const Eigen::MatrixXd& Q = es.eigenvectors();
    const Eigen::VectorXd gt = Q.transpose() * g;
    const int m = static_cast<int>(g.size());
    const double scale = std::max(1.0, lam.cwiseAbs().maxCoeff());
    auto step = [&](double mu) {
        Eigen::VectorXd c(m);
        for (int i = 0; i < m; ++i) {
            const double d = lam(i) + mu;
            c(i) = d > 1e-14 * scale ? -gt(i) / d : 0.0;
        }
        return c;
    };
    newton = false;
    if (lam(0) > 1e-12 * scale) {
        const Eigen::VectorXd c = step(0);
        if (c.norm() <= radius) {
            newton = true;
            return Q * c;
        }
    }
    double lo = std::max(0.0, -lam(0)) + 1e-12 * scale;
    Eigen::VectorXd c = step(lo);
    if (c.norm() <= radius) {
        // Hard case: the gradient has no part along the lowest direction; move along it.
        const double extra = std::sqrt(std::max(0.0, radius * radius - c.squaredNorm()));
        c(0) += gt(0) > 0 ? -extra : extra;
        return Q * c;
    }
    double hi = lo + g.norm() / radius + scale;
    while (step(hi).norm() > radius) hi *= 2;
    for (int it = 0; it < 200 && hi - lo > 1e-13 * hi; ++it) {
        const double mid = 0.5 * (lo + hi);
        (step(mid).norm() > radius ? lo : hi) = mid;
    }
    return Q * step(hi);
}

}  // namespace

OptResult MaximiseTR(const ObjectiveFn& f, Vec x0, const Mask& free, const Box& box, int maxIter) {
    OptResult r;
    for (int i = 0; i < kSlots; ++i)
        if (free[i]) x0[i] = Clamp(x0[i], box.lo[i], box.hi[i]);
    r.x = x0;
    r.e = f(r.x);
    if (!r.e.Finite()) return r;
    double radius = 1.0;
    const double edge = 1e-12;
    for (int it = 0; it < maxIter; ++it) {
        r.iterations = it + 1;
        // Slots searched in this step: free, and not at a bound that the gradient pushes against.
        int idx[kSlots], m = 0;
        for (int i = 0; i < kSlots; ++i) {
            if (!free[i]) continue;
            if (r.x[i] <= box.lo[i] + edge && r.e.g[i] < 0) continue;
            if (r.x[i] >= box.hi[i] - edge && r.e.g[i] > 0) continue;
            idx[m++] = i;
        }
        if (m == 0) {
            r.converged = true;
            break;
        }
        Eigen::MatrixXd B(m, m);
        Eigen::VectorXd g(m);
        for (int i = 0; i < m; ++i) {
            g(i) = -r.e.g[idx[i]];
            for (int j = 0; j < m; ++j) B(i, j) = -r.e.H[idx[i] * kSlots + idx[j]];
        }
        bool newton = false;
        const Eigen::VectorXd s = TrustStep(B, g, radius, newton);
        Vec xn = r.x;
        for (int i = 0; i < m; ++i) xn[idx[i]] = Clamp(r.x[idx[i]] + s(i), box.lo[idx[i]], box.hi[idx[i]]);
        Eigen::VectorXd se(m);
        for (int i = 0; i < m; ++i) se(i) = xn[idx[i]] - r.x[idx[i]];
        const double pred = -(g.dot(se) + 0.5 * se.dot(B * se));  // predicted rise of the objective
        const double tol = 1e-10 + 1e-14 * std::fabs(r.e.v);
        if (!(pred > tol)) {
            // Nothing left to gain at this radius: converged if the full Newton step was taken.
            if (newton || se.norm() < 1e-12) {
                r.converged = true;
                break;
            }
            radius = 0.25 * std::max(se.norm(), 1e-3 * radius);
            if (radius < 1e-14) break;
            continue;
        }
        const Eval en = f(xn);
        const double actual = en.Finite() ? en.v - r.e.v : -kInf;
        const double rho = actual / pred;
        if (rho < 0.25)
            radius = 0.25 * se.norm();
        else if (rho > 0.75 && se.norm() > 0.99 * radius)
            radius = std::min(2 * radius, 10.0);
        if (rho > 1e-4) {
            r.x = xn;
            r.e = en;
            if (newton && pred < 1e3 * tol) {
                r.converged = true;
                break;
            }
        }
        if (radius < 1e-14) break;
    }
    return r;
}

PointFit FitPoint(Evaluator& ev) {
    const Prepared& p = ev.Data();
    const Box box = SearchBox(p);
    const Target profile;
    Vec best = StartVector(p);
    double bestV = -kInf;
    // Coarse grid over ln A and ln B at the starting warranty figures. On many distinct
    // failure times the grid reads them in about 2000 groups of neighbours (each group's
    // count at its mean ln t): only a starting point is sought there.
    Prepared grouped;
    const Prepared* gp = &p;
    const std::size_t m = p.t.size(), maxGroups = 2048;
    if (m > 2 * maxGroups) {
        grouped = p;
        grouped.t.clear();
        grouped.cnt.clear();
        grouped.lu.clear();
        const std::size_t size = (m + maxGroups - 1) / maxGroups;
        for (std::size_t i = 0; i < m; i += size) {
            double c = 0, l = 0;
            for (std::size_t j = i; j < std::min(m, i + size); ++j) {
                c += p.cnt[j];
                l += p.cnt[j] * p.lu[j];
            }
            grouped.cnt.push_back(c);
            grouped.lu.push_back(l / c);
            grouped.t.push_back(std::exp(l / c + p.lnTref));
        }
        gp = &grouped;
    }
    // Λ to 1e-5 there: a start is sought, not the maximum.
    Evaluator gev(*gp, 1e-5);
    const int na = 13, nb = 18;
    for (int i = 0; i < na; ++i) {
        Vec x = best;
        x[kSlotA] = box.lo[kSlotA] + (box.hi[kSlotA] - box.lo[kSlotA]) * i / (na - 1);
        for (int j = 0; j < nb; ++j) {
            x[kSlotB] = box.lo[kSlotB] + (box.hi[kSlotB] - box.lo[kSlotB]) * j / (nb - 1);
            const double v = gev.Evaluate(x, profile, false).v;
            if (v > bestV) {
                bestV = v;
                best = x;
            }
        }
    }
    PointFit pf;
    if (!std::isfinite(bestV)) return pf;
    const OptResult o =
        MaximiseTR([&](const Vec& x) { return ev.Evaluate(x, profile, true); }, best, FreeMask(p), box);
    if (!o.e.Finite()) return pf;
    pf.ok = true;
    pf.x = o.x;
    pf.ll = o.e.v;
    pf.e = o.e;
    pf.K = p.D / (p.n * ev.Lambda<0>(o.x).v);
    if (!std::isfinite(pf.K) || pf.K <= 0) pf.ok = false;
    return pf;
}

}  // namespace rel::ml
