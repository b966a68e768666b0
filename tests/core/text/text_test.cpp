#include "text/text.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
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
        // Lines longer than the eight bytes looked at together, ends on either side
        // of such a group.
        {"abcdefg\r\nhijklmnopqrstuv\r\nw", {"abcdefg", "hijklmnopqrstuv", "w"}},
        {"0123456789abcdef\n0123456\r", {"0123456789abcdef", "0123456"}},
        {"aaaaaaa\rbbbbbbb\rccccccc\r\nddd", {"aaaaaaa", "bbbbbbb", "ccccccc", "ddd"}},
        {"aaaaaaaa\rbbbbbbbb\ncccccccc\rd\n", {"aaaaaaaa\rbbbbbbbb", "cccccccc\rd"}},
    };
    for (const auto& c : cases) {
        const auto got = SplitLines(c.text);
        EXPECT_EQ(std::vector<std::string>(got.begin(), got.end()), c.lines) << c.text;
    }
}

// One CR in a text of 'x's: a lone one ends the lines, one with an LF after it does
// not, wherever the two fall among the bytes looked at together.
TEST(Text, LoneCrIsFoundAtEveryPlace) {
    for (std::size_t at = 0; at < 20; ++at) {
        const std::string lone = std::string(at, 'x') + "\r" + std::string(19 - at, 'x');
        EXPECT_TRUE(LinesEndAtCr(lone)) << at;
        EXPECT_EQ(SplitLines(lone).size(), at < 19 ? 2u : 1u) << at;
        const std::string crlf =
            std::string(at, 'x') + "\r\n" + std::string(18 - std::min<std::size_t>(at, 18), 'x');
        EXPECT_FALSE(LinesEndAtCr(crlf)) << at;
        // Two CR LFs and one lone CR: the LFs end the lines, the CR stays in its line.
        EXPECT_FALSE(LinesEndAtCr(crlf + "\r\n" + lone)) << at;
        EXPECT_EQ(SplitLines(crlf + "\r\n" + lone).size(), 3u) << at;
        // Two lone CRs against one LF: the CRs end the lines.
        EXPECT_TRUE(LinesEndAtCr(lone + "\r\n" + lone)) << at;
        EXPECT_FALSE(LinesEndAtCr(lone + "\n" + lone + "\n")) << at;
    }
}

// The bytes of 0x80 and above, and whether one of them can continue a UTF-8
// character, however far into the text they are.
TEST(Text, HighBytesAreCountedWhereverTheyAre) {
    struct Case {
        std::string text;
        std::size_t count, first;
        bool continuation;
    };
    const std::vector<Case> cases = {
        {"", 0, 0, false},
        {"plain text longer than eight bytes", 0, 0, false},
        {"abc\xC4\xE2", 2, 3, false},
        {"abcdefghijklmnop\xC4\xE2\xE8\xE3\xE0\xF2\xE5\xEB\xFC", 9, 16, false},
        {"abcdefghij\xB8", 1, 10, true},
        {"\xC4\xE2\xE8\xE3\xE0\xF2\xE5\xEB\xFC \xB9 17", 10, 0, true},  // "№" in the code page
        {"Двигатель", 18, 0, true},
    };
    for (const Case& c : cases) {
        const HighBytes h = ScanHighBytes(c.text);
        EXPECT_EQ(h.count, c.count) << c.text;
        if (c.count > 0) {
            EXPECT_EQ(h.first, c.first) << c.text;
        }
        EXPECT_EQ(h.continuation, c.continuation) << c.text;
    }
}

// A byte that is not UTF-8 is found wherever it is in a run of plain text, and a
// character is whole however the run before it ends.
TEST(Text, Utf8CheckFindsABadByteAnywhere) {
    for (std::size_t at = 0; at <= 20; ++at) {
        std::string s(21, 'a');
        EXPECT_TRUE(IsValidUtf8(s));
        s[at] = '\xC4';
        EXPECT_FALSE(IsValidUtf8(s)) << at;
        s.insert(at + 1, "\x80");
        EXPECT_TRUE(IsValidUtf8(s)) << at;  // "Ā"
        EXPECT_FALSE(IsValidUtf8(s.substr(0, at + 1))) << at;
    }
}

// The small letters of Windows-1251 are the ones LowerCase makes of its UTF-8, byte
// for byte: a name searched for in a code-page file is found where it is found in
// the same file in UTF-8.
TEST(Text, Cp1251LowerCaseIsTheUtf8LowerCase) {
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        std::string lower;
        LowerCaseCp1251Into(lower, byte);
        EXPECT_EQ(Cp1251ToUtf8(lower), LowerCase(Cp1251ToUtf8(byte))) << "byte 0x" << std::hex << b;
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
    // A time field longer than any number needs is read all the same.
    EXPECT_EQ(ParseTimeField(std::string(70, '0') + "1,5"), 1.5);
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
