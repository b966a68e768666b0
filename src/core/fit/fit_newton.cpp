// Model 1.2: the Pearson criterion minimised by Newton-type coordinate steps. A
// parameter keeps moving by its step while the criterion strictly falls and the next
// step would stay inside the bounds; otherwise the point before the attempt is
// restored and the step reversed and shrunk. Only convergence ends the search; a time
// rule raises the shrinking after a few seconds so that it always comes, and a walk
// on a NaN criterion or a creeping one ends as a failed attempt (fitdetail::WalkBound),
// so that every pass ends.
#include <cmath>

#include "fit/fit_common.h"
#include "fit/fits.h"
#include "text/format.h"
#include "stats/criteria.h"

namespace rel {

using fitdetail::ParamRow;
using fitdetail::Vec;

namespace {

void NewtonTable(const AnalysisState& st, ParamRow rows[fitdetail::kMaxParams]) {
    rows[0] = {2000, 10, 50000, 0.25, 1e-5};                      // scale B, h
    rows[1] = {1, 0.5, 3, 0.001, 1e-8};                           // shape A
    rows[2] = {st.KolOtkAll / st.ParkFile, 1, 30, 0.0005, 1e-8};  // K_powtor
    if (st.FitSred) {
        rows[3] = {500, 150, 3000, 1, 0.05};                // warranty mean, h
        if (st.FitSKO) rows[4] = {150, 30, 900, 1, 0.005};  // its deviation, h
    } else if (st.FitSKO) {
        rows[3] = {150, 30, 900, 5, 0.01};  // its deviation, h
    }
}

}  // namespace

FitReport FitNewton(const AnalysisState& st, const FitOptions& opt) {
    FitReport rep = fitdetail::StartReport(st, "1.2", st.ModNewton);
    FitSummary& sum = rep.summary;
    Mod_Weib& M = rep.model;
    double StepCoef = opt.StepCoef;
    if (auto err = CheckStepCoef(StepCoef, kStepCoefLabel12, FormatGeneral(StepCoef, opt.decimalSep))) {
        sum.ok = false;
        sum.error = *err;
        return rep;
    }
    const int N = fitdetail::ParamCount(st);
    ParamRow rows[fitdetail::kMaxParams];
    NewtonTable(st, rows);
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

    CritCache cache;  // Weibull values and warranty shares kept between evaluations
    auto objective = [&](const Vec& x) {
        timer.CountEvaluation();
        double Sred, SKO;
        fitdetail::WarrantyOf(st, x, Sred, SKO);
        return PearsonCrit(st, M, x[1], x[0], x[2], Sred, SKO, opt.item, cache);
    };
    // The next step on parameter i would leave its bounds.
    auto Out = [&](int i) { return X[i] + S[i] <= L[i] || X[i] + S[i] > U[i]; };

    double F = objective(X);
    double Fc = F, Fp = 0.0;
    for (;;) {
        ++sum.passes;
        for (int i = 0; i < N; ++i) {
            walk[i].Start(S[i]);
            for (;;) {
                const Vec Xs = X;
                X[i] = X[i] + S[i];  // evaluated even outside the bounds
                F = objective(X);
                Fp = Fc;
                Fc = F;
                // Strict improvement, which also counts as met when either value is NaN;
                // a step too small to change the parameter is no attempt at all; a walk
                // past its bound fails.
                if (!(F >= Fp) && !Out(i) && fitdetail::Moved(X[i], Xs[i]) &&
                    walk[i].Step(std::isnan(F) || std::isnan(Fp)))
                    continue;
                Fc = Fp;
                X = Xs;
                S[i] = -S[i] / StepCoef;
                const int ElapsedSec = timer.Read().SecondsField();
                if (ElapsedSec > 0.35 * N * N && StepCoef < 3) StepCoef = StepCoef * 1.075;
                break;
            }
        }
        // The point of the pass is kept in the record, shown to whoever watches.
        M.A = X[1];
        M.B = X[0];
        M.K_powtor = X[2];
        fitdetail::WarrantyOf(st, X, rep.SredGar, rep.SKOGar);
        M.Executed = true;
        M.SKO = rep.SKOGar;
        M.Sred = rep.SredGar;
        if (opt.passDone) opt.passDone(M);
        F = objective(X);

        bool small = true;
        for (int i = 0; i < N; ++i)
            if (!(std::fabs(S[i]) < E[i])) small = false;
        if (small) break;
    }
    sum.converged = true;
    M.Converged = true;

    M.Kol_Nakopl = 0;
    M.SKO_out = 0;
    M.Unsens = 0;
    fitdetail::FinalIntervalValues(st, M, false);
    ModelIndicators(st, M, st.TPrirab);

    const ElapsedTime done = timer.Read();
    sum.evaluations = timer.Evaluations();
    sum.elapsed = done.seconds;
    sum.finalStepCoef = StepCoef;
    sum.memo.push_back(ElapsedLine("Расчёт модели по Пирсону методом Ньютона выполнен за ", done.whole));
    sum.memo.push_back(StepLine(S[1], rep.SredGar, rep.SKOGar, opt.decimalSep));
    return rep;
}

}  // namespace rel
