#include "analysis/run.h"

#include "text/format.h"

namespace rel {

AnalysisRun RunAnalysis(AnalysisState& st, const FitPlan& plan, const LoadedInputs& in, const MemoSink& sink,
                        const ResultsWords& words, const MethodTable& methods) {
    AnalysisRun out;
    out.params = RunParamsAfterLoad(plan, in, st);
    const RunParams& p = out.params;
    const bool gen = plan.Has("gen");

    // 1. The calculation run, unless only the optimiser is asked for.
    bool fits = false;
    for (const FitMethod& m : methods) fits = fits || (m.fit && plan.Has(m.id));
    out.calcRan = fits || !gen;
    if (out.calcRan) out.calc = CalculationRun(st, p, sink, methods);
    out.memo = out.calc.memo;
    if (!out.calc.ok) {
        out.error = out.calc.error;
        return out;
    }

    // 2. The optimiser, with "Число поколений" as the load set it unless given.
    if (gen) {
        GenTexts t = plan.genTexts;
        if (!plan.generationsGiven)
            t.generations = in.data.view.GenerationsText.value_or(defaults::kGenerationsText);
        out.gen = RunGenHeadless(st, p, t, sink);
        out.memo.insert(out.memo.end(), out.gen->memo.begin(), out.gen->memo.end());
        if (!out.gen->ok) {
            out.error = out.gen->error;
            return out;
        }
    }

    // 3. The results output, as the window shows it at the end of the last run: an
    // optimiser run that ended without showing its results leaves those of "Расчет".
    if (!out.gen || out.gen->outcome.resultsShown || out.calcRan)
        out.results = ComputeResults(st, FormatGeneral(p.TPrirab, p.decimalSep), p.decimalSep, {},
                                     out.calc.ml ? &*out.calc.ml : nullptr, words, methods);
    return out;
}

AnalysisResult Analyse(AnalysisState loaded, const FitPlan& plan, const LoadedInputs& in, const MemoSink& sink,
                       const ResultsWords& words, const MethodTable& methods) {
    AnalysisResult out{std::move(loaded), {}};
    out.run = RunAnalysis(out.state, plan, in, sink, words, methods);
    if (out.run.results) ApplyResults(out.state, out.run.results->WriteBack, methods);
    return out;
}

}  // namespace rel
