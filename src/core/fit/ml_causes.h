// Model 3 per cause: each cause of the classification fitted as its own failure process
// over the same fleet and observation windows (the likelihood factorises by cause), the
// causes' shares of the expected claims within warranty, and the likelihood-ratio test
// of one failure law for all causes against a law per cause.
#pragma once

#include <string>
#include <vector>

#include "fit/ml_fit.h"

namespace rel {

struct MlCauseOptions {
    bool fewToo = false;  // fit causes with fewer than kMlCauseMinFailures failures too
    bool intervals = true;
    int threads = 0;  // 0: the machine's cores
    std::function<bool()> cancelled;
};

// The causes of `in` (its `causes` and `causeNames`) fitted one by one with the warranty
// law of the pooled fit `pooled` held; nothing when fewer than two causes have failures.
MlCauses FitMLByCause(const MlInput& in, const MlResult& pooled, const MlCauseOptions& opt = {});

}  // namespace rel
