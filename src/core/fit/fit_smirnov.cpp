// Model 2: the Smirnov-type criterion over the individual failures minimised by a
// coordinate step search with reversal and shrinking of the step. The search runs
// until the seconds field of the elapsed time reaches 10, longer only while the scale
// still moves by large steps after the shape and the repetition coefficient have
// settled. The parameters and steps are kept in extended precision. A walk on a NaN
// criterion or a creeping one ends as a failed attempt (fitdetail::WalkBound): a step
// shrunk far below the distance still to go would otherwise creep on, each step
// improving slightly, without the time being looked at.
#include <cmath>

#include "fit/fit_common.h"
#include "fit/fits.h"
#include "text/format.h"
#include "stats/criteria.h"
#include "stats/distrib.h"

namespace rel {

FitReport FitSmirnov(const AnalysisState& st, const FitOptions& opt) {
    FitReport rep = fitdetail::StartReport(st, "2", st.ModSmirn);
    FitSummary& sum = rep.summary;
    double StepCoef = opt.StepCoef;
    if (auto err = CheckStepCoef(StepCoef, kStepCoefLabel2, FormatGeneral(StepCoef, opt.decimalSep))) {
        sum.ok = false;
        sum.error = *err;
        return rep;
    }
    if (st.KolOtkNez <= 0) {
        // The criterion divides by the number of independent failures.
        sum.ok = false;
        sum.error = "Модель 2 (по Смирнову) не рассчитана: в данных нет независимых отказов.";
        return rep;
    }

    Mod_Weib& M = rep.model;
    // Share of the fleet out of warranty at each failure's time, read by the criterion.
    const auto& P = st.ArrProblems;
    M.F_norm.resize(P.size());
    for (std::size_t i = 0; i < P.size(); ++i) M.F_norm[i] = NormF(st.SredGar, st.SKOGar, P[i].time);
    const std::size_t H = st.ArrHist.size();
    M.F_Weib.resize(H);
    M.Kol_F_priv.resize(H);

    FitTimer timer(opt.clock);
    // X = (B, A, K_powtor); bounds: lower excluded, upper included.
    long double X[3] = {2000.0L, 1.0L,
                        static_cast<long double>(st.KolOtkAll) / static_cast<long double>(st.ParkFile)};
    long double D[3] = {0.25L, 0.0002L, 0.0001L};
    const long double Lo[3] = {1.0L, 0.3L, 1.01L};
    const long double Up[3] = {50000.0L, 3.0L, 30.0L};
    fitdetail::WalkBound walk[3];
    for (int j = 0; j < 3; ++j)
        walk[j] = fitdetail::WalkBound(static_cast<double>(Lo[j]), static_cast<double>(Up[j]),
                                       static_cast<double>(D[j]));

    SmirnovCache cache;  // logarithms and Weibull values kept between evaluations
    auto criterion = [&]() {
        timer.CountEvaluation();
        return SmirnovCrit(st, M, static_cast<double>(X[1]), static_cast<double>(X[0]), static_cast<double>(X[2]),
                           cache);
    };

    double F = criterion();
    for (;;) {
        ++sum.passes;
        for (int j = 0; j < 3; ++j) {
            walk[j].Start(static_cast<double>(D[j]));
            for (;;) {
                const long double xc = X[j];
                X[j] = X[j] + D[j];
                // Bounds are applied one step beyond the new value.
                const bool out = X[j] + D[j] <= Lo[j] || X[j] + D[j] > Up[j];
                const double Fnew = criterion();  // also for a move out of bounds
                // No improvement: Fnew >= F, which fails when either is NaN. A step too
                // small to change the parameter is no move at all. A walk past its
                // bound fails.
                const bool moved = X[j] != xc && X[j] == X[j];
                if (Fnew >= F || out || !moved || !walk[j].Step(std::isnan(Fnew) || std::isnan(F)) ||
                    (walk[j].Long() && timer.Read().seconds > fitdetail::kLongWalkSeconds)) {
                    X[j] = xc;
                    D[j] = -D[j] / StepCoef;
                    break;
                }
                F = Fnew;
            }
        }
        const int ElapsedSec = timer.Read().SecondsField();
        if (StepCoef < 3.0) {
            if (ElapsedSec > 5) StepCoef = StepCoef * 1.0875;
            if (ElapsedSec > 15) StepCoef = StepCoef * 1.2875;
        }
        // The scale still moves by large steps while the others have settled: go on
        // whatever the time.
        if (std::fabs(D[0]) >= 1e-5L && std::fabs(D[1]) < 1e-7L && std::fabs(D[2]) < 1e-8L) continue;
        if (ElapsedSec >= 10) break;
    }

    M.A = static_cast<double>(X[1]);
    M.B = static_cast<double>(X[0]);
    M.K_powtor = static_cast<double>(X[2]);
    M.SKO = st.SKOGar;
    M.Sred = st.SredGar;
    // Interval values over the first H elements; F_norm keeps its per-failure values
    // beyond them.
    fitdetail::FinalIntervalValues(st, M, true);
    M.Executed = true;
    // Converged: every step below the tolerance the search goes on by.
    sum.converged = std::fabs(D[0]) < 1e-5L && std::fabs(D[1]) < 1e-7L && std::fabs(D[2]) < 1e-8L;
    M.Converged = sum.converged;
    ModelIndicators(st, M, st.TPrirab);

    const ElapsedTime done = timer.Read();
    sum.evaluations = timer.Evaluations();
    sum.elapsed = done.seconds;
    sum.finalStepCoef = StepCoef;
    sum.memo.push_back(ElapsedLine("Расчёт модели по Смирнову выполнен за ", done.whole));
    if (!sum.converged) sum.memo.push_back(NotConvergedLine("Модель 2 по Смирнову"));
    return rep;
}

}  // namespace rel
