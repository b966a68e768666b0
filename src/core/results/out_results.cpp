#include "results/out_results.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "fit/methods.h"
#include "stats/empirical.h"
#include "fit/fits.h"
#include "text/format.h"
#include "stats/distrib.h"
#include "text/text.h"

namespace rel {

// Each cause its own colour: the first entries are the classic ones of the charts;
// an entry that would repeat (or nearly repeat) an earlier one is replaced by the
// colour farthest from all before it, so that no two causes share a colour.
const std::array<Rgb, 54> CauseColors = {{
    {0, 0, 0},      {255, 255, 255}, {255, 0, 0},     {255, 215, 0},   {255, 0, 255},   {0, 160, 224},
    {128, 128, 0},  {100, 149, 237}, {240, 230, 140}, {32, 178, 170},  {255, 105, 180}, {175, 238, 238},
    {128, 0, 128},  {0, 255, 0},     {0, 0, 255},     {199, 21, 133},  {0, 255, 255},   {192, 220, 192},
    {255, 165, 0},  {0, 128, 0},     {128, 0, 0},     {128, 128, 128}, {250, 250, 210}, {0, 32, 128},
    {96, 224, 64},  {96, 32, 224},   {224, 96, 64},   {64, 64, 32},    {0, 128, 96},    {0, 224, 96},
    {192, 192, 64}, {192, 64, 224},  {96, 224, 192},  {32, 64, 192},   {64, 160, 32},   {160, 32, 64},
    {160, 224, 0},  {192, 64, 0},    {224, 160, 224}, {224, 160, 128}, {160, 224, 128}, {0, 64, 64},
    {32, 0, 64},    {64, 0, 160},    {64, 64, 128},   {96, 192, 128},  {128, 64, 160},  {128, 96, 64},
    {160, 0, 192},  {160, 128, 192}, {192, 96, 128},  {64, 224, 0},    {224, 0, 64},    {0, 192, 32},
}};

const std::array<Rgb, 12> ChartPalette = {{
    {0, 0, 255},    // blue
    {0, 255, 0},    // lime
    {0, 255, 255},  // aqua
    {255, 0, 0},    // red
    {255, 0, 255},  // fuchsia
    {255, 255, 0},  // yellow
    {0, 0, 128},    // navy
    {0, 128, 0},    // green
    {0, 128, 128},  // teal
    {128, 0, 0},    // maroon
    {128, 0, 128},  // purple
    {128, 128, 0},  // olive
}};

const ChartSeries* ChartContent::Find(const std::string& name) const {
    for (const ChartSeries& s : Series)
        if (s.Name == name) return &s;
    return nullptr;
}

namespace {

constexpr Rgb kGreen{0, 128, 0};
constexpr Rgb kRed{255, 0, 0};
constexpr double kLogOffset = 0.00001;  // added to a time before its logarithm

// Fixed series of a chart, in chart order.
struct FixedDef {
    const char* name;
    SeriesKind kind;
    HAxis h;
    VAxis v;
    const char* title;  // nullptr: no legend entry
    int transparency;
    bool active;
};

constexpr FixedDef kChart1Fixed[] = {
    {"Series1", SeriesKind::Area, HAxis::Bottom, VAxis::Right, "Выбывание из гарантии", 0, true},
    {"Series17", SeriesKind::Line, HAxis::Bottom, VAxis::Right, "Фактич. накопление, % от парка", 0, true},
    {"Series3", SeriesKind::SmoothLine, HAxis::Bottom, VAxis::Left, "Модель по Пирсону 1.1", 0, true},
    {"Series2", SeriesKind::SmoothLine, HAxis::Bottom, VAxis::Left, "Модель по Пирсону 1.1 ценз.", 0, true},
    {"Series4", SeriesKind::SmoothLine, HAxis::Bottom, VAxis::Left, "Модель по Смирнову 2", 0, true},
    {"Series20", SeriesKind::SmoothLine, HAxis::Bottom, VAxis::Left, "Pirson/Newton 1.2", 0, true},
    {"Series21", SeriesKind::SmoothLine, HAxis::Bottom, VAxis::Left, "Pirson/Newton 1.2 ценз.", 0, true},
    {"Series6", SeriesKind::SmoothLine, HAxis::Bottom, VAxis::Left, "Генетическая", 0, true},
    {"Series5", SeriesKind::SmoothLine, HAxis::Bottom, VAxis::Left, "Генетическая с ценз.", 0, true},
    {"Series14", SeriesKind::Bar, HAxis::Bottom, VAxis::Left, nullptr, 0, false},
};

constexpr FixedDef kChart2Fixed[] = {
    {"Series15", SeriesKind::Area, HAxis::Bottom, VAxis::Left, "Отказы (реальные)", 24, true},
    {"Series7", SeriesKind::Area, HAxis::Bottom, VAxis::Right, "Выбывание из гарантии, %", 8, true},
    {"Series8", SeriesKind::SmoothLine, HAxis::Bottom, VAxis::Left, "Модель по Пирсону", 0, true},
    {"Series9", SeriesKind::Line, HAxis::Bottom, VAxis::Left, "Модель по Пирсону с влиянием цензурирования", 0,
     true},
    {"Series10", SeriesKind::Line, HAxis::Bottom, VAxis::Left, "Модель по Смирнову", 0, true},
    {"Series11", SeriesKind::Line, HAxis::Bottom, VAxis::Left, "Модель \"генетическая\"", 0, true},
    {"Series12", SeriesKind::Line, HAxis::Bottom, VAxis::Left, "Модель \"генетическая\" с влиянием цензурирования",
     0, true},
    {"Series16", SeriesKind::Bar, HAxis::Bottom, VAxis::Left, nullptr, 0, false},
    {"Series22", SeriesKind::Line, HAxis::Bottom, VAxis::Left, nullptr, 0, true},
    {"Series23", SeriesKind::Line, HAxis::Bottom, VAxis::Left, nullptr, 0, true},
};

constexpr FixedDef kChart3Fixed[] = {
    {"Series13", SeriesKind::Line, HAxis::Bottom, VAxis::Right, "Выбывание из гарантии", 0, false},
    {"Series18", SeriesKind::Line, HAxis::Top, VAxis::Right, "Ln Накопления", 0, true},
    {"Series19", SeriesKind::Line, HAxis::Top, VAxis::Right, "Аппроксимация Ln накопления", 0, true},
};

template <std::size_t N>
void AddFixed(ChartContent& chart, const FixedDef (&defs)[N], const ResultsWords& words) {
    for (std::size_t i = 0; i < N; ++i) {
        const FixedDef& d = defs[i];
        ChartSeries s;
        s.Name = d.name;
        s.Kind = d.kind;
        s.Horizontal = d.h;
        s.Vertical = d.v;
        s.Title = d.title ? ResultsWords::Or(words.seriesTitles, d.name, d.title) : "";
        s.InLegend = d.title != nullptr;
        s.Transparency = d.transparency;
        s.Active = d.active;
        s.Color = ChartPalette[i % ChartPalette.size()];
        chart.Series.push_back(std::move(s));
    }
    chart.FixedCount = static_cast<int>(N);
}

// A series of a fitting method added to the written ones, appended after the fixed
// series (before any cause bar) in its palette colour.
void AddModelSeries(ChartContent& chart, const char* name, SeriesKind kind, const std::string& title,
                    bool dashed) {
    if (!name) return;
    ChartSeries s;
    s.Name = name;
    s.Kind = kind;
    s.Title = title;
    s.Color = ChartPalette[chart.Series.size() % ChartPalette.size()];
    s.Dashed = dashed;
    s.LineWidth = 2;
    chart.Series.push_back(std::move(s));
    chart.FixedCount = static_cast<int>(chart.Series.size());
}

constexpr Rgb kMcfLine{48, 48, 48};
constexpr Rgb kMcfBand{150, 150, 150};
constexpr Rgb kCausesSum{160, 32, 240};

// The causes' expected failures per product by t, summed: each fitted cause by its own
// law, a cause not fitted by the pooled law with its share of the failures.
double CausesSum(const MlCauses& c, const MlResult& pooled, double t) {
    double sum = 0;
    for (const MlCauseFit& f : c.causes)
        sum += f.fitted ? f.K * WeibF(f.A, f.B, t)
                        : pooled.K_powtor * f.failures / std::max(1, pooled.D) * WeibF(pooled.A, pooled.B, t);
    return sum;
}

// The mean cumulative function's band (Series29) and step line (Series28), appended
// after the models' series with colours of their own.
void AddMcfSeries(ChartContent& chart, const ResultsWords& words) {
    ChartSeries band;
    band.Name = "Series29";
    band.Kind = SeriesKind::Band;
    band.Title = ResultsWords::Or(words.seriesTitles, "Series29", "MCF: 95 % доверительная полоса");
    band.Transparency = 60;
    band.Color = kMcfBand;
    band.Step = true;
    ChartSeries line;
    line.Name = "Series28";
    line.Kind = SeriesKind::Line;
    line.Title = ResultsWords::Or(words.seriesTitles, "Series28", "MCF: отказов на изделие (без модели)");
    line.Color = kMcfLine;
    line.LineWidth = 2;
    line.Step = true;
    chart.Series.push_back(std::move(band));
    chart.Series.push_back(std::move(line));
    chart.FixedCount = static_cast<int>(chart.Series.size());
}

// AddCauseBars: one bar series of cause k appended to a chart.
void AddCauseBars(ChartContent& chart, const char* chartName, int k, int transparency, const std::string& title,
                  const char* suffix = "") {
    ChartSeries s;
    s.Name = std::string(chartName) + " cause " + std::to_string(k) + suffix;
    s.Kind = SeriesKind::Bar;
    s.Title = title;
    s.Transparency = transparency;
    s.Marks = false;
    s.Color = CauseColors[static_cast<std::size_t>(k)];
    s.Cause = k;
    chart.Series.push_back(std::move(s));
}

// The element of an interval array, NaN when the array does not reach it.
double At(const DoubArr& a, std::size_t j) { return j < a.size() ? a[j] : std::nan(""); }

// Adds a point at ordinal position x unless its value is not finite.
void AddPoint(ChartSeries& s, double x, double y, const std::string& label) {
    if (std::isfinite(y)) s.Points.push_back({x, y, label, {}});
}

ChartSeries& Named(ChartContent& chart, const char* name) {
    for (ChartSeries& s : chart.Series)
        if (s.Name == name) return s;
    return chart.Series.front();  // names are the fixed ones above
}

}  // namespace

ResultsContent ComputeResults(const AnalysisState& st, const std::string& burnInText, char decimalSep,
                              const std::string& groupSep, const MlResult* ml, const ResultsWords& words,
                              const MethodTable& methods) {
    ResultsContent out;
    out.MCF = ComputeMcf(st);
    const char sep = decimalSep;
    const std::string group = !groupSep.empty() ? groupSep : (sep == ',' ? "\u00A0" : ",");

    // 1. The burn-in time of the frequency: the field's number, or the value taken
    // at the start of the run when the field no longer holds one.
    double T0 = st.TPrirab;
    if (const std::optional<double> v = ParseLocaleNumber(burnInText, sep); v && std::isfinite(*v)) {
        T0 = *v;
    } else {
        out.Messages.push_back("Время приработки \"" + burnInText +
                               "\" не является числом: частота отказов рассчитана для времени "
                               "приработки начала расчета, " +
                               FormatGeneral(st.TPrirab, sep) + " ч");
    }
    out.WriteBack.TPrirab = T0;

    // 2.-3. Per-interval warranty shares and per-cause totals.
    const Hist40& hist = st.ArrHist;
    out.Vybyv.assign(hist.size(), 0.0);
    out.KolVid.fill(0.0);

    // 5. The models' sums over the intervals with failures start again.
    std::vector<ModelSums>& sums = out.WriteBack.Sums;
    sums.assign(methods.size(), ModelSums{});

    // 6.-8. Fixed series, cleared.
    AddFixed(out.Chart1, kChart1Fixed, words);
    AddFixed(out.Chart2, kChart2Fixed, words);
    AddFixed(out.Chart3, kChart3Fixed, words);
    for (const FitMethod& info : methods) {
        if (!info.seriesOnlyWhenRun || !RecordOf(st, info).Executed) continue;
        const std::string title = words.Title(info);
        AddModelSeries(out.Chart1, info.rate, SeriesKind::SmoothLine, title, false);
        AddModelSeries(out.Chart1, info.rateObserved, SeriesKind::SmoothLine, title + words.observedSuffix, false);
        AddModelSeries(out.Chart2, info.accumulated, SeriesKind::SmoothLine, title, false);
        AddModelSeries(out.Chart2, info.accumulatedObserved, SeriesKind::Line,
                       title + words.accumulatedObservedSuffix, false);
    }
    // The mean cumulative function, model-free, beside the models' accumulation: its
    // band, then its steps over the band.
    AddMcfSeries(out.Chart2, words);
    // Model 3 per cause: the sum of the causes' expected failures per product.
    const MlCauses* byCause =
        ml && ml->ok && st.ModML.Executed && !ml->Causes.causes.empty() ? &ml->Causes : nullptr;
    if (byCause) {
        ChartSeries sum;
        sum.Name = "Series30";
        sum.Kind = SeriesKind::Line;
        sum.Title = ResultsWords::Or(words.seriesTitles, "Series30", "Модель 3: сумма по причинам");
        sum.Color = kCausesSum;
        sum.Dashed = true;
        sum.LineWidth = 2;
        out.Chart2.Series.push_back(std::move(sum));
        out.Chart2.FixedCount = static_cast<int>(out.Chart2.Series.size());
    }
    out.Chart1.LegendVisible = true;
    out.Chart1.ContinuousLegendSymbols = true;
    // The causes' bars of chart 3 say which cause they are, as chart 1's do.
    out.Chart3.LegendVisible = true;
    out.Chart3.ContinuousLegendSymbols = true;
    {
        ChartSeries& s17 = Named(out.Chart1, "Series17");
        s17.Dashed = true;
        s17.LineWidth = 4;
        s17.Marks = true;
        ChartSeries& s18 = Named(out.Chart3, "Series18");
        s18.CrossMarkSize = 2;
        s18.Color = kGreen;
        Named(out.Chart3, "Series19").Color = kRed;
    }

    // 9. Four bar series for every cause with failures, in cause order.
    const int lastCause = std::min({st.MaxPrich, kMaxCauses - 1, static_cast<int>(st.ArrVid.size()) - 1});
    std::vector<int> causes;
    for (int k = 0; k <= lastCause; ++k) {
        const Vid_otkaza& v = st.ArrVid[static_cast<std::size_t>(k)];
        if (!(v.Dolya > 0)) continue;
        causes.push_back(k);
        const double share = 100.0 * v.Dolya / st.Park;
        const std::string shareText = std::isfinite(share) ? FormatFixed(share, 3, 1, sep) : kNoValue;
        const std::string name = ResultsWords::Or(words.causeNames, v.Nazv_Prich, v.Nazv_Prich);
        AddCauseBars(out.Chart1, "Chart1", k, 0,
                     name + " " + IntText(v.Dolya) + words.causeTimes + shareText + words.causePerProduct);
        AddCauseBars(out.Chart2, "Chart2", k, 30, name);
        AddCauseBars(out.Chart3, "Chart3", k, 0, name);
        AddCauseBars(out.Chart3, "Chart3", k, 60, name + words.causeCorrected, " corrected");
    }
    const std::size_t nSer1 = static_cast<std::size_t>(out.Chart1.FixedCount);
    const std::size_t nSer2 = static_cast<std::size_t>(out.Chart2.FixedCount);
    const std::size_t nSer3 = static_cast<std::size_t>(out.Chart3.FixedCount);

    ChartSeries& S1 = Named(out.Chart1, "Series1");
    ChartSeries& S17 = Named(out.Chart1, "Series17");
    ChartSeries& S15 = Named(out.Chart2, "Series15");
    ChartSeries& S7 = Named(out.Chart2, "Series7");
    ChartSeries& S28 = Named(out.Chart2, "Series28");
    ChartSeries& S29 = Named(out.Chart2, "Series29");
    ChartSeries* S30 = byCause ? &Named(out.Chart2, "Series30") : nullptr;
    // The series of each model that has run (nullptr: none).
    struct ModelSeries {
        const Mod_Weib* M = nullptr;
        ChartSeries *rate = nullptr, *rateObserved = nullptr, *accumulated = nullptr,
                    *accumulatedObserved = nullptr;
    };
    std::vector<ModelSeries> modelSeries(methods.size());
    for (std::size_t m = 0; m < methods.size(); ++m) {
        const FitMethod& info = methods[m];
        const Mod_Weib& M = RecordOf(st, info);
        if (!M.Executed) continue;
        auto series = [](ChartContent& chart, const char* name) { return name ? &Named(chart, name) : nullptr; };
        modelSeries[m] = {&M, series(out.Chart1, info.rate), series(out.Chart1, info.rateObserved),
                          series(out.Chart2, info.accumulated), series(out.Chart2, info.accumulatedObserved)};
        sums[m].Executed = true;
    }

    // 10.-11. The intervals with failures; the others are skipped entirely.
    const double Park = st.Park;
    double tPrev = 0.0, tCur = 0.0, K100 = 0.0, SumOtk = 0.0;
    std::string LabT;
    for (std::size_t j = 0; j < hist.size(); ++j) {
        const Hist_Rec& h = hist[j];
        if (!(h.Sum > 0)) continue;
        const double x = static_cast<double>(out.Intervals.size());  // ordinal position

        // 11.1-11.3 Interval end, per-100-h factor, warranty share, running count.
        tCur = RoundHalfEven(h.time);
        K100 = 100.0 / (tCur - tPrev);
        const double V = NormF(st.SredGar, st.SKOGar, tCur);
        out.Vybyv[j] = V;
        SumOtk = SumOtk + h.Sum;
        LabT = FormatGeneral(tCur, sep);
        out.Chart1.Labels.push_back(LabT);

        // 11.4 Cause bars; nBar counts only the causes with failures.
        for (std::size_t nBar = 0; nBar < causes.size(); ++nBar) {
            const int k = causes[nBar];
            const double npr = h.Npr[static_cast<std::size_t>(k)];
            out.KolVid[static_cast<std::size_t>(k)] = out.KolVid[static_cast<std::size_t>(k)] + npr;
            AddPoint(out.Chart1.Series[nSer1 + nBar], x, npr * K100 / Park, LabT);
            AddPoint(out.Chart2.Series[nSer2 + nBar], x, out.KolVid[static_cast<std::size_t>(k)] / Park, LabT);
            // A share of ended warranties of 1 leaves no products to correct by:
            // the value is not finite and the point is left out.
            AddPoint(out.Chart3.Series[nSer3 + 2 * nBar + 1], x, 2.0 * npr * K100 / Park / (1.0 - V), LabT);
        }

        // 11.5 Accumulated observed failures, % of the fleet, with its value mark.
        const double acc = 100.0 * SumOtk / Park;
        if (std::isfinite(acc)) S17.Points.push_back({x, acc, LabT, FormatGrouped(acc, sep, group)});

        // 11.6-11.10 Each model's sums and its points.
        for (std::size_t m = 0; m < methods.size(); ++m) {
            const ModelSeries& ms = modelSeries[m];
            if (!ms.M) continue;
            const Mod_Weib& M = *ms.M;
            ModelSums& sum = sums[m];
            if (ms.accumulated) sum.Unsens = sum.Unsens + At(M.F_Weib, j);
            sum.Kol_Nakopl = sum.Kol_Nakopl + At(M.Kol_F_priv, j);
            if (ms.rate) AddPoint(*ms.rate, x, At(M.F_Weib, j) * K100 * M.K_powtor, LabT);
            if (ms.rateObserved) AddPoint(*ms.rateObserved, x, At(M.Kol_F_priv, j) * K100 / Park, LabT);
            if (ms.accumulated) AddPoint(*ms.accumulated, x, sum.Unsens * M.K_powtor, LabT);
            if (ms.accumulatedObserved) AddPoint(*ms.accumulatedObserved, x, sum.Kol_Nakopl / Park, LabT);
        }
        // 11.11 Warranty exits and observed failures.
        AddPoint(S1, x, 100.0 * V, LabT);
        AddPoint(S7, x, 100.0 * V, LabT);
        AddPoint(S15, x, SumOtk / Park, LabT);
        // The MCF at the interval's end, while products are still observed there.
        if (const std::optional<McfPoint> m = McfPointAt(out.MCF, h.time)) {
            AddPoint(S28, x, m->Value, LabT);
            if (std::isfinite(m->Lo) && std::isfinite(m->Hi)) S29.Points.push_back({x, m->Hi, LabT, {}, m->Lo});
        }
        if (S30) AddPoint(*S30, x, CausesSum(*byCause, *ml, h.time), LabT);

        out.Intervals.push_back({static_cast<int>(j), tCur, K100, LabT, SumOtk});
        tPrev = tCur;
    }
    out.Chart2.Labels = out.Chart1.Labels;
    out.Chart3.Labels = out.Chart1.Labels;
    out.K100 = K100;
    out.SumOtk = SumOtk;
    out.tPrev = tPrev;
    out.tCur = tCur;
    out.LabT = LabT;

    // 12. Title line.
    out.Label10 = st.DataTitle + " (" + FormatGeneral(st.ParkFile, sep) + words.fleetPieces;

    // Model 3's intervals, verdict and notes.
    if (ml && ml->ok && st.ModML.Executed) out.ML = SummarizeML(*ml, sep, words);

    // 13. The table, with the models' sums of this output.
    std::vector<double> kolNakopl(methods.size());
    for (std::size_t m = 0; m < methods.size(); ++m) kolNakopl[m] = sums[m].Kol_Nakopl;
    out.Table = BuildResultsTable(st, T0, kolNakopl, sep, !(ml && ml->ok && !ml->Separable), words, methods);

    // 14. Ln accumulation points and the Ln-Ln line from the first failure with
    // positive time to the last failure. Without such a failure, or when the line
    // of the loaded data is undefined, the line has no points.
    ChartSeries& S18 = Named(out.Chart3, "Series18");
    ChartSeries& S19 = Named(out.Chart3, "Series19");
    int& iFirstPos = out.WriteBack.iFirstPos;
    iFirstPos = -1;
    const auto& P = st.ArrProblems;
    for (std::size_t i = 0; i < P.size(); ++i) {
        if (!(P[i].time > 0)) continue;
        const double lx = std::log(P[i].time + kLogOffset);
        const double ly = std::log(static_cast<double>(i + 1));
        S18.Points.push_back({lx, ly, {}, {}});
        if (iFirstPos == -1) iFirstPos = static_cast<int>(i);
    }
    if (iFirstPos != -1 && LnLineDefined(st)) {
        for (const double t : {P[static_cast<std::size_t>(iFirstPos)].time, P.back().time}) {
            const double lx = std::log(t + kLogOffset);
            const double ly = st.A_LN * lx + st.B_LN;
            if (std::isfinite(lx) && std::isfinite(ly)) S19.Points.push_back({lx, ly, {}, {}});
        }
    }
    return out;
}

void ApplyResults(AnalysisState& st, const ResultsWriteBack& wb, const MethodTable& methods) {
    st.TPrirab = wb.TPrirab;
    st.iFirstPos = wb.iFirstPos;
    for (std::size_t m = 0; m < methods.size() && m < wb.Sums.size(); ++m) {
        const FitMethod& method = methods[m];
        if (!wb.Sums[m].Executed && method.keepSumsWhenIdle) continue;
        // A method with a record of its own only once it has run.
        if (!wb.Sums[m].Executed && !method.member && !st.MoreModels.contains(method.record)) continue;
        Mod_Weib& M = RecordOf(st, method);
        M.Unsens = wb.Sums[m].Unsens;
        M.Kol_Nakopl = wb.Sums[m].Kol_Nakopl;
    }
}

ResultsContent OutResults(AnalysisState& st, const std::string& burnInText, char decimalSep,
                          const std::string& groupSep, const MlResult* ml, const ResultsWords& words,
                          const MethodTable& methods) {
    ResultsContent out = ComputeResults(st, burnInText, decimalSep, groupSep, ml, words, methods);
    ApplyResults(st, out.WriteBack, methods);
    return out;
}

}  // namespace rel
