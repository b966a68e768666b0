// Loading the input files for a command, keeping what the readers return for the
// window (grid rows, chart points, field texts) for commands that print them.
#pragma once

#include <string>
#include <vector>

#include "data/failure_file.h"
#include "data/state.h"
#include "data/warranty_file.h"

namespace relcli {

struct LoadedInputs {
    rel::FailureFileView data;           // texts, grid rows and points of the data load
    std::vector<std::string> messages;   // "Ошибка в строке №..." of the data file
    std::vector<std::string> warnings;   // degenerate figures of the data file
    bool warrantyLoaded = false;
    rel::WarrantyResult warranty;        // texts of the warranty load, when there was one
};

// Loads the data file, then the warranty file when its path is not empty, into a
// copy of the state, and puts the copy in place only when both succeeded. Line
// messages and warnings go to stderr as they are collected; a failure prints its
// reason to stderr and returns false with the state as before.
bool LoadInputsDetailed(rel::AnalysisState& st, const std::string& dataPath,
                        const std::string& warrantyPath, char decimalSep, LoadedInputs& out);

}  // namespace relcli
