#include "analysis/gen_run.h"

#include <chrono>

namespace rel {

std::optional<GenStartRefusal> StartGenRun(AnalysisState& st, std::string_view population,
                                           std::string_view generations, std::string_view precision, bool fitSred,
                                           bool fitSKO, GenOptions& o) {
    // Population size, generation count and precision: a setting the optimiser
    // cannot run with is refused with its reason.
    std::string bad = ParseGenTexts(population, generations, precision, o.decimalSep, o);
    if (!bad.empty()) return GenStartRefusal{true, std::move(bad)};
    st.FitSKO = fitSKO;
    st.FitSred = fitSred;
    // Histogram and the per-interval arrays of ModGen.
    std::string none = PrepareGenStart(st);
    if (!none.empty()) return GenStartRefusal{false, std::move(none)};
    return std::nullopt;
}

void HeadlessGenHost::AppendMemo(const std::string& line) {
    memo.push_back(line);
    if (sink_) sink_(line);
}

GenRunResult RunGenHeadless(AnalysisState& st, const RunParams& p, const GenTexts& t, const MemoSink& sink) {
    GenRunResult res;

    // 1. Run parameters, as the start button takes them from the window.
    st.SredGar = p.SredGar;
    st.SKOGar = p.SKOGar;
    st.PeriodUchet = p.PeriodUchet;
    st.TPrirab = p.TPrirab;
    if (!st.FileLoaded) {
        res.error = "Файл исходных данных не загружен";
        return res;
    }

    // 2. Settings, fit flags, histogram and the model record's arrays.
    GenOptions go;
    go.decimalSep = p.decimalSep;
    if (t.seed) {
        go.seed = *t.seed;
        go.reseedEachEvaluation = false;
    }
    if (auto refused = StartGenRun(st, t.population, t.generations, t.precision, p.FitSred, p.FitSKO, go)) {
        res.error = std::move(refused->message);
        return res;
    }

    // 3. The run.
    HeadlessGenHost host(t.copyCount, sink);
    GenFlags flags;
    TGen gen(st, host, flags, go);
    const auto t0 = std::chrono::steady_clock::now();
    res.outcome = gen.Execute();
    res.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    res.ok = res.outcome.end != GenEnd::NotStarted;
    if (!res.ok) res.error = res.outcome.error;
    res.memo = std::move(host.memo);
    res.counter = host.counter;
    res.progress = host.progress;
    return res;
}

}  // namespace rel
