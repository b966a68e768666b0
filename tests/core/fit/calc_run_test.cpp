#include "fit/calc_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "analysis/load.h"

namespace rel {
namespace {

const std::string kDemo = std::string(RELAN_EXAMPLES) + "/demo-fleet.txt";

// The demo fleet loaded, and the run parameters the window holds after the load.
struct Loaded {
    AnalysisState st;
    RunParams p;
};

Loaded Demo() {
    Loaded l;
    const LoadResult r = LoadFailureFile(l.st, kDemo, ',');
    EXPECT_TRUE(r.ok) << r.error;
    l.p.SredGar = l.st.SredGar;
    l.p.SKOGar = l.st.SKOGar;
    l.p.TPrirab = 300;
    l.p.StepCoef11 = r.view.StepCoef11Text;
    l.p.StepCoef12 = r.view.StepCoef12Text;
    l.p.StepCoef2 = r.view.StepCoef2Text;
    l.p.decimalSep = ',';
    l.p.clock.evaluationsPerSecond = 4000;  // repeatable and quick
    return l;
}

bool StartsWith(const std::string& s, const std::string& head) { return s.rfind(head, 0) == 0; }

TEST(CalculationRun, AllThreeFitsInOrderWithTheirConfidenceLines) {
    Loaded l = Demo();
    l.p.methods = {"1.1", "1.2", "2"};
    std::vector<std::string> delivered;
    const RunResult r = CalculationRun(l.st, l.p, [&](const std::string& s) { delivered.push_back(s); });
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(r.memo.size(), 8u);
    EXPECT_EQ(delivered, r.memo);
    const char* heads[8] = {"Расчёт модели по Пирсону методом спирального спуска выполнен за ",
                            "Шаг=",
                            "Доверительный 95% интервал частотной диаграммы = ",
                            "Расчёт модели по Пирсону методом Ньютона выполнен за ",
                            "Шаг=",
                            "Доверительный 95% интервал частотной диаграммы = ",
                            "Расчёт модели по Смирнову выполнен за ",
                            "Доверительный 95% интервал частотной диаграммы = "};
    for (int i = 0; i < 8; ++i) {
        EXPECT_TRUE(StartsWith(r.memo[i], heads[i])) << i << ": " << r.memo[i];
    }
    // Each confidence line is the model's own, after its indicators.
    EXPECT_EQ(r.memo[2], HistConfidence(l.st, l.st.ModSpir, ',').line);
    EXPECT_EQ(r.memo[5], HistConfidence(l.st, l.st.ModNewton, ',').line);
    EXPECT_EQ(r.memo[7], HistConfidence(l.st, l.st.ModSmirn, ',').line);
    EXPECT_TRUE(l.st.ModSpir.Executed && l.st.ModNewton.Executed && l.st.ModSmirn.Executed);
    EXPECT_FALSE(l.st.ArrHist.empty());
    EXPECT_EQ(l.st.TPrirab, 300);
}

TEST(CalculationRun, OnlyTheTickedFitsRun) {
    Loaded l = Demo();
    l.p.methods = {"1.2"};
    l.st.ModSpir.A = 123;
    const RunResult r = CalculationRun(l.st, l.p);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.memo.size(), 3u);
    EXPECT_EQ(l.st.ModSpir.A, 123) << "model 1.1 keeps what an earlier run left";
    EXPECT_FALSE(r.Report("1.1"));
    EXPECT_TRUE(r.Report("1.2"));

    Loaded none = Demo();
    none.p.methods.clear();
    const RunResult rn = CalculationRun(none.st, none.p);
    EXPECT_TRUE(rn.ok);
    EXPECT_TRUE(rn.memo.empty());
    EXPECT_FALSE(none.st.ArrHist.empty()) << "the histogram is rebuilt all the same";
}

TEST(CalculationRun, CoefficientTextsThatStopTheRun) {
    const struct {
        const char* what;
        std::string coef11, coef12;
        RunField field;
        const char* label;
        bool spiralDone;
    } cases[] = {
        {"1.1 not a number", "abc", "1,00025", RunField::StepCoef11, kStepCoefLabel11, false},
        {"1.2 not a number", "1,00025", "1.5", RunField::StepCoef12, kStepCoefLabel12, true},
        {"1.2 below one", "1,00025", "0,5", RunField::StepCoef12, kStepCoefLabel12, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Loaded l = Demo();
        l.p.methods = {"1.1", "1.2"};
        l.p.StepCoef11 = c.coef11;
        l.p.StepCoef12 = c.coef12;
        l.st.ModNewton.A = 77;
        l.st.ModSpir.B = 88;
        const RunResult r = CalculationRun(l.st, l.p);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.errorField, c.field);
        EXPECT_NE(r.error.find(c.label), std::string::npos) << r.error;
        const std::string& text = c.field == RunField::StepCoef11 ? c.coef11 : c.coef12;
        EXPECT_NE(r.error.find("\"" + text + "\""), std::string::npos) << r.error;
        EXPECT_EQ(l.st.ModNewton.A, 77);
        EXPECT_EQ(l.st.ModSpir.Executed, c.spiralDone);
        EXPECT_EQ(r.memo.size(), c.spiralDone ? 3u : 0u) << "model 1.1 keeps its new values";
        if (!c.spiralDone) {
            EXPECT_EQ(l.st.ModSpir.B, 88);
            EXPECT_EQ(l.st.ModSpir.F_Weib.size(), l.st.ArrHist.size()) << "sized before the coefficient is read";
        }
    }
}

TEST(CalculationRun, UnitCoefficientsFinish) {
    Loaded l = Demo();
    l.p.methods = {"1.1", "1.2", "2"};
    l.p.StepCoef11 = l.p.StepCoef12 = l.p.StepCoef2 = "1";
    const RunResult r = CalculationRun(l.st, l.p);
    EXPECT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.memo.size(), 8u);
}

TEST(CalculationRun, WarrantyFiguresFittedByTheLastPearsonFitServeModelTwo) {
    Loaded l = Demo();
    l.p.methods = {"1.1", "1.2", "2"};
    l.p.FitSred = true;
    const RunResult r = CalculationRun(l.st, l.p);
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(l.st.FitSred);
    EXPECT_EQ(l.st.SredGar, l.st.ModNewton.Sred);
    EXPECT_EQ(l.st.ModSmirn.Sred, l.st.SredGar);
    EXPECT_EQ(l.st.SKOGar, l.p.SKOGar) << "not fitted";
}

TEST(CalculationRun, NothingToFitIsSaidSo) {
    Loaded l = Demo();
    l.st.KolOtkNez = 0;
    l.st.ModSpir.A = 5;
    RunResult r = CalculationRun(l.st, l.p);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.errorField, RunField::None);
    EXPECT_EQ(l.st.ModSpir.A, 5);

    Loaded e = Demo();
    e.st.ArrProblems.clear();
    r = CalculationRun(e.st, e.p);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(e.st.ArrHist.empty());
}

TEST(CalculationRun, VirtualClockGivesTheSameRunTwice) {
    Loaded a = Demo(), b = Demo();
    a.p.methods = {"1.1", "1.2", "2"};
    b.p = a.p;
    const RunResult ra = CalculationRun(a.st, a.p), rb = CalculationRun(b.st, b.p);
    EXPECT_EQ(ra.memo, rb.memo);
    for (auto pm : {&AnalysisState::ModSpir, &AnalysisState::ModNewton, &AnalysisState::ModSmirn}) {
        EXPECT_EQ((a.st.*pm).A, (b.st.*pm).A);
        EXPECT_EQ((a.st.*pm).B, (b.st.*pm).B);
        EXPECT_EQ((a.st.*pm).K_powtor, (b.st.*pm).K_powtor);
        EXPECT_EQ((a.st.*pm).SKO_out, (b.st.*pm).SKO_out);
    }
}

TEST(CalculationRun, ModelThreeAfterTheOthersWithItsRecordAndLines) {
    Loaded l = Demo();
    l.p.methods.push_back("3");
    l.p.mlBootstrap = 20;
    const RunResult r = CalculationRun(l.st, l.p);
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_TRUE(r.ml && r.ml->ok);
    // Model 1.1 first, then model 3 with its estimates, notes and confidence line.
    ASSERT_TRUE(r.Report("1.1"));
    const auto first3 = std::find_if(r.memo.begin(), r.memo.end(),
                                     [](const std::string& m) { return StartsWith(m, "Расчёт модели 3"); });
    ASSERT_NE(first3, r.memo.end());
    EXPECT_GT(first3 - r.memo.begin(), 2);
    EXPECT_TRUE(StartsWith(r.memo.back(), "Доверительный 95% интервал частотной диаграммы"));
    // The record carries the fit; its warranty figures are its own, the state's stay.
    const Mod_Weib& M = l.st.ModML;
    EXPECT_TRUE(M.Executed);
    EXPECT_EQ(M.A, r.ml->A);
    EXPECT_EQ(M.K_powtor, r.ml->K_powtor);
    EXPECT_EQ(M.Kol_F_priv.size(), l.st.ArrHist.size());
    EXPECT_EQ(l.st.SredGar, 2500);
    // A warranty file clears it with the other models.
    ASSERT_TRUE(LoadWarrantyFile(l.st, std::string(RELAN_EXAMPLES) + "/gar-demo.txt", ',').ok);
    EXPECT_FALSE(l.st.ModML.Executed);
}

}  // namespace
}  // namespace rel
