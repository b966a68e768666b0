// The results table (Result_Grid of the results window): the fitted models side by
// side with the figures taken directly from the operational data. The core builds
// every text of the table and says what each column holds; how wide a column is
// drawn and how far a cell is padded is the window's business.
//
// What the window must do with a ResultsTable:
//   1. Blank columns 1 to 5 and write every cell Cells[row][col] (row 0 is the
//      header row, no fixed column).
//   2. Size every column by its kind Columns[c] (the row labels, a model, the
//      operational data); a column of kind ResColumn::Keep keeps the width it has.
//   3. Pad the cells marked padded with blanks to the width of their column
//      (SetResCell); other cells are written as they are.
// Nothing else is computed by the window.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "data/state.h"
#include "fit/methods.h"
#include "results/words.h"

namespace rel {

inline constexpr int kResRows = 12;
// Columns of the standard methods' table: the row labels, up to five models, the
// data column. A table of more methods has a column more for each.
inline constexpr int kResCols = 7;
// Columns every table shows (the labels, four models, the data column); a sixth
// column only when five models ran.
inline constexpr int kResShownCols = 6;

// What a column of the table holds.
enum class ResColumn : unsigned char {
    Keep,    // nothing of this output: the column keeps what it had
    Labels,  // column 0, the row labels
    Model,   // one fitted model
    Data,    // the figures taken directly from the operational data
};

// Shown in place of a figure that the data leave undefined (no number can be
// given: a burn-in window that is empty, a fleet of zero products, a statistic of
// fewer failures than it needs). A cell holding such a figure shows this alone.
inline constexpr const char* kNoValue = "—";

struct ResultCell {
    std::string text;     // SetResCell cells: one blank, then the value's text
    bool padded = false;  // SetResCell cell: blanks appended to the column's width
};

// One model column: which record fills it and its Kolmogorov figures (computed on
// a copy of the record; the record in the state keeps its KolmCrt).
struct ResultModelColumn {
    int column = 0;
    std::string record;          // "ModNewton", "ModSpir", "ModSmirn", "ModGen", "ModML"
    std::string caption;         // the header text of the column
    double KolmCrt = 0.0;        // lambda
    std::string KolmTxt;         // " <1.3581(0.05)" / " >1.3581(0.05)", empty when lambda is undefined
    bool Rejected = false;       // lambda above the critical value: the model does not fit the data
    std::string WarrantySource;  // where its warranty end times came from (ResultsWords' sources)
    bool Converged = true;       // its search ended on convergence, not on its time rule
};

struct ResultsTable {
    ResultsTable() : ResultsTable(kResCols) {}
    explicit ResultsTable(int columns)
        : Cells(kResRows, std::vector<ResultCell>(static_cast<std::size_t>(columns))),
          Columns(static_cast<std::size_t>(columns)) {}

    std::vector<std::vector<ResultCell>> Cells;  // [row][column]: kResRows rows of ColumnCount() cells
    std::vector<ResColumn> Columns;              // what each column holds
    int ColRes = 1;                              // the data column (1 + number of model columns)
    std::vector<ResultModelColumn> Models;       // in column order
    double TPrirab = 0.0;                        // burn-in time T0 the table used, h
    double LamData = 0.0;  // observed failures per product per 1000 h over (T0, 1000 h]; NaN: undefined
    double TEndLam = 0.0;  // end of the frequency window shown in the row 10 label, h
    // Sentences under the table: the models the Kolmogorov test rejects, and the
    // repetition coefficient the data cannot fix. Empty when there is nothing to say.
    std::vector<std::string> Notes;

    const ResultCell& Cell(int col, int row) const { return Cells[row][col]; }
    int ColumnCount() const { return static_cast<int>(Columns.size()); }
    // The columns to show: kResShownCols, or more when more models ran.
    int ShownColumns() const { return ColRes + 1 > kResShownCols ? ColRes + 1 : kResShownCols; }
};

// Observed failure frequency per product per 1000 h over (T0, 1000 h]: each failure
// in the window counts 1 / (1 - share of products out of warranty at its time).
// Undefined (NaN) when the window is empty (T0 of 1000 h or more) or the fleet is
// not positive.
double LamDataOf(const AnalysisState& st, double T0);
// The same, with st.TPrirab := T0 first.
double CalcLamData(AnalysisState& st, double T0);

// End of the frequency window named in the row 10 label: the last failure's time
// when it is below 1000 h, otherwise 1000 h (also without failures).
double TEndLamOf(const AnalysisState& st);

// The rows 1 to 11 of a model column as SetResCell receives them (without the
// leading blank): shape / scale, repetition coefficient, gamma lives at 50% and
// 90%, accumulated failures, confidence interval / deviation, warranty figures,
// Kolmogorov criterion (lambda and verdict), intensities, failures per product at
// 2000 / 4000 h. Figures that are not finite make their cell kNoValue.
std::array<std::string, 12> ModelColumnTexts(const Mod_Weib& M, double DelitOtk, double KolmCrt,
                                             const std::string& KolmTxt, char sep,
                                             const ResultsWords& words = RussianWords());

// The whole table, as the results output builds it after its charts: the executed
// models in the order of the method table (KolmogorovCrit on a copy of each record),
// then the row labels and the data column. kolNakopl holds each model's accumulated
// expected failures as the results output has summed them (in the table's order). T0 is
// the burn-in time of the frequency. When model 3 could not tell B and K apart
// (mlSeparable false) its column shows the scale as kNoValue and says so in place
// of the repetition coefficient (kMlNotSeparableCell).
ResultsTable BuildResultsTable(const AnalysisState& st, double T0, const std::vector<double>& kolNakopl, char sep,
                               bool mlSeparable = true, const ResultsWords& words = RussianWords(),
                               const MethodTable& methods = MethodTable::Standard());

}  // namespace rel
