#include "cli/gen_run.h"

#include <algorithm>
#include <chrono>

#include "cli/common.h"
#include "stats/criteria.h"

namespace relcli {

void HeadlessGenHost::AppendMemo(const std::string& line) {
    memo.push_back(line);
    if (sink_) sink_(line);
}

GenCliResult RunGenHeadless(rel::AnalysisState& st, const rel::RunParams& p,
                            const GenCliOptions& o, const rel::MemoSink& sink) {
    GenCliResult res;

    // 1. Run parameters, as the start button takes them from the window.
    st.SredGar = p.SredGar;
    st.SKOGar = p.SKOGar;
    st.PeriodUchet = p.PeriodUchet;
    st.TPrirab = p.TPrirab;
    if (!st.FileLoaded) {
        res.error = "Файл исходных данных не загружен";
        return res;
    }
    st.FitSKO = p.FitSKO;
    st.FitSred = p.FitSred;

    // 2. Settings: population, generations and the precision (point or comma).
    rel::GenOptions go;
    go.decimalSep = p.decimalSep;
    std::string precision = o.precision;
    std::replace(precision.begin(), precision.end(), ',', '.');
    res.error = rel::ParseGenTexts(std::to_string(o.population), std::to_string(o.generations),
                                   precision, '.', go);
    if (!res.error.empty()) return res;
    if (o.seed) {
        go.seed = *o.seed;
        go.reseedEachEvaluation = false;
    }

    // 3. Histogram and the model record's arrays.
    res.error = rel::PrepareGenStart(st);
    if (!res.error.empty()) return res;

    // 4. The run.
    HeadlessGenHost host(o.copyCount, sink);
    rel::GenFlags flags;
    rel::TGen gen(st, host, flags, go);
    const auto t0 = std::chrono::steady_clock::now();
    res.outcome = gen.Execute();
    res.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    res.ok = res.outcome.end != rel::GenEnd::NotStarted;
    if (!res.ok) res.error = res.outcome.error;
    res.memo = std::move(host.memo);
    res.nPokoleny = host.nPokoleny;
    res.progress = host.progress;
    return res;
}

}  // namespace relcli
