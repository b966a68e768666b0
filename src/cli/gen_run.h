// The genetic optimiser without a window, for `relan-cli fit --models gen`.
//
// The run is prepared as the optimiser's start button prepares it (run parameters
// into the state, histogram rebuilt, the model record's interval arrays sized, gene
// count, precision and gene steps from the settings) and runs on the calling thread.
// The track bars start at the window's defaults (55 and 15) and keep the positions
// the schedule gives them; nothing moves them by hand. Results output is left to the
// caller, after the run.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "data/state.h"
#include "fit/calc_run.h"
#include "genetic/tgen.h"

namespace relcli {

struct GenCliOptions {
    int population = 3000;                // --population ("Размер популяции")
    int generations = 1500;               // --generations ("Число поколений"); the caller
                                          // passes what the window shows after the load
    std::string precision = "0.0000001";  // --precision ("Точность подбора"), point or comma
    std::string copyCount = "50";         // --copy-count (text of "шт.")
    std::optional<std::uint64_t> seed;    // --seed: a repeatable run (no clock reseeding)
};

// A host that carries out the loop's control calls on plain values.
class HeadlessGenHost : public rel::GenHost {
public:
    explicit HeadlessGenHost(std::string copyCount, rel::MemoSink sink = {})
        : copyCount_(std::move(copyCount)), sink_(std::move(sink)) {}

    int TrackBar1Position() override { return trackBar1; }
    void SetTrackBar1Position(int pos) override { trackBar1 = pos; }
    int TrackBar2Position() override { return trackBar2; }
    void SetTrackBar2Position(int pos) override { trackBar2 = pos; }
    void ShowNPokoleny(const std::string& text) override { nPokoleny = text; }
    void AppendMemo(const std::string& line) override;
    void SetProgress(int percent) override { progress = percent; }
    std::string CopyCountText() override { return copyCount_; }
    void DiaGen() override { ++diaGenCalls; }
    bool TerminationRequested() override { return false; }

    int trackBar1 = 55, trackBar2 = 15;   // the window's defaults
    std::string nPokoleny;                // last text shown in "Число поколений"
    int progress = 0;
    int diaGenCalls = 0;
    std::vector<std::string> memo;        // every line, in order

private:
    std::string copyCount_;
    rel::MemoSink sink_;
};

struct GenCliResult {
    bool ok = false;          // the run took place (the settings and the data allowed it)
    std::string error;        // why it did not
    rel::GenOutcome outcome;  // how it ended; outcome.resultsShown: the results are due
    std::vector<std::string> memo;
    std::string nPokoleny;    // what "Число поколений" shows afterwards
    int progress = 0;         // ProgressBar2 afterwards
    double seconds = 0.0;     // wall time of the run
};

// Runs the optimiser on st. Takes SredGar, SKOGar, PeriodUchet, TPrirab, FitSred,
// FitSKO and decimalSep from p (the fit selection and coefficients of p are not
// used). Memo lines go to `sink` as they come and into the result. Refused
// settings, or data without histogram intervals or independent failures, give
// ok = false with the message and leave st as it was apart from the run parameters
// and the histogram.
GenCliResult RunGenHeadless(rel::AnalysisState& st, const rel::RunParams& p,
                            const GenCliOptions& o, const rel::MemoSink& sink = {});


}  // namespace relcli
