// Fuzz target: the whole fit path as `relan-cli fit` takes it. The input is a data
// file, optionally followed by a warranty end-time file after a line "@@gar@@"; its
// last byte, when the input is long enough, chooses the run's settings (deviation
// form, fitted warranty figures, decimal separator, burn-in). Both files are read,
// then models 1.1, 1.2, 2 and 3 run on a slow virtual clock, without model 3's
// bootstrap, and the results output is made.
// Findings: sanitizer reports, a reversed interval reaching the Weibull routine, a
// run that ends without its error or its results, and a fitted model whose shape,
// scale or repetition coefficient is not a finite positive number, or whose warranty
// figures are not finite.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "analysis/load.h"
#include "analysis/request.h"
#include "analysis/run.h"
#include "fuzz_support.h"

namespace {

constexpr std::string_view kWarrantyMark = "\n@@gar@@\n";
// Evaluations per virtual second: the fits' time rules (models 1.1 and 2 stop after
// ten virtual seconds) come after a few dozen evaluations. The searches' own walks
// still take tens of thousands of evaluations on a file of a hundred failures, a few
// seconds with the sanitizers: scripts/fuzz gives this target inputs of at most 2 KB.
constexpr std::int64_t kRate = 5;

bool FinitePositive(double x) { return std::isfinite(x) && x > 0; }

void CheckModel(const rel::Mod_Weib& M) {
    RELFUZZ_CHECK(M.Executed);
    RELFUZZ_CHECK(FinitePositive(M.A));
    RELFUZZ_CHECK(FinitePositive(M.B));
    RELFUZZ_CHECK(FinitePositive(M.K_powtor));
    RELFUZZ_CHECK(std::isfinite(M.Sred));
    RELFUZZ_CHECK(std::isfinite(M.SKO));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    relfuzz::InstallHandler();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace rel;
    std::string_view input(reinterpret_cast<const char*>(data), size);
    unsigned char settings = 0;
    if (input.size() > 16) {
        settings = static_cast<unsigned char>(input.back());
        input.remove_suffix(1);
    }
    const std::size_t mark = input.find(kWarrantyMark);
    const std::string_view dataBytes = input.substr(0, mark);
    const std::string_view garBytes =
        mark == std::string_view::npos ? std::string_view{} : input.substr(mark + kWarrantyMark.size());

    FitPlan plan;
    plan.data = "fuzz.txt";
    plan.methods = {"1.1", "1.2", "2", "3"};
    plan.bootstrap = 0;
    plan.item = (settings & 3) == 3 ? 1 : settings & 3;
    plan.fitSred = settings & 4;
    plan.fitSKO = settings & 8;
    plan.decimalSep = settings & 16 ? ',' : '.';
    plan.burnIn = settings & 32 ? 0 : 300;
    plan.virtualClock = kRate;
    plan.genTexts.seed = 1;

    // The loads, as relan-cli's: the data file, then the warranty file over it.
    AnalysisState st;
    LoadedInputs in;
    in.data = LoadFailureBytes(st, dataBytes, plan.data, plan.decimalSep, BadRowPolicy::Skip);
    if (!in.data.ok) {
        RELFUZZ_CHECK(!in.data.error.empty());
        return 0;
    }
    if (mark != std::string_view::npos) {
        plan.warranty = "gar.txt";
        in.warranty = LoadWarrantyBytes(st, garBytes, plan.warranty, plan.decimalSep);
        if (!in.warranty.ok) {
            RELFUZZ_CHECK(!in.warranty.error.empty());
            return 0;
        }
        in.warrantyLoaded = true;
    }
    RELFUZZ_CHECK(!CheckClockForFailures(plan, st.ArrProblems.size()));

    const AnalysisRun run = RunAnalysis(st, plan, in);
    if (!run.calc.ok) {
        // The data give nothing to fit: said, and no results.
        RELFUZZ_CHECK(!run.error.empty());
        return 0;
    }
    RELFUZZ_CHECK(run.results.has_value());
    RELFUZZ_CHECK(run.calc.Report("1.1") && run.calc.Report("1.2") && run.calc.Report("2") && run.calc.ml);
    CheckModel(st.ModSpir);
    CheckModel(st.ModNewton);
    CheckModel(st.ModSmirn);
    if (run.calc.ml->ok) {
        const MlResult& ml = *run.calc.ml;
        RELFUZZ_CHECK(FinitePositive(ml.A));
        RELFUZZ_CHECK(FinitePositive(ml.B));
        RELFUZZ_CHECK(FinitePositive(ml.K_powtor));
        RELFUZZ_CHECK(std::isfinite(ml.LogLik));
        CheckModel(st.ModML);
    }
    return 0;
}
