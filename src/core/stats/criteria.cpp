#include "stats/criteria.h"

#include <cmath>
#include <limits>

#include "results/format.h"
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

}  // namespace

double PearsonCrit(const AnalysisState& st, Mod_Weib& M, double A, double B, double K,
                   double Sred, double SKO, int item) {
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
        const double n = h[j].Sum;
        if (item == kItemSpecial1)
            S = S + Sq((n - m) / (m == 0.0 ? kZeroExpectationDivisor : m));
        else if (item == kItemStandard)
            S = S + Sq(n - m);
        else
            S = S + Sq((n - m) * (1.0 - p));
        prev = h[j].time;
    }
    return S + 8 * Sq(st.KolOtkNez - M.Kol_Nakopl);
}

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

double KolmogorovCrit(const AnalysisState& st, double& Lambda, std::string& Verdict, double K,
                      double A, double B, double Sred, double SKO) {
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
    c.line = "Доверительный 95% интервал частотной диаграммы = " +
             FormatFixed(1.96 * c.sigma, 6, 4, decimalSep) +
             ",  СКО= " + FormatFixed(c.sigma, 6, 4, decimalSep);
    return c;
}

double HistCrit(const AnalysisState& st, Mod_Weib& ModGen, const Hist40& hist, double A,
                double B, double K, double Sred, double SKO) {
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

double GenFitness(const AnalysisState& st, Mod_Weib& ModGen, const Hist40& hist,
                  const double GenParam[5]) {
    double Sred = st.SredGar, SKO = st.SKOGar;
    if (st.FitSred) {
        Sred = GenParam[3];
        if (st.FitSKO) SKO = GenParam[4];
    } else if (st.FitSKO) {
        SKO = GenParam[3];
    }
    return HistCrit(st, ModGen, hist, GenParam[1], GenParam[0], GenParam[2], Sred, SKO);
}

double SmirnovCrit(const AnalysisState& st, const Mod_Weib& ModSmirn, double A, double B,
                   double K) {
    const auto& P = st.ArrProblems;
    if (ModSmirn.F_norm.size() < P.size()) return kNaN;
    double S = 0.0, Q = 0.0, k = 0.0, t0 = 0.0;
    for (std::size_t i = 0; i < P.size(); ++i) {
        const double t = P[i].time;
        if (!(t >= 1.0)) continue;
        S = S + K * st.Park * WeibInterval(A, B, t0, t) * (1.0 - ModSmirn.F_norm[i]);
        k = k + 1;
        Q = Q + Sq(k - S);
        t0 = t;
    }
    return std::sqrt(Q) / st.KolOtkNez + std::fabs(S - k + 1) / 200;
}

}  // namespace rel
