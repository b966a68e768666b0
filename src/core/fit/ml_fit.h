// Model 3: the failure-accumulation model fitted by maximum likelihood over the
// individual failure times.
//
// The model. Each of the n = Park products fails a Poisson(K_powtor) number of times,
// at independent Weibull(A, B) operating times: the expected failures per product by
// the operating time t are N(t) = K·F(t), F(t) = 1 − exp(−(t/B)^A). Product i leaves
// warranty at W_i, normal with mean Sred and deviation SKO (or taken from the warranty
// end-time list); a failure is recorded only at t ≤ W_i. Failures below 1 h are rejects
// and are not used. Given the warranty exits, the recorded failures at or above 1 h are a
// Poisson process of intensity K·f(t)·R(t), R(t) the products still under warranty at t:
//   ℓ(A, B, K) = Σ_j ln(K·f(t_j)·R(t_j)) − n·K·Λ,   Λ = ∫_{1 h}^∞ f(t)·S_W(t) dt,
// S_W(t) = R(t)/n: the normal survival function, or the share of the listed warranty
// ends at or beyond t. LogLik is this full value (no constant is dropped).
//
// The fit maximises the likelihood with K = D/(n·Λ) profiled out, over ln A and ln B
// (and ln Sred, ln SKO when they are fitted), by trust-region Newton searches with
// analytic derivatives from several starts (the highest local maxima of a coarse grid and
// a start at a scale within the data, off the ridge described below); the best end wins. Λ under the normal
// warranty law is taken by adaptive quadrature to a relative error of 1e-8.
//
// Intervals are 95 % profile-likelihood intervals (deviance 3.841, chi-squared with one
// degree of freedom). A figure derived from the parameters (N(t), the gamma lives) is
// profiled by constrained maximisation: K is written as that figure over the model
// function it multiplies (K = N/F(t), K = 0.1/F(γ)), so the figure becomes a parameter
// and the others are maximised with it held fixed. An end that lies outside the parameter
// range (A in 0.05 … 20, B in 1 … 1e9 h; K and N(t) within a factor e^50 of their
// estimate; gamma lives within 1e-3 … 1e12 h), or for K one set only by the cap on B, is
// open: NaN. So is an end whose deviance the searches cannot bring within 0.01 of 3.841
// (a note says so).
//
// When the failures cover only the early part of the Weibull curve, B and K grow
// together along a ridge where K·F(t) stays put. Separable is then false: B and
// K_powtor are the maximiser inside the parameter range (B at or near its cap) and
// are meaningful only through N(t) and the gamma lives, which keep their intervals.
//
// Goodness of fit: λ = √D · sup_t |E(t) − M(t)|, E the share of the recorded failures
// at or before t, M(t) = Λ(t)/Λ(∞) the model's share (Λ(t) the integral above up to t).
// Because the parameters are fitted, λ has no fixed law; its p-value is found by the
// parametric bootstrap: fleets simulated from the fitted model, each refitted the same
// way, p = (1 + #{λ* ≥ λ}) / (1 + replicates).

#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "data/state.h"

namespace rel {

// Failure rows below this operating time are rejects and are not used.
inline constexpr double kMlRejectTime = 1.0;
// Parameter range of the fit.
inline constexpr double kMlShapeMin = 0.05, kMlShapeMax = 20.0;
inline constexpr double kMlScaleMin = 1.0, kMlScaleMax = 1e9;
// The bootstrap counts the products into the warranty law's bins: it is left out for a
// fleet of fewer than one or more than this many products (a note says so).
inline constexpr double kMlMaxBootstrapFleet = 1e9;
// Deviance of a 95 % profile-likelihood interval.
inline constexpr double kMlDeviance95 = 3.841458820694124;
// Russian note of a fit whose B and K cannot be told apart.
inline constexpr const char* kMlNotSeparable = "K и B по данным не разделимы: надежны только N(t) и гамма-ресурсы";

// Everything the fit reads.
struct MlInput {
    std::vector<double> times;             // failure times, h (rows below 1 h are ignored)
    double Park = 0;                       // fleet size n
    double Sred = 0, SKO = 0;              // warranty end: mean and standard deviation, h
    std::vector<double> warranty;          // listed warranty end times; non-empty: used instead of Sred/SKO
    bool FitSred = false, FitSKO = false;  // fit the warranty figures (without a list)
    // A fleet still in service (null: the failures are the fleet's complete warranty
    // record). Product i is observed from 1 h to the earlier of its age and its warranty
    // end (its known end, else the warranty law's); the warranty figures are then held.
    std::shared_ptr<const FleetAges> ages;
    // The forecast: hours per month of the products whose line gives none (NaN: not
    // given), and the months ahead.
    double usage = std::numeric_limits<double>::quiet_NaN();
    int horizon = 12;
    // The cause number of each failure (parallel to `times`; empty: not known) and the
    // causes' names by number: model 3 per cause.
    std::vector<int> causes;
    std::vector<std::string> causeNames;
};

// ArrProblems[i].time, Park, SredGar, SKOGar, ArrGar, FitSred, FitSKO.
MlInput MlInputFromState(const AnalysisState& st);

// One point of the model.
struct MlParams {
    double A = 0, B = 0, K = 0;  // Weibull shape and scale (h), repetition coefficient
    double Sred = 0, SKO = 0;    // warranty end law (unused with a warranty list)
};

struct MlOptions {
    int bootstrap = 200;     // replicates of the goodness-of-fit bootstrap; 0: none
    std::uint64_t seed = 1;  // the same seed gives the same p on any number of threads
    int threads = 0;         // bootstrap threads; 0: the machine's cores
    bool intervals = true;   // profile-likelihood intervals
    char decimalSep = '.';   // of the texts
    // Polled between steps and between bootstrap replicates; true stops the fit.
    std::function<bool()> cancelled;
    // Polled during the bootstrap; true ends it early ("Стоп"): the fit keeps its
    // estimates and intervals, and the p-value comes from the replicates done.
    std::function<bool()> stopBootstrap;
    // Steps done of the total (the fit, each interval, each replicate); called on
    // the caller's thread, as are `cancelled` and `clock`.
    std::function<void(int done, int total)> progress;
    // Seconds of a monotonic clock; empty: the steady clock.
    std::function<double()> clock;
};

// A figure with its 95 % interval. NaN lo or hi: that end is open (does not exist
// within the parameter range); NaN est: the figure itself does not exist (a gamma
// life that K·F(t) never reaches).
struct MlEstimate {
    double est = std::numeric_limits<double>::quiet_NaN();
    double lo = std::numeric_limits<double>::quiet_NaN();
    double hi = std::numeric_limits<double>::quiet_NaN();
};

// The claims of a fleet in service still to come under warranty, with 95 % predictive
// intervals (the parameters' uncertainty and the Poisson variation of a future count).
struct MlForecastMonth {
    int Month = 0;
    double Expected = 0, Lo = 0, Hi = 0;          // in this month
    double Cumulative = 0, CumLo = 0, CumHi = 0;  // from now to the end of this month
};
struct MlForecast {
    bool InService = false;
    MlEstimate Remaining;  // until every product has left warranty
    std::vector<MlForecastMonth> Months;
};
// The most months a forecast looks ahead.
inline constexpr int kMlMaxHorizon = 120;

// Model 3 per cause (fit/ml_causes.h).
// Causes with fewer failures (at or above 1 h) are fitted only when asked.
inline constexpr int kMlCauseMinFailures = 5;

struct MlCauseFit {
    int cause = 0;        // cause number of the classification
    std::string name;     // its name
    int failures = 0;     // at or above 1 h
    bool tooFew = false;  // fewer than kMlCauseMinFailures
    bool fitted = false;  // a fit exists (ok)
    std::string error;    // why a cause that was fitted gave no fit
    double A = 0, B = 0, K = 0;
    bool Separable = true;  // false: B and K not told apart by the cause's failures
    MlEstimate IntA, IntB, N2000, N4000;
    // Expected claims per product within warranty (K times the share of a product's
    // failures before its warranty ends) with its 95 % interval, and its share of the
    // causes' sum.
    MlEstimate Claims;
    double Share = std::numeric_limits<double>::quiet_NaN();
    double LogLik = 0;
};

struct MlCauses {
    std::vector<MlCauseFit> causes;  // causes with failures, in cause order
    // One law for all causes (each with its own share of the failures) against a law per
    // fitted cause: the likelihood ratio statistic, its degrees of freedom and p-value.
    bool tested = false;
    double Chi2 = std::numeric_limits<double>::quiet_NaN();
    int Df = 0;
    double P = std::numeric_limits<double>::quiet_NaN();
    bool Differ = false;  // p below 0.05
};

struct MlResult {
    bool ok = false;
    std::string error;  // why there is no fit (ok == false), in Russian

    double A = 0, B = 0, K_powtor = 0;  // fitted point
    double Sred = 0, SKO = 0;           // warranty law used (fitted when asked for)
    double LogLik = 0;                  // maximised log-likelihood
    int D = 0;                          // failures used (at or above 1 h)
    bool Separable = true;              // false: B and K not told apart by the data

    MlEstimate IntA, IntB, IntK;     // parameters
    MlEstimate N2000, N4000, N6000;  // expected failures per product by 2000/4000/6000 h
    MlEstimate Gamma90, Gamma50;     // h: K·F(t) reaches 0.1 and 0.5

    double GofLambda = std::numeric_limits<double>::quiet_NaN();  // λ of the data
    double GofP = std::numeric_limits<double>::quiet_NaN();       // bootstrap p; NaN: not run
    int GofReplicates = 0;                                        // replicates that gave a fit
    std::string GofText;  // "p = 0.43 (согласуется)", empty when not run

    MlForecast Forecast;  // a fleet in service: the claims still to come
    MlCauses Causes;      // per cause, when the failures' causes were given and asked for

    double Seconds = 0;              // wall time of the whole fit
    std::vector<std::string> Memo;   // Russian lines of the estimates for the progress memo, in order
    std::vector<std::string> Notes;  // Russian notes on what the data leave open or undefined
};

MlResult FitML(const MlInput& in, const MlOptions& opt = {});

// ---- The pieces, for tests and for the callers' charts ----

// Λ from `from` hours: ∫_from^∞ f(t)·S_W(t) dt with the warranty law of `in` (its list
// when non-empty, otherwise the normal law of p.Sred, p.SKO). Over a list, a sum in
// closed form; over the normal law, adaptive Gauss–Kronrod quadrature in ln t from
// `from` (the kink of the integrand over the warranty ends), its pieces split first at
// the Weibull density's peak and at the warranty law's SDs, to a relative error of 1e-8.
double MlLambda(const MlInput& in, const MlParams& p, double from = kMlRejectTime);

// The log-likelihood above and its gradient in the natural parameters. The gradient
// in Sred and SKO is given when in.FitSred or in.FitSKO asks for them under the normal
// law, zero otherwise.
struct MlLogLikValue {
    double value = 0;
    double dA = 0, dB = 0, dK = 0, dSred = 0, dSKO = 0;
};
MlLogLikValue MlLogLik(const MlInput& in, const MlParams& p);

// Share of the recorded failures (at or above 1 h) the model expects by t: Λ(1 h … t)/Λ.
double MlModelShare(const MlInput& in, const MlParams& p, double t);

// A simulated fleet of llround(design.Park) products: each gets its warranty end (the
// normal law of p.Sred, p.SKO, or the listed ends: one each when the list has as many
// entries as products, otherwise drawn from it), a Poisson(p.K) number of failures at
// Weibull(p.A, p.B) times, and keeps those at or before its warranty end (drawn directly:
// a Poisson(p.K·F(W)) number at Weibull times cut at W, the same law). Returns the
// recorded failure times ascending (rejects below 1 h included, as a file holds them).
// Draws by inverse transforms from the seeded xoshiro256** generator: the same seed
// gives the same fleet everywhere.
std::vector<double> MlSimulateFleet(const MlInput& design, const MlParams& p, std::uint64_t seed);

// A replicate of the goodness-of-fit bootstrap: the same model as MlSimulateFleet,
// simulated by counts rather than product by product. The products are counted into
// the warranty law's bins (each listed end; 4096 equal-probability bins of the normal
// law, or one product a bin for a fleet of at most 4096), by a multinomial draw; given
// the bins, the recorded failures are a Poisson process of intensity K·f(t)·R(t), R the
// products still under warranty at t. A data set of at most kMlCellFailures failures
// gets its failure times drawn one by one; a larger one gets Poisson counts on the
// cells between its own distinct failure times (and 64 cells beyond the latest, up
// to the latest warranty end), each count at its cell's end: the cost grows with the
// distinct times, not with the products or the failures.
inline constexpr std::size_t kMlCellFailures = 50000;
// What every replicate of one bootstrap shares, prepared once: the sorted warranty
// list, the normal law's bins, the data's distinct times (for the counts on cells).
struct MlReplicateDesign {
    std::vector<double> list, normalW, grid;
};
MlReplicateDesign MlPrepareReplicates(const MlInput& design, const MlParams& p);
// `prepared`: MlPrepareReplicates(design, p), or nullptr to prepare it here.
std::vector<double> MlSimulateReplicate(const MlInput& design, const MlParams& p, std::uint64_t seed,
                                        const MlReplicateDesign* prepared = nullptr);

// A fleet in service simulated product by product (design.ages, its warranty law, its
// hours per month): each product's recorded failures up to its warranty end, split into
// those seen by its age (rejects below 1 h included, ascending) and those still to come
// at or above 1 h, in all and in each of the next design.horizon months.
struct MlServiceFleet {
    std::vector<double> seen;
    double remaining = 0;
    std::vector<double> months;
};
MlServiceFleet MlSimulateInService(const MlInput& design, const MlParams& p, std::uint64_t seed);

// A fleet shipped over `months` months in equal monthly cohorts, observed `firstMonth`
// months after the last cohort shipped: each product's hours per month lognormal about
// `usage` (deviation of its logarithm `usageSpread`, at most 744), its age its months in
// service times its hours per month; a share `knownShare` of the products has its warranty
// end known, drawn from the normal law of Sred, SKO.
struct MlCohortDesign {
    long n = 1000;
    int months = 24;
    double firstMonth = 0;
    double usage = 150, usageSpread = 0.3;
    double knownShare = 0;
    double Sred = 4000, SKO = 600;
};
inline constexpr double kMaxHoursPerMonthInService = 744.0;
FleetAges MlCohortAges(const MlCohortDesign& d, std::uint64_t seed);

// The seed of bootstrap replicate r of a run seeded with `seed`.
std::uint64_t MlReplicateSeed(std::uint64_t seed, int r);

// "p = 0.43 (согласуется)" / "p = 0.002 (не согласуется)", threshold 0.05.
std::string MlGofText(double p, char decimalSep);
// Its number alone: "p = 0.43", "p < 0.001".
std::string MlGofNumber(double p, char decimalSep);

}  // namespace rel
