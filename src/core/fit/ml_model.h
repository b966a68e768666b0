// Internals of model 3 shared by its ml_*.cpp files (and its tests): the prepared
// data, the log-likelihood with its first and second derivatives, the trust-region
// search and the profile figures.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "fit/ml_fit.h"

namespace rel::ml {

inline constexpr double kInf = std::numeric_limits<double>::infinity();
inline constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Parameter slots of the search: ln A, ln B, ln Sred, ln SKO.
inline constexpr int kSlots = 4;
enum Slot { kSlotA = 0, kSlotB = 1, kSlotSred = 2, kSlotSKO = 3 };
using Vec = std::array<double, kSlots>;
using Mat = std::array<double, kSlots * kSlots>;
using Mask = std::array<bool, kSlots>;

// A value with its gradient and Hessian in the first N slots (second-order forward
// derivatives). N = 0 is a plain value, N = 2 the shape and scale, N = 4 with the
// warranty figures.
template <int N>
struct Jet {
    double v = 0;
    std::array<double, N> g{};
    std::array<double, N * N> h{};
    Jet() = default;
    explicit Jet(double c) : v(c) {}
    // The parameter of slot i at the value x (a constant when i is not tracked).
    static Jet Var(double x, int i) {
        Jet j(x);
        if (i < N) j.g[i] = 1;
        return j;
    }
};

// f(x) from f, f' and f'' at x.v.
template <int N>
Jet<N> Chain(const Jet<N>& x, double f, double f1, double f2) {
    Jet<N> r(f);
    for (int i = 0; i < N; ++i) r.g[i] = f1 * x.g[i];
    for (int i = 0; i < N; ++i)
        for (int j = 0; j < N; ++j) r.h[i * N + j] = f1 * x.h[i * N + j] + f2 * x.g[i] * x.g[j];
    return r;
}
template <int N>
Jet<N> operator+(Jet<N> x, const Jet<N>& y) {
    x.v += y.v;
    for (int i = 0; i < N; ++i) x.g[i] += y.g[i];
    for (int i = 0; i < N * N; ++i) x.h[i] += y.h[i];
    return x;
}
template <int N>
Jet<N> operator*(Jet<N> x, double c) {
    x.v *= c;
    for (int i = 0; i < N; ++i) x.g[i] *= c;
    for (int i = 0; i < N * N; ++i) x.h[i] *= c;
    return x;
}
template <int N>
Jet<N> operator*(double c, const Jet<N>& x) {
    return x * c;
}
template <int N>
Jet<N> operator-(const Jet<N>& x) {
    return x * -1.0;
}
template <int N>
Jet<N> operator-(const Jet<N>& x, const Jet<N>& y) {
    return x + (-y);
}
template <int N>
Jet<N> operator+(Jet<N> x, double c) {
    x.v += c;
    return x;
}
template <int N>
Jet<N> operator-(Jet<N> x, double c) {
    x.v -= c;
    return x;
}
template <int N>
Jet<N> operator*(const Jet<N>& x, const Jet<N>& y) {
    Jet<N> r(x.v * y.v);
    for (int i = 0; i < N; ++i) r.g[i] = x.v * y.g[i] + y.v * x.g[i];
    for (int i = 0; i < N; ++i)
        for (int j = 0; j < N; ++j)
            r.h[i * N + j] = x.v * y.h[i * N + j] + y.v * x.h[i * N + j] + x.g[i] * y.g[j] + y.g[i] * x.g[j];
    return r;
}
template <int N>
Jet<N> Exp(const Jet<N>& x) {
    const double e = std::exp(x.v);
    return Chain(x, e, e, e);
}
template <int N>
Jet<N> Expm1(const Jet<N>& x) {
    const double e = std::exp(x.v);
    return Chain(x, std::expm1(x.v), e, e);
}
template <int N>
Jet<N> Log(const Jet<N>& x) {
    return Chain(x, std::log(x.v), 1 / x.v, -1 / (x.v * x.v));
}

// ln of the standard normal upper tail 1 − Φ(x), accurate far into the tail.
double LogNormUpper(double x);

// The data of one fit, prepared once: failures at or above 1 h as distinct times with
// their counts, and the warranty law as weighted nodes.
struct Prepared {
    std::vector<double> t, cnt, lu;  // distinct times ascending, counts, ln(t / tref)
    double D = 0;                    // failures used
    double SL = 0;                   // Σ ln t over the failures
    double lnTref = 0;               // ln of the latest failure time
    double tmax = 0;
    double n = 0;  // fleet size
    // Warranty law. list: the distinct listed ends with their shares (a normal law with
    // a deviation of 0 is the one-entry list {Sred}); otherwise normal.
    bool list = false;
    std::vector<double> W, Ww;
    // The listed ends as (ln W, share), ascending in W.
    std::vector<double> nodeLnW, nodeW;
    double Sred = 0, SKO = 0;  // values to start from or to hold
    bool fitSred = false, fitSKO = false;
    double lnRconst = 0;     // Σ ln(R(t_j)/n) when the warranty law is held
    bool beyondLaw = false;  // a failure where no product is under warranty
    int Dim() const { return fitSred || fitSKO ? 4 : 2; }
};

// Fills `p` from the input; returns the Russian refusal, empty when usable.
// `notes` receives the remarks of a usable input.
std::string Prepare(const MlInput& in, Prepared& p, std::vector<std::string>* notes);

// What a profile holds fixed: nothing (K profiled out), or K written as c/Q(θ).
struct Target {
    enum Kind { kProfile, kK, kNAt, kGammaAt } kind = kProfile;
    double c = 0;    // the figure held: K, N(tau), the share p of the gamma life
    double tau = 0;  // the time of N(tau), or of the gamma life
};

// Value, gradient and Hessian of an objective at a point, in the four slots.
struct Eval {
    double v = -kInf;
    Vec g{};
    Mat H{};
    bool Finite() const;
};

// Relative error bound of the expected-count integral Λ under the normal warranty law.
inline constexpr double kLambdaRelTol = 1e-8;

// A piece of the adaptive rule of Λ: its ends, its value and its error estimate.
struct QuadPiece {
    double a = 0, b = 0, value = 0, err = 0;
};

// Evaluates the log-likelihood of one prepared data set. Keeps the failure sums of
// the last shape value (a search that moves only B reuses them); not thread-safe.
// `lambdaTol`: the relative error bound of Λ (a coarser one where only a starting
// point is sought).
class Evaluator {
public:
    explicit Evaluator(const Prepared& p, double lambdaTol = kLambdaRelTol) : p_(p), relTol_(lambdaTol) {}
    const Prepared& Data() const { return p_; }

    // The objective of `tg` at x, with derivatives in the tracked slots.
    Eval Evaluate(const Vec& x, const Target& tg, bool derivatives);
    // Λ from 1 h (the likelihood's rule) and from c (the rule of the kink at c).
    template <int N>
    Jet<N> Lambda(const Vec& x);
    template <int N>
    Jet<N> LambdaFrom(const Vec& x, double c);
    template <int N>
    Jet<N> SumLnF(const Vec& x);
    template <int N>
    Jet<N> SumLnS(const Vec& x);
    template <int N>
    Jet<N> LnF(const Vec& x, double tau);
    template <int N>
    Jet<N> Objective(const Vec& x, const Target& tg);
    // Full log-likelihood at x with K = exp(k).
    template <int N>
    Jet<N> Full(const Vec& x, double k);
    // Model share of the recorded failures at each distinct failure time.
    std::vector<double> ModelShares(const Vec& x);

private:
    void Sums(double A, int level);
    template <int N>
    Jet<N> FixedNodes(const Vec& x, double c);
    template <int N>
    Jet<N> NormalLaw(const Vec& x, double c);
    const Prepared& p_;
    double relTol_;
    std::vector<double> cuts_;
    std::vector<QuadPiece> pieces_;
    double cacheA_ = kNaN;
    int cacheLevel_ = -1;
    double P0_ = 0, P1_ = 0, P2_ = 0;
};

// Parameter range of the search.
struct Box {
    Vec lo, hi;
};
Box SearchBox(const Prepared& p);
Vec StartVector(const Prepared& p);  // slots 2, 3 at the prepared warranty figures
Mask FreeMask(const Prepared& p);

using ObjectiveFn = std::function<Eval(const Vec&)>;
struct OptResult {
    Vec x{};
    Eval e;
    int iterations = 0;
    bool converged = false;
};
// Trust-region Newton maximisation over the free slots within the box. The steps are
// taken on the eigen-decomposition of the Hessian (exact subproblem of a small
// dimension); a slot at a bound whose gradient points outwards is held for the step.
OptResult MaximiseTR(const ObjectiveFn& f, Vec x0, const Mask& free, const Box& box, int maxIter = 200);

// The coarse grid of starting points over (ln A, ln B): kGridA × kGridB points across the
// box, read with Λ to kGridLambdaTol.
inline constexpr int kGridA = 13, kGridB = 18;
inline constexpr double kGridLambdaTol = 1e-5;
// Point (i, j) of the grid, the other slots as in x.
Vec GridPoint(const Box& box, Vec x, int i, int j);
// The data as the grid reads them: many distinct failure times in about 2000 groups.
Prepared GridData(const Prepared& p);

// The point fit: trust-region searches from the coarse grid's highest local maxima and
// from a start off the ridge of large B; the best of their ends.
struct PointFit {
    bool ok = false;
    Vec x{};
    double ll = -kInf;  // profile log-likelihood (= the full one at K̂)
    double K = 0;
    Eval e;                  // profile objective at x, with derivatives
    std::vector<Vec> modes;  // where the other searches ended, each distinct end once
};
PointFit FitPoint(Evaluator& ev);

// The figures of a fitted point, with their intervals once profiled.
struct FigureSet {
    MlEstimate A, B, K, N2000, N4000, N6000, G90, G50;
    std::vector<std::string> notes;  // ends left open although the range goes on, and why
};
FigureSet PointFigures(Evaluator& ev, const PointFit& pf);
// Profiles each figure in turn; `next` is called after each one and returns false to
// stop (the figures not yet profiled keep open ends). Returns false when stopped.
bool ProfileFigures(Evaluator& ev, const PointFit& pf, FigureSet& fs, const std::function<bool()>& next);
inline constexpr int kProfiledFigures = 8;

// λ of the data at the fitted point.
double GofLambda(Evaluator& ev, const Vec& x);

// λ of each bootstrap replicate (NaN: the replicate gave no fit), replicates spread
// over `threads` threads; `cancelled` and `done` are called on the caller's thread.
struct BootOutcome {
    std::vector<double> lambdas;
    bool cancelled = false;
};
BootOutcome Bootstrap(const MlInput& in, const MlParams& fitted, int replicates, std::uint64_t seed, int threads,
                      const std::function<bool()>& cancelled, const std::function<void(int)>& done);

inline double Clamp(double v, double lo, double hi) { return v < lo ? lo : (v > hi ? hi : v); }

}  // namespace rel::ml
