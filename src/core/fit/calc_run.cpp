#include "fit/calc_run.h"

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

RunResult CalculationRun(AnalysisState& st, const RunParams& p, const MemoSink& sink) {
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

    BuildHist(st);

    if (!(p.Spiral || p.Newton || p.Smirnov || p.ML)) return res;
    if (st.ArrHist.empty()) return stop("Гистограмма отказов пуста: в данных нет отказов. Модели не рассчитаны.");
    if (st.KolOtkNez <= 0)
        return stop("В данных нет независимых отказов (все отказы - брак). Модели не рассчитаны.");

    FitOptions opt;
    opt.item = p.item;
    opt.decimalSep = p.decimalSep;
    opt.clock = p.clock;

    // Each fit is completed by its indicators (again, after the fit's own call) and
    // its confidence line.
    auto complete = [&](const FitSummary& sum, Mod_Weib& M) {
        for (const std::string& line : sum.memo) write(line);
        ModelIndicators(st, M, st.TPrirab);
        write(HistConfidence(st, M, p.decimalSep).line);
    };
    std::string error;

    if (p.Spiral) {
        // The spiral descent sizes its arrays before it reads its coefficient.
        const std::size_t H = st.ArrHist.size();
        st.ModSpir.F_Weib.resize(H);
        st.ModSpir.F_norm.resize(H);
        st.ModSpir.Kol_F_priv.resize(H);
        const auto coef = StepCoefOf(p.StepCoef11, kStepCoefLabel11, p.decimalSep, error);
        if (!coef) {
            res.errorField = RunField::StepCoef11;
            return stop(error);
        }
        opt.StepCoef = *coef;
        const double t0 = SteadySeconds();
        res.spiral = FitSpiral(st, opt);
        res.wallSpiral = SteadySeconds() - t0;
        if (!res.spiral->ok) return stop(res.spiral->error);
        complete(*res.spiral, st.ModSpir);
    }
    if (p.Newton) {
        const auto coef = StepCoefOf(p.StepCoef12, kStepCoefLabel12, p.decimalSep, error);
        if (!coef) {
            res.errorField = RunField::StepCoef12;
            return stop(error);
        }
        opt.StepCoef = *coef;
        const double t0 = SteadySeconds();
        res.newton = FitNewton(st, opt);
        res.wallNewton = SteadySeconds() - t0;
        if (!res.newton->ok) return stop(res.newton->error);
        complete(*res.newton, st.ModNewton);
    }
    if (p.Smirnov) {
        const auto coef = StepCoefOf(p.StepCoef2, kStepCoefLabel2, p.decimalSep, error);
        if (!coef) {
            res.errorField = RunField::StepCoef2;
            return stop(error);
        }
        opt.StepCoef = *coef;
        const double t0 = SteadySeconds();
        res.smirnov = FitSmirnov(st, opt);
        res.wallSmirnov = SteadySeconds() - t0;
        if (!res.smirnov->ok) return stop(res.smirnov->error);
        complete(*res.smirnov, st.ModSmirn);
    }
    if (p.ML) {
        MlOptions mo;
        mo.bootstrap = p.mlBootstrap;
        mo.seed = p.mlSeed;
        mo.decimalSep = p.decimalSep;
        mo.cancelled = p.cancelled;
        const double t0 = SteadySeconds();
        MlResult r = FitML(MlInputFromState(st), mo);
        res.wallML = SteadySeconds() - t0;
        if (!r.ok) {
            res.ml = std::move(r);
            return stop(res.ml->error);
        }
        write(ElapsedLine("Расчёт модели 3 по максимуму правдоподобия выполнен за ",
                          static_cast<std::int64_t>(r.Seconds)));
        for (const std::string& line : r.Memo) write(line);
        for (const std::string& note : r.Notes) write(note);
        StoreML(st, r, st.ModML);
        write(HistConfidence(st, st.ModML, p.decimalSep).line);
        res.ml = std::move(r);
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
