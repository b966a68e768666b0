// The genetic optimiser's start and a run without a window.
//
// StartGenRun is what the optimiser's start button does once the run parameters are
// in the state and the pre-run check has passed: the settings' texts read and
// checked, the fit flags set, the histogram rebuilt and the model record's interval
// arrays sized. The window and the command lines both call it.
//
// RunGenHeadless runs the optimiser on the calling thread for the command lines.
// The probabilities start at the window's defaults (55 and 15) and keep the
// positions the schedule gives them; nothing moves them by hand. Results output is
// left to the caller, after the run.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/state.h"
#include "fit/calc_run.h"
#include "fit/defaults.h"
#include "genetic/tgen.h"

namespace rel {

// Why a run cannot start: its settings are refused (an error to show), or the data
// give nothing to fit (a message).
struct GenStartRefusal {
    bool settings = false;  // true: refused settings; false: the data give nothing to fit
    std::string message;
};

// Reads the population size, the generation count and the precision (with the
// decimal separator `o.decimalSep`) into `o`, sets st.FitSred and st.FitSKO and
// prepares the histogram and ModGen's arrays. Nothing when the run can start.
std::optional<GenStartRefusal> StartGenRun(AnalysisState& st, std::string_view population,
                                           std::string_view generations, std::string_view precision, bool fitSred,
                                           bool fitSKO, GenOptions& o);

// The optimiser's settings as texts, as the window's second page holds them.
struct GenTexts {
    std::string population = defaults::kPopulationText;      // "Размер популяции"
    std::string generations = defaults::kGenerationsText;    // "Число поколений"
    std::string precision = defaults::kPrecision.Text('.');  // "Точность подбора", with the run's separator
    std::string copyCount = defaults::kCopyCountText;        // "шт."
    std::optional<std::uint64_t> seed;    // a repeatable run (no clock reseeding)
};

// A host that carries out the loop's control calls on plain values.
class HeadlessGenHost : public GenHost {
public:
    explicit HeadlessGenHost(std::string copyCount, MemoSink sink = {})
        : copyCount_(std::move(copyCount)), sink_(std::move(sink)) {}

    int CrossoverPercent() override { return crossover; }
    void SetCrossoverPercent(int pos) override { crossover = pos; }
    int MutationPercent() override { return mutation; }
    void SetMutationPercent(int pos) override { mutation = pos; }
    void ShowCounter(const std::string& text) override { counter = text; }
    void AppendMemo(const std::string& line) override;
    void SetProgress(int percent) override { progress = percent; }
    std::string CopyCountText() override { return copyCount_; }
    void DiaGen() override { ++diaGenCalls; }
    bool TerminationRequested() override { return false; }

    int crossover = 55, mutation = 15;  // the window's defaults
    std::string counter;                // last counter text
    int progress = 0;
    int diaGenCalls = 0;
    std::vector<std::string> memo;  // every line, in order

private:
    std::string copyCount_;
    MemoSink sink_;
};

struct GenRunResult {
    bool ok = false;     // the run took place (the settings and the data allowed it)
    std::string error;   // why it did not
    GenOutcome outcome;  // how it ended; outcome.resultsShown: the results are due
    std::vector<std::string> memo;
    std::string counter;   // the counter's last text
    int progress = 0;      // the progress afterwards
    double seconds = 0.0;  // wall time of the run
};

// Runs the optimiser on st. Takes SredGar, SKOGar, PeriodUchet, TPrirab, FitSred,
// FitSKO and decimalSep from p (the fit selection and coefficients of p are not
// used). Memo lines go to `sink` as they come and into the result. Refused
// settings, or data without histogram intervals or independent failures, give
// ok = false with the message and leave st as it was apart from the run parameters
// and the histogram.
GenRunResult RunGenHeadless(AnalysisState& st, const RunParams& p, const GenTexts& t, const MemoSink& sink = {});

}  // namespace rel
