#include "text/text.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace rel {
namespace {

// The Windows-1251 table against the C library's converter, byte by byte.
TEST(Text, Cp1251TableMatchesSystemConverter) {
    iconv_t cd = iconv_open("UTF-8", "CP1251");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    for (int b = 0x80; b <= 0xFF; ++b) {
        if (b == 0x98) continue;  // unassigned in the code page
        char in[1] = {static_cast<char>(b)};
        char out[8] = {};
        char* pin = in;
        char* pout = out;
        std::size_t inLeft = 1, outLeft = sizeof out;
        ASSERT_NE(iconv(cd, &pin, &inLeft, &pout, &outLeft), static_cast<std::size_t>(-1)) << b;
        EXPECT_EQ(Cp1251ToUtf8(std::string(1, static_cast<char>(b))), std::string(out, pout))
            << "byte 0x" << std::hex << b;
    }
    iconv_close(cd);
    EXPECT_EQ(Cp1251ToUtf8("\x98"), "\xEF\xBF\xBD");  // U+FFFD
}

TEST(Text, LinesEndAtLfWithOrWithoutCr) {
    struct Case {
        std::string text;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\r\n\r\nb\n\n", {"a", "", "b", ""}},
        {"a\rb\r\n", {"a\rb"}},  // a lone CR stays inside the line
        {"a\r", {"a"}},
        {"\n", {""}},
        // Lines ended by a lone CR (more of them than LFs): CR, CR LF and LF all end a line.
        {"a\rb\rc", {"a", "b", "c"}},
        {"a\r\rb\r", {"a", "", "b"}},
        {"a\rb\rc\r\nd\re", {"a", "b", "c", "d", "e"}},
        {"a\rb\rc\nd", {"a", "b", "c", "d"}},
        // As many LFs as lone CRs: the CRs stay inside their lines.
        {"a\rb\nc", {"a\rb", "c"}},
    };
    for (const auto& c : cases) {
        const auto got = SplitLines(c.text);
        EXPECT_EQ(std::vector<std::string>(got.begin(), got.end()), c.lines) << c.text;
    }
}

// Control characters written out for a terminal; every other byte, Cyrillic and
// bytes that are not UTF-8 included, stays as it is.
TEST(Text, ControlCharactersAreWrittenOut) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Парк КМ-12 \\ 2023", "Парк КМ-12 \\ 2023"},
        {"T\x1B]0;title\x07", "T\\x1B]0;title\\x07"},
        {std::string("a\0b", 3), "a\\x00b"},
        {"\t\r\n\x7F", "\\x09\\x0D\\x0A\\x7F"},
        {"\xC2\x9B"
         "2J",
         "\\u009B2J"},                            // C1 CSI written in UTF-8
        {"\xC2\xA0\xC2\x80", "\xC2\xA0\\u0080"},  // no-break space stays
        {"\xFF\x9B\xC2", "\xFF\x9B\xC2"},         // not UTF-8: left alone
    };
    for (const auto& [in, want] : cases) EXPECT_EQ(EscapeControls(in), want) << in;
}

TEST(Text, LowerCaseMatchesCyrillicAndLatin) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"ДВИГАТЕЛЬ Стартера", "двигатель стартера"},
        {"ЁЖ ЪЫ ЯЩИК", "ёж ъы ящик"},
        {"ҐЇЄІЎЂЉ", "ґїєіўђљ"},
        {"ABS Электро-XYZ 12", "abs электро-xyz 12"},
        {"ÀÉÖ×", "àéö×"},
        {"уже строчные", "уже строчные"},
    };
    for (const auto& [in, want] : cases) EXPECT_EQ(LowerCase(in), want) << in;
}

TEST(Text, TrimAndCharacterCount) {
    EXPECT_EQ(Trim(" \t\x01 Двигатель \r\x1F "), "Двигатель");
    EXPECT_EQ(Trim(" \t "), "");
    EXPECT_EQ(TrimLeft("  a b "), "a b ");
    EXPECT_EQ(FirstToken(" \t2500 часов"), "2500");
    EXPECT_EQ(FirstToken("2500,5\tx"), "2500,5");
    EXPECT_EQ(Utf8Length("Двигатель 12"), 12u);
    EXPECT_EQ(Utf8Length(""), 0u);
}

TEST(Text, NumberFields) {
    struct Case {
        std::string text;
        std::optional<double> real, time;
    };
    const std::optional<double> none;
    const std::vector<Case> cases = {
        {"2500", 2500.0, 2500.0},   {"-12.5", -12.5, -12.5}, {"+3", 3.0, 3.0},        {"1e3", 1000.0, 1000.0},
        {"2.5E-1", 0.25, 0.25},     {"5.", 5.0, 5.0},        {".5", 0.5, 0.5},        {"2500,5", none, 2500.5},
        {"1210.5", 1210.5, 1210.5}, {" 7,25 ", none, 7.25},  {"1.210,5", none, none}, {"12x0", none, none},
        {"", none, none},           {"-", none, none},       {"e5", none, none},      {"1e", none, none},
        {"inf", none, none},        {"nan", none, none},     {"0x10", none, none},    {"1e400", none, none},
        {"+-1", none, none},        {"1 210", none, none},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseReal(c.text), c.real) << c.text;
        EXPECT_EQ(ParseTimeField(c.text), c.time) << c.text;
    }
    EXPECT_EQ(ParseInt("3"), 3);
    EXPECT_EQ(ParseInt("+7"), 7);
    EXPECT_EQ(ParseInt("-2"), -2);
    EXPECT_EQ(ParseInt("2.5"), std::nullopt);
    EXPECT_EQ(ParseInt("3x"), std::nullopt);
    EXPECT_EQ(ParseInt("99999999999"), std::nullopt);
    EXPECT_EQ(ParseInt("+-1"), std::nullopt);
    EXPECT_EQ(ParseInt(""), std::nullopt);
}

}  // namespace
}  // namespace rel
