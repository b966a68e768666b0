// The fitting methods: one record each, in the order of the results table's columns.
// A record names the method (its id on the command line, its model record, its
// captions in both languages, its chart series), says how it is fitted (its fit
// function and its criterion) and which settings it takes (a step coefficient). The
// calculation run, the results table and charts, JSON, CSV, the workbook, the report,
// relan-cli's --models, the window's check boxes and the warranty load's reset all
// go through the table: a new method is one record and one fit function.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "data/state.h"
#include "fit/calc_run.h"
#include "fit/fits.h"

namespace rel {

// Fits the method on the loaded data with the run's settings; reads and returns,
// writes nothing. `opt` carries the method's step coefficient when it has one.
using FitFunction = std::function<FitReport(const AnalysisState& st, const RunParams& p, const FitOptions& opt)>;

// The method's own criterion at a record's parameters, for the printouts of a fit.
using CriterionFunction = std::function<double(const AnalysisState& st, const Mod_Weib& M, int item)>;

struct FitMethod {
    std::string id;                             // as --models names it: "1.1"
    const char* record = "";                    // the model record's name: "ModSpir"
    Mod_Weib AnalysisState::*member = nullptr;  // the record in the state; nullptr: st.MoreModels[record]
    const char* tableCaption = "";              // header of its results-table column
    const char* tableCaptionEn = "";
    const char* title = "";  // how the model is named to the user
    const char* titleEn = "";
    // Result chart series (nullptr: none): failures per 100 h of the Weibull law and
    // as observed under warranty (Chart1), accumulated failures per product of the
    // law and as observed (Chart2).
    const char* rate = nullptr;
    const char* rateObserved = nullptr;
    const char* accumulated = nullptr;
    const char* accumulatedObserved = nullptr;
    // Whether the results output keeps the record's sums of a model that has not
    // run (models 1.1 and 1.2) rather than clearing them.
    bool keepSumsWhenIdle = false;
    // Whether the model's series are in the charts only when it ran (methods added to
    // the first four); theirs are always there, empty when they did not run.
    bool seriesOnlyWhenRun = true;
    // Place in a calculation run: methods run by ascending rank (a later fit starts
    // from the warranty figures an earlier one fitted).
    int runRank = 100;
    // The fit; empty for a method the calculation run does not run (the optimiser,
    // which runs on its own).
    FitFunction fit;
    // Its own criterion; empty: the fit's own figure (model 3's log-likelihood).
    CriterionFunction criterion;
    // Its step-reduction coefficient (nullptr: none): the setting's text, the box's
    // caption, and the field a refused text names.
    std::string RunParams::*stepCoef = nullptr;
    const char* stepLabel = nullptr;
    RunField stepField = RunField::None;
    // Whether the run sizes the record's interval arrays to the histogram before it
    // reads the coefficient (model 1.1: a refused text leaves them sized).
    bool sizesRecordFirst = false;
    // The window's check box that asks for the method (object name); nullptr: none.
    const char* checkBox = nullptr;
};

class MethodTable {
public:
    // Models 1.2, 1.1, 2, the optimiser and 3, in the order of the table's columns.
    static const MethodTable& Standard();

    // Adds a method after the others (its column last). Returns *this.
    MethodTable& Add(FitMethod m);

    std::size_t size() const { return methods_.size(); }
    const FitMethod& operator[](std::size_t i) const { return methods_[i]; }
    std::vector<FitMethod>::const_iterator begin() const { return methods_.begin(); }
    std::vector<FitMethod>::const_iterator end() const { return methods_.end(); }

    // The method of that id or record name, nullptr when there is none.
    const FitMethod* Find(std::string_view id) const;
    const FitMethod* FindRecord(std::string_view record) const;
    // The methods a run fits, by ascending run rank.
    std::vector<const FitMethod*> InRunOrder() const;
    // The ids for a message: "1.1, 1.2, 2, 3" (with the optimiser's "gen" when `withGen`).
    std::string IdList(bool withGen) const;

private:
    std::vector<FitMethod> methods_;
};

// The method's record in the state.
Mod_Weib& RecordOf(AnalysisState& st, const FitMethod& m);
const Mod_Weib& RecordOf(const AnalysisState& st, const FitMethod& m);

}  // namespace rel
