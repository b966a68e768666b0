#include "analysis/load.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "data/histogram.h"
#include "text/format.h"
#include "stats/distrib.h"

namespace rel {
namespace {

const std::string kFixtures = RELAN_FIXTURES;
constexpr const char* kPath = "test.txt";

// A data file in UTF-8 with LF line ends: title, header numbers, names, rows.
std::string DataFile(const std::vector<std::string>& names, const std::vector<std::string>& rows,
                     const std::string& sred = "2500", const std::string& sko = "400",
                     const std::string& park = "120") {
    std::string s = "Тестовый парк\n" + sred + "\n" + sko + "\n" + park + "\n3\n2\n";
    for (const auto& n : names) s += n + "\n";
    for (const auto& r : rows) s += r + "\n";
    return s;
}

LoadResult Load(AnalysisState& st, const std::string& bytes, char sep = '.',
                BadRowPolicy policy = BadRowPolicy::Refuse) {
    return LoadFailureBytes(st, bytes, kPath, sep, policy);
}

std::vector<std::size_t> Lines(const std::vector<BadRow>& bad) {
    std::vector<std::size_t> lines;
    for (const BadRow& b : bad) lines.push_back(b.line);
    return lines;
}

// The failure list as the window shows it: the header row, then one row per failure.
std::vector<std::array<std::string, 4>> Grid(const AnalysisState& st, const LoadResult& r, char sep = '.') {
    std::vector<std::array<std::string, 4>> rows{{kGridHeader[0], kGridHeader[1], kGridHeader[2], kGridHeader[3]}};
    for (std::size_t i = 0; i < st.ArrProblems.size(); ++i)
        rows.push_back(FailureGridRow(st, r.view.Marks, i, sep));
    return rows;
}

std::vector<std::string> Names(const std::vector<Vid_otkaza>& v) {
    std::vector<std::string> out;
    for (const auto& x : v) out.push_back(x.Nazv_Prich);
    return out;
}

std::vector<double> Counts(const std::vector<Vid_otkaza>& v) {
    std::vector<double> out;
    for (const auto& x : v) out.push_back(x.Dolya);
    return out;
}

// Everything a load may change, written out bit for bit.
std::string Snapshot(const AnalysisState& st) {
    std::ostringstream o;
    o << std::hexfloat;
    for (const auto& p : st.ArrProblems) o << p.time << '|' << p.chey << '|' << p.Pri << '|' << p.komment << ';';
    for (const auto& v : st.ArrVidFile) o << v.Nazv_Prich << '=' << v.Dolya << ';';
    for (const auto& v : st.ArrVid) o << v.Nazv_Prich << '=' << v.Dolya << ';';
    o << st.MaxPrich << st.DataTitle << st.FileLoaded << st.ParkFile << st.Park << st.KolOtkAll << st.KolOtkNez
      << st.iFirstPos << st.A_LN << st.B_LN << st.Gamma90 << st.Gamma50Cenz << st.Gamma50Nabl << st.Otk2000
      << st.DelitOtk << st.SredGar << st.SKOGar << st.DataPath << st.ModGen.Kol_Nakopl << st.ModGen.K_powtor
      << st.ModGen.Unsens;
    for (double g : st.ArrGar) o << g << ',';
    return o.str();
}

// ---------------------------------------------------------------------------
// The example file in every character set and line-end form gives one result.

TEST(FailureFile, ExampleInEveryEncodingAndLineEnd) {
    const std::vector<std::string> files = {"data-cp1251-crlf.txt", "data-utf8-lf.txt", "data-utf8-bom-crlf.txt",
                                            "data-cp1251-no-final-newline.txt", "data-blank-lines.txt"};
    for (const auto& name : files) {
        SCOPED_TRACE(name);
        AnalysisState st;
        const LoadResult r = LoadFailureFile(st, kFixtures + "/" + name, '.');
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_TRUE(r.BadRows.empty());
        EXPECT_EQ(st.DataTitle, "Парк 2023");
        EXPECT_EQ(st.SredGar, 2500.0);
        EXPECT_EQ(st.SKOGar, 400.0);
        EXPECT_EQ(st.ParkFile, 120.0);
        EXPECT_EQ(st.Park, 120.0);
        EXPECT_EQ(st.MaxPrich, 3);
        EXPECT_EQ(Names(st.ArrVidFile), (std::vector<std::string>{"Брак", "Другие", "Двигатель", "Электрика"}));
        EXPECT_EQ(Counts(st.ArrVid), (std::vector<double>{1, 1, 1, 0}));
        ASSERT_EQ(st.ArrProblems.size(), 3u);
        const std::vector<std::tuple<double, int, std::string, std::string>> want = {
            {0.0, 0, "Брак", "вмятина на корпусе"},
            {350.5, 2, "Двигатель стартера", "заклинил"},
            {1210.0, 1, "Другие", ""},
        };
        for (std::size_t i = 0; i < want.size(); ++i) {
            const auto& p = st.ArrProblems[i];
            EXPECT_EQ(std::tie(p.time, p.chey, p.Pri, p.komment), want[i]) << i;
        }
        EXPECT_EQ(st.KolOtkAll, 4);
        EXPECT_EQ(st.KolOtkNez, 2);
        EXPECT_EQ(st.iFirstPos, 1);
        EXPECT_EQ(st.DelitOtk, 1.0);
        EXPECT_TRUE(st.FileLoaded);

        const FailureFileView& v = r.view;
        EXPECT_EQ(v.Title, "Парк 2023");
        EXPECT_EQ(v.SredText, "2500");
        EXPECT_EQ(v.SKOText, "400");
        EXPECT_EQ(v.ParkText, "120");
        EXPECT_EQ(v.FailuresText, "2");
        EXPECT_EQ(v.PeriodText, "2500");
        EXPECT_EQ(v.GenerationsText, "1500");
        using Row = std::array<std::string, 4>;
        EXPECT_EQ(Grid(st, r),
                  (std::vector<Row>{{" № отказа", "Наработка, ч", "Источник отказа", "Описание отказа"},
                                    {"1", "0", "Брак", "вмятина на корпусе"},
                                    {"2", "350.5", "Двигатель", "заклинил"},
                                    {"3", "1210", "Другие", ""}}));
        // Two failures of 120 products: no share of the fleet is reached.
        EXPECT_EQ(st.Gamma90, 0.0);
        EXPECT_EQ(st.Gamma50Cenz, 0.0);
        const double C = 1.0 / (1.0 - NormF(2500, 400, 350.5)) + 1.0 / (1.0 - NormF(2500, 400, 1210));
        EXPECT_EQ(st.Otk2000, C / 120 * 2000 / 1210);
        ASSERT_EQ(v.LnPoints.size(), 2u);
        EXPECT_EQ(v.LnPoints[0], std::make_pair(std::log(350.5 + 0.00001), std::log(2.0)));
        EXPECT_EQ(v.LnPoints[1], std::make_pair(std::log(1210 + 0.00001), std::log(3.0)));
        EXPECT_EQ(v.LnLine.size(), 2u);
    }
}

TEST(FailureFile, TimesWithPointOrCommaAndBadTimes) {
    AnalysisState st;
    const std::string path = kFixtures + "/data-comma-times.txt";
    // Bad rows refuse the file by default, all of them told in one message.
    const LoadResult refused = LoadFailureFile(st, path, '.');
    ASSERT_FALSE(refused.ok);
    EXPECT_FALSE(st.FileLoaded);
    EXPECT_EQ(Lines(refused.BadRows), (std::vector<std::size_t>{10, 11}));
    EXPECT_EQ(refused.GoodRows, 3u);
    EXPECT_EQ(refused.error, "Строк отказов с ошибками в файле «" + path +
                                 "»: 2 (всего строк отказов: 5):\n"
                                 "строка №10: «12x0» — наработка не является числом;\n"
                                 "строка №11: «2e9» — наработка больше 1e9 ч. Файл данных не загружен.");
    // Skipping them loads the good rows only: a misprinted time never becomes a reject.
    const LoadResult r = LoadFailureFile(st, path, '.', BadRowPolicy::Skip);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.BadRows.size(), 2u);
    std::vector<std::pair<double, std::string>> got;
    for (const auto& p : st.ArrProblems) got.emplace_back(p.time, p.komment);
    // Equal times keep their file order.
    EXPECT_EQ(got,
              (std::vector<std::pair<double, std::string>>{{7.25, ""}, {1210.5, "первый"}, {1210.5, "второй"}}));
    EXPECT_EQ(st.ArrProblems[0].Pri, "Другие");
    EXPECT_EQ(st.ArrVid[0].Dolya, 0.0);
    EXPECT_EQ(st.KolOtkNez, 3);
    EXPECT_EQ(st.KolOtkAll, 4);
}

// ---------------------------------------------------------------------------
// Files that cannot be loaded leave the state exactly as it was.

TEST(FailureFile, RefusedFilesLeaveTheStateUntouched) {
    std::vector<std::string> tooMany;
    for (int i = 0; i < 52; ++i) tooMany.push_back("Причина " + std::to_string(i));
    std::string huge = DataFile({}, {"1\tДвигатель стартера * заклинил"});
    for (std::size_t i = 0; i < kMaxFailureRows; ++i) huge += "2\tx\n";
    struct Case {
        const char* what;
        std::string bytes;
        std::string inError;
    };
    const std::vector<Case> cases = {
        {"too many rows", huge, "не более 1000000"},
        {"empty", "", "пуст"},
        {"header comma", DataFile({}, {"100\tДвигатель стартера * x"}, "2500,5"), "строке №2"},
        {"header letters", DataFile({}, {"100\tДвигатель стартера * x"}, "2500", "4OO"), "строке №3"},
        {"fleet word", DataFile({}, {"100\tДвигатель стартера * x"}, "2500", "400", "сто"), "строке №4"},
        {"failure count real", "T\n1\n2\n3\n4.5\n1\n100\tДвигатель стартера\n", "целым"},
        {"header cut short", "T\n2500\n400\n", "кончается в заголовке"},
        {"title only", std::string(1000, 'x'), "кончается в заголовке"},
        {"no rows", DataFile({"Двигатель", "Электрика"}, {}), "нет ни одной строки отказа"},
        {"only blank rows", DataFile({"Двигатель"}, {std::string(25, ' '), "", "   "}),
         "нет ни одной строки отказа"},
        {"52 names", DataFile(tooMany, {"100\tДвигатель стартера * x"}), "не более 51"},
        // Figures outside the plausible range name the line, the figure and the range.
        {"zero fleet", DataFile({}, {"100\tx"}, "2500", "400", "0"),
         "строке №4 файла «test.txt»: размер парка «0» вне допустимых пределов (от 1 до 1e9 изделий)"},
        {"negative fleet", DataFile({}, {"100\tx"}, "2500", "400", "-5"), "размер парка «-5»"},
        {"denormal fleet", DataFile({}, {"100\tx"}, "2500", "400", "4.9e-324"), "от 1 до 1e9"},
        {"huge fleet", DataFile({}, {"100\tx"}, "2500", "400", "1e308"), "от 1 до 1e9"},
        {"huge mean", DataFile({}, {"100\tx"}, "1e308"),
         "строке №2 файла «test.txt»: среднее время гарантии «1e308» вне допустимых пределов (от 0 до 1e9 ч)"},
        {"negative deviation", DataFile({}, {"100\tx"}, "2500", "-1"), "СКО времени гарантии «-1»"},
    };
    AnalysisState st;
    ASSERT_TRUE(LoadFailureFile(st, kFixtures + "/data-cp1251-crlf.txt", '.').ok);
    st.ArrGar = {1, 2};
    const std::string before = Snapshot(st);
    for (const auto& c : cases) {
        const LoadResult r = Load(st, c.bytes);
        EXPECT_FALSE(r.ok) << c.what;
        EXPECT_NE(r.error.find(c.inError), std::string::npos) << c.what << ": " << r.error;
        EXPECT_NE(r.error.find("не загружен"), std::string::npos) << c.what;
        EXPECT_EQ(Snapshot(st), before) << c.what;
    }
    for (const std::string& path : {kFixtures + "/data-header-comma.txt", kFixtures + "/data-no-rows.txt",
                                    kFixtures + "/no-such-file.txt", kFixtures}) {
        const LoadResult r = LoadFailureFile(st, path, '.');
        EXPECT_FALSE(r.ok) << path;
        EXPECT_NE(r.error.find(path), std::string::npos) << r.error;
        EXPECT_EQ(Snapshot(st), before) << path;
    }
}

TEST(FailureFile, FiftyOneNamesAreAccepted) {
    std::vector<std::string> names;
    for (int i = 0; i < 51; ++i) names.push_back("Причина " + std::to_string(i));
    AnalysisState st;
    const LoadResult r = Load(st, DataFile(names, {"100\tпричина 50 * последняя"}));
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(st.MaxPrich, 52);
    // "причина 50" holds the names "Причина 5" and "Причина 50": both are credited,
    // they sort first in file order, and the later one gives the cause number.
    EXPECT_EQ(st.ArrVid[2].Nazv_Prich, "Причина 5");
    EXPECT_EQ(st.ArrVid[3].Nazv_Prich, "Причина 50");
    EXPECT_EQ(st.ArrProblems[0].chey, 3);
}

// ---------------------------------------------------------------------------
// Cause names and classification.

TEST(FailureFile, CauseBlockEndsAtTheFirstLineLongerThanTwentyCharacters) {
    const std::string twenty = "  Двигатель         ";      // 20 characters
    const std::string twentyOne = "  Двигатель          ";  // 21 characters
    ASSERT_EQ(twenty.size() - 9, 20u);                      // 9 two-byte letters
    AnalysisState st;
    LoadResult r = Load(st, DataFile({twenty, twentyOne}, {"100\tДвигатель"}), '.', BadRowPolicy::Skip);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(Names(st.ArrVidFile), (std::vector<std::string>{"Брак", "Другие", "Двигатель"}));
    // The 21-character line is the first failure row: no tab and no time (line 8).
    EXPECT_EQ(Lines(r.BadRows), (std::vector<std::size_t>{8}));
    ASSERT_EQ(st.ArrProblems.size(), 1u);
    EXPECT_EQ(st.ArrProblems[0].chey, 2);

    // A short first row is taken as one more cause name.
    r = Load(st, DataFile({"Двигатель"}, {"100\tДвигатель", "1000\tДвигатель стартера"}));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(st.MaxPrich, 3);
    EXPECT_EQ(st.ArrVidFile[3].Nazv_Prich, "100\tДвигатель");
    EXPECT_EQ(st.ArrProblems.size(), 1u);
    EXPECT_EQ(st.KolOtkAll, 2);
}

TEST(FailureFile, ClassificationAndRenumbering) {
    AnalysisState st;
    const LoadResult r = Load(st, DataFile({"Двигатель", "", "Электрика", "   "},
                                           {"100\tЭЛЕКТРИКА и двигатель * оба",  // both names
                                            "200\tэлектрика фар",
                                            "300\tФары * ничего",                 // no name
                                            "400\tБрак сборки * брак после 1 ч",  // "брак" at 400 h
                                            "0.5\tДвигатель * отказ до 1 ч",      // reject
                                            "0\tЭлектрика * при приемке",         // reject at 0
                                            "500\tДругие неисправности"}));
    ASSERT_TRUE(r.ok) << r.error;
    // File order with counts; both names of the first row are credited, the empty
    // names match nothing.
    EXPECT_EQ(Names(st.ArrVidFile),
              (std::vector<std::string>{"Брак", "Другие", "Двигатель", "", "Электрика", ""}));
    EXPECT_EQ(Counts(st.ArrVidFile), (std::vector<double>{3, 2, 1, 0, 2, 0}));
    // Sorted by count, equal counts in file order.
    EXPECT_EQ(Names(st.ArrVid), (std::vector<std::string>{"Брак", "Другие", "Электрика", "Двигатель", "", ""}));
    struct Want {
        double time;
        int chey;
        const char* Pri;
    };
    const std::vector<Want> want = {
        {0, 0, "Брак"},                     // reject at 0 h
        {0.5, 0, "Брак"},                   // reject although it names a cause
        {100, 3, "ЭЛЕКТРИКА и двигатель"},  // the later of the two in the sorted list
        {200, 2, "электрика фар"},
        {300, 1, "Другие"},
        {400, 0, "Брак сборки"},           // credited to "Брак" as cause 0
        {500, 1, "Другие неисправности"},  // credited to "Другие" by its name
    };
    ASSERT_EQ(st.ArrProblems.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(st.ArrProblems[i].time, want[i].time) << i;
        EXPECT_EQ(st.ArrProblems[i].chey, want[i].chey) << i;
        EXPECT_EQ(st.ArrProblems[i].Pri, want[i].Pri) << i;
    }
    // The "брак" row at 400 h is not an independent failure.
    EXPECT_EQ(st.KolOtkNez, 7 - 3);
    EXPECT_EQ(st.KolOtkAll, 8);
    EXPECT_EQ(st.iFirstPos, 1);
    // The time-0 reject adds no weight and no chart point; the 0.5 h one adds weight.
    EXPECT_EQ(r.view.LnPoints.size(), 5u);
    double C = 0;
    for (double t : {0.5, 100.0, 200.0, 300.0, 400.0, 500.0}) C = C + 1.0 / (1.0 - NormF(2500, 400, t));
    EXPECT_EQ(st.Otk2000, C / 120 * 2000 / 500);

    // The histogram counts the 400 h "брак" row in its own interval under cause 0.
    BuildHist(st);
    int inFirst = 0, later = 0;
    for (std::size_t k = 0; k < st.ArrHist.size(); ++k) (k == 0 ? inFirst : later) += st.ArrHist[k].Npr[0];
    EXPECT_EQ(inFirst, 2);
    EXPECT_EQ(later, 1);
}

// Renumbering looks for the names in Pri, which is "Брак" or "Другие" for rejects
// and unmatched failures: a named cause occurring in those texts takes them over.
TEST(FailureFile, NamesThatOccurInTheBuiltInTexts) {
    AnalysisState st;
    const LoadResult r = Load(
        st, DataFile({"Брак", "друг"},
                     {"0\tупаковка * вмятина на корпусе", "100\tБрак сборки", "200\tФары", "300\tДруг семьи"}));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(Counts(st.ArrVidFile), (std::vector<double>{2, 1, 1, 1}));
    std::vector<int> chey;
    for (const auto& p : st.ArrProblems) chey.push_back(p.chey);
    EXPECT_EQ(chey, (std::vector<int>{2, 2, 3, 3}));
    EXPECT_EQ(st.ArrProblems[0].Pri, "Брак");
    EXPECT_EQ(st.ArrProblems[2].Pri, "Другие");
    EXPECT_EQ(st.KolOtkNez, 2);
}

TEST(FailureFile, RemainderSplitAtTheAsterisk) {
    struct Case {
        const char* rem;
        const char* source;
        const char* komment;
    };
    const std::vector<Case> cases = {
        {"Двигатель стартера * заклинил", "Двигатель стартера", "заклинил"},
        {"* заклинил", "* заклинил", "заклинил"},
        {"Двигатель *заклинил", "Двигатель", "аклинил"},
        {"Двигатель*x", "Двигател", ""},
        {"Д*ab", "", "b"},
        {"Двигатель * a * b", "Двигатель", "a * b"},
        {"Двигатель *", "Двигатель", ""},
        {"Фары", "Фары", ""},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        std::string source, komment;
        SplitFailureRemainder(c.rem, source, komment);
        EXPECT_EQ(source, c.source) << c.rem;
        EXPECT_EQ(komment, c.komment) << c.rem;
    }
}

// UTF-8 text in Windows-1251, through the C library's converter.
std::string ToCp1251(const std::string& utf8) {
    iconv_t cd = iconv_open("CP1251", "UTF-8");
    std::string out(utf8.size(), '\0');
    char* in = const_cast<char*>(utf8.data());
    char* o = out.data();
    std::size_t inLeft = utf8.size(), outLeft = out.size();
    const std::size_t done = iconv(cd, &in, &inLeft, &o, &outLeft);
    iconv_close(cd);
    EXPECT_NE(done, static_cast<std::size_t>(-1)) << utf8;
    out.resize(out.size() - outLeft);
    return out;
}

std::string Replace(std::string s, const std::string& from, const std::string& to) {
    for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
    return s;
}

// What a load gives, bit for bit: the state, the bad rows and the refusal.
std::string Outcome(const std::string& bytes) {
    AnalysisState st;
    const LoadResult r = Load(st, bytes, '.', BadRowPolicy::Skip);
    std::string s = Snapshot(st) + "|" + r.error + "|" + std::to_string(r.GoodRows);
    for (const BadRow& b : r.BadRows) s += "|" + std::to_string(b.line) + ":" + b.value + ":" + b.why;
    return s;
}

// A Windows-1251 file is read one byte to a character and decoded only where a text
// is kept: it loads exactly as the same file in UTF-8, whatever its line ends — names
// found in any letter case (Ё, Ґ, Latin), the character dropped before the asterisk
// and the one skipped after it, names inside "Брак" and "Другие", bad rows with their
// values.
TEST(FailureFile, Windows1251LoadsAsItsUtf8) {
    struct Case {
        const char* what;
        std::vector<std::string> names, rows;
    };
    const std::vector<Case> cases = {
        {"letter cases and asterisks",
         {"Двигатель", "ЁЛКА", "Ґанок", "Фары", "№ 5", "ABS"},
         {"100\tЁлка и двигатель * ёж", "200\tґанок*Ё", "300\tФАРЫ ЁЛКИ*", "0.5\tёлка", "400\tбрак Ёлки * №17 «x»",
          "500\tДРУГИЕ фары * —", "600\t№ 5 насоса abs", "700\tфарыЖ*ЖЁ", "800\tЖ*", "900\tЖ*ЁЖ",
          "1000\tнечто иное * Двигатель", "1100\tЁлка и двигатель * ёж", "1200\tфары ЁЁ*ЖЁж"}},
        {"names inside the built-in ones",
         {"бра", "ДРУГ", "рак", "ие"},
         {"0\tx", "100\tнечто", "200\tдругое * брак", "300\tРАК", "0.2\tдругие"}},
        {"bad rows",
         {"Двигатель", "Фары"},
         {"12…\tДвигатель", "Двигатель стартера 1500", "  \tФары", "1,5  Фары головного света * ё",
          "-3\tДвигатель ё", "1 500   Фары", "40 Фары ближнего света", "2e9\tЁ", "1В…\tДвигатель"}},
    };
    for (const Case& c : cases) {
        const std::string utf8 = DataFile(c.names, c.rows);
        const std::string want = Outcome(utf8);
        EXPECT_EQ(Outcome(ToCp1251(Replace(utf8, "\n", "\r\n"))), want) << c.what;
        EXPECT_EQ(Outcome(ToCp1251(Replace(utf8, "\n", "\r"))), want) << c.what;
    }
    // What the first file gives, seen from its UTF-8.
    AnalysisState st;
    ASSERT_TRUE(Load(st, ToCp1251(DataFile(cases[0].names, cases[0].rows)), '.', BadRowPolicy::Skip).ok);
    std::vector<std::pair<std::string, std::string>> texts;
    for (const FailureRef f : st.ArrProblems) texts.emplace_back(f.Pri, f.komment);
    EXPECT_EQ(texts[0], std::make_pair(std::string("Брак"), std::string()));
    EXPECT_EQ(texts[1], std::make_pair(std::string("Ёлка и двигатель"), std::string("ёж")));
    EXPECT_EQ(texts[2], std::make_pair(std::string("Другие"), std::string()));  // "ґано" is no "Ґанок"
    EXPECT_EQ(texts[7], std::make_pair(std::string("фары"), std::string("Ё")));
    EXPECT_EQ(texts[8], std::make_pair(std::string("Другие"), std::string()));
    EXPECT_EQ(texts[9], std::make_pair(std::string("Другие"), std::string("Ж")));
}

// A text the rows repeat is kept once; however many different texts there are (more
// than the reader remembers at a time), each failure keeps its own.
TEST(FailureFile, EveryFailureKeepsItsOwnTexts) {
    std::vector<std::string> rows;
    std::vector<std::tuple<double, std::string, std::string>> want;
    for (int i = 0; i < 12000; ++i) {
        const int t = 1 + i % 97;
        const std::string source = "Двигатель стартера №" + std::to_string(i % 5003);
        const std::string note = i % 2 ? "описание " + std::to_string(i % 4099) : "";
        rows.push_back(std::to_string(t) + "\t" + source + (note.empty() ? "" : " * " + note));
        want.emplace_back(t, source, note);
    }
    std::stable_sort(want.begin(), want.end(),
                     [](const auto& a, const auto& b) { return std::get<0>(a) < std::get<0>(b); });
    const std::string utf8 = DataFile({"Двигатель"}, rows);
    for (const std::string& bytes : {utf8, ToCp1251(utf8)}) {
        AnalysisState st;
        ASSERT_TRUE(Load(st, bytes).ok);
        ASSERT_EQ(st.ArrProblems.size(), want.size());
        for (std::size_t i = 0; i < want.size(); ++i) {
            const FailureRef f = st.ArrProblems[i];
            ASSERT_EQ(std::make_tuple(f.time, std::string(f.Pri), std::string(f.komment)), want[i]) << i;
        }
    }
}

TEST(FailureFile, BadRowsAreToldWithTheirValueAndReason) {
    // A table of rows: each bad one is left out with its reason; rows whose tabs
    // became spaces are read where the time column is plain.
    struct Case {
        const char* row;
        const char* value;  // nullptr: the row is read
        const char* why;
        double time;
    };
    const std::vector<Case> cases = {
        {"12,3,4\tДвигатель стартера * x", "12,3,4", "наработка не является числом", 0},
        {"abc\tЭлектрика фар", "abc", "наработка не является числом", 0},
        {"-5\tДвигатель", "-5", "наработка отрицательна", 0},
        {"1e10\tДвигатель", "1e10", "наработка больше 1e9 ч", 0},
        {"   \tДвигатель", "", "наработка не указана", 0},
        {"Двигатель стартера 1500", "Двигатель",
         "строка без табуляции, и ее первое слово — не наработка (разделите наработку и источник отказа "
         "табуляцией)",
         0},
        {"1 500   Двигатель", "1 500",
         "строка без табуляции, и неясно, где кончается наработка (разделите наработку и источник отказа "
         "табуляцией)",
         0},
        {"-0\tДвигатель", nullptr, nullptr, 0},
        {"1500   Двигатель стартера * заклинил", nullptr, nullptr, 1500},
        {"1500,5  Электрика", nullptr, nullptr, 1500.5},
        {"700                      ", nullptr, nullptr, 700},
        {"800   Двигатель * за\x01клинил", nullptr, nullptr, 800},  // a control character in the text
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        AnalysisState st;
        const LoadResult r = Load(st, DataFile({"Двигатель", "Электрика"}, {"100\tДвигатель стартера", c.row}),
                                  '.', BadRowPolicy::Skip);
        ASSERT_TRUE(r.ok) << r.error;
        if (c.value) {
            ASSERT_EQ(r.BadRows.size(), 1u);
            EXPECT_EQ(r.BadRows[0].line, 10u);
            EXPECT_EQ(r.BadRows[0].value, c.value);
            EXPECT_EQ(r.BadRows[0].why, c.why);
            EXPECT_EQ(st.ArrProblems.size(), 1u);  // never a reject at 0 h
        } else {
            EXPECT_TRUE(r.BadRows.empty());
            ASSERT_EQ(st.ArrProblems.size(), 2u);
            const double t = st.ArrProblems[0].time == 100 ? st.ArrProblems[1].time : st.ArrProblems[0].time;
            EXPECT_EQ(t, c.time);
            EXPECT_FALSE(std::signbit(t));
        }
    }
    // A space-separated row is classified like a tabbed one.
    AnalysisState st;
    ASSERT_TRUE(Load(st, DataFile({"Двигатель", "Электрика"}, {"1500   Электрика фар * перегорела"})).ok);
    EXPECT_EQ(st.ArrVid[static_cast<std::size_t>(st.ArrProblems[0].chey)].Nazv_Prich, "Электрика");
    EXPECT_EQ(st.ArrProblems[0].komment, "перегорела");
}

TEST(FailureFile, ManyBadRowsGiveOneSummaryAndNoRowsNoLoad) {
    std::vector<std::string> rows = {"100\tДвигатель стартера"};
    for (int i = 0; i < 313; ++i) rows.push_back("x" + std::to_string(i) + "\tДвигатель стартера");
    AnalysisState st;
    const LoadResult r = Load(st, DataFile({"Двигатель"}, rows));
    ASSERT_FALSE(r.ok);
    EXPECT_EQ(r.BadRows.size(), 313u);
    EXPECT_EQ(r.GoodRows, 1u);
    // The first ten rows are listed, then the count of the rest.
    EXPECT_NE(r.error.find("Строк отказов с ошибками в файле «test.txt»: 313 (всего строк отказов: 314)"),
              std::string::npos);
    EXPECT_NE(r.error.find("строка №18: «x9»"), std::string::npos);
    EXPECT_EQ(r.error.find("строка №19:"), std::string::npos);
    EXPECT_NE(r.error.find("… и ещё 303."), std::string::npos);
    // With every row bad, skipping still loads nothing.
    const LoadResult none =
        Load(st, DataFile({"Двигатель"}, {"x\tДвигатель стартера * заклинил"}), '.', BadRowPolicy::Skip);
    ASSERT_FALSE(none.ok);
    EXPECT_NE(none.error.find("Ни одна строка отказа не прочитана."), std::string::npos);
    EXPECT_FALSE(st.FileLoaded);
}

TEST(FailureFile, FailureCountAndGenerationsRule) {
    struct Case {
        int rows;
        int kolOtkAll;
        std::optional<std::string> generations;
    };
    const std::vector<Case> cases = {
        {1, 2, "1500"},     {499, 500, "1500"},  {500, 501, "2000"},     {600, 601, "2000"},
        {998, 999, "2000"}, {999, 1000, "4000"}, {99998, 99999, "4000"}, {99999, 100000, std::nullopt},
    };
    for (const auto& c : cases) {
        std::string file = DataFile({"Двигатель"}, {});
        for (int i = 0; i < c.rows; ++i) file += std::to_string(1 + i % 3000) + "\tДвигатель стартера, заклинил\n";
        AnalysisState st;
        const LoadResult r = Load(st, file);
        ASSERT_TRUE(r.ok) << c.rows;
        EXPECT_EQ(st.KolOtkAll, c.kolOtkAll) << c.rows;
        EXPECT_EQ(r.view.GenerationsText, c.generations) << c.rows;
        EXPECT_EQ(st.ArrProblems.size(), static_cast<std::size_t>(c.rows));
    }
}

TEST(FailureFile, SecondLoadReplacesCausesAndCounts) {
    AnalysisState st;
    ASSERT_TRUE(Load(st, DataFile({"Двигатель", "Электрика", "Гидравлика"},
                                  {"0\tБрак упаковки * вмятина", "0.2\tДвигатель", "100\tГидравлика насоса"}))
                    .ok);
    EXPECT_EQ(st.ArrVid[0].Dolya, 2.0);
    st.ArrHist.resize(3);
    st.ModSpir.Executed = true;
    st.ModGen.K_powtor = 2.5;
    st.ModGen.Kol_Nakopl = 7;
    st.ModGen.Unsens = 0.3;
    st.ModGen.A = 1.7;
    st.ArrGar = {2400, 2600};
    ASSERT_TRUE(Load(st, DataFile({"Фары"}, {"10\tФары головного света", "20\tЗамок"})).ok);
    EXPECT_EQ(Names(st.ArrVid), (std::vector<std::string>{"Брак", "Другие", "Фары"}));
    EXPECT_EQ(Names(st.ArrVidFile), (std::vector<std::string>{"Брак", "Другие", "Фары"}));
    EXPECT_EQ(st.MaxPrich, 2);
    EXPECT_EQ(st.ArrVid[0].Dolya, 0.0);
    EXPECT_EQ(st.KolOtkNez, 2);
    // A data file starts a new analysis: the optimiser's model starts as the load
    // sets it, and nothing of the fleet before stays (its warranty end times, its
    // histogram, its fitted models).
    EXPECT_EQ(st.ModGen.K_powtor, 1.0);
    EXPECT_EQ(st.ModGen.Kol_Nakopl, 0.0);
    EXPECT_EQ(st.ModGen.Unsens, 0.0);
    EXPECT_EQ(st.ModGen.A, 0.0);
    EXPECT_FALSE(st.ModSpir.Executed);
    EXPECT_TRUE(st.ArrHist.empty());
    EXPECT_TRUE(st.ArrGar.empty());
}

// ---------------------------------------------------------------------------
// Crossings of shares of the fleet, gamma lives and failures per product.

// Weight of one failure when the mean warranty end time is far away: NormF is at
// its floor 1e-12.
const double kW = 1.0 / (1.0 - 1e-12);
double Frac(double x) { return x - std::trunc(x); }

std::vector<std::string> Column2(const AnalysisState& st, const LoadResult& r) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < st.ArrProblems.size(); ++i)
        out.push_back(FailureGridRow(st, r.view.Marks, i, '.')[2]);
    return out;
}

TEST(FailureFile, CrossingsAndGammaLives) {
    std::vector<std::string> rows;
    for (int k = 1; k <= 8; ++k) rows.push_back(std::to_string(100 * k) + "\tДвигатель * обрыв");
    AnalysisState st;
    const LoadResult r = Load(st, DataFile({"Двигатель"}, rows, "1000000", "1", "7"));
    ASSERT_TRUE(r.ok);
    const std::string d = "Двигатель";
    EXPECT_EQ(Column2(st, r), (std::vector<std::string>{d + ", отказов 10% от парка", d + ", отказов 20% от парка",
                                                        d, d + ", отказов 50% от парка с учетом цензурирования", d,
                                                        d + ", отказов 80% от парка", d, d}));
    std::vector<double> C(9, 0.0);
    for (int i = 0; i < 8; ++i) C[i + 1] = C[i] + kW;
    // 10% of 7 products at the first failure: the time before it counts as 0.
    EXPECT_EQ(st.Gamma90, 100 - Frac(C[1] - 0.1 * 7) * (100 - 0));
    EXPECT_EQ(st.Gamma50Cenz, 400 - Frac(C[4] - 0.5 * 7) * (400 - 300));
    EXPECT_EQ(st.Gamma50Nabl, st.Gamma50Cenz);
    EXPECT_NEAR(st.Gamma50Cenz, 350, 1e-6);
    EXPECT_EQ(st.Otk2000, C[8] / 7 * 2000 / 800);

    // 10% and 20% reached at the same failure: the cell shows the last annotation.
    const LoadResult r2 = Load(st, DataFile({"Двигатель"}, rows, "1000000", "1", "5"));
    ASSERT_TRUE(r2.ok);
    EXPECT_EQ(Column2(st, r2)[0], d + ", отказов 20% от парка");
    EXPECT_EQ(st.Gamma90, 100 - Frac(C[1] - 0.1 * 5) * 100);
}

TEST(FailureFile, FailuresPerProductOver2000Hours) {
    AnalysisState st;
    ASSERT_TRUE(Load(st, DataFile({}, {"1000\tДвигатель стартера", "2500\tДвигатель", "3000\tДвигатель"})).ok);
    double C = 0;
    for (double t : {1000.0, 2500.0}) C = C + 1.0 / (1.0 - NormF(2500, 400, t));
    EXPECT_EQ(st.Otk2000, C / 120 * 2000 / 2500);
}

TEST(FailureFile, DegenerateHeaderFiguresStayFinite) {
    struct Case {
        const char* what;
        const char* sred;
        const char* sko;
        const char* park;
        std::size_t warnings;
    };
    const std::vector<Case> cases = {
        {"zero deviation", "500", "0", "10", 2},           // and the failure at 900 h saturates
        {"far beyond the warranty", "100", "1", "10", 1},  // NormF = 1
    };
    for (const auto& c : cases) {
        AnalysisState st;
        const LoadResult r =
            Load(st, DataFile({"Двигатель"}, {"100\tДвигатель стартера", "500\tДвигатель", "900\tДвигатель"},
                              c.sred, c.sko, c.park));
        ASSERT_TRUE(r.ok) << c.what;
        EXPECT_EQ(r.Warnings.size(), c.warnings) << c.what;
        for (double x : {st.Gamma90, st.Gamma50Cenz, st.Gamma50Nabl, st.Otk2000, st.A_LN, st.B_LN})
            EXPECT_TRUE(std::isfinite(x)) << c.what;
    }
    // With a zero deviation a failure exactly at the mean weighs 2 (half the fleet
    // has left); one after it gets the largest finite weight.
    AnalysisState st;
    const LoadResult z = Load(st, DataFile({}, {"500\tДвигатель стартера", "900\tДвигатель"}, "500", "0", "1e9"));
    ASSERT_TRUE(z.ok);
    EXPECT_EQ(st.Otk2000, (2.0 + kMaxCensorWeight) / 1e9 * 2000 / 900);
}

// ---------------------------------------------------------------------------
// The log-log accumulation line.

TEST(FailureFile, LogLogLine) {
    AnalysisState st;
    const LoadResult r =
        Load(st, DataFile({}, {"0\tБрак упаковки * вмятина", "10\tДвигатель стартера", "100\tx", "1000\ty"}));
    ASSERT_TRUE(r.ok);
    // Least squares by the centred formula, an independent route to the same line.
    const std::vector<double> x = {std::log(10 + 0.00001), std::log(100 + 0.00001), std::log(1000 + 0.00001)};
    const std::vector<double> y = {std::log(2.0), std::log(3.0), std::log(4.0)};
    const double mx = (x[0] + x[1] + x[2]) / 3, my = (y[0] + y[1] + y[2]) / 3;
    double sxy = 0, sxx = 0;
    for (int i = 0; i < 3; ++i) {
        sxy += (x[i] - mx) * (y[i] - my);
        sxx += (x[i] - mx) * (x[i] - mx);
    }
    EXPECT_NEAR(st.A_LN, sxy / sxx, 1e-12);
    EXPECT_NEAR(st.B_LN, my - sxy / sxx * mx, 1e-12);
    EXPECT_TRUE(LnLineDefined(st));
    ASSERT_EQ(r.view.LnLine.size(), 2u);
    EXPECT_EQ(r.view.LnLine[0].first, x[0]);
    EXPECT_EQ(r.view.LnLine[0].second, st.A_LN * x[0] + st.B_LN);
    EXPECT_EQ(r.view.LnLine[1].first, x[2]);
    EXPECT_EQ(r.view.LnPoints.size(), 3u);
    EXPECT_EQ(r.view.LnPoints[0].second, y[0]);

    // Too few distinct points: no line, A_LN = B_LN = 0.
    const std::vector<std::vector<std::string>> undefined = {
        {"10\tДвигатель стартера"},
        {"0\tБрак упаковки * вмятина", "0.5\tБрак упаковки", "10\tДвигатель стартера"},
        {"0\tБрак упаковки * вмятина", "0\tБрак упаковки"},
        {"700\tДвигатель стартера", "700\tДвигатель", "700,0\tДвигатель"},
    };
    for (const auto& rows : undefined) {
        const LoadResult u = Load(st, DataFile({}, rows));
        ASSERT_TRUE(u.ok);
        EXPECT_TRUE(u.view.LnLine.empty()) << rows[0];
        EXPECT_EQ(st.A_LN, 0.0);
        EXPECT_EQ(st.B_LN, 0.0);
        EXPECT_FALSE(LnLineDefined(st));
    }
    EXPECT_EQ(st.iFirstPos, 0);
    EXPECT_TRUE(Load(st, DataFile({}, {"0\tБрак упаковки * вмятина", "0\tx"})).ok);
    EXPECT_EQ(st.iFirstPos, -1);
}

TEST(FailureFile, TextsFollowTheDecimalSeparator) {
    AnalysisState st;
    const LoadResult r = Load(st, DataFile({}, {"350,5\tДвигатель стартера"}, "2500.5", "400.25", "120"), ',');
    ASSERT_TRUE(r.ok);
    const FailureFileView& v = r.view;
    EXPECT_EQ(v.SredText, "2500,5");
    EXPECT_EQ(v.PeriodText, "2500,5");
    EXPECT_EQ(v.SKOText, "400,25");
    EXPECT_EQ(v.StepCoef11Text, "1,00025");
    EXPECT_EQ(v.StepCoef12Text, "1,00025");
    EXPECT_EQ(v.StepCoef2Text, "1,0005");
    EXPECT_EQ(v.PrecisionText, "0,0000002");
    EXPECT_EQ(Grid(st, r, ',')[1][1], "350,5");
    const LoadResult p = Load(st, DataFile({}, {"350,5\tДвигатель стартера"}), '.');
    EXPECT_EQ(p.view.PrecisionText, "0.0000002");
    EXPECT_EQ(Grid(st, p)[1][1], "350.5");
}

// The grid's time text is the general text of the number, however it is found.
TEST(FailureFile, TimeTextIsTheGeneralText) {
    std::vector<double> values = {0,
                                  1,
                                  0.1,
                                  0.5,
                                  350.5,
                                  1210,
                                  2e-5,
                                  1e-5,
                                  9.99e-6,
                                  123456789012345.0,
                                  1e15,
                                  999999999999999.9,
                                  1.0 / 3,
                                  2.0 / 3,
                                  1e9,
                                  1e9 + 0.1,
                                  -5,
                                  -0.0,
                                  0.30000000000000004,
                                  1234.5678901234567};
    std::uint64_t x = 42;
    for (int i = 0; i < 20000; ++i) {
        x = x * 6364136223846793005ULL + 1442695040888963407ULL;
        const double u = static_cast<double>(x >> 11) / 9007199254740992.0;
        const double scale = std::pow(10.0, static_cast<int>(x % 23) - 8);
        values.push_back(u * scale);
        values.push_back(std::round(u * 1e6) / 10);
    }
    for (double v : values)
        for (char sep : {'.', ','}) ASSERT_EQ(TimeText(v, sep), FormatGeneral(v, sep)) << v;
}

}  // namespace
}  // namespace rel
