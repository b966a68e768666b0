// relan-cli fit DATA [--warranty GAR] [--models 1.1,1.2,2,gen] [--fit-sred] [--fit-sko]
//                    [--burn-in T] [--item 0|1|2] [--step-coef-1.1 X] [--step-coef-1.2 X]
//                    [--step-coef-2 X] [--virtual-clock N] [--decimal-comma] [--json] [--csv]
//                    [--population N] [--generations N] [--precision P] [--copy-count N]
//                    [--seed S]
// Runs the analysis as the window does after a load (rel::RunAnalysis): the memo
// lines as they come, then each fitted model and the results table.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "analysis/run.h"
#include "cli/commands.h"
#include "cli/common.h"
#include "cli/fit_options.h"
#include "cli/results_output.h"
#include "cli/standard_output.h"
#include "cli/workbook.h"
#include "results/models.h"
#include "stats/criteria.h"
#include "stats/distrib.h"
#include "text/format.h"
#include "text/text.h"

namespace relcli {

namespace {

// The value of a model's own criterion at its result (model 3: its log-likelihood).
enum class Crit { Pearson, Smirnov, Hist, Likelihood };

double OwnCriterion(const rel::AnalysisState& st, const rel::Mod_Weib& M, Crit crit, int item,
                    const rel::AnalysisRun& run) {
    if (crit == Crit::Likelihood) return run.calc.ml ? run.calc.ml->LogLik : std::nan("");
    rel::Mod_Weib w;
    if (crit == Crit::Hist) {
        return rel::HistCrit(st, w, st.ArrHist, M.A, M.B, M.K_powtor, M.Sred, M.SKO);
    }
    if (crit == Crit::Smirnov) {
        for (const auto& p : st.ArrProblems) w.F_norm.push_back(rel::NormF(M.Sred, M.SKO, p.time));
        return rel::SmirnovCrit(st, w, M.A, M.B, M.K_powtor);
    }
    return rel::PearsonCrit(st, w, M.A, M.B, M.K_powtor, M.Sred, M.SKO, item);
}

struct FittedModel {
    const char* name;     // record name
    const char* caption;  // how the model is named to the user
    const rel::Mod_Weib* M;
    Crit crit;
    double seconds;
};

// The models the run fitted, in the order they ran.
std::vector<FittedModel> Fitted(const rel::AnalysisState& st, const rel::AnalysisRun& run) {
    std::vector<FittedModel> out;
    auto info = [](const char* record) {
        for (const rel::ModelInfo& m : rel::kModels)
            if (std::string(m.record) == record) return m;
        return rel::kModels[0];
    };
    auto add = [&](const char* record, Crit crit, double seconds) {
        const rel::ModelInfo m = info(record);
        out.push_back({m.record, m.title, &(st.*m.member), crit, seconds});
    };
    const rel::RunResult& r = run.calc;
    if (r.spiral) add("ModSpir", Crit::Pearson, r.wallSpiral);
    if (r.newton) add("ModNewton", Crit::Pearson, r.wallNewton);
    if (r.smirnov) add("ModSmirn", Crit::Smirnov, r.wallSmirnov);
    if (r.ml && r.ml->ok) add("ModML", Crit::Likelihood, r.wallML);
    if (run.gen && run.gen->outcome.modelWritten) add("ModGen", Crit::Hist, run.gen->seconds);
    return out;
}

void PrintModel(const rel::AnalysisState& st, const rel::AnalysisRun& run, const FittedModel& f, int item,
                char sep, Figures& g) {
    const rel::Mod_Weib& M = *f.M;
    std::printf("\n%s (%s):\n", f.caption, f.name);
    std::printf("  A (форма)            %s\n", g("A", M.A).c_str());
    std::printf("  B (масштаб), ч       %s\n", g("B", M.B).c_str());
    std::printf("  K_powtor             %s\n", g("K_powtor", M.K_powtor).c_str());
    std::printf("  Sred, ч              %s\n", g("Sred", M.Sred).c_str());
    std::printf("  SKO, ч               %s\n", g("SKO", M.SKO).c_str());
    std::printf("  SKO_out              %s\n", g("SKO_out", M.SKO_out).c_str());
    std::printf("  LamStart             %s\n", g("LamStart", M.LamStart).c_str());
    std::printf("  Lam1000              %s\n", g("Lam1000", M.Lam1000).c_str());
    std::printf("  Критерий             %s\n", g("Критерий", OwnCriterion(st, M, f.crit, item, run)).c_str());
    std::printf("  Время расчета, с     %s\n", rel::FormatFixed(f.seconds, 1, 3, sep).c_str());
}

// [estimate, lo, hi], null for an open end or an undefined figure.
nlohmann::json Triple(const rel::MlEstimate& e) {
    return nlohmann::json::array({Num(e.est), Num(e.lo), Num(e.hi)});
}

// Model 3's record: estimates, intervals and verdict.
nlohmann::json ModMLJson(const rel::MlResult& r, double seconds) {
    nlohmann::json j = nlohmann::json::object();
    j["A"] = Num(r.A);
    j["B"] = Num(r.B);
    j["K_powtor"] = Num(r.K_powtor);
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

// Model 3's intervals, verdict and notes as the results show them.
void PrintMLSummary(const rel::MlSummary& s) {
    std::printf("\n%s:\n", s.title.c_str());
    std::size_t width = 0;
    for (const rel::MlSummaryRow& r : s.rows) width = std::max(width, rel::Utf8Length(r.label));
    for (const rel::MlSummaryRow& r : s.rows) {
        std::string label = r.label;
        label.append(width - rel::Utf8Length(r.label), ' ');
        // The estimate right-aligned in ten columns of the terminal ("—" is one column).
        const std::size_t shown = rel::Utf8Length(r.estimate);
        const std::string estimate = std::string(shown < 10 ? 10 - shown : 0, ' ') + r.estimate;
        std::printf("  %s  %s  %s\n", label.c_str(), estimate.c_str(), r.interval.c_str());
    }
    if (!s.verdict.empty()) std::printf("  %s\n", s.verdict.c_str());
    for (const std::string& n : s.notes) std::printf("  %s\n", n.c_str());
}

struct FitOutput {
    bool json = false;
    bool csv = false;
    std::string xlsx;  // workbook to write, empty: none
};

int RunFit(const rel::FitRequest& request, const FitOutput& o) {
    const rel::CheckedRequest checked = rel::CheckFitRequest(request, true);
    if (!checked.plan) {
        std::fprintf(stderr, "relan-cli fit: %s\n", checked.error.message.c_str());
        return kExitUsage;
    }
    const rel::FitPlan& plan = *checked.plan;
    const char sep = plan.decimalSep;
    rel::AnalysisState st;
    rel::LoadedInputs in;
    if (!LoadInputs(st, plan.data, plan.warranty, sep, in, plan.badRows)) return kExitInput;
    // Model 2's cost grows with the failures: the clock's rate is checked against them.
    if (const auto bad = rel::CheckClockForFailures(plan, st.ArrProblems.size())) {
        std::fprintf(stderr, "relan-cli fit: %s\n", bad->message.c_str());
        return kExitUsage;
    }

    // The analysis; in text mode each memo line is printed as it comes.
    rel::MemoSink sink;
    if (!o.json) {
        std::printf("Ход решения\n");
        sink = [](const std::string& line) {
            std::printf("%s\n", line.c_str());
            FlushStandardOutput();
        };
    }
    const rel::AnalysisRun run = rel::RunAnalysis(st, plan, in, sink);
    // The model records as the window and the report hold them after the results
    // output: the accumulated counts and the burn-in time written back.
    if (run.results) rel::ApplyResults(st, run.results->WriteBack);
    const int item = run.params.item;
    const std::vector<FittedModel> models = Fitted(st, run);
    const bool genFailed = run.gen && !run.gen->ok;

    if (o.json) {
        nlohmann::json j = nlohmann::json::object();
        for (const FittedModel& f : models) {
            if (f.crit == Crit::Likelihood)
                j[f.name] = ModMLJson(*run.calc.ml, f.seconds);
            else
                j[f.name] = ModelRecordJson(st, *f.M, OwnCriterion(st, *f.M, f.crit, item, run), f.seconds);
        }
        j["Memo2"] = run.memo;
        if (genFailed) {
            j["error"] = run.error;
        } else {
            j["SredGar"] = Num(st.SredGar);
            j["SKOGar"] = Num(st.SKOGar);
            if (run.gen) j["NPokoleny"] = run.gen->counter;
            if (run.results) {
                const nlohmann::json res = ResultsJson(*run.results);
                for (auto it = res.begin(); it != res.end(); ++it) j[it.key()] = it.value();
            }
            if (!run.calc.ok) j["error"] = run.error;
        }
        if (genFailed) std::fprintf(stderr, "%s: %s\n", plan.data.c_str(), run.error.c_str());
        PrintJson(j);
    } else if (genFailed) {
        // The optimiser could not start: its reason, and nothing of the run before it.
        std::fprintf(stderr, "%s: %s\n", plan.data.c_str(), run.error.c_str());
    } else {
        Figures figures(sep);
        for (const FittedModel& f : models) PrintModel(st, run, f, item, sep, figures);
        if (!figures.Note().empty()) std::printf("%s\n", figures.Note().c_str());
        if (!models.empty() || run.gen)
            std::printf("\nSredGar = %s, SKOGar = %s\n", rel::FormatGeneral(st.SredGar, sep).c_str(),
                        rel::FormatGeneral(st.SKOGar, sep).c_str());
        if (run.results) {
            std::printf("\n%s\n", rel::EscapeControls(run.results->Label10).c_str());  // holds the title
            FlushStandardOutput();
            PrintResultsTable(std::cout, *run.results, o.csv);
            FlushStandardOutput();
            if (run.results->ML && !o.csv) PrintMLSummary(*run.results->ML);
        }
    }
    if (!o.xlsx.empty() && run.results) {
        const WriteOutcome written =
            WriteWorkbook(o.xlsx, st, *run.results, run.calc.ml ? &*run.calc.ml : nullptr);
        if (!written) {
            std::fprintf(stderr, "%s\n", FailureMessage(o.xlsx, written).c_str());
            return kExitWrite;
        }
    }
    if (genFailed) return kExitRun;
    if (!run.calc.ok) {
        // The data give nothing to fit (the options were checked before the load).
        std::fprintf(stderr, "%s: %s\n", plan.data.c_str(), run.error.c_str());
        return kExitRun;
    }
    return kExitOk;
}

}  // namespace

void RegisterFit(CLI::App& app, int& status) {
    CLI::App* cmd =
        app.add_subcommand("fit",
                           "Run the calculation: rebuild the histogram, fit the chosen models, print the "
                           "memo lines and the models");
    auto options = std::make_shared<FitOptions>(*cmd, true, HelpLang::English);
    auto out = std::make_shared<FitOutput>();
    auto comma = std::make_shared<bool>(false);
    cmd->add_flag("--decimal-comma", *comma, "read and write numbers with a decimal comma");
    cmd->add_flag("--json", out->json, "print one JSON object");
    cmd->add_flag("--csv", out->csv, "print the results table as CSV");
    cmd->add_option("--xlsx", out->xlsx, "also write the results, the failures and the histogram as a workbook");
    cmd->callback([options, out, comma, &status] {
        rel::FitRequest request = options->Request();
        request.decimalComma = *comma;
        try {
            status = RunFit(request, *out);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "Ошибка: %s\n", e.what());
            status = kExitInput;
        }
    });
}

}  // namespace relcli
