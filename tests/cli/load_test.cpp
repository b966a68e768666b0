// relan-cli load on good and bad input files.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

const std::string kDemo = std::string(RELAN_EXAMPLES) + "/demo-fleet.txt";
const std::string kGar = std::string(RELAN_EXAMPLES) + "/gar-demo.txt";

struct CliRun {
    int status = -1;      // exit status, -1 when the program did not exit normally
    bool killed = false;  // ended by a signal (a crash) or by the time limit
    std::string out, err;
};

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

class LoadCli : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("relan-load-test-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Write(const std::string& name, const std::string& bytes) {
        const fs::path p = dir_ / name;
        std::ofstream(p, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return p.string();
    }

    // Runs relan-cli with a time limit; a hang counts like a crash.
    CliRun Cli(const std::vector<std::string>& args) {
        const fs::path errFile = dir_ / "stderr.txt";
        std::string cmd = "timeout -k 5 120 " + Quote(RELAN_CLI);
        for (const auto& a : args) cmd += " " + Quote(a);
        cmd += " 2>" + Quote(errFile.string());
        CliRun r;
        FILE* p = ::popen(cmd.c_str(), "r");
        if (!p) return r;
        char buf[65536];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
        const int ws = ::pclose(p);
        if (WIFEXITED(ws)) {
            r.status = WEXITSTATUS(ws);
            r.killed = r.status == 124 || r.status == 137 || r.status >= 128;
        } else {
            r.killed = true;
        }
        std::ifstream e(errFile, std::ios::binary);
        r.err.assign(std::istreambuf_iterator<char>(e), {});
        return r;
    }

    fs::path dir_;
};

std::string Header(const std::string& sred = "2500") { return "Парк\n" + sred + "\n400\n120\n3\n2\nДвигатель\n"; }

TEST_F(LoadCli, BadInputsEndWithAClearMessage) {
    std::string garbage;
    std::uint32_t x = 2463534242u;
    for (int i = 0; i < 200000; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        garbage.push_back(static_cast<char>(x & 0xFF));
    }
    struct Case {
        const char* what;
        std::string path;
        const char* inError;
    };
    const std::vector<Case> refused = {
        {"missing file", (dir_ / "no-such-file.txt").string(), "не существует"},
        {"directory", dir_.string(), "папка"},
        {"empty file", Write("empty.txt", ""), "пуст"},
        {"NUL bytes only", Write("nul.txt", std::string(4096, '\0')), "кончается в заголовке"},
        {"one 10 MB line", Write("long.txt", std::string(10 << 20, '7')), "кончается в заголовке"},
        {"letters in the header", Write("letters.txt", Header("25OO") + "100\tДвигатель стартера\n"), "строке №2"},
        {"comma in the header", Write("comma.txt", Header("2500,5") + "100\tДвигатель стартера\n"), "строке №2"},
        {"no failure rows", Write("norows.txt", Header()), "нет ни одной строки отказа"},
        {"fleet of zero", Write("fleet0.txt", "Парк\n2500\n400\n0\n3\n2\n100\tДвигатель стартера\n"),
         "строке №4 файла «"},
        {"fleet of 1e308", Write("fleet-huge.txt", "Парк\n2500\n400\n1e308\n3\n2\n100\tДвигатель стартера\n"),
         "размер парка «1e308» вне допустимых пределов (от 1 до 1e9 изделий)"},
        {"denormal fleet", Write("fleet-tiny.txt", "Парк\n2500\n400\n4.9e-324\n3\n2\n100\tДвигатель стартера\n"),
         "вне допустимых пределов (от 1 до 1e9 изделий)"},
        {"mean of 1e308", Write("mean-huge.txt", Header("1e308") + "100\tДвигатель стартера\n"),
         "среднее время гарантии «1e308» вне допустимых пределов (от 0 до 1e9 ч)"},
    };
    for (const auto& c : refused) {
        for (const bool asJson : {false, true}) {
            std::vector<std::string> args = {"load", c.path};
            if (asJson) args.push_back("--json");
            const CliRun r = Cli(args);
            EXPECT_FALSE(r.killed) << c.what;
            EXPECT_EQ(r.status, 2) << c.what;
            EXPECT_TRUE(r.out.empty()) << c.what;
            EXPECT_NE(r.err.find(c.inError), std::string::npos) << c.what << ": " << r.err;
        }
    }
    // Binary garbage: whatever it holds is loaded or refused, never a crash or hang.
    const CliRun g = Cli({"load", Write("garbage.bin", garbage), "--json"});
    EXPECT_FALSE(g.killed);
    EXPECT_TRUE(g.status == 0 || g.status == 2) << g.status;
    json parsed;
    if (g.status == 0) {
        EXPECT_NO_THROW(parsed = json::parse(g.out));
    } else {
        EXPECT_FALSE(g.err.empty());
    }
    // Garbage rows after a valid header: one summary of the bad rows, nothing loaded
    // (2); with --skip-bad-rows the good row is loaded and the bad ones listed.
    const std::string rowsFile = Write("rows.bin", Header() + "100\tДвигатель стартера\n" + garbage);
    const CliRun rows = Cli({"load", rowsFile, "--json"});
    EXPECT_FALSE(rows.killed);
    EXPECT_EQ(rows.status, 2) << rows.err;
    EXPECT_TRUE(rows.out.empty());
    EXPECT_NE(rows.err.find("Строк отказов с ошибками в файле "), std::string::npos);
    EXPECT_LT(std::count(rows.err.begin(), rows.err.end(), '\n'), 20);  // once, not per row
    const CliRun skipped = Cli({"load", rowsFile, "--json", "--skip-bad-rows"});
    ASSERT_EQ(skipped.status, 0) << skipped.err;
    const json j = json::parse(skipped.out);
    EXPECT_FALSE(j["Messages"].empty());
    EXPECT_GE(j["ArrProblems"].size(), 1u);
    EXPECT_NE(skipped.err.find("Предупреждение: Строк отказов с ошибками в файле"), std::string::npos);
    // A warranty file that cannot be read fails the command as well.
    const CliRun w = Cli({"load", kDemo, "--warranty", (dir_ / "gar-missing.txt").string()});
    EXPECT_EQ(w.status, 2);
    EXPECT_NE(w.err.find("Указанный файл не существует"), std::string::npos) << w.err;
    EXPECT_EQ(Cli({"load"}).status, 1);
}

TEST_F(LoadCli, HostileFiguresNeverReachTheFits) {
    // A negative time refuses the file with its line; skipped, the fits run on the
    // good rows (no reversed interval, no fatal end) and every figure is a number.
    const std::string negative = Write("negative.txt", Header() +
                                                           "100\tДвигатель стартера\n-5\tДвигатель\n"
                                                           "700\tДвигатель\n1200\tДвигатель\n");
    const CliRun refused = Cli({"fit", negative, "--models", "1.1", "--json"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("строка №9: «-5» — наработка отрицательна"), std::string::npos) << refused.err;
    const CliRun fit =
        Cli({"fit", negative, "--models", "1.1,1.2,2", "--virtual-clock", "20000", "--json", "--skip-bad-rows"});
    EXPECT_FALSE(fit.killed);
    ASSERT_EQ(fit.status, 0) << fit.err;
    const json j = json::parse(fit.out);
    for (const char* m : {"ModSpir", "ModNewton", "ModSmirn"})
        for (const char* k : {"A", "B", "K_powtor"}) EXPECT_TRUE(j[m][k].is_number()) << m << " " << k;

    // Every failure a reject: nothing to fit, the analysis stops (3) and says which file.
    const std::string rejects =
        Write("rejects.txt", Header() + "0\tБрак упаковки * вмятина на корпусе\n0,5\tДвигатель\n");
    EXPECT_EQ(Cli({"load", rejects}).status, 0);
    const CliRun none = Cli({"fit", rejects, "--virtual-clock", "20000"});
    EXPECT_EQ(none.status, 3) << none.err;
    EXPECT_NE(none.err.find(rejects + ": "), std::string::npos) << none.err;

    // Warranty "files" that are not files say what they are; a long bad value is cut
    // between characters, so the message stays valid UTF-8.
    const struct {
        std::string path;
        const char* inError;
    } warranty[] = {
        {dir_.string(), "это папка, а не файл"},
        {"/dev/null", "не обычный файл"},
        {Write("gar-long.txt", "Т\n2500\n" + std::string(30, '\xC0') + "\n"), "не является числом"},
        {Write("gar-neg.txt", "Т\n2500\n-5\n"), "вне допустимых пределов (от 0 до 1e9 ч)"},
    };
    for (const auto& w : warranty) {
        const CliRun r = Cli({"load", kDemo, "--warranty", w.path});
        EXPECT_EQ(r.status, 2) << w.path;
        EXPECT_NE(r.err.find(w.inError), std::string::npos) << r.err;
    }
    const CliRun crit = Cli({"crit", kDemo, "--A", "1", "--B", "1000", "--K", "nan"});
    EXPECT_EQ(crit.status, 1);
    EXPECT_NE(crit.err.find("--K: \"nan\" не является числом"), std::string::npos) << crit.err;
}

TEST_F(LoadCli, NulInsideARowIsKeptAsText) {
    const std::string file = Header() + "100\tДвигатель стартера * за" + '\0' + "клинил\n";
    const CliRun r = Cli({"load", Write("nul-row.txt", file), "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const json j = json::parse(r.out);
    EXPECT_EQ(j["ArrProblems"][0]["komment"], std::string("за") + '\0' + "клинил");
    EXPECT_EQ(j["ArrProblems"][0]["chey"], 2);
}

// A title, a cause name or a file name with terminal control codes: the text outputs
// show them written out (nothing reaches the terminal to act on), JSON keeps the text.
TEST_F(LoadCli, ControlCodesOfTheFilesAreShownWrittenOut) {
    const std::string title = "Парк \x1B]0;pwned\x07\x1B[2J КМ-12";
    const std::string data = Write("title.txt", title + "\n2500\n400\n120\n3\n2\nДвигатель\x1B[31m\n" +
                                                    "100\tДвигатель стартера * заклинил\n"
                                                    "700\tДвигатель * течь\n1200\tФары\n");
    const std::string gar = Write("gar-title.txt", "Гарантия \x1B[H\n2000\n2500\n3000\n");
    const CliRun load = Cli({"load", data, "--warranty", gar});
    ASSERT_EQ(load.status, 0) << load.err;
    EXPECT_EQ(load.out.find('\x1B'), std::string::npos);
    EXPECT_EQ(load.out.find('\x07'), std::string::npos);
    EXPECT_NE(
        load.out.find("Заголовок:                                   Парк \\x1B]0;pwned\\x07\\x1B[2J КМ-12\n"),
        std::string::npos)
        << load.out;
    EXPECT_NE(load.out.find("Двигатель\\x1B[31m"), std::string::npos) << load.out;
    EXPECT_NE(load.out.find("Гарантия \\x1B[H"), std::string::npos) << load.out;

    const CliRun fit = Cli({"fit", data, "--virtual-clock", "4000"});
    ASSERT_EQ(fit.status, 0) << fit.err;
    EXPECT_EQ(fit.out.find('\x1B'), std::string::npos);
    EXPECT_NE(fit.out.find("Парк \\x1B]0;pwned\\x07\\x1B[2J КМ-12 ("), std::string::npos) << fit.out;

    const CliRun asJson = Cli({"load", data, "--json"});
    ASSERT_EQ(asJson.status, 0) << asJson.err;
    EXPECT_EQ(json::parse(asJson.out)["DataTitle"], title);

    // A file name with control codes, in the reader's message on standard error.
    const CliRun missing = Cli({"load", (dir_ / "fleet\x1B[2J.txt").string()});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err.find('\x1B'), std::string::npos);
    EXPECT_NE(missing.err.find("fleet\\x1B[2J.txt» не существует"), std::string::npos) << missing.err;
}

// The encoding faults of a whole file reach the user with the status of an input that
// cannot be loaded, and a CR-only file loads as its CR LF original.
TEST_F(LoadCli, FilesInAnotherEncodingOrWithOtherLineEnds) {
    std::ifstream in(kDemo, std::ios::binary);
    const std::string demo{std::istreambuf_iterator<char>(in), {}};
    std::string crOnly;
    for (std::size_t i = 0; i < demo.size(); ++i)
        if (!(demo[i] == '\n' && i > 0 && demo[i - 1] == '\r')) crOnly += demo[i];
    const CliRun ref = Cli({"load", kDemo, "--json"});
    const CliRun cr = Cli({"load", Write("cr.txt", crOnly), "--json"});
    ASSERT_EQ(cr.status, 0) << cr.err;
    EXPECT_EQ(cr.out, ref.out);

    std::string utf16 = "\xFF\xFE";
    for (char c : std::string("Парк\n")) {  // UTF-8 bytes as 16-bit units: not Unicode text
        utf16 += c;
        utf16 += '\0';
    }
    const CliRun bad = Cli({"load", Write("utf16.txt", utf16.substr(0, utf16.size() - 1))});
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("в кодировке UTF-16LE обрывается посреди символа"), std::string::npos) << bad.err;
}

TEST_F(LoadCli, DemoFileAsJson) {
    const CliRun r = Cli({"load", kDemo, "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const json j = json::parse(r.out);
    std::set<std::string> keys;
    for (const auto& [k, v] : j.items()) keys.insert(k);
    const std::set<std::string> want = {
        "DataTitle",   "SredGar",     "SKOGar",      "ParkFile",  "Park",      "KolOtkAll", "KolOtkNez",
        "MaxPrich",    "ArrVid",      "ArrProblems", "iFirstPos", "A_LN",      "B_LN",      "Gamma90",
        "Gamma50Cenz", "Gamma50Nabl", "Otk2000",     "DelitOtk",  "NPokoleny", "Grid",      "Series1",
        "Series2",     "ArrHist",     "Shag1",       "Shag2",     "Messages"};
    EXPECT_EQ(keys, want);

    EXPECT_EQ(j["DataTitle"], "Изделие КМ-12: отказы за гарантийный период 2023-2024 гг.");
    EXPECT_EQ(j["SredGar"], 2500.0);
    EXPECT_EQ(j["SKOGar"], 550.0);
    EXPECT_EQ(j["ParkFile"], 420.0);
    EXPECT_EQ(j["Park"], 420.0);
    EXPECT_EQ(j["DelitOtk"], 1.0);
    EXPECT_TRUE(j["Messages"].empty());
    const json& probs = j["ArrProblems"];
    const int n = static_cast<int>(probs.size());
    EXPECT_GE(n, 250);
    EXPECT_EQ(j["KolOtkAll"], n + 1);
    EXPECT_EQ(j["NPokoleny"], "1500");
    const int maxPrich = j["MaxPrich"];
    EXPECT_EQ(maxPrich, 6);
    ASSERT_EQ(j["ArrVid"].size(), 7u);
    EXPECT_EQ(j["ArrVid"][0]["Nazv_Prich"], "Брак");
    EXPECT_EQ(j["ArrVid"][1]["Nazv_Prich"], "Другие");
    double brak = j["ArrVid"][0]["Dolya"];
    EXPECT_GT(brak, 0);
    EXPECT_EQ(j["KolOtkNez"], n - static_cast<int>(brak));
    for (std::size_t k = 3; k < 7; ++k)
        EXPECT_GE(j["ArrVid"][k - 1]["Dolya"].get<double>(), j["ArrVid"][k]["Dolya"].get<double>());
    int withTime = 0;
    for (int i = 0; i < n; ++i) {
        const double t = probs[i]["time"];
        if (i > 0) {
            EXPECT_LE(probs[i - 1]["time"].get<double>(), t);
        }
        EXPECT_GE(probs[i]["chey"].get<int>(), 0);
        EXPECT_LE(probs[i]["chey"].get<int>(), maxPrich);
        withTime += t >= 1;
    }
    EXPECT_EQ(j["Series1"].size(), static_cast<std::size_t>(withTime));
    EXPECT_EQ(j["Series2"].size(), 2u);
    for (const char* k : {"A_LN", "B_LN", "Gamma90", "Gamma50Cenz", "Gamma50Nabl", "Otk2000"})
        EXPECT_TRUE(j[k].is_number()) << k;
    EXPECT_GT(j["Gamma50Cenz"].get<double>(), j["Gamma90"].get<double>());
    EXPECT_EQ(j["Gamma50Nabl"], j["Gamma50Cenz"]);

    const json& grid = j["Grid"];
    ASSERT_EQ(grid.size(), static_cast<std::size_t>(n + 1));
    EXPECT_EQ(grid[0], json::array({" № отказа", "Наработка, ч", "Источник отказа", "Описание отказа"}));
    EXPECT_EQ(grid[1][0], "1");
    int annotated = 0;
    for (const auto& row : grid) annotated += row[2].get<std::string>().find(", отказов ") != std::string::npos;
    EXPECT_GE(annotated, 3);

    const json& hist = j["ArrHist"];
    EXPECT_GE(hist.size(), 11u);
    EXPECT_LE(hist.size(), 41u);
    int counted = 0;
    for (const auto& h : hist) {
        ASSERT_EQ(h["Npr"].size(), 7u);
        for (const auto& c : h["Npr"]) counted += c.get<int>();
    }
    EXPECT_EQ(counted, n);
    EXPECT_TRUE(j["Shag1"].is_number_integer());
    EXPECT_TRUE(j["Shag2"].is_number_integer());
}

TEST_F(LoadCli, WarrantyFileAndDecimalComma) {
    const CliRun r = Cli({"load", kDemo, "--warranty", kGar, "--json", "--decimal-comma"});
    ASSERT_EQ(r.status, 0) << r.err;
    const json j = json::parse(r.out);
    for (const char* k : {"ArrGar", "meSred", "meSKO", "MaskEdit1", "MaskEditSrednee", "MaskEditSKO"})
        EXPECT_TRUE(j.contains(k)) << k;
    EXPECT_EQ(j.size(), 32u);
    const json& gar = j["ArrGar"];
    EXPECT_EQ(j["MaskEdit1"], std::to_string(gar.size()));
    double sum = 0;
    for (const auto& g : gar) sum = sum + g.get<double>();
    EXPECT_EQ(j["SredGar"], sum / static_cast<double>(gar.size()));
    EXPECT_EQ(j["DataTitle"], "Времена окончания гарантии изделий КМ-12, ч");
    const std::string meSred = j["meSred"];
    EXPECT_NE(meSred.find("E3"), std::string::npos) << meSred;
    EXPECT_NE(meSred.find(','), std::string::npos) << meSred;
    EXPECT_NE(j["MaskEditSKO"].get<std::string>().find(','), std::string::npos);
    bool commaTime = false;
    for (const auto& row : j["Grid"]) commaTime |= row[1].get<std::string>().find(',') != std::string::npos;
    EXPECT_TRUE(commaTime);

    // The readable summary names the figures and the histogram.
    const CliRun text = Cli({"load", kDemo, "--warranty", kGar});
    ASSERT_EQ(text.status, 0) << text.err;
    for (const char* s : {"Гамма 90%", "Причины отказов", "Гистограмма", "Файл времен гарантии"})
        EXPECT_NE(text.out.find(s), std::string::npos) << s;
}

// The object is written as it is made: its text is the JSON library's own text of
// the same object (keys in order, numbers, escapes), whatever the texts of the file
// hold — quotes, backslashes, control characters, marks of the fleet's shares — with
// the warranty times and the rows left out.
TEST_F(LoadCli, JsonIsTheLibrarysTextOfTheObject) {
    std::string rows;
    for (int i = 0; i < 40; ++i)
        rows += std::to_string(10 + 37 * (i % 13)) + ",5\tДвигатель \"стартера\" \\ " + std::to_string(i) +
                " * обрыв\x01 провода\ttab\n";
    rows += "x1\tДвигатель\n";
    const std::string data = Write("quotes.txt", Header() + rows);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"load", kDemo, "--json"},
          std::vector<std::string>{"load", kDemo, "--warranty", kGar, "--json", "--decimal-comma"},
          std::vector<std::string>{"load", data, "--json", "--skip-bad-rows"}}) {
        const CliRun r = Cli(args);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(json::parse(r.out).dump(-1, ' ', false, json::error_handler_t::replace) + "\n", r.out)
            << args[1];
    }
}

}  // namespace
