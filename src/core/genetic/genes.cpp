#include "genetic/genes.h"

#include <cmath>
#include <limits>

#include "text/format.h"

namespace rel {

int BitCount(std::int64_t n) {
    int c = 0;
    while (n >= 1) {
        n /= 2;
        ++c;
    }
    return c;
}

void AppendBin(std::string& out, int L, std::int64_t v) {
    const auto u = static_cast<std::uint64_t>(v);
    for (int i = L - 1; i >= 0; --i) out.push_back(i < 64 && ((u >> i) & 1u) ? '1' : '0');
}

std::string IntToBin(int L, std::int64_t v) {
    std::string s;
    if (L > 0) s.reserve(static_cast<std::size_t>(L));
    AppendBin(s, L, v);
    return s;
}

std::int64_t BinToInt(std::string_view s) {
    std::uint64_t v = 0;
    for (char c : s) v = (v << 1) | (c == '1' ? 1u : 0u);
    return static_cast<std::int64_t>(v);
}

int CountGensFor(bool FitSred, bool FitSKO) { return 3 + (FitSred ? 1 : 0) + (FitSKO ? 1 : 0); }

std::optional<std::int64_t> PrecisionReciprocal(long double Tochnost) {
    const long double r = 1.0L / Tochnost;
    if (!std::isfinite(r)) return std::nullopt;
    // The default rounding mode rounds halves to even, as RoundHalfEven does for doubles.
    const long double n = std::nearbyint(r);
    if (!(n >= 1.0L && n <= 2147483647.0L)) return std::nullopt;
    return static_cast<std::int64_t>(n);
}

int GeneLength(long double Tochnost) {
    const auto r = PrecisionReciprocal(Tochnost);
    return r ? BitCount(*r) : 0;
}

std::array<double, kMaxGenes> GenSteps(long double Tochnost) {
    std::array<double, kMaxGenes> s{};
    for (int g = 0; g < kMaxGenes; ++g)
        s[g] = static_cast<double>(static_cast<long double>(GenMin[g] + GenRange[g]) * Tochnost);
    return s;
}

std::int64_t EncodeSteps(double x, double step) {
    const double q = RoundHalfEven(x / step);
    if (!std::isfinite(q)) return 0;
    constexpr double kLimit = 9.2e18;
    if (q > kLimit) return static_cast<std::int64_t>(kLimit);
    if (q < -kLimit) return -static_cast<std::int64_t>(kLimit);
    return static_cast<std::int64_t>(q);
}

}  // namespace rel
