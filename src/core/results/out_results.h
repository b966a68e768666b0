// The results output: everything the results window shows after a calculation
// run or an optimiser run, computed as plain data. The window turns the value into
// its title line, table and chart series without computing anything.
//
// How the window draws a ResultsContent:
//   Label10       the title line text.
//   Table         see results_table.h.
//   Chart1..3     remove every series, then create Series in vector order (the
//                 fixed series first, then the cause bars), each with:
//     Name        the object name of the series ("Series3", "Chart1 cause 2", ...).
//     Kind        area (filled down to the axis), line, smoothed line (spline), bar,
//                 or band (filled between each point's `low` and its y).
//     Step        a line or band drawn as steps: a point's value holds from its
//                 position to the next one's, where it steps to the next value.
//     Horizontal  Bottom: the point's x is its ordinal position among the intervals
//                 with failures (0, 1, 2, ...) and the bottom axis shows
//                 ChartContent::Labels[x] there, so long and short intervals are
//                 spaced alike; every point also carries that label.
//                 Top (Series18, Series19): x is a number on a linear top axis.
//     Vertical    Left or Right axis for y.
//     Title       the series' legend text (bar series: their title);
//                 InLegend false: the series has no legend entry.
//     Transparency  percent, 0 = opaque.
//     Marks       value marks shown at the points; the mark text of each point is
//                 its `mark` (Series17 only, "#,##0.#" by FormatGrouped).
//     Active      false: the series exists but is not drawn (the design-time bars
//                 Series14, Series16 and the line Series13).
//     Color       the series' colour; the points carry it too.
//     Dashed, LineWidth, CrossMarkSize  pen and pointer of a line (0: default).
//     Cause       cause number of a cause bar series, -1 for a fixed series.
//     Points      in order. A point that has no finite value is not in the list
//                 (its x position stays empty); nothing is ever to be computed.
//   LegendVisible / ContinuousLegendSymbols per chart; the axis titles and chart
//   titles are the window's own fixed texts. How several bar series share one x
//   position (side by side or stacked) is the window's choice.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "data/state.h"
#include "results/ml_summary.h"
#include "stats/mcf.h"
#include "fit/methods.h"
#include "results/words.h"
#include "results/results_table.h"

namespace rel {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Colours of the cause bars, indexed by cause number.
extern const std::array<Rgb, 54> CauseColors;
// The chart colour palette of the fixed series (blue, lime, aqua, red, fuchsia,
// yellow, navy, green, teal, maroon, purple, olive): a fixed series takes the
// entry of its position in the chart, modulo 12.
extern const std::array<Rgb, 12> ChartPalette;

enum class SeriesKind { Area, Line, SmoothLine, Bar, Band };
enum class HAxis { Bottom, Top };
enum class VAxis { Left, Right };

struct ChartPoint {
    double x = 0.0;  // ordinal position (bottom axis) or the top axis value
    double y = 0.0;
    std::string label;  // the interval's end time text; empty for Series18/19
    std::string mark;   // value mark text (Series17), else empty
    double low = 0.0;   // a band's lower edge (y is its upper edge)
};

struct ChartSeries {
    std::string Name;
    SeriesKind Kind = SeriesKind::Line;
    HAxis Horizontal = HAxis::Bottom;
    VAxis Vertical = VAxis::Left;
    std::string Title;
    bool InLegend = true;
    int Transparency = 0;
    bool Marks = false;
    bool Active = true;
    Rgb Color;
    bool Dashed = false;
    int LineWidth = 0;
    int CrossMarkSize = 0;
    bool Step = false;
    int Cause = -1;
    std::vector<ChartPoint> Points;
};

struct ChartContent {
    std::vector<ChartSeries> Series;  // fixed series, then the cause bars
    std::vector<std::string> Labels;  // bottom axis texts by ordinal position
    int FixedCount = 0;               // nSer1 / nSer2 / nSer3: series before the cause bars
    bool LegendVisible = false;
    bool ContinuousLegendSymbols = false;

    // The series of that name, or nullptr.
    const ChartSeries* Find(const std::string& name) const;
};

// One interval with failures as the output went through it (running figures
// after the interval: SumOtk and the model sums include it).
struct ResultInterval {
    int j = 0;          // index in ArrHist
    double tCur = 0.0;  // interval end rounded to a whole number of hours
    double K100 = 0.0;  // 100 / (tCur - tPrev)
    std::string LabT;   // number text of tCur
    double SumOtk = 0.0;
};

// A model's sums over the intervals with failures, as the results output leaves them
// in its record: Unsens of its Weibull probabilities (0 for model 2), Kol_Nakopl of
// its expected observed failures.
struct ModelSums {
    bool Executed = false;
    double Unsens = 0.0, Kol_Nakopl = 0.0;
};

// What the results output writes back into the state.
struct ResultsWriteBack {
    double TPrirab = 0.0;         // the burn-in time the output used
    int iFirstPos = -1;           // first failure with positive time
    std::vector<ModelSums> Sums;  // in the order of the method table
};

struct ResultsContent {
    std::string Label10;
    ResultsTable Table;
    ChartContent Chart1, Chart2, Chart3;

    // Working figures of the output.
    DoubArr Vybyv;                            // per ArrHist interval; 0 where no failures
    std::array<double, kMaxCauses> KolVid{};  // failures of each cause over all intervals
    std::vector<ResultInterval> Intervals;    // intervals with failures, in order
    double K100 = 0.0, SumOtk = 0.0;          // as after the last interval
    double tPrev = 0.0, tCur = 0.0;
    std::string LabT;
    // Notes for the memo (a burn-in text that is not a number); empty normally.
    std::vector<std::string> Messages;
    // Model 3's intervals, verdict and notes, when it ran.
    std::optional<MlSummary> ML;
    // The fleet's mean cumulative function with its band (model-free).
    Mcf MCF;
    ResultsWriteBack WriteBack;
};

// Builds the whole results output from the state, which it only reads.
//
// burnInText is the text of the burn-in field as the window holds it now. When it
// is a number (with decimalSep) the output uses it as the burn-in time; otherwise
// it keeps the TPrirab taken at the start of the run, shows it in the row 10 label
// and adds a note to Messages.
//
// The sums of the models (ModelSums) run over the intervals with failures. A model
// whose interval arrays are shorter than the histogram (fitted on an earlier
// histogram) has no value for the missing intervals: its sums become NaN, its points
// there are left out and its table cells that use them show kNoValue.
//
// groupSep is the thousands separator of the Series17 marks; empty: "," with a
// decimal point, a no-break space (U+00A0) with a decimal comma.
// `ml`: the result of model 3's fit, when it ran (its intervals and verdict).
// `words`: the labels, units and titles of the output (Russian by default).
// `methods`: the fitting methods whose records the output shows, in column order.
ResultsContent ComputeResults(const AnalysisState& st, const std::string& burnInText, char decimalSep,
                              const std::string& groupSep = {}, const MlResult* ml = nullptr,
                              const ResultsWords& words = RussianWords(),
                              const MethodTable& methods = MethodTable::Standard());

// What the results output writes back into the state, in one step:
//  - st.TPrirab := the burn-in time used; st.iFirstPos recomputed from the failure list;
//  - for every model that has run, Unsens and Kol_Nakopl := its sums; of a model
//    that has not run, models 2 and the optimiser's get 0 and 0, models 1.1 and 1.2
//    keep theirs.
void ApplyResults(AnalysisState& st, const ResultsWriteBack& wb,
                  const MethodTable& methods = MethodTable::Standard());

// ComputeResults followed by ApplyResults.
ResultsContent OutResults(AnalysisState& st, const std::string& burnInText, char decimalSep,
                          const std::string& groupSep = {}, const MlResult* ml = nullptr,
                          const ResultsWords& words = RussianWords(),
                          const MethodTable& methods = MethodTable::Standard());

}  // namespace rel
