// Records of one failure analysis: failures, causes, histogram intervals and
// fitted models. Field names are the analysis's own (transliterated Russian).
#pragma once

#include <array>
#include <string>
#include <vector>

namespace rel {

using DoubArr = std::vector<double>;

// Highest number of causes: 0 = "Брак", 1 = "Другие", 2..52 named in the file.
inline constexpr int kMaxCauses = 53;
// Counters per histogram interval, indexed by cause number.
inline constexpr int kNprSize = 54;

// One failure read from the data file.
struct Problems {
    double time = 0.0;    // operating time at failure, hours (< 1 h: a reject)
    int chey = 0;         // cause number, index into ArrVid
    std::string Pri;      // source text as classified ("Брак", "Другие" or the row's source)
    std::string komment;  // description after the asterisk, may be empty
};

// One failure cause with the number of failures credited to it.
struct Vid_otkaza {
    std::string Nazv_Prich;
    double Dolya = 0.0;
};

// One histogram interval: (previous time, time].
struct Hist_Rec {
    double time = 0.0;                // upper bound, hours
    std::array<int, kNprSize> Npr{};  // failures per cause in the interval
    int Sum = 0;                      // failures counted (rejects excluded in interval 0)
};

using Hist40 = std::vector<Hist_Rec>;

// A fitted two-parameter Weibull model of failure accumulation with its statistics.
struct Mod_Weib {
    double A = 0.0;           // Weibull shape
    double B = 0.0;           // Weibull scale, hours
    double Kol_Nakopl = 0.0;  // expected failures observed under warranty
    double SKO = 0.0;         // standard deviation of the warranty end time, hours
    double Sred = 0.0;        // mean warranty end time, hours
    double K_powtor = 0.0;    // repetition coefficient
    double SKO_out = 0.0;     // deviation of the model from the data
    double Unsens = 0.0;      // accumulated Weibull probability without warranty exits
    double KolmCrt = 0.0;     // Kolmogorov statistic (results table's copy only)
    double LamStart = 0.0;    // intensity at the end of burn-in, per product per 1000 h
    double Lam1000 = 0.0;     // intensity at 1000 h (or at the last failure)
    DoubArr Kol_F_priv;       // per interval: expected failures observed under warranty
    DoubArr F_Weib;           // per interval: Weibull probability of the interval
    DoubArr F_norm;           // per interval: share out of warranty at the midpoint
    bool Executed = false;
    // The search ended on its convergence rule (every step below its tolerance), not
    // stopped by its time rule.
    bool Converged = true;
};

}  // namespace rel
