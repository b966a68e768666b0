#include "stats/empirical.h"

#include <cmath>

#include "stats/distrib.h"

namespace rel {

namespace {

constexpr double kLogOffset = 0.00001;  // hours added to a time before its logarithm
constexpr double kRejectTime = 1.0;     // failures below 1 h are rejects
constexpr double kRateTime = 2000.0;    // reference time of the failures per product

// Sums of the log-log regression over the failures at 1 h or more.
struct LnSums {
    double SumLnT = 0.0, SumLnN = 0.0, SumLnT2 = 0.0, SumLnTN = 0.0;
    int n = 0;
    bool distinct = false;  // at least two different times among them
};

void AddLnPoint(LnSums& s, double x, double y) {
    s.SumLnT = s.SumLnT + x;
    s.SumLnN = s.SumLnN + y;
    s.SumLnT2 = s.SumLnT2 + x * x;
    s.SumLnTN = s.SumLnTN + x * y;
}

// Slope and intercept of the line; false when the data do not define it.
bool SolveLine(const LnSums& s, double& a, double& b) {
    if (s.n < 2 || !s.distinct) return false;
    const double n = s.n;
    const double den = n * s.SumLnT2 - s.SumLnT * s.SumLnT;
    if (!(den > 0.0) || !std::isfinite(den)) return false;
    a = (n * s.SumLnTN - s.SumLnT * s.SumLnN) / den;
    b = (s.SumLnN - a * s.SumLnT) / n;
    return std::isfinite(a) && std::isfinite(b);
}

// Weight 1 / (1 - P) of a failure at time t, P the share of the fleet whose
// warranty has ended by t. With a zero deviation the share at the mean itself is
// taken as one half; a share of exactly 1 gives the largest finite weight.
double CensorWeight(double mean, double sd, double t, bool& saturated) {
    double p = NormF(mean, sd, t);
    if (std::isnan(p)) p = 0.5;
    const double r = 1.0 - p;
    if (!(r > 0.0)) {
        saturated = true;
        return kMaxCensorWeight;
    }
    return 1.0 / r;
}

double Frac(double x) { return x - std::trunc(x); }

}  // namespace

bool LnLineDefined(const AnalysisState& st) {
    LnSums s;
    double first = 0.0;
    for (std::size_t i = 0; i < st.ArrProblems.size(); ++i) {
        const double t = st.ArrProblems[i].time;
        if (!(t >= kRejectTime)) continue;
        if (s.n == 0)
            first = t;
        else if (t != first)
            s.distinct = true;
        ++s.n;
        AddLnPoint(s, std::log(t + kLogOffset), std::log(static_cast<double>(i + 1)));
    }
    double a = 0.0, b = 0.0;
    return SolveLine(s, a, b);
}

EmpiricalFigures ComputeEmpiricalFigures(const FailureList& failures, double park, double sred, double sko) {
    const std::vector<double>& sorted = failures.Times();
    EmpiricalFigures F;
    F.LnPoints.reserve(sorted.size());
    const bool parkUsable = park > 0.0;
    double C = 0.0;
    bool marked20 = false, marked80 = false;
    LnSums sums;
    double firstLnTime = 0.0;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        const double t = sorted[i];
        const double tPrev = i == 0 ? 0.0 : sorted[i - 1];
        if (t > 0 && F.iFirstPos == -1) F.iFirstPos = static_cast<int>(i);
        if (t >= kRejectTime) {
            const double x = std::log(t + kLogOffset);
            const double y = std::log(static_cast<double>(i + 1));
            if (sums.n == 0)
                firstLnTime = t;
            else if (t != firstLnTime)
                sums.distinct = true;
            ++sums.n;
            AddLnPoint(sums, x, y);
            F.LnPoints.emplace_back(x, y);
        }
        if (t > 0) C = C + CensorWeight(sred, sko, t, F.CensorSaturated);
        if (!parkUsable) continue;

        // The running weighted count crosses 10 %, 20 %, 50 % and 80 % of the fleet;
        // a gamma life is the time where the crossing falls between this failure and
        // the one before.
        if (t >= kRateTime && F.Otk2000 == 0) F.Otk2000 = C / park * kRateTime / t;
        const double q = C / park;
        auto T = [&](double p) { return t - Frac(C - p * park) * (t - tPrev); };
        if (q >= 0.1 && F.Gamma90 == 0) {
            F.Marks.push_back({i, ", отказов 10% от парка"});
            F.Gamma90 = T(0.1);
        }
        if (q >= 0.2 && !marked20) {
            F.Marks.push_back({i, ", отказов 20% от парка"});
            marked20 = true;
        }
        if (q >= 0.5 && F.Gamma50Nabl == 0) {
            F.Marks.push_back({i, ", отказов 50% от наблюдаемого парка"});
            F.Gamma50Nabl = T(0.5);
        }
        if (q >= 0.5 && F.Gamma50Cenz == 0) {
            F.Marks.push_back({i, ", отказов 50% от парка с учетом цензурирования"});
            F.Gamma50Cenz = T(0.5);
        }
        if (q >= 0.8 && !marked80) {
            F.Marks.push_back({i, ", отказов 80% от парка"});
            marked80 = true;
        }
    }
    if (sorted.empty()) return F;
    const double lastTime = sorted.back();
    if (parkUsable && lastTime < kRateTime && F.Otk2000 == 0 && lastTime > 0)
        F.Otk2000 = C / park * kRateTime / lastTime;

    if (SolveLine(sums, F.A_LN, F.B_LN) && F.iFirstPos >= 0) {
        for (double t : {sorted[static_cast<std::size_t>(F.iFirstPos)], lastTime}) {
            const double x = std::log(t + kLogOffset);
            F.LnLine.emplace_back(x, F.A_LN * x + F.B_LN);
        }
    } else {
        F.A_LN = 0.0;
        F.B_LN = 0.0;
    }
    return F;
}

}  // namespace rel
