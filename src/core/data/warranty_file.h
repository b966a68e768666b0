// The warranty end-time file: a title line, then one warranty end time (hours)
// per line. Loading it replaces the mean and deviation of the warranty end time.
#pragma once

#include <string>
#include <string_view>

#include "data/state.h"

namespace rel {

// Result of a load and the texts the main window shows (caller's decimal separator).
struct WarrantyResult {
    bool ok = false;
    std::string error;              // why the load failed (ok == false)
    std::string ShortName;          // abbreviated file name: drive, "\..", file name
    std::string Title;              // title line
    std::string CountText;          // number of times read
    std::string MeanText, SdText;   // mean and deviation, 6 digits, 3 decimals
    std::string SredText, SKOText;  // the same, 3 digits, 1 decimal (the run's warranty figures)
};

// Text of a file that cannot be opened.
inline constexpr const char* kWarrantyMissingText = "Указанный файл не существует";

// Reads and loads the file. When it cannot be opened: FileLoaded := false, error =
// "Указанный файл не существует", nothing else changes. Any other failure (a line
// that does not start with a number, fewer than two times) leaves the state as it
// was and says why. Blank lines are passed over. An empty path (no file chosen yet)
// changes nothing.
WarrantyResult LoadWarrantyFile(AnalysisState& st, const std::string& path, char decimalSep);
// The same on the bytes of a file already read; `path` names it in the texts.
WarrantyResult LoadWarrantyBytes(AnalysisState& st, std::string_view bytes, const std::string& path,
                                 char decimalSep);

// The abbreviated name of a file: "C:\..gar2024.txt" for C:\any\folder\gar2024.txt; a path
// without a drive letter gives its root ("/" or nothing) followed by "..".
std::string WarrantyShortName(const std::string& path);

}  // namespace rel
