// Model 1.1: the Pearson criterion minimised by spiral descent. One parameter moves
// at a time by its signed step while the criterion does not grow; a failed attempt
// puts the parameter one step on the other side of where it was and reverses and
// shrinks the step, so each parameter closes in on its optimum from alternating
// sides. After about ten seconds the search ends whatever the steps; a walk on a NaN
// criterion or a creeping one ends as a failed attempt (fitdetail::WalkBound), so that
// every pass ends and the time is looked at.
#include <cmath>

#include "fit/fit_common.h"
#include "fit/fits.h"
#include "text/format.h"
#include "stats/criteria.h"

namespace rel {

using fitdetail::ParamRow;
using fitdetail::Vec;

namespace {

// Start, bounds, first step and tolerance of each parameter.
void SpiralTable(const AnalysisState& st, ParamRow rows[fitdetail::kMaxParams]) {
    rows[0] = {1000, 10, 50000, 0.5, 1e-7};                           // scale B, h
    rows[1] = {1, 0.35, 10, 0.00005, 1e-8};                           // shape A
    rows[2] = {st.KolOtkAll / st.ParkFile, 1.01, 30, 0.00005, 1e-8};  // K_powtor
    if (st.FitSred) {
        rows[3] = {400, 150, 5000, 0.125, 0.01};               // warranty mean, h
        if (st.FitSKO) rows[4] = {100, 50, 900, 0.125, 0.01};  // its deviation, h
    } else if (st.FitSKO) {
        rows[3] = {100, 80, 900, 0.25, 0.1};  // its deviation, h
    }
}

}  // namespace

FitReport FitSpiral(const AnalysisState& st, const FitOptions& opt) {
    FitReport rep = fitdetail::StartReport(st, "1.1", st.ModSpir);
    FitSummary& sum = rep.summary;
    Mod_Weib& M = rep.model;
    const int N = fitdetail::ParamCount(st);
    ParamRow rows[fitdetail::kMaxParams];
    SpiralTable(st, rows);
    Vec X{}, L{}, U{}, S{}, E{};
    fitdetail::WalkBound walk[fitdetail::kMaxParams];
    for (int i = 0; i < N; ++i) {
        X[i] = rows[i].start;
        L[i] = rows[i].lower;
        U[i] = rows[i].upper;
        S[i] = rows[i].step;
        E[i] = rows[i].tol;
        walk[i] = fitdetail::WalkBound(L[i], U[i], S[i]);
    }
    const std::size_t H = st.ArrHist.size();
    M.F_Weib.resize(H);
    M.F_norm.resize(H);
    M.Kol_F_priv.resize(H);

    FitTimer timer(opt.clock);
    double StepCoef = opt.StepCoef;
    if (auto err = CheckStepCoef(StepCoef, kStepCoefLabel11, FormatGeneral(StepCoef, opt.decimalSep))) {
        sum.ok = false;
        sum.error = *err;
        return rep;
    }

    CritCache cache;  // Weibull values and warranty shares kept between evaluations
    auto objective = [&](const Vec& x) {
        timer.CountEvaluation();
        double Sred, SKO;
        fitdetail::WarrantyOf(st, x, Sred, SKO);
        return PearsonCrit(st, M, x[1], x[0], x[2], Sred, SKO, opt.item, cache);
    };

    double Fp = 0.0;
    double F = objective(X);
    int ElapsedSec = 0;
    for (;;) {
        ++sum.passes;
        for (int j = 0; j < N; ++j) {
            walk[j].Start(S[j]);
            for (;;) {
                const double xs = X[j];
                // A step that would make the parameter zero or negative is not taken.
                bool moved = false;
                if (X[j] + S[j] > 0) {
                    X[j] = X[j] + S[j];
                    moved = fitdetail::Moved(X[j], xs);
                }
                // An attempt that leaves the parameter where it was (step not taken, or
                // too small to change the value) has failed: re-evaluating the same point
                // would succeed again and again.
                bool failed = !moved;
                if (!failed && (X[j] > U[j] || X[j] < L[j])) failed = true;
                if (!failed) {
                    Fp = F;
                    F = objective(X);
                    // F <= Fp succeeds, also when either is NaN, unless the walk is
                    // past its bound.
                    if (!(F > Fp) && walk[j].Step(std::isnan(F) || std::isnan(Fp)) &&
                        !(walk[j].Long() && timer.Read().seconds > fitdetail::kLongWalkSeconds))
                        continue;
                }
                F = Fp;
                X[j] = xs - S[j];
                S[j] = -S[j] / StepCoef;
                break;
            }
        }
        ElapsedSec = timer.Read().SecondsField();
        if (StepCoef < 5) {
            if (ElapsedSec > 0.5 * N * N) StepCoef = StepCoef * 1.0755;
            if (ElapsedSec > 2.5 * N * N) StepCoef = StepCoef * 1.755;
        }
        bool small = true;
        for (int i = 0; i < N; ++i)
            if (!(std::fabs(S[i]) < E[i])) small = false;
        if (small) sum.converged = true;
        if (small || ElapsedSec > 10) break;
    }

    // The result.
    M.A = X[1];
    M.B = X[0];
    M.K_powtor = X[2];
    fitdetail::WarrantyOf(st, X, rep.SredGar, rep.SKOGar);
    M.SKO = rep.SKOGar;
    M.Sred = rep.SredGar;
    M.Kol_Nakopl = 0;
    M.SKO_out = 0;
    M.Unsens = 0;
    fitdetail::FinalIntervalValues(st, M, false);
    M.Executed = true;
    M.Converged = sum.converged;
    ModelIndicators(st, M, st.TPrirab);

    const ElapsedTime done = timer.Read();
    sum.evaluations = timer.Evaluations();
    sum.elapsed = done.seconds;
    sum.finalStepCoef = StepCoef;
    sum.memo.push_back(
        ElapsedLine("Расчёт модели по Пирсону методом спирального спуска выполнен за ", done.whole));
    sum.memo.push_back(StepLine(S[1], rep.SredGar, rep.SKOGar, opt.decimalSep));
    if (!sum.converged) sum.memo.push_back(NotConvergedLine("Модель 1.1 по Пирсону"));
    return rep;
}

}  // namespace rel
