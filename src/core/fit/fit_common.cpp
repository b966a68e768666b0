#include "fit/fit_common.h"

#include <cmath>

#include "fit/fits.h"
#include "text/format.h"
#include "stats/distrib.h"

namespace rel {

namespace fitdetail {

void FinalIntervalValues(const AnalysisState& st, Mod_Weib& M, bool clampWeib) {
    const Hist40& h = st.ArrHist;
    const std::size_t H = h.size();
    if (M.F_Weib.size() < H) M.F_Weib.resize(H);
    if (M.F_norm.size() < H) M.F_norm.resize(H);
    if (M.Kol_F_priv.size() < H) M.Kol_F_priv.resize(H);
    double prev = 0.0;
    for (std::size_t j = 0; j < H; ++j) {
        const double t = h[j].time;
        double p = WeibInterval(M.A, M.B, prev, t);
        if (clampWeib && p < 0.0) p = 0.0;
        M.F_Weib[j] = p;
        M.F_norm[j] = NormF(M.Sred, M.SKO, (prev + t) / 2);
        M.Kol_F_priv[j] = st.Park * M.K_powtor * M.F_Weib[j] * (1.0 - M.F_norm[j]);
        prev = t;
    }
}

FitReport StartReport(const AnalysisState& st, const char* id, const Mod_Weib& record) {
    FitReport rep;
    rep.id = id;
    rep.model = record;
    rep.SredGar = st.SredGar;
    rep.SKOGar = st.SKOGar;
    return rep;
}

}  // namespace fitdetail

std::optional<std::string> CheckStepCoef(double coef, const std::string& label, const std::string& text) {
    if (!std::isfinite(coef)) return label + ": \"" + text + "\" не является конечным числом. Расчет остановлен.";
    if (coef < 1.0)
        return label + ": \"" + text + "\" меньше 1 - шаг поиска рос бы вместо уменьшения. Расчет остановлен.";
    return std::nullopt;
}

std::string NotConvergedLine(const std::string& model) {
    return model +
           ": поиск остановлен по времени, не сойдясь (шаги параметров не стали меньше допусков) - "
           "оценки могут быть не наилучшими.";
}

std::string ElapsedLine(const std::string& head, std::int64_t wholeSeconds) {
    return head + LongTimeText(wholeSeconds) + "ч/мин/с";
}

std::string StepLine(double shapeStep, double Sred, double SKO, char sep) {
    // "%12.10e": ten significant digits, i.e. nine after the separator.
    return "Шаг=" + FormatSci(shapeStep, 12, 9, sep) + "  Sred=" + FormatFixed(Sred, 10, 3, sep) +
           " SKO=" + FormatFixed(SKO, 10, 3, sep);
}

}  // namespace rel
