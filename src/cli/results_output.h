// The results output of relan-cli: the results table as text or CSV, and the
// table and chart series as JSON.
#pragma once

#include <nlohmann/json.hpp>
#include <ostream>

#include "export/results_json.h"
#include "results/out_results.h"

namespace relcli {

// The results table. Text: the columns up to the data column, each as wide as
// its longest text in characters (UTF-8 texts are measured in code points), cells
// left-aligned and separated by " | ", a rule under the header row. CSV: all 12
// rows of 6 cells, comma-separated, a cell quoted when it holds a comma, a quote
// or a line end. Cell texts are as the core gives them (the leading blank of the
// value cells kept, no padding).
void PrintResultsTable(std::ostream& os, const rel::ResultsContent& rc, bool csv);

// The results as one numeric table for scripts: a header row of figure names with
// their units, then a row per fitted model in the table's column order and a last
// row "data" of the figures taken from the operational data. Numbers are written
// with a point and as many digits as tell them apart exactly; a figure that is
// undefined or not determined by the data (model 3's B and K on its ridge) is an
// empty cell. Model 3's intervals have lo/hi columns of their own. `st` holds the
// model records after the results' write-back.
void PrintNumericCsv(std::ostream& os, const rel::AnalysisState& st, const rel::ResultsContent& rc,
                     const rel::MlResult* ml);

}  // namespace relcli
