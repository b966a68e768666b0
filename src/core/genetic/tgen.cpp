#include "genetic/tgen.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <stdexcept>

#include "data/histogram.h"
#include "text/format.h"
#include "text/text.h"
#include "stats/distrib.h"

namespace rel {

namespace {

// A track-bar position for a probability: p * 101 rounded, within the bar's 0..100.
int TrackPos(double p) {
    const std::int64_t v = RoundCount(p * 101);
    return static_cast<int>(std::clamp<std::int64_t>(v, 0, 100));
}

int ClampInt(std::int64_t v) { return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX)); }

}  // namespace

std::int64_t RoundCount(double x) {
    if (!std::isfinite(x)) return 0;
    constexpr double kLimit = 4611686018427387904.0;  // 2^62
    const double r = RoundHalfEven(x);
    if (r > kLimit) return static_cast<std::int64_t>(kLimit);
    if (r < -kLimit) return -static_cast<std::int64_t>(kLimit);
    return static_cast<std::int64_t>(r);
}

// ---- Settings ----

std::string ValidateGenOptions(const GenOptions& o) {
    if (o.SizePopulation < kMinPopulation)
        return "Размер популяции должен быть не меньше " + std::to_string(kMinPopulation) + " (задано " +
               std::to_string(o.SizePopulation) + ")";
    if (o.SizePopulation > kMaxPopulation)
        return "Размер популяции должен быть не больше " + std::to_string(kMaxPopulation) + " (задано " +
               std::to_string(o.SizePopulation) + ")";
    if (o.KolPokoleny < kMinGenerations)
        return "Число поколений должно быть не меньше " + std::to_string(kMinGenerations) + " (задано " +
               std::to_string(o.KolPokoleny) + ")";
    if (o.KolPokoleny > kMaxGenerations)
        return "Число поколений должно быть от " + std::to_string(kMinGenerations) + " до " +
               std::to_string(kMaxGenerations) + " (задано " + std::to_string(o.KolPokoleny) + ")";
    if (!PrecisionReciprocal(o.Tochnost))
        return "Точность подбора " + FormatGeneral(static_cast<double>(o.Tochnost), o.decimalSep) +
               " вне допустимых пределов: 1/точность, округленная до целого, должна быть от 1 "
               "до 2147483647";
    return {};
}

std::string ParseGenTexts(std::string_view edit3, std::string_view nPokoleny, std::string_view edit2,
                          char decimalSep, GenOptions& o) {
    const auto size = ParseIntText(edit3);
    if (!size) return "Размер популяции: \"" + EscapeControls(Excerpt(edit3)) + "\" не является целым числом";
    const auto gens = ParseIntText(nPokoleny);
    if (!gens) return "Число поколений: \"" + EscapeControls(Excerpt(nPokoleny)) + "\" не является целым числом";

    std::string p(TrimBlanks(edit2));
    bool ok = !p.empty();
    for (char& c : p) {
        if (c == decimalSep)
            c = '.';
        else if (c == '.' && decimalSep != '.')
            ok = false;  // the other separator is not this locale's
    }
    std::string_view pv = p;
    if (!pv.empty() && pv.front() == '+') pv.remove_prefix(1);
    long double t = 0;
    if (ok) {
        const auto r = std::from_chars(pv.data(), pv.data() + pv.size(), t);
        ok = r.ec == std::errc() && r.ptr == pv.data() + pv.size() && !pv.empty();
    }
    if (!ok) return "Точность подбора: \"" + EscapeControls(Excerpt(edit2)) + "\" не является числом";

    o.SizePopulation = *size;
    o.KolPokoleny = *gens;
    o.Tochnost = t;
    return ValidateGenOptions(o);
}

std::string PrepareGenStart(AnalysisState& st) {
    BuildHist(st);
    if (st.ArrHist.empty()) return "Гистограмма отказов пуста: в данных нет отказов. Подбор не запущен.";
    if (st.KolOtkNez <= 0) return "В данных нет независимых отказов (все отказы - брак). Подбор не запущен.";
    const std::size_t H = st.ArrHist.size();
    st.ModGen.F_Weib.resize(H);
    st.ModGen.F_norm.resize(H);
    st.ModGen.Kol_F_priv.resize(H);
    return {};
}

// ---- The optimiser ----

TGen::TGen(AnalysisState& st, GenHost& host, GenFlags& flags, const GenOptions& o, GenRandom* rng)
    : SizePopulation(o.SizePopulation),
      KolPokoleny(o.KolPokoleny),
      CountGens(CountGensFor(st.FitSred, st.FitSKO)),
      Tochnost(o.Tochnost),
      GenStep(GenSteps(o.Tochnost)),
      st_(st),
      host_(host),
      flags_(flags),
      opt_(o),
      rng_(rng) {
    if (!rng_) {
        ownRng_ = std::make_unique<SystemRandom>(o.seed, o.reseedEachEvaluation);
        rng_ = ownRng_.get();
    }
}

Xromosome& TGen::Member(std::int64_t index) {
    if (index < 0 || index >= static_cast<std::int64_t>(ListPopulation.size()))
        throw std::out_of_range("member index outside the population");
    return *ListPopulation[static_cast<std::size_t>(index)];
}

double TGen::Fitness() {
    rng_->BeforeEvaluation();
    return GenFitness(st_, st_.ModGen, st_.ArrHist, GenParam.data(), cache_);
}

void TGen::CreateGens() {
    // 1. Gene table: every gene has the digits of the rounded reciprocal of the precision.
    ListGens.clear();
    const int len = GeneLength(Tochnost);
    int start = 0;
    for (int g = 0; g < CountGens; ++g) {
        ListGens.push_back(PosGen{start, len});
        start += len;
    }

    // 2. Members drawn uniformly over each gene's range and scored at the drawn values.
    ListPopulation.clear();
    ListPopulation.reserve(static_cast<std::size_t>(SizePopulation) * 3 + 2);
    for (int i = 0; i < SizePopulation; ++i) {
        auto x = std::make_unique<Xromosome>();
        x->sX.reserve(static_cast<std::size_t>(start));
        for (int g = 0; g < CountGens; ++g) {
            const double v = GenMin[g] + Draw() * GenRange[g];
            GenParam[g] = v;
            AppendBin(x->sX, ListGens[g].gLength, EncodeSteps(v, GenStep[g]));
        }
        x->Celev_F = Fitness();
        x->Pokolenie = 1;
        ListPopulation.push_back(std::move(x));
    }

    // 3. Every chromosome has the length of the last one.
    if (!ListPopulation.empty()) LengthXrome = static_cast<int>(ListPopulation.back()->sX.size());
}

void TGen::ShowGens() { host_.AppendMemo("Создано генов " + std::to_string(ListGens.size())); }

void TGen::DecodeXrome(std::string_view sX) {
    for (std::size_t g = 0; g < ListGens.size() && g < GenParam.size(); ++g) {
        const PosGen& e = ListGens[g];
        const std::int64_t v =
            BinToInt(sX.substr(static_cast<std::size_t>(e.gStart), static_cast<std::size_t>(e.gLength)));
        GenParam[g] = std::fabs(static_cast<double>(v) * GenStep[g]);
    }
}

void TGen::CrossingOver(int pokolenie) {
    const std::int64_t n = RoundCount(static_cast<double>(ListPopulation.size()) * fPCrossingOver);
    for (std::int64_t k = 0; k < n; ++k) {
        const auto count = static_cast<std::int64_t>(ListPopulation.size());
        // Parents: one from the better half, one from the worse half counted from the end.
        const std::int64_t p1 = RoundCount(Draw() * (static_cast<double>(count) / 2));
        const std::int64_t p2 = count - 1 - RoundCount(Draw() * (static_cast<double>(count) / 2));
        // Cut after digit c, 1 <= c <= LengthXrome - 1.
        const std::int64_t c = RoundCount(Draw() * (LengthXrome - 2)) + 1;
        const Xromosome& a = Member(p1);
        const Xromosome& b = Member(p2);
        if (c < 0 || c > static_cast<std::int64_t>(a.sX.size()) || c > static_cast<std::int64_t>(b.sX.size()))
            throw std::out_of_range("crossover cut outside the chromosome");
        const auto cut = static_cast<std::size_t>(c);

        auto child1 = std::make_unique<Xromosome>();
        child1->sX.reserve(b.sX.size());
        child1->sX.append(a.sX, 0, cut).append(b.sX, cut, std::string::npos);
        auto child2 = std::make_unique<Xromosome>();
        child2->sX.reserve(a.sX.size());
        child2->sX.append(b.sX, 0, cut).append(a.sX, cut, std::string::npos);

        DecodeXrome(child1->sX);
        child1->Celev_F = Fitness();
        child1->Pokolenie = pokolenie;
        ListPopulation.push_back(std::move(child1));

        DecodeXrome(child2->sX);
        child2->Celev_F = Fitness();
        child2->Pokolenie = pokolenie;
        ListPopulation.push_back(std::move(child2));
    }
}

void TGen::Mutation() {
    const std::int64_t n = RoundCount(static_cast<double>(SizePopulation) * fPMutation);
    for (std::int64_t k = 0; k < n; ++k) {
        const std::int64_t p = RoundCount(Draw() * (LengthXrome - 1)) + 1;
        // Members 0..7 (the best) and the last are never drawn.
        const std::int64_t m = RoundCount(Draw() * (SizePopulation - 10)) + 8;
        Xromosome& x = Member(m);
        if (p < 1 || p > static_cast<std::int64_t>(x.sX.size()))
            throw std::out_of_range("mutation digit outside the chromosome");
        char& d = x.sX[static_cast<std::size_t>(p - 1)];
        d = d == '0' ? '1' : '0';
        DecodeXrome(x.sX);
        x.Celev_F = Fitness();
    }
}

void TGen::CutPopulation(std::size_t size) {
    while (ListPopulation.size() > size) ListPopulation.pop_back();
    if (ListPopulation.empty()) ListGens.clear();
}

void TGen::CopyBest(int pokolenie) {
    const std::optional<int> k = ParseIntText(host_.CopyCountText());
    if (!k) return;  // not a whole number: nothing at all happens
    const std::int64_t take = std::min<std::int64_t>(*k, static_cast<std::int64_t>(ListBest.size()));
    for (std::int64_t i = 0; i < take; ++i) {
        const Xromosome& b = *ListBest[static_cast<std::size_t>(i)];
        auto x = std::make_unique<Xromosome>();
        x->sX = b.sX;
        x->Celev_F = b.Celev_F;
        x->Pokolenie = pokolenie;
        ListPopulation.push_back(std::move(x));
    }
    ListBest.clear();
    SortPopulation();
    CutPopulation(static_cast<std::size_t>(std::max(SizePopulation, 0)));
}

void TGen::SortPopulation() {
    // Stable: members of equal value keep their order, so a seeded run is the same
    // with every standard library.
    std::stable_sort(ListPopulation.begin(), ListPopulation.end(), XromeLess{});
}

std::string TGen::ReportLine(double F) const {
    const char sep = opt_.decimalSep;
    return " ЦФ=" + FormatFixed(F, 10, 5, sep, true) + "  B=" + FormatFixed(GenParamBest[0], 11, 2, sep, true) +
           "  A=" + FormatFixed(1 / GenParamBest[1], 10, 5, sep, true) +
           "   Кповт=" + FormatFixed(GenParamBest[2], 9, 5, sep, true);
}

void TGen::ReleaseLists() {
    ListPopulation.clear();
    ListPopulation.shrink_to_fit();
    ListBest.clear();
    ListBest.shrink_to_fit();
    ListGens.clear();
}

// One pass of the generation loop; g is the generation number, advanced by one.
void TGen::Generation(std::int64_t& g) {
    const double N = KolPokoleny;

    // 1. Crossover probability: the bar's position when the user has moved it (or
    // at the first pass), otherwise the schedule, shown on the bar.
    const int P1 = host_.CrossoverPercent();
    if (std::fabs(fPCrossingOver - P1 / 100.0) > 0.01) {
        fPCrossingOver = P1 / 101.0;
    } else {
        fPCrossingOver = 0.275 * std::fabs(std::sin(1 - static_cast<double>(8 * g) / N));
        host_.SetCrossoverPercent(TrackPos(fPCrossingOver));
    }

    // 2. Mutation probability, the same way.
    const int P2 = host_.MutationPercent();
    if (std::fabs(fPMutation - P2 / 100.0) > 0.01) {
        fPMutation = P2 / 101.0;
    } else {
        fPMutation = 0.125 * std::fabs(std::sin(static_cast<double>(10 * g) / N - 0.025));
        host_.SetMutationPercent(TrackPos(fPMutation));
    }

    // 3. A pending copy-back (the button, or the loop's own at 0.2, 0.5 and 0.8 of
    // the run): taken and cleared at once, so two presses make one copy-back.
    if (flags_.FlagCopyBest.exchange(false)) {
        host_.AppendMemo(kCopyBestLine);
        CopyBest(ClampInt(g));
    }

    // 4. The loop's own copy-backs, acted on at the next pass.
    const double share = static_cast<double>(g) / N;
    if (std::fabs(share - 0.8) < 0.0002 || std::fabs(share - 0.5) < 0.0002 || std::fabs(share - 0.2) < 0.0002)
        flags_.FlagCopyBest = true;

    // 5. Best first.
    SortPopulation();

    // 6. Report an improvement.
    if (!ListPopulation.empty() && ListPopulation.front()->Celev_F < Celev_Best) {
        Celev_Best = ListPopulation.front()->Celev_F;
        DecodeXrome(ListPopulation.front()->sX);
        GenParamBest = GenParam;
        BestReported = true;
        const double F = Fitness();
        host_.AppendMemo(ReportLine(F));
    }

    // 7. Record the generation's best member.
    {
        const Xromosome& best = Member(0);
        auto x = std::make_unique<Xromosome>();
        x->sX = best.sX;
        x->Celev_F = best.Celev_F;
        x->Pokolenie = ClampInt(g);
        ListBest.push_back(std::move(x));
    }

    // 8. Recorded members so far, at most the number of generations.
    const auto recorded = static_cast<std::int64_t>(ListBest.size());
    host_.ShowCounter(std::to_string(recorded < KolPokoleny ? recorded : KolPokoleny));

    // 9-11. Breed, order, cut back.
    CrossingOver(ClampInt(g + 1));
    SortPopulation();
    CutPopulation(static_cast<std::size_t>(SizePopulation));

    // 12-13. Next generation number; mutation.
    ++g;
    Mutation();

    // 14. Progress in steps of 5 %.
    const std::int64_t q = RoundCount(static_cast<double>(100 * g) / N);
    if (q % 5 == 0) host_.SetProgress(static_cast<int>(std::clamp<std::int64_t>(q, 0, 100)));
}

GenOutcome TGen::Execute() {
    GenOutcome out;
    // 1. Requests left from before the run are dropped.
    flags_.FlagCopyBest = false;
    flags_.FlagStop = false;

    // 2. Settings.
    out.error = ValidateGenOptions(opt_);
    if (!out.error.empty()) return out;
    SizePopulation = opt_.SizePopulation;
    KolPokoleny = opt_.KolPokoleny;
    ReleaseLists();

    // 3-4. Generator, gene table and initial population.
    rng_->StartRun();
    try {
        CreateGens();
    } catch (...) {
        host_.AppendMemo(kErrorLine);
        ReleaseLists();
        out.end = GenEnd::Error;
        return out;
    }
    ShowGens();

    // 5-6. Generation loop; at least one pass.
    std::int64_t g = 2;
    Celev_Best = 1e306;
    BestReported = false;
    try {
        for (;;) {
            Generation(g);
            ++out.passes;
            const bool stop = flags_.FlagStop.load();
            const bool done = g > KolPokoleny;
            const bool term = host_.TerminationRequested();
            if (term || stop || done) {
                out.end = term ? GenEnd::Terminated : stop ? GenEnd::Stopped : GenEnd::Completed;
                break;
            }
        }
    } catch (...) {
        // 7. Any error ends the loop; the finishing steps still run.
        host_.AppendMemo(kErrorLine);
        out.end = GenEnd::Error;
    }

    // 8. Finishing.
    try {
        Finish(out);
    } catch (...) {
        ReleaseLists();
        host_.AppendMemo(kErrorLine);
        out.end = GenEnd::Error;
    }
    out.bestCriterion = Celev_Best;
    return out;
}

void TGen::Finish(GenOutcome& out) {
    if (!BestReported) {
        // No member with a comparable value was ever reported: the record keeps its
        // previous model rather than a parameter set of zeros.
        ReleaseLists();
        host_.AppendMemo(kNoBestLine);
        return;
    }

    // 1-2. The best parameter set into the model.
    GenParam = GenParamBest;
    Mod_Weib& M = st_.ModGen;
    M.Executed = true;
    M.A = GenParam[1];
    M.B = GenParam[0];
    M.K_powtor = GenParam[2];

    // 3-4. Fitted warranty figures replace the ones entered.
    if (st_.FitSred && st_.FitSKO) {
        st_.SredGar = GenParam[3];
        st_.SKOGar = GenParam[4];
    } else if (st_.FitSred) {
        st_.SredGar = GenParam[3];
    } else if (st_.FitSKO) {
        st_.SKOGar = GenParam[3];
    }
    M.SKO = st_.SKOGar;
    M.Sred = st_.SredGar;

    // 5-6. The model's interval values; the totals are accumulated by the results output.
    M.Unsens = 0;
    M.Kol_Nakopl = 0;
    const Hist40& h = st_.ArrHist;
    const std::size_t H = h.size();
    if (M.F_norm.size() < H) M.F_norm.resize(H);
    if (M.F_Weib.size() < H) M.F_Weib.resize(H);
    if (M.Kol_F_priv.size() < H) M.Kol_F_priv.resize(H);
    double t0 = 0.0;
    for (std::size_t j = 0; j < H; ++j) {
        const double t = h[j].time;
        M.F_norm[j] = NormF(M.Sred, M.SKO, (t0 + t) / 2);
        M.F_Weib[j] = WeibInterval(M.A, M.B, t0, t);
        M.Kol_F_priv[j] = st_.Park * M.K_powtor * M.F_Weib[j] * (1 - M.F_norm[j]);
        t0 = t;
    }

    // 7. The population, the recorded members and the gene table are released.
    ReleaseLists();
    out.modelWritten = true;

    // 8. Indicators and the confidence line.
    ModelIndicators(st_, M, st_.TPrirab);
    host_.AppendMemo(HistConfidence(st_, M, opt_.decimalSep).line);

    // 9. Results, unless the window is closing.
    if (out.end != GenEnd::Terminated) {
        host_.DiaGen();
        out.resultsShown = true;
    }
}

}  // namespace rel
