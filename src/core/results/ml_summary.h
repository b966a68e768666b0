// What the results show of model 3 beyond its table column: its estimates with their
// 95 % intervals, its goodness-of-fit verdict and its notes, as texts.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "fit/ml_fit.h"
#include "results/words.h"

namespace rel {

struct MlSummaryRow {
    std::string label;     // "Форма A"
    std::string estimate;  // "1.299"
    std::string interval;  // "[1.210; 1.395]", "> 1.210" (open above), "< 1.395" (open below), "—"
};

// The forecast of a fleet in service as texts, and its figures for a chart.
struct ForecastSummary {
    std::string title;
    std::string
        remaining;  // "Ожидается еще отказов до окончания гарантии: 377.2, 95% прогнозный интервал [320; 440]"
    std::array<std::string, 5> columns;
    std::vector<std::array<std::string, 5>> rows;  // month, expected, interval, cumulative, interval
    MlForecast figures;
};

// Model 3 per cause as texts, and its figures for a chart.
struct CausesSummary {
    std::string title;
    std::array<std::string, 8> columns;
    // cause, failures, A, B, N2000, N4000, claims within warranty per product, share
    std::vector<std::array<std::string, 8>> rows;
    std::string verdict;  // "Один закон ...: χ² = 11,1 ..., p = 0,349 — законы отказов по причинам не различаются"
    std::vector<std::string> notes;
    std::string chartTitle, chartAxis;  // the chart of the expected claims per product by cause
    MlCauses figures;
};

struct MlSummary {
    std::string title;               // the heading of the block
    std::vector<MlSummaryRow> rows;  // parameters, then the figures engineers use
    std::string verdict;  // goodness of fit: "p = 0.43 (согласуется)"; empty without a bootstrap
    std::vector<std::string> notes;  // "K и B по данным не разделимы: ...", and the fit's other notes
    std::optional<ForecastSummary> forecast;  // a fleet in service
    std::optional<CausesSummary> causes;      // per cause, when fitted
};

// The texts of a model-3 result, numbers with the decimal separator `sep`.
MlSummary SummarizeML(const MlResult& r, char sep, const ResultsWords& words = RussianWords());

// The texts of model 3 per cause.
CausesSummary SummarizeCauses(const MlCauses& c, char sep, const ResultsWords& words = RussianWords());

// An interval as the summary writes it, with `decimals` decimals: "[lo; hi]", an
// open end as "> lo" or "< hi", both open "—".
std::string IntervalText(double lo, double hi, int decimals, char sep);

}  // namespace rel
