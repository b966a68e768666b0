// relan-cli fit DATA [--warranty GAR] [--models 1.1,1.2,2,gen] [--fit-sred] [--fit-sko]
//                    [--burn-in T] [--item 0|1|2] [--step-coef-1.1 X] [--step-coef-1.2 X]
//                    [--step-coef-2 X] [--virtual-clock N] [--decimal-comma] [--json] [--csv]
//                    [--population N] [--generations N] [--precision P] [--copy-count N]
//                    [--seed S]
// Runs the analysis as the window does after a load (rel::Analyse): the memo
// lines as they come, then each fitted model and the results table.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <exception>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "analysis/run.h"
#include "cli/commands.h"
#include "cli/common.h"
#include "cli/english.h"
#include "frontend/analysis_options.h"
#include "cli/results_output.h"
#include "frontend/standard_output.h"
#include "export/workbook.h"
#include "fit/methods.h"
#include "stats/criteria.h"
#include "stats/distrib.h"
#include "text/format.h"
#include "text/text.h"

namespace relcli {

namespace {

void PrintModel(std::FILE* out, const rel::AnalysisState& st, const rel::AnalysisRun& run, const FittedModel& f,
                int item, char sep, Figures& g) {
    const rel::Mod_Weib& M = *f.M;
    const bool ridge = OnRidge(f, run);
    std::fprintf(out, "\n%s (%s):\n", f.method->title, f.method->record);
    std::fprintf(out, "  A (форма)            %s\n", g("A", M.A).c_str());
    std::fprintf(out, "  B (масштаб), ч       %s\n", ridge ? rel::kNoValue : g("B", M.B).c_str());
    std::fprintf(out, "  K_powtor             %s\n", ridge ? rel::kNoValue : g("K_powtor", M.K_powtor).c_str());
    if (ridge) std::fprintf(out, "  %s\n", rel::kMlNotSeparable);
    std::fprintf(out, "  Sred, ч              %s\n", g("Sred", M.Sred).c_str());
    std::fprintf(out, "  SKO, ч               %s\n", g("SKO", M.SKO).c_str());
    std::fprintf(out, "  SKO_out              %s\n", g("SKO_out", M.SKO_out).c_str());
    std::fprintf(out, "  LamStart             %s\n", g("LamStart", M.LamStart).c_str());
    std::fprintf(out, "  Lam1000              %s\n", g("Lam1000", M.Lam1000).c_str());
    std::fprintf(out, "  Критерий             %s\n", g("Критерий", OwnCriterion(st, f, item, run)).c_str());
    std::fprintf(out, "  Время расчета, с     %s\n", rel::FormatFixed(f.seconds, 1, 3, sep).c_str());
}

// A table of texts, each column as wide as its widest text: the first column to the
// left, the others to the right.
template <std::size_t N>
void PrintTable(std::FILE* out, const std::array<std::string, N>& columns,
                const std::vector<std::array<std::string, N>>& rows) {
    std::array<std::size_t, N> w{};
    for (std::size_t c = 0; c < N; ++c) {
        w[c] = rel::Utf8Length(columns[c]);
        for (const auto& row : rows) w[c] = std::max(w[c], rel::Utf8Length(row[c]));
    }
    auto line = [&](const std::array<std::string, N>& cells) {
        std::string l = " ";
        for (std::size_t c = 0; c < N; ++c) {
            const std::size_t pad = w[c] - rel::Utf8Length(cells[c]);
            l += " " + (c == 0 ? cells[c] + std::string(pad, ' ') : std::string(pad, ' ') + cells[c]);
        }
        std::fprintf(out, "%s\n", l.c_str());
    };
    line(columns);
    for (const auto& row : rows) line(row);
}

// Model 3's intervals, verdict and notes as the results show them.
void PrintMLSummary(std::FILE* out, const rel::MlSummary& s) {
    std::fprintf(out, "\n%s:\n", s.title.c_str());
    std::size_t width = 0;
    for (const rel::MlSummaryRow& r : s.rows) width = std::max(width, rel::Utf8Length(r.label));
    for (const rel::MlSummaryRow& r : s.rows) {
        std::string label = r.label;
        label.append(width - rel::Utf8Length(r.label), ' ');
        // The estimate right-aligned in ten columns of the terminal ("—" is one column).
        const std::size_t shown = rel::Utf8Length(r.estimate);
        const std::string estimate = std::string(shown < 10 ? 10 - shown : 0, ' ') + r.estimate;
        std::fprintf(out, "  %s  %s  %s\n", label.c_str(), estimate.c_str(), r.interval.c_str());
    }
    if (!s.verdict.empty()) std::fprintf(out, "  %s\n", s.verdict.c_str());
    for (const std::string& n : s.notes) std::fprintf(out, "  %s\n", n.c_str());
    if (s.forecast) {
        // The forecast: its total, then a table of the months.
        const rel::ForecastSummary& f = *s.forecast;
        std::fprintf(out, "\n%s:\n  %s\n", f.title.c_str(), f.remaining.c_str());
        if (!f.rows.empty()) PrintTable(out, f.columns, f.rows);
    }
    if (s.causes) {
        const rel::CausesSummary& c = *s.causes;
        std::fprintf(out, "\n%s:\n", c.title.c_str());
        PrintTable(out, c.columns, c.rows);
        if (!c.verdict.empty()) std::fprintf(out, "  %s\n", c.verdict.c_str());
        for (const std::string& n : c.notes) std::fprintf(out, "  %s\n", n.c_str());
    }
}

// What the command prints on standard output: the text of the run and its table
// (for a reader), the numeric table, one JSON object, or nothing but a workbook
// written there (--xlsx -).
enum class Format { Table, Csv, Json };

struct FitOutput {
    bool json = false;
    bool csv = false;
    std::string format;  // --format as given, empty: not given
    std::string xlsx;    // workbook to write, empty: none; "-": standard output
};

// The output options settled, or why they conflict.
struct OutputPlan {
    Format format = Format::Table;
    std::string xlsx;  // the workbook's path ("/dev/stdout" for "-")
    bool xlsxToStdout = false;
    std::string error;  // not empty: the options conflict
};

OutputPlan SettleOutput(const FitOutput& o, HelpLang lang) {
    OutputPlan p;
    const std::string oneFormat = Pick(lang, " exclude each other: give one output format",
                                       " исключают друг друга: укажите один формат вывода");
    int asked = 0;
    if (o.json) p.format = Format::Json, ++asked;
    if (o.csv) p.format = Format::Csv, ++asked;
    if (asked > 1) {
        p.error = Pick(lang, "--json and --csv", "--json и --csv") + oneFormat;
        return p;
    }
    if (!o.format.empty()) {
        const Format f = o.format == "json" ? Format::Json : o.format == "csv" ? Format::Csv : Format::Table;
        if (o.format != "table" && o.format != "csv" && o.format != "json") {
            p.error = "--format: «" + rel::EscapeControls(rel::Excerpt(o.format)) +
                      Pick(lang, "» — unknown format (table, csv or json)",
                           "» — неизвестный формат (допустимы table, csv, json)");
            return p;
        }
        if (asked > 0 && f != p.format) {
            p.error = std::string("--format ") + o.format + Pick(lang, " and ", " и ") +
                      (o.json ? "--json" : "--csv") + oneFormat;
            return p;
        }
        p.format = f;
    }
    p.xlsxToStdout = o.xlsx == "-";
    p.xlsx = p.xlsxToStdout ? "/dev/stdout" : o.xlsx;
    if (p.xlsxToStdout && ::isatty(STDOUT_FILENO)) {
        p.error =
            Pick(lang, "--xlsx -: standard output is a terminal; redirect it to a file or name a workbook file",
                 "--xlsx -: стандартный вывод — терминал; перенаправьте его в файл или укажите файл книги");
        return p;
    }
    if (p.xlsxToStdout && (asked > 0 || !o.format.empty())) {
        p.error = Pick(lang, "--xlsx - writes the workbook to standard output: not with --json, --csv or --format",
                       "--xlsx - пишет книгу в стандартный вывод: с --json, --csv и --format она несовместима");
        return p;
    }
    return p;
}

int RunFit(const rel::FitRequest& request, const FitOutput& given, HelpLang lang) {
    auto say = [lang](const std::string& text) { return Worded(text, lang); };
    const rel::CheckedRequest checked = rel::CheckFitRequest(request, true);
    if (!checked.plan) {
        std::fprintf(stderr, "relan-cli fit: %s\n", say(checked.error.message).c_str());
        return kExitUsage;
    }
    const OutputPlan o = SettleOutput(given, lang);
    if (!o.error.empty()) {
        std::fprintf(stderr, "relan-cli fit: %s\n", say(o.error).c_str());
        return kExitUsage;
    }
    // The workbook's place is checked before the fit, not found unwritable after it.
    if (!o.xlsx.empty()) {
        if (const WriteOutcome can = CheckWritable(o.xlsx); !can) {
            std::fprintf(stderr, "%s\n", WriteFailureText(o.xlsx, can, lang).c_str());
            return kExitWrite;
        }
    }
    rel::FitPlan plan = *checked.plan;
    // Model 3's steps on a terminal: one line rewritten in place, erased at the end.
    const bool showProgress = plan.Has("3") && ::isatty(STDERR_FILENO);
    if (showProgress)
        plan.mlProgress = [lang](int done, int total) {
            std::fprintf(stderr, "\r%s %d / %d", Pick(lang, "Model 3: step", "Модель 3: шаг"), done, total);
            if (done >= total) std::fprintf(stderr, "\r\033[K");
            std::fflush(stderr);
        };
    const char sep = plan.decimalSep;
    rel::AnalysisState st;
    rel::LoadedInputs in;
    if (!LoadInputs(st, plan.data, plan.warranty, sep, in, plan.badRows, lang, plan.ages)) return kExitInput;
    // Model 2's cost grows with the failures: the clock's rate is checked against them.
    if (const auto bad = rel::CheckClockForFailures(plan, st.ArrProblems.size())) {
        std::fprintf(stderr, "relan-cli fit: %s\n", say(bad->message).c_str());
        return kExitUsage;
    }

    // The analysis; each memo line is printed as it comes: on standard output for a
    // reader, on standard error when standard output carries a table or a workbook.
    const bool json = o.format == Format::Json;
    const bool machine = o.format != Format::Table || o.xlsxToStdout;
    std::FILE* text = machine ? stderr : stdout;
    rel::MemoSink sink;
    if (!json) {
        std::fprintf(text, "Ход решения\n");
        sink = [text](const std::string& line) {
            std::fprintf(text, "%s\n", line.c_str());
            if (text == stdout) FlushStandardOutput();
        };
    }
    // The model records as the window and the report hold them after the results
    // output: the accumulated counts and the burn-in time written back.
    const rel::AnalysisResult analysis = rel::Analyse(std::move(st), plan, in, sink);
    if (showProgress) std::fprintf(stderr, "\r\033[K");
    const rel::AnalysisState& fitted = analysis.state;
    const rel::AnalysisRun& run = analysis.run;
    const int item = run.params.item;
    const std::vector<FittedModel> models = Fitted(fitted, run);
    const bool genFailed = run.gen && !run.gen->ok;

    if (json) {
        if (genFailed) std::fprintf(stderr, "%s: %s\n", plan.data.c_str(), say(run.error).c_str());
        PrintJson(FitJson(fitted, run));
    } else if (genFailed) {
        // The optimiser could not start: its reason, and nothing of the run before it.
        std::fprintf(stderr, "%s: %s\n", plan.data.c_str(), say(run.error).c_str());
    } else {
        Figures figures(sep);
        for (const FittedModel& f : models) PrintModel(text, fitted, run, f, item, sep, figures);
        if (!figures.Note().empty()) std::fprintf(text, "%s\n", figures.Note().c_str());
        if (!models.empty() || run.gen)
            std::fprintf(text, "\nSredGar = %s, SKOGar = %s\n", rel::FormatGeneral(fitted.SredGar, sep).c_str(),
                         rel::FormatGeneral(fitted.SKOGar, sep).c_str());
        if (run.results) {
            std::fprintf(text, "\n%s\n", rel::EscapeControls(run.results->Label10).c_str());  // holds the title
            if (o.format == Format::Csv) {
                PrintNumericCsv(std::cout, fitted, *run.results, run.calc.ml ? &*run.calc.ml : nullptr);
                FlushStandardOutput();
            } else if (!machine) {
                FlushStandardOutput();
                PrintResultsTable(std::cout, *run.results, false);
                FlushStandardOutput();
            }
            if (run.results->ML && o.format == Format::Table) PrintMLSummary(text, *run.results->ML);
        }
    }
    if (!o.xlsx.empty() && run.results) {
        const WriteOutcome written =
            WriteWorkbook(o.xlsx, fitted, *run.results, run.calc.ml ? &*run.calc.ml : nullptr);
        if (!written) {
            std::fprintf(stderr, "%s\n", WriteFailureText(o.xlsx, written, lang).c_str());
            return kExitWrite;
        }
    }
    if (genFailed) return kExitRun;
    if (!run.calc.ok) {
        // The data give nothing to fit (the options were checked before the load).
        std::fprintf(stderr, "%s: %s\n", plan.data.c_str(), say(run.error).c_str());
        return kExitRun;
    }
    return kExitOk;
}

}  // namespace

void RegisterFit(CLI::App& app, int& status, HelpLang lang) {
    auto t = [lang](const char* en, const char* ru) { return std::string(Pick(lang, en, ru)); };
    CLI::App* cmd = app.add_subcommand(
        "fit",
        t("Run the calculation: rebuild the histogram, fit the chosen models, print the memo lines and the "
          "models",
          "Выполнить расчет: построить гистограмму, подобрать выбранные модели, вывести ход решения, модели "
          "и таблицу результатов"));
    SetCommandWords(*cmd, lang);
    auto options = std::make_shared<AnalysisOptions>(*cmd, true, lang);
    auto out = std::make_shared<FitOutput>();
    auto comma = std::make_shared<bool>(false);
    cmd->add_flag("--decimal-comma", *comma,
                  t("read and write numbers with a decimal comma", "читать и писать числа с десятичной запятой"));
    cmd->add_flag("--json", out->json, t("print one JSON object", "вывести один объект JSON"));
    cmd->add_flag("--csv", out->csv,
                  t("print the results as one numeric CSV table (the run's text on standard error)",
                    "вывести результаты одной числовой таблицей CSV (ход решения - в поток ошибок)"));
    cmd->add_option("--format", out->format,
                    t("standard output: table (the default), csv or json",
                      "формат стандартного вывода: table (по умолчанию), csv или json"));
    cmd->add_option("--xlsx", out->xlsx,
                    t("also write the results, the failures and the histogram as a workbook (-: to standard "
                      "output)",
                      "записать также книгу Excel: результаты, отказы и гистограмму (-: в стандартный вывод)"));
    cmd->callback([options, out, comma, &status, lang] {
        rel::FitRequest request = options->Request();
        request.decimalComma = *comma;
        try {
            status = RunFit(request, *out, lang);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s: %s\n", Pick(lang, "Error", "Ошибка"), e.what());
            status = kExitInput;
        }
    });
}

}  // namespace relcli
