// Fuzz target: the failure data reader on arbitrary bytes, then the histogram and
// the criteria at the fits' starting points, as a calculation run reaches them.
// Findings: sanitizer reports, a reversed interval reaching the Weibull routine,
// and a histogram that does not account for every failure at 1 h or more.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "analysis/load.h"
#include "data/histogram.h"
#include "fuzz_support.h"
#include "stats/criteria.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    relfuzz::InstallHandler();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace rel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // Either separator of the window's texts; the length decides which.
    const char sep = size % 2 ? ',' : '.';
    AnalysisState st;
    // Bad rows left out, so that a stray byte in one row does not end the input's run.
    const LoadResult r = LoadFailureBytes(st, bytes, "fuzz.txt", sep, BadRowPolicy::Skip);
    if (!r.ok) return 0;
    for (const BadRow& b : r.BadRows) RELFUZZ_CHECK(b.line > 0 && !b.why.empty());
    RELFUZZ_CHECK(!st.ArrProblems.empty());
    for (const ShareMark& m : r.view.Marks) RELFUZZ_CHECK(m.row < st.ArrProblems.size());

    long long atOneHourOrMore = 0;  // the failures the histogram counts
    for (const FailureRef p : st.ArrProblems) {
        RELFUZZ_CHECK(p.time >= 0 && p.time <= kMaxFailureTime);
        atOneHourOrMore += p.time >= 1.0;
        RELFUZZ_CHECK(p.chey >= 0 && p.chey <= st.MaxPrich);
    }

    // The run parameters as the window shows them after the load.
    st.TPrirab = 300;
    BuildHist(st);
    if (st.ArrHist.empty()) return 0;
    // Every failure lies in one interval; those below 1 h are left out of the counts.
    long long counted = 0;
    double prev = 0;
    for (const Hist_Rec& h : st.ArrHist) {
        RELFUZZ_CHECK(h.time > prev);
        counted += h.Sum;
        prev = h.time;
    }
    RELFUZZ_CHECK(counted == atOneHourOrMore);

    // Model 1.1's starting point, with the indicators of the results table.
    Mod_Weib M;
    const double K = st.KolOtkAll / st.ParkFile;
    PearsonCrit(st, M, 1.0, 1000.0, K, st.SredGar, st.SKOGar, kItemStandard);
    M.A = 1.0;
    M.B = 1000.0;
    M.K_powtor = K;
    M.Sred = st.SredGar;
    M.SKO = st.SKOGar;
    ModelIndicators(st, M, st.TPrirab);
    HistConfidence(st, M, sep);
    double lambda = 0;
    std::string verdict;
    KolmogorovCrit(st, lambda, verdict, K, 1.0, 1000.0, st.SredGar, st.SKOGar);

    // Model 2's starting point: one warranty share per failure.
    if (st.KolOtkNez > 0) {
        Mod_Weib S;
        for (const FailureRef p : st.ArrProblems) S.F_norm.push_back(NormF(st.SredGar, st.SKOGar, p.time));
        SmirnovCrit(st, S, 1.0, 2000.0, K);
    }
    return 0;
}
