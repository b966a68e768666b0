#include "data/histogram.h"

#include <cmath>

namespace rel {

namespace {

constexpr double kTolerance = 0.1;  // hours past a bound still inside the interval
constexpr double kRejectTime = 1.0;
constexpr double kMaxHistTime = 1e12;  // bounds stay whole numbers, exact in Double
constexpr int kMaxShag2 = 1 << 29;
constexpr int kBoundsSplit = 10;  // intervals 0..9 use Shag1, later ones Shag2

void Count(Hist_Rec& r, int chey) {
    if (chey >= 0 && chey < kNprSize) ++r.Npr[chey];
}

}  // namespace

void HistPass(const AnalysisState& st, int shag1, int shag2, Hist40& out) {
    out.clear();
    const std::vector<double>& T = st.ArrProblems.Times();
    const FailureList& P = st.ArrProblems;
    const std::size_t n = P.size();
    if (n == 0) return;
    const double last = T[n - 1];
    std::size_t cur = 0;
    double t = 0.0;
    int rejects = 0;
    for (int k = 0;; ++k) {
        out.emplace_back();  // zero-filled interval k
        const std::size_t begin = cur;
        const double step = k < kBoundsSplit ? shag1 : shag2;
        for (;;) {
            // Steps that cannot reach the next failure are taken at once. The bound
            // is a whole number below 2^53, so the sum is the one that adding the
            // step repeatedly would give.
            if (cur < n) {
                const double target = std::fmin(T[cur], last);
                const double gap = target - t;
                if (gap > 3 * step) t += (std::floor(gap / step) - 1) * step;
            }
            t += step;
            while (cur < n && T[cur] < t + kTolerance) {
                if (T[cur] < kRejectTime) {
                    Count(out[0], P[cur].chey);
                    ++rejects;
                } else {
                    Count(out[k], P[cur].chey);
                }
                ++cur;
            }
            // An empty interval inside the data is stretched by one more step.
            if (cur == begin && t < last) continue;
            break;
        }
        out[k].Sum = static_cast<int>(cur - begin) - (k == 0 ? rejects : 0);
        out[k].time = t;
        if (t >= last) break;
    }
}

void BuildHist(AnalysisState& st) {
    st.Shag1 = 100;
    st.Shag2 = 100;
    st.ArrHist.clear();
    if (st.ArrProblems.empty()) return;
    for (double t : st.ArrProblems.Times())
        if (!(t <= kMaxHistTime)) return;  // NaN or beyond the range of whole bounds
    const std::size_t N = st.ArrProblems.size();
    for (;;) {
        HistPass(st, st.Shag1, st.Shag2, st.ArrHist);
        const std::size_t M = st.ArrHist.size();
        if ((N > 70 && M <= 10) || M <= 6) {
            if (st.Shag1 <= 1) break;  // cannot narrow further: keep this pass
            st.Shag1 = st.Shag1 / 2;
            continue;
        }
        if (M >= 42) {
            if (st.Shag2 >= kMaxShag2) break;
            st.Shag2 = st.Shag2 * 2;
            continue;
        }
        break;
    }
}

}  // namespace rel
