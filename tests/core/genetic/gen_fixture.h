// A small fleet and a plain host for the optimiser's tests: the host keeps the
// track-bar positions the loop sets, records every call, and lets a test act at the
// start of a chosen generation pass.
#pragma once

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "data/state.h"
#include "genetic/tgen.h"

namespace gentest {

// 80 failures of a fleet of 200 spread as a Weibull law (shape 1.4, scale 3000 h),
// warranty end 2500 +- 550 h, histogram built as the optimiser's start builds it.
inline rel::AnalysisState SmallFleet() {
    rel::AnalysisState st;
    for (int i = 0; i < 80; ++i) {
        rel::Problems p;
        const double u = (i + 0.5) / 200.0;
        p.time = std::round(3000.0 * std::pow(-std::log(1.0 - u), 1.0 / 1.4) * 10.0) / 10.0;
        p.chey = 2;
        p.Pri = "Насос";
        st.ArrProblems.push_back(p);
    }
    st.FileLoaded = true;
    st.ParkFile = st.Park = 200;
    st.KolOtkAll = 81;
    st.KolOtkNez = 80;
    st.SredGar = 2500;
    st.SKOGar = 550;
    st.TPrirab = 300;
    return st;
}

struct TestHost : rel::GenHost {
    int tb1 = 55, tb2 = 15;
    std::vector<int> tb1Set, tb2Set;
    std::vector<std::string> memo;
    std::vector<int> memoPass;  // generation pass (1-based) at which each line came
    std::vector<std::string> nPokoleny;
    std::vector<int> progress;
    std::string copyCount = "50";
    int diaGen = 0;
    bool terminate = false;
    int pass = 0;  // passes started (TrackBar1 is read first in each)
    std::function<void(int pass)> onPass;

    int CrossoverPercent() override {
        ++pass;
        if (onPass) onPass(pass);
        return tb1;
    }
    void SetCrossoverPercent(int p) override {
        tb1 = p;
        tb1Set.push_back(p);
    }
    int MutationPercent() override { return tb2; }
    void SetMutationPercent(int p) override {
        tb2 = p;
        tb2Set.push_back(p);
    }
    void ShowCounter(const std::string& t) override { nPokoleny.push_back(t); }
    void AppendMemo(const std::string& line) override {
        memo.push_back(line);
        memoPass.push_back(pass);
    }
    void SetProgress(int p) override { progress.push_back(p); }
    std::string CopyCountText() override { return copyCount; }
    void DiaGen() override { ++diaGen; }
    bool TerminationRequested() override { return terminate; }

    // Generation numbers g (= pass + 1) at which a memo line equal to `line` came.
    std::vector<int> GenerationsOf(const std::string& line) const {
        std::vector<int> g;
        for (std::size_t i = 0; i < memo.size(); ++i)
            if (memo[i] == line) g.push_back(memoPass[i] + 1);
        return g;
    }
};

// Repeatable settings: fixed seed, no reseeding, a small population.
inline rel::GenOptions SmallRun(int population, int generations, std::uint64_t seed = 1) {
    rel::GenOptions o;
    o.SizePopulation = population;
    o.KolPokoleny = generations;
    o.seed = seed;
    o.reseedEachEvaluation = false;
    return o;
}

}  // namespace gentest
