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

TEST(Text, DecodingChoosesTheCharacterSet) {
    struct Case {
        std::string bytes;
        TextEncoding enc;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"Plain 2500", TextEncoding::Ascii, "Plain 2500"},
        {"\xC4\xE2\xE8\xE3\xE0\xF2\xE5\xEB\xFC", TextEncoding::Windows1251, "Двигатель"},
        {"Двигатель", TextEncoding::Utf8, "Двигатель"},
        {"\xEF\xBB\xBF"
         "Двигатель",
         TextEncoding::Utf8, "Двигатель"},
        // "Ёж" in Windows-1251 happens to be no valid UTF-8: read as the code page.
        {"\xA8\xE6", TextEncoding::Windows1251, "Ёж"},
        // A byte-order mark followed by invalid UTF-8: the whole file is 8-bit.
        {"\xEF\xBB\xBF\xC0", TextEncoding::Windows1251, "п»їА"},
        // Overlong form and surrogate half are not UTF-8.
        {"\xC0\xAF", TextEncoding::Windows1251, "АЇ"},
        {"\xED\xA0\x80", TextEncoding::Windows1251, "н\u00A0Ђ"},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        EXPECT_EQ(DetectEncoding(c.bytes), c.enc) << i;
        EXPECT_EQ(DecodeFileBytes(c.bytes), c.text) << i;
    }
    EXPECT_TRUE(IsValidUtf8(DecodeFileBytes(std::string("\xED\xA0\x80\x98\x00\xFF", 6))));
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
    };
    for (const auto& c : cases) {
        const auto got = SplitLines(c.text);
        EXPECT_EQ(std::vector<std::string>(got.begin(), got.end()), c.lines) << c.text;
    }
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
