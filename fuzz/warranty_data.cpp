// Fuzz target: the warranty end-time reader on arbitrary bytes; a loaded mean and
// deviation then serve the criteria over a small fixed fleet.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "analysis/load.h"
#include "data/histogram.h"
#include "data/warranty_file.h"
#include "fuzz_support.h"
#include "stats/criteria.h"

namespace {

rel::AnalysisState g_fleet;

// Eight failures of a fleet of 40 under two causes, one reject.
constexpr std::string_view kFleet =
    "Fleet\n2500\n550\n40\n8\n1\nPump\nValve\n"
    "0.5\tbrak upakovki * dent on the case\n"
    "120\tPump seal * leak at the seal\n"
    "340\tValve spring * broken\n"
    "610,5\tPump motor * seized\n"
    "900\tother cause * none\n"
    "1210\tValve seat * worn\n"
    "1800\tPump * noise\n"
    "2600\tValve * stuck\n";

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    relfuzz::InstallHandler();
    const rel::LoadResult r = rel::LoadFailureBytes(g_fleet, kFleet, "fleet.txt", '.');
    if (!r.ok) __builtin_trap();
    g_fleet.TPrirab = 300;
    rel::BuildHist(g_fleet);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace rel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const char sep = size % 2 ? ',' : '.';
    AnalysisState st = g_fleet;
    const WarrantyResult r = LoadWarrantyBytes(st, bytes, "C:\\data\\gar.txt", sep);
    if (!r.ok) {
        RELFUZZ_CHECK(st.SredGar == g_fleet.SredGar && st.SKOGar == g_fleet.SKOGar);
        return 0;
    }
    RELFUZZ_CHECK(st.ArrGar.size() >= 2);
    RELFUZZ_CHECK(st.SKOGar >= 0);

    Mod_Weib M;
    PearsonCrit(st, M, 1.2, 1500.0, 1.5, st.SredGar, st.SKOGar, kItemSpecial2);
    M.A = 1.2;
    M.B = 1500.0;
    M.K_powtor = 1.5;
    M.Sred = st.SredGar;
    M.SKO = st.SKOGar;
    HistConfidence(st, M, sep);
    double lambda = 0;
    std::string verdict;
    KolmogorovCrit(st, lambda, verdict, 1.5, 1.2, 1500.0, st.SredGar, st.SKOGar);
    return 0;
}
