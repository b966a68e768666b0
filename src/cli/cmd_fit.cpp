// relan-cli fit DATA [--warranty GAR] [--models 1.1,1.2,2] [--fit-sred] [--fit-sko]
//                    [--burn-in T] [--item 0|1|2] [--step-coef-1.1 X] [--step-coef-1.2 X]
//                    [--step-coef-2 X] [--virtual-clock N] [--decimal-comma] [--json] [--csv]
//                    [--population N] [--generations N] [--precision P] [--copy-count N]
//                    [--seed S]
// Runs the calculation as "Расчет" does: the window's defaults after a load (model 1.1
// only, item 1, burn-in 300 h, the coefficients the data-file reader writes, the
// warranty figures as the window shows them), the memo lines as they come, then
// each fitted model and the results table. With "gen" among the models the genetic
// optimiser runs after the calculation, on its own histogram build, as a user pressing
// "Расчет" and then the optimiser's button would.
#include <cstdint>
#include <cstdio>
#include <exception>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/common.h"
#include "cli/gen_run.h"
#include "cli/results_output.h"
#include "cli/inputs.h"
#include "fit/calc_run.h"
#include "text/format.h"
#include "stats/criteria.h"
#include "stats/distrib.h"
#include "text/text.h"

namespace relcli {

namespace {

struct FitCliOptions {
    std::string data, warranty;
    std::string models = "1.1";
    bool fitSred = false, fitSKO = false;
    double burnIn = 300;
    int item = rel::kItemStandard;
    std::string coef11, coef12, coef2;  // empty: the reader's defaults
    std::int64_t virtualClock = 0;
    bool decimalComma = false;
    bool json = false;
    bool csv = false;
    // The genetic optimiser's settings ("Размер популяции", "Число поколений",
    // "Точность подбора", "шт.") and a fixed seed for a repeatable run.
    GenCliOptions gen;
    bool generationsGiven = false;
};

// "1.1,1.2,2,gen" into the three boxes and the optimiser; false on an unknown model.
bool ParseModels(const std::string& list, rel::RunParams& p, bool& gen, std::string& bad) {
    p.SpirSpusk = p.BoxNewton = p.BoxSmirnow = false;
    gen = false;
    std::stringstream ss(list);
    std::string m;
    while (std::getline(ss, m, ',')) {
        if (m == "1.1")
            p.SpirSpusk = true;
        else if (m == "1.2")
            p.BoxNewton = true;
        else if (m == "2")
            p.BoxSmirnow = true;
        else if (m == "gen")
            gen = true;
        else if (!m.empty()) {
            bad = m;
            return false;
        }
    }
    return true;
}

// The value of a model's own criterion at its result.
enum class Crit { Pearson, Smirnov, Hist };

double OwnCriterion(const rel::AnalysisState& st, const rel::Mod_Weib& M, Crit crit, int item) {
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
    const char* caption;  // check box caption
    const rel::Mod_Weib* M;
    Crit crit;
    double seconds;
};

std::vector<FittedModel> Fitted(const rel::AnalysisState& st, const rel::RunResult& r) {
    std::vector<FittedModel> out;
    if (r.spiral) out.push_back({"ModSpir", "Модель 1.1 по Пирсону, метод спирального спуска", &st.ModSpir, Crit::Pearson, r.wallSpiral});
    if (r.newton) out.push_back({"ModNewton", "Модель 1.2 по Пирсону, метод Ньютона", &st.ModNewton, Crit::Pearson, r.wallNewton});
    if (r.smirnov) out.push_back({"ModSmirn", "Модель 2 (по Смирнову)", &st.ModSmirn, Crit::Smirnov, r.wallSmirnov});
    return out;
}

nlohmann::json ModelJson(const rel::AnalysisState& st, const FittedModel& f, int item) {
    return ModelRecordJson(st, *f.M, OwnCriterion(st, *f.M, f.crit, item), f.seconds);
}

void PrintModel(const rel::AnalysisState& st, const FittedModel& f, int item, char sep) {
    const rel::Mod_Weib& M = *f.M;
    auto g = [sep](double x) { return rel::FormatGeneral(x, sep); };
    std::printf("\n%s (%s):\n", f.caption, f.name);
    std::printf("  A (форма)            %s\n", g(M.A).c_str());
    std::printf("  B (масштаб), ч       %s\n", g(M.B).c_str());
    std::printf("  K_powtor             %s\n", g(M.K_powtor).c_str());
    std::printf("  Sred, ч              %s\n", g(M.Sred).c_str());
    std::printf("  SKO, ч               %s\n", g(M.SKO).c_str());
    std::printf("  SKO_out              %s\n", g(M.SKO_out).c_str());
    std::printf("  LamStart             %s\n", g(M.LamStart).c_str());
    std::printf("  Lam1000              %s\n", g(M.Lam1000).c_str());
    std::printf("  Критерий             %s\n", g(OwnCriterion(st, M, f.crit, item)).c_str());
    std::printf("  Время расчета, с     %s\n", rel::FormatFixed(f.seconds, 1, 3, sep).c_str());
}

int RunFit(const FitCliOptions& o) {
    const char sep = o.decimalComma ? ',' : '.';
    rel::AnalysisState st;
    LoadedInputs in;
    if (!LoadInputsDetailed(st, o.data, o.warranty, sep, in)) return kExitInput;

    // 1. The run parameters, as the window holds them after the load(s).
    rel::RunParams p;
    std::string bad;
    bool gen = false;
    if (!ParseModels(o.models, p, gen, bad)) {
        std::fprintf(stderr, "Неизвестная модель в --models: \"%s\" (допустимы 1.1, 1.2, 2, gen)\n",
                     bad.c_str());
        return kExitUsage;
    }
    // The window converts the texts it shows, so a run takes the warranty figures at
    // the precision of those texts.
    const std::string& sredText = in.warrantyLoaded ? in.warranty.meSred : in.data.meSred;
    const std::string& skoText = in.warrantyLoaded ? in.warranty.meSKO : in.data.meSKO;
    p.SredGar = rel::ParseLocaleNumber(sredText, sep).value_or(st.SredGar);
    p.SKOGar = rel::ParseLocaleNumber(skoText, sep).value_or(st.SKOGar);
    p.PeriodUchet = rel::ParseLocaleNumber(in.data.LabeledEdit2, sep).value_or(0.0);
    p.TPrirab = o.burnIn;
    p.FitSred = o.fitSred;
    p.FitSKO = o.fitSKO;
    p.Edit1 = o.coef11.empty() ? in.data.Edit1 : o.coef11;
    p.Edit6 = o.coef12.empty() ? in.data.Edit6 : o.coef12;
    p.Edit5 = o.coef2.empty() ? in.data.Edit5 : o.coef2;
    p.item = o.item;
    p.decimalSep = sep;
    p.clock.evaluationsPerSecond = o.virtualClock;

    // 2. The calculation run ("Расчет") when a deterministic model is chosen, then the
    // optimiser; in text mode each memo line is printed as it comes.
    rel::MemoSink sink;
    if (!o.json) {
        std::printf("Ход решения\n");
        sink = [](const std::string& line) {
            std::printf("%s\n", line.c_str());
            std::fflush(stdout);
        };
    }
    const bool calc = p.SpirSpusk || p.BoxNewton || p.BoxSmirnow || !gen;
    rel::RunResult r;
    r.ok = true;
    if (calc) r = rel::CalculationRun(st, p, sink);
    std::vector<std::string> memo = r.memo;
    const std::vector<FittedModel> models = calc ? Fitted(st, r) : std::vector<FittedModel>{};
    nlohmann::json j = nlohmann::json::object();
    // The model figures as the fits leave them: the results output below uses
    // Kol_Nakopl and Unsens of the records as its running sums.
    for (const FittedModel& f : models) j[f.name] = ModelJson(st, f, p.item);

    GenCliResult g;
    bool genRan = false;
    if (gen && r.ok) {
        GenCliOptions go = o.gen;
        if (!o.generationsGiven) {
            // "Число поколений" as the window shows it after the load.
            const auto n = rel::ParseIntText(in.data.NPokoleny.value_or("1500"));
            go.generations = n ? static_cast<int>(*n) : 1500;
        }
        g = RunGenHeadless(st, p, go, sink);
        memo.insert(memo.end(), g.memo.begin(), g.memo.end());
        if (!g.ok) {
            std::fprintf(stderr, "%s\n", g.error.c_str());
            if (o.json) {
                j["Memo2"] = memo;
                j["error"] = g.error;
                std::printf("%s\n", j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
            }
            return kExitUsage;
        }
        genRan = true;
        if (g.outcome.modelWritten) j["ModGen"] = ModelJson(st, {"ModGen", "", &st.ModGen, Crit::Hist, g.seconds}, p.item);
    }

    // 3. The results output, as the window shows it at the end of the last run.
    const bool showResults = r.ok && (genRan ? g.outcome.resultsShown || calc : true);
    std::optional<rel::ResultsContent> rc;
    if (showResults) rc = rel::OutResults(st, rel::FormatGeneral(p.TPrirab, sep), sep);

    if (o.json) {
        j["Memo2"] = memo;
        j["SredGar"] = Num(st.SredGar);
        j["SKOGar"] = Num(st.SKOGar);
        if (genRan) j["NPokoleny"] = g.nPokoleny;
        if (rc) {
            const nlohmann::json res = ResultsJson(*rc);
            for (auto it = res.begin(); it != res.end(); ++it) j[it.key()] = it.value();
        }
        if (!r.ok) j["error"] = r.error;
        std::printf("%s\n", j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
    } else {
        for (const FittedModel& f : models) PrintModel(st, f, p.item, sep);
        if (genRan && g.outcome.modelWritten) {
            const FittedModel f{"ModGen", "Генетический алгоритм", &st.ModGen, Crit::Hist, g.seconds};
            PrintModel(st, f, p.item, sep);
        }
        if (!models.empty() || genRan)
            std::printf("\nSredGar = %s, SKOGar = %s\n", rel::FormatGeneral(st.SredGar, sep).c_str(),
                        rel::FormatGeneral(st.SKOGar, sep).c_str());
        if (rc) {
            std::printf("\n%s\n", rc->Label10.c_str());
            std::fflush(stdout);
            PrintResultsTable(std::cout, *rc, o.csv);
            std::cout.flush();
        }
    }
    if (!r.ok) {
        std::fprintf(stderr, "%s\n", r.error.c_str());
        return r.errorField.empty() ? kExitInput : kExitUsage;
    }
    return kExitOk;
}

}  // namespace

void RegisterFit(CLI::App& app, int& status) {
    auto o = std::make_shared<FitCliOptions>();
    CLI::App* cmd = app.add_subcommand(
        "fit", "Run the calculation: rebuild the histogram, fit the chosen models, print the "
               "memo lines and the models");
    cmd->add_option("DATA", o->data, "failure data file")->required();
    cmd->add_option("--warranty", o->warranty, "warranty end-time file, loaded after the data file");
    cmd->add_option("--models", o->models, "models to fit, from 1.1,1.2,2")->capture_default_str();
    cmd->add_flag("--fit-sred", o->fitSred, "also fit the mean warranty end time");
    cmd->add_flag("--fit-sko", o->fitSKO, "also fit its standard deviation");
    cmd->add_option("--burn-in", o->burnIn, "burn-in time, h")->capture_default_str();
    cmd->add_option("--item", o->item, "deviation form of the Pearson criterion")
        ->check(CLI::Range(0, 2))
        ->capture_default_str();
    cmd->add_option("--step-coef-1.1", o->coef11, "step-reduction coefficient of model 1.1 (text)");
    cmd->add_option("--step-coef-1.2", o->coef12, "step-reduction coefficient of model 1.2 (text)");
    cmd->add_option("--step-coef-2", o->coef2, "step-reduction coefficient of model 2 (text)");
    cmd->add_option("--virtual-clock", o->virtualClock,
                    "elapsed time = criterion evaluations / N: repeatable fits")
        ->check(CLI::PositiveNumber);
    cmd->add_flag("--decimal-comma", o->decimalComma, "read and write numbers with a decimal comma");
    cmd->add_flag("--json", o->json, "print one JSON object");
    cmd->add_flag("--csv", o->csv, "print the results table as CSV");
    cmd->add_option("--population", o->gen.population, "optimiser: population size")
        ->capture_default_str();
    cmd->add_option("--generations", o->gen.generations,
                    "optimiser: number of generations (default: as set by the load)");
    cmd->add_option("--precision", o->gen.precision, "optimiser: relative precision")
        ->capture_default_str();
    cmd->add_option("--copy-count", o->gen.copyCount,
                    "optimiser: members put back by a copy-back")
        ->capture_default_str();
    cmd->add_option("--seed", o->gen.seed, "optimiser: fixed seed, repeatable run");
    cmd->callback([o, cmd, &status] {
        o->generationsGiven = cmd->count("--generations") > 0;
        try {
            status = RunFit(*o);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "Ошибка: %s\n", e.what());
            status = kExitInput;
        }
    });
}

}  // namespace relcli
