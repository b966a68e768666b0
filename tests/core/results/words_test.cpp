// The results output in English words: the same figures as in Russian, and no
// Russian word left besides the data file's own texts (its title, the causes).
#include <gtest/gtest.h>

#include <string>

#include "analysis/load.h"
#include "fit/calc_run.h"
#include "results/ml_summary.h"
#include "results/out_results.h"

namespace rel {
namespace {

// Whether UTF-8 text holds a Cyrillic letter (U+0400..U+04FF: lead bytes D0..D3).
bool HasCyrillic(const std::string& s) {
    for (unsigned char c : s)
        if (c >= 0xD0 && c <= 0xD3) return true;
    return false;
}

std::string Without(std::string s, const std::string& part) {
    if (part.empty()) return s;
    for (std::size_t at = s.find(part); at != std::string::npos; at = s.find(part, at)) s.erase(at, part.size());
    return s;
}

TEST(EnglishWords, DemoFleetTableAndChartsHaveTheRussianFiguresInEnglishWords) {
    AnalysisState st;
    const LoadResult load = LoadFailureFile(st, std::string(RELAN_EXAMPLES) + "/demo-fleet.txt", '.');
    ASSERT_TRUE(load.ok) << load.error;
    RunParams p;
    p.SredGar = st.SredGar;
    p.SKOGar = st.SKOGar;
    p.TPrirab = 300;
    p.StepCoef11 = load.view.StepCoef11Text;
    p.StepCoef12 = load.view.StepCoef12Text;
    p.StepCoef2 = load.view.StepCoef2Text;
    p.methods = {"1.1", "1.2", "2"};
    p.decimalSep = '.';
    p.clock.evaluationsPerSecond = 4000;
    ASSERT_TRUE(CalculationRun(st, p).ok);

    const ResultsContent ru = ComputeResults(st, "300", '.');
    const ResultsContent en = ComputeResults(st, "300", '.', {}, nullptr, EnglishWords());
    EXPECT_EQ(en.Label10, st.DataTitle + " (420 units)");
    EXPECT_EQ(en.Table.Cell(0, 10).text, "Failure rate/1000 h (300,1000 h)");
    EXPECT_EQ(en.Table.Cell(1, 0).text, "Pearson/Newton");
    EXPECT_EQ(en.Table.Cell(1, 7).text, " 2500.0 h");
    EXPECT_EQ(ru.Table.Cell(1, 7).text, " 2500.0 ч");
    for (int c = 0; c < kResShownCols; ++c)
        for (int r = 0; r < kResRows; ++r) {
            const std::string& cell = en.Table.Cell(c, r).text;
            EXPECT_FALSE(HasCyrillic(cell)) << c << "," << r << ": " << cell;
            // A cell without words shows the Russian figure.
            if (!HasCyrillic(ru.Table.Cell(c, r).text)) {
                EXPECT_EQ(cell, ru.Table.Cell(c, r).text) << c << "," << r;
            }
        }
    for (const ChartContent* chart : {&en.Chart1, &en.Chart2, &en.Chart3})
        for (const ChartSeries& s : chart->Series) {
            std::string title = s.Title;
            for (const Vid_otkaza& v : st.ArrVidFile) title = Without(title, v.Nazv_Prich);
            EXPECT_FALSE(HasCyrillic(title)) << s.Name << ": " << s.Title;
        }
    // The figures of the charts are the same.
    ASSERT_EQ(en.Chart1.Series.size(), ru.Chart1.Series.size());
    for (std::size_t i = 0; i < en.Chart1.Series.size(); ++i)
        EXPECT_EQ(en.Chart1.Series[i].Points.size(), ru.Chart1.Series[i].Points.size())
            << en.Chart1.Series[i].Name;
}

TEST(EnglishWords, ModelThreeBlockAndTheFitsNotesReadInEnglish) {
    MlResult r;
    r.A = 1.5;
    r.B = 3000;
    r.K_powtor = 0.4;
    r.GofP = 0.3;
    r.Separable = false;
    // Every note the fit writes, with the figures it puts in them.
    r.Notes = {
        kMlNotSeparable,
        "Модель 3: A на границе допустимого диапазона (0.2 … 20)",
        "Модель 3: B на нижней границе допустимого диапазона (1 ч)",
        "Модель 3: K·F(t) не достигает 0.1 — гамма-ресурс 90% не определен",
        "Модель 3: K·F(t) не достигает 0.5 — гамма-ресурс 50% не определен",
        "Модель 3: согласие не оценено — бутстреп моделирует парки от 1 изделия, а парк 2000000 вне пределов 1 … "
        "100000",
        "Модель 3: согласие не оценено — ни один смоделированный парк не дал подбора",
        "Модель 3: отказы ниже 1 ч (брак) не учитываются: 9",
        "Модель 3: в списке окончаний гарантии 300 значений при парке 420 — используются доли списка",
        "Модель 3: задан список окончаний гарантии — Sred и СКО не подбираются",
        "Модель 3: СКО = 0, подбор СКО начат с 250 ч",
        "Модель 3: при СКО = 0 гарантия кончается у всех изделий при Sred — Sred не подбирается",
        "Модель 3: нижняя граница интервала K оставлена открытой — отклонение не сходится к порогу 95%",
        "Модель 3: верхняя граница интервала Гамма 90% оставлена открытой — поиск не сошелся",
    };
    const MlSummary en = SummarizeML(r, '.', EnglishWords());
    EXPECT_EQ(en.title, "Model 3 (maximum likelihood): estimates and 95% confidence intervals");
    EXPECT_EQ(en.verdict.rfind("Goodness of fit (bootstrap): ", 0), 0u) << en.verdict;
    for (const MlSummaryRow& row : en.rows) EXPECT_FALSE(HasCyrillic(row.label)) << row.label;
    ASSERT_EQ(en.notes.size(), r.Notes.size());
    for (const std::string& n : en.notes) EXPECT_FALSE(HasCyrillic(n)) << n;
    EXPECT_EQ(en.notes[2], "Model 3: B is at the lower bound of its allowed range (1 h)");
    EXPECT_EQ(en.notes[7], "Model 3: failures below 1 h (rejects) are not counted: 9");
    EXPECT_EQ(en.notes[13],
              "Model 3: the upper end of the interval of Gamma 90% is left open: the search did not converge");
    // In Russian the notes are the fit's own.
    const MlSummary ru = SummarizeML(r, '.');
    ASSERT_EQ(ru.notes.size(), r.Notes.size());
    for (std::size_t i = 1; i < r.Notes.size(); ++i) EXPECT_EQ(ru.notes[i], r.Notes[i]);
}

}  // namespace
}  // namespace rel
