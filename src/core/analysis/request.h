// One analysis asked for from a command line (relan-cli fit, relan --report): the
// options as the user typed them, checked in one place, and the run they describe.
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/gen_run.h"
#include "analysis/load.h"
#include "data/failure_file.h"
#include "fit/calc_run.h"
#include "fit/defaults.h"
#include "fit/methods.h"

namespace rel {

// The options' texts as given; an empty optional was not given.
struct FitRequest {
    std::string data;                            // failure data file
    std::string warranty;                        // warranty end-time file (empty: none)
    std::string ages;                            // the fleet's ages file (empty: none)
    std::optional<std::string> usage;            // hours per month of the fleet's products
    std::string horizon = "12";                  // months of the forecast
    bool skipBadRows = false;                    // load the good failure rows of a file with bad ones
    std::string models = defaults::kModelsText;  // from 1.1, 1.2, 2, 3 and gen, comma-separated
    bool fitSred = false, fitSKO = false;
    std::string burnIn = defaults::kBurnInText;  // h
    std::string item = "1";                      // deviation form of the Pearson criterion
    std::optional<std::string> stepCoef11, stepCoef12, stepCoef2;
    std::optional<std::string> virtualClock;
    bool decimalComma = false;  // texts written with a decimal comma
    // The optimiser's settings.
    std::string population = defaults::kPopulationText;
    std::optional<std::string> generations;  // default: as the load sets it
    std::string precision = defaults::kPrecision.Text('.');
    std::string copyCount = defaults::kCopyCountText;
    std::optional<std::string> seed;                   // the optimiser's and model 3's bootstrap
    std::string bootstrap = defaults::kBootstrapText;  // model 3: bootstrap replicates (0: none)
    bool allCauses = false;                            // model 3 per cause: fit causes with few failures too
};

// A refused option: which one, and why in the words shown to the user.
struct RequestError {
    std::string option;   // "--burn-in"
    std::string message;  // "--burn-in: \"abc\" не является числом"
};

// The request checked: every option a number where it must be one. Nothing here
// depends on the input files.
struct FitPlan {
    std::string data, warranty, ages;
    double usage = std::numeric_limits<double>::quiet_NaN();  // NaN: not given
    int horizon = 12;
    BadRowPolicy badRows = BadRowPolicy::Refuse;
    std::vector<std::string> methods;  // ids as --models gives them, each once ("gen": the optimiser)
    bool Has(std::string_view id) const;
    int bootstrap = defaults::kBootstrap;
    bool allCauses = false;
    bool fitSred = false, fitSKO = false;
    double burnIn = defaults::kBurnIn;
    int item = 1;
    std::optional<std::string> stepCoef11, stepCoef12, stepCoef2;  // texts, either separator
    std::int64_t virtualClock = 0;
    char decimalSep = '.';
    GenTexts genTexts;  // precision with the run's separator; generations filled after the load
    bool generationsGiven = false;
    // Model 3's progress (steps done of the total), for a front end that shows it.
    std::function<void(int done, int total)> mlProgress;
};

// Highest rate of the virtual clock (criterion evaluations per second). Models 1.1
// and 1.2 evaluate their criterion over the histogram (at most 41 intervals), about a
// million times a second, and their time rules end them within about eleven virtual
// seconds: at this rate they end within two or three minutes whatever the fleet.
inline constexpr std::uint64_t kMaxVirtualClock = 10000000;

// Model 2 evaluates its criterion over every failure row and runs at least ten
// virtual seconds: the clock's rate times the failure rows may be at most this much.
// On 100,000 failures the highest rate is 2000, and model 2 ends within two minutes.
inline constexpr std::uint64_t kMaxVirtualClockWork = 200000000;

// Most bootstrap replicates of model 3's goodness of fit a request may ask for.
inline constexpr int kMaxBootstrap = 100000;

// Checks the request. `allowGen`: whether the optimiser may be asked for.
// Returns the plan, or the first refused option.
struct CheckedRequest {
    std::optional<FitPlan> plan;
    RequestError error;
};
// `methods`: the fitting methods --models may name.
CheckedRequest CheckFitRequest(const FitRequest& r, bool allowGen,
                               const MethodTable& methods = MethodTable::Standard());

// The virtual clock's rate against the loaded failures when model 2 is asked for:
// nothing when model 2 can end within minutes at that rate, otherwise the refusal of
// --virtual-clock naming the rate the file allows.
std::optional<RequestError> CheckClockForFailures(const FitPlan& plan, std::size_t failureRows);

// The run parameters as the window holds them after the loads: its warranty figures
// at the precision of the texts it shows, its defaults for the settings the plan
// leaves open (a step-reduction coefficient not given is the text the load writes).
RunParams RunParamsAfterLoad(const FitPlan& plan, const LoadedInputs& in, const AnalysisState& st);

// The accepted range of a figure the user types: the burn-in time and the warranty
// figures, as relan-cli's options and the window's fields take them (the same as a
// data file's header may hold).
struct FigureRange {
    double lo, hi;
    const char* text;  // "от 0 до 1e9 ч"
};
inline constexpr FigureRange kBurnInRange{0.0, kMaxHours, "от 0 до 1e9 ч"};
inline constexpr FigureRange kWarrantyRange{0.0, kMaxHours, "от 0 до 1e9 ч"};
inline bool InRange(double v, const FigureRange& r) { return v >= r.lo && v <= r.hi; }

// A number option: the point or the comma as decimal separator, a finite value
// within [lo, hi] (above lo when `aboveLo`). Nothing when the text is such a number;
// otherwise the refusal naming the option, the text and the range.
std::optional<RequestError> CheckNumberOption(const char* option, const std::string& text, double lo, double hi,
                                              bool aboveLo, const char* rangeText, double& value);

// A text of a number given on a command line with the point or the comma, written
// with the separator `sep` (as the window's box would hold it).
std::string WithSeparator(std::string text, char sep);

}  // namespace rel
