#include "data/warranty_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "analysis/load.h"

namespace rel {
namespace {

const std::string kFixtures = RELAN_FIXTURES;

TEST(WarrantyFile, MeanDeviationAndTheirTexts) {
    struct Case {
        std::string file;
        char sep;
        double mean, sd;
        const char *count, *meSred, *meSKO, *srednee, *sko;
    };
    const std::vector<Case> cases = {
        {"Т\n2000\n2500\n3000\n", '.', 2500, 500, "3", "2.5E3", "500.0", "2500.000", "500.000"},
        {"Т\n2000\n2500\n3000\n", ',', 2500, 500, "3", "2,5E3", "500,0", "2500,000", "500,000"},
        {"Т\n2517\n2523\n", '.', 2520, std::sqrt(18.0), "2", "2.52E3", "4.2", "2520.000", "4.243"},
        {"Т\n500.26\n500.34\n", '.', (500.26 + 500.34) / 2, -1, "2", "500.0", "0.1", "500.300", "0.057"},
        {"Т\n+1e3 ч\n  +3E3\tx\n", '.', 2000, std::sqrt(2e6), "2", "2E3", "1.41E3", "2000.000", "1414.210"},
    };
    for (const auto& c : cases) {
        AnalysisState st;
        const WarrantyResult r = LoadWarrantyBytes(st, c.file, "gar.txt", c.sep);
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_EQ(r.CountText, c.count);
        EXPECT_EQ(st.SredGar, c.mean) << c.file;
        if (c.sd >= 0) {
            EXPECT_EQ(st.SKOGar, c.sd) << c.file;
        }
        EXPECT_EQ(r.SredText, c.meSred) << c.file;
        EXPECT_EQ(r.SKOText, c.meSKO) << c.file;
        EXPECT_EQ(r.MeanText, c.srednee) << c.file;
        EXPECT_EQ(r.SdText, c.sko) << c.file;
        EXPECT_EQ(r.Title, "Т");
    }
}

TEST(WarrantyFile, LoadReplacesWarrantyFiguresAndClearsModels) {
    AnalysisState st;
    ASSERT_TRUE(LoadFailureFile(st, kFixtures + "/data-cp1251-crlf.txt", '.').ok);
    const auto problems = st.ArrProblems.size();
    st.ModSpir.Executed = st.ModNewton.Executed = st.ModSmirn.Executed = st.ModGen.Executed = true;
    st.ModSpir.A = 1.5;
    const WarrantyResult r = LoadWarrantyFile(st, kFixtures + "/gar-example.txt", '.');
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(st.ArrGar, (DoubArr{2000, 2500, 3000}));
    EXPECT_EQ(st.SredGar, 2500.0);
    EXPECT_EQ(st.SKOGar, 500.0);
    EXPECT_EQ(st.DataTitle, "Гарантия");
    EXPECT_EQ(r.Title, "Гарантия");
    EXPECT_TRUE(st.FileLoaded);
    EXPECT_FALSE(st.ModSpir.Executed || st.ModNewton.Executed || st.ModSmirn.Executed || st.ModGen.Executed);
    EXPECT_EQ(st.ModSpir.A, 1.5);
    EXPECT_EQ(st.ArrProblems.size(), problems);
    EXPECT_EQ(st.ParkFile, 120.0);

    // Blank lines are passed over and the rest of a value's line is ignored.
    const WarrantyResult b = LoadWarrantyFile(st, kFixtures + "/gar-blank-lines.txt", ',');
    ASSERT_TRUE(b.ok) << b.error;
    EXPECT_EQ(st.ArrGar, (DoubArr{2517, 2523}));
    EXPECT_EQ(b.SKOText, "4,2");
    EXPECT_EQ(b.SdText, "4,243");
}

TEST(WarrantyFile, FailedLoads) {
    AnalysisState st;
    ASSERT_TRUE(LoadWarrantyFile(st, kFixtures + "/gar-example.txt", '.').ok);
    st.ModSpir.Executed = true;
    const AnalysisState before = st;
    struct Case {
        std::string path;
        const char* inError;
    };
    const std::vector<Case> refused = {
        {kFixtures + "/gar-bad-line.txt", "строке №3"},
        {kFixtures + "/gar-one-value.txt", "только одно"},
        {kFixtures + "/data-no-rows.txt", "строке №7"},
    };
    for (const auto& c : refused) {
        const WarrantyResult r = LoadWarrantyFile(st, c.path, '.');
        EXPECT_FALSE(r.ok) << c.path;
        EXPECT_NE(r.error.find(c.inError), std::string::npos) << r.error;
        EXPECT_NE(r.error.find(c.path), std::string::npos) << r.error;
        EXPECT_EQ(st.ArrGar, before.ArrGar);
        EXPECT_EQ(st.SredGar, before.SredGar);
        EXPECT_EQ(st.SKOGar, before.SKOGar);
        EXPECT_EQ(st.DataTitle, before.DataTitle);
        EXPECT_TRUE(st.FileLoaded);
        EXPECT_TRUE(st.ModSpir.Executed);
    }
    for (const char* bytes : {"", "Заголовок\n", "Заголовок\n\n  \n"}) {
        const WarrantyResult r = LoadWarrantyBytes(st, bytes, "gar.txt", '.');
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.error.find("нет ни одного"), std::string::npos) << r.error;
        EXPECT_EQ(st.ArrGar, before.ArrGar);
    }
    // Values outside 0 .. 1e9 h, and a long bad value cut between characters.
    const std::string longBad(60, '\xD0');  // not UTF-8 as bytes: read as Windows-1251 "Р"
    const struct {
        std::string bytes;
        const char* inError;
    } values[] = {
        {"Т\n2500\n-5\n",
         "строке №3 файла «gar.txt»: время окончания гарантии «-5» вне допустимых пределов (от 0 до 1e9 ч)"},
        {"Т\n1e308\n2500\n", "«1e308» вне допустимых пределов"},
        {"Т\n2500\n" + longBad + "\n", "«РРРРРРРРРРРРРРРРРРРРРРРРРРРРРРРРРРРРРРРР…» не является числом"},
    };
    for (const auto& v : values) {
        const WarrantyResult r = LoadWarrantyBytes(st, v.bytes, "gar.txt", '.');
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.error.find(v.inError), std::string::npos) << r.error;
        EXPECT_EQ(st.ArrGar, before.ArrGar);
    }
    // A file that cannot be opened: only FileLoaded changes; a missing file gets the
    // usual text, a folder or a device says what it is.
    const struct {
        std::string path;
        const char* error;
    } unopened[] = {
        {kFixtures + "/gar-missing.txt", "Указанный файл не существует"},
        {kFixtures, "это папка, а не файл"},
        {"/dev/null", "не обычный файл"},
    };
    for (const auto& [path, error] : unopened) {
        const WarrantyResult r = LoadWarrantyFile(st, path, '.');
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.error.find(error), std::string::npos) << r.error;
        EXPECT_FALSE(st.FileLoaded);
        EXPECT_EQ(st.ArrGar, before.ArrGar);
        EXPECT_TRUE(st.ModSpir.Executed);
        st.FileLoaded = true;
    }
    // No file chosen yet: nothing changes.
    const WarrantyResult none = LoadWarrantyFile(st, "", '.');
    EXPECT_FALSE(none.ok);
    EXPECT_TRUE(st.FileLoaded);
    EXPECT_TRUE(none.ShortName.empty());
}

TEST(WarrantyFile, ShortName) {
    EXPECT_EQ(WarrantyShortName("C:\\Data\\2024\\gar2024.txt"), "C:\\..gar2024.txt");
    EXPECT_EQ(WarrantyShortName("d:gar.txt"), "d:\\..gar.txt");
    EXPECT_EQ(WarrantyShortName("/home/user/gar-demo.txt"), "/..gar-demo.txt");
    EXPECT_EQ(WarrantyShortName("gar.txt"), "..gar.txt");
    const WarrantyResult r = LoadWarrantyFile(*std::make_unique<AnalysisState>(), "/no/such/gar1.txt", '.');
    EXPECT_EQ(r.ShortName, "/..gar1.txt");
}

}  // namespace
}  // namespace rel
