#include "export/results_json.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "results/results_table.h"

namespace relcli {

nlohmann::json Num(double x) {
    if (!std::isfinite(x)) return nullptr;
    return x;
}

nlohmann::json Nums(const std::vector<double>& xs) {
    nlohmann::json a = nlohmann::json::array();
    for (double x : xs) a.push_back(Num(x));
    return a;
}

nlohmann::json ModelRecordJson(const rel::AnalysisState& st, const rel::Mod_Weib& M, double criterion,
                               double seconds) {
    const std::size_t H = st.ArrHist.size();
    auto intervals = [H](const rel::DoubArr& a) {
        return std::vector<double>(a.begin(), a.begin() + static_cast<std::ptrdiff_t>(std::min(H, a.size())));
    };
    nlohmann::json j = nlohmann::json::object();
    j["A"] = Num(M.A);
    j["B"] = Num(M.B);
    j["K_powtor"] = Num(M.K_powtor);
    j["Sred"] = Num(M.Sred);
    j["SKO"] = Num(M.SKO);
    j["Kol_Nakopl"] = Num(M.Kol_Nakopl);
    j["SKO_out"] = Num(M.SKO_out);
    j["Unsens"] = Num(M.Unsens);
    j["LamStart"] = Num(M.LamStart);
    j["Lam1000"] = Num(M.Lam1000);
    j["Executed"] = M.Executed;
    j["Converged"] = M.Converged;
    j["F_Weib"] = Nums(intervals(M.F_Weib));
    j["F_norm"] = Nums(intervals(M.F_norm));
    j["Kol_F_priv"] = Nums(intervals(M.Kol_F_priv));
    j["Criterion"] = Num(criterion);
    j["Seconds"] = Num(seconds);
    return j;
}

namespace {

// [estimate, lo, hi], null for an open end or an undefined figure.
nlohmann::json Triple(const rel::MlEstimate& e) {
    return nlohmann::json::array({Num(e.est), Num(e.lo), Num(e.hi)});
}

}  // namespace

// Model 3's record: estimates, intervals and verdict.
nlohmann::json ModMLJson(const rel::MlResult& r, double seconds) {
    nlohmann::json j = nlohmann::json::object();
    // On the ridge B and K are not figures of the data: null, with "Separable" false.
    j["A"] = Num(r.A);
    j["B"] = r.Separable ? Num(r.B) : nullptr;
    j["K_powtor"] = r.Separable ? Num(r.K_powtor) : nullptr;
    j["Sred"] = Num(r.Sred);
    j["SKO"] = Num(r.SKO);
    j["LogLik"] = Num(r.LogLik);
    j["D"] = r.D;
    j["Separable"] = r.Separable;
    j["GofLambda"] = Num(r.GofLambda);
    j["GofP"] = Num(r.GofP);
    j["GofReplicates"] = r.GofReplicates;
    j["Seconds"] = Num(seconds);
    j["Intervals"] = {{"A", nlohmann::json::array({Num(r.IntA.lo), Num(r.IntA.hi)})},
                      {"B", nlohmann::json::array({Num(r.IntB.lo), Num(r.IntB.hi)})},
                      {"K_powtor", nlohmann::json::array({Num(r.IntK.lo), Num(r.IntK.hi)})},
                      {"N2000", Triple(r.N2000)},
                      {"N4000", Triple(r.N4000)},
                      {"N6000", Triple(r.N6000)},
                      {"Gamma90", Triple(r.Gamma90)},
                      {"Gamma50", Triple(r.Gamma50)}};
    j["Notes"] = r.Notes;
    return j;
}

nlohmann::json ForecastJson(const rel::MlForecast& f) {
    nlohmann::json months = nlohmann::json::array();
    for (const rel::MlForecastMonth& m : f.Months)
        months.push_back({{"Month", m.Month},
                          {"Expected", Num(m.Expected)},
                          {"Lo", Num(m.Lo)},
                          {"Hi", Num(m.Hi)},
                          {"Cumulative", Num(m.Cumulative)},
                          {"CumLo", Num(m.CumLo)},
                          {"CumHi", Num(m.CumHi)}});
    return {{"InService", f.InService},
            {"Remaining", nlohmann::json::array({Num(f.Remaining.est), Num(f.Remaining.lo), Num(f.Remaining.hi)})},
            {"Months", std::move(months)}};
}

// Model 3 per cause: a row per cause with failures and the test of one law for all.
nlohmann::json CausesJson(const rel::MlCauses& c) {
    auto est = [](const rel::MlEstimate& e) { return nlohmann::json::array({Num(e.est), Num(e.lo), Num(e.hi)}); };
    nlohmann::json rows = nlohmann::json::array();
    for (const rel::MlCauseFit& f : c.causes) {
        nlohmann::json r = {{"Cause", f.cause},     {"Name", f.name},     {"Failures", f.failures},
                            {"TooFew", f.tooFew},   {"Fitted", f.fitted}, {"Claims", est(f.Claims)},
                            {"Share", Num(f.Share)}};
        if (f.fitted) {
            r["A"] = est(f.IntA);
            r["A"][0] = Num(f.A);
            r["Separable"] = f.Separable;
            r["B"] = f.Separable ? nlohmann::json(Num(f.B)) : nlohmann::json(nullptr);
            r["K_powtor"] = f.Separable ? nlohmann::json(Num(f.K)) : nlohmann::json(nullptr);
            r["N2000"] = est(f.N2000);
            r["N4000"] = est(f.N4000);
            r["LogLik"] = Num(f.LogLik);
        }
        if (!f.error.empty()) r["error"] = f.error;
        rows.push_back(std::move(r));
    }
    nlohmann::json j = {{"Causes", std::move(rows)}};
    if (c.tested) j["Test"] = {{"Chi2", Num(c.Chi2)}, {"Df", c.Df}, {"P", Num(c.P)}, {"Differ", c.Differ}};
    return j;
}

nlohmann::json ResultsJson(const rel::ResultsContent& rc) {
    nlohmann::json j = nlohmann::json::object();
    j["Label10"] = rc.Label10;

    nlohmann::json grid = nlohmann::json::array();
    for (int row = 0; row < rel::kResRows; ++row) {
        nlohmann::json r = nlohmann::json::array();
        for (int c = 0; c < rc.Table.ShownColumns(); ++c) r.push_back(rc.Table.Cell(c, row).text);
        grid.push_back(std::move(r));
    }
    j["Result_Grid"] = std::move(grid);
    // The Kolmogorov verdict of each model column, and the notes under the table.
    nlohmann::json kolm = nlohmann::json::object();
    for (const rel::ResultModelColumn& m : rc.Table.Models)
        kolm[m.record] = {{"Lambda", Num(m.KolmCrt)}, {"Rejected", m.Rejected}};
    if (!kolm.empty()) j["Kolmogorov"] = std::move(kolm);
    if (!rc.Table.Notes.empty()) j["Result_Notes"] = rc.Table.Notes;
    // The mean cumulative function at each distinct failure time.
    nlohmann::json mcf = nlohmann::json::array();
    for (const rel::McfPoint& p : rc.MCF.points)
        mcf.push_back({{"t", Num(p.t)}, {"Value", Num(p.Value)}, {"Lo", Num(p.Lo)}, {"Hi", Num(p.Hi)}});
    j["MCF"] = std::move(mcf);

    nlohmann::json charts = nlohmann::json::object();
    const std::pair<const char*, const rel::ChartContent*> all[] = {
        {"Chart1", &rc.Chart1}, {"Chart2", &rc.Chart2}, {"Chart3", &rc.Chart3}};
    for (const auto& [chartName, chart] : all) {
        for (const rel::ChartSeries& s : chart->Series) {
            nlohmann::json pts = nlohmann::json::array();
            for (const rel::ChartPoint& p : s.Points) {
                if (s.Horizontal == rel::HAxis::Top)
                    pts.push_back(nlohmann::json::array({Num(p.x), Num(p.y)}));
                else if (s.Kind == rel::SeriesKind::Band)  // a band: its lower and upper edges
                    pts.push_back(nlohmann::json::array({p.label, Num(p.low), Num(p.y)}));
                else
                    pts.push_back(nlohmann::json::array({p.label, Num(p.y)}));
            }
            charts[s.Name] = {{"chart", chartName}, {"title", s.Title}, {"points", std::move(pts)}};
        }
    }
    j["Charts"] = std::move(charts);
    if (!rc.Messages.empty()) j["Messages"] = rc.Messages;
    return j;
}

std::vector<FittedModel> Fitted(const rel::AnalysisState& st, const rel::AnalysisRun& run,
                                const rel::MethodTable& methods) {
    std::vector<FittedModel> out;
    for (const rel::FitReport& r : run.calc.fits) {
        const rel::FitMethod* m = methods.Find(r.id);
        if (!m || !r.summary.ok) continue;
        out.push_back({m, &rel::RecordOf(st, *m), r.wall, !m->criterion});
    }
    const rel::FitMethod* gen = methods.Find("gen");
    if (gen && run.gen && run.gen->outcome.modelWritten)
        out.push_back({gen, &rel::RecordOf(st, *gen), run.gen->seconds, false});
    return out;
}

double OwnCriterion(const rel::AnalysisState& st, const FittedModel& f, int item, const rel::AnalysisRun& run) {
    if (f.likelihood) return run.calc.ml ? run.calc.ml->LogLik : std::nan("");
    return f.method->criterion(st, *f.M, item);
}

bool OnRidge(const FittedModel& f, const rel::AnalysisRun& run) {
    return f.likelihood && run.calc.ml && !run.calc.ml->Separable;
}

nlohmann::json FitJson(const rel::AnalysisState& st, const rel::AnalysisRun& run,
                       const rel::MethodTable& methods) {
    const bool genFailed = run.gen && !run.gen->ok;
    nlohmann::json j = nlohmann::json::object();
    for (const FittedModel& f : Fitted(st, run, methods)) {
        if (f.likelihood && run.calc.ml)
            j[f.method->record] = ModMLJson(*run.calc.ml, f.seconds);
        else
            j[f.method->record] = ModelRecordJson(st, *f.M, OwnCriterion(st, f, run.params.item, run), f.seconds);
    }
    j["Memo2"] = run.memo;
    if (genFailed) {
        j["error"] = run.error;
        return j;
    }
    j["SredGar"] = Num(st.SredGar);
    j["SKOGar"] = Num(st.SKOGar);
    if (run.gen) j["NPokoleny"] = run.gen->counter;
    if (run.results) {
        const nlohmann::json res = ResultsJson(*run.results);
        for (auto it = res.begin(); it != res.end(); ++it) j[it.key()] = it.value();
    }
    if (run.calc.ml && run.calc.ml->ok && run.calc.ml->Forecast.InService)
        j["Forecast"] = ForecastJson(run.calc.ml->Forecast);
    if (run.calc.ml && run.calc.ml->ok && !run.calc.ml->Causes.causes.empty())
        j["ByCause"] = CausesJson(run.calc.ml->Causes);
    if (!run.calc.ok) j["error"] = run.error;
    return j;
}

}  // namespace relcli
