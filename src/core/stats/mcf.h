// The mean cumulative function of the fleet: the model-free estimate of the expected
// failures per product by operating time t, with its 95 % confidence band.
//
// At each failure time t (rejects below 1 h left out, as in the other figures) the
// estimate grows by 1/R(t) a failure, R(t) the products still observed at t: from the
// fleet's ages when loaded (a product is observed up to its age and its warranty end),
// else from the warranty file's list (one end a product when the list holds the fleet,
// otherwise its shares), else from the warranty law (fleet × P(W ≥ t)). Its variance is
// the Poisson-type Σ 1/R² (the data do not name the product of each failure), and the
// band is taken on the log scale so that it stays positive: M·exp(±1.96·√V/M). Where
// fewer than one product is still observed the estimate stops.
#pragma once

#include <optional>
#include <vector>

#include "data/state.h"

namespace rel {

struct McfPoint {
    double t = 0;      // a distinct failure time, h
    double Value = 0;  // failures per product by t
    double Lo = 0, Hi = 0;
};

struct Mcf {
    std::vector<McfPoint> points;  // ascending in t
    bool stopped = false;          // failures beyond where fewer than one product is observed
    // The latest operating time at which at least one product is still observed: the
    // estimate says nothing beyond it (0 for an empty fleet).
    double reach = 0;
};

Mcf ComputeMcf(const AnalysisState& st);

// The estimate at t (0 before the first failure; the last value beyond the last).
double McfAt(const Mcf& m, double t);

// The estimate with its band at t: the last step at or before t, a zero point (at t 0)
// before the first failure; nullopt beyond the reach, where no product is observed.
std::optional<McfPoint> McfPointAt(const Mcf& m, double t);

}  // namespace rel
