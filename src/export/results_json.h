// The results as JSON for other programs: each fitted model's record (model 3 with
// its intervals and verdict), the memo, the warranty figures, the results table and
// the chart series. The fitted models are found through the method table, so a
// method added to the table is in the JSON with its record.
#pragma once

#include <nlohmann/json.hpp>
#include <vector>

#include "analysis/run.h"
#include "fit/methods.h"
#include "results/out_results.h"

namespace relcli {

// A JSON number with 17 significant digits; NaN and infinities become null.
nlohmann::json Num(double x);
nlohmann::json Nums(const std::vector<double>& xs);

// A fitted model record as JSON: A, B, K_powtor, Sred, SKO, Kol_Nakopl, SKO_out,
// Unsens, LamStart, Lam1000, Executed, Converged, the interval arrays F_Weib, F_norm, Kol_F_priv
// (the first value per histogram interval of st; model 2 keeps per-failure shares
// beyond them), Criterion (the model's own criterion at its result) and Seconds.
nlohmann::json ModelRecordJson(const rel::AnalysisState& st, const rel::Mod_Weib& M, double criterion,
                               double seconds);

// Model 3's record: estimates, intervals and verdict.
nlohmann::json ModMLJson(const rel::MlResult& r, double seconds);

// {"Label10": text, "Result_Grid": 12 rows of 6 texts, "Charts": {series name:
// {"chart", "title", "points": [[label, value], ...]}}} with, for Series18 and
// Series19, points [x, y]; non-finite numbers are null. "Messages" is added when the
// output has notes.
nlohmann::json ResultsJson(const rel::ResultsContent& rc);

// The forecast of a fleet in service: {InService, Remaining: [est, lo, hi], Months: [...]}.
nlohmann::json ForecastJson(const rel::MlForecast& f);
// Model 3 per cause: {"Causes": [...], "Test": {...}}.
nlohmann::json CausesJson(const rel::MlCauses& c);

// A model the run fitted: its method, its record and its wall time.
struct FittedModel {
    const rel::FitMethod* method;
    const rel::Mod_Weib* M;
    double seconds;
    bool likelihood;  // model 3: its criterion is the fit's log-likelihood
};

// The models the run fitted, in the order they ran (the optimiser's last).
std::vector<FittedModel> Fitted(const rel::AnalysisState& st, const rel::AnalysisRun& run,
                                const rel::MethodTable& methods = rel::MethodTable::Standard());

// The value of a model's own criterion at its result (model 3: its log-likelihood).
double OwnCriterion(const rel::AnalysisState& st, const FittedModel& f, int item, const rel::AnalysisRun& run);

// Model 3 on the ridge where the data cannot tell B and K apart: neither is a figure.
bool OnRidge(const FittedModel& f, const rel::AnalysisRun& run);

// The whole JSON object of a fit: a record per fitted model, "Memo2", and (unless the
// optimiser could not start) the warranty figures, "NPokoleny" of the optimiser, the
// results output and "error" when the calculation run stopped. `st` holds the model
// records after the results' write-back.
nlohmann::json FitJson(const rel::AnalysisState& st, const rel::AnalysisRun& run,
                       const rel::MethodTable& methods = rel::MethodTable::Standard());

}  // namespace relcli
