// The results output of the demo fleet after a calculation run with models 1.1,
// 1.2 and 2.
#include <gtest/gtest.h>

#include <string>

#include "analysis/load.h"
#include "fit/calc_run.h"
#include "results/out_results.h"

namespace rel {
namespace {

TEST(ResultsDemo, TableAndChartsOfTheDemoFleet) {
    AnalysisState st;
    const LoadResult load = LoadFailureFile(st, std::string(RELAN_EXAMPLES) + "/demo-fleet.txt", ',');
    ASSERT_TRUE(load.ok) << load.error;
    RunParams p;
    p.SredGar = st.SredGar;
    p.SKOGar = st.SKOGar;
    p.TPrirab = 300;
    p.StepCoef11 = load.view.StepCoef11Text;
    p.StepCoef12 = load.view.StepCoef12Text;
    p.StepCoef2 = load.view.StepCoef2Text;
    p.methods = {"1.1", "1.2", "2"};
    p.decimalSep = ',';
    p.clock.evaluationsPerSecond = 4000;
    ASSERT_TRUE(CalculationRun(st, p).ok);

    const ResultsContent rc = OutResults(st, "300", ',');
    EXPECT_EQ(rc.Label10, "Изделие КМ-12: отказы за гарантийный период 2023-2024 гг. (420 шт.)");

    // Models 1.2, 1.1 and 2 in that order; the data in column 4, column 5 blank.
    const ResultsTable& t = rc.Table;
    ASSERT_EQ(t.ColRes, 4);
    EXPECT_EQ(t.Cell(1, 0).text, "Пирсона/Ньютона");
    EXPECT_EQ(t.Cell(2, 0).text, "Пирсона/спир.спуск");
    EXPECT_EQ(t.Cell(3, 0).text, "Критерий Смирнова");
    EXPECT_EQ(t.Cell(5, 0).text, "");
    // 313 failure rows, 9 of them rejects.
    EXPECT_EQ(t.Cell(4, 5).text, " 304");
    EXPECT_TRUE(t.Cell(4, 10).text.ends_with(" (до 1000 ч.)")) << t.Cell(4, 10).text;
    EXPECT_EQ(t.Cell(0, 10).text, "Частота отказов/1000 ч (300,1000 ч)");
    for (int c = 1; c <= 3; ++c) {
        // The warranty figures of the file: 2500 +- 550 h, not fitted.
        EXPECT_EQ(t.Cell(c, 7).text, " 2500,0 ч");
        EXPECT_EQ(t.Cell(c, 8).text, " 550,0 ч");
        const std::string& k = t.Cell(c, 9).text;
        EXPECT_TRUE(k.ends_with(">1,3581(0,05)")) << k;
    }
    // The Kolmogorov test rejects all three on these data (lambda about 4.6 to 4.9):
    // each column is marked and a note under the table names them.
    ASSERT_EQ(t.Models.size(), 3u);
    for (const ResultModelColumn& m : t.Models) EXPECT_TRUE(m.Rejected) << m.record << " " << m.KolmCrt;
    ASSERT_EQ(t.Notes.size(), 2u);
    EXPECT_EQ(t.Notes[0],
              "Критерий Колмогорова отвергает модели: Пирсона/Ньютона, Пирсона/спир.спуск, Критерий "
              "Смирнова (λ выше критического значения при уровне значимости 5 %). Их оценки не "
              "согласуются с данными эксплуатации.");
    EXPECT_EQ(t.Notes[1], "Время окончания гарантии во всех моделях: из заголовка файла данных.");

    // Models whose search the time rule stopped before convergence are named under
    // the table, in column order, in the words of the output.
    AnalysisState stopped = st;
    stopped.ModSmirn.Converged = false;
    stopped.ModNewton.Converged = false;
    const std::vector<std::string> ru = ComputeResults(stopped, "300", ',').Table.Notes;
    ASSERT_EQ(ru.size(), 3u);
    EXPECT_EQ(ru[1],
              "Поиск остановлен по времени, не сойдясь: Пирсона/Ньютона, Критерий Смирнова (шаги параметров не "
              "стали меньше допусков). Их оценки могут быть не наилучшими: повторите расчет или уменьшите "
              "коэффициент уменьшения шага.");
    const std::vector<std::string> en =
        ComputeResults(stopped, "300", ',', {}, nullptr, EnglishWords()).Table.Notes;
    ASSERT_EQ(en.size(), 3u);
    EXPECT_EQ(
        en[1].rfind("Search stopped by its time limit before converging: Pearson/Newton, Smirnov criterion (", 0),
        0u);
    // The accumulated failures of each Pearson model: its sum over the intervals,
    // every interval of the demo histogram holding failures.
    double sum = 0;
    for (double m : st.ModSpir.Kol_F_priv) sum += m;
    EXPECT_DOUBLE_EQ(st.ModSpir.Kol_Nakopl, sum);

    // 34 intervals of 100 h, every one with failures: K100 is 1 throughout.
    ASSERT_EQ(rc.Chart1.Labels.size(), 34u);
    EXPECT_EQ(rc.Chart1.Labels.front(), "100");
    EXPECT_EQ(rc.Chart1.Labels.back(), "3400");
    for (const ResultInterval& i : rc.Intervals) EXPECT_EQ(i.K100, 1.0);
    // All 304 independent failures accumulated: 72,38% of the fleet.
    EXPECT_EQ(rc.SumOtk, 304);
    EXPECT_EQ(rc.Chart1.Find("Series17")->Points.back().mark, "72,4");

    // Seven causes with failures, Двигатель the first named one with 92 failures.
    EXPECT_EQ(rc.Chart1.Series.size(), 17u);
    EXPECT_EQ(rc.Chart3.Series.size(), 17u);
    EXPECT_EQ(rc.Chart1.Find("Chart1 cause 2")->Title, "Двигатель 92 раз (21,9% /машину");
    // Its bars count the failures numbered 2 (a failure naming two causes is
    // credited to both in the count of the title, but numbered once).
    int numbered2 = 0;
    for (const FailureRef f : st.ArrProblems) numbered2 += f.chey == 2 ? 1 : 0;
    EXPECT_EQ(rc.KolVid[2], numbered2);
    EXPECT_EQ(rc.Chart1.Find("Series6")->Points.size(), 0u);  // no optimiser run
    // Six failures at 0 h; the other three rejects are below 1 h but positive.
    EXPECT_EQ(st.iFirstPos, 6);
    EXPECT_EQ(rc.Chart3.Find("Series18")->Points.size(), 307u);
    EXPECT_EQ(rc.Chart3.Find("Series19")->Points.size(), 2u);
}

}  // namespace
}  // namespace rel
