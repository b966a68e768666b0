// The results of an analysis as a spreadsheet workbook (.xlsx) with numbers as
// numbers, and the results table as semicolon-separated text for a spreadsheet of
// the Russian locale. relan-cli fit --xlsx and the window's "Сохранить как Excel…"
// write the same workbook.
#pragma once

#include <string>

#include "frontend/file_write.h"
#include "data/state.h"
#include "fit/ml_fit.h"
#include "results/out_results.h"

namespace relcli {

// Sheets: "Результаты" (the title, the results table as shown, the fitted models'
// figures as numbers and model 3's intervals when `ml` is given), "Отказы" (every
// failure with its time and cause), "Гистограмма" (the intervals with their counts
// by cause). The workbook is made beside `path` and replaces it only once whole
// (see file_write.h); the outcome says why it was not written.
WriteOutcome WriteWorkbook(const std::string& path, const rel::AnalysisState& st,
                           const rel::ResultsContent& results, const rel::MlResult* ml);

// The results table as CSV: the cells as shown (the leading blank and trailing blanks
// dropped), `fieldSep` between cells, a cell quoted when it holds the separator, a
// quote or a line end; rows end with CR LF.
std::string TableCsv(const rel::ResultsTable& table, char fieldSep);

}  // namespace relcli
