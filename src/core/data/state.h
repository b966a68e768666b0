// The analysis state: everything one analysis keeps between its steps.
// The window owns one, the command-line tool owns one, tests build their own.
#pragma once

#include <limits>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/failure_list.h"
#include "data/records.h"

namespace rel {

// A fleet still in service, from the ages file: per product, its operating time now (h),
// its warranty end (h) when known and its operating hours per month when known (NaN when
// not).
struct FleetAges {
    std::string Title, Path;
    std::vector<double> Age, WarrantyEnd, Usage;
};

struct AnalysisState {
    // Loaded failure data.
    FailureList ArrProblems;             // sorted by time ascending
    std::vector<Vid_otkaza> ArrVidFile;  // causes in file order
    std::vector<Vid_otkaza> ArrVid;      // causes 2.. ordered by count, highest first
    int MaxPrich = 0;                    // highest cause number
    std::string DataTitle;               // first line of the last file read
    bool FileLoaded = false;
    double ParkFile = 0.0;          // fleet size as read
    double Park = 0.0;              // fleet size used by every figure
    int KolOtkAll = 0;              // header count, then failure rows + 1
    int KolOtkNez = 0;              // failures minus rejects
    int iFirstPos = -1;             // first failure with positive time, -1: none
    double A_LN = 0.0, B_LN = 0.0;  // log-log line: slope and intercept
    double Gamma90 = 0.0;           // 10 % of the fleet reached, censoring-corrected
    double Gamma50Cenz = 0.0;       // 50 %, censoring-corrected
    double Gamma50Nabl = 0.0;       // 50 %, observed fleet
    double Otk2000 = 0.0;           // failures per product over 2000 h
    double DelitOtk = 0.0;          // divisor of the accumulated-failure row
    DoubArr ArrGar;                 // warranty end times of the warranty file
    std::string WarrantyPath;       // the warranty file they came from (empty: none)
    // The fleet's ages (null: the data file is the fleet's complete warranty record). Shared
    // between copies of the state: it is never changed once loaded, only replaced.
    std::shared_ptr<const FleetAges> Ages;

    // Run parameters, taken from the window at the start of each run.
    double SredGar = 0.0;      // mean warranty end time, h
    double SKOGar = 0.0;       // its standard deviation, h
    double PeriodUchet = 0.0;  // accounting period (stored, unused)
    double TPrirab = 0.0;      // burn-in time, h
    bool FitSred = false;
    bool FitSKO = false;
    // The forecast of a fleet in service: operating hours per month of the products whose
    // line gives none (NaN: not given), and the months ahead.
    double UsageMonth = std::numeric_limits<double>::quiet_NaN();
    int Horizon = 12;
    std::string DataPath;

    // Failure-time histogram and its width steps.
    Hist40 ArrHist;
    int Shag1 = 100;
    int Shag2 = 100;

    // One model record per fitting method.
    Mod_Weib ModSpir;    // model 1.1, Pearson criterion, spiral descent
    Mod_Weib ModNewton;  // model 1.2, Pearson criterion, Newton-type steps
    Mod_Weib ModSmirn;   // model 2, Smirnov criterion
    Mod_Weib ModGen;     // genetic optimiser
    Mod_Weib ModML;      // model 3, maximum likelihood over the individual failures
    // The records of methods added to the standard ones, by record name.
    std::map<std::string, Mod_Weib, std::less<>> MoreModels;

    // The model record of that name ("ModSpir", or an added method's), nullptr: none.
    const Mod_Weib* ModelNamed(std::string_view record) const {
        if (record == "ModNewton") return &ModNewton;
        if (record == "ModSpir") return &ModSpir;
        if (record == "ModSmirn") return &ModSmirn;
        if (record == "ModGen") return &ModGen;
        if (record == "ModML") return &ModML;
        const auto it = MoreModels.find(record);
        return it == MoreModels.end() ? nullptr : &it->second;
    }

    // Every model record the state holds.
    template <class F>
    void ForEachModel(F f) {
        for (Mod_Weib* m : {&ModNewton, &ModSpir, &ModSmirn, &ModGen, &ModML}) f(*m);
        for (auto& entry : MoreModels) f(entry.second);
    }
};

}  // namespace rel
