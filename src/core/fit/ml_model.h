// Internals of model 3 shared by its ml_*.cpp files (and its tests): the prepared
// data, the log-likelihood with its first and second derivatives, the trust-region
// search and the profile figures.
#pragma once

#include <array>
#include <utility>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
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

// ---- A fleet in service: integrals over the products' observation windows ----
//
// Each product is observed over a window of operating time; the expected failures it
// records there are K·∫ f(t)·S(t) dt over its window, S the share of the warranty law
// still under warranty at t for a product whose warranty end is not known, 1 for one whose
// end is known (the window then ends there). Summed over the fleet, an integral over
// windows is ∫ f(t)·G(t) dt with G a step function (the windows' starts and ends) times,
// for the products of unknown end, the warranty law's share. A window rule turns it into
// Σ_k w_k·g(u_k), g(u) = t·f(t) the Weibull density in u = ln t: over bins of ln t, g is
// taken as its interpolating polynomial at kRuleNodes Gauss–Legendre nodes, and each weight
// is the exact integral of its Lagrange basis polynomial times G over the bin (the steps
// of G anywhere in the bin, the warranty law's share folded in at the nodes). The weights
// depend only on the windows and the warranty law, so a rule is built once and every
// parameter point costs one density evaluation a node.
inline constexpr int kRuleNodes = 12;
// Bins of ln t at most this wide (0.1 with 12 nodes: the interpolation's relative error
// stays below 1e-10 for shapes up to 8, about 1e-7 at the range's top of 20); within 8 SKO of the mean warranty
// end, bins at most SKO/2 wide where that is finer.
inline constexpr double kRuleBin = 0.1;

// The warranty law of the products whose warranty end is not known.
struct WarrantyLaw {
    bool list = false;
    std::vector<double> W, Ww;  // listed ends ascending and their shares (list)
    std::vector<double> tail;   // tail[k]: the shares of the ends from W[k] on (list)
    double Sred = 0, SKO = 0;   // normal law
    // Share still under warranty at t (ends at t still count).
    double Share(double t) const;
    // Latest time at which a product may still be under warranty.
    double Top() const;
};

// A window (s, e] of operating time; `law`: the product's warranty end is not known, so
// the window is also cut by the warranty law; `weight`: the product's share of the fleet.
struct Window {
    double s = 0, e = 0;
    bool law = false;
    double weight = 0;
};

// Σ_k w[k]·g(u[k]) over the nodes of bins [b0, b1) of a layout.
struct Rule {
    std::size_t b0 = 0, b1 = 0;
    std::vector<double> w;  // (b1 − b0)·kRuleNodes weights
    bool Empty() const { return b1 <= b0; }
};

// The bins of ln t shared by the rules of one fleet.
struct RuleLayout {
    std::vector<double> edges;  // bin edges in ln t, ascending
    std::vector<double> u;      // nodes, kRuleNodes a bin
    std::size_t Bins() const { return edges.empty() ? 0 : edges.size() - 1; }
};
// Bins from tLo to tHi (h), refined about the normal warranty law's mean.
RuleLayout MakeLayout(double tLo, double tHi, const WarrantyLaw& law);

// The steps of G in ln t, ascending: the part of the known ends and the part the
// warranty law's share multiplies (under a listed law that part is folded into the first).
struct RuleEvents {
    std::vector<std::pair<double, double>> known, law;  // (ln t, jump)
};
RuleEvents MakeEvents(const std::vector<Window>& windows, const WarrantyLaw& law);

// The partial weights of the integral from the layout's start up to each mark: the
// mark's bin and kRuleNodes weights on that bin's nodes.
struct RuleMarks {
    std::vector<std::size_t> bin;
    std::vector<double> w;
};
// The rule of the events; `marks` (ln t, ascending, optional) get their partial weights.
Rule MakeRule(const RuleLayout& layout, const RuleEvents& ev, const WarrantyLaw& law,
              const std::vector<double>* marks = nullptr, RuleMarks* marked = nullptr);
// The elementwise sum of two rules of one layout.
Rule AddRules(const Rule& a, const Rule& b);

// A fleet in service as the likelihood reads it, built once for the data's fleet and
// shared by the bootstrap's replicates.
struct InService {
    double n = 0;  // fleet size
    WarrantyLaw law;
    RuleLayout layout;
    RuleEvents seenEvents;  // each product from 1 h to its age (and its known warranty end)
    Rule seenRule;
    // The sorted ends of the seen windows: of the products of known warranty end, and the
    // ages of the others.
    std::vector<double> knownEnds, lawEnds;
    // Share of the fleet observed at t: (#known ends ≥ t + law share·#ages ≥ t)/n.
    double Observed(double t) const;
    // The forecast's rules (empty when not asked for): the claims still to come under
    // warranty, and in each of the next months with hours per month known, and cumulated.
    Rule remaining;
    std::vector<Rule> months, cumulative;
    std::vector<std::string> notes;  // Russian notes on what the ages leave out
};

// The fleet in service of `in` (its ages) under the prepared warranty law; with
// `forecast`, the forecast's rules too. Null when `in` has no ages.
std::shared_ptr<const InService> MakeInService(const MlInput& in, const WarrantyLaw& law, bool forecast);
WarrantyLaw LawOf(const struct Prepared& p);

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
    // A fleet in service (null: the complete warranty record): Λ is its rule's integral,
    // and the model's share at each distinct failure time comes from `marks`.
    std::shared_ptr<const InService> service;
    RuleMarks marks;  // partial weights at each distinct failure time
    int Dim() const { return fitSred || fitSKO ? 4 : 2; }
};

// Fills `p` from the input; returns the Russian refusal, empty when usable.
// `notes` receives the remarks of a usable input.
// A fleet in service builds its windows' rules here, or takes `reuse` (the same fleet's,
// for the bootstrap's replicates).
std::string Prepare(const MlInput& in, Prepared& p, std::vector<std::string>* notes,
                    const std::shared_ptr<const InService>& reuse = nullptr);

// What a profile holds fixed: nothing (K profiled out), or K written as c/Q(θ).
struct Target {
    enum Kind { kProfile, kK, kNAt, kGammaAt, kRule } kind = kProfile;
    double c = 0;    // the figure held: K, N(tau), the share p of the gamma life, a rule's count per product
    double tau = 0;  // the time of N(tau), or of the gamma life
    const Rule* rule = nullptr;  // kRule: K·Σ w·g held at c
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
    // ln Σ_k w_k·g(u_k) of a rule on the fleet's layout.
    template <int N>
    Jet<N> LnRule(const Vec& x, const Rule& r);
    // Σ_k w_k·g(u_k), plain.
    double RuleValue(const Vec& x, const Rule& r);
    template <int N>
    Jet<N> Objective(const Vec& x, const Target& tg);
    // Full log-likelihood at x with K = exp(k).
    template <int N>
    Jet<N> Full(const Vec& x, double k);
    // Model share of the recorded failures at each distinct failure time.
    std::vector<double> ModelShares(const Vec& x);

private:
    template <int N>
    Jet<N> RuleSum(const Vec& x, const Rule& r);
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

// The signed root of the profile deviance of a rule's count n·K·Σ w·g at points about its
// estimate, as (ln count, root) ascending, and the Wald standard error of the ln count (NaN
// when the information cannot be inverted); no points when the count is zero.
struct RuleCurve {
    std::vector<std::pair<double, double>> points;
    double se = kNaN;
};
std::vector<RuleCurve> ProfileRuleCurves(Evaluator& ev, const PointFit& pf, const std::vector<const Rule*>& rules);
// The forecast of a fleet in service from its fitted point: expected counts, and their 95 %
// predictive intervals when `intervals`; `next` as for ProfileFigures.
bool ForecastClaims(Evaluator& ev, const PointFit& pf, bool intervals, MlForecast& out,
                    const std::function<bool()>& next);

// λ of the data at the fitted point.
double GofLambda(Evaluator& ev, const Vec& x);

// λ of each bootstrap replicate (NaN: the replicate gave no fit), replicates spread
// over `threads` threads; `cancelled` and `done` are called on the caller's thread.
struct BootOutcome {
    std::vector<double> lambdas;
    bool cancelled = false;
};
// A fleet in service (`service` not null) is simulated by SimulateSeen and refitted on
// the same windows.
BootOutcome Bootstrap(const MlInput& in, const MlParams& fitted, int replicates, std::uint64_t seed, int threads,
                      const std::function<bool()>& cancelled, const std::function<void(int)>& done,
                      const std::shared_ptr<const InService>& service = nullptr);
// The failures a fleet in service records by now, simulated as the likelihood reads
// them: a Poisson process of intensity n·K·f(t)·(share observed at t) from 1 h.
std::vector<double> SimulateSeen(const InService& s, const MlParams& p, std::uint64_t seed);

inline double Clamp(double v, double lo, double hi) { return v < lo ? lo : (v > hi ? hi : v); }

}  // namespace rel::ml
