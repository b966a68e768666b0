// Loading the input files of an analysis into its state, and the texts a front end
// shows after a load. A failed load leaves the state exactly as it was.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "data/ages_file.h"
#include "data/failure_file.h"
#include "data/state.h"
#include "data/warranty_file.h"
#include "stats/empirical.h"

namespace rel {

// What a data-file load gives a front end to show; texts use the caller's decimal
// separator.
struct FailureFileView {
    std::string Title;              // the data set's title
    std::string SredText, SKOText;  // warranty end time: mean and deviation
    std::string ParkText;           // fleet size
    std::string FailuresText;       // independent failures (KolOtkNez)
    std::string PeriodText;         // accounting period (the mean again)
    // The fit settings a load puts back to their defaults.
    std::string StepCoef11Text, StepCoef12Text, StepCoef2Text;  // step-reduction coefficients
    std::string PrecisionText;                                  // the optimiser's precision
    std::optional<std::string> GenerationsText;                 // empty: the setting keeps its value
    std::vector<ShareMark> Marks;  // failure-list rows where shares of the fleet are reached
    std::vector<std::pair<double, double>> LnPoints, LnLine;  // log-log chart; LnLine empty: no line
};

struct LoadResult {
    bool ok = false;
    std::string error;  // why the load failed (ok == false)
    // Failure rows whose time cannot be taken (see BadRowPolicy); when the file was
    // loaded without them, a front end tells them with BadRowsSummary.
    std::vector<BadRow> BadRows;
    std::size_t GoodRows = 0;           // failure rows that can be loaded
    std::vector<std::string> Warnings;  // figures that the data leave undefined or degenerate
    FailureFileView view;
};

// Reads the data file and loads it.
// Bad failure rows refuse the file unless `policy` is Skip: then the good rows are
// loaded and the bad ones summed up in a warning.
LoadResult LoadFailureFile(AnalysisState& st, const std::string& path, char decimalSep,
                           BadRowPolicy policy = BadRowPolicy::Refuse);
// The same on the bytes of a file already read; `path` names it in the messages.
LoadResult LoadFailureBytes(AnalysisState& st, std::string_view bytes, const std::string& path, char decimalSep,
                            BadRowPolicy policy = BadRowPolicy::Refuse);

// Header texts of the failure list.
inline constexpr std::array<const char*, 4> kGridHeader = {" № отказа", "Наработка, ч", "Источник отказа",
                                                           "Описание отказа"};

// Row `i` of the failure list of the loaded failures (number, time, cause name with
// the share of the fleet reached there, description).
std::array<std::string, 4> FailureGridRow(const AnalysisState& st, const std::vector<ShareMark>& marks,
                                          std::size_t i, char decimalSep);

// The data file, then the warranty file when its path is not empty, loaded into a
// copy of the state that is put in place only when both succeeded.
struct LoadedInputs {
    LoadResult data;
    bool warrantyLoaded = false;
    WarrantyResult warranty;  // texts of the warranty load, when there was one
    bool agesLoaded = false;
    AgesResult ages;  // texts of the ages load, when there was one
    // Why the inputs could not be loaded (data.ok false, or the warranty load failed),
    // naming the file.
    std::string error;
};
// `agesPath` (not empty): the fleet's ages file, loaded last.
LoadedInputs LoadInputs(AnalysisState& st, const std::string& dataPath, const std::string& warrantyPath,
                        char decimalSep, BadRowPolicy policy = BadRowPolicy::Refuse,
                        const std::string& agesPath = {});

}  // namespace rel
