#include "fit/calc_run.h"

#include "fit/methods.h"

#include "data/histogram.h"
#include "stats/criteria.h"
#include "stats/distrib.h"
#include "text/text.h"

namespace rel {

namespace {

// Reads a coefficient box; on failure says which box and what it holds.
std::optional<double> StepCoefOf(const std::string& text, const char* label, char sep, std::string& error) {
    const std::optional<double> v = ParseLocaleNumber(text, sep);
    if (!v) {
        error = std::string(label) + ": \"" + text + "\" не является числом. Расчет остановлен.";
        return std::nullopt;
    }
    if (auto refusal = CheckStepCoef(*v, label, text)) {
        error = *refusal;
        return std::nullopt;
    }
    return v;
}

}  // namespace

bool RunParams::Runs(std::string_view id) const {
    for (const std::string& m : methods)
        if (m == id) return true;
    return false;
}

const FitReport* RunResult::Report(std::string_view id) const {
    for (const FitReport& r : fits)
        if (r.id == id) return &r;
    return nullptr;
}

RunResult CalculationRun(AnalysisState& st, const RunParams& p, const MemoSink& sink) {
    return CalculationRun(st, p, sink, MethodTable::Standard());
}

RunResult CalculationRun(AnalysisState& st, const RunParams& p, const MemoSink& sink, const MethodTable& methods) {
    RunResult res;
    auto write = [&](const std::string& line) {
        res.memo.push_back(line);
        if (sink) sink(line);
    };
    auto stop = [&](std::string why) {
        res.ok = false;
        res.error = std::move(why);
        return res;
    };

    // The figures of the window, each stored as it is taken; then the fit flags.
    st.SredGar = p.SredGar;
    st.SKOGar = p.SKOGar;
    st.PeriodUchet = p.PeriodUchet;
    st.TPrirab = p.TPrirab;
    st.FitSKO = p.FitSKO;
    st.FitSred = p.FitSred;
    st.UsageMonth = p.UsageMonth;
    st.Horizon = p.Horizon;

    BuildHist(st);

    std::vector<const FitMethod*> run;
    for (const FitMethod* m : methods.InRunOrder())
        if (m->fit && p.Runs(m->id)) run.push_back(m);
    if (run.empty()) return res;
    if (st.ArrHist.empty()) return stop("Гистограмма отказов пуста: в данных нет отказов. Модели не рассчитаны.");
    if (st.KolOtkNez <= 0)
        return stop("В данных нет независимых отказов (все отказы - брак). Модели не рассчитаны.");

    FitOptions opt;
    opt.item = p.item;
    opt.decimalSep = p.decimalSep;
    opt.clock = p.clock;
    std::string error;

    for (const FitMethod* m : run) {
        Mod_Weib& M = RecordOf(st, *m);
        if (m->stepCoef) {
            // Model 1.1 sizes its record's arrays before it reads its coefficient.
            if (m->sizesRecordFirst) {
                const std::size_t H = st.ArrHist.size();
                M.F_Weib.resize(H);
                M.F_norm.resize(H);
                M.Kol_F_priv.resize(H);
            }
            const auto coef = StepCoefOf(p.*(m->stepCoef), m->stepLabel, p.decimalSep, error);
            if (!coef) {
                res.errorField = m->stepField;
                return stop(error);
            }
            opt.StepCoef = *coef;
        }
        const double t0 = SteadySeconds();
        FitReport rep = m->fit(st, p, opt);
        rep.id = m->id;
        rep.wall = SteadySeconds() - t0;
        if (rep.ml) res.ml = std::move(rep.ml);
        rep.ml.reset();
        if (!rep.summary.ok) {
            const std::string why = rep.summary.error;
            res.fits.push_back(std::move(rep));
            return stop(why);
        }
        // The record and the warranty figures the fit fitted are stored; the memo
        // gets the fit's lines and the model's confidence line.
        M = rep.model;
        st.SredGar = rep.SredGar;
        st.SKOGar = rep.SKOGar;
        for (const std::string& line : rep.summary.memo) write(line);
        write(HistConfidence(st, M, p.decimalSep).line);
        res.fits.push_back(std::move(rep));
    }
    return res;
}

void StoreML(const AnalysisState& st, const MlResult& r, Mod_Weib& M) {
    M.A = r.A;
    M.B = r.B;
    M.K_powtor = r.K_powtor;
    M.Sred = r.Sred;
    M.SKO = r.SKO;
    M.Executed = true;
    const Hist40& h = st.ArrHist;
    const std::size_t H = h.size();
    M.F_Weib.assign(H, 0.0);
    M.F_norm.assign(H, 0.0);
    M.Kol_F_priv.assign(H, 0.0);
    double prev = 0.0;
    for (std::size_t j = 0; j < H; ++j) {
        const double t = h[j].time;
        M.F_Weib[j] = WeibInterval(M.A, M.B, prev, t);
        M.F_norm[j] = NormF(M.Sred, M.SKO, (prev + t) / 2);
        M.Kol_F_priv[j] = st.Park * M.K_powtor * M.F_Weib[j] * (1.0 - M.F_norm[j]);
        prev = t;
    }
    M.Unsens = 0.0;
    M.Kol_Nakopl = 0.0;
    for (double k : M.Kol_F_priv) M.Kol_Nakopl = M.Kol_Nakopl + k;
    ModelIndicators(st, M, st.TPrirab);
}

}  // namespace rel
