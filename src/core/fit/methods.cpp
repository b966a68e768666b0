#include "fit/methods.h"

#include <algorithm>

#include "fit/fit_common.h"
#include "fit/ml_causes.h"
#include "stats/criteria.h"
#include "stats/distrib.h"
#include "text/format.h"

namespace rel {

namespace {

double PearsonOf(const AnalysisState& st, const Mod_Weib& M, int item) {
    Mod_Weib w;
    return PearsonCrit(st, w, M.A, M.B, M.K_powtor, M.Sred, M.SKO, item);
}

double SmirnovOf(const AnalysisState& st, const Mod_Weib& M, int) {
    Mod_Weib w;
    for (const auto& p : st.ArrProblems) w.F_norm.push_back(NormF(M.Sred, M.SKO, p.time));
    return SmirnovCrit(st, w, M.A, M.B, M.K_powtor);
}

double HistogramOf(const AnalysisState& st, const Mod_Weib& M, int) {
    Mod_Weib w;
    return HistCrit(st, w, st.ArrHist, M.A, M.B, M.K_powtor, M.Sred, M.SKO);
}

// Model 3: the likelihood over the individual failures; its record holds the
// estimates and their interval values over the histogram.
FitReport FitModel3(const AnalysisState& st, const RunParams& p, const FitOptions&) {
    FitReport rep = fitdetail::StartReport(st, "3", st.ModML);
    MlOptions mo;
    mo.bootstrap = p.mlBootstrap;
    mo.seed = p.mlSeed;
    mo.decimalSep = p.decimalSep;
    mo.cancelled = p.cancelled;
    mo.stopBootstrap = p.mlStopBootstrap;
    mo.progress = p.mlProgress;
    const MlInput in = MlInputFromState(st);
    MlResult r = FitML(in, mo);
    // Each cause as its own failure process, with the warranty law of the pooled fit.
    if (r.ok) {
        MlCauseOptions co;
        co.fewToo = p.mlAllCauses;
        co.cancelled = p.cancelled;
        r.Causes = FitMLByCause(in, r, co);
        if (p.cancelled && p.cancelled()) {
            r.ok = false;
            r.error = "Модель 3: расчет прерван";
        }
    }
    FitSummary& sum = rep.summary;
    if (!r.ok) {
        sum.ok = false;
        sum.error = r.error;
    } else {
        sum.memo.push_back(ElapsedLine("Расчёт модели 3 по максимуму правдоподобия выполнен за ",
                                       static_cast<std::int64_t>(r.Seconds)));
        sum.memo.insert(sum.memo.end(), r.Memo.begin(), r.Memo.end());
        sum.memo.insert(sum.memo.end(), r.Notes.begin(), r.Notes.end());
        sum.elapsed = r.Seconds;
        StoreML(st, r, rep.model);
    }
    rep.ml = std::move(r);
    return rep;
}

MethodTable MakeStandard() {
    MethodTable t;
    t.Add({.id = "1.2",
           .record = "ModNewton",
           .member = &AnalysisState::ModNewton,
           .tableCaption = "Пирсона/Ньютона",
           .tableCaptionEn = "Pearson/Newton",
           .title = "Модель 1.2 по Пирсону, метод Ньютона",
           .titleEn = "Model 1.2, Pearson criterion, Newton's method",
           .rate = "Series20",
           .rateObserved = "Series21",
           .accumulated = "Series22",
           .accumulatedObserved = "Series23",
           .keepSumsWhenIdle = true,
           .seriesOnlyWhenRun = false,
           .runRank = 2,
           .fit = [](const AnalysisState& st, const RunParams&, const FitOptions& o) { return FitNewton(st, o); },
           .criterion = PearsonOf,
           .stepCoef = &RunParams::StepCoef12,
           .stepLabel = kStepCoefLabel12,
           .stepField = RunField::StepCoef12,
           .checkBox = "BoxNewton"});
    t.Add({.id = "1.1",
           .record = "ModSpir",
           .member = &AnalysisState::ModSpir,
           .tableCaption = "Пирсона/спир.спуск",
           .tableCaptionEn = "Pearson/spiral desc.",
           .title = "Модель 1.1 по Пирсону, метод спирального спуска",
           .titleEn = "Model 1.1, Pearson criterion, spiral descent",
           .rate = "Series3",
           .rateObserved = "Series2",
           .accumulated = "Series8",
           .accumulatedObserved = "Series9",
           .keepSumsWhenIdle = true,
           .seriesOnlyWhenRun = false,
           .runRank = 1,
           .fit = [](const AnalysisState& st, const RunParams&, const FitOptions& o) { return FitSpiral(st, o); },
           .criterion = PearsonOf,
           .stepCoef = &RunParams::StepCoef11,
           .stepLabel = kStepCoefLabel11,
           .stepField = RunField::StepCoef11,
           .sizesRecordFirst = true,
           .checkBox = "SpirSpusk"});
    t.Add({.id = "2",
           .record = "ModSmirn",
           .member = &AnalysisState::ModSmirn,
           .tableCaption = "Критерий Смирнова",
           .tableCaptionEn = "Smirnov criterion",
           .title = "Модель 2 (по Смирнову)",
           .titleEn = "Model 2 (Smirnov criterion)",
           .rateObserved = "Series4",
           .accumulatedObserved = "Series10",
           .seriesOnlyWhenRun = false,
           .runRank = 3,
           .fit = [](const AnalysisState& st, const RunParams&, const FitOptions& o) { return FitSmirnov(st, o); },
           .criterion = SmirnovOf,
           .stepCoef = &RunParams::StepCoef2,
           .stepLabel = kStepCoefLabel2,
           .stepField = RunField::StepCoef2,
           .checkBox = "BoxSmirnow"});
    // The optimiser runs on its own (its start button, relan-cli's "gen"), after the
    // calculation run.
    t.Add({.id = "gen",
           .record = "ModGen",
           .member = &AnalysisState::ModGen,
           .tableCaption = "Генетическая",
           .tableCaptionEn = "Genetic",
           .title = "Генетический алгоритм",
           .titleEn = "Genetic algorithm",
           .rate = "Series6",
           .rateObserved = "Series5",
           .accumulated = "Series11",
           .accumulatedObserved = "Series12",
           .seriesOnlyWhenRun = false,
           .runRank = 5,
           .fit = nullptr,
           .criterion = HistogramOf});
    t.Add({.id = "3",
           .record = "ModML",
           .member = &AnalysisState::ModML,
           .tableCaption = "Макс. правдоподобия",
           .tableCaptionEn = "Max. likelihood",
           .title = "Модель 3 (макс. правдоподобия)",
           .titleEn = "Model 3 (maximum likelihood)",
           .rate = "Series24",
           .rateObserved = "Series25",
           .accumulated = "Series26",
           .accumulatedObserved = "Series27",
           .runRank = 4,
           .fit = FitModel3,
           .criterion = nullptr,
           .checkBox = "BoxML"});
    return t;
}

}  // namespace

const MethodTable& MethodTable::Standard() {
    static const MethodTable table = MakeStandard();
    return table;
}

MethodTable& MethodTable::Add(FitMethod m) {
    methods_.push_back(std::move(m));
    return *this;
}

const FitMethod* MethodTable::Find(std::string_view id) const {
    for (const FitMethod& m : methods_)
        if (m.id == id) return &m;
    return nullptr;
}

const FitMethod* MethodTable::FindRecord(std::string_view record) const {
    for (const FitMethod& m : methods_)
        if (record == m.record) return &m;
    return nullptr;
}

std::vector<const FitMethod*> MethodTable::InRunOrder() const {
    std::vector<const FitMethod*> out;
    for (const FitMethod& m : methods_) out.push_back(&m);
    std::stable_sort(out.begin(), out.end(),
                     [](const FitMethod* a, const FitMethod* b) { return a->runRank < b->runRank; });
    return out;
}

std::string MethodTable::IdList(bool withGen) const {
    std::string out;
    for (const FitMethod* m : InRunOrder()) {
        if (!m->fit && !withGen) continue;
        if (!out.empty()) out += ", ";
        out += m->id;
    }
    return out;
}

Mod_Weib& RecordOf(AnalysisState& st, const FitMethod& m) {
    return m.member ? st.*m.member : st.MoreModels[m.record];
}

const Mod_Weib& RecordOf(const AnalysisState& st, const FitMethod& m) {
    if (m.member) return st.*m.member;
    static const Mod_Weib none;  // a method that has not run has a blank record
    const auto it = st.MoreModels.find(m.record);
    return it == st.MoreModels.end() ? none : it->second;
}

}  // namespace rel
