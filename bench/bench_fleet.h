// A fleet of 2500 products with a 41-interval histogram (the widest the builder
// accepts), shared by the benchmarks of the criteria and the optimiser.
#pragma once

#include "data/state.h"

namespace relbench {

inline rel::AnalysisState Fleet41() {
    rel::AnalysisState st;
    st.Park = st.ParkFile = 2500;
    double t = 0;
    int total = 0;
    for (int j = 0; j < 41; ++j) {
        t += j < 10 ? 50 : 100;
        rel::Hist_Rec r;
        r.time = t;
        r.Sum = 5 + (j * 7) % 23;
        total += r.Sum;
        st.ArrHist.push_back(r);
    }
    st.KolOtkNez = total;
    st.KolOtkAll = total + 1;
    st.SredGar = 2500;
    st.SKOGar = 550;
    st.TPrirab = 300;
    return st;
}

}  // namespace relbench
