// Criteria of the failure-accumulation model and the summary figures of a fitted
// model. The expected failures observed in histogram interval j are
//   m(j) = Park * K * WeibInterval(A, B, t(j-1), t(j)) * (1 - NormF(Sred, SKO, midpoint)),
// the Weibull probability of the interval times the share of the fleet still under
// warranty at the interval's midpoint.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "data/records.h"
#include "data/state.h"

namespace rel {

// Items of the radio group "Способ подбора параметров" (the deviation form of
// PearsonCrit). Any other item takes the form of kItemSpecial2.
inline constexpr int kItemSpecial1 = 0;  // "Специальный 1 ": ((n - m) / m)^2
inline constexpr int kItemStandard = 1;  // "Стандарт (default)": (n - m)^2
inline constexpr int kItemSpecial2 = 2;  // "Специальный 2": ((n - m) * (1 - p))^2

// What the histogram criteria keep between evaluations over the same histogram:
// the warranty shares at the interval midpoints for the last (Sred, SKO), and the
// Weibull distribution function at 0 and at every bound for the last (A, B). A search
// moves one parameter at a time, so most evaluations reuse one of the two; values
// are looked up by the exact bits of their parameters and of the bounds, so the
// results are the same to the last bit as evaluating everything afresh.
// One cache serves one thread; the criteria without a cache argument use one cache
// per thread of their own.
class CritCache {
public:
    // Binds the cache to a histogram's bounds; false when the bounds do not ascend
    // (the interval routine's fatal check must then be met on the way).
    bool Bind(const Hist40& hist);
    // WeibF(A, B, 0) followed by WeibF(A, B, t(j)) for every bound.
    const double* Weib(double A, double B);
    // NormF(Sred, SKO, midpoint of j) for every interval.
    const double* Norm(double Sred, double SKO);

private:
    std::vector<std::uint64_t> bounds_;  // bits of the bound times
    std::vector<double> mid_;
    bool ascending_ = true;
    bool bound_ = false;
    bool weibValid_ = false, normValid_ = false;
    std::uint64_t weibA_ = 0, weibB_ = 0, normSred_ = 0, normSKO_ = 0;
    std::vector<double> weib_, norm_;
    std::vector<double> times_;
};

// Pearson-type criterion over st.ArrHist at the given parameters (not those stored
// in M). Fills M.F_norm, M.F_Weib (clamped at 0), M.Kol_F_priv and M.Kol_Nakopl and
// returns the sum of the interval terms plus 8 * (KolOtkNez - Kol_Nakopl)^2.
// The arrays are lengthened to the number of intervals when shorter.
// Item 0 with m(j) = 0 divides by 1e-30 instead: an interval with failures where the
// model expects none gets a huge term, an empty one a zero term.
double PearsonCrit(const AnalysisState& st, Mod_Weib& M, double A, double B, double K, double Sred, double SKO,
                   int item);
double PearsonCrit(const AnalysisState& st, Mod_Weib& M, double A, double B, double K, double Sred, double SKO,
                   int item, CritCache& cache);

// Completes a fitted model: LamStart (intensity at the end of burn-in tb, 200 h when
// tb is 0), Lam1000 (at 1000 h or at the last failure when earlier) and SKO_out (the
// cumulative deviation from the failure list divided by n - 1). Without failures
// Lam1000 is taken at 1000 h; with fewer than two failures SKO_out is NaN (the
// deviation is undefined).
void ModelIndicators(const AnalysisState& st, Mod_Weib& M, double tb);

// Kolmogorov statistic lambda of a model against the failure list; stores it in
// Lambda, the verdict " <1.3581(0.05)" or " >1.3581(0.05)" in Verdict, and returns it.
// Without failures or without independent failures (KolOtkNez <= 0) the statistic is
// undefined: NaN with an empty verdict.
double KolmogorovCrit(const AnalysisState& st, double& Lambda, std::string& Verdict, double K, double A, double B,
                      double Sred, double SKO);

// Deviation of a model's interval counts from the histogram: sigma = sqrt(sum (n - m)^2) / H,
// with the model's own A, B, K_powtor, Sred and SKO, and the memo line
// "Доверительный 95% интервал частотной диаграммы = %6.4f,  СКО= %6.4f" (1.96 sigma, sigma).
// An empty histogram gives sigma NaN.
struct Confidence {
    double sigma;
    std::string line;  // the memo text
};
Confidence HistConfidence(const AnalysisState& st, const Mod_Weib& M, char decimalSep);

// The optimiser's histogram criterion over `hist`: fills ModGen.F_norm, F_Weib
// (unclamped), Kol_F_priv, Kol_Nakopl and SKO_out (sqrt(sum (n - m)^2) / KolOtkNez; NaN
// when KolOtkNez <= 0) and returns sum (n - m)^2 + (KolOtkNez - Kol_Nakopl)^2.
double HistCrit(const AnalysisState& st, Mod_Weib& ModGen, const Hist40& hist, double A, double B, double K,
                double Sred, double SKO);
double HistCrit(const AnalysisState& st, Mod_Weib& ModGen, const Hist40& hist, double A, double B, double K,
                double Sred, double SKO, CritCache& cache);

// HistCrit at a parameter set in the order B, A, K_powtor, then the fitted warranty
// figures: GenParam[3] is the mean when st.FitSred is set, otherwise the standard
// deviation when st.FitSKO is set; GenParam[4] is the standard deviation when both
// are set. Figures not fitted come from st.SredGar / st.SKOGar. Reseeding the
// optimiser's random generator before each evaluation is the optimiser's own step,
// not part of the criterion.
double GenFitness(const AnalysisState& st, Mod_Weib& ModGen, const Hist40& hist, const double GenParam[5]);
double GenFitness(const AnalysisState& st, Mod_Weib& ModGen, const Hist40& hist, const double GenParam[5],
                  CritCache& cache);

// Smirnov-type criterion over the individual failures (rejects below 1 h skipped):
// sqrt(sum (k - S)^2) / KolOtkNez + |S - k + 1| / 200, where S is the model's expected
// count by the k-th failure. ModSmirn.F_norm must hold one warranty share per failure
// of st.ArrProblems; when it holds fewer the result is NaN. Without independent
// failures (KolOtkNez = 0) the first term, and so the result, is not finite.
double SmirnovCrit(const AnalysisState& st, const Mod_Weib& ModSmirn, double A, double B, double K);

// What SmirnovCrit keeps between evaluations of one search over one failure list: the
// logarithms of t/B at each failure for the last scale, and the Weibull
// probabilities for the last shape and scale. A search moves one parameter at a
// time, so a move of K computes no logarithm or exponential at all and a move of A
// no logarithm. The values are those the uncached evaluation computes, bit for bit.
struct SmirnovCache {
    double A = std::numeric_limits<double>::quiet_NaN();
    double B = std::numeric_limits<double>::quiet_NaN();
    std::vector<double> lnTB, F;
};
double SmirnovCrit(const AnalysisState& st, const Mod_Weib& ModSmirn, double A, double B, double K,
                   SmirnovCache& cache);

}  // namespace rel
