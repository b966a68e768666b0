#include "stats/distrib.h"

#include <cmath>
#include <gtest/gtest.h>

namespace rel {
namespace {

struct Case {
    const char* what;
    double got;
    double want;
    double tol;  // absolute; 0 means bit-exact
};

void ExpectTable(const std::vector<Case>& cases) {
    for (const auto& c : cases) {
        if (c.tol == 0.0)
            EXPECT_EQ(c.got, c.want) << c.what;
        else
            EXPECT_NEAR(c.got, c.want, c.tol) << c.what;
    }
}

TEST(Distrib, ErrorFunctionBranches) {
    ExpectTable({
        {"Erf(0)", Erf(0.0), 0.0, 0},
        {"Erf(0.4999999) small branch", Erf(0.4999999), 0.52049979349, 1e-10},
        {"Erf(0.5) large branch", Erf(0.5), 0.52049987781, 1e-10},
        {"Erf(10) via Erfc(10)=0", Erf(10.0), 1.0, 0},
        {"Erf(-10)", Erf(-10.0), -1.0, 0},
        {"Erf(11)", Erf(11.0), 1.0, 0},
        {"Erf(-11)", Erf(-11.0), -1.0, 0},
        {"Erf(1)", Erf(1.0), 0.8427007929497149, 1e-9},
        {"Erfc(10)", Erfc(10.0), 0.0, 0},
        {"Erfc(25)", Erfc(25.0), 0.0, 0},
        {"Erfc(0.25) = 1 - Erf(0.25)", Erfc(0.25), 1.0 - Erf(0.25), 0},
        {"Erfc(-1.3) = 2 - Erfc(1.3)", Erfc(-1.3), 2.0 - Erfc(1.3), 0},
        {"Erf(-0.3) odd", Erf(-0.3), -Erf(0.3), 0},
        {"Erf(-2.2) odd", Erf(-2.2), -Erf(2.2), 0},
        {"NormStd(0)", NormStd(0.0), 0.5, 0},
        {"NormStd(1.96)", NormStd(1.96), 0.9750021048517795, 1e-9},
    });
}

TEST(Distrib, FloorsAndConventions) {
    ExpectTable({
        {"NormF at z=-9 floors", NormF(1000, 100, 100), 1e-12, 0},
        {"NormF at the mean", NormF(2500, 400, 2500), 0.5, 0},
        {"WeibF at 0", WeibF(1.5, 1000, 0.0), 1e-30, 0},
        {"WeibF bad shape", WeibF(0.0, 1000, 5.0), 1e-305, 0},
        {"WeibF bad scale", WeibF(1.0, -1.0, 5.0), 1e-305, 0},
        {"WeibDens bad shape", WeibDens(-1.0, 1000, 5.0), 1e-305, 0},
        {"WeibDens at 0, shape 0.5", WeibDens(0.5, 1000, 0.0), 1e-30, 0},
        {"WeibDens at 0, shape 2", WeibDens(2.0, 1000, 0.0), 1e-30, 0},
        {"WeibDens at 0, shape 1", WeibDens(1.0, 1000, 0.0), 1.0 / Pow(1000.0, 1.0), 0},
        {"WeibInterval from 0", WeibInterval(1.5, 1000, 0.0, 700.0), WeibF(1.5, 1000, 700.0) - 1e-30, 0},
        {"WeibInterval empty", WeibInterval(1.5, 1000, 300.0, 300.0), 0.0, 0},
        {"WeibQuantile share 0", WeibQuantile(1.5, 2000, 0.0), 0.0, 0},
        {"WeibQuantile share 1 capped", WeibQuantile(1.5, 2000, 1.0), WeibQuantile(1.5, 2000, 0.999999), 0},
        {"WeibQuantile share 2 capped", WeibQuantile(1.5, 2000, 2.0), WeibQuantile(1.5, 2000, 0.999999), 0},
        {"WeibQuantile 0.4", WeibQuantile(1.5, 2000, 0.4), 1278.0418, 1e-3},
        {"Pow 0^0", Pow(0.0, 0.0), 1.0, 0},
        {"Pow 0^-0.5", Pow(0.0, -0.5), 0.0, 0},
        {"Pow 7^0", Pow(7.0, 0.0), 1.0, 0},
        {"Pow via exp(y ln x)", Pow(2.5, 1.7), std::exp(1.7 * std::log(2.5)), 0},
    });
    // The Weibull density follows its written order of operations.
    const double A = 1.7, B = 1234.5, t = 321.0;
    EXPECT_EQ(WeibDens(A, B, t), A * std::exp(-Pow(t / B, A)) / Pow(B, A) * Pow(t, A - 1.0));
}

double g_t1 = 0, g_t2 = 0;
int g_calls = 0;
void RecordReversed(double t1, double t2) {
    g_t1 = t1;
    g_t2 = t2;
    ++g_calls;
}

TEST(Distrib, ReversedIntervalGoesToTheInstalledHandler) {
    SetReversedIntervalHandler(&RecordReversed);
    g_calls = 0;
    EXPECT_EQ(WeibInterval(1.5, 1000, 500.0, 400.0), 1.0);
    EXPECT_EQ(g_calls, 1);
    EXPECT_EQ(g_t1, 500.0);
    EXPECT_EQ(g_t2, 400.0);
    SetReversedIntervalHandler(nullptr);
    EXPECT_EQ(WeibInterval(1.5, 1000, 500.0, 400.0), 1.0);
    EXPECT_EQ(g_calls, 1);
}

}  // namespace
}  // namespace rel
