// The criteria written out term by term, each Weibull and normal value computed
// where the formula names it: the yardstick the evaluation code is compared with
// to the last bit.
#pragma once

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "data/state.h"
#include "stats/distrib.h"

namespace rel::reference {

struct IntervalValues {
    std::vector<double> F_norm, F_Weib, Kol_F_priv;
    double Kol_Nakopl = 0.0;
    double SKO_out = 0.0;
    double value = 0.0;
};

inline double Sq(double x) { return x * x; }

inline IntervalValues Pearson(const AnalysisState& st, double A, double B, double K, double Sred, double SKO,
                              int item) {
    IntervalValues r;
    const Hist40& h = st.ArrHist;
    double S = 0.0;
    for (std::size_t j = 0; j < h.size(); ++j) {
        const double t0 = j == 0 ? 0.0 : h[j - 1].time;
        const double t1 = h[j].time;
        const double fn = NormF(Sred, SKO, (t0 + t1) / 2);
        double p = WeibInterval(A, B, t0, t1);
        if (p < 0) p = 0;
        const double m = st.Park * K * p * (1 - fn);
        r.F_norm.push_back(fn);
        r.F_Weib.push_back(p);
        r.Kol_F_priv.push_back(m);
        r.Kol_Nakopl += m;
        const double n = h[j].Sum;
        if (item == 0)
            S += Sq((n - m) / (m == 0 ? 1e-30 : m));
        else if (item == 1)
            S += Sq(n - m);
        else
            S += Sq((n - m) * (1 - p));
    }
    r.value = S + 8 * Sq(st.KolOtkNez - r.Kol_Nakopl);
    return r;
}

inline IntervalValues Hist(const AnalysisState& st, const Hist40& h, double A, double B, double K, double Sred,
                           double SKO) {
    IntervalValues r;
    double S = 0.0;
    for (std::size_t j = 0; j < h.size(); ++j) {
        const double t0 = j == 0 ? 0.0 : h[j - 1].time;
        const double t1 = h[j].time;
        const double fn = NormF(Sred, SKO, (t0 + t1) / 2);
        const double p = WeibInterval(A, B, t0, t1);
        const double m = st.Park * K * p * (1 - fn);
        r.F_norm.push_back(fn);
        r.F_Weib.push_back(p);
        r.Kol_F_priv.push_back(m);
        r.Kol_Nakopl += m;
        r.SKO_out += Sq(h[j].Sum - m);
        S += Sq(h[j].Sum - m);
    }
    r.SKO_out = st.KolOtkNez > 0 ? std::sqrt(r.SKO_out) / st.KolOtkNez : std::numeric_limits<double>::quiet_NaN();
    r.value = S + Sq(st.KolOtkNez - r.Kol_Nakopl);
    return r;
}

// Per-failure warranty shares as the Smirnov fit prepares them.
inline std::vector<double> FailureShares(const AnalysisState& st, double Sred, double SKO) {
    std::vector<double> f;
    for (const auto& p : st.ArrProblems) f.push_back(NormF(Sred, SKO, p.time));
    return f;
}

inline double Smirnov(const AnalysisState& st, const std::vector<double>& shares, double A, double B, double K) {
    double S = 0, Q = 0, k = 0, t0 = 0;
    for (std::size_t i = 0; i < st.ArrProblems.size(); ++i) {
        const double t = st.ArrProblems[i].time;
        if (t < 1.0) continue;
        S += K * st.Park * WeibInterval(A, B, t0, t) * (1 - shares[i]);
        k += 1;
        Q += Sq(k - S);
        t0 = t;
    }
    return std::sqrt(Q) / st.KolOtkNez + std::fabs(S - k + 1) / 200;
}

// Equal to the last bit (NaN equals NaN of any payload).
inline bool SameBits(double a, double b) {
    if (std::isnan(a) && std::isnan(b)) return true;
    return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace rel::reference
