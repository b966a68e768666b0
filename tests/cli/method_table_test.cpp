// A fitting method is one record of the method table and one fit function: a method
// that exists only here is asked for by its id, runs in the calculation run, and
// shows in the results table, the charts and the JSON like the others.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "analysis/run.h"
#include "export/results_json.h"
#include "data/warranty_file.h"
#include "fit/methods.h"
#include "stats/criteria.h"
#include "stats/distrib.h"

namespace {

// "Fits" a law given in advance: A 1.5, B 3000 h, K 1.2, with the run's warranty
// figures, its interval values over the histogram and its indicators.
rel::FitReport FixedLaw(const rel::AnalysisState& st, const rel::RunParams&, const rel::FitOptions&) {
    rel::FitReport r;
    rel::Mod_Weib& M = r.model;
    M.A = 1.5;
    M.B = 3000;
    M.K_powtor = 1.2;
    M.Sred = r.SredGar = st.SredGar;
    M.SKO = r.SKOGar = st.SKOGar;
    double prev = 0.0;
    for (const rel::Hist_Rec& h : st.ArrHist) {
        M.F_Weib.push_back(rel::WeibInterval(M.A, M.B, prev, h.time));
        M.F_norm.push_back(rel::NormF(M.Sred, M.SKO, (prev + h.time) / 2));
        M.Kol_F_priv.push_back(st.Park * M.K_powtor * M.F_Weib.back() * (1.0 - M.F_norm.back()));
        prev = h.time;
    }
    M.Executed = true;
    rel::ModelIndicators(st, M, st.TPrirab);
    r.summary.memo = {"Закон задан заранее"};
    return r;
}

rel::MethodTable WithFixedLaw() {
    rel::MethodTable t = rel::MethodTable::Standard();
    t.Add({.id = "fixed",
           .record = "ModFixed",
           .tableCaption = "Заданный закон",
           .tableCaptionEn = "Given law",
           .title = "Заданный закон Вейбулла",
           .titleEn = "Given Weibull law",
           .rate = "SeriesFixedRate",
           .accumulated = "SeriesFixedAcc",
           .fit = FixedLaw,
           .criterion = [](const rel::AnalysisState&, const rel::Mod_Weib& M, int) { return M.A * 10; }});
    return t;
}

TEST(MethodTable, AMethodOfOneRecordAndOneFunctionRunsAndShows) {
    const rel::MethodTable methods = WithFixedLaw();
    rel::FitRequest request;
    request.data = RELAN_EXAMPLES "/demo-fleet.txt";
    request.models = "1.1,fixed";
    request.virtualClock = "200000";
    const rel::CheckedRequest checked = rel::CheckFitRequest(request, false, methods);
    ASSERT_TRUE(checked.plan) << checked.error.message;
    rel::AnalysisState st;
    const rel::LoadedInputs in = rel::LoadInputs(st, request.data, "", '.');
    ASSERT_TRUE(in.error.empty()) << in.error;

    const rel::AnalysisResult analysis =
        rel::Analyse(std::move(st), *checked.plan, in, {}, rel::RussianWords(), methods);
    const rel::AnalysisRun& run = analysis.run;
    ASSERT_TRUE(run.calc.ok) << run.error;
    ASSERT_TRUE(run.results);
    EXPECT_NE(std::find(run.memo.begin(), run.memo.end(), "Закон задан заранее"), run.memo.end());

    // Its column after the standard ones that ran, with its caption and figures.
    const rel::ResultsTable& t = run.results->Table;
    ASSERT_EQ(t.Models.size(), 2u);
    EXPECT_EQ(t.Models[0].record, "ModSpir");
    EXPECT_EQ(t.Models[1].record, "ModFixed");
    EXPECT_EQ(t.Cell(2, 0).text, "Заданный закон");
    EXPECT_EQ(t.Cell(2, 1).text, "  1.500 / 3000.00");
    EXPECT_EQ(t.Cell(3, 0).text, "Данные эксплуатации");
    // Its chart series, named in its record.
    const rel::ChartSeries* rate = run.results->Chart1.Find("SeriesFixedRate");
    ASSERT_TRUE(rate);
    EXPECT_EQ(rate->Title, "Заданный закон Вейбулла");
    EXPECT_FALSE(rate->Points.empty());
    EXPECT_TRUE(run.results->Chart2.Find("SeriesFixedAcc"));

    // Its record in the JSON, with its own criterion; the results grid shows its column.
    const nlohmann::json j = relcli::FitJson(analysis.state, run, methods);
    ASSERT_TRUE(j.contains("ModFixed")) << j.dump();
    EXPECT_EQ(j["ModFixed"]["A"], 1.5);
    EXPECT_EQ(j["ModFixed"]["Criterion"], 15.0);
    EXPECT_TRUE(j.contains("ModSpir"));
    EXPECT_EQ(j["Result_Grid"][0][2], "Заданный закон");
    EXPECT_TRUE(j["Kolmogorov"].contains("ModFixed"));

    // The standard table does not know it: --models refuses the id there.
    request.models = "fixed";
    const rel::CheckedRequest standard = rel::CheckFitRequest(request, false);
    EXPECT_FALSE(standard.plan);
    EXPECT_EQ(standard.error.message, "неизвестная модель в --models: \"fixed\" (допустимы 1.1, 1.2, 2, 3)");
}

// English captions come from the record; a warranty load clears the record with the others.
TEST(MethodTable, AnAddedMethodHasItsEnglishNamesAndIsClearedByAWarrantyLoad) {
    const rel::MethodTable methods = WithFixedLaw();
    rel::FitRequest request;
    request.data = RELAN_EXAMPLES "/demo-fleet.txt";
    request.models = "fixed";
    const rel::CheckedRequest checked = rel::CheckFitRequest(request, false, methods);
    ASSERT_TRUE(checked.plan) << checked.error.message;
    rel::AnalysisState st;
    const rel::LoadedInputs in = rel::LoadInputs(st, request.data, "", '.');
    const rel::AnalysisRun run = rel::RunAnalysis(st, *checked.plan, in, {}, rel::EnglishWords(), methods);
    ASSERT_TRUE(run.results);
    EXPECT_EQ(run.results->Table.Cell(1, 0).text, "Given law");
    EXPECT_EQ(run.results->Chart1.Find("SeriesFixedRate")->Title, "Given Weibull law");
    ASSERT_TRUE(st.MoreModels.at("ModFixed").Executed);

    const rel::WarrantyResult w = rel::LoadWarrantyFile(st, RELAN_EXAMPLES "/gar-demo.txt", '.');
    ASSERT_TRUE(w.ok) << w.error;
    EXPECT_FALSE(st.MoreModels.at("ModFixed").Executed);
}

}  // namespace
