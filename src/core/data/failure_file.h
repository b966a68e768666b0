// The failure data file: header (title, warranty end time mean and deviation,
// fleet, declared failure count, one unused number), cause names, failure rows.
// Loading it fills the analysis state and returns what the main window shows.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "data/state.h"

namespace rel {

// What the main window shows after a load; texts use the caller's decimal separator.
struct FailureFileView {
    std::string Label10, meSred, meSKO, meKolAll, meKolOtk, LabeledEdit2;
    std::string Edit1, Edit6, Edit5, Edit2;     // the fit-setting defaults of a load
    std::optional<std::string> NPokoleny;       // empty: the field keeps its text
    std::vector<std::array<std::string, 4>> Grid;  // Problems_Grid rows, header row first
    std::vector<std::pair<double, double>> Series1, Series2;  // Series2 empty: no line
};

struct LoadResult {
    bool ok = false;
    std::string error;                   // why the load failed (ok == false)
    std::vector<std::string> Messages;   // "Ошибка в строке №..." of the failure rows, in order
    std::vector<std::string> Warnings;   // figures that the data leave undefined or degenerate
    FailureFileView view;
};

// Header texts of Problems_Grid.
inline constexpr std::array<const char*, 4> kGridHeader = {
    " № отказа", "Наработка, ч", "Источник отказа", "Описание отказа"};

// At most this many cause names in a file (53 causes with "Брак" and "Другие").
inline constexpr int kMaxNamedCauses = 51;
// Longest cause-name line, in characters before trimming.
inline constexpr std::size_t kCauseNameMaxLength = 20;
// Failure times beyond this many hours (either sign) are refused as misprints.
inline constexpr double kMaxFailureTime = 1e9;
// At most this many failure rows in a file (ten times the largest fleet record
// the optimiser's generation rule provides for); a longer file is refused.
inline constexpr std::size_t kMaxFailureRows = 1000000;
// Largest weight 1 / (1 - P) of one failure: the value at the last P below 1.
inline constexpr double kMaxCensorWeight = 9007199254740992.0;  // 2^53

// Reads the file and loads it. A failed load leaves the state exactly as it was.
LoadResult LoadFailureFile(AnalysisState& st, const std::string& path, char decimalSep);
// The same on the bytes of a file already read; `path` names it in the messages.
LoadResult LoadFailureBytes(AnalysisState& st, std::string_view bytes, const std::string& path,
                            char decimalSep);

// Splits the trimmed remainder of a failure row (the text after the time field's
// tab) at its first asterisk: the source text ends one character before the
// asterisk (the whole remainder when the asterisk comes first), the description
// starts with the second character after it. Without an asterisk the source is
// the whole remainder and the description is empty.
void SplitFailureRemainder(std::string_view rem, std::string& source, std::string& komment);

// Stable ascending sort of ArrProblems by time.
void SortProblems(AnalysisState& st);

// A failure time as Problems_Grid shows it: the general text (up to 15
// significant digits) with the given decimal separator.
std::string TimeText(double t, char sep);

// Whether the log-log line A_LN, B_LN of the loaded data is defined: at least two
// failures at 1 h or more, not all at the same time. When it is not, the reader
// leaves A_LN = B_LN = 0 and draws no line.
bool LnLineDefined(const AnalysisState& st);

// Reads a whole file into memory. On failure returns false and says why in Russian.
bool ReadFileBytes(const std::string& path, std::string& bytes, std::string& why);

}  // namespace rel
