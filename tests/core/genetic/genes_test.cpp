// Chromosome encoding, the optimiser's settings and its random generator.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "gen_fixture.h"
#include "genetic/gen_random.h"
#include "genetic/genes.h"
#include "genetic/tgen.h"
#include "text/text.h"

namespace {

using namespace rel;

TEST(GenEncoding, BitCountAndGeneLength) {
    struct Case {
        std::int64_t n;
        int bits;
    } cases[] = {{-5, 0}, {0, 0}, {1, 1}, {2, 2}, {3, 2}, {4, 3}, {1000, 10}, {10000000, 24}, {2147483647, 31}};
    for (const Case& c : cases) EXPECT_EQ(BitCount(c.n), c.bits) << c.n;

    EXPECT_EQ(GeneLength(1e-7L), 24);
    EXPECT_EQ(GeneLength(0.001L), 10);
    EXPECT_EQ(GeneLength(1.0L), 1);
}

TEST(GenEncoding, ThousandAtDefaultPrecision) {
    const auto step = GenSteps(1e-7L);
    EXPECT_NEAR(step[0], 0.0040001, 1e-18);
    const std::int64_t v = EncodeSteps(1000, step[0]);
    EXPECT_EQ(v, 249994);
    EXPECT_EQ(IntToBin(24, v), "000000111101000010001010");
    EXPECT_EQ(BinToInt("000000111101000010001010"), 249994);

    // Decoding through the optimiser's gene table gives 1000 within half a step.
    AnalysisState st = gentest::SmallFleet();
    gentest::TestHost host;
    GenFlags flags;
    TGen gen(st, host, flags, gentest::SmallRun(10, 1));
    gen.ListGens = {{0, 24}, {24, 24}, {48, 24}};
    std::string sX = IntToBin(24, v) + std::string(24, '1') + std::string(24, '0');
    gen.DecodeXrome(sX);
    EXPECT_DOUBLE_EQ(gen.GenParam[0], 249994 * step[0]);
    EXPECT_NEAR(gen.GenParam[0], 1000.001, 0.0005);
    EXPECT_LE(std::fabs(gen.GenParam[0] - 1000), step[0] / 2);
    // A gene of all ones: 2^24 - 1 steps, far above the drawing range of gene 2.
    EXPECT_DOUBLE_EQ(gen.GenParam[1], 16777215 * step[1]);
    EXPECT_EQ(gen.GenParam[2], 0.0);

    // The same gene of all ones in gene 1 is about 67110.5 h.
    gen.DecodeXrome(std::string(72, '1'));
    EXPECT_NEAR(gen.GenParam[0], 67110.5, 0.05);
}

TEST(GenEncoding, TextConversions) {
    EXPECT_EQ(IntToBin(4, 5), "0101");
    EXPECT_EQ(IntToBin(3, 13), "101");  // low digits only
    EXPECT_EQ(IntToBin(0, 7), "");
    EXPECT_EQ(BinToInt("1x1"), 5);  // any character but "1" is a zero
    EXPECT_EQ(BinToInt(""), 0);
    std::string s = "1";
    AppendBin(s, 3, 2);
    EXPECT_EQ(s, "1010");
    // Every value of a 10-digit gene survives the round trip.
    for (std::int64_t v = 0; v < 1024; ++v) ASSERT_EQ(BinToInt(IntToBin(10, v)), v);
}

TEST(GenEncoding, GeneCountFollowsFittedFigures) {
    EXPECT_EQ(CountGensFor(false, false), 3);
    EXPECT_EQ(CountGensFor(true, false), 4);
    EXPECT_EQ(CountGensFor(false, true), 4);
    EXPECT_EQ(CountGensFor(true, true), 5);
}

TEST(GenEncoding, CompareXromeOrdersNotANumberLast) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Xromosome a, b, c;
    a.Celev_F = 1;
    b.Celev_F = 1;
    c.Celev_F = nan;
    EXPECT_EQ(CompareXrome(a, b), 0);
    b.Celev_F = 2;
    EXPECT_LT(CompareXrome(a, b), 0);
    EXPECT_GT(CompareXrome(b, a), 0);
    EXPECT_GT(CompareXrome(c, b), 0);
    EXPECT_LT(CompareXrome(b, c), 0);
    Xromosome d;
    d.Celev_F = nan;
    EXPECT_EQ(CompareXrome(c, d), 0);
}

TEST(GenOptions, PrecisionLimits) {
    struct Case {
        long double t;
        bool ok;
    } cases[] = {
        {1e-7L, true},
        {0.001L, true},
        {1.9L, true},   // 1/1.9 rounds to 1
        {2.0L, false},  // 1/2 = 0.5 rounds to 0: no digits
        {0.0L, false},
        {-1e-7L, false},
        {4.6567e-10L, true},
        {4.6566e-10L, false},  // the reciprocal passes 2147483647
        {std::numeric_limits<long double>::quiet_NaN(), false},
        {std::numeric_limits<long double>::infinity(), false},
    };
    for (const Case& c : cases) {
        GenOptions o;
        o.Tochnost = c.t;
        EXPECT_EQ(ValidateGenOptions(o).empty(), c.ok) << static_cast<double>(c.t);
        EXPECT_EQ(PrecisionReciprocal(c.t).has_value(), c.ok) << static_cast<double>(c.t);
    }
}

TEST(GenOptions, PopulationAndGenerationLimits) {
    struct Case {
        int size, gens;
        const char* message;  // empty: accepted
    } cases[] = {
        {3000, 1500, ""},
        {10, 1, ""},
        {9, 1500, "Размер популяции должен быть не меньше 10 (задано 9)"},
        {0, 1500, "Размер популяции должен быть не меньше 10 (задано 0)"},
        {-5, 1500, "Размер популяции должен быть не меньше 10 (задано -5)"},
        {1000001, 1500, "Размер популяции должен быть не больше 1000000 (задано 1000001)"},
        {3000, 0, "Число поколений должно быть не меньше 1 (задано 0)"},
        {3000, 1000000, ""},
        {3000, 1000001, "Число поколений должно быть от 1 до 1000000 (задано 1000001)"},
        {10, 2147483647, "Число поколений должно быть от 1 до 1000000 (задано 2147483647)"},
    };
    for (const Case& c : cases) {
        GenOptions o;
        o.SizePopulation = c.size;
        o.KolPokoleny = c.gens;
        EXPECT_EQ(ValidateGenOptions(o), c.message) << c.size << " " << c.gens;
    }
}

TEST(GenOptions, ParsesTheWindowTexts) {
    GenOptions o;
    EXPECT_EQ(ParseGenTexts(" 3000", "1500 ", "0,0000001", ',', o), "");
    EXPECT_EQ(o.SizePopulation, 3000);
    EXPECT_EQ(o.KolPokoleny, 1500);
    EXPECT_EQ(GeneLength(o.Tochnost), 24);

    EXPECT_EQ(ParseGenTexts("3000", "1500", "0.001", '.', o), "");
    EXPECT_EQ(GeneLength(o.Tochnost), 10);

    EXPECT_EQ(ParseGenTexts("3000,5", "1500", "0.001", '.', o),
              "Размер популяции: \"3000,5\" не является целым числом");
    EXPECT_EQ(ParseGenTexts("3000", "", "0.001", '.', o), "Число поколений: \"\" не является целым числом");
    EXPECT_EQ(ParseGenTexts("3000", "1500", "0.001", ',', o), "Точность подбора: \"0.001\" не является числом");
    EXPECT_EQ(ParseGenTexts("3000", "1500", "abc", '.', o), "Точность подбора: \"abc\" не является числом");
    EXPECT_NE(ParseGenTexts("3000", "1500", "0", '.', o).find("вне допустимых пределов"), std::string::npos);
    EXPECT_EQ(ParseGenTexts("5", "1500", "0.001", '.', o), "Размер популяции должен быть не меньше 10 (задано 5)");
    EXPECT_EQ(ParseGenTexts("3000", "100000000", "0.001", '.', o),
              "Число поколений должно быть от 1 до 1000000 (задано 100000000)");
}

TEST(GenOptions, WholeNumberTexts) {
    struct Case {
        const char* text;
        std::optional<int> value;
    } cases[] = {{"50", 50},  {" 7 ", 7},  {"+3", 3},    {"-3", -3},          {"", {}},   {"12.5", {}},
                 {"1e3", {}}, {"abc", {}}, {"50шт", {}}, {"99999999999", {}}, {"+-1", {}}};
    for (const Case& c : cases) EXPECT_EQ(ParseIntText(c.text), c.value) << c.text;
}

TEST(GenOptions, RoundCountOfNonFiniteIsZero) {
    EXPECT_EQ(RoundCount(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(RoundCount(std::numeric_limits<double>::infinity()), 0);
    EXPECT_EQ(RoundCount(2.5), 2);
    EXPECT_EQ(RoundCount(3.5), 4);
    EXPECT_EQ(RoundCount(-0.5), 0);
    EXPECT_EQ(RoundCount(1633.66), 1634);  // 3000 * 55 / 101 crossovers
    EXPECT_EQ(RoundCount(3000 * (15 / 101.0)), 446);
}

TEST(GenRandom, SeededSequenceIsThePublishedOne) {
    // SplitMix64 from seed 0 gives 0xe220a8397b1dcdaf, 0x6e789e6aa1b965f4, ...; the
    // first xoshiro256** output is rotl(s1 * 5, 7) * 9.
    Xoshiro256 x(0);
    const std::uint64_t s1 = 0x6e789e6aa1b965f4ull;
    const std::uint64_t m = s1 * 5;
    EXPECT_EQ(x.NextU64(), ((m << 7) | (m >> 57)) * 9);
}

TEST(GenRandom, FixedSeedRepeatsAndClockReseedFollowsTheClock) {
    auto draws = [](SystemRandom& r, bool reseed) {
        std::vector<double> v;
        r.StartRun();
        for (int i = 0; i < 20; ++i) {
            if (reseed) r.BeforeEvaluation();
            const double d = r.Next();
            EXPECT_GE(d, 0.0);
            EXPECT_LT(d, 1.0);
            v.push_back(d);
        }
        return v;
    };
    SystemRandom a(42, false), b(42, false), c(43, false);
    const auto va = draws(a, true), vb = draws(b, true), vc = draws(c, true);
    EXPECT_EQ(va, vb);  // reseeding off: BeforeEvaluation changes nothing
    EXPECT_NE(va, vc);

    // Default behaviour: the clock seeds the run and every evaluation.
    std::uint64_t t1 = 1000, t2 = 1000;
    SystemRandom d({}, true, [&] { return t1++; });
    SystemRandom e({}, true, [&] { return t2++; });
    EXPECT_EQ(draws(d, true), draws(e, true));  // same clock readings, same draws
    t2 = 5000;
    SystemRandom f({}, true, [&] { return t2++; });
    t1 = 1000;
    SystemRandom g({}, true, [&] { return t1++; });
    EXPECT_NE(draws(f, true), draws(g, true));
}

}  // namespace
