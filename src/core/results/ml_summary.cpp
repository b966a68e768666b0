#include "results/ml_summary.h"

#include <cmath>
#include <utility>

#include "results/results_table.h"
#include "text/format.h"

namespace rel {

namespace {

std::string Fixed(double x, int decimals, char sep) {
    return std::isfinite(x) ? FormatFixed(x, 1, decimals, sep) : std::string(kNoValue);
}

}  // namespace

std::string IntervalText(double lo, double hi, int decimals, char sep) {
    const bool hasLo = std::isfinite(lo), hasHi = std::isfinite(hi);
    if (hasLo && hasHi) return "[" + Fixed(lo, decimals, sep) + "; " + Fixed(hi, decimals, sep) + "]";
    if (hasLo) return "> " + Fixed(lo, decimals, sep);
    if (hasHi) return "< " + Fixed(hi, decimals, sep);
    return kNoValue;
}

CausesSummary SummarizeCauses(const MlCauses& c, char sep, const ResultsWords& words) {
    CausesSummary s;
    s.title = words.causesTitle;
    s.columns = words.causesColumns;
    auto withInterval = [&](const MlEstimate& e, double est, int decimals) {
        return Fixed(est, decimals, sep) + " " + IntervalText(e.lo, e.hi, decimals, sep);
    };
    bool fewLeft = false, fewFitted = false;
    for (const MlCauseFit& f : c.causes) {
        std::array<std::string, 8> row;
        row[0] = ResultsWords::Or(words.causeNames, f.name, f.name);
        row[1] = std::to_string(f.failures) + (f.tooFew ? ", " + words.causesTooFew : std::string());
        if (f.fitted) {
            row[2] = withInterval(f.IntA, f.A, 3);
            row[3] = f.Separable ? Fixed(f.B, 0, sep) : words.causesNotSeparable;
            row[4] = withInterval(f.N2000, f.N2000.est, 3);
            row[5] = withInterval(f.N4000, f.N4000.est, 3);
        } else {
            row[2] = row[4] = row[5] = kNoValue;
            row[3] = words.causesNotFitted;
        }
        (f.fitted ? fewFitted : fewLeft) |= f.tooFew;
        row[6] = std::isfinite(f.Claims.est) ? withInterval(f.Claims, f.Claims.est, 3) : kNoValue;
        row[7] = Fixed(100 * f.Share, 1, sep);
        s.rows.push_back(std::move(row));
    }
    if (c.tested)
        s.verdict = words.causesTestHead + Fixed(c.Chi2, 2, sep) + words.causesTestDf + std::to_string(c.Df) +
                    ", " + MlGofNumber(c.P, sep) + " — " + (c.Differ ? words.causesDiffer : words.causesSame);
    if (fewLeft) s.notes.push_back(words.causesTooFewNote);
    if (fewFitted) s.notes.push_back(words.causesTooFewFitted);
    s.chartTitle = words.causesChartTitle;
    s.chartAxis = words.causesChartAxis;
    s.figures = c;
    return s;
}

MlSummary SummarizeML(const MlResult& r, char sep, const ResultsWords& words) {
    MlSummary s;
    s.title = words.mlTitle;
    std::size_t next = 0;
    auto row = [&](double est, double lo, double hi, int decimals) {
        s.rows.push_back({words.mlRows[next++], Fixed(est, decimals, sep), IntervalText(lo, hi, decimals, sep)});
    };
    row(r.A, r.IntA.lo, r.IntA.hi, 3);
    // On the ridge the point estimates of B and K are only where the search stopped:
    // their intervals (open above) are what the data say.
    const double nan = std::nan("");
    row(r.Separable ? r.B : nan, r.IntB.lo, r.IntB.hi, 0);
    row(r.Separable ? r.K_powtor : nan, r.IntK.lo, r.IntK.hi, 3);
    row(r.N2000.est, r.N2000.lo, r.N2000.hi, 3);
    row(r.N4000.est, r.N4000.lo, r.N4000.hi, 3);
    row(r.N6000.est, r.N6000.lo, r.N6000.hi, 3);
    row(r.Gamma90.est, r.Gamma90.lo, r.Gamma90.hi, 0);
    row(r.Gamma50.est, r.Gamma50.lo, r.Gamma50.hi, 0);
    if (std::isfinite(r.GofP))
        s.verdict = words.gofHead + MlGofNumber(r.GofP, sep) + (r.GofP >= 0.05 ? words.agrees : words.disagrees);
    if (!r.Separable) s.notes.push_back(words.notSeparableNote);
    if (r.Forecast.InService) {
        ForecastSummary f;
        f.title = words.forecastTitle;
        f.columns = words.forecastColumns;
        const MlEstimate& rem = r.Forecast.Remaining;
        f.remaining = words.forecastRemaining + Fixed(rem.est, 1, sep);
        if (std::isfinite(rem.lo) || std::isfinite(rem.hi))
            f.remaining += ", " + words.forecastInterval + " " + IntervalText(rem.lo, rem.hi, 0, sep);
        for (const MlForecastMonth& m : r.Forecast.Months)
            f.rows.push_back({std::to_string(m.Month), Fixed(m.Expected, 1, sep), IntervalText(m.Lo, m.Hi, 0, sep),
                              Fixed(m.Cumulative, 1, sep), IntervalText(m.CumLo, m.CumHi, 0, sep)});
        f.figures = r.Forecast;
        s.forecast = std::move(f);
    }
    if (!r.Causes.causes.empty()) s.causes = SummarizeCauses(r.Causes, sep, words);
    if (words.fitNotes)
        for (std::string n : r.Notes) {
            if (n == kMlNotSeparable) continue;
            for (const auto& [from, to] : words.notePhrases)
                for (std::size_t at = n.find(from); at != std::string::npos; at = n.find(from, at + to.size()))
                    n.replace(at, from.size(), to);
            s.notes.push_back(std::move(n));
        }
    return s;
}

}  // namespace rel
