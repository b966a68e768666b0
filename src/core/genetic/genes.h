// Chromosomes of the genetic optimiser: a parameter set written as binary digits,
// one gene per parameter, and the conversions between numbers and digit texts.
//
// Gene positions (g = 1 .. CountGens; entry g - 1 of the arrays below):
//   1  scale B of the model                      drawn from 1 .. 40001
//   2  shape A                                   0.1 .. 3.1
//   3  repetition coefficient K_powtor           0.5 .. 20.5
//   4  mean warranty end time when it is fitted, otherwise (only the standard
//      deviation fitted) its standard deviation   80 .. 5080
//   5  standard deviation of the warranty end time (both fitted)  30 .. 1030
// Every gene has the same number of digits, BitCount of 1/Tochnost rounded, and
// stands for a whole number of steps STEP_g = (MIN_g + RANGE_g) * Tochnost.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rel {

inline constexpr int kMaxGenes = 5;

// Lower end and width of each gene position's drawing range.
inline constexpr std::array<double, kMaxGenes> GenMin = {1, 0.1, 0.5, 80, 30};
inline constexpr std::array<double, kMaxGenes> GenRange = {40000, 3, 20, 5000, 1000};

// One member of the population.
struct Xromosome {
    std::string sX;        // the genes' digits "0"/"1", one gene after another
    double Celev_F = 0.0;  // objective value of the member's parameter set, lower is better
    int Pokolenie = 0;     // generation at which the member was created, bred or copied in
};

// One entry of the gene table: where a gene lies in sX.
struct PosGen {
    int gStart = 0;   // digits before the gene
    int gLength = 0;  // digits of the gene
};

// Members are allocated one by one and held by pointer: sorting and cutting move
// pointers, never digit texts. A list releases its members with itself.
using PXromosome = std::unique_ptr<Xromosome>;
using XromeList = std::vector<PXromosome>;
using GenTable = std::vector<PosGen>;

// How many times n can be halved (integer division) before it drops below 1; 0 for n < 1.
int BitCount(std::int64_t n);
// The low L binary digits of v, most significant first ("0"/"1").
std::string IntToBin(int L, std::int64_t v);
// The same, appended to out without a temporary text.
void AppendBin(std::string& out, int L, std::int64_t v);
// The number whose binary digits, most significant first, are the characters of s:
// "1" is a one, any other character a zero. Digits beyond 63 shift the high ones out.
std::int64_t BinToInt(std::string_view s);

// Number of genes: 3, plus one for each fitted warranty figure.
int CountGensFor(bool FitSred, bool FitSKO);

// 1 / Tochnost rounded to the nearest integer, halves to even; nullopt when the
// reciprocal is not finite or lies outside 1 .. 2147483647, so that a gene would
// have no digits or more than 31.
std::optional<std::int64_t> PrecisionReciprocal(long double Tochnost);
// Digits of every gene: BitCount of the rounded reciprocal (24 at 1e-7, 10 at 0.001);
// 0 when the precision is outside the range above.
int GeneLength(long double Tochnost);
// STEP_g = (MIN_g + RANGE_g) * Tochnost for all five positions, the product taken at
// the precision's extended precision and kept as a double.
std::array<double, kMaxGenes> GenSteps(long double Tochnost);

// The whole number of steps that encodes x: x / step rounded, halves to even.
// A quotient that is not finite gives 0.
std::int64_t EncodeSteps(double x, double step);

// Ordering of members by objective value: negative when a's is smaller, positive
// when larger, 0 when equal. A value that is not a number ranks after every number
// (the worst place) and equal to another such value, so the order is total.
inline int CompareXrome(const Xromosome& a, const Xromosome& b) {
    const double x = a.Celev_F, y = b.Celev_F;
    if (x < y) return -1;
    if (x > y) return 1;
    if (x == y) return 0;
    const bool xn = x != x, yn = y != y;  // at least one is not a number
    return xn == yn ? 0 : (xn ? 1 : -1);
}
// CompareXrome(a, b) < 0, for sorting.
struct XromeLess {
    bool operator()(const PXromosome& a, const PXromosome& b) const {
        const double x = a->Celev_F, y = b->Celev_F;
        return x < y || (y != y && x == x);
    }
};

}  // namespace rel
