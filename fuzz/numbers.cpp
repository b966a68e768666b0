// Fuzz target: the number texts of the files and of the window's boxes. The first
// byte chooses the reader, the rest is the text; the optimiser's three boxes are
// the text cut at its first two line ends.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "text/text.h"
#include "fit/fits.h"
#include "fuzz_support.h"
#include "genetic/tgen.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace rel;
    if (size == 0) return 0;
    const unsigned which = data[0] % 4;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

    switch (which) {
        case 0: {
            const auto r = ParseReal(text);
            if (r) RELFUZZ_CHECK(std::isfinite(*r));
            const auto t = ParseTimeField(text);
            if (r) RELFUZZ_CHECK(t && *t == *r);  // a point text reads the same as a time
            if (t) RELFUZZ_CHECK(std::isfinite(*t));
            break;
        }
        case 1: {
            const auto a = ParseInt(text);
            const auto b = ParseIntText(text);
            // The window's reader also takes blanks around the number.
            if (a) RELFUZZ_CHECK(b && *b == *a);
            break;
        }
        case 2: {
            for (char sep : {'.', ','}) {
                const auto v = ParseLocaleNumber(text, sep);
                (void)v;
            }
            break;
        }
        default: {
            const std::size_t a = text.find('\n');
            const std::size_t b = a == std::string::npos ? std::string::npos : text.find('\n', a + 1);
            const std::string_view s(text);
            const std::string_view e3 = s.substr(0, a);
            const std::string_view np = a == std::string::npos ? std::string_view{} : s.substr(a + 1, b - a - 1);
            const std::string_view e2 = b == std::string::npos ? std::string_view{} : s.substr(b + 1);
            for (char sep : {'.', ','}) {
                GenOptions o;
                const std::string msg = ParseGenTexts(e3, np, e2, sep, o);
                if (msg.empty()) {
                    RELFUZZ_CHECK(ValidateGenOptions(o).empty());
                    RELFUZZ_CHECK(o.SizePopulation >= kMinPopulation && o.SizePopulation <= kMaxPopulation);
                    RELFUZZ_CHECK(o.KolPokoleny >= kMinGenerations);
                    RELFUZZ_CHECK(GeneLength(o.Tochnost) >= 1 && GeneLength(o.Tochnost) <= 31);
                }
            }
            break;
        }
    }
    return 0;
}
