// Distribution routines of the normal law (warranty exit) and the
// two-parameter Weibull law (time to failure). All stateless.
#pragma once

namespace rel {

double Erf(double x);
double Erfc(double x);
// Standard normal distribution function.
double NormStd(double z);
// Normal distribution function at x, floored at 1e-12.
double NormF(double mean, double sd, double x);
// Weibull density at t, floored at 1e-30 (1e-305 for a non-positive shape or scale).
double WeibDens(double shape, double scale, double t);
// Weibull distribution function at t, floored at 1e-30 (1e-305 likewise).
double WeibF(double shape, double scale, double t);
// Probability of failure in (t1, t2]; a reversed interval is the one fatal error.
double WeibInterval(double shape, double scale, double t1, double t2);
// Time by which the given share has failed; a share of 1 or more counts as 0.999999.
double WeibQuantile(double shape, double scale, double share);

// The power convention of the distribution routines: x^0 = 1, 0^y = 0 for y != 0,
// otherwise exp(y * ln x).
double Pow(double x, double y);

// A reversed interval reaching WeibInterval is reported through this handler,
// which the program installs once at start-up (the window shows its error box and
// ends, the command-line tool prints the text and exits). A handler that returns
// lets WeibInterval go on with the result 1. Without a handler the result is 1.
using ReversedIntervalHandler = void (*)(double t1, double t2);
void SetReversedIntervalHandler(ReversedIntervalHandler handler);
// Text of the reversed-interval error and the caption of its box.
inline constexpr const char* kReversedIntervalText = "Параметры должны быть t2>t1";
inline constexpr const char* kReversedIntervalCaption = "Velmar";

}  // namespace rel
