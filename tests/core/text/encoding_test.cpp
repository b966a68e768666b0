#include "text/encoding.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "text/text.h"

namespace rel {
namespace {

// Text as 16- or 32-bit units in one byte order (surrogate pairs for UTF-16).
std::string Units(const std::u32string& text, int size, bool little, bool mark = false) {
    std::vector<std::uint32_t> units;
    if (mark) units.push_back(0xFEFF);
    for (char32_t c : text) {
        if (size == 2 && c >= 0x10000) {
            units.push_back(0xD800 + ((c - 0x10000) >> 10));
            units.push_back(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            units.push_back(c);
        }
    }
    std::string out;
    for (std::uint32_t u : units)
        for (int k = 0; k < size; ++k) {
            const int shift = 8 * (little ? k : size - 1 - k);
            out += static_cast<char>((u >> shift) & 0xFF);
        }
    return out;
}

const std::u32string kRows =
    U"Парк 2023\n2500\n400\n120\n3\n2\nДвигатель\n350,5\tДвигатель стартера * заклинил 😀\n";
const std::string kRowsUtf8 =
    "Парк 2023\n2500\n400\n120\n3\n2\nДвигатель\n350,5\tДвигатель стартера * заклинил 😀\n";
// "Двигатель стартера" in Windows-1251.
const std::string kCp = "\xC4\xE2\xE8\xE3\xE0\xF2\xE5\xEB\xFC \xF1\xF2\xE0\xF0\xF2\xE5\xF0\xE0";

TEST(Encoding, ReadableFilesAreDecodedWhole) {
    struct Case {
        const char* what;
        std::string bytes;
        TextEncoding enc;
        bool mark;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"ASCII", "Plain 2500", TextEncoding::Ascii, false, "Plain 2500"},
        {"Windows-1251", "\xC4\xE2\xE8\xE3\xE0\xF2\xE5\xEB\xFC", TextEncoding::Windows1251, false, "Двигатель"},
        {"UTF-8", "Двигатель", TextEncoding::Utf8, false, "Двигатель"},
        {"UTF-8 with its mark", "\xEF\xBB\xBF" + kRowsUtf8, TextEncoding::Utf8, true, kRowsUtf8},
        {"a mark and ASCII",
         "\xEF\xBB\xBF"
         "2500",
         TextEncoding::Utf8, true, "2500"},
        // "Ёж" in Windows-1251 happens to be no valid UTF-8: read as the code page.
        {"Ёж", "\xA8\xE6", TextEncoding::Windows1251, false, "Ёж"},
        // An overlong form and a surrogate half are not UTF-8.
        {"overlong", "\xC0\xAF", TextEncoding::Windows1251, false, "АЇ"},
        {"surrogate half", "\xED\xA0\x80", TextEncoding::Windows1251, false, "н\u00A0Ђ"},
        // "С»" happens to be valid UTF-8 (U+047B); among lines of the code page it is
        // read as the code page too.
        {"a line that reads as UTF-8 by chance", kCp + "\n\xD1\xBB\n" + kCp + "\n", TextEncoding::Windows1251,
         false, Cp1251ToUtf8(kCp) + "\nС»\n" + Cp1251ToUtf8(kCp) + "\n"},
        // One NUL in 8-bit text is no 16-bit pattern: the reader sees it in its line.
        {"a NUL in a header", std::string("T\n4\0 20\n\xC4\xE2", 10), TextEncoding::Windows1251, false,
         std::string("T\n4\0 20\nДв", 12)},
        {"UTF-16LE with its mark", Units(kRows, 2, true, true), TextEncoding::Utf16LE, true, kRowsUtf8},
        {"UTF-16BE with its mark", Units(kRows, 2, false, true), TextEncoding::Utf16BE, true, kRowsUtf8},
        {"UTF-32LE with its mark", Units(kRows, 4, true, true), TextEncoding::Utf32LE, true, kRowsUtf8},
        {"UTF-32BE with its mark", Units(kRows, 4, false, true), TextEncoding::Utf32BE, true, kRowsUtf8},
        {"UTF-16LE without a mark", Units(kRows, 2, true), TextEncoding::Utf16LE, false, kRowsUtf8},
        {"UTF-16BE without a mark", Units(kRows, 2, false), TextEncoding::Utf16BE, false, kRowsUtf8},
        {"UTF-32LE without a mark", Units(kRows, 4, true), TextEncoding::Utf32LE, false, kRowsUtf8},
        {"UTF-32BE without a mark", Units(kRows, 4, false), TextEncoding::Utf32BE, false, kRowsUtf8},
        {"UTF-16 with a NUL character", Units(std::u32string(U"T\n4\0 20\n", 8), 2, true, true),
         TextEncoding::Utf16LE, true, std::string("T\n4\0 20\n", 8)},
    };
    for (const Case& c : cases) {
        const DecodedText d = DecodeInputBytes(c.bytes);
        ASSERT_TRUE(d.ok()) << c.what;
        EXPECT_EQ(d.encoding, c.enc) << c.what;
        EXPECT_EQ(d.byteOrderMark, c.mark) << c.what;
        EXPECT_EQ(d.text, c.text) << c.what;
    }
}

TEST(Encoding, FilesThatAreNotOneEncodingAreRefusedWithTheirPlace) {
    const std::string lines = "Парк\n2500\nДвигатель\n";  // three lines of UTF-8, 33 bytes
    struct Case {
        const char* what;
        std::string bytes;
        DecodeProblem problem;
        std::size_t line, offset;
        unsigned char badByte;  // BadUtf8
    };
    const std::vector<Case> cases = {
        {"one 0xFF in UTF-8",
         lines + "350\tДвиг\xFF"
                 "атель стартера\n",
         DecodeProblem::BadUtf8, 4, 45, 0xFF},
        {"UTF-8 cut inside a letter", lines + "350\tДвигатель\xD0", DecodeProblem::BadUtf8, 4, 55, 0xD0},
        {"a bad byte in a line of ASCII", lines + "350\tPump\x80\n", DecodeProblem::BadUtf8, 4, 41, 0x80},
        {"the code page after a UTF-8 mark", "\xEF\xBB\xBF" + kCp, DecodeProblem::BadUtf8, 1, 3, 0xC4},
        {"UTF-8 lines, then the code page", lines + "100\t" + kCp + "\n200\t" + kCp + "\n", DecodeProblem::Mixed,
         4, 33, 0},
        {"the code page, then UTF-8 lines", kCp + "\n" + kCp + "\n" + lines, DecodeProblem::Mixed, 3, 38, 0},
        // Bytes of the code page that could continue a UTF-8 character ("ё", "№") do
        // not make its lines UTF-8.
        {"the code page with ё and №, then UTF-8 lines", kCp + " \xB8\xB9\n" + kCp + " \xB8\xB9\n" + lines,
         DecodeProblem::Mixed, 3, 44, 0},
        // Lines ended by lone CRs are lines of their own: "ѻѻѻ" is one line of UTF-8.
        {"a UTF-8 line, then the code page, ended by CR", "\xD1\xBB\xD1\xBB\xD1\xBB\r" + kCp + "\r" + kCp + "\r",
         DecodeProblem::Mixed, 2, 7, 0},
        {"UTF-16 of odd length", Units(U"Парк\n", 2, true, true) + "x", DecodeProblem::TruncatedUnits, 2, 12, 0},
        {"UTF-32 cut short", Units(U"Парк\n25", 4, false, true).substr(0, 30), DecodeProblem::TruncatedUnits, 2,
         28, 0},
        {"a lone high surrogate", Units(U"Парк\n", 2, false, true) + std::string("\xD8\x01\x00\x41", 4),
         DecodeProblem::BadUnits, 2, 12, 0},
        {"a lone low surrogate", Units(U"П\n\n", 2, true, true) + std::string("\x01\xDC", 2),
         DecodeProblem::BadUnits, 3, 8, 0},
        {"beyond U+10FFFF", Units(U"П", 4, true, true) + std::string("\x00\x00\x11\x00", 4),
         DecodeProblem::BadUnits, 1, 8, 0},
    };
    for (const Case& c : cases) {
        const DecodedText d = DecodeInputBytes(c.bytes);
        EXPECT_EQ(d.problem, c.problem) << c.what;
        EXPECT_EQ(d.line, c.line) << c.what;
        EXPECT_EQ(d.offset, c.offset) << c.what;
        EXPECT_TRUE(d.text.empty()) << c.what;
        if (c.problem == DecodeProblem::BadUtf8) {
            EXPECT_EQ(d.badByte, c.badByte) << c.what;
        }
    }
    // Both orders name the encodings on either side of the line.
    const DecodedText a = DecodeInputBytes(lines + "100\t" + kCp + "\n");
    EXPECT_EQ(a.before, TextEncoding::Utf8);
    EXPECT_EQ(a.after, TextEncoding::Windows1251);
    const DecodedText b = DecodeInputBytes(kCp + "\n" + kCp + "\n" + lines);
    EXPECT_EQ(b.before, TextEncoding::Windows1251);
    EXPECT_EQ(b.after, TextEncoding::Utf8);
    // Every bad byte is counted, the first one named.
    const DecodedText c = DecodeInputBytes(lines + "1\tДвигатель \xFF\n2\tДвигатель \xFE\xFF\n");
    EXPECT_EQ(c.badBytes, 3u);
    EXPECT_EQ(c.line, 4u);
}

// The decision without a copy: 8-bit text stays where it lies (after a UTF-8 mark)
// with its encoding, and reads as the decoded text; 16- and 32-bit text is decoded.
TEST(Encoding, EightBitTextIsDecidedWhereItLies) {
    const std::string yo = kCp + " \xB8\xB9 17 \xAB\xE0\xBB";  // "... ё№ 17 «а»"
    struct Case {
        const char* what;
        std::string bytes;
        TextEncoding enc;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"ASCII", "Plain 2500\nPump\n", TextEncoding::Ascii, "Plain 2500\nPump\n"},
        {"UTF-8", kRowsUtf8, TextEncoding::Utf8, kRowsUtf8},
        {"UTF-8 with its mark", "\xEF\xBB\xBF" + kRowsUtf8, TextEncoding::Utf8, kRowsUtf8},
        {"the code page", kCp + "\r\n" + kCp + "\r\n", TextEncoding::Windows1251,
         Cp1251ToUtf8(kCp) + "\r\n" + Cp1251ToUtf8(kCp) + "\r\n"},
        {"the code page with ё, № and quotes", yo + "\r\n" + kCp + "\r\n" + yo, TextEncoding::Windows1251,
         Cp1251ToUtf8(yo + "\r\n" + kCp + "\r\n" + yo)},
        {"the code page ended by CR, a line reading as UTF-8 by chance", yo + "\r\xD1\xBB\r" + yo + "\r",
         TextEncoding::Windows1251, Cp1251ToUtf8(yo + "\r\xD1\xBB\r" + yo + "\r")},
    };
    for (const Case& c : cases) {
        const DecodedText d = DecideInputBytes(c.bytes);
        ASSERT_TRUE(d.ok()) << c.what;
        EXPECT_TRUE(d.inPlace) << c.what;
        EXPECT_TRUE(d.text.empty()) << c.what;
        EXPECT_EQ(d.encoding, c.enc) << c.what;
        const std::string_view in = d.InPlaceText(c.bytes);
        EXPECT_EQ(d.encoding == TextEncoding::Windows1251 ? Cp1251ToUtf8(in) : std::string(in), c.text) << c.what;
        EXPECT_EQ(DecodeInputBytes(c.bytes).text, c.text) << c.what;
    }
    const DecodedText wide = DecideInputBytes(Units(kRows, 2, true, true));
    EXPECT_FALSE(wide.inPlace);
    EXPECT_EQ(wide.text, kRowsUtf8);
}

// The bundled examples and the fleets of the stability check decode exactly as
// before: the code page byte for byte, or UTF-8 as it is.
TEST(Encoding, BundledFilesDecodeAsBefore) {
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    for (const fs::path& dir : {fs::path(RELAN_EXAMPLES), fs::path(RELAN_FIXTURES) / ".." / "golden" / "fleets",
                                fs::path(RELAN_FIXTURES)})
        for (const auto& e : fs::directory_iterator(dir))
            if (e.path().extension() == ".txt") files.push_back(e.path());
    ASSERT_GT(files.size(), 20u);
    for (const fs::path& f : files) {
        std::ifstream in(f, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        const DecodedText d = DecodeInputBytes(bytes);
        ASSERT_TRUE(d.ok()) << f;
        if (d.encoding == TextEncoding::Windows1251) {
            EXPECT_EQ(d.text, Cp1251ToUtf8(bytes)) << f;
        } else {
            EXPECT_TRUE(d.encoding == TextEncoding::Utf8 || d.encoding == TextEncoding::Ascii) << f;
            EXPECT_EQ(d.text, bytes.substr(d.byteOrderMark ? 3 : 0)) << f;
        }
    }
}

}  // namespace
}  // namespace rel
