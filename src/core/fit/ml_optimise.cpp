// Model 3: the trust-region Newton search and the point fit.
#include <Eigen/Dense>
#include <algorithm>
#include <array>
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

Prepared GridData(const Prepared& p) {
    // On many distinct failure times the grid reads them in about 2000 groups of
    // neighbours (each group's count at its mean ln t): only starting points are sought there.
    const std::size_t m = p.t.size(), maxGroups = 2048;
    Prepared grouped = p;
    if (m <= 2 * maxGroups) return grouped;
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
    return grouped;
}

Vec GridPoint(const Box& box, Vec x, int i, int j) {
    x[kSlotA] = box.lo[kSlotA] + (box.hi[kSlotA] - box.lo[kSlotA]) * i / (kGridA - 1);
    x[kSlotB] = box.lo[kSlotB] + (box.hi[kSlotB] - box.lo[kSlotB]) * j / (kGridB - 1);
    return x;
}

PointFit FitPoint(Evaluator& ev) {
    const Prepared& p = ev.Data();
    const Box box = SearchBox(p);
    const Target profile;
    // Coarse grid over ln A and ln B at the starting warranty figures.
    const Prepared grouped = GridData(p);
    // Λ to 1e-5 there: a start is sought, not the maximum.
    Evaluator gev(grouped, kGridLambdaTol);
    constexpr int na = kGridA, nb = kGridB;
    const Vec x0 = StartVector(p);
    auto gridPoint = [&](int i, int j) { return GridPoint(box, x0, i, j); };
    std::array<std::array<double, nb>, na> v{};
    for (int i = 0; i < na; ++i)
        for (int j = 0; j < nb; ++j) {
            v[i][j] = gev.Evaluate(gridPoint(i, j), profile, false).v;
            if (std::isnan(v[i][j])) v[i][j] = -kInf;
        }

    // Starts: the grid's local maxima (each higher than its earlier neighbours and not lower
    // than its later ones, so that a flat stretch gives one), the highest few, as they lie
    // in distinct regions of the likelihood; and a start off the ridge where B outgrows the
    // data, at B = the latest failure time with the grid's best shape there. (On a fleet
    // that sees only the early part of a steep wear-out, the ridge's plateau can hide a
    // higher maximum at a scale within the data that the coarse grid steps over.)
    struct Start {
        double v;
        Vec x;
    };
    std::vector<Start> starts;
    for (int i = 0; i < na; ++i)
        for (int j = 0; j < nb; ++j) {
            if (!std::isfinite(v[i][j])) continue;
            bool peak = true;
            for (int di = -1; di <= 1 && peak; ++di)
                for (int dj = -1; dj <= 1 && peak; ++dj) {
                    const int ii = i + di, jj = j + dj;
                    if ((di == 0 && dj == 0) || ii < 0 || ii >= na || jj < 0 || jj >= nb) continue;
                    const bool earlier = ii * nb + jj < i * nb + j;
                    peak = earlier ? v[i][j] > v[ii][jj] : v[i][j] >= v[ii][jj];
                }
            if (peak) starts.push_back({v[i][j], gridPoint(i, j)});
        }
    PointFit pf;
    if (starts.empty()) return pf;
    std::stable_sort(starts.begin(), starts.end(), [](const Start& a, const Start& b) { return a.v > b.v; });
    if (starts.size() > 3) starts.resize(3);
    {
        Start off{-kInf, x0};
        off.x[kSlotB] = Clamp(std::log(std::max(p.tmax, kMlScaleMin)), box.lo[kSlotB], box.hi[kSlotB]);
        for (int i = 0; i < na; ++i) {
            Vec x = off.x;
            x[kSlotA] = gridPoint(i, 0)[kSlotA];
            const double w = gev.Evaluate(x, profile, false).v;
            if (w > off.v) off = {w, x};
        }
        if (std::isfinite(off.v)) starts.push_back(off);
    }

    const ObjectiveFn fn = [&](const Vec& x) { return ev.Evaluate(x, profile, true); };
    OptResult best;
    bool found = false;
    std::vector<Vec> ends;
    for (const Start& s : starts) {
        const OptResult o = MaximiseTR(fn, s.x, FreeMask(p), box);
        if (!o.e.Finite()) continue;
        ends.push_back(o.x);
        if (!found || o.e.v > best.e.v) {
            best = o;
            found = true;
        }
    }
    if (!found) return pf;
    // The other maxima, each once.
    auto same = [](const Vec& a, const Vec& b) {
        for (int i = 0; i < kSlots; ++i)
            if (std::fabs(a[i] - b[i]) > 1e-4) return false;
        return true;
    };
    for (const Vec& e : ends) {
        if (same(e, best.x)) continue;
        bool seen = false;
        for (const Vec& m : pf.modes) seen = seen || same(e, m);
        if (!seen) pf.modes.push_back(e);
    }
    pf.ok = true;
    pf.x = best.x;
    pf.ll = best.e.v;
    pf.e = best.e;
    pf.K = p.D / (p.n * ev.Lambda<0>(best.x).v);
    if (!std::isfinite(pf.K) || pf.K <= 0) pf.ok = false;
    return pf;
}

}  // namespace rel::ml
