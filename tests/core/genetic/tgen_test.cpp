// Population operations and the generation loop, on a small fleet with a plain host.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>

#include "gen_fixture.h"
#include "genetic/tgen.h"
#include "stats/criteria.h"
#include "stats/distrib.h"

namespace {

using namespace rel;
using gentest::SmallFleet;
using gentest::SmallRun;
using gentest::TestHost;

// Draws given by a test, in order; 0 when the script has run out.
struct Script {
    std::deque<double> d;
    double operator()() {
        if (d.empty()) return 0.0;
        const double v = d.front();
        d.pop_front();
        return v;
    }
};

class GenOps : public ::testing::Test {
protected:
    void SetUp() override {
        st = SmallFleet();
        ASSERT_EQ(PrepareGenStart(st), "");
    }
    AnalysisState st;
    TestHost host;
    GenFlags flags;
};

TEST_F(GenOps, CreateGensBuildsTableAndScoredPopulation) {
    SystemRandom rng(7, false);
    rng.StartRun();
    TGen gen(st, host, flags, SmallRun(12, 1), &rng);
    gen.CreateGens();
    ASSERT_EQ(gen.ListGens.size(), 3u);
    EXPECT_EQ(gen.ListGens[1].gStart, 24);
    EXPECT_EQ(gen.ListGens[2].gLength, 24);
    EXPECT_EQ(gen.LengthXrome, 72);
    ASSERT_EQ(gen.ListPopulation.size(), 12u);
    for (const auto& x : gen.ListPopulation) {
        EXPECT_EQ(x->sX.size(), 72u);
        EXPECT_EQ(x->Pokolenie, 1);
        // The score is that of the drawn values, which the digits keep within half a step.
        gen.DecodeXrome(x->sX);
        for (int g = 0; g < 3; ++g) {
            EXPECT_GE(gen.GenParam[g], GenMin[g] - gen.GenStep[g]);
            EXPECT_LE(gen.GenParam[g], GenMin[g] + GenRange[g] + gen.GenStep[g]);
        }
        EXPECT_TRUE(std::isfinite(x->Celev_F));
    }
    gen.ShowGens();
    EXPECT_EQ(host.memo.back(), "Создано генов 3");

    // Precision 0.001: ten digits a gene; both warranty figures fitted: five genes.
    st.FitSred = st.FitSKO = true;
    GenOptions o = SmallRun(10, 1);
    o.Tochnost = 0.001L;
    TGen five(st, host, flags, o, &rng);
    five.CreateGens();
    EXPECT_EQ(five.LengthXrome, 50);
    five.ShowGens();
    EXPECT_EQ(host.memo.back(), "Создано генов 5");
}

TEST_F(GenOps, CrossingOverCutsAfterTheDrawnDigit) {
    Script s;
    FunctionRandom rng(std::ref(s));
    TGen gen(st, host, flags, SmallRun(10, 1), &rng);
    for (int i = 0; i < 10; ++i) s.d.insert(s.d.end(), {0.1 * i, 0.5, 0.9});
    gen.CreateGens();
    const std::string a = gen.ListPopulation[0]->sX;
    const std::string b = gen.ListPopulation[9]->sX;
    ASSERT_NE(a, b);

    struct Case {
        double draw;
        std::size_t cut;
    } cases[] = {{0.0, 1}, {0.9999, 71}, {0.5, 36}};
    for (const Case& c : cases) {
        gen.CutPopulation(10);
        gen.fPCrossingOver = 0.1;  // one crossover among ten members
        s.d = {0.0, 0.0, c.draw};  // first parent 0, second parent the last, cut
        gen.CrossingOver(7);
        ASSERT_EQ(gen.ListPopulation.size(), 12u);
        const Xromosome& c1 = *gen.ListPopulation[10];
        const Xromosome& c2 = *gen.ListPopulation[11];
        EXPECT_EQ(c1.sX, a.substr(0, c.cut) + b.substr(c.cut)) << c.cut;
        EXPECT_EQ(c2.sX, b.substr(0, c.cut) + a.substr(c.cut)) << c.cut;
        EXPECT_EQ(c1.Pokolenie, 7);
        // The child is scored at its decoded parameters.
        gen.DecodeXrome(c1.sX);
        EXPECT_EQ(c1.Celev_F, GenFitness(st, st.ModGen, st.ArrHist, gen.GenParam.data()));
    }
    // Probability 0: no crossover.
    gen.CutPopulation(10);
    gen.fPCrossingOver = 0.0;
    gen.CrossingOver(8);
    EXPECT_EQ(gen.ListPopulation.size(), 10u);
}

TEST_F(GenOps, MutationWithTenMembersAlwaysHitsMemberEight) {
    Script s;
    FunctionRandom rng(std::ref(s));
    TGen gen(st, host, flags, SmallRun(10, 1), &rng);
    for (int i = 0; i < 30; ++i) s.d.push_back(std::fmod(0.37 * i, 1.0));
    gen.CreateGens();
    std::vector<std::string> before;
    for (const auto& x : gen.ListPopulation) before.push_back(x->sX);

    gen.fPMutation = 0.3;  // three mutations
    // Digit draws 0, 0.5 and 0.9999 (digits 1, 37, 72); member draws anywhere in [0, 1).
    s.d = {0.0, 0.0, 0.5, 0.7, 0.9999, 0.9999};
    gen.Mutation();
    for (int i = 0; i < 10; ++i) {
        if (i == 8) continue;
        EXPECT_EQ(gen.ListPopulation[i]->sX, before[i]) << i;
    }
    std::string expected = before[8];
    for (std::size_t d : {0u, 36u, 71u}) expected[d] = expected[d] == '0' ? '1' : '0';
    EXPECT_EQ(gen.ListPopulation[8]->sX, expected);
    gen.DecodeXrome(expected);
    EXPECT_EQ(gen.ListPopulation[8]->Celev_F, GenFitness(st, st.ModGen, st.ArrHist, gen.GenParam.data()));
}

TEST_F(GenOps, MutationIndexOutsideASmallPopulationIsAnError) {
    // With 8 members the member draw can land on index 8: refused as an index error.
    SystemRandom rng(3, false);
    rng.StartRun();
    TGen gen(st, host, flags, SmallRun(10, 1), &rng);
    gen.CreateGens();
    gen.SizePopulation = 8;
    gen.CutPopulation(8);
    gen.fPMutation = 1.0;
    EXPECT_THROW(
        {
            for (int i = 0; i < 50; ++i) gen.Mutation();
        },
        std::out_of_range);
}

TEST_F(GenOps, CopyBestPutsBackTheOldestRecordedMembers) {
    struct Case {
        const char* count;
        int recorded;
        int copied;  // -1: nothing happens at all
    } cases[] = {{"50", 20, 20},   {"50", 80, 50}, {" 7 ", 30, 7}, {"-3", 10, 0},
                 {"12.5", 30, -1}, {"", 30, -1},   {"abc", 30, -1}};
    for (const Case& c : cases) {
        SystemRandom rng(11, false);
        rng.StartRun();
        TGen gen(st, host, flags, SmallRun(100, 1), &rng);
        gen.CreateGens();
        // Recorded members better than every member of the population, oldest first.
        for (int i = 0; i < c.recorded; ++i) {
            auto x = std::make_unique<Xromosome>();
            x->sX = std::string(72, '0');
            x->sX[i % 72] = '1';
            x->sX[(i / 72) + 1] = '1';
            x->Celev_F = -1000.0 - i;
            x->Pokolenie = i + 2;
            gen.ListBest.push_back(std::move(x));
        }
        std::vector<std::string> recorded;
        for (const auto& x : gen.ListBest) recorded.push_back(x->sX);
        gen.ListPopulation.back()->Celev_F = -1e9;  // unsorted: only a real copy-back sorts
        host.copyCount = c.count;
        gen.CopyBest(99);

        SCOPED_TRACE(c.count);
        if (c.copied < 0) {
            EXPECT_EQ(gen.ListBest.size(), static_cast<std::size_t>(c.recorded));
            EXPECT_EQ(gen.ListPopulation.back()->Celev_F, -1e9);
            continue;
        }
        EXPECT_TRUE(gen.ListBest.empty());
        ASSERT_EQ(gen.ListPopulation.size(), 100u);
        EXPECT_EQ(gen.ListPopulation.front()->Celev_F, -1e9);  // sorted
        std::vector<std::string> copies;
        for (const auto& x : gen.ListPopulation)
            if (x->Pokolenie == 99) copies.push_back(x->sX);
        std::sort(copies.begin(), copies.end());
        std::vector<std::string> first(recorded.begin(), recorded.begin() + c.copied);
        std::sort(first.begin(), first.end());
        EXPECT_EQ(copies, first);
    }
}

TEST_F(GenOps, CutPopulationReleasesGenesWhenEmpty) {
    SystemRandom rng(5, false);
    rng.StartRun();
    TGen gen(st, host, flags, SmallRun(10, 1), &rng);
    gen.CreateGens();
    gen.SortPopulation();
    const double worst = gen.ListPopulation.back()->Celev_F;
    gen.CutPopulation(9);
    EXPECT_EQ(gen.ListPopulation.size(), 9u);
    for (const auto& x : gen.ListPopulation) EXPECT_LE(x->Celev_F, worst);
    EXPECT_EQ(gen.ListGens.size(), 3u);
    gen.CutPopulation(0);
    EXPECT_TRUE(gen.ListPopulation.empty());
    EXPECT_TRUE(gen.ListGens.empty());
}

TEST_F(GenOps, ReportLineShowsTheReciprocalOfTheShape) {
    TGen gen(st, host, flags, [] {
        GenOptions o = SmallRun(10, 1);
        o.decimalSep = ',';
        return o;
    }());
    gen.GenParamBest = {1000.5, 0.5, 2.25, 0, 0};
    EXPECT_EQ(gen.ReportLine(12.345678), " ЦФ=12,34568    B=1000,50      A=2,00000      Кповт=2,25000  ");
}

// ---- The generation loop ----

class GenLoop : public GenOps {
protected:
    GenOutcome Run(int population, int generations, std::uint64_t seed = 1) {
        TGen gen(st, host, flags, SmallRun(population, generations, seed));
        return gen.Execute();
    }
};

TEST_F(GenLoop, CopyBackScheduleOverTheRun) {
    struct Case {
        int N;
        std::vector<int> actedOn;
        const char* lastShown;
    } cases[] = {{1500, {301, 751, 1201}, "300"}, {4000, {801, 2001, 3201}, "800"}};
    for (const Case& c : cases) {
        host = TestHost{};
        const GenOutcome r = Run(10, c.N);
        SCOPED_TRACE(c.N);
        EXPECT_EQ(r.end, GenEnd::Completed);
        EXPECT_EQ(r.passes, c.N - 1);
        EXPECT_EQ(host.GenerationsOf(kCopyBestLine), c.actedOn);
        EXPECT_EQ(host.nPokoleny.back(), c.lastShown);
        EXPECT_EQ(host.progress.back(), 100);
        EXPECT_EQ(host.diaGen, 1);
    }
}

TEST_F(GenLoop, SingleGeneration) {
    const GenOutcome r = Run(10, 1);
    EXPECT_EQ(r.end, GenEnd::Completed);
    EXPECT_EQ(r.passes, 1);
    EXPECT_EQ(host.nPokoleny, std::vector<std::string>{"1"});
    EXPECT_TRUE(r.modelWritten);
    EXPECT_EQ(host.diaGen, 1);
    EXPECT_TRUE(st.ModGen.Executed);
    // Memo: genes, the one report, the confidence line.
    ASSERT_EQ(host.memo.size(), 3u);
    EXPECT_EQ(host.memo[0], "Создано генов 3");
    EXPECT_EQ(host.memo[1].rfind(" ЦФ=", 0), 0u);
    EXPECT_EQ(host.memo[2].rfind("Доверительный 95% интервал частотной диаграммы = ", 0), 0u);
}

TEST_F(GenLoop, ProbabilitiesFollowBarsThenSchedule) {
    TGen gen(st, host, flags, SmallRun(10, 1500));
    std::vector<double> pc, pm;  // the probabilities used by each pass
    host.onPass = [&](int pass) {
        if (pass > 1) {
            pc.push_back(gen.fPCrossingOver);
            pm.push_back(gen.fPMutation);
        }
        if (pass == 5) host.tb1 = 80;  // the user moves the crossover bar before pass 5
        if (pass == 7) flags.FlagStop = true;
    };
    gen.Execute();
    ASSERT_GE(pc.size(), 5u);
    // First pass (g = 2): the default bars 55 and 15, divided by 101.
    EXPECT_EQ(pc[0], 55 / 101.0);
    EXPECT_EQ(pm[0], 15 / 101.0);
    // Second pass (g = 3): the schedule, shown on the bars as 23 and 0.
    EXPECT_EQ(pc[1], 0.275 * std::fabs(std::sin(1 - 24 / 1500.0)));
    EXPECT_EQ(pm[1], 0.125 * std::fabs(std::sin(30 / 1500.0 - 0.025)));
    EXPECT_NEAR(pc[1], 0.229, 0.0005);
    EXPECT_NEAR(pm[1], 0.000625, 0.000001);
    ASSERT_GE(host.tb1Set.size(), 1u);
    EXPECT_EQ(host.tb1Set[0], 23);
    EXPECT_EQ(host.tb2Set[0], 0);
    // The moved bar is used for one pass (g = 6), then the schedule takes over again.
    EXPECT_EQ(pc[4], 80 / 101.0);
    EXPECT_EQ(pc[5], 0.275 * std::fabs(std::sin(1 - 56 / 1500.0)));
}

TEST_F(GenLoop, StopDuringAGenerationFinishesTheRun) {
    TGen gen(st, host, flags, SmallRun(20, 1500));
    host.onPass = [&](int pass) {
        if (pass == 3) flags.FlagStop = true;
    };
    const GenOutcome r = gen.Execute();
    EXPECT_EQ(r.end, GenEnd::Stopped);
    EXPECT_EQ(r.passes, 3);  // the pass under way completes
    EXPECT_TRUE(r.modelWritten);
    EXPECT_EQ(host.diaGen, 1);
    EXPECT_TRUE(gen.ListPopulation.empty());
    EXPECT_TRUE(gen.ListBest.empty());
    EXPECT_TRUE(gen.ListGens.empty());

    // The record holds the reported best with the finishing steps' interval values.
    const Mod_Weib& M = st.ModGen;
    EXPECT_TRUE(M.Executed);
    EXPECT_EQ(M.B, gen.GenParamBest[0]);
    EXPECT_EQ(M.A, gen.GenParamBest[1]);
    EXPECT_EQ(M.K_powtor, gen.GenParamBest[2]);
    EXPECT_EQ(M.Sred, 2500);
    EXPECT_EQ(M.SKO, 550);
    EXPECT_EQ(M.Kol_Nakopl, 0);
    EXPECT_EQ(M.Unsens, 0);
    double t0 = 0;
    for (std::size_t j = 0; j < st.ArrHist.size(); ++j) {
        const double t = st.ArrHist[j].time;
        EXPECT_EQ(M.F_norm[j], NormF(2500, 550, (t0 + t) / 2));
        EXPECT_EQ(M.F_Weib[j], WeibInterval(M.A, M.B, t0, t));
        EXPECT_EQ(M.Kol_F_priv[j], st.Park * M.K_powtor * M.F_Weib[j] * (1 - M.F_norm[j]));
        t0 = t;
    }
    Mod_Weib ind = M;
    ModelIndicators(st, ind, 300);
    EXPECT_EQ(M.SKO_out, ind.SKO_out);
    EXPECT_EQ(M.LamStart, ind.LamStart);
    EXPECT_EQ(host.memo.back(), HistConfidence(st, M, '.').line);
}

TEST_F(GenLoop, CopyBackPressedTwiceCopiesOnce) {
    TGen gen(st, host, flags, SmallRun(10, 1500));
    host.onPass = [&](int pass) {
        if (pass == 9) {
            flags.FlagCopyBest = true;
            flags.FlagCopyBest = true;
        }
        if (pass == 12) flags.FlagStop = true;
    };
    // A request left from before the run is dropped when it starts.
    flags.FlagCopyBest = true;
    gen.Execute();
    EXPECT_EQ(host.GenerationsOf(kCopyBestLine), std::vector<int>{10});
}

TEST_F(GenLoop, TerminationRequestFillsTheModelWithoutShowingIt) {
    TGen gen(st, host, flags, SmallRun(10, 1500));
    host.onPass = [&](int pass) {
        if (pass == 2) host.terminate = true;
    };
    const GenOutcome r = gen.Execute();
    EXPECT_EQ(r.end, GenEnd::Terminated);
    EXPECT_EQ(r.passes, 2);
    EXPECT_TRUE(r.modelWritten);
    EXPECT_FALSE(r.resultsShown);
    EXPECT_EQ(host.diaGen, 0);
    EXPECT_TRUE(st.ModGen.Executed);
}

TEST_F(GenLoop, ErrorInTheLoopStillFinishes) {
    // Draws in range for the initial population and two passes, then a draw outside
    // [0, 1) puts a parent index outside the population.
    SystemRandom inner(9, false);
    inner.StartRun();
    int n = 0;
    FunctionRandom rng([&] { return ++n > 200 ? 5.0 : inner.Next(); });
    TGen gen(st, host, flags, SmallRun(20, 1500), &rng);
    const GenOutcome r = gen.Execute();
    EXPECT_EQ(r.end, GenEnd::Error);
    EXPECT_NE(std::find(host.memo.begin(), host.memo.end(), kErrorLine), host.memo.end());
    EXPECT_TRUE(r.modelWritten);
    EXPECT_EQ(host.diaGen, 1);
    EXPECT_EQ(st.ModGen.B, gen.GenParamBest[0]);
    EXPECT_EQ(host.memo.back().rfind("Доверительный", 0), 0u);
}

TEST_F(GenLoop, NoComparableMemberLeavesTheModelAlone) {
    st.Park = std::numeric_limits<double>::quiet_NaN();  // every score is NaN
    st.ModGen.A = 1.5;
    const GenOutcome r = Run(10, 5);
    EXPECT_EQ(r.end, GenEnd::Completed);
    EXPECT_FALSE(r.modelWritten);
    EXPECT_EQ(host.diaGen, 0);
    EXPECT_EQ(st.ModGen.A, 1.5);
    EXPECT_FALSE(st.ModGen.Executed);
    EXPECT_EQ(host.memo.back(), kNoBestLine);
}

TEST_F(GenLoop, RefusedSettingsChangeNothing) {
    for (int size : {0, 9}) {
        const GenOutcome r = Run(size, 100);
        EXPECT_EQ(r.end, GenEnd::NotStarted);
        EXPECT_FALSE(r.error.empty());
    }
    // A hundred million generations would run for days: refused before the first.
    const GenOutcome r = Run(10, 100000000);
    EXPECT_EQ(r.end, GenEnd::NotStarted);
    EXPECT_EQ(r.passes, 0);
    EXPECT_EQ(r.error, "Число поколений должно быть от 1 до 1000000 (задано 100000000)");
    EXPECT_TRUE(host.memo.empty());
    EXPECT_FALSE(st.ModGen.Executed);
}

TEST_F(GenLoop, FittedWarrantyFiguresReplaceTheEnteredOnes) {
    struct Case {
        bool sred, sko;
    } cases[] = {{true, false}, {false, true}, {true, true}};
    for (const Case& c : cases) {
        SetUp();
        st.FitSred = c.sred;
        st.FitSKO = c.sko;
        host = TestHost{};
        TGen gen(st, host, flags, SmallRun(10, 3));
        gen.Execute();
        const auto& P = gen.GenParamBest;
        EXPECT_EQ(st.SredGar, c.sred ? P[3] : 2500);
        EXPECT_EQ(st.SKOGar, c.sko ? (c.sred ? P[4] : P[3]) : 550);
        EXPECT_EQ(st.ModGen.Sred, st.SredGar);
        EXPECT_EQ(st.ModGen.SKO, st.SKOGar);
        EXPECT_EQ(host.memo[0], "Создано генов " + std::to_string(3 + c.sred + c.sko));
    }
}

TEST_F(GenLoop, FixedSeedRunIsRepeatable) {
    auto run = [&](std::uint64_t seed) {
        SetUp();
        host = TestHost{};
        Run(30, 60, seed);
        return std::make_pair(host.memo, st.ModGen);
    };
    const auto a = run(5), b = run(5), c = run(6);
    EXPECT_EQ(a.first, b.first);
    EXPECT_EQ(a.second.A, b.second.A);
    EXPECT_EQ(a.second.B, b.second.B);
    EXPECT_EQ(a.second.K_powtor, b.second.K_powtor);
    EXPECT_EQ(a.second.Kol_F_priv, b.second.Kol_F_priv);
    EXPECT_NE(a.first, c.first);
    // Improvements are reported with falling criterion values.
    EXPECT_GE(a.first.size(), 4u);
}

TEST_F(GenLoop, ClockSeededRunCompletes) {
    TGen gen(st, host, flags, [] {
        GenOptions o;
        o.SizePopulation = 20;
        o.KolPokoleny = 20;
        return o;  // default: seeded and reseeded from the clock
    }());
    const GenOutcome r = gen.Execute();
    EXPECT_EQ(r.end, GenEnd::Completed);
    EXPECT_TRUE(r.modelWritten);
}

}  // namespace
