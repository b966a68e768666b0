// The reading rules both input files follow: the character set of the whole file
// (decoded, or refused with the line, the byte and the encoding), line ends, control
// characters where a number is read, and files that cannot be opened.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/load.h"
#include "data/failure_file.h"
#include "data/warranty_file.h"
#include "text/text.h"

namespace rel {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

const std::string kDemoCp1251 = ReadBytes(std::string(RELAN_EXAMPLES) + "/demo-fleet.txt");
const std::string kGarCp1251 = ReadBytes(std::string(RELAN_EXAMPLES) + "/gar-demo.txt");

// UTF-8 text as 16- or 32-bit units in one byte order, with or without the mark.
std::string Units(const std::string& utf8, int size, bool little, bool mark) {
    std::vector<std::uint32_t> units;
    if (mark) units.push_back(0xFEFF);
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t n = Utf8SequenceLength(utf8, i);
        const auto b = [&](std::size_t k) {
            return static_cast<std::uint32_t>(static_cast<unsigned char>(utf8[k]));
        };
        std::uint32_t c = n == 1   ? b(i)
                          : n == 2 ? ((b(i) & 0x1F) << 6) | (b(i + 1) & 0x3F)
                          : n == 3 ? ((b(i) & 0x0F) << 12) | ((b(i + 1) & 0x3F) << 6) | (b(i + 2) & 0x3F)
                                   : ((b(i) & 0x07) << 18) | ((b(i + 1) & 0x3F) << 12) | ((b(i + 2) & 0x3F) << 6) |
                                         (b(i + 3) & 0x3F);
        if (size == 2 && c >= 0x10000) {
            units.push_back(0xD800 + ((c - 0x10000) >> 10));
            c = 0xDC00 + ((c - 0x10000) & 0x3FF);
        }
        units.push_back(c);
        i += n;
    }
    std::string out;
    for (std::uint32_t u : units)
        for (int k = 0; k < size; ++k) out += static_cast<char>((u >> (8 * (little ? k : size - 1 - k))) & 0xFF);
    return out;
}

std::string Replace(std::string s, const std::string& from, const std::string& to) {
    for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
    return s;
}

// Everything a data-file load puts into the state, bit for bit (the path aside).
std::string Loaded(const AnalysisState& st) {
    std::ostringstream o;
    o << std::hexfloat << st.DataTitle << '|' << st.SredGar << '|' << st.SKOGar << '|' << st.ParkFile << '|'
      << st.KolOtkAll << '|' << st.KolOtkNez << '|' << st.MaxPrich << '|' << st.Gamma90 << '|' << st.Otk2000 << '|'
      << st.A_LN << '|' << st.B_LN << ';';
    for (const auto& v : st.ArrVid) o << v.Nazv_Prich << '=' << v.Dolya << ';';
    for (const auto& p : st.ArrProblems) o << p.time << '|' << p.chey << '|' << p.Pri << '|' << p.komment << ';';
    return o.str();
}

TEST(InputFiles, DataAndWarrantyFilesInEveryUnicodeFormLoadAsTheCodePage) {
    const std::string utf8 = Cp1251ToUtf8(kDemoCp1251);  // CR LF line ends
    AnalysisState ref;
    ASSERT_TRUE(LoadFailureBytes(ref, kDemoCp1251, "demo.txt", '.').ok);
    const std::string want = Loaded(ref);
    const std::string garUtf8 = Cp1251ToUtf8(kGarCp1251);
    AnalysisState garRef = ref;
    ASSERT_TRUE(LoadWarrantyBytes(garRef, kGarCp1251, "gar.txt", '.').ok);

    const std::string crOnly = Replace(utf8, "\r\n", "\r");
    const std::string lfOnly = Replace(utf8, "\r\n", "\n");
    const struct {
        const char* what;
        std::string data, gar;
    } forms[] = {
        {"UTF-8", utf8, garUtf8},
        {"UTF-8 with its mark", "\xEF\xBB\xBF" + utf8, "\xEF\xBB\xBF" + garUtf8},
        {"UTF-16LE with its mark", Units(utf8, 2, true, true), Units(garUtf8, 2, true, true)},
        {"UTF-16BE with its mark", Units(utf8, 2, false, true), Units(garUtf8, 2, false, true)},
        {"UTF-16LE without a mark", Units(utf8, 2, true, false), Units(garUtf8, 2, true, false)},
        {"UTF-16BE without a mark", Units(utf8, 2, false, false), Units(garUtf8, 2, false, false)},
        {"UTF-32LE with its mark", Units(utf8, 4, true, true), Units(garUtf8, 4, true, true)},
        {"UTF-32BE with its mark", Units(utf8, 4, false, true), Units(garUtf8, 4, false, true)},
        {"Windows-1251, lines ended by CR", Replace(kDemoCp1251, "\r\n", "\r"), Replace(kGarCp1251, "\r\n", "\r")},
        {"UTF-8, lines ended by CR", crOnly, Replace(garUtf8, "\r\n", "\r")},
        {"UTF-16LE, lines ended by CR", Units(crOnly, 2, true, true),
         Units(Replace(garUtf8, "\r\n", "\r"), 2, true, true)},
        {"UTF-8, lines ended by LF", lfOnly, Replace(garUtf8, "\r\n", "\n")},
    };
    for (const auto& f : forms) {
        AnalysisState st;
        const LoadResult r = LoadFailureBytes(st, f.data, "demo.txt", '.');
        ASSERT_TRUE(r.ok) << f.what << ": " << r.error;
        EXPECT_TRUE(r.BadRows.empty()) << f.what;
        EXPECT_EQ(Loaded(st), want) << f.what;
        const WarrantyResult w = LoadWarrantyBytes(st, f.gar, "gar.txt", '.');
        ASSERT_TRUE(w.ok) << f.what << ": " << w.error;
        EXPECT_EQ(st.ArrGar, garRef.ArrGar) << f.what;
        EXPECT_EQ(st.DataTitle, garRef.DataTitle) << f.what;
        EXPECT_EQ(w.MeanText, "2441.450") << f.what;
    }
}

TEST(InputFiles, RefusedFilesNameTheLineTheByteAndTheEncoding) {
    const std::string utf8 = Replace(Cp1251ToUtf8(kDemoCp1251), "\r\n", "\n");
    std::vector<std::string> lines;
    for (std::string_view l : SplitLines(utf8)) lines.emplace_back(l);
    std::vector<std::string> cpLines;
    for (std::string_view l : SplitLines(kDemoCp1251)) cpLines.emplace_back(l);
    auto join = [](const std::vector<std::string>& ls, std::size_t from, std::size_t to) {
        std::string s;
        for (std::size_t i = from; i < to && i < ls.size(); ++i) s += ls[i] + "\n";
        return s;
    };
    // Line 41 (from 1) with a 0xFF after its time and tab.
    std::string withFF = utf8;
    const std::size_t line41 = join(lines, 0, 40).size();
    withFF.insert(line41 + lines[40].find('\t') + 1, "\xFF");
    // A UTF-8 file cut inside the last letter of its last line.
    std::string cut = utf8.substr(0, utf8.size() - 1);  // the final LF
    cut.pop_back();                                     // the second byte of a letter
    ASSERT_EQ(static_cast<unsigned char>(cut.back()) & 0xC0, 0xC0);
    // A header of six lines with a number line replaced.
    const std::string title = "Парк\n";
    auto header = [](const std::string& sred, const std::string& sko, const std::string& park) {
        return "Парк\n" + sred + "\n" + sko + "\n" + park + "\n3\n2\nДвигатель\n100\tДвигатель стартера * x\n";
    };

    struct Case {
        const char* what;
        bool warranty;  // the warranty file's reader, else the data file's
        std::string bytes;
        std::vector<std::string> inError;
    };
    const std::vector<Case> cases = {
        {"one 0xFF in UTF-8",
         false,
         withFF,
         {"Ошибка в строке №41 файла «in.txt»: байт 0xFF (смещение " +
          std::to_string(line41 + lines[40].find('\t') + 1) +
          " от начала файла) не является частью символа UTF-8, а файл записан в UTF-8. Исправьте этот байт или "
          "сохраните весь файл в одной кодировке: UTF-8 или Windows-1251."}},
        {"UTF-8 cut inside a letter", false, cut, {"строке №" + std::to_string(lines.size()) + " ", "UTF-8"}},
        {"UTF-8 header and causes, Windows-1251 rows",
         false,
         join(lines, 0, 13) + join(cpLines, 13, cpLines.size()),
         {"Файл «in.txt» записан в двух кодировках: до строки №14 — UTF-8, с нее — Windows-1251. Сохраните весь "
          "файл в одной кодировке: UTF-8 или Windows-1251."}},
        {"a UTF-8 mark on Windows-1251",
         false,
         "\xEF\xBB\xBF" + kDemoCp1251,
         {"строке №1 ", "байт 0xC8 (смещение 3 ", "помечен как UTF-8 (метка BOM); всего таких байтов: "}},
        {"UTF-16 cut to an odd length",
         false,
         Units(utf8, 2, true, true).substr(0, 1001),
         {"Файл «in.txt» в кодировке UTF-16LE обрывается посреди символа (строка №",
          "длина файла 1001 байт не кратна 2"}},
        {"a lone surrogate in UTF-16BE",
         false,
         Units(title, 2, false, true) + std::string("\xDC\x00", 2) + "\0\n",
         {"Ошибка в строке №2 файла «in.txt»: файл в кодировке UTF-16BE, но байты со смещения 12 от начала файла "
          "не образуют символа"}},
        {"a code beyond Unicode in UTF-32",
         false,
         Units(title, 4, true, true) + std::string("\0\0\0\1", 4),
         {"в кодировке UTF-32LE", "смещения 24 "}},
        // Control characters in a header number: the number is not shortened.
        {"NUL inside the fleet",
         false,
         header("2500", "400", std::string("4\0 20", 5)),
         {"Ошибка в строке №4 файла «in.txt»: «4\\x00 20» содержит управляющий символ с кодом 0x00 (размер "
          "парка)."}},
        {"NUL after the mean",
         false,
         header(std::string("2500\0", 5), "400", "120"),
         {"строке №2 ", "с кодом 0x00 (среднее время гарантии)"}},
        {"escape in the deviation",
         false,
         header("2500", "4\x1B[0m00", "120"),
         {"строке №3 ", "«4\\x1B[0m00» содержит управляющий символ с кодом 0x1B (СКО времени гарантии)"}},
        {"DEL before the failure count",
         false,
         "Парк\n2500\n400\n120\n\x7F"
         "3\n2\n100\tДвигатель стартера\n",
         {"строке №5 ", "с кодом 0x7F (число отказов)"}},
        {"a C1 character in UTF-8",
         false,
         "Парк\n2500\n400\n120\n3\n2\xC2\x85\n100\tДвигатель стартера\n",
         {"строке №6 ", "«2\\u0085» содержит управляющий символ с кодом U+0085 (шестое число заголовка)"}},
        {"a line of NULs where a number is",
         false,
         "Парк\n" + std::string(3, '\0') + "\n2500\n400\n120\n3\n2\n",
         {"строке №2 ", "0x00 (среднее время гарантии)"}},
        {"a lone CR inside a header line",
         false,
         "Парк\n2500\r400\n120\n3\n2\n1\n100\tДвигатель стартера\n",
         {"строке №2 ", "с кодом 0x0D", "сохраните его с одинаковыми концами строк, CR LF или LF"}},
        // The warranty file follows the same rules.
        {"warranty: NUL inside a time",
         true,
         "Гарантия\n2000\n2500" + std::string(1, '\0') + " 7\n3000\n",
         {"Ошибка в строке №3 файла «in.txt»: «2500\\x00 7» содержит управляющий символ с кодом 0x00 (время "
          "окончания гарантии). Файл времен гарантии не загружен."}},
        {"warranty: one 0xFF in UTF-8",
         true,
         "Гарантия\n2000\n25\xFF"
         "00\n",
         {"строке №3 ", "байт 0xFF (смещение 24 "}},
        {"warranty: UTF-8 title, Windows-1251 times",
         true,
         "Времена гарантии\n2000 ч\n" + std::string("2500 \xF7\n3000 \xF7\xE0\xF1\xEE\xE2\n"),
         {"до строки №3 — UTF-8, с нее — Windows-1251"}},
        {"warranty: UTF-32 cut short",
         true,
         Units("Гарантия\n2000\n", 4, false, true).substr(0, 50),
         {"в кодировке UTF-32BE обрывается посреди символа"}},
    };
    AnalysisState st;
    ASSERT_TRUE(LoadFailureBytes(st, kDemoCp1251, "demo.txt", '.').ok);
    ASSERT_TRUE(LoadWarrantyBytes(st, kGarCp1251, "gar.txt", '.').ok);
    const std::string before = Loaded(st);
    const DoubArr garBefore = st.ArrGar;
    for (const Case& c : cases) {
        std::string error;
        if (c.warranty) {
            const WarrantyResult r = LoadWarrantyBytes(st, c.bytes, "in.txt", '.');
            EXPECT_FALSE(r.ok) << c.what;
            error = r.error;
            EXPECT_NE(error.find(" Файл времен гарантии не загружен."), std::string::npos) << c.what;
        } else {
            const LoadResult r = LoadFailureBytes(st, c.bytes, "in.txt", '.');
            EXPECT_FALSE(r.ok) << c.what;
            error = r.error;
            EXPECT_NE(error.find(" Файл данных не загружен."), std::string::npos) << c.what;
        }
        for (const std::string& part : c.inError)
            EXPECT_NE(error.find(part), std::string::npos) << c.what << ":\n" << error << "\nwants: " << part;
        EXPECT_TRUE(IsValidUtf8(error)) << c.what;
        EXPECT_EQ(Loaded(st), before) << c.what;
        EXPECT_EQ(st.ArrGar, garBefore) << c.what;
    }
}

TEST(InputFiles, ControlCharacterInAFailureTimeIsAMisprint) {
    const std::string head = "Парк\n2500\n400\n120\n3\n2\nДвигатель\n";
    AnalysisState st;
    const LoadResult r = LoadFailureBytes(st,
                                          head + "100\tДвигатель стартера * x\n" +
                                              std::string("35\0"
                                                          "0\tДвигатель\n",
                                                          24) +
                                              "\x01"
                                              "700\tДвигатель * x\n" +
                                              "800\x1B\tДвигатель * x\n" + "900\tДвигатель * за\x01клинил\n",
                                          "in.txt", '.', BadRowPolicy::Skip);
    ASSERT_TRUE(r.ok) << r.error;
    // Lines 9, 10 and 11 (from 1) are reported and left out; a control character in
    // a description is text.
    ASSERT_EQ(r.BadRows.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(r.BadRows[i].line, 9 + i);
        EXPECT_EQ(r.BadRows[i].why, "в поле наработки управляющий символ");
    }
    std::vector<double> times;
    for (const FailureRef p : st.ArrProblems) times.push_back(p.time);
    EXPECT_EQ(times, (std::vector<double>{100, 900}));
    EXPECT_EQ(st.ArrProblems[1].komment, "за\x01клинил");
}

TEST(InputFiles, FilesThatCannotBeOpenedSayWhy) {
    const fs::path dir = fs::temp_directory_path() / ("relan-input-files-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    fs::create_symlink(dir / "loop-b", dir / "loop-a");
    fs::create_symlink(dir / "loop-a", dir / "loop-b");
    const std::string longName = (dir / std::string(300, 'n')).string();
    std::string longPath = dir.string();
    while (longPath.size() < 5000) longPath += "/" + std::string(100, 'p');
    const struct {
        const char* what;
        std::string path;
        std::string inError;
        bool missing;
    } cases[] = {
        {"a loop of links", (dir / "loop-a").string(),
         "Файл «" + (dir / "loop-a").string() + "» не открыт: символические ссылки на этом пути образуют петлю",
         false},
        {"a file name of 300 bytes", longName, "слишком длинный (" + std::to_string(longName.size()) + " байт)",
         false},
        {"a path of 5000 bytes", longPath, "…» слишком длинный (" + std::to_string(longPath.size()) + " байт)",
         false},
        {"a file that is not there", (dir / "none.txt").string(), "не существует", true},
    };
    for (const auto& c : cases) {
        std::string bytes, why;
        bool missing = !c.missing;
        EXPECT_FALSE(ReadFileBytes(c.path, bytes, why, &missing)) << c.what;
        EXPECT_EQ(missing, c.missing) << c.what;
        EXPECT_NE(why.find(c.inError), std::string::npos) << c.what << ": " << why;
        EXPECT_LT(why.size(), 600u) << c.what;  // a long path is cut in the message
        AnalysisState st;
        const LoadResult data = LoadFailureFile(st, c.path, '.');
        EXPECT_NE(data.error.find(c.inError), std::string::npos) << c.what << ": " << data.error;
        // The warranty file keeps its usual text for a file that is not there and
        // names every other reason.
        const WarrantyResult gar = LoadWarrantyFile(st, c.path, '.');
        if (c.missing)
            EXPECT_EQ(gar.error, kWarrantyMissingText);
        else
            EXPECT_NE(gar.error.find(c.inError), std::string::npos) << c.what << ": " << gar.error;
    }
    fs::remove_all(dir);
}

}  // namespace
}  // namespace rel
