// The figures a loaded failure list gives directly, before any model: the
// crossings of shares of the fleet (gamma-percent lives), the failures per product
// over 2000 h, and the log-log accumulation line with its points.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "data/records.h"
#include "data/state.h"

namespace rel {

// A row of the failure list where the failures reach a share of the fleet: the
// failure list shows the text after the row's cause name. Several shares may be
// reached on one row; the last one counts.
struct ShareMark {
    std::size_t row = 0;    // index into the sorted failures
    const char* text = "";  // ", отказов 10% от парка", ...
};

struct EmpiricalFigures {
    int iFirstPos = -1;                               // first failure with positive time, -1: none
    double A_LN = 0.0, B_LN = 0.0;                    // log-log line; both 0 when the data leave it undefined
    double Gamma90 = 0.0;                             // 10 % of the fleet reached, censoring-corrected
    double Gamma50Cenz = 0.0;                         // 50 %, censoring-corrected
    double Gamma50Nabl = 0.0;                         // 50 %, observed fleet
    double Otk2000 = 0.0;                             // failures per product over 2000 h
    bool CensorSaturated = false;                     // some failure's weight was capped at 2^53
    std::vector<ShareMark> Marks;                     // in the order they were reached
    std::vector<std::pair<double, double>> LnPoints;  // (ln t, ln i) of the failures at 1 h or more
    std::vector<std::pair<double, double>> LnLine;    // the line's two ends; empty: no line
};

// Largest weight 1 / (1 - P) of one failure: the value at the last P below 1.
inline constexpr double kMaxCensorWeight = 9007199254740992.0;  // 2^53

// The figures of failures sorted by time, for a fleet of `park` products whose
// warranty ends at normally distributed times (mean `sred`, deviation `sko`). Each
// failure weighs 1 / (1 - share of the fleet out of warranty at its time). A fleet
// that is not positive gives no crossings, no gamma lives and no failures per
// product (all 0).
EmpiricalFigures ComputeEmpiricalFigures(const FailureList& sorted, double park, double sred, double sko);

// Whether the log-log line A_LN, B_LN of the loaded data is defined: at least two
// failures at 1 h or more, not all at the same time. When it is not, the load
// leaves A_LN = B_LN = 0 and draws no line.
bool LnLineDefined(const AnalysisState& st);

}  // namespace rel
