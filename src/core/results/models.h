// The fitted models the results show, in the order of the results table's columns,
// with what each one contributes to the table and the charts. A new fitting method
// is one more entry here (and its series in the charts' fixed series).
#pragma once

#include <array>

#include "data/state.h"

namespace rel {

struct ModelInfo {
    const char* record;               // the record's name: "ModSpir"
    Mod_Weib AnalysisState::*member;  // the record in the state
    const char* tableCaption;         // header of its results-table column
    const char* title;                // how the model is named to the user
    // Result chart series (nullptr: none): failures per 100 h of the Weibull law and
    // as observed under warranty (Chart1), accumulated failures per product of the
    // law and as observed (Chart2).
    const char* rate;
    const char* rateObserved;
    const char* accumulated;
    const char* accumulatedObserved;
    // Whether the results output keeps the record's sums of a model that has not
    // run (models 1.1 and 1.2) rather than clearing them.
    bool keepSumsWhenIdle;
    // Whether the model's series are in the charts only when it ran (a method added
    // to the written four); theirs are always there, empty when they did not run.
    bool seriesOnlyWhenRun = false;
};

// In the order of the results table's columns.
inline constexpr std::array<ModelInfo, 5> kModels = {{
    {"ModNewton", &AnalysisState::ModNewton, "Пирсона/Ньютона", "Модель 1.2 по Пирсону, метод Ньютона", "Series20",
     "Series21", "Series22", "Series23", true},
    {"ModSpir", &AnalysisState::ModSpir, "Пирсона/спир.спуск", "Модель 1.1 по Пирсону, метод спирального спуска",
     "Series3", "Series2", "Series8", "Series9", true},
    {"ModSmirn", &AnalysisState::ModSmirn, "Критерий Смирнова", "Модель 2 (по Смирнову)", nullptr, "Series4",
     nullptr, "Series10", false},
    {"ModGen", &AnalysisState::ModGen, "Генетическая", "Генетический алгоритм", "Series6", "Series5", "Series11",
     "Series12", false},
    {"ModML", &AnalysisState::ModML, "Макс. правдоподобия", "Модель 3 (макс. правдоподобия)", "Series24",
     "Series25", "Series26", "Series27", false, true},
}};

}  // namespace rel
