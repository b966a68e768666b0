// relan-cli crit and fit, driven as a user drives them.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kDemo = std::string(RELAN_EXAMPLES) + "/demo-fleet.txt";

struct Output {
    int status = -1;
    std::string out, err;
};

Output RunCli(const std::string& args) {
    // One file per test process: ctest runs the cases of this file side by side.
    const std::string errFile = ::testing::TempDir() + "relan_cli_fit_stderr_" + std::to_string(getpid()) + ".txt";
    const std::string cmd = std::string(RELAN_CLI) + " " + args + " 2>" + errFile;
    Output o;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return o;
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) o.out.append(buf, n);
    const int rc = pclose(p);
    o.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    std::ifstream e(errFile);
    std::stringstream ss;
    ss << e.rdbuf();
    o.err = ss.str();
    std::remove(errFile.c_str());
    return o;
}

nlohmann::json Json(const Output& o) { return nlohmann::json::parse(o.out); }

// Any command of the system, its standard output.
Output RunCliRaw(const std::string& command) {
    Output o;
    FILE* p = popen(command.c_str(), "r");
    if (!p) return o;
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) o.out.append(buf, n);
    const int rc = pclose(p);
    o.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return o;
}

std::set<std::string> Keys(const nlohmann::json& j) {
    std::set<std::string> k;
    for (auto it = j.begin(); it != j.end(); ++it) k.insert(it.key());
    return k;
}

TEST(CliFit, ThreeModelsAsJson) {
    const Output o = RunCli("fit " + kDemo + " --models 1.1,1.2,2 --virtual-clock 4000 --json");
    ASSERT_EQ(o.status, 0) << o.err;
    const auto j = Json(o);
    EXPECT_EQ(Keys(j),
              (std::set<std::string>{"Memo2", "SredGar", "SKOGar", "ModSpir", "ModNewton", "ModSmirn", "Label10",
                                     "Result_Grid", "Kolmogorov", "Result_Notes", "Charts", "MCF"}));
    // The mean cumulative function: a point at each distinct failure time, rising, its
    // band about it.
    ASSERT_FALSE(j["MCF"].empty());
    double last = 0;
    for (const auto& p : j["MCF"]) {
        EXPECT_GT(p["Value"].get<double>(), last);
        EXPECT_LT(p["Lo"].get<double>(), p["Value"].get<double>());
        EXPECT_GT(p["Hi"].get<double>(), p["Value"].get<double>());
        last = p["Value"];
    }
    // The Kolmogorov test rejects the three models on the demo fleet: each verdict,
    // and the note under the table that names them.
    for (const char* m : {"ModSpir", "ModNewton", "ModSmirn"})
        EXPECT_TRUE(j["Kolmogorov"][m]["Rejected"].get<bool>());
    ASSERT_EQ(j["Result_Notes"].size(), 2u);
    EXPECT_EQ(j["Result_Notes"][0].get<std::string>().rfind("Критерий Колмогорова отвергает модели: ", 0), 0u);
    // Where the columns' warranty end times came from.
    EXPECT_EQ(j["Result_Notes"][1], "Время окончания гарантии во всех моделях: из заголовка файла данных.");
    // The results table: the model columns in their fixed order, then the data.
    ASSERT_EQ(j["Result_Grid"].size(), 12u);
    const auto& head = j["Result_Grid"][0];
    EXPECT_EQ(head[0], "Результаты для моделей:");
    EXPECT_EQ(head[1], "Пирсона/Ньютона");
    EXPECT_EQ(head[2], "Пирсона/спир.спуск");
    EXPECT_EQ(head[3], "Критерий Смирнова");
    EXPECT_EQ(head[4], "Данные эксплуатации");
    EXPECT_EQ(head[5], "");
    EXPECT_FALSE(j["Charts"]["Series3"]["points"].empty());
    EXPECT_TRUE(j["Charts"]["Series6"]["points"].empty()) << "the optimiser did not run";
    ASSERT_EQ(j["Memo2"].size(), 8u);
    EXPECT_EQ(j["Memo2"][0].get<std::string>().rfind(
                  "Расчёт модели по Пирсону методом спирального спуска выполнен за ", 0),
              0u);
    EXPECT_EQ(j["Memo2"][6].get<std::string>().rfind("Расчёт модели по Смирнову выполнен за ", 0), 0u);
    const std::set<std::string> modelKeys = {
        "A",       "B",        "K_powtor", "Sred",   "SKO",        "Kol_Nakopl", "SKO_out", "Unsens",   "LamStart",
        "Lam1000", "Executed", "F_Weib",   "F_norm", "Kol_F_priv", "Criterion",  "Seconds", "Converged"};
    for (const char* m : {"ModSpir", "ModNewton", "ModSmirn"}) {
        SCOPED_TRACE(m);
        EXPECT_EQ(Keys(j[m]), modelKeys);
        EXPECT_TRUE(j[m]["Executed"].get<bool>());
        EXPECT_TRUE(j[m]["Criterion"].is_number());
        EXPECT_EQ(j[m]["F_norm"].size(), j[m]["F_Weib"].size());
        EXPECT_EQ(j[m]["Kol_F_priv"].size(), j[m]["F_Weib"].size());
        EXPECT_GT(j[m]["F_Weib"].size(), 6u);
    }
}

// The model records of --json hold what the results table shows: the accumulated
// counts are those of the table's "Число известных отказов" row, the parameters
// those of its first rows.
TEST(CliFit, JsonRecordsAgreeWithTheResultsTable) {
    const Output o = RunCli("fit " + kDemo + " --models 1.1,1.2,2 --virtual-clock 4000 --json");
    ASSERT_EQ(o.status, 0) << o.err;
    const auto j = Json(o);
    const auto& grid = j["Result_Grid"];
    auto whole = [](double v) { return std::to_string(static_cast<long long>(std::llround(v))); };
    auto trimmed = [](std::string s) {
        s.erase(0, s.find_first_not_of(' '));
        return s;
    };
    for (const auto& [record, caption] :
         std::initializer_list<std::pair<const char*, const char*>>{{"ModSpir", "Пирсона/спир.спуск"},
                                                                    {"ModNewton", "Пирсона/Ньютона"},
                                                                    {"ModSmirn", "Критерий Смирнова"}}) {
        SCOPED_TRACE(record);
        std::size_t col = 0;
        for (std::size_t c = 0; c < grid[0].size(); ++c)
            if (grid[0][c] == caption) col = c;
        ASSERT_GT(col, 0u);
        const auto& m = j[record];
        const double kol = m["Kol_Nakopl"].get<double>();
        EXPECT_GT(kol, 0.0);
        const std::string known = trimmed(grid[5][col].get<std::string>());
        EXPECT_EQ(known.substr(0, known.find(' ')), whole(kol));
        char ab[64];
        std::snprintf(ab, sizeof ab, "%.3f", m["A"].get<double>());
        EXPECT_EQ(trimmed(grid[1][col].get<std::string>()).rfind(ab, 0), 0u);
        std::snprintf(ab, sizeof ab, "%.3f", m["K_powtor"].get<double>());
        EXPECT_EQ(trimmed(grid[2][col].get<std::string>()), ab);
    }
}

// Searches that walk far at a small step (fleets on which a bound of the walks once
// cut a walk short and moved the fit): the figures checked independently.
TEST(CliFit, LongWalksAtSmallStepsKeepTheirFigures) {
    const struct {
        const char* file;
        double A;
    } cases[] = {{"fleet-502.txt", 2.6123684345273173}, {"fleet-504.txt", 2.6556312386603365}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const Output o = RunCli("fit " + std::string(RELAN_FIXTURES) + "/walk/" + c.file +
                                " --models 1.2 --item 1 --burn-in 300 --virtual-clock 2000 --json");
        ASSERT_EQ(o.status, 0) << o.err;
        EXPECT_EQ(Json(o)["ModNewton"]["A"].get<double>(), c.A);
    }
}

TEST(CliFit, VirtualClockRepeatsTheRun) {
    const std::string args = "fit " + kDemo + " --models 1.1,1.2,2 --virtual-clock 3000 --json";
    auto a = Json(RunCli(args)), b = Json(RunCli(args));
    for (auto* j : {&a, &b})
        for (const char* m : {"ModSpir", "ModNewton", "ModSmirn"}) (*j)[m].erase("Seconds");
    EXPECT_EQ(a, b);
}

TEST(CliFit, DefaultsAndTextOutput) {
    const Output o = RunCli("fit " + kDemo + " --virtual-clock 4000");
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out.rfind("Ход решения\n", 0), 0u);
    EXPECT_NE(o.out.find("Расчёт модели по Пирсону методом спирального спуска выполнен за "), std::string::npos);
    EXPECT_NE(o.out.find("(ModSpir)"), std::string::npos);
    EXPECT_EQ(o.out.find("(ModNewton)"), std::string::npos) << "models 1.1 and 3 by default, as the window ticks";

    const auto j = Json(RunCli("fit " + kDemo + " --virtual-clock 4000 --json"));
    EXPECT_TRUE(j.contains("ModSpir"));
    EXPECT_TRUE(j.contains("ModML"));
    EXPECT_FALSE(j.contains("ModNewton"));
    EXPECT_FALSE(j.contains("ModSmirn"));
}

TEST(CliFit, BadOptionsAreRefusedBeforeAnythingRuns) {
    // Each refusal names the option and the text, in the program's words, with the
    // status of a bad option (1); nothing is loaded or fitted.
    const struct {
        std::string args;
        const char* inErr;
    } cases[] = {
        {"--models 1.1,1.2 --step-coef-1.2 abc", "--step-coef-1.2: \"abc\" не является числом"},
        {"--step-coef-1.1 0.5", "--step-coef-1.1: \"0.5\" меньше 1"},
        {"--models 1.3", "неизвестная модель в --models: \"1.3\""},
        {"--models ''", "--models: не задано ни одной модели"},
        {"--virtual-clock 0", "--virtual-clock: \"0\" не является положительным целым числом"},
        {"--virtual-clock abc", "--virtual-clock: \"abc\""},
        {"--virtual-clock 9223372036854775807", "вне допустимых пределов (от 1 до 10000000)"},
        {"--virtual-clock 10000001", "--virtual-clock: \"10000001\" вне допустимых пределов (от 1 до 10000000)"},
        {"--models gen --generations 100000000", "Число поколений должно быть от 1 до 1000000"},
        {"--item 3", "--item: \"3\" (допустимы 0, 1, 2)"},
        {"--burn-in nan", "--burn-in: \"nan\" не является числом"},
        {"--burn-in -1", "--burn-in: \"-1\" вне допустимых пределов (от 0 до 1e9 ч)"},
        {"--models gen --copy-count -5", "--copy-count: \"-5\""},
        {"--models gen --seed -1", "--seed: \"-1\""},
        {"--models gen --population 5", "--population: Размер популяции должен быть не меньше 10"},
        {"--models gen --generations 1.5", "--generations: Число поколений: \"1.5\" не является целым числом"},
        {"--no-such-option", "лишние аргументы: --no-such-option"},
    };
    for (const auto& c : cases) {
        const Output o = RunCli("fit " + kDemo + " --virtual-clock 4000 " + c.args);
        EXPECT_EQ(o.status, 1) << c.args;
        EXPECT_NE(o.err.find(c.inErr), std::string::npos) << c.args << "\n" << o.err;
        EXPECT_EQ(o.out, "") << c.args;
    }
    EXPECT_EQ(RunCli("fit /no/such/file.txt").status, 2);
}

// A value of 100,000 characters is echoed cut, whichever check refuses it.
TEST(CliFit, LongRefusedValuesAreEchoedCut) {
    const std::string longValue(100000, '7');
    const std::string cut = "\"" + longValue.substr(0, 40) + "…\"";
    const struct {
        std::string args;
        std::string inErr;
    } cases[] = {
        {"--virtual-clock " + longValue, "--virtual-clock: " + cut},
        {"--burn-in x" + longValue, "--burn-in: \"x" + longValue.substr(0, 39) + "…\""},
        {"--models 1.1,x" + longValue, "--models: \"x" + longValue.substr(0, 39) + "…\""},
        {"--models gen --population x" + longValue, "Размер популяции: \"x" + longValue.substr(0, 39) + "…\""},
        {"--models gen --copy-count " + longValue, "--copy-count: " + cut},
        {"extra-" + longValue, "лишние аргументы: "},
    };
    for (const auto& c : cases) {
        const Output o = RunCli("fit " + kDemo + " " + c.args);
        EXPECT_EQ(o.status, 1) << c.args.substr(0, 40);
        EXPECT_NE(o.err.find(c.inErr), std::string::npos) << o.err.substr(0, 400);
        EXPECT_LT(o.err.size(), 600u) << c.args.substr(0, 40);
    }
}

// Model 2 evaluates its criterion over every failure: the clock's rate is checked
// against the file's failure rows after the load (status 1, the highest rate named).
TEST(CliFit, VirtualClockWithModelTwoIsCheckedAgainstTheFailures) {
    const std::string file = ::testing::TempDir() + "relan_clock_" + std::to_string(getpid()) + ".txt";
    {
        std::ofstream out(file, std::ios::binary);
        out << "Fleet\n2500\n550\n4000\n2000\n1\nPump\n";
        for (int i = 0; i < 2000; ++i) out << 50 + i << "\tPump seal * leak at the seal\n";
    }
    // 2000 rows: at most 200,000,000 / 2000 = 100,000 evaluations a second.
    const Output refused = RunCli("fit " + file + " --models 1.1,2 --virtual-clock 100001");
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("--virtual-clock: \"100001\" вне допустимых пределов для модели 2 на 2000 строках "
                               "отказов (от 1 до 100000)"),
              std::string::npos)
        << refused.err;
    EXPECT_EQ(refused.out, "");
    // Without model 2 the same rate runs.
    EXPECT_EQ(RunCli("fit " + file + " --models 1.1 --virtual-clock 100001 --json").status, 0);
    std::remove(file.c_str());
}

TEST(CliFit, ModelThreeRecordWithIntervalsAndVerdict) {
    const Output o =
        RunCli("fit " + kDemo + " --models 1.1,3 --seed 1 --bootstrap 30 --virtual-clock 4000 --json");
    ASSERT_EQ(o.status, 0) << o.err;
    const auto j = Json(o);
    const auto& m = j["ModML"];
    for (const char* k : {"A", "Sred", "SKO", "LogLik", "GofLambda", "GofP", "Seconds"})
        EXPECT_TRUE(m[k].is_number()) << k;
    EXPECT_EQ(m["D"], 304);
    EXPECT_FALSE(m["Separable"].get<bool>());  // the demo's warranty ends before the scale
    // On that ridge B and K are no figures of the data: null, never a bare number.
    EXPECT_TRUE(m["B"].is_null());
    EXPECT_TRUE(m["K_powtor"].is_null());
    EXPECT_NE(j["Memo2"].dump().find("B = — ч, K = — по 304"), std::string::npos);
    // Pairs for the parameters, triples for the figures; an open end is null.
    EXPECT_EQ(m["Intervals"]["A"].size(), 2u);
    EXPECT_TRUE(m["Intervals"]["K_powtor"][1].is_null());
    for (const char* k : {"N2000", "N4000", "N6000", "Gamma90", "Gamma50"}) {
        const auto& e = m["Intervals"][k];
        ASSERT_EQ(e.size(), 3u) << k;
        EXPECT_LT(e[1].get<double>(), e[0].get<double>()) << k;
        EXPECT_GT(e[2].get<double>(), e[0].get<double>()) << k;
    }
    // The record states no forecast of the fleet's further failures.
    EXPECT_FALSE(m.contains("Forecast"));
    // Both models side by side in the table, the data column last; the same seed
    // gives the same verdict.
    EXPECT_EQ(j["Result_Grid"][0][1], "Пирсона/спир.спуск");
    EXPECT_EQ(j["Result_Grid"][0][2], "Макс. правдоподобия");
    EXPECT_EQ(j["Result_Grid"][0][3], "Данные эксплуатации");
    const auto again = Json(RunCli("fit " + kDemo + " --models 3 --seed 1 --bootstrap 30 --json"));
    EXPECT_EQ(again["ModML"]["GofP"], m["GofP"]);

    const Output text = RunCli("fit " + kDemo + " --models 3 --bootstrap 0");
    ASSERT_EQ(text.status, 0) << text.err;
    for (const char* s :
         {"оценки и 95% доверительные интервалы", "Отказов на изделие за 2000 ч", "K и B по данным не разделимы"})
        EXPECT_NE(text.out.find(s), std::string::npos) << s;
    EXPECT_EQ(text.out.find("Критерий согласия"), std::string::npos) << "no bootstrap, no verdict";
    // No forecast of the fleet's further failures, in the block or in the progress lines.
    EXPECT_EQ(text.out.find("до конца гарантии"), std::string::npos);
}

TEST(CliFit, WorkbookWithTheResultsTheFailuresAndTheHistogram) {
    const std::string xlsx = ::testing::TempDir() + "relan-fit-" + std::to_string(getpid()) + ".xlsx";
    const Output o = RunCli("fit " + kDemo + " --models 1.1,3 --bootstrap 0 --virtual-clock 4000 --xlsx " + xlsx);
    ASSERT_EQ(o.status, 0) << o.err;
    // The workbook is a zip of sheets; the results sheet holds the table's texts and
    // the figures as numbers, the failures sheet one row per failure.
    const Output list = RunCliRaw("unzip -l " + xlsx);
    for (const char* part : {"xl/worksheets/sheet1.xml", "xl/worksheets/sheet2.xml", "xl/worksheets/sheet3.xml"})
        EXPECT_NE(list.out.find(part), std::string::npos) << part;
    const std::string results = RunCliRaw("unzip -p " + xlsx + " xl/worksheets/sheet1.xml").out;
    EXPECT_NE(results.find("Пирсона/спир.спуск"), std::string::npos);
    EXPECT_NE(results.find("95% доверительные интервалы"), std::string::npos);
    EXPECT_NE(results.find("<v>2500</v>"), std::string::npos) << "the mean warranty end time as a number";
    EXPECT_NE(results.find("Гамма 50%, ч"), std::string::npos) << "model 3's last row";
    EXPECT_EQ(results.find("до конца гарантии"), std::string::npos) << "no forecast of the fleet";
    const std::string failures = RunCliRaw("unzip -p " + xlsx + " xl/worksheets/sheet2.xml").out;
    EXPECT_NE(failures.find("<row r=\"314\""), std::string::npos) << "313 failures and the header";
    EXPECT_EQ(RunCli("fit " + kDemo + " --virtual-clock 4000 --xlsx /no/such/folder/x.xlsx").status, 4);
}

TEST(CliFit, ResultsTableAsTextAndCsv) {
    const Output text = RunCli("fit " + kDemo + " --virtual-clock 4000");
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("(420 шт.)"), std::string::npos) << "the title line of the results";
    EXPECT_NE(text.out.find("Результаты для моделей:"), std::string::npos);
    EXPECT_NE(text.out.find("| Пирсона/спир.спуск"), std::string::npos);
    EXPECT_NE(text.out.find("Частота отказов/1000 ч (300,1000 ч)"), std::string::npos);

    // The same run as --format table: the text byte for byte.
    const Output table = RunCli("fit " + kDemo + " --virtual-clock 4000 --format table");
    ASSERT_EQ(table.status, 0) << table.err;
    auto noTimes = [](std::string s) {  // wall times differ between runs
        std::string out, line;
        std::istringstream in(s);
        while (std::getline(in, line))
            if (line.find("Время расчета") == std::string::npos && line.find("выполнен за") == std::string::npos)
                out += line + "\n";
        return out;
    };
    EXPECT_EQ(noTimes(table.out), noTimes(text.out));
}

// The rows of a CSV text without quoted line ends: cells split at commas outside quotes.
std::vector<std::vector<std::string>> CsvRows(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> cells(1);
        bool quoted = false;
        for (char c : line) {
            if (c == '"')
                quoted = !quoted;
            else if (c == ',' && !quoted)
                cells.emplace_back();
            else
                cells.back() += c;
        }
        rows.push_back(cells);
    }
    return rows;
}

TEST(CliFit, CsvIsOneNumericTableAndTheRunsTextGoesToStandardError) {
    const Output csv =
        RunCli("fit " + kDemo + " --models 1.1,3 --bootstrap 0 --virtual-clock 4000 --csv --decimal-comma");
    ASSERT_EQ(csv.status, 0) << csv.err;
    const auto rows = CsvRows(csv.out);
    // Header, two models, six causes of model 3 and its test of one law, the data, the MCF.
    ASSERT_EQ(rows.size(), 12u) << csv.out;
    const std::vector<std::string>& h = rows[0];
    auto col = [&](const std::string& name) {
        const auto it = std::find(h.begin(), h.end(), name);
        EXPECT_NE(it, h.end()) << name;
        return static_cast<std::size_t>(it - h.begin());
    };
    for (const auto& r : rows) EXPECT_EQ(r.size(), h.size());
    EXPECT_EQ(rows[1][0], "ModSpir");
    EXPECT_EQ(rows[2][0], "ModML");
    EXPECT_EQ(rows[3][0], "cause 1");
    EXPECT_EQ(rows[3][1], "Другие");
    EXPECT_EQ(rows[9][0], "causes_test");
    EXPECT_EQ(rows[10][0], "data");
    EXPECT_EQ(rows[11][0], "mcf");
    // Figures are numbers with a point whatever the texts' separator; units in the header.
    for (std::size_t r = 1; r < rows.size(); ++r)
        for (std::size_t c = 2; c < h.size(); ++c)
            if (!rows[r][c].empty() && h[c] != "warranty_source") {
                std::size_t used = 0;
                EXPECT_NO_THROW(std::stod(rows[r][c], &used)) << h[c] << " " << rows[r][c];
                EXPECT_EQ(used, rows[r][c].size()) << h[c] << " " << rows[r][c];
            }
    EXPECT_EQ(rows[1][col("Kolmogorov_rejected")], "1");  // model 1.1 on the demo fleet
    // Model 3 on its ridge: no B or K, their intervals in lo/hi columns.
    EXPECT_TRUE(rows[2][col("B_h")].empty());
    EXPECT_TRUE(rows[2][col("K_powtor")].empty());
    EXPECT_FALSE(rows[2][col("K_powtor_lo")].empty());
    EXPECT_FALSE(rows[2][col("N4000_hi")].empty());
    EXPECT_EQ(rows[10][col("failures")], "304");
    // A cause: its failures, shape, claims within warranty and share; the test's p.
    EXPECT_EQ(rows[3][col("failures")], "40");
    EXPECT_LT(std::stod(rows[3][col("A_lo")]), std::stod(rows[3][col("A")]));
    EXPECT_NEAR(std::stod(rows[3][col("claims_within_warranty")]), 40.0 / 420, 1e-12);
    EXPECT_NEAR(std::stod(rows[3][col("cause_share")]), 40.0 / 304, 1e-12);
    EXPECT_EQ(rows[9][col("df")], "10");
    EXPECT_GT(std::stod(rows[9][col("p")]), 0.05);
    // The MCF with its band at 2000 h; at 6000 h no product of the fleet (warranty
    // 2500 ± 550 h) is still observed, so the cells stay empty.
    const double mcf = std::stod(rows[11][col("N2000")]);
    EXPECT_LT(std::stod(rows[11][col("N2000_lo")]), mcf);
    EXPECT_GT(std::stod(rows[11][col("N2000_hi")]), mcf);
    EXPECT_NEAR(mcf, std::stod(rows[2][col("N2000")]), 0.1);  // beside model 3's N(2000)
    EXPECT_TRUE(rows[11][col("N6000")].empty());
    EXPECT_EQ(rows[2][col("warranty_source")], "из заголовка файла данных");
    // With a warranty file: model 3 takes its list, the others its mean and deviation.
    const Output gar = RunCli("fit " + kDemo + " --warranty " + std::string(RELAN_EXAMPLES) +
                              "/gar-demo.txt --models 1.1,3 --bootstrap 0 --virtual-clock 4000 --csv");
    ASSERT_EQ(gar.status, 0) << gar.err;
    const auto garRows = CsvRows(gar.out);
    ASSERT_EQ(garRows.size(), 12u);
    EXPECT_EQ(garRows[1][col("warranty_source")], "среднее и СКО файла «gar-demo.txt»");
    EXPECT_EQ(garRows[2][col("warranty_source")], "список времен файла «gar-demo.txt»");
    // The progress and the model blocks went to standard error.
    EXPECT_NE(csv.err.find("Ход решения"), std::string::npos);
    EXPECT_NE(csv.err.find("A (форма)"), std::string::npos);
}

TEST(CliFit, ConflictingOutputsAndUnwritablePathsAreRefusedBeforeTheFit) {
    struct Case {
        const char* args;
        int status;
        const char* says;
    };
    const Case cases[] = {
        {"--json --csv", 1, "--json и --csv исключают друг друга"},
        {"--format json --csv", 1, "исключают друг друга"},
        {"--format xml", 1, "неизвестный формат"},
        {"--xlsx /no/such/folder/x.xlsx", 4, "папка не существует"},
        {"--xlsx /", 4, "это папка"},
    };
    for (const Case& c : cases) {
        const Output o = RunCli("fit " + kDemo + " --virtual-clock 4000 " + c.args);
        EXPECT_EQ(o.status, c.status) << c.args;
        EXPECT_NE(o.err.find(c.says), std::string::npos) << c.args << ": " << o.err;
        // Nothing of the run: refused before the data were fitted.
        EXPECT_TRUE(o.out.empty()) << c.args;
        EXPECT_EQ(o.err.find("Ход решения"), std::string::npos) << c.args;
    }
    // The workbook on standard output: the run's text goes to standard error.
    const Output book = RunCli("fit " + kDemo + " --models 1.1 --virtual-clock 4000 --xlsx -");
    ASSERT_EQ(book.status, 0) << book.err;
    EXPECT_EQ(book.out.rfind("PK", 0), 0u) << "a zip archive";
    EXPECT_NE(book.err.find("Ход решения"), std::string::npos);
}

TEST(CliHelp, RussianByDefaultEnglishWithLangEn) {
    const Output ru = RunCli("fit --help");
    EXPECT_EQ(ru.status, 0);
    for (const char* s : {"Использование:", "Параметры:", "файл исходных данных", "показать эту справку"})
        EXPECT_NE(ru.out.find(s), std::string::npos) << s;
    EXPECT_EQ(ru.out.find("Options:"), std::string::npos);
    const Output en = RunCli("--lang en fit --help");
    for (const char* s : {"Usage:", "Options:", "failure data file"})
        EXPECT_NE(en.out.find(s), std::string::npos) << s;
    const Output noCommand = RunCli("");
    EXPECT_EQ(noCommand.status, 1);
    EXPECT_NE(noCommand.err.find("не указана команда"), std::string::npos) << noCommand.err;
    EXPECT_NE(RunCli("load --lang en").err.find("no failure data file given"), std::string::npos);
    EXPECT_EQ(RunCli("--lang de load " + kDemo).status, 1);
    // The messages about the inputs and the outputs in English, from the window's words.
    const Output missing = RunCli("fit /no/such/file.txt --lang en");
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("File «/no/such/file.txt» does not exist. The data file was not loaded."),
              std::string::npos)
        << missing.err;
    const Output unwritable = RunCli("fit " + kDemo + " --lang en --xlsx /no/such/folder/x.xlsx");
    EXPECT_NE(unwritable.err.find("was not written: the folder does not exist"), std::string::npos)
        << unwritable.err;
    EXPECT_NE(RunCli("fit " + kDemo + " --lang en --burn-in abc").err.find("is not a number"), std::string::npos);
}

TEST(CliFit, GeneticOptimiserAfterTheCalculation) {
    const std::string args =
        "fit " + kDemo + " --models 1.1,gen --virtual-clock 4000 --population 60 --generations 30 --seed 7 --json";
    const Output o = RunCli(args);
    ASSERT_EQ(o.status, 0) << o.err;
    auto a = Json(o);
    ASSERT_TRUE(a.contains("ModGen"));
    EXPECT_TRUE(a["ModGen"]["Executed"].get<bool>());
    EXPECT_TRUE(a["ModGen"]["Criterion"].is_number());
    EXPECT_EQ(a["NPokoleny"], "6") << "entries recorded since the copy-back acted on at generation 25";
    EXPECT_EQ(a["Result_Grid"][0][1], "Пирсона/спир.спуск");
    EXPECT_EQ(a["Result_Grid"][0][2], "Генетическая");
    const auto& memo = a["Memo2"];
    EXPECT_EQ(memo[3], "Создано генов 3") << "the calculation's three lines come first";
    EXPECT_FALSE(a["Charts"]["Series6"]["points"].empty());

    // The same seed repeats the run.
    auto b = Json(RunCli(args));
    for (auto* j : {&a, &b}) {
        (*j)["ModSpir"].erase("Seconds");
        (*j)["ModGen"].erase("Seconds");
    }
    EXPECT_EQ(a, b);

    const Output bad = RunCli("fit " + kDemo + " --models gen --population 5 --seed 1");
    EXPECT_EQ(bad.status, 1);
    EXPECT_FALSE(bad.err.empty());
}

TEST(CliCrit, EveryCriterionAtOnePoint) {
    const Output o = RunCli("crit " + kDemo + " --B 1200 --A 1.9 --K 0.75 --json");
    ASSERT_EQ(o.status, 0) << o.err;
    const auto j = Json(o);
    EXPECT_EQ(Keys(j), (std::set<std::string>{"PearsonCrit", "Kol_Nakopl", "Kol_F_priv", "F_Weib", "F_norm",
                                              "HistCrit", "HistCrit_SKO_out", "SmirnovCrit", "KolmCrt", "KolmTxt",
                                              "HistConfidence", "LamStart", "Lam1000", "SKO_out"}));
    ASSERT_EQ(j["PearsonCrit"].size(), 3u);
    EXPECT_NE(j["PearsonCrit"][0], j["PearsonCrit"][1]);
    const std::string verdict = j["KolmTxt"];
    EXPECT_TRUE(verdict == " <1.3581(0.05)" || verdict == " >1.3581(0.05)") << verdict;

    // Sred and SKO default to the file's figures.
    const auto explicitFigures =
        Json(RunCli("crit " + kDemo + " --B 1200 --A 1.9 --K 0.75 --sred 2500 --sko 550 --json"));
    EXPECT_EQ(explicitFigures, j);
    const auto other = Json(RunCli("crit " + kDemo + " --B 1200 --A 1.9 --K 0.75 --sred 900 --json"));
    EXPECT_NE(other["PearsonCrit"], j["PearsonCrit"]);
    EXPECT_NE(Json(RunCli("crit " + kDemo + " --B 1200 --A 1.9 --K 0.75 --burn-in 100 --json"))["LamStart"],
              j["LamStart"]);

    EXPECT_EQ(RunCli("crit " + kDemo + " --B 1200 --A 1.9").status, 1) << "--K is required";
}

}  // namespace

namespace {

const std::string kService = std::string(RELAN_EXAMPLES) + "/service-fleet.txt";
const std::string kServiceAges = std::string(RELAN_EXAMPLES) + "/service-ages.txt";

TEST(CliFit, FleetInServiceForecastAsJson) {
    const Output o =
        RunCli("fit " + kService + " --ages " + kServiceAges + " --models 3 --bootstrap 0 --horizon 6 --json");
    ASSERT_EQ(o.status, 0) << o.err;
    const nlohmann::json j = Json(o);
    ASSERT_TRUE(j.contains("Forecast"));
    const nlohmann::json& f = j["Forecast"];
    EXPECT_EQ(f["InService"], true);
    ASSERT_EQ(f["Remaining"].size(), 3u);
    const double est = f["Remaining"][0], lo = f["Remaining"][1], hi = f["Remaining"][2];
    EXPECT_LE(lo, est);
    EXPECT_GE(hi, est);
    ASSERT_EQ(f["Months"].size(), 6u);
    EXPECT_EQ(Keys(f["Months"][0]),
              (std::set<std::string>{"Month", "Expected", "Lo", "Hi", "Cumulative", "CumLo", "CumHi"}));
    EXPECT_EQ(f["Months"][5]["Month"], 6);
    // The other models' columns assume the complete record: the note says so.
    bool said = false;
    for (const auto& n : j["Result_Notes"])
        said = said || n.get<std::string>().find("файл наработок") != std::string::npos;
    EXPECT_TRUE(said) << j["Result_Notes"];
    // Without the ages the same data are a complete record: no forecast.
    const Output plain = RunCli("fit " + kService + " --models 3 --bootstrap 0 --json");
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_FALSE(Json(plain).contains("Forecast"));
}

TEST(CliFit, FleetInServiceRefusals) {
    const std::string fleet = std::string(RELAN_EXAMPLES) + "/demo-fleet.txt";
    struct Case {
        std::string args;
        int status;
        std::string says;
    };
    const std::vector<Case> cases = {
        {kService + " --ages " + kServiceAges + " --usage 0", 1, "--usage"},
        {kService + " --ages " + kServiceAges + " --usage 800", 1, "до 744 ч"},
        {kService + " --ages " + kServiceAges + " --horizon 0", 1, "--horizon"},
        {kService + " --ages " + kServiceAges + " --horizon 121", 1, "от 1 до 120"},
        {fleet + " --ages " + kServiceAges, 2, "парк файла данных — 420"},
        {kService + " --ages /nonexistent/ages.txt", 2, "Файл наработок парка не загружен"},
    };
    for (const Case& c : cases) {
        const Output o = RunCli("fit " + c.args + " --models 3 --bootstrap 0");
        EXPECT_EQ(o.status, c.status) << c.args << "\n" << o.err;
        EXPECT_NE(o.err.find(c.says), std::string::npos) << c.args << "\n" << o.err;
    }
}

}  // namespace
