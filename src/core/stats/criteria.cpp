#include "stats/criteria.h"

#include <bit>
#include <cmath>
#include <limits>

#include "text/format.h"
#include "stats/distrib.h"

namespace rel {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Divisor of the "Специальный 1 " term where the model expects no failure at all.
constexpr double kZeroExpectationDivisor = 1e-30;

void EnsureSize(DoubArr& a, std::size_t n) {
    if (a.size() < n) a.resize(n, 0.0);
}

double Sq(double x) { return x * x; }

// One interval term of the Pearson criterion.
inline double PearsonTerm(int item, double n, double m, double p) {
    if (item == kItemSpecial1) return Sq((n - m) / (m == 0.0 ? kZeroExpectationDivisor : m));
    if (item == kItemStandard) return Sq(n - m);
    return Sq((n - m) * (1.0 - p));
}

std::uint64_t Bits(double x) { return std::bit_cast<std::uint64_t>(x); }

CritCache& ThreadCache() {
    // Each thread (the window's, the optimiser's) evaluates with its own values.
    thread_local CritCache cache;
    return cache;
}

// The criteria evaluated term by term, each interval probability from
// WeibInterval: used for histograms whose bounds do not ascend, where the
// interval routine's fatal check must be met in order.
double PearsonPlain(const AnalysisState& st, Mod_Weib& M, double A, double B, double K, double Sred, double SKO,
                    int item) {
    const Hist40& h = st.ArrHist;
    const std::size_t H = h.size();
    EnsureSize(M.F_norm, H);
    EnsureSize(M.F_Weib, H);
    EnsureSize(M.Kol_F_priv, H);

    double prev = 0.0;
    for (std::size_t j = 0; j < H; ++j) {
        M.F_norm[j] = NormF(Sred, SKO, (prev + h[j].time) / 2);
        prev = h[j].time;
    }

    M.Kol_Nakopl = 0.0;
    const double c = st.Park * K;
    double S = 0.0;
    prev = 0.0;
    for (std::size_t j = 0; j < H; ++j) {
        double p = WeibInterval(A, B, prev, h[j].time);
        if (p < 0.0) p = 0.0;
        M.F_Weib[j] = p;
        const double m = c * p * (1.0 - M.F_norm[j]);
        M.Kol_F_priv[j] = m;
        M.Kol_Nakopl = M.Kol_Nakopl + m;
        S = S + PearsonTerm(item, h[j].Sum, m, p);
        prev = h[j].time;
    }
    return S + 8 * Sq(st.KolOtkNez - M.Kol_Nakopl);
}

double HistPlain(const AnalysisState& st, Mod_Weib& ModGen, const Hist40& hist, double A, double B, double K,
                 double Sred, double SKO) {
    const std::size_t H = hist.size();
    EnsureSize(ModGen.F_norm, H);
    EnsureSize(ModGen.F_Weib, H);
    EnsureSize(ModGen.Kol_F_priv, H);

    double prev = 0.0;
    for (std::size_t j = 0; j < H; ++j) {
        ModGen.F_norm[j] = NormF(Sred, SKO, (prev + hist[j].time) / 2);
        prev = hist[j].time;
    }
    ModGen.Kol_Nakopl = 0.0;
    ModGen.SKO_out = 0.0;
    double S = 0.0;
    prev = 0.0;
    for (std::size_t j = 0; j < H; ++j) {
        const double p = WeibInterval(A, B, prev, hist[j].time);
        ModGen.F_Weib[j] = p;
        const double m = st.Park * K * p * (1.0 - ModGen.F_norm[j]);
        ModGen.Kol_F_priv[j] = m;
        ModGen.Kol_Nakopl = ModGen.Kol_Nakopl + m;
        const double d = Sq(hist[j].Sum - m);
        ModGen.SKO_out = ModGen.SKO_out + d;
        S = S + d;
        prev = hist[j].time;
    }
    ModGen.SKO_out = st.KolOtkNez > 0 ? std::sqrt(ModGen.SKO_out) / st.KolOtkNez : kNaN;
    return S + Sq(st.KolOtkNez - ModGen.Kol_Nakopl);
}

}  // namespace

// ---- Evaluation with the cache ----

bool CritCache::Bind(const Hist40& hist) {
    const std::size_t H = hist.size();
    bool same = bound_ && bounds_.size() == H;
    for (std::size_t j = 0; same && j < H; ++j) same = bounds_[j] == Bits(hist[j].time);
    if (!same) {
        bounds_.resize(H);
        times_.resize(H + 1);
        mid_.resize(H);
        weib_.resize(H + 1);
        norm_.resize(H);
        ascending_ = true;
        double prev = 0.0;
        times_[0] = 0.0;
        for (std::size_t j = 0; j < H; ++j) {
            const double t = hist[j].time;
            bounds_[j] = Bits(t);
            times_[j + 1] = t;
            mid_[j] = (prev + t) / 2;
            if (prev > t) ascending_ = false;
            prev = t;
        }
        bound_ = true;
        weibValid_ = normValid_ = false;
    }
    return ascending_;
}

const double* CritCache::Weib(double A, double B) {
    if (!(weibValid_ && weibA_ == Bits(A) && weibB_ == Bits(B))) {
        if (A <= 0.0 || B <= 0.0) {
            for (std::size_t j = 0; j < times_.size(); ++j) weib_[j] = WeibF(A, B, times_[j]);
        } else {
            // WeibF written out for a positive shape and scale, operation for operation,
            // so that the compiler can overlap the bounds' exponentials.
            for (std::size_t j = 0; j < times_.size(); ++j) {
                const double x = times_[j] / B;
                const double pw = x == 0.0 ? 0.0 : std::exp(A * std::log(x));
                const double F = 1.0 - std::exp(-pw);
                weib_[j] = F > 0.0 ? F : 1e-30;
            }
        }
        weibA_ = Bits(A);
        weibB_ = Bits(B);
        weibValid_ = true;
    }
    return weib_.data();
}

const double* CritCache::Norm(double Sred, double SKO) {
    if (!(normValid_ && normSred_ == Bits(Sred) && normSKO_ == Bits(SKO))) {
        for (std::size_t j = 0; j < mid_.size(); ++j) norm_[j] = NormF(Sred, SKO, mid_[j]);
        normSred_ = Bits(Sred);
        normSKO_ = Bits(SKO);
        normValid_ = true;
    }
    return norm_.data();
}

// WeibInterval(A, B, t(j-1), t(j)) is WeibF(t(j)) - WeibF(t(j-1)) on ascending bounds,
// so each bound's distribution value serves both intervals it closes and opens.
double PearsonCrit(const AnalysisState& st, Mod_Weib& M, double A, double B, double K, double Sred, double SKO,
                   int item, CritCache& cache) {
    const Hist40& h = st.ArrHist;
    if (!cache.Bind(h)) return PearsonPlain(st, M, A, B, K, Sred, SKO, item);
    const std::size_t H = h.size();
    EnsureSize(M.F_norm, H);
    EnsureSize(M.F_Weib, H);
    EnsureSize(M.Kol_F_priv, H);
    const double* fn = cache.Norm(Sred, SKO);
    const double* F = cache.Weib(A, B);
    double* Fnorm = M.F_norm.data();
    double* Fweib = M.F_Weib.data();
    double* Kfp = M.Kol_F_priv.data();
    const double c = st.Park * K;
    double kol = 0.0, S = 0.0;
    for (std::size_t j = 0; j < H; ++j) {
        Fnorm[j] = fn[j];
        double p = F[j + 1] - F[j];
        if (p < 0.0) p = 0.0;
        Fweib[j] = p;
        const double m = c * p * (1.0 - fn[j]);
        Kfp[j] = m;
        kol = kol + m;
        S = S + PearsonTerm(item, h[j].Sum, m, p);
    }
    M.Kol_Nakopl = kol;
    return S + 8 * Sq(st.KolOtkNez - kol);
}

double PearsonCrit(const AnalysisState& st, Mod_Weib& M, double A, double B, double K, double Sred, double SKO,
                   int item) {
    return PearsonCrit(st, M, A, B, K, Sred, SKO, item, ThreadCache());
}

double HistCrit(const AnalysisState& st, Mod_Weib& ModGen, const Hist40& hist, double A, double B, double K,
                double Sred, double SKO, CritCache& cache) {
    if (!cache.Bind(hist)) return HistPlain(st, ModGen, hist, A, B, K, Sred, SKO);
    const std::size_t H = hist.size();
    EnsureSize(ModGen.F_norm, H);
    EnsureSize(ModGen.F_Weib, H);
    EnsureSize(ModGen.Kol_F_priv, H);
    const double* fn = cache.Norm(Sred, SKO);
    const double* F = cache.Weib(A, B);
    double* Fnorm = ModGen.F_norm.data();
    double* Fweib = ModGen.F_Weib.data();
    double* Kfp = ModGen.Kol_F_priv.data();
    double kol = 0.0, dev = 0.0, S = 0.0;
    for (std::size_t j = 0; j < H; ++j) {
        Fnorm[j] = fn[j];
        const double p = F[j + 1] - F[j];
        Fweib[j] = p;
        const double m = st.Park * K * p * (1.0 - fn[j]);
        Kfp[j] = m;
        kol = kol + m;
        const double d = Sq(hist[j].Sum - m);
        dev = dev + d;
        S = S + d;
    }
    ModGen.Kol_Nakopl = kol;
    ModGen.SKO_out = st.KolOtkNez > 0 ? std::sqrt(dev) / st.KolOtkNez : kNaN;
    return S + Sq(st.KolOtkNez - kol);
}

double HistCrit(const AnalysisState& st, Mod_Weib& ModGen, const Hist40& hist, double A, double B, double K,
                double Sred, double SKO) {
    return HistCrit(st, ModGen, hist, A, B, K, Sred, SKO, ThreadCache());
}

double GenFitness(const AnalysisState& st, Mod_Weib& ModGen, const Hist40& hist, const double GenParam[5]) {
    return GenFitness(st, ModGen, hist, GenParam, ThreadCache());
}

double GenFitness(const AnalysisState& st, Mod_Weib& ModGen, const Hist40& hist, const double GenParam[5],
                  CritCache& cache) {
    double Sred = st.SredGar, SKO = st.SKOGar;
    if (st.FitSred) {
        Sred = GenParam[3];
        if (st.FitSKO) SKO = GenParam[4];
    } else if (st.FitSKO) {
        SKO = GenParam[3];
    }
    return HistCrit(st, ModGen, hist, GenParam[1], GenParam[0], GenParam[2], Sred, SKO, cache);
}

// ---- Figures of a fitted model ----

void ModelIndicators(const AnalysisState& st, Mod_Weib& M, double tb) {
    if (tb == 0.0) tb = 200;
    M.LamStart = WeibDens(M.A, M.B, tb) * 1000 * M.K_powtor;

    const auto& P = st.ArrProblems;
    const std::size_t n = P.size();
    const double T = n > 0 ? P[n - 1].time : 1000.0;
    if (T > 1000)
        M.Lam1000 = WeibDens(M.A, M.B, 1000) * 1000 * M.K_powtor;
    else
        M.Lam1000 = WeibDens(M.A, M.B, T) * 1000 * M.K_powtor;

    double E = 0.0, D = 0.0, prev = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        E = E + st.Park * M.K_powtor * WeibInterval(M.A, M.B, prev, P[i].time);
        D = D + Sq(static_cast<double>(i + 1) - E);
        prev = P[i].time;
    }
    M.SKO_out = n < 2 ? kNaN : std::sqrt(D) / static_cast<double>(n - 1);
}

double KolmogorovCrit(const AnalysisState& st, double& Lambda, std::string& Verdict, double K, double A, double B,
                      double Sred, double SKO) {
    const auto& P = st.ArrProblems;
    const std::size_t n = P.size();
    if (n == 0 || st.KolOtkNez <= 0) {
        Lambda = kNaN;
        Verdict.clear();
        return Lambda;
    }
    const double dn = static_cast<double>(n);
    double C = 0.0, Fprev = 0.0, Dplus = 0.0, Dminus = 0.0;
    for (std::size_t r = 0; r < n; ++r) {
        const double t = P[r].time;
        const double F = WeibF(A, B, t);
        C = C + (1.0 - NormF(Sred, SKO, t)) * (F - Fprev);
        Fprev = F;
        const double E = C * st.Park * K / st.KolOtkNez;
        if (t > 0) {
            const double k = static_cast<double>(r + 1);
            const double up = k / dn - E;
            const double down = E - (k - 1) / dn;
            if (up > Dplus) Dplus = up;
            if (down > Dminus) Dminus = down;
        }
    }
    Lambda = std::sqrt(dn) * (Dplus > Dminus ? Dplus : Dminus);
    Verdict = Lambda < 1.3581 ? " <1.3581(0.05)" : " >1.3581(0.05)";
    return Lambda;
}

Confidence HistConfidence(const AnalysisState& st, const Mod_Weib& M, char decimalSep) {
    const Hist40& h = st.ArrHist;
    double D = 0.0, prev = 0.0;
    for (const Hist_Rec& r : h) {
        const double p = WeibInterval(M.A, M.B, prev, r.time);
        const double m = st.Park * M.K_powtor * p * (1.0 - NormF(M.Sred, M.SKO, (prev + r.time) / 2));
        D = D + Sq(r.Sum - m);
        prev = r.time;
    }
    Confidence c;
    c.sigma = h.empty() ? kNaN : std::sqrt(D) / static_cast<double>(h.size());
    c.line = "Доверительный 95% интервал частотной диаграммы = " + FormatFixed(1.96 * c.sigma, 6, 4, decimalSep) +
             ",  СКО= " + FormatFixed(c.sigma, 6, 4, decimalSep);
    return c;
}

namespace {

// The Smirnov-type sum over the failures at or above 1 h; WeibAt(i, t) gives the Weibull
// probability by the i-th failure's time t.
template <class WeibAt>
double SmirnovSum(const AnalysisState& st, const double* fn, double A, double B, double K, WeibAt weibAt) {
    const auto& P = st.ArrProblems;
    const double KPark = K * st.Park;
    double S = 0.0, Q = 0.0, k = 0.0, t0 = 0.0;
    // WeibInterval(t0, t) = WeibF(t) - WeibF(t0): the value at t serves the next
    // failure as its lower end; tied times share it.
    double F0 = WeibF(A, B, 0.0);
    for (std::size_t i = 0; i < P.size(); ++i) {
        const double t = P[i].time;
        if (!(t >= 1.0)) continue;
        double p, Ft;
        if (t0 > t) {
            p = WeibInterval(A, B, t0, t);  // out of order: the fatal check
            Ft = weibAt(i, t);
        } else {
            Ft = t == t0 ? F0 : weibAt(i, t);
            p = Ft - F0;
        }
        S = S + KPark * p * (1.0 - fn[i]);
        k = k + 1;
        Q = Q + Sq(k - S);
        t0 = t;
        F0 = Ft;
    }
    return std::sqrt(Q) / st.KolOtkNez + std::fabs(S - k + 1) / 200;
}

}  // namespace

double SmirnovCrit(const AnalysisState& st, const Mod_Weib& ModSmirn, double A, double B, double K) {
    if (ModSmirn.F_norm.size() < st.ArrProblems.size()) return kNaN;
    return SmirnovSum(st, ModSmirn.F_norm.data(), A, B, K,
                      [A, B](std::size_t, double t) { return WeibF(A, B, t); });
}

double SmirnovCrit(const AnalysisState& st, const Mod_Weib& ModSmirn, double A, double B, double K,
                   SmirnovCache& cache) {
    const auto& P = st.ArrProblems;
    if (ModSmirn.F_norm.size() < P.size()) return kNaN;
    // Outside the ordinary range the uncached evaluation decides (its special values).
    if (!(A > 0.0) || !(B > 0.0)) return SmirnovCrit(st, ModSmirn, A, B, K);
    const std::size_t n = P.size();
    // WeibF(A, B, t) = 1 - exp(-Pow(t / B, A)), Pow(x, A) = exp(A * log(x)) for x != 0.
    if (!(B == cache.B) || cache.lnTB.size() != n) {
        cache.lnTB.resize(n);
        for (std::size_t i = 0; i < n; ++i) {
            const double t = P[i].time;
            cache.lnTB[i] = t >= 1.0 ? std::log(t / B) : 0.0;
        }
        cache.B = B;
        cache.A = kNaN;
    }
    if (!(A == cache.A) || cache.F.size() != n) {
        cache.F.resize(n);
        double tPrev = -1.0, FPrev = 0.0;
        for (std::size_t i = 0; i < n; ++i) {
            const double t = P[i].time;
            if (!(t >= 1.0)) continue;
            if (t == tPrev) {
                cache.F[i] = FPrev;  // tied times: the same value
                continue;
            }
            const double F = 1.0 - std::exp(-std::exp(A * cache.lnTB[i]));
            cache.F[i] = F > 0.0 ? F : 1e-30;
            tPrev = t;
            FPrev = cache.F[i];
        }
        cache.A = A;
    }
    const double* Fc = cache.F.data();
    return SmirnovSum(st, ModSmirn.F_norm.data(), A, B, K, [Fc](std::size_t i, double) { return Fc[i]; });
}

}  // namespace rel
