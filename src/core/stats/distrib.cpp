#include "stats/distrib.h"

#include <atomic>
#include <cmath>

namespace rel {

namespace {

std::atomic<ReversedIntervalHandler> g_reversedIntervalHandler{nullptr};

// Horner's rule, coefficients from the highest power down.
template <std::size_t N>
double Horner(const double (&c)[N], double x) {
    double acc = c[0];
    for (std::size_t i = 1; i < N; ++i) acc = acc * x + c[i];
    return acc;
}

constexpr double kErfcP[] = {0.56418778255,  9.675807882987, 77.08161730368, 368.519615471,
                             1143.262070703, 2320.439590251, 2898.029329216, 1826.334884229};
constexpr double kErfcQ[] = {1.0,
                             17.14980943627,
                             137.12559605,
                             661.7361207107,
                             2094.384367789,
                             4429.612803883,
                             6089.542423272,
                             4958.827564721,
                             1826.334884229};
constexpr double kErfR[] = {0.007547728033418632, 0.2888051372075941, 14.33838421917482, 38.0140318123903,
                            3017.827885365076,    7404.071427101515,  80437.36309608402};
constexpr double kErfS[] = {
    1.0, 38.01907139519394, 658.0701554592405, 6379.600173244283, 34216.52579246285, 80437.36309608402};

}  // namespace

void SetReversedIntervalHandler(ReversedIntervalHandler handler) { g_reversedIntervalHandler.store(handler); }

double Pow(double x, double y) {
    if (y == 0.0) return 1.0;
    if (x == 0.0) return 0.0;
    return std::exp(y * std::log(x));
}

double Erfc(double x) {
    if (x < 0.0) return 2.0 - Erfc(-x);
    if (x < 0.5) return 1.0 - Erf(x);
    if (x >= 10.0) return 0.0;
    return std::exp(-x * x) * Horner(kErfcP, x) / Horner(kErfcQ, x);
}

double Erf(double x) {
    const double s = x > 0.0 ? 1.0 : (x < 0.0 ? -1.0 : 0.0);
    const double a = std::fabs(x);
    if (a < 0.5) {
        const double u = a * a;
        return s * 1.1283791670955126 * a * Horner(kErfR, u) / Horner(kErfS, u);
    }
    if (a > 10.0) return s;
    return s * (1.0 - Erfc(a));
}

double NormStd(double z) { return 0.5 * (1.0 + Erf(z / 1.4142135623730951)); }

double NormF(double mean, double sd, double x) {
    const double p = NormStd((x - mean) / sd);
    return p <= 0.0 ? 1e-12 : p;
}

double WeibF(double shape, double scale, double t) {
    if (shape <= 0.0 || scale <= 0.0) return 1e-305;
    const double F = 1.0 - std::exp(-Pow(t / scale, shape));
    return F > 0.0 ? F : 1e-30;
}

double WeibDens(double shape, double scale, double t) {
    if (shape <= 0.0 || scale <= 0.0) return 1e-305;
    const double f = shape * std::exp(-Pow(t / scale, shape)) / Pow(scale, shape) * Pow(t, shape - 1.0);
    return f > 0.0 ? f : 1e-30;
}

double WeibInterval(double shape, double scale, double t1, double t2) {
    if (t1 > t2) {
        if (ReversedIntervalHandler h = g_reversedIntervalHandler.load()) h(t1, t2);
        return 1.0;
    }
    return WeibF(shape, scale, t2) - WeibF(shape, scale, t1);
}

double WeibQuantile(double shape, double scale, double share) {
    if (share >= 1.0) share = 0.999999;
    return scale * Pow(-std::log(1.0 - share), 1.0 / shape);
}

}  // namespace rel
