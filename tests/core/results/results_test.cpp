#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "text/format.h"
#include "results/out_results.h"
#include "results/results_table.h"
#include "stats/distrib.h"

namespace rel {
namespace {

// A fleet of 350 products, warranty ending at 2000 +- 500 h, seven independent
// failures and a reject; causes 0 "Брак" (1), 1 "Другие" (2), 2 "Двигатель" (3),
// 3 "Топливо" (none) and 4 "Электрика" (2). Histogram made by hand: intervals
// ending at 100, 200, 350, 500 (empty), 1000 and 1500 h.
Hist_Rec Interval(double time, std::vector<std::pair<int, int>> npr) {
    Hist_Rec h;
    h.time = time;
    for (auto [k, n] : npr) {
        h.Npr[static_cast<std::size_t>(k)] = n;
        if (k != 0) h.Sum += n;
    }
    return h;
}

AnalysisState Fixture() {
    AnalysisState st;
    st.DataTitle = "Парк тест";
    st.ParkFile = st.Park = 350;
    st.SredGar = 2000;
    st.SKOGar = 500;
    const std::vector<std::pair<double, int>> failures = {{0, 0},   {40, 1},  {90, 2},  {150, 2},
                                                          {180, 4}, {320, 2}, {700, 1}, {1200, 4}};
    for (auto [t, k] : failures) st.ArrProblems.push_back({t, k, "", ""});
    st.ArrVid = {{"Брак", 1}, {"Другие", 2}, {"Двигатель", 3}, {"Топливо", 0}, {"Электрика", 2}};
    st.ArrVidFile = st.ArrVid;
    st.MaxPrich = 4;
    st.KolOtkAll = 9;
    st.KolOtkNez = 7;
    st.Gamma90 = 1234.5;
    st.Otk2000 = 0.0123;
    st.DelitOtk = 1.0;
    st.A_LN = 0.5;
    st.B_LN = -1.0;
    st.TPrirab = 300;
    st.ArrHist = {Interval(100, {{0, 1}, {1, 1}, {2, 1}}),
                  Interval(200, {{2, 1}, {4, 1}}),
                  Interval(350, {{2, 1}}),
                  Interval(500, {}),
                  Interval(1000, {{1, 1}}),
                  Interval(1500, {{4, 1}})};
    return st;
}

// Model 1.1 fitted by hand: A = 1.5, B = 2000 h, K_powtor = 1.25.
void SetSpir(Mod_Weib& M) {
    M.A = 1.5;
    M.B = 2000;
    M.K_powtor = 1.25;
    M.Sred = 2000;
    M.SKO = 500;
    M.SKO_out = 0.5;
    M.LamStart = 0.1234;
    M.Lam1000 = 0.2345;
    M.F_Weib = {0.01, 0.02, 0.03, 0.04, 0.05, 0.06};
    M.Kol_F_priv = {2, 1.5, 1, 0.5, 1.2, 0.8};
    M.Unsens = 99;  // left from the fit's criterion: the output starts again
    M.Kol_Nakopl = 99;
    M.Executed = true;
}

std::vector<double> Xs(const ChartSeries& s) {
    std::vector<double> x;
    for (const ChartPoint& p : s.Points) x.push_back(p.x);
    return x;
}

void ExpectValues(const ChartSeries& s, const std::vector<double>& want) {
    ASSERT_EQ(s.Points.size(), want.size()) << s.Name;
    for (std::size_t i = 0; i < want.size(); ++i)
        EXPECT_NEAR(s.Points[i].y, want[i], 1e-12) << s.Name << " #" << i;
}

const ChartSeries& Get(const ChartContent& c, const std::string& name) {
    const ChartSeries* s = c.Find(name);
    EXPECT_NE(s, nullptr) << name;
    static const ChartSeries none;
    return s ? *s : none;
}

// ---------------------------------------------------------------------------
// The table

TEST(ResultsTable, ModelColumnAndDataColumnOfTheFixture) {
    AnalysisState st = Fixture();
    SetSpir(st.ModSpir);
    const ResultsContent rc = OutResults(st, "300", '.');
    const ResultsTable& t = rc.Table;

    EXPECT_EQ(t.ColRes, 2);
    using K = ResColumn;
    EXPECT_EQ(t.Columns, (std::vector<K>{K::Labels, K::Model, K::Data, K::Keep, K::Keep, K::Keep, K::Keep}));
    // Model cells as SetResCell gets them: a blank, then the value, to be padded.
    const std::vector<std::string> model = {
        "Пирсона/спир.спуск",
        "  1.500 / 2000.00",
        "  1.250",
        " 1278 ч.",  // 2000 * (-ln 0.6)^(1/1.5) = 1278.04
        " 382 ч.",   // 2000 * (-ln 0.92)^(2/3) = 381.72
        " 6 /6",     // Kol_Nakopl 2 + 1.5 + 1 + 1.2 + 0.8 = 6.5, halves to even
        "  0.98 /  0.50",
        " 2000.0 ч",
        " 500.0 ч",
        " 61.340 >1.3581(0.05)",
        " 0.1234/ 0.2345",   // six characters each: no widening
        "   0.79 /   1.18",  // 1.25 (1 - e^-1), 1.25 (1 - e^-2.828)
    };
    for (int row = 0; row < kResRows; ++row) {
        EXPECT_EQ(t.Cell(1, row).text, model[row]) << "row " << row;
        EXPECT_EQ(t.Cell(1, row).padded, row != 0) << "row " << row;
    }
    // 320 h and 700 h lie in (300, 1000]: S = 1/(1 - P(320)) + 1/(1 - P(700)) = 2.00507;
    // 1000 * S / 700 / 350 = 0.00818.
    const std::vector<std::string> data = {
        "Данные эксплуатации", "",     "", " 0(набл.)/0(ценз.)", " 1234", " 7", "", "", "", "",
        " 0.008 (до 1000 ч.)", " 0.01"};
    for (int row = 0; row < kResRows; ++row) {
        EXPECT_EQ(t.Cell(2, row).text, data[row]) << "row " << row;
        EXPECT_EQ(t.Cell(2, row).padded, !data[row].empty() && row != 0) << "row " << row;
    }
    EXPECT_EQ(t.Cell(0, 0).text, "Результаты для моделей:");
    EXPECT_EQ(t.Cell(0, 1).text, "Распр. Вейбулла(A,B как в Excel)");
    EXPECT_EQ(t.Cell(0, 10).text, "Частота отказов/1000 ч (300,1000 ч)");
    EXPECT_EQ(t.Cell(0, 11).text, "Отказов/изд. за 2000/4000 ч");
    EXPECT_NEAR(t.LamData, 0.0081839709, 1e-9);
    EXPECT_EQ(t.TEndLam, 1000);
    for (int c = 3; c < kResCols; ++c)
        for (int row = 0; row < kResRows; ++row) EXPECT_EQ(t.Cell(c, row).text, "");

    // The statistic was computed on a copy: the record keeps its KolmCrt.
    ASSERT_EQ(t.Models.size(), 1u);
    EXPECT_NEAR(t.Models[0].KolmCrt, 61.3403, 1e-3);
    EXPECT_EQ(st.ModSpir.KolmCrt, 0.0);
    EXPECT_EQ(rc.Label10, "Парк тест (350 шт.)");
}

TEST(ResultsTable, DecimalCommaAndTheFrequencyWindowLabel) {
    AnalysisState st = Fixture();
    SetSpir(st.ModSpir);
    st.ArrProblems.resize(7);  // last failure now at 700 h
    const ResultsContent rc = OutResults(st, "300,5", ',');
    EXPECT_EQ(rc.Table.Cell(1, 1).text, "  1,500 / 2000,00");
    EXPECT_EQ(rc.Table.Cell(1, 3).text, " 1278 ч.");
    EXPECT_EQ(rc.Table.Cell(0, 10).text, "Частота отказов/1000 ч (300,5,700 ч)");
    EXPECT_EQ(st.TPrirab, 300.5);
    EXPECT_TRUE(rc.Messages.empty());
}

TEST(ResultsTable, LamDataWindowBounds) {
    // A failure at exactly T0 is not counted, one at exactly 1000 h is.
    AnalysisState st = Fixture();
    st.SredGar = 1e9;  // nobody leaves warranty: each failure counts 1 (+1e-12)
    st.SKOGar = 1;
    st.ArrProblems = {{300, 2, "", ""}, {650, 2, "", ""}, {1000, 2, "", ""}, {1000.5, 2, "", ""}};
    EXPECT_NEAR(CalcLamData(st, 300), 1000.0 * 2 / 700 / 350, 1e-13);
    EXPECT_EQ(st.TPrirab, 300);
}

TEST(ResultsTable, ColumnRules) {
    struct Case {
        bool newton, spir, smirn, gen;
        std::vector<std::string> captions;  // columns 1.. up to the data column
    };
    const std::vector<Case> cases = {
        {false, false, false, false, {"Данные эксплуатации"}},
        {true,
         true,
         true,
         true,
         {"Пирсона/Ньютона", "Пирсона/спир.спуск", "Критерий Смирнова", "Генетическая", "Данные эксплуатации"}},
        {false, false, true, true, {"Критерий Смирнова", "Генетическая", "Данные эксплуатации"}},
        {false, true, false, false, {"Пирсона/спир.спуск", "Данные эксплуатации"}},
    };
    for (const Case& c : cases) {
        AnalysisState st = Fixture();
        for (Mod_Weib* M : {&st.ModNewton, &st.ModSpir, &st.ModSmirn, &st.ModGen}) SetSpir(*M);
        st.ModNewton.Executed = c.newton;
        st.ModSpir.Executed = c.spir;
        st.ModSmirn.Executed = c.smirn;
        st.ModGen.Executed = c.gen;
        const ResultsTable t = OutResults(st, "300", '.').Table;
        const int data = static_cast<int>(c.captions.size());
        SCOPED_TRACE(data);
        EXPECT_EQ(t.ColRes, data);
        for (int col = 1; col < kResCols; ++col) {
            const std::string want = col <= data ? c.captions[static_cast<std::size_t>(col - 1)] : "";
            EXPECT_EQ(t.Cell(col, 0).text, want) << "column " << col;
            if (col > data) {
                EXPECT_EQ(t.Cell(col, 5).text, "") << "column " << col;
            }
        }
        for (int col = 0; col < kResCols; ++col) {
            const ResColumn want = col == 0      ? ResColumn::Labels
                                   : col < data  ? ResColumn::Model
                                   : col == data ? ResColumn::Data
                                                 : ResColumn::Keep;
            EXPECT_EQ(t.Columns[static_cast<std::size_t>(col)], want) << "column " << col;
        }
        // The data column's known-failure count follows it wherever it goes.
        EXPECT_EQ(t.Cell(data, 5).text, " 7");
    }
}

TEST(ResultsTable, UndefinedFiguresShowADash) {
    AnalysisState st = Fixture();
    SetSpir(st.ModSpir);
    // A burn-in of 1000 h leaves an empty frequency window.
    ResultsContent rc = OutResults(st, "1000", '.');
    EXPECT_EQ(rc.Table.Cell(2, 10).text, " —");
    EXPECT_TRUE(std::isnan(rc.Table.LamData));
    EXPECT_EQ(rc.Table.Cell(0, 10).text, "Частота отказов/1000 ч (1000,1000 ч)");
    rc = OutResults(st, "1500", '.');
    EXPECT_EQ(rc.Table.Cell(2, 10).text, " —");

    // A fleet of zero products: no per-product frequency, no per-product points;
    // the title of a cause says its share is undefined.
    st = Fixture();
    SetSpir(st.ModSpir);
    st.Park = st.ParkFile = 0;
    st.Otk2000 = std::nan("");
    rc = OutResults(st, "300", '.');
    EXPECT_EQ(rc.Table.Cell(2, 10).text, " —");
    EXPECT_EQ(rc.Table.Cell(2, 11).text, " —");
    EXPECT_TRUE(Get(rc.Chart1, "Series17").Points.empty());
    EXPECT_TRUE(Get(rc.Chart2, "Series15").Points.empty());
    EXPECT_TRUE(Get(rc.Chart1, "Chart1 cause 2").Points.empty());
    EXPECT_EQ(Get(rc.Chart1, "Series1").Points.size(), 5u);  // shares need no fleet
    EXPECT_EQ(Get(rc.Chart1, "Chart1 cause 2").Title, "Двигатель 3 раз (—% /машину");

    // Fewer than one independent failure: no Kolmogorov statistic.
    st = Fixture();
    SetSpir(st.ModSpir);
    st.KolOtkNez = 0;
    rc = OutResults(st, "300", '.');
    EXPECT_EQ(rc.Table.Cell(1, 9).text, " —");
}

TEST(ResultsTable, BurnInTextThatIsNotANumberKeepsTheRunsValue) {
    AnalysisState st = Fixture();
    st.TPrirab = 250;
    const ResultsContent rc = OutResults(st, "2x0", '.');
    EXPECT_EQ(st.TPrirab, 250);
    EXPECT_EQ(rc.Table.TPrirab, 250);
    EXPECT_EQ(rc.Table.Cell(0, 10).text, "Частота отказов/1000 ч (250,1000 ч)");
    ASSERT_EQ(rc.Messages.size(), 1u);
    EXPECT_NE(rc.Messages[0].find("\"2x0\""), std::string::npos);
    EXPECT_NE(rc.Messages[0].find("250 ч"), std::string::npos);
}

TEST(ResultsTable, ModelColumnTextsOfTheRowOneExample) {
    Mod_Weib M;
    M.A = 1.5;
    M.B = 2000;
    M.K_powtor = 0.4;  // 0.5 / K >= 1: the time of 0.999999
    M.Kol_Nakopl = 7.5;
    const auto r = ModelColumnTexts(M, 1.0, 1.3581, " >1.3581(0.05)", ',');
    EXPECT_EQ(r[1], " 1,500 / 2000,00");
    EXPECT_EQ(r[3], IntText(WeibQuantile(1.5, 2000, 0.999999)) + " ч.");
    EXPECT_EQ(r[5], "8 /8");
    // One decimal separator in the cell, the statistic's and the critical value's.
    EXPECT_EQ(r[9], " 1,358 >1,3581(0,05)");
    EXPECT_EQ(ModelColumnTexts(M, 1.0, 1.3581, " >1.3581(0.05)", '.')[9], " 1.358 >1.3581(0.05)");
}

// ---------------------------------------------------------------------------
// Charts

TEST(ResultsCharts, IntervalsLabelsAndPer100HourFactor) {
    AnalysisState st = Fixture();
    const ResultsContent rc = OutResults(st, "300", '.');
    // The empty 500-h interval is skipped: 1000 h is measured from 350 h.
    const std::vector<std::string> labels = {"100", "200", "350", "1000", "1500"};
    EXPECT_EQ(rc.Chart1.Labels, labels);
    EXPECT_EQ(rc.Chart3.Labels, labels);
    ASSERT_EQ(rc.Intervals.size(), 5u);
    const double k100[] = {1, 1, 100.0 / 150, 100.0 / 650, 100.0 / 500};
    const int j[] = {0, 1, 2, 4, 5};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(rc.Intervals[i].K100, k100[i]);
        EXPECT_EQ(rc.Intervals[i].j, j[i]);
        EXPECT_EQ(rc.Intervals[i].LabT, labels[i]);
    }
    EXPECT_EQ(rc.tPrev, 1500);
    EXPECT_EQ(rc.SumOtk, 7);
    EXPECT_EQ(rc.Vybyv.size(), 6u);
    EXPECT_EQ(rc.Vybyv[3], 0.0);
    EXPECT_EQ(rc.Vybyv[4], NormF(2000, 500, 1000));

    const ChartSeries& s17 = Get(rc.Chart1, "Series17");
    ExpectValues(s17, {200.0 / 350, 400.0 / 350, 500.0 / 350, 600.0 / 350, 2});
    std::vector<std::string> marks;
    for (const ChartPoint& p : s17.Points) marks.push_back(p.mark);
    EXPECT_EQ(marks, (std::vector<std::string>{"0.6", "1.1", "1.4", "1.7", "2"}));
    EXPECT_EQ(Xs(s17), (std::vector<double>{0, 1, 2, 3, 4}));
    EXPECT_EQ(s17.Points[3].label, "1000");
    ExpectValues(Get(rc.Chart2, "Series15"), {2.0 / 350, 4.0 / 350, 5.0 / 350, 6.0 / 350, 7.0 / 350});
    ExpectValues(Get(rc.Chart1, "Series1"),
                 {100 * NormF(2000, 500, 100), 100 * NormF(2000, 500, 200), 100 * NormF(2000, 500, 350),
                  100 * NormF(2000, 500, 1000), 100 * NormF(2000, 500, 1500)});
    // No model executed: its series exist and stay empty.
    for (const char* name : {"Series3", "Series2", "Series4", "Series20", "Series21", "Series6", "Series5"})
        EXPECT_TRUE(Get(rc.Chart1, name).Points.empty()) << name;
}

// The mean cumulative function on the accumulation chart: at each interval's end, the
// sum of 1/R over the failures by then, R the fleet still under warranty; its band
// around it; a step line over a band drawn beneath it, after the models' series.
TEST(ResultsCharts, MeanCumulativeFunctionStepsInItsBand) {
    AnalysisState st = Fixture();
    const ResultsContent rc = OutResults(st, "300", '.');
    const ChartSeries& line = Get(rc.Chart2, "Series28");
    const ChartSeries& band = Get(rc.Chart2, "Series29");
    EXPECT_EQ(rc.Chart2.Series[10].Name, "Series29");
    EXPECT_EQ(rc.Chart2.Series[11].Name, "Series28");
    EXPECT_TRUE(line.Step && band.Step);
    EXPECT_EQ(line.Kind, SeriesKind::Line);
    EXPECT_EQ(band.Kind, SeriesKind::Band);
    EXPECT_EQ(line.Title, "MCF: отказов на изделие (без модели)");
    auto R = [](double t) { return 350 * (1 - NormF(2000, 500, t)); };
    double m = 0;
    std::vector<double> want;
    const double ends[] = {100, 200, 350, 1000, 1500};
    const double times[] = {40, 90, 150, 180, 320, 700, 1200};  // the reject at 0 h left out
    std::size_t next = 0;
    for (double end : ends) {
        while (next < std::size(times) && times[next] <= end) m += 1 / R(times[next++]);
        want.push_back(m);
    }
    ExpectValues(line, want);
    EXPECT_EQ(Xs(line), Xs(Get(rc.Chart2, "Series15")));
    ASSERT_EQ(band.Points.size(), want.size());
    const std::size_t lastFailure[] = {1, 3, 4, 5, 6};  // of the MCF's points, by each end
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(band.Points[i].low, rc.MCF.points[lastFailure[i]].Lo);
        EXPECT_EQ(band.Points[i].y, rc.MCF.points[lastFailure[i]].Hi);
        EXPECT_LT(band.Points[i].low, want[i]);
        EXPECT_GT(band.Points[i].y, want[i]);
    }

    // A warranty list ending at 1100 h: nothing is drawn beyond, where no product is observed.
    st = Fixture();
    st.ArrGar.assign(350, 1100);
    const ResultsContent listed = OutResults(st, "300", '.');
    EXPECT_EQ(Get(listed.Chart2, "Series28").Points.size(), 4u);
    EXPECT_EQ(Get(listed.Chart2, "Series29").Points.size(), 4u);
}

TEST(ResultsCharts, HalfHourIntervalEndsRoundToEven) {
    AnalysisState st = Fixture();
    st.ArrHist = {Interval(100.5, {{2, 1}}), Interval(201.5, {{2, 1}}), Interval(350, {{2, 1}})};
    const ResultsContent rc = OutResults(st, "300", '.');
    EXPECT_EQ(rc.Chart1.Labels, (std::vector<std::string>{"100", "202", "350"}));
    EXPECT_EQ(rc.Intervals[1].K100, 100.0 / 102);
    EXPECT_EQ(rc.Intervals[2].K100, 100.0 / 148);
}

TEST(ResultsCharts, FirstIntervalOfRejectsOnly) {
    AnalysisState st = Fixture();
    st.ArrHist = {Interval(100, {{0, 3}}), Interval(200, {{2, 2}}), Interval(350, {{2, 1}})};
    const ResultsContent rc = OutResults(st, "300", '.');
    ASSERT_EQ(rc.Intervals.size(), 2u);
    EXPECT_EQ(rc.Intervals[0].K100, 0.5);  // 100 / 200, measured from 0
    EXPECT_EQ(rc.Intervals[1].K100, 100.0 / 150);
    EXPECT_EQ(rc.Chart1.Labels, (std::vector<std::string>{"200", "350"}));
    // The rejects of the skipped interval add nothing to the cause totals.
    EXPECT_EQ(rc.KolVid[0], 0.0);
    EXPECT_EQ(rc.KolVid[2], 3.0);
}

TEST(ResultsCharts, CauseBarsSkipCausesWithoutFailures) {
    AnalysisState st = Fixture();
    const ResultsContent rc = OutResults(st, "300", '.');
    // Causes 0, 1, 2 and 4 have failures; cause 3 has none and no series.
    ASSERT_EQ(rc.Chart1.Series.size(), 14u);
    ASSERT_EQ(rc.Chart2.Series.size(), 16u);
    ASSERT_EQ(rc.Chart3.Series.size(), 11u);
    const int causes[] = {0, 1, 2, 4};
    for (std::size_t n = 0; n < 4; ++n) {
        const int k = causes[n];
        const ChartSeries& b1 = rc.Chart1.Series[10 + n];
        const ChartSeries& b2 = rc.Chart2.Series[12 + n];
        const ChartSeries& b3 = rc.Chart3.Series[3 + 2 * n];
        const ChartSeries& b3c = rc.Chart3.Series[3 + 2 * n + 1];
        EXPECT_EQ(b1.Name, "Chart1 cause " + std::to_string(k));
        EXPECT_EQ(b3c.Name, "Chart3 cause " + std::to_string(k) + " corrected");
        for (const ChartSeries* b : {&b1, &b2, &b3, &b3c}) {
            EXPECT_EQ(b->Kind, SeriesKind::Bar);
            EXPECT_EQ(b->Cause, k);
            EXPECT_EQ(b->Color, CauseColors[static_cast<std::size_t>(k)]);
            EXPECT_FALSE(b->Marks);
        }
        EXPECT_EQ(b1.Transparency, 0);
        EXPECT_EQ(b2.Transparency, 30);
        EXPECT_EQ(b3.Transparency, 0);
        EXPECT_EQ(b3c.Transparency, 60);
        EXPECT_TRUE(b3.Points.empty());
    }
    EXPECT_EQ(rc.Chart1.Series[12].Title, "Двигатель 3 раз (0.9% /машину");
    EXPECT_EQ(rc.Chart2.Series[15].Title, "Электрика");
    EXPECT_EQ(rc.Chart3.Series[9].Title, "Электрика");
    EXPECT_EQ(rc.Chart3.Series[10].Title, "Электрика с учетом цензурирования");
    EXPECT_EQ(CauseColors[4], (Rgb{255, 0, 255}));
    // Every cause has a colour of its own, told apart from every other on the charts.
    for (std::size_t i = 0; i < CauseColors.size(); ++i)
        for (std::size_t j = 0; j < i; ++j) {
            const int dr = CauseColors[i].r - CauseColors[j].r, dg = CauseColors[i].g - CauseColors[j].g,
                      db = CauseColors[i].b - CauseColors[j].b;
            EXPECT_GE(dr * dr + dg * dg + db * db, 40 * 40) << i << " and " << j;
        }

    // Cause 2 ("Двигатель"): one failure in each of the first three intervals.
    const double k3 = 100.0 / 150, V[] = {NormF(2000, 500, 100), NormF(2000, 500, 200), NormF(2000, 500, 350),
                                          NormF(2000, 500, 1000), NormF(2000, 500, 1500)};
    ExpectValues(rc.Chart1.Series[12], {1.0 / 350, 1.0 / 350, k3 / 350, 0, 0});
    ExpectValues(rc.Chart2.Series[14], {1.0 / 350, 2.0 / 350, 3.0 / 350, 3.0 / 350, 3.0 / 350});
    ExpectValues(rc.Chart3.Series[8],
                 {2.0 / 350 / (1 - V[0]), 2.0 / 350 / (1 - V[1]), 2 * k3 / 350 / (1 - V[2]), 0, 0});
    // Cause 4 ("Электрика"), fourth bar position: at 200 h and at 1500 h.
    ExpectValues(rc.Chart1.Series[13], {0, 1.0 / 350, 0, 0, 0.2 / 350});
    EXPECT_EQ(rc.Chart1.Series[13].Points[4].label, "1500");
    EXPECT_EQ(rc.KolVid[4], 2.0);

    // Its share for 12 failures in a fleet of 350.
    st = Fixture();
    st.ArrVid[2].Dolya = 12;
    EXPECT_EQ(Get(OutResults(st, "300", ',').Chart1, "Chart1 cause 2").Title, "Двигатель 12 раз (3,4% /машину");
}

TEST(ResultsCharts, TwoOutputsInARowWithFiveThenTwoCauses) {
    AnalysisState st = Fixture();
    st.ArrVid[3].Dolya = 1;
    ResultsContent rc = OutResults(st, "300", '.');
    EXPECT_EQ(rc.Chart1.Series.size(), 15u);
    EXPECT_EQ(rc.Chart2.Series.size(), 17u);
    EXPECT_EQ(rc.Chart3.Series.size(), 13u);

    st.ArrVid = {{"Брак", 0}, {"Другие", 4}, {"Двигатель", 3}};
    st.MaxPrich = 2;
    rc = OutResults(st, "300", '.');
    ASSERT_EQ(rc.Chart1.Series.size(), 12u);
    ASSERT_EQ(rc.Chart2.Series.size(), 14u);
    ASSERT_EQ(rc.Chart3.Series.size(), 7u);
    EXPECT_EQ(rc.Chart1.Series[10].Name, "Chart1 cause 1");
    EXPECT_EQ(rc.Chart3.Series[6].Name, "Chart3 cause 2 corrected");
}

TEST(ResultsCharts, FixedSeriesDescriptions) {
    const AnalysisState base = Fixture();
    AnalysisState st = base;
    const ResultsContent rc = OutResults(st, "300", '.');
    EXPECT_EQ(rc.Chart1.FixedCount, 10);
    EXPECT_EQ(rc.Chart2.FixedCount, 12);
    EXPECT_EQ(rc.Chart3.FixedCount, 3);
    const char* order1[] = {"Series1",  "Series17", "Series3", "Series2", "Series4",
                            "Series20", "Series21", "Series6", "Series5", "Series14"};
    const char* order2[] = {"Series15", "Series7", "Series8", "Series16", "Series22"};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(rc.Chart1.Series[static_cast<std::size_t>(i)].Name, order1[i]);
    EXPECT_EQ(rc.Chart2.Series[0].Name, order2[0]);
    EXPECT_EQ(rc.Chart2.Series[7].Name, order2[3]);
    EXPECT_EQ(rc.Chart2.Series[8].Name, order2[4]);

    const ChartSeries& s17 = Get(rc.Chart1, "Series17");
    EXPECT_TRUE(s17.Marks && s17.Dashed);
    EXPECT_EQ(s17.LineWidth, 4);
    EXPECT_EQ(s17.Vertical, VAxis::Right);
    EXPECT_EQ(Get(rc.Chart1, "Series1").Kind, SeriesKind::Area);
    EXPECT_EQ(Get(rc.Chart1, "Series3").Kind, SeriesKind::SmoothLine);
    EXPECT_FALSE(Get(rc.Chart1, "Series14").Active);
    EXPECT_FALSE(Get(rc.Chart1, "Series14").InLegend);
    EXPECT_EQ(Get(rc.Chart2, "Series15").Transparency, 24);
    EXPECT_EQ(Get(rc.Chart2, "Series7").Transparency, 8);
    EXPECT_EQ(Get(rc.Chart2, "Series7").Vertical, VAxis::Right);
    EXPECT_EQ(Get(rc.Chart2, "Series11").Title, "Модель \"генетическая\"");
    EXPECT_EQ(Get(rc.Chart2, "Series12").Title, "Модель \"генетическая\" с влиянием цензурирования");
    EXPECT_FALSE(Get(rc.Chart2, "Series22").InLegend);
    EXPECT_FALSE(Get(rc.Chart3, "Series13").Active);
    const ChartSeries& s18 = Get(rc.Chart3, "Series18");
    EXPECT_EQ(s18.Horizontal, HAxis::Top);
    EXPECT_EQ(s18.Vertical, VAxis::Right);
    EXPECT_EQ(s18.CrossMarkSize, 2);
    EXPECT_EQ(s18.Color, (Rgb{0, 128, 0}));
    EXPECT_EQ(Get(rc.Chart3, "Series19").Color, (Rgb{255, 0, 0}));
    EXPECT_TRUE(rc.Chart1.LegendVisible);
    EXPECT_TRUE(rc.Chart3.LegendVisible);
    EXPECT_FALSE(rc.Chart2.LegendVisible);
}

TEST(ResultsCharts, ModelSeriesAndAccumulationSideEffects) {
    AnalysisState st = Fixture();
    SetSpir(st.ModSpir);
    // Model 1.2 not executed keeps its sums; models 2 and genetic not executed get 0.
    st.ModNewton.Unsens = 5;
    st.ModNewton.Kol_Nakopl = 6;
    st.ModSmirn.Unsens = 7;
    st.ModSmirn.Kol_Nakopl = 8;
    st.ModGen.Unsens = 9;
    st.ModGen.Kol_Nakopl = 10;
    const ResultsContent rc = OutResults(st, "300", '.');

    EXPECT_NEAR(st.ModSpir.Unsens, 0.17, 1e-15);  // 0.01 + 0.02 + 0.03 + 0.05 + 0.06
    EXPECT_EQ(st.ModSpir.Kol_Nakopl, 6.5);        // 2 + 1.5 + 1 + 1.2 + 0.8
    EXPECT_EQ(st.ModNewton.Unsens, 5);
    EXPECT_EQ(st.ModNewton.Kol_Nakopl, 6);
    EXPECT_EQ(st.ModSmirn.Unsens, 0);
    EXPECT_EQ(st.ModSmirn.Kol_Nakopl, 0);
    EXPECT_EQ(st.ModGen.Unsens, 0);
    EXPECT_EQ(st.ModGen.Kol_Nakopl, 0);

    const double k3 = 100.0 / 150, k4 = 100.0 / 650, k5 = 0.2;
    ExpectValues(Get(rc.Chart1, "Series3"),
                 {0.01 * 1.25, 0.02 * 1.25, 0.03 * k3 * 1.25, 0.05 * k4 * 1.25, 0.06 * k5 * 1.25});
    ExpectValues(Get(rc.Chart1, "Series2"), {2.0 / 350, 1.5 / 350, k3 / 350, 1.2 * k4 / 350, 0.8 * k5 / 350});
    ExpectValues(Get(rc.Chart2, "Series8"), {0.0125, 0.0375, 0.075, 0.1375, 0.2125});
    ExpectValues(Get(rc.Chart2, "Series9"), {2.0 / 350, 3.5 / 350, 4.5 / 350, 5.7 / 350, 6.5 / 350});
    EXPECT_TRUE(Get(rc.Chart2, "Series22").Points.empty());

    // Model 2 executed: Kol_Nakopl only; the genetic model both sums.
    st = Fixture();
    SetSpir(st.ModSmirn);
    SetSpir(st.ModGen);
    const ResultsContent rc2 = OutResults(st, "300", '.');
    EXPECT_EQ(st.ModSmirn.Unsens, 0);
    EXPECT_EQ(st.ModSmirn.Kol_Nakopl, 6.5);
    EXPECT_NEAR(st.ModGen.Unsens, 0.17, 1e-15);
    EXPECT_EQ(st.ModGen.Kol_Nakopl, 6.5);
    ExpectValues(Get(rc2.Chart2, "Series10"), {2.0 / 350, 3.5 / 350, 4.5 / 350, 5.7 / 350, 6.5 / 350});
    ExpectValues(Get(rc2.Chart2, "Series11"), {0.0125, 0.0375, 0.075, 0.1375, 0.2125});
    EXPECT_EQ(Get(rc2.Chart1, "Series4").Points.size(), 5u);
    EXPECT_TRUE(Get(rc2.Chart1, "Series3").Points.empty());
    EXPECT_EQ(rc2.Table.Cell(1, 0).text, "Критерий Смирнова");
    EXPECT_EQ(rc2.Table.Cell(1, 5).text, " 6 /6");
}

TEST(ResultsCharts, ModelThreeAddsItsColumnSeriesAndBlockOnlyWhenItRan) {
    AnalysisState st = Fixture();
    SetSpir(st.ModSpir);
    const ResultsContent without = OutResults(st, "300", '.');
    EXPECT_EQ(without.Chart1.Find("Series24"), nullptr);
    EXPECT_EQ(without.Table.ShownColumns(), kResShownCols);
    EXPECT_FALSE(without.ML);

    // Five models: the model-3 column comes after the optimiser's, the data column last.
    SetSpir(st.ModNewton);
    SetSpir(st.ModSmirn);
    SetSpir(st.ModGen);
    SetSpir(st.ModML);
    MlResult ml;
    ml.ok = true;
    ml.A = 1.5;
    ml.B = 2000;
    ml.K_powtor = 1.25;
    ml.Separable = false;
    ml.IntK = {1.25, 0.9, std::nan("")};
    const ResultsContent rc = OutResults(st, "300", '.', {}, &ml);
    EXPECT_EQ(rc.Table.ShownColumns(), 7);
    EXPECT_EQ(rc.Table.Cell(5, 0).text, "Макс. правдоподобия");
    EXPECT_EQ(rc.Table.Cell(6, 0).text, "Данные эксплуатации");
    // On the ridge the column says so instead of showing B and K.
    EXPECT_NE(rc.Table.Cell(5, 1).text.find("1.500 / —"), std::string::npos) << rc.Table.Cell(5, 1).text;
    EXPECT_EQ(rc.Table.Cell(5, 2).text, std::string(" ") + kMlNotSeparableCell);
    ExpectValues(Get(rc.Chart2, "Series27"), {2.0 / 350, 3.5 / 350, 4.5 / 350, 5.7 / 350, 6.5 / 350});
    EXPECT_EQ(Get(rc.Chart1, "Series24").Points.size(), 5u);
    ASSERT_TRUE(rc.ML);
    EXPECT_EQ(rc.ML->rows[2].estimate, "—");
    EXPECT_EQ(rc.ML->rows[2].interval, "> 0.900");
    EXPECT_EQ(rc.ML->notes.front(), kMlNotSeparable);
}

TEST(ResultsCharts, ModelArraysShorterThanTheHistogram) {
    // Model 1.2 kept from a run on an earlier, shorter histogram: no value for the
    // intervals it does not reach.
    AnalysisState st = Fixture();
    SetSpir(st.ModNewton);
    st.ModNewton.F_Weib.resize(3);
    st.ModNewton.Kol_F_priv.resize(3);
    const ResultsContent rc = OutResults(st, "300", '.');
    EXPECT_EQ(Xs(Get(rc.Chart1, "Series20")), (std::vector<double>{0, 1, 2}));
    EXPECT_EQ(Get(rc.Chart2, "Series23").Points.size(), 3u);
    EXPECT_TRUE(std::isnan(st.ModNewton.Kol_Nakopl));
    EXPECT_EQ(rc.Table.Cell(1, 5).text, " —");
}

TEST(ResultsCharts, CorrectedBarLeftOutWhenEveryWarrantyHasEnded) {
    AnalysisState st = Fixture();
    st.SredGar = 100;
    st.SKOGar = 1;  // by 350 h every warranty has ended: the share is exactly 1
    ASSERT_EQ(NormF(100, 1, 350), 1.0);
    const ResultsContent rc = OutResults(st, "300", '.');
    const ChartSeries& c2 = Get(rc.Chart3, "Chart3 cause 2 corrected");
    // Interval 100 h: share one half; from 200 h on the share is 1 and the points go.
    EXPECT_EQ(Xs(c2), (std::vector<double>{0}));
    EXPECT_EQ(Get(rc.Chart1, "Chart1 cause 2").Points.size(), 5u);
}

TEST(ResultsCharts, LnAccumulationFromTheFirstFailureWithPositiveTime) {
    AnalysisState st = Fixture();
    st.ArrProblems = {{0, 0, "", ""}, {0.4, 0, "", ""}, {150, 2, "", ""}, {900, 2, "", ""}};
    st.iFirstPos = 7;
    const ResultsContent rc = OutResults(st, "300", '.');
    EXPECT_EQ(st.iFirstPos, 1);
    const ChartSeries& s18 = Get(rc.Chart3, "Series18");
    ASSERT_EQ(s18.Points.size(), 3u);
    EXPECT_EQ(s18.Points[0].x, std::log(0.4 + 0.00001));
    EXPECT_EQ(s18.Points[0].y, std::log(2.0));
    EXPECT_EQ(s18.Points[2].x, std::log(900 + 0.00001));
    EXPECT_EQ(s18.Points[2].y, std::log(4.0));
    const ChartSeries& s19 = Get(rc.Chart3, "Series19");
    ASSERT_EQ(s19.Points.size(), 2u);
    EXPECT_EQ(s19.Points[0].x, std::log(0.4 + 0.00001));
    EXPECT_EQ(s19.Points[0].y, 0.5 * std::log(0.4 + 0.00001) - 1.0);
    EXPECT_EQ(s19.Points[1].x, std::log(900 + 0.00001));

    // No failure with positive time: no points, no line.
    st.ArrProblems = {{0, 0, "", ""}, {0, 0, "", ""}};
    const ResultsContent none = OutResults(st, "300", '.');
    EXPECT_EQ(st.iFirstPos, -1);
    EXPECT_TRUE(Get(none.Chart3, "Series18").Points.empty());
    EXPECT_TRUE(Get(none.Chart3, "Series19").Points.empty());

    // One failure of 1 h or more: the line of the data is undefined and not drawn.
    st.ArrProblems = {{0.5, 0, "", ""}, {150, 2, "", ""}};
    const ResultsContent one = OutResults(st, "300", '.');
    EXPECT_EQ(Get(one.Chart3, "Series18").Points.size(), 2u);
    EXPECT_TRUE(Get(one.Chart3, "Series19").Points.empty());
}

TEST(ResultsCharts, EmptyDataGivesAnEmptyOutput) {
    AnalysisState st;
    SetSpir(st.ModSpir);
    const ResultsContent rc = OutResults(st, "300", '.');
    EXPECT_TRUE(rc.Chart1.Labels.empty());
    EXPECT_EQ(rc.Chart1.Series.size(), 10u);
    EXPECT_EQ(rc.Table.ColRes, 2);
    EXPECT_EQ(rc.Table.Cell(0, 10).text, "Частота отказов/1000 ч (300,1000 ч)");
    EXPECT_EQ(rc.Table.Cell(1, 9).text, " —");
    EXPECT_EQ(st.ModSpir.Kol_Nakopl, 0);
}

// ---------------------------------------------------------------------------

TEST(Format, GroupedMarks) {
    struct Case {
        double x;
        char sep;
        const char* group;
        const char* want;
    };
    const std::vector<Case> cases = {
        {0.0, '.', ",", "0"},
        {12.0, '.', ",", "12"},
        {12.34, '.', ",", "12.3"},
        {0.25, '.', ",", "0.3"},  // half away from zero
        {0.04, '.', ",", "0"},
        {-0.04, '.', ",", "0"},
        {-2.75, ',', " ", "-2,8"},
        {1234.56, '.', ",", "1,234.6"},
        {999.96, '.', ",", "1,000"},
        {1234567.0, ',', "\u00A0", "1\u00A0234\u00A0567"},
        {0.05, '.', ",", "0.1"},
        {1e-20, '.', ",", "0"},
        {1e20, '.', "", "100000000000000000000"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatGrouped(c.x, c.sep, c.group), c.want) << c.x;
}

}  // namespace
}  // namespace rel
